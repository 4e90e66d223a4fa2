// "Z4.JOB" as the board reads it: one command per line, Word:argument, each
// line ending in CR LF, the last one "End:".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace z4::sim {

struct Command {
  std::string word;
  std::string argument;
  bool operator==(const Command& o) const { return word == o.word && argument == o.argument; }
};

struct JobRead {
  std::vector<Command> commands;       // in file order, up to and including "End:"
  bool complete = false;               // the job reached "End:"
  std::vector<std::string> malformed;  // lines skipped: no colon, or not ending in CR LF
};

// Lines after "End:" are not read.
JobRead ReadJobFile(std::string_view text);

// One of the command words the board carries out.
bool IsKnownCommand(std::string_view word);

}  // namespace z4::sim
