// What one simulated run does: how the program is started, in what world
// (the board, the PC), and the steps that follow, drawn from three pools: the
// user, the board and the PC. Everything is plain data, generated and shrunk
// by RapidCheck from a seed.
#pragma once

#include <rapidcheck.h>

#include <cstdint>
#include <string>
#include <vector>

namespace z4::simulation {

enum class Way { Window, Adjust, Export, Apply };

// The file after /export or /apply.
enum class Target { Plain, BadFile, Log, HistoryFile, InWorkingFolder, Folder, OddName, Relative };

struct Start {
  Way way = Way::Window;
  bool drive_option = false;
  bool quiet = false;
  Target target = Target::Plain;
  int os = 0;  // 0 Windows XP, 1 Windows 2000, 2 Windows 10
  bool japanese = false;
  // The PC before the program starts.
  bool program_read_only = false;
  bool local_read_only = false;
  bool no_local_folder = false;
  int lock = 0;  // 1: another copy runs with the same data folder; 2: a read-only lock file
  bool history_read_only = false;
  int history_files = 0;    // program-named files already in History
  bool clock_back = false;  // the PC's clock years before those files
  bool user_files = false;  // files the user keeps in the data folder
  // The board.
  bool plugged = true;
  int density = 80;
  bool refusing = false;
  int end_delay_ms = 0;
  int message_box_ms = 0;  // how long the user takes to answer a message box
};

enum class Pool { User, Board, Pc };

enum class Kind {
  // The user, on whatever window is on top.
  Wait,     // does nothing for a while
  Control,  // changes a control: a trackbar, a radio pair, a date, an item, a name
  Press,    // presses a button: Set, Execute, Stop, Cancel, Print, Save, OK, ...
  // The board.
  Unplug,
  UnplugAtOperation,  // at the n-th file operation from now: mid-copy
  BriefDrop,          // gone for a moment shorter than one look
  Plug,
  OtherDisk,  // another disk takes the board's letter
  Slow,
  NeverEnd,
  Refuse,
  HoldFile,
  BoardFull,
  HostileFile,
  // The PC.
  DataFolderReadOnly,
  HistoryReadOnly,
  PcFull,
  ClockJump,
  NoMemory,  // an allocation fails at the n-th file operation from now
};

struct Step {
  Kind kind = Kind::Wait;
  int a = 0;
  int b = 0;
  int delay_ms = 0;  // before the step
};

struct Scenario {
  Start start;
  std::vector<Step> steps;
};

// What a step did, for a story people read ("Set", "board slow 45 s").
std::string StartText(const Start& start);
std::string StepText(const Step& step);

// Scenarios of up to `max_steps` steps.
rc::Gen<Scenario> Scenarios(int max_steps);

}  // namespace z4::simulation
