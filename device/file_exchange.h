// Moving files between the board's drive and the local backup folder, and
// testing and deleting the exchange files on the board. Nothing on the board is
// read or written in place: files are fetched into the backup folder first, and
// files for the board are written there and then delivered.
#pragma once

#include <string>

#include "core/backup_folder.h"
#include "core/ports.h"

namespace z4 {

// Exchange files as DeviceFileReady numbers them.
enum DeviceFileKind : int {
  kKindSettings = 0,     // "Z4.INI"
  kKindJob = 1,          // "Z4.JOB"
  kKindEndMarker = 2,    // "Z4JOB.END", written by the board when a job is done
  kKindLevelData = 3,    // "Z4.CSV"
  kKindLog = 4,          // "Z4.LOG"
  kKindTestImage = 5,    // "test.png"
  kKindSampleImage = 6,  // "Mb000120.tif"
  kKindFlush = 7,        // "Z4Dummy.TXT"
};

// DeleteDeviceFile numbers the files its own way; do not mix the two up.
enum DeleteSelector : int {
  kDeleteSettings = 0,   // "Z4.INI"
  kDeleteLevelData = 1,  // "Z4.CSV"
  kDeleteJob = 2,        // "Z4.JOB"
  kDeleteEndMarker = 3,  // "Z4JOB.END"
  kDeleteFlush = 4,      // "Z4Dummy.TXT"
};

enum class TransferMode : int { Fetch = 0, LocalPath = 1, Deliver = 2 };

struct TransferResult {
  std::string path;  // local path for Fetch and LocalPath, empty for Deliver
  int status = 1;    // 0 when the transfer did what it was asked
};

// Attempts and pauses of the exchange, in milliseconds.
inline constexpr unsigned kPresencePauseMs = 150;
inline constexpr unsigned kEndMarkerHoldMs = 300;
inline constexpr unsigned kRetryPauseMs = 500;
inline constexpr int kFetchAttempts = 6;
inline constexpr int kDeliverAttempts = 60;

// The file name of a kind, or nullptr for a number that names no file.
const char* DeviceFileName(int kind);

// DeviceDrive + ":\" + name, by plain concatenation.
std::string DeviceFilePath(const std::string& name);

// Makes sure the backup folder exists, leaving the current directory as it
// was. 0 when the folder can be used (or its creation failed for a reason the
// caller will meet later), 1 when it was created but still cannot be entered.
int EnsureBackupFolder(Ports& ports);

// Fetch: copies the board's file into the backup folder (6 attempts) when the
// board is known and the file can be opened exclusively; the local path comes
// back whatever happened. LocalPath: only the local path. Deliver: copies
// `source` to the board's root (60 attempts), ignoring whether the board is
// known. Fetch and Deliver give up as soon as the board's drive is gone (see
// device/board_gone.h). PanelBusy is 1 while the call runs.
TransferResult TransferFile(Ports& ports, const std::string& name, const std::string& source,
                            TransferMode mode);

// 0 when the board's file of that kind is present and could be opened
// exclusively, 1 otherwise; a file that is not there counts towards the board
// being gone when its drive is missing too. Costs 150 ms whenever the board is
// known, 450 ms when the end marker is found.
int DeviceFileReady(Ports& ports, int kind);

// Deletes the selected file from the board when DeviceFileReady finds it.
void DeleteDeviceFile(Ports& ports, int selector);

}  // namespace z4
