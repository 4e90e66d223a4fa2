#include "sim/command_line.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace z4::sim {
namespace {

std::optional<std::int64_t> ReadCount(const std::string& text) {
  if (text.empty() || text.size() > 12) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// "NAME:MS", split at the last colon.
std::optional<HoldRule> ReadHoldRule(const std::string& text) {
  const auto colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return std::nullopt;
  const auto ms = ReadCount(text.substr(colon + 1));
  if (!ms) return std::nullopt;
  return HoldRule{text.substr(0, colon), *ms};
}

}  // namespace

std::string UsageText() {
  return "usage: z4sim --root DIR [options]\n"
         "Emulates the Z-4 board on the folder DIR, its drive's root: takes Z4.JOB when\n"
         "it appears, carries it out and writes Z4JOB.END. Runs until killed.\n"
         "Wave: writes Z4.CSV; a job with Repeat: runs until Z4.JOB is deleted and\n"
         "writes no end marker; the self-test job writes QXR\\MB######.png or .tif\n"
         "(after FileFormat) when it passes, Z4.LOG when it fails.\n"
         "\n"
         "  --root DIR            the board's drive (required)\n"
         "  --state FILE          the board's settings between runs (created with the\n"
         "                        defaults when absent; Key=Value lines, and\n"
         "                        Extra=Key:value for lines of the board's own keys)\n"
         "  --journal FILE        append every job received to FILE\n"
         "  --poll MS             look at the root every MS ms (default 20)\n"
         "  --exit-after-jobs N   end after N jobs have been carried out\n"
         "  --delay MS            wait MS ms at End: before writing the end marker\n"
         "  --never-end           never write the end marker\n"
         "  --hold-open FILE:MS   keep FILE open for MS ms each time the board writes it\n"
         "                        (may be given more than once)\n"
         "  --refuse-ini          SetDataIn: ignores Z4.INI and keeps the settings\n"
         "  --levels FILE         Wave: writes FILE's bytes unchanged as Z4.CSV\n"
         "                        (default: a generated series of 1728 levels)\n"
         "  --board-fail TEXT     the self-test fails and writes TEXT to Z4.LOG, one line\n"
         "                        per line of TEXT (\\n also ends a line)\n"
         "  --board-log FILE      the self-test fails and writes FILE's bytes unchanged\n"
         "                        as Z4.LOG\n"
         "  --qxr DIR             copy the files of DIR into the board's QXR folder at start\n"
         "  --wait-unit MS        length of one unit of Wait:n (default 1000)\n"
         "  --help                show this text\n";
}

CommandLineRead ReadCommandLine(const std::vector<std::string>& args) {
  CommandLineRead read;
  CommandLine& line = read.line;
  for (std::size_t i = 0; i < args.size() && read.error.empty(); ++i) {
    const std::string& option = args[i];
    const bool has_value = i + 1 < args.size();
    const std::string value = has_value ? args[i + 1] : std::string();
    auto count = [&]() -> std::optional<std::int64_t> {
      ++i;
      const auto parsed = has_value ? ReadCount(value) : std::nullopt;
      if (!parsed) read.error = option + " needs a number of 0 or more";
      return parsed;
    };
    auto text = [&](std::string& target) {
      ++i;
      if (has_value && !value.empty()) {
        target = value;
      } else {
        read.error = option + " needs a value";
      }
    };
    if (option == "--help" || option == "-h") {
      line.help = true;
    } else if (option == "--root") {
      text(line.root);
    } else if (option == "--state") {
      text(line.state);
    } else if (option == "--journal") {
      text(line.journal);
    } else if (option == "--levels") {
      text(line.levels);
    } else if (option == "--board-log") {
      text(line.board_log);
    } else if (option == "--qxr") {
      text(line.qxr);
    } else if (option == "--board-fail") {
      std::string errors;
      text(errors);
      line.board.self_test_errors = errors;
    } else if (option == "--poll") {
      if (const auto ms = count()) line.poll_ms = *ms;
    } else if (option == "--exit-after-jobs") {
      if (const auto n = count())
        line.exit_after_jobs = static_cast<int>(std::min<std::int64_t>(*n, INT_MAX));
    } else if (option == "--delay") {
      if (const auto ms = count()) line.board.end_delay_ms = *ms;
    } else if (option == "--wait-unit") {
      if (const auto ms = count()) line.board.wait_unit_ms = *ms;
    } else if (option == "--never-end") {
      line.board.never_end = true;
    } else if (option == "--refuse-ini") {
      line.board.refuse_settings = true;
    } else if (option == "--hold-open") {
      ++i;
      const auto rule = has_value ? ReadHoldRule(value) : std::nullopt;
      if (rule) {
        line.board.holds.push_back(*rule);
      } else {
        read.error = "--hold-open needs FILE:MS";
      }
    } else {
      read.error = "unknown option " + option;
    }
  }
  if (read.error.empty() && !line.help && line.root.empty()) read.error = "--root is required";
  return read;
}

}  // namespace z4::sim
