// The one folder the program writes into: the working folder BackupZ4, the
// run lock, Z4Utility.log, Level.bmp and the history of board writes. It is
// the program's folder unless the system refuses the user to write there (as
// under Program Files for a standard user), and then the user's local
// application data folder + "\Z4Utility". What the program only reads (the
// text table, the administrator's default Z4.INI, the help) stays beside the
// program.
#pragma once

#include <string>

#include "core/ports.h"

namespace z4 {

// Finds out, without a word to the user, whether the program's folder may be
// written (a probe file is made and deleted) and chooses the data folder;
// creates it when it is the per-user one. Only a refusal of the system (access
// denied, a write-protected medium) moves the data folder: a probe name that
// is taken or held open by someone else is passed over for another. Called
// once at start-up; false when the chosen folder cannot be written either
// (GetDataFolder then names it).
bool ChooseDataFolder(Ports& ports);

// The chosen folder, without a trailing backslash; the program's folder
// before a choice was made.
std::string GetDataFolder(System& system);

}  // namespace z4
