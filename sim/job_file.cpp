#include "sim/job_file.h"

#include <algorithm>
#include <array>

namespace z4::sim {

bool IsKnownCommand(std::string_view word) {
  static constexpr std::array<std::string_view, 18> kWords = {
      "Stop",       "CCDAdj",    "ImageTest",  "Wait",         "DeleteFile", "Repeat",
      "SWTest",     "Feed",      "CalDataOut", "CalDataClear", "Lamp",       "Wave",
      "MemoryTest", "FlashTest", "CFTest",     "SetDataOut",   "SetDataIn",  "End"};
  return std::find(kWords.begin(), kWords.end(), word) != kWords.end();
}

JobRead ReadJobFile(std::string_view text) {
  JobRead job;
  while (!text.empty() && !job.complete) {
    const auto lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
    const bool crlf = lf != std::string_view::npos && !line.empty() && line.back() == '\r';
    if (crlf) line.remove_suffix(1);
    const auto colon = line.find(':');
    if (!crlf || colon == std::string_view::npos) {
      job.malformed.emplace_back(line);
      continue;
    }
    Command command{std::string(line.substr(0, colon)), std::string(line.substr(colon + 1))};
    job.complete = command.word == "End";
    job.commands.push_back(std::move(command));
  }
  return job;
}

}  // namespace z4::sim
