// The journal of received jobs. Each entry is a header line, the job file's
// bytes exactly as received, and a line feed:
//
//   "Z4SIM JOB <n> <byte count>\n" <bytes> "\n"
//
// with n counting from 1. The byte count lets a reader take the job text as it
// was, CR LF line ends included.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace z4::sim {

std::string JournalEntry(int number, const std::string& job_text);

// The job texts of a journal, in order; nullopt when the text is not a journal
// (a damaged header or a short entry).
std::optional<std::vector<std::string>> ReadJournal(std::string_view text);

}  // namespace z4::sim
