// The z4sim command's options.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/board_options.h"

namespace z4::sim {

struct CommandLine {
  std::string root;       // the board's drive, a folder (UTF-8)
  std::string state;      // the state file; empty: settings kept in memory only
  std::string journal;    // the job journal; empty: none
  std::string levels;     // a file "Wave:" hands out as Z4.CSV; empty: the generated one
  std::string board_log;  // a file a failed self-test leaves as Z4.LOG; empty: none
  std::string qxr;        // a folder whose files are copied into QXR at start; empty: none
  std::int64_t poll_ms = 20;
  int exit_after_jobs = 0;  // 0: run until killed
  bool help = false;
  BoardOptions board;
};

struct CommandLineRead {
  CommandLine line;
  std::string error;  // empty when the arguments were all understood
};

// The arguments after the program name.
CommandLineRead ReadCommandLine(const std::vector<std::string>& args);

// The text of --help.
std::string UsageText();

}  // namespace z4::sim
