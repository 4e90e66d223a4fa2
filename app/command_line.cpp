#include "app/command_line.h"

#include <cctype>

namespace z4 {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// The argument without its leading "/" or "-", in lower case; empty when it
// does not start like an option.
std::string OptionName(const std::string& arg) {
  if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) return {};
  return Lower(std::string_view(arg).substr(1));
}

// One argument after the program's name, from `at`; moves `at` past it.
std::string NextArgument(std::string_view line, std::size_t& at) {
  std::string arg;
  bool quoted = false;
  while (at < line.size() && (quoted || !IsBlank(line[at]))) {
    const char c = line[at];
    if (c == '\\') {
      std::size_t run = 0;
      do {
        ++run;
        ++at;
      } while (at < line.size() && line[at] == '\\');
      if (at < line.size() && line[at] == '"') {
        arg.append(run / 2, '\\');
        if (run % 2 == 1) {
          arg += '"';
          ++at;
        }
      } else {
        arg.append(run, '\\');
      }
    } else if (c == '"') {
      if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
        arg += '"';
        at += 2;
      } else {
        quoted = !quoted;
        ++at;
      }
    } else {
      arg += c;
      ++at;
    }
  }
  return arg;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> args;
  std::size_t at = 0;
  if (!line.empty() && line[0] == '"') {
    const std::size_t close = line.find('"', 1);
    args.emplace_back(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
    at = close == std::string_view::npos ? line.size() : close + 1;
  } else {
    while (at < line.size() && !IsBlank(line[at])) ++at;
    args.emplace_back(line.substr(0, at));
  }
  for (;;) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (at >= line.size()) break;
    args.push_back(NextArgument(line, at));
  }
  return args;
}

ProgramOptions ReadProgramOptions(const std::vector<std::string>& args) {
  ProgramOptions options;
  for (const std::string& arg : args) {
    const std::string name = OptionName(arg);
    bool understood = false;
    if (name == "adjust") {
      options.adjust = understood = true;
    } else if (name.rfind("drive:", 0) == 0 && name.size() == 7 && name[6] >= 'a' &&
               name[6] <= 'z') {
      const std::string letter(1, static_cast<char>(name[6] - 'a' + 'A'));
      understood = options.drive.empty() || options.drive == letter;
      options.drive = letter;
    }
    if (!understood) {
      options.valid = false;
      options.rejected = arg;
      options.drive.clear();
      options.adjust = false;
      break;
    }
  }
  return options;
}

std::string OptionsMessage(const std::string& rejected, int language_flag) {
  if (language_flag == 0) {
    return "このオプションは使用できません: " + rejected +
           "\n\n使用できるオプション:\n"
           "  /drive:X\tボードのドライブ文字 (X は A から Z)\n"
           "  /adjust\tテスト・拡張モード\n\n"
           "\"/\" の代わりに \"-\" も使用できます。大文字と小文字は区別しません。";
  }
  return "This option is not understood: " + rejected +
         "\n\nAccepted options:\n"
         "  /drive:X\tthe board's drive letter (X from A to Z)\n"
         "  /adjust\ttest/adjust mode\n\n"
         "Options may start with \"-\" instead of \"/\" and may be written in any case.";
}

}  // namespace z4
