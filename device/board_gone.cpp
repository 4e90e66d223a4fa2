#include "device/board_gone.h"

#include "core/shared_state.h"
#include "device/drive_error_dialogs.h"

namespace z4 {

bool BoardGoneAfterFailure(Ports& ports, const std::string& path) {
  if (BoardGone()) return true;
  SearchOutcome outcome;
  {
    DriveErrorDialogsOff quiet(ports.system);
    outcome = ports.files.Search(path);
  }
  if (outcome != SearchOutcome::PlaceGone) {
    BoardReached();
    return false;
  }
  const int misses = SharedState::GetDriveMisses() + 1;
  SharedState::SetDriveMisses(misses);
  if (misses >= kMissesForGone) SharedState::SetBoardGone(true);
  return BoardGone();
}

void BoardReached() {
  SharedState::SetDriveMisses(0);
  // The device watch counts its own failed looks; the board answering here
  // ends that count too, so that a miss the watch saw before a job is not
  // the first of two with a miss after it.
  SharedState::SetWatchStep(WatchStep::kFirst);
}

bool BoardGone() {
  return SharedState::GetBoardGone();
}

void VolumesRemoved(unsigned long unit_mask) {
  const std::string drive = SharedState::GetDeviceDrive();
  if (drive.size() != 1) return;
  const char letter =
      drive[0] >= 'a' && drive[0] <= 'z' ? static_cast<char>(drive[0] - 'a' + 'A') : drive[0];
  if (letter < 'A' || letter > 'Z') return;
  if ((unit_mask >> (letter - 'A')) & 1u) SharedState::SetBoardGone(true);
}

void ForgetBoardGone() {
  SharedState::SetDriveMisses(0);
  SharedState::SetBoardGone(false);
}

}  // namespace z4
