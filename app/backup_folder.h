// Emptying the local backup folder "BackupZ4" in the program folder, where
// files from and for the board are kept (its path: device/file_exchange.h).
#pragma once

namespace z4 {

struct Ports;

// Deletes every file in the backup folder; a missing folder is left alone.
void EmptyBackupFolder(Ports& ports);

}  // namespace z4
