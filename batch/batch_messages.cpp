#include "batch/batch_messages.h"

#include "settings/settings_format.h"

namespace z4 {
namespace {

bool Japanese(int language_flag) {
  return language_flag == 0;
}

std::string KeyName(int key) {
  const char* name = SettingsKeyName(key);
  return name ? name : "";
}

// One unusable key: "Density:95 (70 to 90)" or "FileDate missing".
std::string ProblemText(const SettingsProblem& p, int language_flag) {
  const bool ja = Japanese(language_flag);
  switch (p.kind) {
    case SettingsProblem::Missing:
      return KeyName(p.key) + (ja ? " がありません" : " missing");
    case SettingsProblem::NotAKey:
      return p.value + (ja ? " (読み取れません: キーは " + KeyName(p.key) + " と書きます)"
                           : " (not read: the key is written " + KeyName(p.key) + ")");
    case SettingsProblem::TwoValues:
      return KeyName(p.key) + ":" + p.value + (ja ? " と " : " and ") + KeyName(p.key) + ":" +
             p.other + (ja ? " (値が 2 つあります)" : " (two values)");
    default:
      break;
  }
  return KeyName(p.key) + ":" + p.value + " (" + AllowedValues(p.key, language_flag) + ")";
}

// One read-back difference: "CCFLOffTim: written 045, read 030".
std::string DifferenceText(const ValueDifference& d, int language_flag) {
  if (!Japanese(language_flag)) return z4::DifferenceText(d);
  return KeyName(d.key) + ": 書き込み " + d.written + "、読み出し " +
         (d.read.empty() ? "なし" : d.read);
}

template <typename T, typename F>
std::string Joined(const std::vector<T>& items, const char* separator, F text) {
  std::string joined;
  for (const T& item : items) joined += (joined.empty() ? "" : separator) + text(item);
  return joined;
}

std::string BoardOn(const std::string& drive, int language_flag) {
  if (Japanese(language_flag)) return drive.empty() ? "ボード" : drive + ": ドライブのボード";
  return drive.empty() ? "The board" : "The board on drive " + drive + ":";
}

std::string OwnFileJapanese(OwnFile own) {
  switch (own) {
    case OwnFile::Log:
      return "プログラムのログです。";
    case OwnFile::Lock:
      return "2 つのコピーが同時に動かないようにするためのロック ファイルです。";
    case OwnFile::WorkingFolder:
      return "作業フォルダー BackupZ4 の中にあります。";
    case OwnFile::History:
      return "ボードへの書き込みの履歴の中にあります。";
    case OwnFile::None:
      break;
  }
  return {};
}

std::string JapaneseMessage(const BatchReport& r, BatchAction action, const std::string& drive,
                            const std::string& file) {
  const std::string failed = action == BatchAction::Export ? "設定を書き出せませんでした。\n"
                                                           : "設定を書き込めませんでした。\n";
  const std::string board = BoardOn(drive, 0);
  const std::string nothing_sent =
      action == BatchAction::Apply ? "\nボードには何も書き込んでいません。" : "";
  switch (r.outcome) {
    case BatchOutcome::Done:
      return action == BatchAction::Export ? "設定を書き出しました。" : "設定を書き込みました。";
    case BatchOutcome::Refused:
      return {};
    case BatchOutcome::OwnFile:
      return failed + "このファイルは Z4Utility が自分で使うファイルなので、置き換えません:\n" +
             file + "\n" + OwnFileJapanese(r.own) +
             "何もしていません。別のファイルを指定してください。";
    case BatchOutcome::NoBoard:
      return failed + "Z-4 ボードが見つかりません。";
    case BatchOutcome::NoAnswer:
      return failed + board + "が制限時間内に応答しませんでした。";
    case BatchOutcome::NoSettingsFile:
      return failed + board + "の設定ファイルを読み込めませんでした。" + nothing_sent;
    case BatchOutcome::BoardFileTooLarge:
      return failed + board + "の設定ファイルが 64 KB を超えているため使用できません。" +
             nothing_sent;
    case BatchOutcome::NotReadBack:
      return board + "に設定を書き込みましたが、確認のために読み出すことができませんでした。";
    case BatchOutcome::Stopped:
      return failed + "メモリが不足したため、実行を中止しました。";
    case BatchOutcome::FileUnreadable:
      return failed + "設定ファイルを読み込めません:\n" + file;
    case BatchOutcome::FileInvalid:
      return failed + "設定ファイルに使用できない値があります:\n" + file + "\n\n" +
             Joined(r.problems, "\n", [](const SettingsProblem& p) { return ProblemText(p, 0); }) +
             "\n\nボードには何も送っていません。";
    case BatchOutcome::ReadBackDiffers:
      return failed + board + "から読み出した値が書き込んだ値と異なります:\n" +
             Joined(r.differences, "\n",
                    [](const ValueDifference& d) { return DifferenceText(d, 0); });
    case BatchOutcome::FileNotWritten:
      return failed + "ファイルに書き込めません。ファイルは変更されていません:\n" + r.subject;
    case BatchOutcome::LocalFilesNotWritten:
      return failed + "プログラムのファイルを書き込めません:\n" + r.subject;
    case BatchOutcome::Busy:
      return failed +
             "同じデータ フォルダーで、別の Z4Utility (設定ウィンドウ、/export または "
             "/apply) が実行中です。\n"
             "ボードには何も送っていません。もう一方を終了するか、1 台ずつ順番に実行してください。";
  }
  return {};
}

std::string EnglishMessage(const BatchReport& r, BatchAction action, const std::string& drive,
                           const std::string& file) {
  const std::string failed = action == BatchAction::Export ? "The settings could not be exported.\n"
                                                           : "The settings could not be applied.\n";
  const std::string board = BoardOn(drive, 1);
  const std::string board_lower = "t" + board.substr(1);
  const std::string nothing_sent =
      action == BatchAction::Apply ? "\nNothing was written to the board." : "";
  switch (r.outcome) {
    case BatchOutcome::Done:
      return action == BatchAction::Export ? "The settings were exported."
                                           : "The settings were applied.";
    case BatchOutcome::Refused:
      return {};
    case BatchOutcome::OwnFile:
      return failed + "Z4Utility keeps this file for itself, so it was not replaced:\n" + file +
             "\nIt is " + OwnFileText(r.own) + ". Nothing was done; name another file.";
    case BatchOutcome::NoBoard:
      return failed + "No Z-4 board was found.";
    case BatchOutcome::NoAnswer:
      return failed + board + " did not finish its job within the time limit.";
    case BatchOutcome::NoSettingsFile:
      return failed + "The settings file of " + board_lower + " could not be read." + nothing_sent;
    case BatchOutcome::BoardFileTooLarge:
      return failed + "The settings file of " + board_lower +
             " is larger than 64 KiB and cannot be used." + nothing_sent;
    case BatchOutcome::NotReadBack:
      return "The settings were written to " + board_lower +
             ", but they could not be read back to check them.";
    case BatchOutcome::Stopped:
      return failed + "There was not enough memory for a step, so the run was stopped.";
    case BatchOutcome::FileUnreadable:
      return failed + "The settings file cannot be read:\n" + file;
    case BatchOutcome::FileInvalid:
      return failed + "The settings file holds values that cannot be used:\n" + file + "\n\n" +
             Joined(r.problems, "\n", [](const SettingsProblem& p) { return ProblemText(p, 1); }) +
             "\n\nNothing was sent to the board.";
    case BatchOutcome::ReadBackDiffers:
      return failed + board + " holds other values than were written:\n" +
             Joined(r.differences, "\n",
                    [](const ValueDifference& d) { return DifferenceText(d, 1); });
    case BatchOutcome::FileNotWritten:
      return failed + "The file cannot be written; it was left as it was:\n" + r.subject;
    case BatchOutcome::LocalFilesNotWritten:
      return failed + "The program cannot write its own files:\n" + r.subject;
    case BatchOutcome::Busy:
      return failed +
             "Another copy of Z4Utility (its settings window, /export or /apply) is running "
             "with the same data folder.\n"
             "Nothing was sent to the board. Close the other copy, or run one board after "
             "another.";
  }
  return {};
}

}  // namespace

std::string AllowedValues(int key, int language_flag) {
  const bool ja = Japanese(language_flag);
  switch (key) {
    case kKeyDensity:
      return ja ? "70 から 90" : "70 to 90";
    case kKeyCCFLOffTim:
      return ja ? "30 から 120 分、15 分単位" : "30 to 120 minutes in steps of 15";
    case kKeyCCFLStabTim:
      return ja ? "10 から 120 秒、10 秒単位" : "10 to 120 seconds in steps of 10";
    case kKeyFileFormat:
      return ja ? "P (PNG) または T (TIFF)" : "P (PNG) or T (TIFF)";
    case kKeySetting:
      return ja ? "H または V" : "H or V";
    case kKeyFileDate:
      return ja ? "2000 年から 2999 年の YYYY/MM/DD hh:mm:ss"
                : "YYYY/MM/DD hh:mm:ss, years 2000 to 2999";
    case kKeyImageMove:
      return ja ? "N または Y" : "N or Y";
    default:
      return {};
  }
}

std::string BatchMessage(const BatchReport& report, BatchAction action, const std::string& drive,
                         const std::string& file, int language_flag) {
  const bool ja = Japanese(language_flag);
  const std::string text = ja ? JapaneseMessage(report, action, drive, file)
                              : EnglishMessage(report, action, drive, file);
  if (report.unlogged.empty()) return text;
  return text + (ja ? "\n\nログに記録できませんでした:\n" : "\n\nThe log could not be written:\n") +
         report.unlogged;
}

namespace {

std::string BaseOutcomeText(const BatchReport& r) {
  std::string code = std::to_string(ExitCodeOf(r.outcome)) + " ";
  switch (r.outcome) {
    case BatchOutcome::Done:
      if (!r.written) return code + "done";
      return code + "done: " + (r.changes.empty() ? "no change" : r.changes);
    case BatchOutcome::Refused:
      return code + "command line refused: " + r.subject;
    case BatchOutcome::OwnFile:
      return code + "command line refused: " + r.subject + " is " + OwnFileText(r.own);
    case BatchOutcome::NoBoard:
      return code + "no board";
    case BatchOutcome::NoAnswer:
      return code + "no answer: job not finished within the time limit";
    case BatchOutcome::NoSettingsFile:
      return code + "no answer: no settings file from the board";
    case BatchOutcome::BoardFileTooLarge:
      return code + "board file unusable: larger than 64 KiB";
    case BatchOutcome::NotReadBack:
      return code + "not read back: written, but the settings could not be read back";
    case BatchOutcome::Stopped:
      return code + "stopped: not enough memory";
    case BatchOutcome::FileUnreadable:
      return code + "invalid file: cannot be read";
    case BatchOutcome::FileInvalid:
      return code + "invalid file: " + Joined(r.problems, "; ", [](const SettingsProblem& p) {
               return ProblemText(p, 1);
             });
    case BatchOutcome::ReadBackDiffers:
      return code +
             "read-back differs: " + Joined(r.differences, "; ", [](const ValueDifference& d) {
               return DifferenceText(d, 1);
             });
    case BatchOutcome::FileNotWritten:
    case BatchOutcome::LocalFilesNotWritten:
      return code + "not written: " + r.subject;
    case BatchOutcome::Busy:
      return code + "busy: another copy runs with the same data folder";
  }
  return code;
}

}  // namespace

std::string OutcomeText(const BatchReport& r) {
  const std::string text = BaseOutcomeText(r);
  if (!r.history_tried) return text;
  if (r.history.empty()) return text + "; history not written";
  return text + "; history " + r.history + (r.after_missing ? " (no after file)" : "");
}

}  // namespace z4
