// The local backup folder "BackupZ4" in the data folder, where files from and
// for the board are kept.
#pragma once

#include <string>

#include "platform/system.h"

namespace z4 {

struct Ports;

// GetDataFolder + "\BackupZ4".
std::string BackupFolderPath(System& system);

// Deletes every file in the backup folder; a missing folder is left alone.
void EmptyBackupFolder(Ports& ports);

}  // namespace z4
