#include "settings/settings_storage.h"

#include "core/program_folder.h"
#include "core/shared_state.h"
#include "device/board_file_limits.h"
#include "device/file_exchange.h"
#include "settings/settings_format.h"

namespace z4 {
namespace {

// Reads a file into `accepted` (cleared first). False when it cannot be read.
bool ParseFile(Ports& ports, const std::string& path, AcceptedValues& accepted) {
  accepted.Clear();
  const auto bytes = ports.files.ReadFile(path, kSettingsFileLimit);
  if (!bytes) return false;
  ParseSettingsFile(*bytes, accepted);
  return true;
}

}  // namespace

namespace {

// The board's file over DeviceSettings; the bytes are kept for the history of
// the next write: what the board held.
void ApplyBoardFile(const std::string& bytes) {
  SharedState::SetBoardFile(bytes, SharedState::GetDeviceDrive());
  AcceptedValues accepted;
  ParseSettingsFile(bytes, accepted);
  SettingsRecord settings = SharedState::GetDeviceSettings();
  accepted.ApplyTo(settings);
  SharedState::SetDeviceSettings(settings);
}

}  // namespace

int LoadDefaultSettings(Ports& ports) {
  SettingsRecord settings = BuiltInSettings();
  SharedState::SetDeviceSettings(settings);
  const std::string path = GetProgramFolder(ports.system) + "\\Z4.INI";
  if (!ports.files.FindFiles(path)) return 0;
  AcceptedValues accepted;
  // A file that is there but cannot be read (another program holds it open
  // for writing) is passed over as if it were absent: the defaults stand and
  // the board's own file is still read.
  if (!ParseFile(ports, path, accepted)) return 0;
  accepted.ApplyTo(settings);
  SharedState::SetDeviceSettings(settings);
  return 0;
}

int LoadSettings(Ports& ports, int useDefaults) {
  SharedState::SetBoardFile("", "");
  if (LoadDefaultSettings(ports) != 0) return 1;
  if (useDefaults != 0) return 0;
  const TransferResult fetched = TransferFile(ports, "Z4.INI", "", TransferMode::Fetch);
  if (fetched.status != 0) return 0;
  const auto bytes = ports.files.ReadFile(fetched.path, kSettingsFileLimit);
  if (!bytes) return 1;
  ApplyBoardFile(*bytes);
  return 0;
}

void TakeBoardSettings(Ports& ports, const std::string& bytes) {
  LoadDefaultSettings(ports);
  ApplyBoardFile(bytes);
}

int SaveSettings(Ports& ports, const SettingsRecord& record) {
  const TransferResult fetched = TransferFile(ports, "Z4.INI", "", TransferMode::Fetch);
  if (fetched.path.empty()) return 1;
  std::string old_bytes;
  if (fetched.status == 0) {
    auto bytes = ports.files.ReadFile(fetched.path, kSettingsFileLimit);
    if (!bytes) return 1;
    old_bytes = std::move(*bytes);
  }
  // Replaced as one step: the board must never be sent half a settings file.
  if (!ports.files.ReplaceFileContents(fetched.path, RewriteSettingsFile(old_bytes, record))) {
    return 1;
  }
  return 0;
}

}  // namespace z4
