// The emulated board in virtual time on a fake drive E:, as the utility's own
// tests use it; shared by the tests of the board's jobs.
#pragma once

#include <gtest/gtest.h>
#include <memory>

#include "fakes/fake_board_storage.h"
#include "sim/board.h"

namespace z4::sim {

inline constexpr const char* kJob = "E:\\Z4.JOB";
inline constexpr const char* kMarker = "E:\\Z4JOB.END";

class SimBoardFixture : public ::testing::Test {
 protected:
  SimBoardFixture() { fs.AddDrive('E'); }

  // The board steps every 50 ms of virtual time, the first time at 50.
  fakes::EmulatedBoard& Start(const Settings& initial = {}, BoardOptions options = {}) {
    emulated =
        std::make_unique<fakes::EmulatedBoard>(fs, clock, 'E', initial, std::move(options), 50);
    return *emulated;
  }
  Board& board() { return emulated->board(); }
  // What the utility does once it has seen the end marker.
  void ClearJob() {
    fs.Delete(kJob);
    fs.Delete(kMarker);
  }

  fakes::FakeFileSystem fs;
  fakes::VirtualClock clock;
  std::unique_ptr<fakes::EmulatedBoard> emulated;
};

}  // namespace z4::sim
