// Application-wide values, one instance each, living for the whole run. Every
// value is read and written through its get/set pair; text values are copied in
// and out, so nobody keeps references into the holder.
#pragma once

#include <string>

#include "core/settings_record.h"

namespace z4 {

// The values with named meanings, with exactly the numbers they have always had.
// 0 idle, 1 wait cursor, 2 restore the arrow once.
enum class CursorState { kIdle = 0, kWait = 1, kRestoreArrow = 2 };
// 0 searching, 1 read job issued or search given up, 2 settings loaded and watched.
enum class DeviceState { kSearching = 0, kReading = 1, kWatching = 2 };
// 0 other, 1 waveform, 2 settings read, 3 settings write.
enum class JobKind { kOther = 0, kWaveform = 1, kSettingsRead = 2, kSettingsWrite = 3 };
// 0 the status window reports a settings read, 1 a settings write.
enum class StatusKind { kRead = 0, kWrite = 1 };
// The device watch's sub-step: while searching, 0 find the drive and 1 probe
// it; while watching, 0 probe, 1 wait a tick after a miss, 2 probe again.
enum class WatchStep { kFirst = 0, kSecond = 1, kThird = 2 };

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
  static WatchStep GetWatchStep() { return values().watch_step; }
  static void SetWatchStep(WatchStep v) { values().watch_step = v; }
  // Looks in a row that found the board's drive or root missing.
  static int GetDriveMisses() { return values().drive_misses; }
  static void SetDriveMisses(int v) { values().drive_misses = v; }
  // True once the board's drive is known to be gone, until the removal is handled.
  static bool GetBoardGone() { return values().board_gone; }
  static void SetBoardGone(bool v) { values().board_gone = v; }
  // 0 the status window reports a settings read, 1 a settings write.
  static StatusKind GetStatusKind() { return values().status_kind; }
  static void SetStatusKind(StatusKind v) { values().status_kind = v; }

  // The main window's own state.
  static bool GetCloseOnTick() { return values().close_on_tick; }
  static void SetCloseOnTick(bool v) { values().close_on_tick = v; }
  // 0 idle, 1 wait cursor, 2 restore the arrow once.
  static CursorState GetCursorState() { return values().cursor_state; }
  static void SetCursorState(CursorState v) { values().cursor_state = v; }
  static int GetRetryCount() { return values().retry_count; }
  static void SetRetryCount(int v) { values().retry_count = v; }
  // 0 searching, 1 read job issued or search given up, 2 settings loaded and watched.
  static DeviceState GetDeviceState() { return values().device_state; }
  static void SetDeviceState(DeviceState v) { values().device_state = v; }
  static bool GetUseDefaults() { return values().use_defaults; }
  static void SetUseDefaults(bool v) { values().use_defaults = v; }
  static bool GetJobRunning() { return values().job_running; }
  static void SetJobRunning(bool v) { values().job_running = v; }
  // 0 other, 1 waveform, 2 settings read, 3 settings write.
  static JobKind GetJobKind() { return values().job_kind; }
  static void SetJobKind(JobKind v) { values().job_kind = v; }
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
    WatchStep watch_step = WatchStep::kFirst;
    int drive_misses = 0;
    bool board_gone = false;
    StatusKind status_kind = StatusKind::kRead;
    bool close_on_tick = false;
    CursorState cursor_state = CursorState::kIdle;
    int retry_count = 0;
    DeviceState device_state = DeviceState::kSearching;
    bool use_defaults = false;
    bool job_running = false;
    JobKind job_kind = JobKind::kOther;
    int job_ticks = 0;
    SettingsRecord pending_settings;
  };
  static Values& values() {
    static Values instance;
    return instance;
  }
};

}  // namespace z4
