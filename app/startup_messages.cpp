#include "app/startup_messages.h"

namespace z4 {

std::string DataFolderMessage(const std::string& folder, int language_flag) {
  if (language_flag == 0) {
    return "Z4Utility はデータ フォルダーに書き込めません:\n" + folder +
           "\n作業ファイル、ログ、ボードへの書き込みの履歴をここに置くため、ボードの設定を読むこと"
           "も"
           "書くこともできません。このユーザーが書き込めるフォルダーにするか、書き込めるフォルダー"
           "に"
           "プログラムをコピーしてから、もう一度起動してください。";
  }
  return "Z4Utility cannot write into its data folder:\n" + folder +
         "\nIt keeps its working files, its log and the history of board writes there, so it can "
         "neither read nor set a board. Let this user write there, or copy the program into a "
         "folder the user may write, and start it again.";
}

std::string AnotherCopyMessage(const std::string& folder, int language_flag) {
  if (language_flag == 0) {
    return "別の Z4Utility (設定ウィンドウ、/export または /apply) が、同じデータ フォルダーで"
           "実行中です:\n" +
           folder +
           "\nボードを扱えるのは一度に 1 つだけなので、ボードには触れずに終了します。もう一方を"
           "終了してから、もう一度起動してください。";
  }
  return "Another copy of Z4Utility (its settings window, /export or /apply) is running with "
         "the same data folder:\n" +
         folder +
         "\nOnly one copy at a time works with a board, so this one ends without touching the "
         "board. Close the other copy, then start this one again.";
}

std::string LockFileMessage(const std::string& lock_file, int language_flag) {
  if (language_flag == 0) {
    return "Z4Utility のロック ファイルを開けません:\n" + lock_file +
           "\nこのファイルは 2 つのコピーが同時にボードを扱わないようにするためのものです。"
           "読み取り専用か、このユーザーが変更できないファイルです。削除するか書き込めるように"
           "してから、もう一度起動してください。";
  }
  return "Z4Utility cannot open its lock file:\n" + lock_file +
         "\nThe file keeps two copies from working with a board at once. It is read-only or this "
         "user may not change it. Delete it or make it writable, then start the program again.";
}

}  // namespace z4
