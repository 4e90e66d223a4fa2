#include "device/file_exchange.h"

#include <array>

#include "core/program_folder.h"
#include "core/shared_state.h"
#include "device/board_drive_check.h"
#include "device/board_gone.h"
#include "device/drive_error_dialogs.h"

namespace z4 {
namespace {

constexpr std::array<const char*, 8> kKindFiles = {
    "Z4.INI", "Z4.JOB", "Z4JOB.END", "Z4.CSV", "Z4.LOG", "test.png", "Mb000120.tif", "Z4Dummy.TXT",
};

constexpr std::array<int, 5> kSelectorKinds = {
    kKindSettings, kKindLevelData, kKindJob, kKindEndMarker, kKindFlush,
};

// On Windows 2000 a small file is written after every delivery so that the
// system commits the board's drive.
constexpr char kFlushFileBytes[] = "ABBD";

// PanelBusy is 1 for the whole of a transfer, whichever way it returns.
class BusyPanel {
 public:
  BusyPanel() { SharedState::SetPanelBusy(1); }
  ~BusyPanel() { SharedState::SetPanelBusy(0); }
  BusyPanel(const BusyPanel&) = delete;
  BusyPanel& operator=(const BusyPanel&) = delete;
};

bool IsWindows2000(System& system) {
  const auto version = system.Version();
  return version && version->major == 5 && version->minor == 0;
}

// The board holds a file open while it writes it, so a file counts only when
// nobody else has it open.
bool OpenableOnDevice(Ports& ports, const std::string& device_path) {
  if (SharedState::GetDeviceFound() != 1) return false;
  const bool openable = ports.files.OpenExclusive(device_path) != nullptr;
  if (openable) {
    BoardReached();
  } else {
    BoardGoneAfterFailure(ports, device_path);
  }
  ports.clock.Pause(kPresencePauseMs);
  return openable;
}

TransferResult Fetch(Ports& ports, const std::string& name) {
  if (EnsureBackupFolder(ports) != 0) return {};
  TransferResult result{BackupFolderPath(ports.system) + "\\" + name, 1};
  const std::string device_path = DeviceFilePath(name);
  DriveErrorDialogsOff quiet(ports.system);
  if (!OpenableOnDevice(ports, device_path)) return result;
  for (int attempt = 0; attempt < kFetchAttempts; ++attempt) {
    if (ports.files.CopyReplacing(device_path, result.path)) {
      result.status = 0;
      break;
    }
    if (BoardGoneAfterFailure(ports, device_path)) break;
    ports.clock.Pause(kRetryPauseMs);
  }
  return result;
}

TransferResult LocalPath(Ports& ports, const std::string& name) {
  if (EnsureBackupFolder(ports) != 0) return {};
  return {BackupFolderPath(ports.system) + "\\" + name, 0};
}

enum class Delivery { Go, DriveMissing, NotTheBoard };

// Every copy to the board decides here whether it may go ahead: nothing is
// copied to a drive that the board is known to have left, nor to another disk
// that took the board's letter since the board was found. A letter that is
// missing this moment is one failed look, as for any other attempt: a board
// that drops out for a moment is not taken for gone.
Delivery MayDeliver(Ports& ports) {
  if (BoardGone()) return Delivery::NotTheBoard;
  const std::string drive = SharedState::GetDeviceDrive();
  if (drive.size() != 1) return Delivery::Go;  // no letter: the copies fail by themselves
  if (ports.files.DriveType(drive + ":\\") == DriveKind::NoRoot) return Delivery::DriveMissing;
  if (IsBoardDrive(ports, drive[0], SharedState::GetDriveOption().empty())) return Delivery::Go;
  SharedState::SetBoardGone(true);
  return Delivery::NotTheBoard;
}

TransferResult Deliver(Ports& ports, const std::string& name, const std::string& source) {
  TransferResult result{std::string(), 1};
  const std::string device_path = DeviceFilePath(name);
  DriveErrorDialogsOff quiet(ports.system);
  for (int attempt = 0; attempt < kDeliverAttempts; ++attempt) {
    const Delivery may = MayDeliver(ports);
    if (may == Delivery::NotTheBoard) return result;
    if (may == Delivery::Go && ports.files.CopyReplacing(source, device_path)) {
      BoardReached();
      result.status = 0;
      break;
    }
    // The copy may have failed for want of the source: the target's place
    // on the board tells whether the board is still there.
    if (BoardGoneAfterFailure(ports, device_path)) return result;
    ports.clock.Pause(kRetryPauseMs);
  }
  if (result.status != 0) return result;
  // The copy is done; push it out of the system's write cache so that the
  // board sees the whole file. A failure here changes nothing for the caller:
  // the board may already have taken the file.
  ports.files.FlushFile(device_path);
  if (IsWindows2000(ports.system)) {
    ports.files.WriteNewFile(DeviceFilePath(kKindFiles[kKindFlush]), kFlushFileBytes);
  }
  return result;
}

}  // namespace

const char* DeviceFileName(int kind) {
  if (kind < 0 || kind >= static_cast<int>(kKindFiles.size())) return nullptr;
  const char* name = kKindFiles[static_cast<std::size_t>(kind)];
  return name;
}

std::string DeviceFilePath(const std::string& name) {
  return SharedState::GetDeviceDrive() + ":\\" + name;
}

int EnsureBackupFolder(Ports& ports) {
  const auto previous = ports.files.CurrentDirectory();
  const std::string folder = BackupFolderPath(ports.system);
  int status = 0;
  // A folder exists when it can be made the current directory.
  if (!ports.files.EnterDirectory(folder)) {
    // When the creation itself fails, the folder is taken to exist: the copy or
    // write that follows fails on its own and says so.
    if (ports.files.MakeDirectory(folder) && !ports.files.EnterDirectory(folder)) {
      status = 1;
    }
  }
  if (previous) ports.files.EnterDirectory(*previous);
  return status;
}

TransferResult TransferFile(Ports& ports, const std::string& name, const std::string& source,
                            TransferMode mode) {
  BusyPanel busy;
  switch (mode) {
    case TransferMode::Fetch:
      return Fetch(ports, name);
    case TransferMode::LocalPath:
      return LocalPath(ports, name);
    case TransferMode::Deliver:
      return Deliver(ports, name, source);
  }
  return {};
}

int DeviceFileReady(Ports& ports, int kind) {
  if (SharedState::GetDeviceFound() != 1) return 1;
  int result = 1;
  if (const char* name = DeviceFileName(kind)) {
    DriveErrorDialogsOff quiet(ports.system);
    const std::string path = DeviceFilePath(name);
    if (auto file = ports.files.OpenExclusive(path)) {
      BoardReached();
      // The end marker is held open a moment before it is let go.
      if (kind == kKindEndMarker) ports.clock.Pause(kEndMarkerHoldMs);
      result = 0;
    } else {
      // Not there yet, or its drive has gone: the search tells which.
      BoardGoneAfterFailure(ports, path);
    }
  }
  ports.clock.Pause(kPresencePauseMs);
  return result;
}

void DeleteDeviceFile(Ports& ports, int selector) {
  if (selector < 0 || selector >= static_cast<int>(kSelectorKinds.size())) return;
  const int kind = kSelectorKinds[static_cast<std::size_t>(selector)];
  if (DeviceFileReady(ports, kind) == 0) ports.files.Delete(DeviceFilePath(DeviceFileName(kind)));
}

}  // namespace z4
