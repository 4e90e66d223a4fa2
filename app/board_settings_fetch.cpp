#include "app/board_settings_fetch.h"

#include "device/board_file_limits.h"
#include "device/file_exchange.h"

namespace z4 {

FetchedSettings FetchBoardSettings(Ports& ports) {
  FetchedSettings fetched;
  const TransferResult copy = TransferFile(ports, "Z4.INI", "", TransferMode::Fetch);
  auto start =
      copy.status == 0 ? ports.files.ReadFileStart(copy.path, kSettingsFileLimit) : std::nullopt;
  if (!start) {
    fetched.outcome = BatchOutcome::NoSettingsFile;
  } else if (!start->whole) {
    fetched.outcome = BatchOutcome::BoardFileTooLarge;
  } else {
    fetched.bytes = std::move(start->bytes);
  }
  return fetched;
}

}  // namespace z4
