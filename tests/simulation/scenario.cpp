#include "simulation/scenario.h"

namespace z4::simulation {
namespace {

using rc::gen::element;
using rc::gen::inRange;
using rc::gen::set;
using rc::gen::weightedElement;

rc::Gen<bool> Rarely(std::size_t in_ten = 1) {
  return weightedElement<bool>({{10 - in_ten, false}, {in_ten, true}});
}

rc::Gen<int> Delay() {
  return rc::gen::weightedOneOf<int>({{12, inRange(0, 300)},
                                      {6, inRange(300, 3000)},
                                      {2, inRange(3000, 12000)},
                                      {1, inRange(12000, 50000)}});
}

rc::Gen<Kind> Kinds() {
  return weightedElement<Kind>({
      {10, Kind::Wait},
      {40, Kind::Control},
      {32, Kind::Press},
      {3, Kind::Unplug},
      {2, Kind::UnplugAtOperation},
      {2, Kind::BriefDrop},
      {5, Kind::Plug},
      {2, Kind::OtherDisk},
      {3, Kind::Slow},
      {2, Kind::NeverEnd},
      {3, Kind::Refuse},
      {2, Kind::HoldFile},
      {1, Kind::BoardFull},
      {3, Kind::HostileFile},
      {1, Kind::DataFolderReadOnly},
      {2, Kind::HistoryReadOnly},
      {1, Kind::PcFull},
      {3, Kind::ClockJump},
      {2, Kind::NoMemory},
  });
}

}  // namespace

rc::Gen<Scenario> Scenarios(int max_steps) {
  const auto start = rc::gen::build<Start>(
      set(&Start::way,
          weightedElement<Way>(
              {{4, Way::Window}, {3, Way::Adjust}, {2, Way::Export}, {3, Way::Apply}})),
      set(&Start::drive_option, Rarely(2)), set(&Start::quiet, Rarely(3)),
      set(&Start::target, weightedElement<Target>({{8, Target::Plain},
                                                   {2, Target::BadFile},
                                                   {1, Target::Log},
                                                   {2, Target::HistoryFile},
                                                   {1, Target::InWorkingFolder},
                                                   {1, Target::Folder},
                                                   {1, Target::OddName},
                                                   {1, Target::Relative}})),
      set(&Start::os, element(0, 0, 1, 2)), set(&Start::japanese, Rarely(3)),
      set(&Start::program_read_only, Rarely(3)), set(&Start::local_read_only, Rarely(1)),
      set(&Start::no_local_folder, Rarely(1)),
      set(&Start::lock, weightedElement<int>({{16, 0}, {2, 1}, {1, 2}})),
      set(&Start::history_read_only, Rarely(1)),
      set(&Start::history_files, element(0, 0, 0, 2, 498, 499, 500)),
      set(&Start::clock_back, Rarely(3)), set(&Start::user_files, Rarely(3)),
      set(&Start::plugged, weightedElement<bool>({{1, false}, {12, true}})),
      set(&Start::density, inRange(70, 91)), set(&Start::refusing, Rarely(1)),
      set(&Start::end_delay_ms, element(0, 0, 0, 300, 2000, 45000)),
      set(&Start::message_box_ms, element(0, 0, 800, 5000)));
  const auto step =
      rc::gen::build<Step>(set(&Step::kind, Kinds()), set(&Step::a, inRange(0, 64)),
                           set(&Step::b, inRange(0, 64)), set(&Step::delay_ms, Delay()));
  return rc::gen::build<Scenario>(
      set(&Scenario::start, start),
      set(&Scenario::steps,
          rc::gen::resize(max_steps, rc::gen::container<std::vector<Step>>(step))));
}

namespace {

const char* WayText(Way way) {
  switch (way) {
    case Way::Window:
      return "open the window";
    case Way::Adjust:
      return "open the window in /adjust";
    case Way::Export:
      return "/export";
    case Way::Apply:
      return "/apply";
  }
  return "";
}

const char* TargetText(Target target) {
  static const char* const kTexts[] = {"a plain file",          "a file of bad values", "the log",
                                       "a history file",        "a file in BackupZ4",   "a folder",
                                       "a name with odd bytes", "a relative name"};
  return kTexts[static_cast<int>(target)];
}

}  // namespace

std::string StartText(const Start& s) {
  static const char* const kOs[] = {"Windows XP", "Windows 2000", "Windows 10"};
  std::string text = std::string(kOs[s.os]) + "; ";
  if (s.program_read_only) text += "program folder read-only; ";
  if (s.local_read_only) text += "per-user folder read-only; ";
  if (s.no_local_folder) text += "no per-user folder; ";
  if (s.lock == 1) text += "another copy holds the lock; ";
  if (s.lock == 2) text += "a read-only lock file; ";
  if (s.history_read_only) text += "History read-only; ";
  if (s.history_files > 0) text += std::to_string(s.history_files) + " history files; ";
  if (s.clock_back) text += "clock years back; ";
  if (s.user_files) text += "the user's own files in the data folder; ";
  text += s.plugged ? "board plugged, density " + std::to_string(s.density) : "no board";
  if (s.refusing) text += ", refusing its settings file";
  if (s.end_delay_ms > 0) text += ", slow " + std::to_string(s.end_delay_ms) + " ms";
  text += std::string("; ") + (s.japanese ? "Japanese texts; " : "");
  text += WayText(s.way);
  if (s.way == Way::Export || s.way == Way::Apply) text += std::string(" ") + TargetText(s.target);
  if (s.drive_option) text += " /drive:E";
  if (s.quiet) text += " /quiet";
  return text;
}

std::string StepText(const Step& s) {
  static const char* const kKinds[] = {"wait",
                                       "change a control",
                                       "press a button",
                                       "unplug the board",
                                       "unplug mid-operation",
                                       "brief drop of the board",
                                       "plug the board back",
                                       "another disk under E:",
                                       "board slow",
                                       "board never ends",
                                       "board refuses",
                                       "board holds a file",
                                       "board disk full",
                                       "board writes a hostile file",
                                       "data folder read-only",
                                       "History read-only",
                                       "PC disk full",
                                       "clock jumps",
                                       "no memory"};
  return std::string(kKinds[static_cast<int>(s.kind)]) + " (" + std::to_string(s.a) + ", " +
         std::to_string(s.b) + ") after " + std::to_string(s.delay_ms) + " ms";
}

}  // namespace z4::simulation
