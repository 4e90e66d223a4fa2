// The files the program keeps for itself in its data folder: its log, the run
// lock, the working folder BackupZ4 (emptied at every start and end) and the
// history of board writes. Nothing the user asks to be written may land on
// one of them.
#pragma once

#include <string>

#include "core/ports.h"

namespace z4 {

enum class OwnFile { None, Log, Lock, WorkingFolder, History };

// Which of the program's own files `full_path` (a full path, as the system
// would use it) is; the letter case is ignored.
OwnFile OwnFileOf(System& system, const std::string& full_path);

// "the program's log", "the lock that keeps two copies apart", "in the
// working folder BackupZ4", "in the history of board writes"; empty for None.
std::string OwnFileText(OwnFile file);

}  // namespace z4
