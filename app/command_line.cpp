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

namespace {

// An argument after /export or /apply that cannot be meant as its file.
bool MissingFile(const std::vector<std::string>& args, std::size_t next) {
  return next >= args.size() || args[next].empty() || args[next][0] == '/' || args[next][0] == '-';
}

void Refuse(ProgramOptions& options, Refusal refusal, const std::string& arg) {
  options.valid = false;
  options.refusal = refusal;
  options.rejected = arg;
  options.drive.clear();
  options.adjust = false;
  options.batch = BatchAction::None;
}

}  // namespace

ProgramOptions ReadProgramOptions(const std::vector<std::string>& args) {
  ProgramOptions options;
  std::string quiet_arg;
  for (const std::string& arg : args) {
    if (OptionName(arg) == "quiet") {
      options.quiet = true;
      if (quiet_arg.empty()) quiet_arg = arg;
    }
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const std::string name = OptionName(arg);
    Refusal refusal = Refusal::None;
    if (name == "adjust") {
      if (options.batch != BatchAction::None) refusal = Refusal::Combination;
      options.adjust = true;
    } else if (name.rfind("drive:", 0) == 0 && name.size() == 7 && name[6] >= 'a' &&
               name[6] <= 'z') {
      const std::string letter(1, static_cast<char>(name[6] - 'a' + 'A'));
      if (!options.drive.empty() && options.drive != letter) refusal = Refusal::NotUnderstood;
      options.drive = letter;
    } else if (name == "export" || name == "apply") {
      if (options.batch_option.empty()) options.batch_option = "/" + name;
      if (MissingFile(args, i + 1)) {
        refusal = Refusal::MissingFile;
      } else if (options.batch != BatchAction::None || options.adjust) {
        refusal = Refusal::Combination;
      } else {
        options.batch = name == "export" ? BatchAction::Export : BatchAction::Apply;
        options.batch_file = args[++i];
      }
    } else if (name != "quiet") {
      refusal = Refusal::NotUnderstood;
    }
    if (refusal != Refusal::None) {
      Refuse(options, refusal, arg);
      return options;
    }
  }
  // Quiet is about the failures of /export and /apply; alone it would promise
  // something the main window does not do.
  if (options.quiet && options.batch == BatchAction::None) {
    Refuse(options, Refusal::Combination, quiet_arg);
  }
  return options;
}

std::string OptionsMessage(const std::string& rejected, int language_flag) {
  ProgramOptions options;
  options.valid = false;
  options.refusal = Refusal::NotUnderstood;
  options.rejected = rejected;
  return OptionsMessage(options, language_flag);
}

std::string OptionsMessage(const ProgramOptions& options, int language_flag) {
  const std::string& rejected = options.rejected;
  if (language_flag == 0) {
    std::string first;
    switch (options.refusal) {
      case Refusal::MissingFile:
        first = "このオプションの後にファイル名が必要です: ";
        break;
      case Refusal::Combination:
        first = "このオプションは他のオプションと一緒に使用できません: ";
        break;
      default:
        first = "このオプションは使用できません: ";
        break;
    }
    return first + rejected +
           "\n\n使用できるオプション:\n"
           "  /drive:X\tボードのドライブ文字 (X は A から Z)\n"
           "  /adjust\tテスト・拡張モード\n"
           "  /export ファイル\tボードの設定をファイルに書き出す\n"
           "  /apply ファイル\tファイルの設定をボードに書き込む\n"
           "  /quiet\t/export・/apply が失敗してもメッセージを表示しない\n\n"
           "/export と /apply は一緒に使用できず、/adjust とも使用できません。\n"
           "\"/\" の代わりに \"-\" も使用できます。大文字と小文字は区別しません。";
  }
  std::string first;
  switch (options.refusal) {
    case Refusal::MissingFile:
      first = "This option needs a file name after it: ";
      break;
    case Refusal::Combination:
      first = "This option cannot be used together with the other options: ";
      break;
    default:
      first = "This option is not understood: ";
      break;
  }
  return first + rejected +
         "\n\nAccepted options:\n"
         "  /drive:X\tthe board's drive letter (X from A to Z)\n"
         "  /adjust\ttest/adjust mode\n"
         "  /export FILE\twrite the board's settings to FILE\n"
         "  /apply FILE\tgive the board the settings in FILE\n"
         "  /quiet\tno message when /export or /apply fails\n\n"
         "/export and /apply go neither together nor with /adjust.\n"
         "Options may start with \"-\" instead of \"/\" and may be written in any case.";
}

BatchRequest BatchRequestOf(const ProgramOptions& options) {
  return BatchRequest{options.batch, options.batch_option, options.batch_file, options.quiet};
}

}  // namespace z4
