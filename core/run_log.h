// The record of the program's work on boards: "Z4Utility.log" in the data
// folder, one line per /export or /apply run and per Set from the window,
// only ever added to.
#pragma once

#include <string>

#include "platform/file_appender.h"
#include "platform/wall_clock.h"

namespace z4 {

struct RunRecord {
  LocalTime time;
  std::string drive;    // the board's letter; empty when none was found
  std::string option;   // "/export", "/apply", or "set" for a Set from the window
  std::string file;     // the file of the option, or the history file of a Set; may be empty
  std::string outcome;  // OutcomeText
};

// "2024-05-01 13:45:07<TAB>E<TAB>/apply<TAB>C:\batch\a.ini<TAB>0 done" and
// CR LF, in UTF-8. An empty field is written as "-"; what a field holds is
// written as EscapedText, so that every run stays one line of five fields of
// clean text, whatever a file or a name it quotes holds.
std::string RunLogLine(const RunRecord& record);

// Adds a line (CR LF included) to the log in `program_folder`: the one way
// into Z4Utility.log, which is UTF-8 and starts with a byte-order mark, so
// that Notepad shows its paths right on Japanese Windows too. False when it
// could not be written.
bool AppendLogLine(FileAppender& appender, const std::string& program_folder,
                   const std::string& line);

// Adds the record's line to the log.
bool AppendRunLog(FileAppender& appender, const std::string& program_folder,
                  const RunRecord& record);

}  // namespace z4
