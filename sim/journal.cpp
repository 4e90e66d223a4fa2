#include "sim/journal.h"

namespace z4::sim {
namespace {

constexpr std::string_view kHeader = "Z4SIM JOB ";

// "<n> <count>" as two numbers, each digits only.
bool ReadHeaderNumbers(std::string_view text, long long& number, long long& count) {
  const auto space = text.find(' ');
  if (space == std::string_view::npos || space == 0 || space + 1 >= text.size()) return false;
  long long* targets[2] = {&number, &count};
  std::string_view parts[2] = {text.substr(0, space), text.substr(space + 1)};
  for (int i = 0; i < 2; ++i) {
    if (parts[i].size() > 12) return false;
    *targets[i] = 0;
    for (char c : parts[i]) {
      if (c < '0' || c > '9') return false;
      *targets[i] = *targets[i] * 10 + (c - '0');
    }
  }
  return true;
}

}  // namespace

std::string JournalEntry(int number, const std::string& job_text) {
  return std::string(kHeader) + std::to_string(number) + " " + std::to_string(job_text.size()) +
         "\n" + job_text + "\n";
}

std::optional<std::vector<std::string>> ReadJournal(std::string_view text) {
  std::vector<std::string> jobs;
  while (!text.empty()) {
    const auto lf = text.find('\n');
    if (lf == std::string_view::npos || text.substr(0, kHeader.size()) != kHeader) {
      return std::nullopt;
    }
    long long number = 0, count = 0;
    if (!ReadHeaderNumbers(text.substr(kHeader.size(), lf - kHeader.size()), number, count) ||
        number != static_cast<long long>(jobs.size()) + 1) {
      return std::nullopt;
    }
    text.remove_prefix(lf + 1);
    const auto size = static_cast<std::size_t>(count);
    if (text.size() < size + 1 || text[size] != '\n') return std::nullopt;
    jobs.emplace_back(text.substr(0, size));
    text.remove_prefix(size + 1);
  }
  return jobs;
}

}  // namespace z4::sim
