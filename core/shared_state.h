// Application-wide values, one instance each, living for the whole run. Every
// value is read and written through its get/set pair; text values are copied in
// and out, so nobody keeps references into the holder.
#pragma once

#include <string>

#include "core/settings_record.h"

namespace z4 {

class SharedState {
 public:
  // Back to the values at program load (zero and empty); start-up and tests.
  static void Reset() { values() = Values{}; }

  // 0 Japanese built-in texts, 1 English.
  static int GetLanguageFlag() { return values().language_flag; }
  static void SetLanguageFlag(int v) { values().language_flag = v; }
  // The board's drive letter alone, or empty.
  static std::string GetDeviceDrive() { return values().device_drive; }
  static void SetDeviceDrive(const std::string& v) { values().device_drive = v; }
  // 1 when the letter answered at the last discovery.
  static int GetDeviceFound() { return values().device_found; }
  static void SetDeviceFound(int v) { values().device_found = v; }
  static SettingsRecord GetDeviceSettings() { return values().device_settings; }
  static void SetDeviceSettings(const SettingsRecord& v) { values().device_settings = v; }
  static std::string GetJobText() { return values().job_text; }
  static void SetJobText(const std::string& v) { values().job_text = v; }
  // Timer ticks the current job may take; -1 means no limit.
  static int GetJobTimeLimit() { return values().job_time_limit; }
  static void SetJobTimeLimit(int v) { values().job_time_limit = v; }
  static std::string GetEnteredFileName() { return values().entered_file_name; }
  static void SetEnteredFileName(const std::string& v) { values().entered_file_name = v; }
  static std::string GetSaveFolder() { return values().save_folder; }
  static void SetSaveFolder(const std::string& v) { values().save_folder = v; }
  // The drive letter named on the command line, or empty: discovery then
  // takes it instead of reading the registry.
  static std::string GetDriveOption() { return values().drive_option; }
  static void SetDriveOption(const std::string& v) { values().drive_option = v; }
  // The board's settings file as the program last read it from the board,
  // and that board's letter; both empty when the last read gave no file.
  static std::string GetBoardFile() { return values().board_file; }
  static std::string GetBoardFileDrive() { return values().board_file_drive; }
  static void SetBoardFile(const std::string& bytes, const std::string& drive) {
    values().board_file = bytes;
    values().board_file_drive = drive;
  }
  // The folder the program writes into, chosen at start-up; empty before.
  static std::string GetDataFolder() { return values().data_folder; }
  static void SetDataFolder(const std::string& v) { values().data_folder = v; }
  static int GetTestAdjustMode() { return values().test_adjust_mode; }
  static void SetTestAdjustMode(int v) { values().test_adjust_mode = v; }
  // 1 while device work runs that the main window's timers must not interleave with.
  static int GetPanelBusy() { return values().panel_busy; }
  static void SetPanelBusy(int v) { values().panel_busy = v; }
  static int GetWatchStep() { return values().watch_step; }
  static void SetWatchStep(int v) { values().watch_step = v; }
  // Looks in a row that found the board's drive or root missing.
  static int GetDriveMisses() { return values().drive_misses; }
  static void SetDriveMisses(int v) { values().drive_misses = v; }
  // True once the board's drive is known to be gone, until the removal is handled.
  static bool GetBoardGone() { return values().board_gone; }
  static void SetBoardGone(bool v) { values().board_gone = v; }
  // 0 the status window reports a settings read, 1 a settings write.
  static int GetStatusKind() { return values().status_kind; }
  static void SetStatusKind(int v) { values().status_kind = v; }

  // The main window's own state.
  static bool GetCloseOnTick() { return values().close_on_tick; }
  static void SetCloseOnTick(bool v) { values().close_on_tick = v; }
  // 0 idle, 1 wait cursor, 2 restore the arrow once.
  static int GetCursorState() { return values().cursor_state; }
  static void SetCursorState(int v) { values().cursor_state = v; }
  static int GetRetryCount() { return values().retry_count; }
  static void SetRetryCount(int v) { values().retry_count = v; }
  // 0 searching, 1 read job issued or search given up, 2 settings loaded and watched.
  static int GetDeviceState() { return values().device_state; }
  static void SetDeviceState(int v) { values().device_state = v; }
  static bool GetUseDefaults() { return values().use_defaults; }
  static void SetUseDefaults(bool v) { values().use_defaults = v; }
  static bool GetJobRunning() { return values().job_running; }
  static void SetJobRunning(bool v) { values().job_running = v; }
  // 0 other, 1 waveform, 2 settings read, 3 settings write.
  static int GetJobKind() { return values().job_kind; }
  static void SetJobKind(int v) { values().job_kind = v; }
  static int GetJobTicks() { return values().job_ticks; }
  static void SetJobTicks(int v) { values().job_ticks = v; }
  static SettingsRecord GetPendingSettings() { return values().pending_settings; }
  static void SetPendingSettings(const SettingsRecord& v) { values().pending_settings = v; }

 private:
  struct Values {
    int language_flag = 0;
    std::string device_drive;
    int device_found = 0;
    SettingsRecord device_settings;
    std::string job_text;
    int job_time_limit = 0;
    std::string entered_file_name;
    std::string save_folder;
    std::string drive_option;
    std::string data_folder;
    std::string board_file;
    std::string board_file_drive;
    int test_adjust_mode = 0;
    int panel_busy = 0;
    int watch_step = 0;
    int drive_misses = 0;
    bool board_gone = false;
    int status_kind = 0;
    bool close_on_tick = false;
    int cursor_state = 0;
    int retry_count = 0;
    int device_state = 0;
    bool use_defaults = false;
    bool job_running = false;
    int job_kind = 0;
    int job_ticks = 0;
    SettingsRecord pending_settings;
  };
  static Values& values() {
    static Values instance;
    return instance;
  }
};

}  // namespace z4
