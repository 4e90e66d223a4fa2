#include "settings/board_settings_fetch.h"

#include "device/board_file_limits.h"
#include "device/file_exchange.h"

namespace z4 {

FetchedSettings FetchBoardSettings(Ports& ports) {
  FetchedSettings fetched;
  const TransferResult copy = TransferFile(ports, "Z4.INI", "", TransferMode::Fetch);
  auto start =
      copy.status == 0 ? ports.files.ReadFileStart(copy.path, kSettingsFileLimit) : std::nullopt;
  if (!start) {
    fetched.status = FetchStatus::NoFile;
  } else if (!start->whole) {
    fetched.status = FetchStatus::TooLarge;
  } else {
    fetched.bytes = std::move(start->bytes);
  }
  return fetched;
}

std::string FetchProblemText(FetchStatus status) {
  switch (status) {
    case FetchStatus::NoFile:
      return "the board's settings file could not be read";
    case FetchStatus::TooLarge:
      return "the board's settings file is larger than 64 KiB";
    default:
      return {};
  }
}

}  // namespace z4
