// The one folder the program writes into: the working folder BackupZ4, the
// run lock, Z4Utility.log, Level.bmp and the history of board writes. It is
// the program's folder where the user may write there (a copied folder), and
// otherwise, as under Program Files for a standard user, the user's local
// application data folder + "\Z4Utility". What the program only reads (the
// text table, the administrator's default Z4.INI, the help) stays beside the
// program.
#pragma once

#include <string>

#include "core/ports.h"

namespace z4 {

// Finds out, without a word to the user, whether the program's folder can be
// written (a probe file is created and deleted) and chooses the data folder;
// creates it when it is the per-user one. Called once at start-up.
void ChooseDataFolder(Ports& ports);

// The chosen folder, without a trailing backslash; the program's folder
// before a choice was made.
std::string GetDataFolder(System& system);

}  // namespace z4
