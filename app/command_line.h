// The program's command line: "/drive:X" names the board's drive letter for
// Windows versions whose registry the drive discovery does not know, and
// "/adjust" starts test/adjust mode. Options may start with "/" or "-" and are
// read without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

struct ProgramOptions {
  bool valid = true;
  std::string rejected;  // the first argument that was not understood
  std::string drive;     // the letter alone, in upper case, or empty
  bool adjust = false;
};

// Reads the arguments after the program's name. An argument that is not one
// of the accepted forms, a drive that is not one letter from A to Z, or two
// different drive letters make the options invalid.
ProgramOptions ReadProgramOptions(const std::vector<std::string>& args);

// The message for invalid options: the argument and the accepted forms, in
// Japanese (language flag 0) or English (any other value).
std::string OptionsMessage(const std::string& rejected, int language_flag);
inline constexpr const char* kOptionsCaption = "Z4Utility";

}  // namespace z4
