// The program's command line: "/drive:X" names the board's drive letter for
// Windows versions whose registry the drive discovery does not know, "/adjust"
// starts test/adjust mode, "/export FILE" and "/apply FILE" copy the board's
// settings to a file or from a file without the main window, and "/quiet"
// keeps their failures from showing a message. Options may start with "/" or
// "-" and are read without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "batch/batch_request.h"

namespace z4 {

// Splits a command line into its arguments by the rules Windows programs
// use, the program's own name first: blanks and tabs separate arguments
// outside double quotes; 2n backslashes before a quote give n backslashes and
// the quote opens or closes a quoted part; 2n+1 backslashes before a quote
// give n backslashes and a literal quote; other backslashes are literal; two
// quotes inside a quoted part give one literal quote. The program's name ends
// at the first blank, or at the closing quote when it starts with one, and
// takes no backslash rules.
std::vector<std::string> SplitCommandLine(std::string_view line);


// Why a command line was refused.
enum class Refusal {
  None,
  NotUnderstood,  // not one of the accepted forms
  MissingFile,    // /export or /apply without the file after it
  Combination,    // an option that cannot go with one before it
};

struct ProgramOptions {
  bool valid = true;
  Refusal refusal = Refusal::None;
  std::string rejected;  // the argument that was refused
  std::string drive;     // the letter alone, in upper case, or empty
  bool adjust = false;
  BatchAction batch = BatchAction::None;
  std::string batch_option;  // "/export" or "/apply" as the log names it, or empty
  std::string batch_file;    // the file after /export or /apply
  // "/quiet" was given. It is looked for on the whole line, so that even the
  // refusal of a line is silent when the line asks for quiet.
  bool quiet = false;
};

// Reads the arguments after the program's name. An argument that is not one
// of the accepted forms, a drive that is not one letter from A to Z, two
// different drive letters, /export or /apply without a file (the next argument
// is the file; one that starts with "/" or "-" is taken for a forgotten file),
// both of them, either of them twice or with /adjust, and /quiet without
// either of them make the options invalid. batch_option and batch_file still
// name the /export or /apply of a refused line, for the record of the run.
ProgramOptions ReadProgramOptions(const std::vector<std::string>& args);

// What the options ask a run without the window to do.
BatchRequest BatchRequestOf(const ProgramOptions& options);

// The message for invalid options: the argument, why it was refused and the
// accepted forms, in Japanese (language flag 0) or English (any other value).
std::string OptionsMessage(const ProgramOptions& options, int language_flag);
// The same for an argument that is not understood.
std::string OptionsMessage(const std::string& rejected, int language_flag);
inline constexpr const char* kOptionsCaption = kProgramCaption;

}  // namespace z4
