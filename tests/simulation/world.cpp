#include "simulation/world.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <new>
#include <set>
#include <sstream>

#include "app/startup.h"
#include "batch/batch_outcome.h"
#include "core/shared_state.h"
#include "core/utf8_check.h"
#include "fakes/board_registration.h"
#include "fakes/fake_board_storage.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_ui.h"
#include "res/resource_ids.h"
#include "settings/settings_format.h"
#include "settings/settings_history.h"
#include "sim/board.h"
#include "sim/settings_file.h"
#include "sim/state_file.h"

namespace z4::simulation {
namespace {

using Clock = std::int64_t;
const std::string kProgram = "C:\\Program Files\\Z4";
const std::string kLocal = "C:\\Users\\service\\AppData\\Local";
const std::string kBatch = "C:\\batch";
const std::string kOtherCopyJob = "the other copy's job";
const std::string kDiskClass = "#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";

// The seven values of a settings file as the program reads them.
std::string Seven(std::string_view bytes) {
  SettingsRecord record = BuiltInSettings();
  AcceptedValues accepted;
  ParseSettingsFile(bytes, accepted);
  accepted.ApplyTo(record);
  std::string text;
  for (int key = 0; key < kSettingsKeyCount; ++key) {
    text += std::string(SettingsKeyName(key)) + "=" + RecordValueText(record, key) + " ";
  }
  return text;
}
std::string Seven(const sim::Settings& s) {
  return Seven(sim::SettingsFileText(s));
}
std::string Pending() {
  return Seven(RewriteSettingsFile("", SharedState::GetPendingSettings()));
}

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool Inside(const std::string& path, const std::string& folder) {
  const std::string p = Lower(path), f = Lower(folder);
  return p == f || (StartsWith(p, f + "\\") && p.size() > f.size() + 1);
}

std::vector<std::uint8_t> Utf16(const std::string& text) {
  std::vector<std::uint8_t> data;
  for (char c : text) data.insert(data.end(), {static_cast<std::uint8_t>(c), 0});
  return data;
}

// A text of the shipped text table.
std::string TextOf(const std::string& table, const std::string& key) {
  const auto at = table.find("\n" + key + "=") + key.size() + 2;
  std::string text = table.substr(at, table.find('\n', at) - at);
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return text;
}

struct Leave : fakes::LeaveTheProgram {};

class World : public DialogHost {
 public:
  explicit World(const Start& start);
  RunOutcome Run(const std::vector<Step>& steps);

  // The top-level windows and message boxes of the program.
  int RunModal(int resource_id, DialogHandler& handler) override {
    fakes::FakeDialog& dialog = ui_.Open(resource_id, handler);
    ui_.RunUntilClosed(48LL * 3600 * 1000);
    if (!ui_.MainDestroyed()) Fail("time", "the window never closed");
    return dialog.Result();
  }
  void ShowMessage(const std::string& text, const std::string&) override {
    host_boxes_.push_back(text);
    Say("message: " + text.substr(0, text.find('\n')));
  }
  void SetFailureMessage(const std::string& text, const std::string&) override {
    ui_.failure_message = text;
  }

 private:
  void SetUpPc();
  void SetUpBoard();
  void Register(bool board);
  std::string Data() const {
    return start_.program_read_only && !start_.no_local_folder ? kLocal + "\\Z4Utility" : kProgram;
  }
  void Tick();
  void Perform(const Step& s);
  void UserControl(fakes::FakeDialog& top, const Step& s);
  void UserPress(fakes::FakeDialog& top, const Step& s);
  void Press(int id, const std::string& what);
  void Close();
  void Unplug(const std::string& how);
  void Plug();
  void OnOperation(const std::string& op);
  void Say(const std::string& what);
  void CheckBoard();
  void CheckTouch(const std::string& op);
  void CheckLog();
  void CheckLine(const std::string& line);
  void CheckHistory();
  void CheckPruned(const std::string& name);
  void CheckWaits();
  void BoardSaidGone();
  void CheckEnd(int code);
  [[noreturn]] void Fail(const std::string& invariant, const std::string& detail) {
    if (!violation_) violation_ = Violation{static_cast<int>(next_), invariant, detail};
    throw Leave{};
  }

  Start start_;
  fakes::FakeMachine m_;
  fakes::FakeUi ui_{m_.clock};
  std::vector<std::string> host_boxes_, story_;
  std::optional<Violation> violation_;
  std::string texts_;
  // The board, and what happened to it.
  fakes::FakeBoardStorage storage_{m_.files, 'E'};
  sim::MemoryRecords records_;
  std::unique_ptr<sim::Board> board_;
  bool plugged_ = true, other_disk_ = false, swapped_ = false;
  std::size_t jobs_seen_ = 0;
  std::string last_report_;  // the settings file the board last wrote out
  Clock gone_since_ = -1, replug_at_ = -1;
  int missing_looks_ = 0;
  std::vector<std::pair<Clock, Clock>> absences_;
  // The steps.
  const std::vector<Step>* steps_ = nullptr;
  std::size_t next_ = 0;
  Clock next_at_ = 0, closing_since_ = -1, settle_from_ = -1, last_now_ = 0;
  int ops_to_unplug_ = -1, ops_to_fail_ = -1;
  bool settling_ = false, failed_allocation_ = false, log_unwritable_ = false;
  // What the promises are checked against.
  std::string file_, full_file_, file_before_, apply_values_, last_board_, set_start_board_;
  std::string report_at_write_, log_;
  sim::Settings last_settings_;
  std::set<std::string> sent_, newest_;
  std::map<std::string, std::string> history_;
  std::vector<bool> waits_checked_;
  int appends_seen_ = -1, accepted_sets_ = 0, set_lines_ = 0, batch_lines_ = 0, told_needed_ = 0;
  bool history_touched_ = true;
};

World::World(const Start& start) : start_(start) {
  SharedState::Reset();
  std::ifstream in(
      std::string(Z4_SOURCE_DIR) + (start.japanese ? "/res/ja" : "/res") + "/Z4Utility.ini",
      std::ios::binary);
  std::ostringstream table;
  table << in.rdbuf();
  texts_ = table.str();
  SetUpPc();
  SetUpBoard();
  ui_.guard_handlers = true;
  ui_.message_box_ms = start.message_box_ms;
  ui_.on_create = [this](fakes::FakeDialog& d) {
    if (d.ResourceId() == IDD_GRAPH) d.drawing_areas[IDC_GRAPH_FRAME] = Rect{0, 0, 935, 498};
    d.images.loads = [this](const std::string& path) {
      const std::string bytes = m_.files.Contents(path).value_or("");
      return StartsWith(bytes, "\x89PNG") || StartsWith(bytes, "II*");
    };
  };
  ui_.on_message_box = [this](const fakes::FakeUi::Box& box) {
    Say("message: " + box.text.substr(0, box.text.find('\n')));
    if (box.text == TextOf(texts_, "ERROR_USB_STOP_JAPAN")) BoardSaidGone();
    settling_ = false;  // what the timers do under the box is not the press's
  };
  ui_.after_timer = [this] { Tick(); };
  m_.files.before_operation = [this](const std::string& op) { OnOperation(op); };
}

void World::SetUpPc() {
  auto& files = m_.files;
  static const OsVersion kOs[] = {{5, 1}, {5, 0}, {10, 0}};
  m_.system.version = kOs[start_.os];
  files.AddFile(kProgram + "\\Z4Utility.ini", texts_);
  files.AddDirectory(kBatch);
  files.AddDrive('F', DriveKind::Fixed);
  files.AddFile("F:\\keep.txt", "a fixed disk's file");
  if (start_.no_local_folder) m_.system.local_app_data.reset();
  const std::string data = Data();
  files.AddDirectory(start_.no_local_folder ? data : kLocal);
  files.AddDirectory(data);
  m_.wall_clock.now =
      start_.clock_back ? LocalTime{2009, 1, 1, 0, 0, 0} : LocalTime{2024, 6, 1, 8, 15, 53};
  for (int n = 1; n <= start_.history_files; ++n) {
    // Half of them as earlier versions named them, which count as older.
    char name[64];
    const char* kind = n % 2 ? "before" : "after";
    if (n % 4 < 2) {
      std::snprintf(name, sizeof name, "2024-07-01_%06d_E_%s.ini", n, kind);
    } else {
      std::snprintf(name, sizeof name, "%06d_2024-05-01_%06d_E_%s.ini", n, n, kind);
    }
    files.AddFile(data + "\\History\\" + name, sim::SettingsFileText(sim::Settings{}));
  }
  if (start_.user_files) {
    files.AddFile(data + "\\notes.txt", "the user's notes");
    files.AddFile(data + "\\History\\1 golden board.ini", "Density:85\r\n");
  }
  if (start_.lock != 0) files.AddFile(data + "\\BackupZ4.lock", "");
  files.SetHeldOpen(data + "\\BackupZ4.lock", start_.lock == 1);
  files.SetReadOnly(data + "\\BackupZ4.lock", start_.lock == 2);
  if (start_.lock == 1) files.AddFile(data + "\\BackupZ4\\Z4.JOB", kOtherCopyJob);
  // The file of /export or /apply.
  const std::string good = "Density:" + std::to_string(std::clamp(start_.density + 5, 70, 90)) +
                           "\r\nCCFLOffTim:045\r\nCCFLStabTim:030\r\nFileFormat:P\r\nSetting:V\r\n"
                           "FileDate:2010/07/04 00:00:00\r\nImageMove:Y\r\n";
  const std::string files_by_target[] = {kBatch + "\\a.ini",
                                         kBatch + "\\bad.ini",
                                         data + "\\Z4Utility.log",
                                         data + "\\History\\000001_2024-05-01_000001_E_before.ini",
                                         data + "\\BackupZ4\\mine.ini",
                                         kBatch,
                                         kBatch + "\\o\x01\xFF\xED\xA0\x80.ini",
                                         "a.ini"};
  file_ = files_by_target[static_cast<int>(start_.target)];
  full_file_ = start_.target == Target::Relative ? kBatch + "\\a.ini" : file_;
  files.EnterDirectory(kBatch);
  if (start_.target == Target::Log) {
    files.AddFile(full_file_, "\xEF\xBB\xBF");
  } else if (start_.target != Target::Folder) {
    files.AddFile(full_file_, start_.target == Target::BadFile ? "Density:95\r\n" : good);
  }
  file_before_ = files.Contents(full_file_).value_or("(none)");
  apply_values_ = Seven(good);
  files.SetReadOnly(kProgram, start_.program_read_only);
  log_unwritable_ = start_.program_read_only && (start_.local_read_only || start_.no_local_folder);
  if (start_.local_read_only) files.SetReadOnly(kLocal + "\\Z4Utility", true);
  if (start_.history_read_only) {
    files.AddDirectory(data + "\\History");
    files.SetReadOnly(data + "\\History", true);
  }
  log_ = files.Contents(data + "\\Z4Utility.log").value_or("");
  CheckHistory();
}

// The mounted-device table and the volume as Windows records the board, or another USB disk.
void World::Register(bool board) {
  const RegistryRoot lm = RegistryRoot::LocalMachine;
  if (start_.os != 2) {
    if (board) return fakes::RegisterBoardNt(m_.registry, 'E');
    return m_.registry.SetBinary(lm, "SYSTEM\\MountedDevices",
                                 "\\DosDevices\\E:", fakes::MountedDeviceData("9&1a2b3c4&0"));
  }
  const std::string text =
      board ? "_??_USBSTOR#Disk&Ven_KORA&Prod_Z-4&Rev_1.00#000000000000&" +
                  std::string(start_.way == Way::Adjust ? "1" : "0") + kDiskClass
            : "_??_USBSTOR#Disk&Ven_SanDisk&Prod_Cruzer&Rev_1.00#4C53&0" + kDiskClass;
  const std::string volume =
      std::string("Volume{") + (board ? "6a7c1e30" : "77777777") + "-0000-0000-0000-100000000045}";
  m_.registry.SetBinary(lm, "SYSTEM\\MountedDevices", "\\DosDevices\\E:", Utf16(text));
  m_.registry.SetBinary(lm, "SYSTEM\\MountedDevices", "\\??\\" + volume, Utf16(text));
  m_.files.SetVolumeName('E', "\\\\?\\" + volume + "\\");
}

void World::SetUpBoard() {
  sim::Settings settings;
  settings.density = start_.density;
  records_.state = sim::StateFileText(settings);
  sim::BoardOptions options;
  options.refuse_settings = start_.refusing;
  options.end_delay_ms = start_.end_delay_ms;
  m_.files.AddDrive('E');
  Register(true);
  board_ = std::make_unique<sim::Board>(storage_, records_, options);
  last_report_ = sim::SettingsFileText(board_->settings());
  last_board_ = Seven(board_->settings());
  last_settings_ = board_->settings();
  if (!start_.plugged) Unplug("");
  m_.clock.AddActor(50, [this](Clock now) {
    if (!plugged_ || other_disk_) return;
    // What the board writes out as its settings file is what it reports.
    const auto before = m_.files.Contents("E:\\Z4.INI");
    board_->Step(now);
    const auto after = m_.files.Contents("E:\\Z4.INI");
    const bool read =
        board_->jobs().size() > jobs_seen_ && StartsWith(board_->jobs().back(), "SetDataOut");
    if (after && (after != before || read)) last_report_ = *after;
    jobs_seen_ = board_->jobs().size();
  });
  m_.clock.AddActor(10, [this](Clock now) {
    if (replug_at_ >= 0 && now >= replug_at_) Plug();
  });
}

void World::Say(const std::string& what) {
  char at[32];
  std::snprintf(at, sizeof at, "%8.1f s  ", static_cast<double>(m_.clock.NowMs()) / 1000);
  story_.push_back(at + what);
}

RunOutcome World::Run(const std::vector<Step>& steps) {
  steps_ = &steps;
  next_at_ = steps.empty() ? 0 : steps[0].delay_ms;
  Say("start: " + StartText(start_));
  const bool batch = start_.way == Way::Export || start_.way == Way::Apply;
  m_.system.command_line =
      "\"" + kProgram + "\\Z4Utility.exe\"" + (start_.quiet && batch ? " /quiet" : "") +
      (start_.drive_option ? " /drive:E" : "") + (start_.way == Way::Adjust ? " /adjust" : "") +
      (start_.way == Way::Export ? " /export \"" + file_ + "\"" : "") +
      (start_.way == Way::Apply ? " /apply \"" + file_ + "\"" : "");
  try {
    int code = kExitFailed;  // what the program's own edge gives for a failed allocation
    try {
      code = RunUtility(m_.ports, *this);
    } catch (const Leave&) {
      throw;
    } catch (const std::bad_alloc&) {
    } catch (const std::exception& e) {
      Fail("nothing escapes", std::string("an exception left the program: ") + e.what());
    }
    Say("the program ended with exit code " + std::to_string(code));
    CheckEnd(code);
  } catch (const Leave&) {
  }
  return RunOutcome{violation_, static_cast<int>(std::min(next_, steps.size())), std::move(story_)};
}

void World::Tick() {
  const Clock now = m_.clock.NowMs();
  if (now < last_now_) Fail("time", "virtual time went back");
  last_now_ = now;
  if (!ui_.unexpected_failure.empty())
    Fail("nothing escapes", "a handler threw: " + ui_.unexpected_failure);
  CheckBoard();
  CheckLog();
  CheckWaits();
  if (closing_since_ >= 0) {
    if (now - closing_since_ > 120000)
      Fail("time", "the program did not end within 120 s of closing");
    return Close();
  }
  while (closing_since_ < 0 && now >= next_at_) {
    if (next_ >= steps_->size()) {
      closing_since_ = now;
      return Say("the user closes everything");
    }
    const Step& step = (*steps_)[next_++];
    next_at_ = now + (next_ < steps_->size() ? (*steps_)[next_].delay_ms : 0);
    Perform(step);
    CheckBoard();
    CheckLog();
    CheckHistory();
  }
}

void World::Press(int id, const std::string& what) {
  fakes::FakeDialog& top = *ui_.Top();
  if (!top.Control(id).enabled) return Say(what + " (disabled)");
  Say(what);
  const bool main = top.ResourceId() == IDD_CONFIG;
  if (main && id == IDC_SET && !SharedState::GetJobRunning()) {
    ++accepted_sets_;
    set_start_board_ = Seven(board_->settings());
    report_at_write_.clear();
  }
  // EXEC and STOP give the board half a second after each file of it they
  // delete, which it may still be busy with.
  settling_ = main && (id == IDC_EXECUTE || id == IDC_STOP);
  try {
    ui_.Click(id);
  } catch (...) {
    settling_ = false;
    throw;
  }
  settling_ = false;
}

void World::Perform(const Step& s) {
  sim::BoardOptions& options = board_->options();
  auto& files = m_.files;
  const auto toggled = [&](bool& flag, const char* on, const char* off) {
    flag = !flag;
    Say(flag ? on : off);
  };
  switch (s.kind) {
    case Kind::Wait:
      return Say("the user waits");
    case Kind::Control:
      if (ui_.Top()) UserControl(*ui_.Top(), s);
      return;
    case Kind::Press:
      if (ui_.Top()) UserPress(*ui_.Top(), s);
      return;
    case Kind::Unplug:
      return Unplug("unplug the board");
    case Kind::UnplugAtOperation:
      ops_to_unplug_ = 1 + s.a % 12;
      return Say("the board is to be pulled at file operation " + std::to_string(ops_to_unplug_));
    case Kind::BriefDrop:
      if (!plugged_ || other_disk_) return;
      replug_at_ = m_.clock.NowMs() + 20 + s.a % 60;
      return Unplug("the board drops out for a moment");
    case Kind::Plug:
      return Plug();
    case Kind::OtherDisk:
      if (other_disk_) return;
      Say("another disk takes the board's letter");
      if (plugged_) files.RemoveDrive('E');
      if (gone_since_ >= 0) absences_.emplace_back(gone_since_, m_.clock.NowMs());
      plugged_ = false;
      gone_since_ = -1;
      missing_looks_ = 0;
      other_disk_ = swapped_ = true;
      Register(false);
      files.SwapDisk('E', {{"E:\\data.txt", "another disk's file"}});
      return files.AddDrive('E');
    case Kind::Slow:
      options.end_delay_ms = s.a % 3 == 0 ? 45000 : s.a % 3 == 1 ? 3000 : 200;
      return Say("the board is slow: " + std::to_string(options.end_delay_ms) + " ms");
    case Kind::NeverEnd:
      return toggled(options.never_end, "the board never ends its jobs", "the board ends its jobs");
    case Kind::Refuse:
      return toggled(options.refuse_settings, "the board refuses settings files",
                     "the board takes settings files");
    case Kind::HoldFile: {
      static const char* const kNames[] = {"Z4.INI", "Z4JOB.END", "Z4.CSV", "Z4.LOG"};
      options.holds = {{kNames[s.a % 4], 200 + 1000 * (s.b % 5)}};
      return Say(std::string("the board holds ") + kNames[s.a % 4] + " open " +
                 std::to_string(options.holds[0].ms) + " ms");
    }
    case Kind::BoardFull:
      files.SetFreeSpace('E', s.a % 2 ? 1LL << 40 : s.b * 16);
      return Say(s.a % 2 ? "the board's disk has room" : "the board's disk is full");
    case Kind::HostileFile: {
      const std::string ini[] = {"", "Density:95\r\nDensity\r\n\xFF\xFE", std::string(70000, 'x'),
                                 "Density:80\r\nFileDate:2004/02/30 00:00:00\x1B[2J\r\n"};
      const std::string bytes[] = {"", "\x89PNG\r\n\x1A\n", std::string(300000, '\xFF'),
                                   "\xE3\x81\x82\x1B]0;x\x07\r\n"};
      std::optional<std::string>* targets[] = {&options.settings_file, &options.level_file,
                                               &options.self_test_log, &options.capture};
      *targets[s.a % 4] = s.a % 4 == 0 ? ini[s.b % 4] : bytes[s.b % 4];
      static const char* const kWhat[] = {"Z4.INI", "Z4.CSV", "Z4.LOG", "image"};
      return Say(std::string("the board writes a hostile ") + kWhat[s.a % 4]);
    }
    case Kind::DataFolderReadOnly:
    case Kind::HistoryReadOnly: {
      const bool data = s.kind == Kind::DataFolderReadOnly;
      log_unwritable_ |= data;
      files.SetReadOnly(Data() + (data ? "" : "\\History"), s.a % 2 == 0);
      return Say(std::string(data ? "the data folder" : "History") +
                 (s.a % 2 == 0 ? " becomes read-only" : " can be written"));
    }
    case Kind::PcFull:
      log_unwritable_ = true;
      files.SetFreeSpace('C', s.a % 2 ? 1LL << 40 : s.b * 64);
      return Say(s.a % 2 ? "the PC's disk has room" : "the PC's disk is full");
    case Kind::ClockJump: {
      static const int kYears[] = {-15, -1, 0, 0, 1};
      m_.wall_clock.now.year += kYears[s.a % 5];
      if (s.a % 5 == 3) m_.wall_clock.now.day = 1 + m_.wall_clock.now.day % 28;
      return Say("the clock jumps to " + std::to_string(m_.wall_clock.now.year));
    }
    case Kind::NoMemory:
      ops_to_fail_ = 1 + s.a % 40;
      return Say("memory is to run out at file operation " + std::to_string(ops_to_fail_));
  }
}

void World::Unplug(const std::string& how) {
  if (!plugged_) return;
  if (!how.empty()) Say(how);
  plugged_ = false;
  m_.files.RemoveDrive('E');
  gone_since_ = m_.clock.NowMs();
}

void World::Plug() {
  replug_at_ = -1;
  if (plugged_ && !other_disk_) return;
  Say("plug the board in");
  if (gone_since_ >= 0) absences_.emplace_back(gone_since_, m_.clock.NowMs());
  gone_since_ = -1;
  missing_looks_ = 0;
  if (other_disk_) {
    Register(true);
    m_.files.SwapDisk('E', {});
  }
  other_disk_ = false;
  plugged_ = true;
  m_.files.AddDrive('E');
}

void World::UserControl(fakes::FakeDialog& top, const Step& s) {
  static const char* const kDates[] = {"2004", "2010",     "1",   "12", "29", "31",   "07",   "2",
                                       "112",  "２０１０", "abc", "",   "0",  "2100", "1999", "30"};
  static const char* const kNames[] = {"1234", "", "ab/c", "１２３", "\x1B[1m", "99999999999"};
  if (top.ResourceId() == IDD_FILENAME) {
    top.Control(IDC_FILENAME_EDIT).text = kNames[s.b % 6];
    return Say(std::string("type the file name \"") + kNames[s.b % 6] + "\"");
  }
  if (top.ResourceId() == IDD_KIBAN) {
    // The next Save As: the proposed place, another name, BackupZ4, another disk, C:\Z4, cancel.
    const std::string answers[] = {"", "C:\\Z4\\other.png", Data() + "\\BackupZ4\\", "F:\\",
                                   "C:\\Z4\\"};
    ui_.save_answer = s.b % 6 == 5 ? std::nullopt : std::optional<std::string>(answers[s.b % 5]);
    return Say("the next Save As: " + ui_.save_answer.value_or("cancel"));
  }
  if (top.ResourceId() != IDD_CONFIG) return Say("the user looks at the window");
  static const int kIds[] = {IDC_DENSITY_TRACKBAR, IDC_OFFTIME_TRACKBAR, IDC_STABTIME_TRACKBAR,
                             IDC_FORMAT_PNG,       IDC_SETTING_0,        IDC_IMAGEMOVE_0,
                             IDC_FEED_ONESHOT,     IDC_MEMORY_ONESHOT,   IDC_YEAR_LIST,
                             IDC_MONTH_LIST,       IDC_DAY_LIST,         IDC_ITEM_CCD};
  const int what = s.a % 12;
  const int id = what == 11 ? IDC_ITEM_CCD + s.b % 9 : kIds[what];
  fakes::FakeControl& c = top.Control(id);
  if (!c.enabled) return Say("change control " + std::to_string(id) + " (disabled)");
  if (what < 3) {
    const int pos = c.range_min + s.b % (c.range_max - c.range_min + 1);
    Say("drag trackbar " + std::to_string(id) + " to " + std::to_string(pos));
    return ui_.Scroll(id, pos);
  }
  if (what < 8) {
    // The pairs: PNG/TIFF, H/V, off/on, one shot/continuous (two), the second id one higher.
    const int chosen = id + (s.b % 2), other = id + 1 - (s.b % 2);
    top.ChooseRadio(chosen, other);
    return Say("choose radio " + std::to_string(chosen));
  }
  if (what < 11) {
    top.SetText(id, kDates[s.b % 16]);
    return Say(std::string("type date part \"") + kDates[s.b % 16] + "\"");
  }
  c.checked = !c.checked;
  top.Control(IDC_NUMBER).text = kNames[s.b % 6];
  Say("tick item " + std::to_string(id) + (c.checked ? " on" : " off"));
}

void World::UserPress(fakes::FakeDialog& top, const Step& s) {
  switch (top.ResourceId()) {
    case IDD_CONFIG: {
      const int what = s.a % 16;
      if (what >= 6 && what < 11 && s.b % 3 != 0 && top.Control(IDC_EXECUTE).enabled) {
        // One item ticked, with a number for the inspection.
        for (int item = IDC_ITEM_CCD; item <= IDC_ITEM_KIBAN; ++item) {
          top.Control(item).checked = item == IDC_ITEM_CCD + s.b % 9;
        }
        top.Control(IDC_NUMBER).text = "1234";
      }
      if (what < 6) return Press(IDC_SET, "press Set");
      if (what < 11) return Press(IDC_EXECUTE, "press EXEC");
      return what < 15 ? Press(IDC_STOP, "press STOP") : Press(IDC_CANCEL_BUTTON, "press Cancel");
    }
    case IDD_GRAPH: {
      static const int kIds[] = {IDC_GRAPH_PRINT, IDC_GRAPH_SAVE, IDC_GRAPH_END};
      static const char* const kWhat[] = {"print the graph", "save Level.bmp", "close the graph"};
      if (s.a % 3 == 0) top.printer_orientation = s.b % 3;  // none, portrait, landscape
      return Press(kIds[s.a % 3], kWhat[s.a % 3]);
    }
    case IDD_KIBAN: {
      static const int kIds[] = {IDC_KIBAN_OK, IDC_KIBAN_RETURN, IDC_KIBAN_STOP};
      return Press(kIds[s.a % 3], "press inspection button " + std::to_string(kIds[s.a % 3]));
    }
    case IDD_FILENAME:
      if (s.a % 2 == 0) return Press(IDC_FILENAME_SET, "press SET in the file name dialog");
      Say("press Escape in the file name dialog");
      return ui_.PressCancel();
    case IDD_STATUS:
      if (s.a % 8 > 1) return;
      Say(s.a % 8 ? "press Enter in the status window" : "press Escape in the status window");
      return s.a % 8 ? ui_.PressOk() : ui_.PressCancel();
    default:
      return;
  }
}

void World::Close() {
  fakes::FakeDialog& top = *ui_.Top();
  switch (top.ResourceId()) {
    case IDD_CONFIG:
      if (!top.Ended()) Press(IDC_CANCEL_BUTTON, "press Cancel");
      return;
    case IDD_GRAPH:
      return Press(IDC_GRAPH_END, "close the graph");
    case IDD_KIBAN:
      return top.Control(IDC_KIBAN_STOP).enabled
                 ? Press(IDC_KIBAN_STOP, "press STOP in the inspection")
                 : Press(IDC_KIBAN_RETURN, "press Return");
    case IDD_FILENAME:
      Say("press Escape in the file name dialog");
      return ui_.PressCancel();
    default:
      return;
  }
}

void World::OnOperation(const std::string& op) {
  if (std::getenv("Z4_SIM_TRACE")) Say("  op " + op);
  if (ops_to_unplug_ > 0 && --ops_to_unplug_ == 0)
    Unplug("the board is pulled before \"" + op + "\"");
  if (ops_to_fail_ > 0 && --ops_to_fail_ == 0) {
    Say("no memory for \"" + op + "\"");
    failed_allocation_ = true;
    throw std::bad_alloc();
  }
  const Clock now = m_.clock.NowMs();
  if (settling_ && ui_.Top() && ui_.Top()->ResourceId() == IDD_CONFIG) {
    if (settle_from_ >= 0 && StartsWith(op.substr(op.find(' ') + 1), "E:") &&
        now - settle_from_ < 500) {
      Fail("the board's time",
           "\"" + op + "\" " + std::to_string(now - settle_from_) + " ms after a delete");
    }
    settle_from_ =
        StartsWith(op, "delete E:\\Z4.JOB") || StartsWith(op, "delete E:\\Z4.LOG") ? now : -1;
  }
  // Two looks in a row that find the board's drive missing end every wait on
  // it: no third one is made while the board stays away.
  if (gone_since_ >= 0 && StartsWith(op, "search E:") && ++missing_looks_ > 2) {
    Fail("time", "a third look at the board's missing drive: " + op);
  }
  CheckTouch(op);
}

// --- the promises

// A board changes only to the values of a settings file the program sent:
// never a mix, never values nobody asked for.
void World::CheckBoard() {
  if (board_->settings() == last_settings_) return;
  last_settings_ = board_->settings();
  const std::string now = Seven(board_->settings());
  if (now != last_board_ && !sent_.count(now))
    Fail("the board's settings", "the board holds " + now);
  last_board_ = now;
}

// Nothing is touched but the board, the data folder's own files and what the
// user asked to be written; what is sent to the board is what was meant.
void World::CheckTouch(const std::string& op) {
  std::string target;
  for (const char* w : {"copy ", "delete ", "mkdir ", "rmdir ", "write ", "replace "}) {
    if (StartsWith(op, w)) target = op.substr(std::string(w).size());
  }
  if (target.empty()) return;
  const auto arrow = target.find(" -> ");
  if (arrow != std::string::npos) {
    const std::string source = target.substr(0, arrow);
    target = target.substr(arrow + 4);
    if (target == "E:\\Z4.INI") {
      const std::string meant = start_.way == Way::Apply ? apply_values_ : Pending();
      const std::string sent = Seven(m_.files.Contents(source).value_or(""));
      if (sent != meant) Fail("the board's settings", "a settings file of " + sent + " was sent");
      sent_.insert(sent);
      report_at_write_ = last_report_;
    }
    // The inspection's image, saved where the user chose.
    if (Inside(target, "F:") && Inside(source, Data() + "\\BackupZ4")) return;
  }
  const std::string data = Data();
  const auto own = [&](const char* name) { return Lower(target) == Lower(data + name); };
  if (Inside(target, "E:")) {
    // On another disk only a delete of a file it does not hold changes nothing.
    if (other_disk_ && !(StartsWith(op, "delete ") && !m_.files.Exists(target))) {
      Fail("nothing else is touched", "another disk's " + target + ": " + op);
    }
  } else if (Inside(target, data + "\\History") && !own("\\History")) {
    history_touched_ = true;
    const std::string name = target.substr(data.size() + 9);
    if (!HistoryOrderKey(name)) Fail("nothing else is touched", op);
    if (!StartsWith(op, "delete ") && history_.count(Lower(target))) {
      Fail("the history", "a history file is written again: " + op);
    }
    if (StartsWith(op, "delete ")) {
      if (newest_.count(Lower(target)))
        Fail("the history", "the newest write's file is pruned: " + target);
      CheckPruned(name);
    }
  } else if (!(Inside(target, data + "\\BackupZ4") || own("\\BackupZ4.lock") ||
               own("\\Z4Utility.log") || own("\\Level.bmp") || own("") || own("\\History") ||
               Inside(target, "C:\\Z4") || Lower(target) == Lower(full_file_) ||
               Lower(target) == Lower(kLocal + "\\Z4Utility"))) {
    Fail("nothing else is touched", op);
  }
}

// What is pruned is the oldest of the history: the names of earlier versions
// (older by their time) before the numbered ones (older by their number).
void World::CheckPruned(const std::string& name) {
  const auto age = [](const std::string& n) {
    const auto cut = n.find('_');
    if (cut >= 6 && cut != std::string::npos && n.find_first_not_of("0123456789") == cut) {
      return "1" + std::string(20 - cut, '0') + n.substr(0, cut);
    }
    return "0" + n.substr(0, 17);
  };
  for (const auto& other : m_.files.List(Data() + "\\History")) {
    if (HistoryOrderKey(other) && Lower(other) != Lower(name) && age(other) < age(name)) {
      Fail("the history", "pruned " + name + " before the older " + other);
    }
  }
}

// The log only grows, by lines of five fields of clean text that say what happened.
void World::CheckLog() {
  if (m_.appender.appends == appends_seen_) return;
  appends_seen_ = m_.appender.appends;
  const std::string log = m_.files.Contents(Data() + "\\Z4Utility.log").value_or("");
  if (!StartsWith(log, log_)) Fail("the log only grows", "its earlier bytes changed");
  std::string added = log.substr(log_.size());
  if (log_.empty() && StartsWith(added, "\xEF\xBB\xBF")) added.erase(0, 3);
  log_ = log;
  std::size_t at = 0;
  for (std::size_t end; (end = added.find("\r\n", at)) != std::string::npos; at = end + 2) {
    CheckLine(added.substr(at, end - at));
  }
  if (at != added.size()) Fail("the log only grows", "a line without its end: " + added.substr(at));
}

void World::CheckLine(const std::string& line) {
  Say("log: " + line);
  std::vector<std::string> f;
  for (std::size_t at = 0, tab = 0; tab != std::string::npos; at = tab + 1) {
    tab = line.find('\t', at);
    f.push_back(line.substr(at, tab == std::string::npos ? tab : tab - at));
    if (!IsValidUtf8(f.back()) || EscapedText(f.back()) != f.back())
      Fail("the log", "a field that is not clean text: " + f.back());
  }
  if (f.size() != 5) Fail("the log", "a line of " + std::to_string(f.size()) + " fields: " + line);
  const std::string& outcome = f[4];
  const std::string board = Seven(board_->settings());
  const auto is = [&](const char* start) { return StartsWith(outcome, start); };
  std::string before, after;
  if (f[2] == "set") {
    ++set_lines_;
    before = f[3] == "-" ? "" : f[3];
    if (is("done") && board != Pending())
      Fail("the log says what happened", "\"" + outcome + "\" but the board holds " + board);
    if (is("not written") && board != set_start_board_)
      Fail("the log says what happened", "\"" + outcome + "\" but the board took " + board);
    // A Set that did not go through is told, unless the user closed the window.
    told_needed_ += is("not taken") || (is("written, not read back") &&
                                        outcome.find("window was closed") == std::string::npos);
    if ((is("done") || is("not taken")) && outcome.find("history not written") == std::string::npos)
      after = before;
  } else {
    ++batch_lines_;
    const auto h = outcome.find("; history ");
    if (h != std::string::npos && outcome.find("; history not written") == std::string::npos) {
      before = outcome.substr(h + 10);
      const bool no_after = before.find(" (no after file)") != std::string::npos;
      before = before.substr(0, before.find(" (no after file)"));
      if ((is("0 ") || is("5 read-back differs")) && !no_after) after = before;
    }
  }
  // The history: the board's file before the write, and the one it reported after it.
  if (!after.empty()) after = after.substr(0, after.size() - 10) + "after.ini";
  if (!before.empty() && !report_at_write_.empty()) {
    if (m_.files.Contents(before) != report_at_write_)
      Fail("the history", before + " is not what the board reported before the write");
    newest_ = {Lower(before)};
  }
  if (!after.empty()) {
    if (m_.files.Contents(after) != last_report_)
      Fail("the history", after + " is not what the board reported after the write");
    newest_.insert(Lower(after));
  }
  report_at_write_.clear();
}

// A history file never changes, and the newest write's stay.
void World::CheckHistory() {
  if (!history_touched_) return;
  history_touched_ = false;
  const std::string folder = Data() + "\\History";
  for (const auto& name : m_.files.List(folder)) {
    const std::string bytes = *m_.files.Contents(folder + "\\" + name);
    const auto kept = history_.emplace(Lower(folder + "\\" + name), bytes);
    if (!kept.second && kept.first->second != bytes)
      Fail("the history", "a history file changed: " + name);
  }
  for (const auto& path : newest_) {
    if (!m_.files.Exists(path)) Fail("the history", "the newest write's file is gone: " + path);
  }
}

// No wait on the board runs past its limit (80 ticks of 500 ms, after at most
// 60 attempts of 500 ms to deliver its files), and one that is on when the
// board is pulled ends within 2 s.
void World::CheckWaits() {
  const auto& opened = ui_.Dialogs();
  waits_checked_.resize(opened.size(), false);
  for (std::size_t i = 0; i < opened.size(); ++i) {
    const auto& w = opened[i];
    if (waits_checked_[i] || w.closed_at < 0) continue;
    waits_checked_[i] = true;
    if (w.resource_id != IDD_STATUS) continue;
    if (w.ended_at - w.opened_at > 40000 + 60 * 500 + 2000)
      Fail("time", "a status window waited " + std::to_string(w.ended_at - w.opened_at) + " ms");
    Clock pulled = gone_since_;
    for (const auto& [from, to] : absences_)
      pulled = from <= w.ended_at && to >= w.ended_at ? from : pulled;
    // (A step that failed for want of memory ends the wait once its message is read.)
    if (pulled >= w.opened_at && w.ended_at - pulled > 2000 && ui_.failures == 0) {
      Fail("time", "a status window waited " + std::to_string(w.ended_at - pulled) +
                       " ms on a pulled board");
    }
  }
}

// The program says the board went away only when it did: after two looks in
// a row a tick apart at the least, or two drops within a second.
void World::BoardSaidGone() {
  const Clock now = m_.clock.NowMs();
  if (other_disk_ || swapped_ || (gone_since_ >= 0 && now - gone_since_ >= 100)) return;
  int recent = gone_since_ >= 0;
  for (const auto& [from, to] : absences_) {
    if (to - from >= 100) return;
    recent += now - to < 1000;
  }
  if (recent < 2)
    Fail("the user is told", "the board was said to be gone, but it was away only for a moment");
}

void World::CheckEnd(int code) {
  CheckBoard();
  CheckLog();
  CheckHistory();
  std::size_t writes = 0;
  for (const auto& job : board_->jobs()) writes += StartsWith(job, "SetDataIn");
  if (code == kExitBusy && start_.lock != 1) Fail("exit codes", "exit 7 without another copy");
  if (start_.lock == 1 && (!board_->jobs().empty() ||
                           m_.files.Contents(Data() + "\\BackupZ4\\Z4.JOB") != kOtherCopyJob)) {
    Fail("one copy at a time", "the board or the other copy's files were touched");
  }
  if (start_.way == Way::Window || start_.way == Way::Adjust) {
    if (set_lines_ != accepted_sets_ && !failed_allocation_ && !log_unwritable_ &&
        code != kExitFailed) {
      Fail("one line per Set",
           std::to_string(accepted_sets_) + " Sets, " + std::to_string(set_lines_) + " lines");
    }
    const std::string written = TextOf(texts_, "ERROR_USB_WRITE_JAPAN");
    const auto told = std::count_if(ui_.Boxes().begin(), ui_.Boxes().end(),
                                    [&](const auto& b) { return b.text == written; });
    // A step that ran out of memory tells the user in its own message.
    if (told < told_needed_ && !failed_allocation_)
      Fail("the user is told", "a Set that did not go through, without a message");
    return;
  }
  // A run without the window: its one line, its message, its code.
  if (batch_lines_ != 1 && !log_unwritable_ && !failed_allocation_)
    Fail("one line per run", std::to_string(batch_lines_) + " lines");
  if (start_.quiet && !host_boxes_.empty())
    Fail("the user is told", "a message box in a /quiet run");
  if (!start_.quiet && code != 0 && host_boxes_.size() != 1)
    Fail("the user is told", "exit " + std::to_string(code) + " with " +
                                 std::to_string(host_boxes_.size()) + " messages");
  if (code == 0 && !host_boxes_.empty())
    Fail("the user is told", "a message after a run that went well");
  const std::string file_now = m_.files.Contents(full_file_).value_or("(none)");
  const std::string exit = "exit " + std::to_string(code);
  if (start_.way == Way::Export) {
    if (code == 0 && file_now != last_report_)
      Fail("exit codes", "exit 0, but FILE does not hold the board's file");
    if (code != 0 && code != kExitNotWritten && start_.target != Target::Log &&
        file_now != file_before_)
      Fail("exit codes", exit + ", but FILE was replaced");
  } else {
    if (code == 0 && Seven(board_->settings()) != apply_values_)
      Fail("exit codes", "exit 0, but the board holds other values");
    if (code == kExitReadBackDiffers && writes == 0)
      Fail("exit codes", "exit 5, but nothing was written");
    if ((code == kExitRefused || code == kExitNoBoard || code == kExitInvalidFile ||
         code == kExitBusy) &&
        writes != 0) {
      Fail("exit codes", exit + ", but the board took a settings file");
    }
  }
}

}  // namespace

RunOutcome RunScenario(const Scenario& scenario) {
  World world(scenario.start);
  return world.Run(scenario.steps);
}

}  // namespace z4::simulation
