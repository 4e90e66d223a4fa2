#include "simulation/world.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <set>
#include <sstream>

#include "app/batch_outcome.h"
#include "app/startup.h"
#include "core/shared_state.h"
#include "core/utf8_check.h"
#include "fakes/board_registration.h"
#include "fakes/fake_board_storage.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_ui.h"
#include "res/resource_ids.h"
#include "settings/settings_file.h"
#include "settings/settings_history.h"
#include "sim/board.h"
#include "sim/settings_file.h"
#include "sim/state_file.h"

namespace z4::simulation {
namespace {

const std::string kProgram = "C:\\Program Files\\Z4";
const std::string kLocal = "C:\\Users\\service\\AppData\\Local";
const std::string kBatch = "C:\\batch";
const std::string kOtherCopyJob = "the other copy's job";

// The seven values of a settings file as the program reads them, in written form.
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

std::string Seven(const SettingsRecord& record) {
  std::string text;
  for (int key = 0; key < kSettingsKeyCount; ++key) {
    text += std::string(SettingsKeyName(key)) + "=" + RecordValueText(record, key) + " ";
  }
  return text;
}

std::string Seven(const sim::Settings& settings) {
  return Seven(sim::SettingsFileText(settings));
}

std::string ShippedText(bool japanese) {
  std::ifstream in(
      std::string(Z4_SOURCE_DIR) + (japanese ? "/res/ja/Z4Utility.ini" : "/res/Z4Utility.ini"),
      std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string TextOf(const std::string& table, const std::string& key) {
  const auto at = table.find("\n" + key + "=");
  if (at == std::string::npos) return {};
  const auto start = at + key.size() + 2;
  std::string text = table.substr(start, table.find('\n', start) - start);
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return text;
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
  return p == f || (p.size() > f.size() && StartsWith(p, f) && p[f.size()] == '\\');
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t at = 0;
  for (;;) {
    const auto tab = line.find('\t', at);
    fields.push_back(line.substr(at, tab == std::string::npos ? tab : tab - at));
    if (tab == std::string::npos) return fields;
    at = tab + 1;
  }
}

std::vector<std::uint8_t> Utf16(const std::string& text) {
  std::vector<std::uint8_t> data;
  for (char c : text) {
    data.push_back(static_cast<std::uint8_t>(c));
    data.push_back(0);
  }
  return data;
}

const std::string kDiskClass = "{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
const std::string kBoardVolume = "\\??\\Volume{6a7c1e30-0000-0000-0000-100000000045}";
const std::string kOtherVolume = "\\??\\Volume{77777777-0000-0000-0000-100000000045}";

struct Leave : fakes::LeaveTheProgram {};

class World {
 public:
  explicit World(const Start& start);
  RunOutcome Run(const std::vector<Step>& steps);

 private:
  // --- set-up
  void SetUpPc();
  void SetUpBoard();
  void Register(bool board);
  std::string CommandLine();
  std::string DataFolder() const;
  std::string ReportedFile() const;

  // --- the run
  void Tick();
  void Perform(const Step& step);
  void UserControl(const Step& step);
  void UserPress(const Step& step);
  void Close();
  void PressIfEnabled(int id, const std::string& what);
  void Unplug(const std::string& how);
  void Plug();
  void BoardStep(std::int64_t now);
  void OnOperation(const std::string& op);
  void Say(const std::string& what);

  // --- the promises
  void CheckBoard();
  void CheckTouch(const std::string& op);
  void CheckLog();
  void CheckLine(const std::string& line);
  void CheckHistoryFiles();
  void CheckEnd(int code, bool left);
  void BoardSaidGone();
  void CheckPruned(const std::string& name);
  void CheckWaits();
  [[noreturn]] void Fail(const std::string& invariant, const std::string& detail);

  Start start_;
  fakes::FakeMachine m_;
  fakes::FakeUi ui_{m_.clock};
  class Host;
  std::unique_ptr<DialogHost> host_;
  std::vector<std::string> host_boxes_;

  // The board.
  fakes::FakeBoardStorage storage_{m_.files, 'E'};
  sim::MemoryRecords records_;
  std::unique_ptr<sim::Board> board_;
  bool plugged_ = true;
  bool other_disk_ = false;
  bool swapped_ = false;  // another disk has been under the letter
  std::size_t jobs_seen_ = 0;
  std::string last_report_;  // the board's last settings file, as it wrote it out
  std::int64_t gone_since_ = -1;
  int missing_looks_ = 0;  // the board's drive missing since then, for good so far
  std::int64_t longest_absence_ = 0;
  std::vector<std::pair<std::int64_t, std::int64_t>> absences_;  // ended ones: from, to
  std::vector<std::pair<std::int64_t, std::function<void()>>> due_;

  // The steps.
  const std::vector<Step>* steps_ = nullptr;
  std::size_t next_ = 0;
  std::vector<bool> waits_checked_;
  std::int64_t next_at_ = 0;
  bool closing_ = false;
  std::int64_t closing_since_ = 0;
  int ops_to_unplug_ = -1;
  bool settling_ = false;
  std::int64_t settle_from_ = -1;
  int ops_to_fail_ = -1;
  std::vector<std::string> story_;
  std::optional<Violation> violation_;

  // What the promises are checked against.
  std::string texts_;
  std::string file_;  // the file of /export or /apply, as given
  std::string full_file_;
  std::string file_before_;  // its bytes before the run, or "(none)"
  std::string apply_values_;
  std::string board_before_run_;
  std::string last_board_;  // the board's seven values at the last look
  sim::Settings last_settings_;
  std::set<std::string> sent_;  // the values of every settings file sent to the board
  int appends_seen_ = -1;
  bool history_touched_ = true;
  int accepted_sets_ = 0;
  std::string set_start_board_;
  std::string report_at_write_;
  std::string log_;  // the log as last seen
  bool log_ever_unwritable_ = false;
  int set_lines_ = 0;
  int batch_lines_ = 0;
  int write_boxes_needed_ = 0;
  std::map<std::string, std::string> history_;  // path to bytes, as first seen
  std::set<std::string> newest_;                // the files of the newest write
  std::int64_t last_now_ = 0;
  bool failed_allocation_ = false;
};

class World::Host : public DialogHost {
 public:
  explicit Host(World& w) : w_(w) {}
  int RunModal(int resource_id, DialogHandler& handler) override {
    fakes::FakeDialog& dialog = w_.ui_.Open(resource_id, handler);
    w_.ui_.RunUntilClosed(48LL * 3600 * 1000);
    if (!w_.ui_.MainDestroyed()) w_.Fail("time", "the window never closed");
    return dialog.Result();
  }
  void ShowMessage(const std::string& text, const std::string&) override {
    w_.host_boxes_.push_back(text);
    w_.Say("message: " + text.substr(0, text.find('\n')));
  }
  void SetFailureMessage(const std::string& text, const std::string&) override {
    w_.ui_.failure_message = text;
  }

 private:
  World& w_;
};

World::World(const Start& start) : start_(start) {
  SharedState::Reset();
  host_ = std::make_unique<Host>(*this);
  texts_ = ShippedText(start.japanese);
  SetUpPc();
  SetUpBoard();
  ui_.guard_handlers = true;
  ui_.message_box_ms = start.message_box_ms;
  ui_.on_create = [this](fakes::FakeDialog& d) {
    if (d.ResourceId() == IDD_GRAPH) d.drawing_areas[IDC_GRAPH_FRAME] = Rect{0, 0, 935, 498};
    if (d.ResourceId() == IDD_KIBAN) {
      d.images.loads = [this](const std::string& path) {
        const std::string bytes = m_.files.Contents(path).value_or("");
        return StartsWith(bytes, "\x89PNG") || StartsWith(bytes, "II*");
      };
    }
  };
  ui_.on_message_box = [this](const fakes::FakeUi::Box& box) {
    Say("message: " + box.text.substr(0, box.text.find('\n')));
    if (box.text == TextOf(texts_, "ERROR_USB_STOP_JAPAN")) BoardSaidGone();
    settling_ = false;  // what the timers do under the box is not the press's
  };
  ui_.after_timer = [this] { Tick(); };
  m_.files.before_operation = [this](const std::string& op) { OnOperation(op); };
}

std::string World::DataFolder() const {
  if (!start_.program_read_only || start_.no_local_folder) return kProgram;
  return kLocal + "\\Z4Utility";
}

void World::SetUpPc() {
  auto& files = m_.files;
  m_.system.version = start_.os == 1   ? OsVersion{5, 0}
                      : start_.os == 2 ? OsVersion{10, 0}
                                       : OsVersion{5, 1};
  files.AddDirectory(kProgram);
  files.AddFile(kProgram + "\\Z4Utility.ini", texts_);
  files.AddFile(kProgram + "\\Z4Utility.exe", "MZ");
  files.AddDirectory(kBatch);
  files.AddDrive('F', DriveKind::Fixed);
  files.AddFile("F:\\keep.txt", "a fixed disk's file");
  if (start_.no_local_folder) {
    m_.system.local_app_data.reset();
  } else {
    files.AddDirectory(kLocal);
  }
  const std::string data = DataFolder();
  files.AddDirectory(data);
  m_.wall_clock.now =
      start_.clock_back ? LocalTime{2009, 1, 1, 0, 0, 0} : LocalTime{2024, 6, 1, 8, 15, 53};
  // Half of them as earlier versions named them, which count as older.
  for (int n = 1; n <= start_.history_files; ++n) {
    char name[64];
    if (n % 4 < 2) {
      std::snprintf(name, sizeof name, "2024-07-01_%06d_E_%s.ini", n, n % 2 ? "before" : "after");
    } else {
      std::snprintf(name, sizeof name, "%06d_2024-05-01_%06d_E_%s.ini", n, n,
                    n % 2 ? "before" : "after");
    }
    files.AddFile(data + "\\History\\" + name, sim::SettingsFileText(sim::Settings{}));
  }
  if (start_.user_files) {
    files.AddFile(data + "\\notes.txt", "the user's notes");
    files.AddFile(data + "\\History\\1 golden board.ini", "Density:85\r\n");
  }
  if (start_.lock != 0) files.AddFile(data + "\\BackupZ4.lock", "");
  if (start_.lock == 1) {
    files.SetHeldOpen(data + "\\BackupZ4.lock", true);
    files.AddFile(data + "\\BackupZ4\\Z4.JOB", kOtherCopyJob);
  }
  if (start_.lock == 2) files.SetReadOnly(data + "\\BackupZ4.lock", true);
  // The file of /export or /apply.
  const std::string good = "Density:" + std::to_string(std::clamp(start_.density + 5, 70, 90)) +
                           "\r\nCCFLOffTim:045\r\nCCFLStabTim:030\r\nFileFormat:P\r\nSetting:V\r\n"
                           "FileDate:2010/07/04 00:00:00\r\nImageMove:Y\r\n";
  switch (start_.target) {
    case Target::Plain:
      file_ = kBatch + "\\a.ini";
      break;
    case Target::BadFile:
      file_ = kBatch + "\\bad.ini";
      break;
    case Target::Log:
      file_ = data + "\\Z4Utility.log";
      break;
    case Target::HistoryFile:
      file_ = data + "\\History\\000001_2024-05-01_000001_E_before.ini";
      break;
    case Target::InWorkingFolder:
      file_ = data + "\\BackupZ4\\mine.ini";
      break;
    case Target::Folder:
      file_ = kBatch;
      break;
    case Target::OddName:
      file_ = kBatch + "\\o\x01\xFF\xED\xA0\x80.ini";
      break;
    case Target::Relative:
      file_ = "a.ini";
      break;
  }
  full_file_ = start_.target == Target::Relative ? kBatch + "\\a.ini" : file_;
  files.EnterDirectory(kBatch);
  if (start_.target != Target::Folder && start_.target != Target::Log) {
    files.AddFile(full_file_, start_.target == Target::BadFile ? "Density:95\r\n" : good);
  }
  if (start_.target == Target::Log) files.AddFile(full_file_, "\xEF\xBB\xBF");
  file_before_ = files.Contents(full_file_).value_or("(none)");
  apply_values_ = Seven(good);
  if (start_.program_read_only) files.SetReadOnly(kProgram, true);
  log_ever_unwritable_ =
      start_.program_read_only && (start_.local_read_only || start_.no_local_folder);
  if (start_.local_read_only && !start_.no_local_folder)
    files.SetReadOnly(kLocal + "\\Z4Utility", true);
  if (start_.history_read_only) {
    files.AddDirectory(data + "\\History");
    files.SetReadOnly(data + "\\History", true);
  }
  log_ = files.Contents(data + "\\Z4Utility.log").value_or("");
  for (const auto& name : files.List(data + "\\History")) {
    history_[Lower(data + "\\History\\" + name)] = *files.Contents(data + "\\History\\" + name);
  }
}

void World::Register(bool board) {
  auto& reg = m_.registry;
  const RegistryRoot lm = RegistryRoot::LocalMachine;
  if (start_.os == 2) {
    const std::string unit = start_.way == Way::Adjust ? "1" : "0";
    const std::string text =
        board
            ? "_??_USBSTOR#Disk&Ven_KORA&Prod_Z-4&Rev_1.00#000000000000&" + unit + "#" + kDiskClass
            : "_??_USBSTOR#Disk&Ven_SanDisk&Prod_Cruzer&Rev_1.00#4C53&0#" + kDiskClass;
    reg.SetBinary(lm, "SYSTEM\\MountedDevices", "\\DosDevices\\E:", Utf16(text));
    reg.SetBinary(lm, "SYSTEM\\MountedDevices", board ? kBoardVolume : kOtherVolume, Utf16(text));
    m_.files.SetVolumeName('E', "\\\\?\\" + (board ? kBoardVolume : kOtherVolume).substr(4) + "\\");
  } else if (board) {
    fakes::RegisterBoardNt(reg, 'E');
  } else {
    reg.SetBinary(lm, "SYSTEM\\MountedDevices",
                  "\\DosDevices\\E:", fakes::MountedDeviceData("9&1a2b3c4&0"));
  }
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
  last_report_ = ReportedFile();
  last_board_ = board_before_run_ = Seven(board_->settings());
  last_settings_ = board_->settings();
  plugged_ = start_.plugged;
  if (!plugged_) {
    m_.files.RemoveDrive('E');
    gone_since_ = 0;
  }
  m_.clock.AddActor(50, [this](std::int64_t now) { BoardStep(now); });
  m_.clock.AddActor(10, [this](std::int64_t now) {
    for (std::size_t i = 0; i < due_.size();) {
      if (due_[i].first > now) {
        ++i;
        continue;
      }
      auto action = std::move(due_[i].second);
      due_.erase(due_.begin() + static_cast<std::ptrdiff_t>(i));
      action();
    }
  });
}

std::string World::ReportedFile() const {
  return board_->options().settings_file.value_or(sim::SettingsFileText(board_->settings()));
}

void World::BoardStep(std::int64_t now) {
  if (!plugged_ || other_disk_) return;
  // What the board writes out as its settings file is what it reports.
  const auto before = m_.files.Contents("E:\\Z4.INI");
  board_->Step(now);
  const auto after = m_.files.Contents("E:\\Z4.INI");
  if (after && after != before) last_report_ = *after;
  if (after && after == before && board_->jobs().size() > jobs_seen_ &&
      StartsWith(board_->jobs().back(), "SetDataOut")) {
    last_report_ = *after;  // the same bytes written again
  }
  jobs_seen_ = board_->jobs().size();
}

std::string World::CommandLine() {
  std::string line = "\"" + kProgram + "\\Z4Utility.exe\"";
  if (start_.quiet && (start_.way == Way::Export || start_.way == Way::Apply)) line += " /quiet";
  if (start_.drive_option) line += " /drive:E";
  if (start_.way == Way::Adjust) line += " /adjust";
  if (start_.way == Way::Export) line += " /export \"" + file_ + "\"";
  if (start_.way == Way::Apply) line += " /apply \"" + file_ + "\"";
  return line;
}

void World::Say(const std::string& what) {
  char at[32];
  std::snprintf(at, sizeof at, "%8.1f s  ", static_cast<double>(m_.clock.NowMs()) / 1000);
  story_.push_back(at + what);
}

[[noreturn]] void World::Fail(const std::string& invariant, const std::string& detail) {
  if (!violation_) violation_ = Violation{static_cast<int>(next_), invariant, detail};
  throw Leave{};
}

// --- the run

RunOutcome World::Run(const std::vector<Step>& steps) {
  steps_ = &steps;
  next_at_ = steps.empty() ? 0 : steps[0].delay_ms;
  Say("start: " + StartText(start_));
  m_.system.command_line = CommandLine();
  int code = -1;
  bool left = false;
  try {
    try {
      code = RunUtility(m_.ports, *host_);
    } catch (const Leave&) {
      throw;
    } catch (const std::bad_alloc&) {
      // What the program's own edge does with what escapes its windows.
      code = kExitFailed;
    } catch (const std::exception& e) {
      Fail("nothing escapes", std::string("an exception left the program: ") + e.what());
    }
    Say("the program ended with exit code " + std::to_string(code));
    CheckEnd(code, left);
  } catch (const Leave&) {
    left = true;
  }
  RunOutcome outcome;
  outcome.violation = violation_;
  outcome.steps = static_cast<int>(std::min(next_, steps.size()));
  outcome.story = std::move(story_);
  return outcome;
}

void World::Tick() {
  const std::int64_t now = m_.clock.NowMs();
  if (now < last_now_) Fail("time", "virtual time went back");
  if (!ui_.unexpected_failure.empty()) Fail("nothing escapes", "a handler threw: " + ui_.unexpected_failure);
  last_now_ = now;
  CheckBoard();
  CheckLog();
  CheckWaits();
  if (closing_) {
    if (now - closing_since_ > 120000)
      Fail("time", "the program did not end within 120 s of closing");
    Close();
    return;
  }
  while (!closing_ && now >= next_at_) {
    if (next_ >= steps_->size()) {
      closing_ = true;
      closing_since_ = now;
      Say("the user closes everything");
      return;
    }
    const Step& step = (*steps_)[next_++];
    next_at_ = now + (next_ < steps_->size() ? (*steps_)[next_].delay_ms : 0);
    Perform(step);
    CheckBoard();
    CheckLog();
    CheckHistoryFiles();
  }
}

void World::PressIfEnabled(int id, const std::string& what) {
  fakes::FakeDialog* top = ui_.Top();
  if (!top->Control(id).enabled) {
    Say(what + " (disabled)");
    return;
  }
  Say(what);
  if (id == IDC_SET && top->ResourceId() == IDD_CONFIG && !SharedState::GetJobRunning()) {
    ++accepted_sets_;
    set_start_board_ = Seven(board_->settings());
    report_at_write_.clear();
  }
  // EXEC and STOP give the board half a second after each file of it they
  // delete, which it may still be busy with.
  const bool settles = top->ResourceId() == IDD_CONFIG && (id == IDC_EXECUTE || id == IDC_STOP);
  settling_ = settles;
  try {
    ui_.Click(id);
  } catch (...) {
    settling_ = false;
    throw;
  }
  settling_ = false;
}

void World::Perform(const Step& s) {
  auto& options = board_->options();
  auto& files = m_.files;
  const std::string data = DataFolder();
  switch (s.kind) {
    case Kind::Wait:
      Say("the user waits");
      break;
    case Kind::Control:
      UserControl(s);
      break;
    case Kind::Press:
      UserPress(s);
      break;
    case Kind::Unplug:
      Unplug("unplug the board");
      break;
    case Kind::UnplugAtOperation:
      ops_to_unplug_ = 1 + s.a % 12;
      Say("the board will be pulled at the " + std::to_string(ops_to_unplug_) + ". file operation");
      break;
    case Kind::BriefDrop:
      if (plugged_) {
        Unplug("the board drops out for " + std::to_string(20 + s.a % 60) + " ms");
        due_.emplace_back(m_.clock.NowMs() + 20 + s.a % 60, [this] { Plug(); });
      }
      break;
    case Kind::Plug:
      Plug();
      break;
    case Kind::OtherDisk:
      if (other_disk_) break;
      Say("another disk takes the board's letter");
      if (plugged_) m_.files.RemoveDrive('E');
      plugged_ = false;
      if (gone_since_ >= 0) absences_.emplace_back(gone_since_, m_.clock.NowMs());
      gone_since_ = -1;
      missing_looks_ = 0;
      other_disk_ = swapped_ = true;
      Register(false);
      files.SwapDisk('E', {{"E:\\data.txt", "another disk's file"}});
      files.AddDrive('E');
      break;
    case Kind::Slow:
      options.end_delay_ms = s.a % 3 == 0 ? 45000 : (s.a % 3 == 1 ? 3000 : 200);
      Say("the board is slow: " + std::to_string(options.end_delay_ms) + " ms");
      break;
    case Kind::NeverEnd:
      options.never_end = !options.never_end;
      Say(options.never_end ? "the board never ends its jobs" : "the board ends its jobs again");
      break;
    case Kind::Refuse:
      options.refuse_settings = !options.refuse_settings;
      Say(options.refuse_settings ? "the board refuses settings files"
                                  : "the board takes settings files");
      break;
    case Kind::HoldFile: {
      static const char* const kNames[] = {"Z4.INI", "Z4JOB.END", "Z4.CSV", "Z4.LOG"};
      options.holds = {{kNames[s.a % 4], 200 + 1000 * (s.b % 5)}};
      Say(std::string("the board holds ") + kNames[s.a % 4] + " open " +
          std::to_string(options.holds[0].ms) + " ms");
      break;
    }
    case Kind::BoardFull:
      files.SetFreeSpace('E', s.a % 2 ? 1LL << 40 : s.b * 16);
      Say(s.a % 2 ? "the board's disk has room" : "the board's disk is full");
      break;
    case Kind::HostileFile: {
      static const std::string kIni[] = {"", "Density:95\r\nDensity\r\n\xFF\xFE",
                                         std::string(70000, 'x'),
                                         "Density:80\r\nFileDate:2004/02/30 00:00:00\x1B[2J\r\n"};
      static const std::string kBytes[] = {"", "\x89PNG\r\n\x1A\n", std::string(300000, '\xFF'),
                                           "\xE3\x81\x82\x1B]0;x\x07\r\n"};
      switch (s.a % 4) {
        case 0:
          options.settings_file = kIni[s.b % 4];
          break;
        case 1:
          options.level_file = kBytes[s.b % 4];
          break;
        case 2:
          options.self_test_log = kBytes[s.b % 4];
          break;
        case 3:
          options.capture = kBytes[s.b % 4];
          break;
      }
      static const char* const kWhat[] = {"Z4.INI", "Z4.CSV", "Z4.LOG", "image"};
      Say(std::string("the board writes a hostile ") + kWhat[s.a % 4] + " (" +
          std::to_string(s.b % 4) + ")");
      break;
    }
    case Kind::DataFolderReadOnly:
      log_ever_unwritable_ = true;
      files.SetReadOnly(data, s.a % 2 == 0);
      Say(s.a % 2 == 0 ? "the data folder becomes read-only" : "the data folder can be written");
      break;
    case Kind::HistoryReadOnly:
      files.SetReadOnly(data + "\\History", s.a % 2 == 0);
      Say(s.a % 2 == 0 ? "History becomes read-only" : "History can be written");
      break;
    case Kind::PcFull:
      log_ever_unwritable_ = true;
      files.SetFreeSpace('C', s.a % 2 ? 1LL << 40 : s.b * 64);
      Say(s.a % 2 ? "the PC's disk has room" : "the PC's disk is full");
      break;
    case Kind::ClockJump: {
      static const int kYears[] = {-15, -1, 0, 0, 1};
      m_.wall_clock.now.year += kYears[s.a % 5];
      if (s.a % 5 == 3) m_.wall_clock.now.day = 1 + (m_.wall_clock.now.day % 28);
      Say("the clock shows " + std::to_string(m_.wall_clock.now.year) + "-" +
          std::to_string(m_.wall_clock.now.day));
      break;
    }
    case Kind::NoMemory:
      ops_to_fail_ = 1 + s.a % 40;
      Say("memory runs out at the " + std::to_string(ops_to_fail_) + ". file operation");
      break;
  }
}

void World::Unplug(const std::string& how) {
  if (!plugged_) return;
  Say(how);
  plugged_ = false;
  m_.files.RemoveDrive('E');
  gone_since_ = m_.clock.NowMs();
}

void World::Plug() {
  if (plugged_ && !other_disk_) return;
  Say("plug the board in");
  if (gone_since_ >= 0) {
    longest_absence_ = std::max(longest_absence_, m_.clock.NowMs() - gone_since_);
    absences_.emplace_back(gone_since_, m_.clock.NowMs());
  }
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

void World::UserControl(const Step& s) {
  fakes::FakeDialog* top = ui_.Top();
  if (!top) return;
  static const char* const kDates[] = {"2004", "2010",     "1",   "12", "29", "31",   "07",   "2",
                                       "112",  "２０１０", "abc", "",   "0",  "2100", "1999", "30"};
  static const char* const kNames[] = {"1234", "", "ab/c", "１２３", "\x1B[1m", "99999999999"};
  switch (top->ResourceId()) {
    case IDD_CONFIG: {
      static const int kTrackbars[] = {IDC_DENSITY_TRACKBAR, IDC_OFFTIME_TRACKBAR,
                                       IDC_STABTIME_TRACKBAR};
      static const int kRadios[][2] = {{IDC_FORMAT_PNG, IDC_FORMAT_TIFF},
                                       {IDC_SETTING_0, IDC_SETTING_1},
                                       {IDC_IMAGEMOVE_0, IDC_IMAGEMOVE_1},
                                       {IDC_FEED_ONESHOT, IDC_FEED_CONTINUOUS},
                                       {IDC_MEMORY_ONESHOT, IDC_MEMORY_CONTINUOUS}};
      static const int kDateLists[] = {IDC_YEAR_LIST, IDC_MONTH_LIST, IDC_DAY_LIST};
      const int what = s.a % 12;
      if (what < 3) {
        const int id = kTrackbars[what];
        if (!top->Control(id).enabled) return Say("drag a trackbar (disabled)");
        const int pos = top->Control(id).range_min +
                        s.b % (top->Control(id).range_max - top->Control(id).range_min + 1);
        Say("drag trackbar " + std::to_string(what) + " to " + std::to_string(pos));
        ui_.Scroll(id, pos);
      } else if (what < 8) {
        const int* pair = kRadios[what - 3];
        if (!top->Control(pair[0]).enabled) return Say("choose a radio button (disabled)");
        Say("choose radio " + std::to_string(pair[s.b % 2]));
        top->ChooseRadio(pair[s.b % 2], pair[1 - s.b % 2]);
      } else if (what < 11) {
        const int id = kDateLists[what - 8];
        if (!top->Control(id).enabled) return Say("type a date (disabled)");
        Say(std::string("type date part \"") + kDates[s.b % 16] + "\"");
        top->SetText(id, kDates[s.b % 16]);
      } else {
        const int item = IDC_ITEM_CCD + s.b % 9;
        if (!top->Control(item).enabled) return Say("tick an item (disabled)");
        top->Control(item).checked = !top->Control(item).checked;
        top->Control(IDC_NUMBER).text = kNames[s.b % 6];
        Say("tick item " + std::to_string(item) + (top->Control(item).checked ? " on" : " off"));
      }
      break;
    }
    case IDD_FILENAME:
      top->Control(IDC_FILENAME_EDIT).text = kNames[s.b % 6];
      Say(std::string("type the file name \"") + kNames[s.b % 6] + "\"");
      break;
    case IDD_KIBAN: {
      const std::string targets[] = {"", "C:\\Z4\\other.png", DataFolder() + "\\BackupZ4\\", "F:\\",
                                     "C:\\Z4\\"};
      if (s.b % 6 == 5) {
        ui_.save_answer = std::nullopt;
        Say("the next Save As will be cancelled");
      } else {
        ui_.save_answer = targets[s.b % 5];
        Say("the next Save As goes to \"" + *ui_.save_answer + "\"");
      }
      break;
    }
    default:
      Say("the user looks at the window");
      break;
  }
}

void World::UserPress(const Step& s) {
  fakes::FakeDialog* top = ui_.Top();
  if (!top) return;
  switch (top->ResourceId()) {
    case IDD_CONFIG: {
      const int what = s.a % 16;
      if (what < 6) {
        PressIfEnabled(IDC_SET, "press Set");
      } else if (what < 11) {
        if (s.b % 3 != 0 && top->Control(IDC_EXECUTE).enabled) {
          for (int item = IDC_ITEM_CCD; item <= IDC_ITEM_KIBAN; ++item)
            top->Control(item).checked = false;
          top->Control(IDC_ITEM_CCD + s.b % 9).checked = true;
          top->Control(IDC_NUMBER).text = "1234";
        }
        PressIfEnabled(IDC_EXECUTE, "press EXEC");
      } else if (what < 15) {
        PressIfEnabled(IDC_STOP, "press STOP");
      } else {
        PressIfEnabled(IDC_CANCEL_BUTTON, "press Cancel");
      }
      break;
    }
    case IDD_GRAPH:
      if (s.a % 3 == 0) top->printer_orientation = s.b % 3;
      PressIfEnabled(s.a % 3 == 0   ? IDC_GRAPH_PRINT
                     : s.a % 3 == 1 ? IDC_GRAPH_SAVE
                                    : IDC_GRAPH_END,
                     s.a % 3 == 0   ? "print the graph"
                     : s.a % 3 == 1 ? "save Level.bmp"
                                    : "close the graph");
      break;
    case IDD_KIBAN:
      PressIfEnabled(s.a % 3 == 0   ? IDC_KIBAN_OK
                     : s.a % 3 == 1 ? IDC_KIBAN_RETURN
                                    : IDC_KIBAN_STOP,
                     s.a % 3 == 0   ? "press OK in the inspection"
                     : s.a % 3 == 1 ? "press Return"
                                    : "press STOP in the inspection");
      break;
    case IDD_FILENAME:
      if (s.a % 2 == 0) {
        PressIfEnabled(IDC_FILENAME_SET, "press SET in the file name dialog");
      } else {
        Say("press Escape in the file name dialog");
        ui_.PressCancel();
      }
      break;
    case IDD_STATUS:
      if (s.a % 8 == 0) {
        Say("press Escape in the status window");
        ui_.PressCancel();
      } else if (s.a % 8 == 1) {
        Say("press Enter in the status window");
        ui_.PressOk();
      }
      break;
    default:
      break;
  }
}

void World::Close() {
  fakes::FakeDialog* top = ui_.Top();
  if (!top) return;
  switch (top->ResourceId()) {
    case IDD_CONFIG:
      if (!top->Ended()) PressIfEnabled(IDC_CANCEL_BUTTON, "press Cancel");
      break;
    case IDD_GRAPH:
      PressIfEnabled(IDC_GRAPH_END, "close the graph");
      break;
    case IDD_KIBAN:
      if (top->Control(IDC_KIBAN_STOP).enabled) {
        PressIfEnabled(IDC_KIBAN_STOP, "press STOP in the inspection");
      } else {
        PressIfEnabled(IDC_KIBAN_RETURN, "press Return");
      }
      break;
    case IDD_FILENAME:
      Say("press Escape in the file name dialog");
      ui_.PressCancel();
      break;
    default:
      break;
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
  if (settling_ && ui_.Top() && ui_.Top()->ResourceId() == IDD_CONFIG) {
    const std::int64_t now = m_.clock.NowMs();
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

void World::CheckBoard() {
  if (gone_since_ >= 0)
    longest_absence_ = std::max(longest_absence_, m_.clock.NowMs() - gone_since_);
  if (board_->settings() == last_settings_) return;
  last_settings_ = board_->settings();
  const std::string now = Seven(board_->settings());
  if (now == last_board_) return;
  // A board changes only to the values of a settings file the program sent:
  // never a mix, never values nobody asked for.
  if (!sent_.count(now))
    Fail("the board's settings", "the board holds " + now + "; it held " + last_board_);
  last_board_ = now;
}

void World::CheckTouch(const std::string& op) {
  static const char* const kWrites[] = {"copy ",  "delete ", "mkdir ",
                                        "rmdir ", "write ",  "replace "};
  std::string target;
  for (const char* w : kWrites) {
    if (!StartsWith(op, w)) continue;
    target = op.substr(std::string(w).size());
    if (StartsWith(op, "copy ")) {
      const auto arrow = op.find(" -> ");
      if (StartsWith(op.substr(arrow + 4), "E:\\Z4.INI")) {
        // What reaches the board is exactly what the program meant to write.
        const std::string source = op.substr(5, arrow - 5);
        const std::string meant =
            start_.way == Way::Apply ? apply_values_ : Seven(SharedState::GetPendingSettings());
        const std::string sent = Seven(m_.files.Contents(source).value_or(""));
        if (sent != meant)
          Fail("the board's settings", "a settings file of " + sent + " was sent; meant " + meant);
        sent_.insert(sent);
        report_at_write_ = last_report_;
      }
      target = op.substr(arrow + 4);
    }
  }
  if (target.empty()) return;
  const std::string data = DataFolder();
  const std::string lower = Lower(target);
  const auto in = [&](const std::string& folder) { return Inside(target, folder); };
  bool allowed = false;
  if (in("E:")) {
    // Only what changes the other disk counts: a delete of a file it does not hold does not.
    allowed = !other_disk_ || (StartsWith(op, "delete ") && !m_.files.Exists(target));
    if (!allowed) Fail("nothing else is touched", "another disk's " + target + ": " + op);
  } else if (in(data + "\\BackupZ4") || Lower(target) == Lower(data + "\\BackupZ4.lock") ||
             Lower(target) == Lower(data + "\\Z4Utility.log") ||
             Lower(target) == Lower(data + "\\Level.bmp") || Lower(target) == Lower(data) ||
             Lower(target) == Lower(data + "\\History")) {
    allowed = true;
  } else if (in(data + "\\History")) {
    history_touched_ = true;
    const std::string name = target.substr(data.size() + 9);
    allowed = HistoryOrderKey(name).has_value();
    const auto kept = history_.find(lower);
    if (allowed && kept != history_.end() && !StartsWith(op, "delete ")) {
      Fail("the history", "a history file is written again: " + op);
    }
    if (allowed && StartsWith(op, "delete ") && newest_.count(lower)) {
      Fail("the history", "the newest write's file is pruned: " + target);
    }
    if (allowed && StartsWith(op, "delete ")) CheckPruned(name);
  } else if (in("C:\\Z4") || Lower(target) == Lower(full_file_) ||
             Lower(target) == Lower(kLocal + "\\Z4Utility")) {
    allowed = true;
  } else if (in("F:") && StartsWith(op, "copy " + data + "\\BackupZ4\\")) {
    allowed = true;  // the inspection's image, saved where the user chose
  }
  if (!allowed) Fail("nothing else is touched", op);
}

void World::CheckLog() {
  if (m_.appender.appends == appends_seen_) return;
  appends_seen_ = m_.appender.appends;
  const std::string log = m_.files.Contents(DataFolder() + "\\Z4Utility.log").value_or("");
  if (log == log_) return;
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
  const std::vector<std::string> f = Fields(line);
  if (f.size() != 5) Fail("the log", "a line of " + std::to_string(f.size()) + " fields: " + line);
  for (const std::string& field : f) {
    if (!IsValidUtf8(field) || EscapedText(field) != field)
      Fail("the log", "a field that is not clean text: " + field);
  }
  const std::string& outcome = f[4];
  const std::string board = Seven(board_->settings());
  std::string before, after;
  if (f[2] != "set") ++batch_lines_;
  if (f[2] == "set") {
    ++set_lines_;
    before = f[3] == "-" ? "" : f[3];
    const std::string pending = Seven(SharedState::GetPendingSettings());
    if (StartsWith(outcome, "done") && board != pending)
      Fail("the log says what happened", "\"" + outcome + "\" but the board holds " + board);
    if (StartsWith(outcome, "not taken") ||
        (StartsWith(outcome, "written, not read back") &&
         outcome.find("window was closed") == std::string::npos)) {
      ++write_boxes_needed_;
    }
    if (StartsWith(outcome, "not written") && board != set_start_board_) {
      Fail("the log says what happened", "\"" + outcome + "\" but the board took " + board);
    }
    if ((StartsWith(outcome, "done") || StartsWith(outcome, "not taken")) && !before.empty() &&
        outcome.find("history not written") == std::string::npos) {
      after = before.substr(0, before.size() - 10) + "after.ini";
    }
  } else {
    const auto h = outcome.find("; history ");
    if (h != std::string::npos && outcome.find("; history not written") == std::string::npos) {
      before = outcome.substr(h + 10);
      const auto cut = before.find(" (no after file)");
      if (cut != std::string::npos) before.erase(cut);
      if ((StartsWith(outcome, "0 ") || StartsWith(outcome, "5 read-back differs")) &&
          cut == std::string::npos) {
        after = before.substr(0, before.size() - 10) + "after.ini";
      }
    }
  }
  // The history: the board's file before the write, and the one it reported after it.
  if (!before.empty() && !report_at_write_.empty()) {
    const auto bytes = m_.files.Contents(before);
    if (!bytes) Fail("the history", "the log names " + before + ", which is not there");
    if (*bytes != report_at_write_)
      Fail("the history", before + " is not what the board reported before the write");
    newest_ = {Lower(before)};
  }
  if (!after.empty()) {
    const auto bytes = m_.files.Contents(after);
    if (!bytes) Fail("the history", "no after file " + after);
    if (*bytes != last_report_)
      Fail("the history", after + " is not what the board reported after the write");
    newest_.insert(Lower(after));
  }
  report_at_write_.clear();
}

void World::CheckHistoryFiles() {
  if (!history_touched_) return;
  history_touched_ = false;
  const std::string folder = DataFolder() + "\\History";
  for (const auto& name : m_.files.List(folder)) {
    const std::string path = Lower(folder + "\\" + name);
    const std::string bytes = *m_.files.Contents(folder + "\\" + name);
    const auto kept = history_.emplace(path, bytes);
    if (!kept.second && kept.first->second != bytes)
      Fail("the history", "a history file changed: " + path);
  }
  for (const auto& path : newest_) {
    if (!m_.files.Exists(path)) Fail("the history", "the newest write's file is gone: " + path);
  }
}

// No wait on the board runs past its limit (80 ticks of 500 ms, after at most
// 60 attempts of 500 ms to deliver its files), and one that is on when the
// board is pulled ends within two looks.
void World::CheckWaits() {
  const auto& opened = ui_.Dialogs();
  waits_checked_.resize(opened.size(), false);
  for (std::size_t i = 0; i < opened.size(); ++i) {
    const auto& w = opened[i];
    if (waits_checked_[i] || w.closed_at < 0) continue;
    waits_checked_[i] = true;
    if (w.resource_id != IDD_STATUS) continue;
    if (w.ended_at - w.opened_at > 40000 + 60 * 500 + 2000) {
      Fail("time", "a status window waited " + std::to_string(w.ended_at - w.opened_at) + " ms");
    }
    // Pulled while it waited, and still away when it closed.
    std::int64_t pulled = gone_since_ >= 0 && !other_disk_ ? gone_since_ : -1;
    for (const auto& [from, to] : absences_) {
      if (to >= w.ended_at && from <= w.ended_at) pulled = from;
    }
    // (A step that failed for want of memory ends the wait once the user has
    // read its message.)
    if (pulled >= w.opened_at && w.ended_at - pulled > 2000 && ui_.failures == 0) {
      Fail("time", "a status window waited " + std::to_string(w.ended_at - pulled) +
                       " ms on a pulled board");
    }
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
  const std::string folder = DataFolder() + "\\History";
  for (const auto& other : m_.files.List(folder)) {
    if (!HistoryOrderKey(other) || Lower(other) == Lower(name)) continue;
    if (age(other) < age(name)) Fail("the history", "pruned " + name + " before the older " + other);
  }
}

// The program says the board went away only when it did: it is away now, or
// was for longer than a moment, or twice within a second (two looks in a row).
void World::BoardSaidGone() {
  const std::int64_t now = m_.clock.NowMs();
  if (other_disk_ || swapped_) return;
  // Two looks in a row, a tick apart at the least.
  if (gone_since_ >= 0 && now - gone_since_ >= 100) return;
  int recent = gone_since_ >= 0;
  for (const auto& [from, to] : absences_) {
    if (to - from >= 100) return;
    recent += now - to < 1000;
  }
  if (recent < 2)
    Fail("the user is told", "the board was said to be gone, but it was away only for a moment");
}

void World::CheckEnd(int code, bool left) {
  if (left) return;
  CheckBoard();
  CheckLog();
  CheckHistoryFiles();
  const bool batch = start_.way == Way::Export || start_.way == Way::Apply;
  const std::string data = DataFolder();
  const std::vector<std::string>& boxes = host_boxes_;
  const std::string board = Seven(board_->settings());
  std::size_t writes = 0;
  for (const auto& job : board_->jobs()) writes += StartsWith(job, "SetDataIn");
  if (code == kExitBusy && start_.lock != 1) Fail("exit codes", "exit 7 without another copy");
  if (start_.lock == 1) {
    if (!board_->jobs().empty())
      Fail("one copy at a time", "a job reached the board beside another copy");
    if (m_.files.Contents(data + "\\BackupZ4\\Z4.JOB") != kOtherCopyJob)
      Fail("one copy at a time", "the other copy's files changed");
  }
  if (!batch) {
    if (set_lines_ != accepted_sets_ && !failed_allocation_ && !log_ever_unwritable_ &&
        code != kExitFailed) {
      Fail("one line per Set",
           std::to_string(accepted_sets_) + " Sets, " + std::to_string(set_lines_) + " lines");
    }
    int write_boxes = 0;
    const std::string written = TextOf(texts_, "ERROR_USB_WRITE_JAPAN");
    for (const auto& box : ui_.Boxes()) write_boxes += box.text == written;
    // A step that ran out of memory tells the user in its own message.
    if (write_boxes < write_boxes_needed_ && !failed_allocation_)
      Fail("the user is told", "a Set that did not go through, without a message");
    return;
  }
  // A run without the window: its code, its one line, its message.
  const bool quiet = start_.quiet;
  if (quiet && !boxes.empty())
    Fail("the user is told", "a message box in a /quiet run: " + boxes[0]);
  if (!quiet && code != 0 && boxes.size() != 1)
    Fail("the user is told",
         "exit " + std::to_string(code) + " with " + std::to_string(boxes.size()) + " messages");
  if (code == 0 && !boxes.empty())
    Fail("the user is told", "a message after a run that went well: " + boxes[0]);
  if (batch_lines_ != 1 && !log_ever_unwritable_ && !failed_allocation_) {
    Fail("one line per run", std::to_string(batch_lines_) + " lines for one run");
  }
  const std::string file_now = m_.files.Contents(full_file_).value_or("(none)");
  if (start_.way == Way::Export) {
    if (code == 0 && file_now != last_report_)
      Fail("exit codes", "exit 0, but FILE does not hold the board's file");
    if (code != 0 && code != kExitNotWritten && start_.target != Target::Log &&
        file_now != file_before_)
      Fail("exit codes", "exit " + std::to_string(code) + ", but FILE was replaced");
  } else {
    if (code == 0 && board != apply_values_)
      Fail("exit codes", "exit 0, but the board holds " + board);
    if (code == kExitReadBackDiffers && writes == 0)
      Fail("exit codes", "exit 5, but nothing was written");
    if ((code == kExitRefused || code == kExitNoBoard || code == kExitInvalidFile ||
         code == kExitBusy) &&
        writes != 0) {
      Fail("exit codes", "exit " + std::to_string(code) + ", but the board took a settings file");
    }
  }
  (void)data;
}

}  // namespace

RunOutcome RunScenario(const Scenario& scenario) {
  World world(scenario.start);
  return world.Run(scenario.steps);
}

}  // namespace z4::simulation
