// How the emulated board behaves, including the faults it can be told to show.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace z4::sim {

// Keeps a file open for a while each time the board writes it or takes it as
// a job, so that the PC finds it locked.
struct HoldRule {
  std::string name;  // a root file name such as "Z4.INI", any case
  std::int64_t ms = 0;
};

struct BoardOptions {
  // Time between reaching "End:" and writing the end marker.
  std::int64_t end_delay_ms = 0;
  // The board works through the job but never writes the end marker.
  bool never_end = false;
  // What "Wave:" writes as "Z4.CSV", byte for byte; the generated level series
  // when absent.
  std::optional<std::string> level_file;
  // The self-test fails with these errors (one per line, see FailureLogText)
  // and writes them to "Z4.LOG"; it passes when absent.
  std::optional<std::string> self_test_errors;
  // The self-test fails and writes these bytes unchanged as "Z4.LOG" (a log
  // of any size or encoding); before self_test_errors.
  std::optional<std::string> self_test_log;
  // "SetDataIn:" leaves the settings as they are, whatever "Z4.INI" holds.
  bool refuse_settings = false;
  // What "SetDataOut:" writes as "Z4.INI", byte for byte (an empty, corrupt,
  // oversized or hostile file); the board's own settings file when absent.
  std::optional<std::string> settings_file;
  // What a passing self-test writes as its captured picture, byte for byte;
  // the test pattern when absent.
  std::optional<std::string> capture;
  // Length of one unit of "Wait:n".
  std::int64_t wait_unit_ms = 1000;
  std::vector<HoldRule> holds;
};

}  // namespace z4::sim
