// The emulated board on a drive of the fake file system, for tests that run
// the utility against the board in virtual time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "fakes/fake_file_system.h"
#include "fakes/virtual_clock.h"
#include "sim/board.h"
#include "sim/board_records.h"
#include "sim/board_storage.h"
#include "sim/settings.h"
#include "sim/state_file.h"

namespace z4::fakes {

// The root of drive `letter` of a FakeFileSystem as the board's storage; a
// name "QXR\MB000001.png" is the file E:\QXR\MB000001.png.
// The board's own file operations are not the program's: they leave no line
// in the file system's log and do not run its before_operation hook.
class FakeBoardStorage : public sim::BoardStorage {
 public:
  FakeBoardStorage(FakeFileSystem& files, char letter);

  std::vector<std::string> List() override;
  std::vector<std::string> ListFolder(const std::string& folder) override;
  bool MakeFolder(const std::string& folder) override;
  bool Exists(const std::string& name) override;
  std::optional<std::string> Read(const std::string& name) override;
  bool Write(const std::string& name, const std::string& bytes) override;
  bool Remove(const std::string& name) override;
  std::unique_ptr<sim::HeldFile> Hold(const std::string& name) override;

 private:
  class Quiet;
  class Held;
  std::string PathOf(const std::string& name) const { return root_ + name; }

  FakeFileSystem& files_;
  std::string root_;  // "E:\"
};

// A board on drive `letter` that steps every `period_ms` of the clock's
// virtual time, starting with `initial` settings:
//
//   FakeFileSystem fs;
//   fs.AddDrive('E');
//   VirtualClock clock;
//   EmulatedBoard board(fs, clock, 'E');
//   ... the utility runs; clock.Pause / Advance move the board too ...
//   EXPECT_EQ(board.board().settings().density, 80);
//
// It may go away before the clock: its steps then stop.
class EmulatedBoard {
 public:
  // Defined here rather than in the .cpp so that programs which build the
  // fakes without the emulator library still link.
  EmulatedBoard(FakeFileSystem& files, VirtualClock& clock, char letter,
                const sim::Settings& initial = {}, sim::BoardOptions options = {},
                std::int64_t period_ms = 50)
      : storage_(files, letter),
        records_(RecordsStartingWith(initial)),
        board_(storage_, records_, std::move(options)) {
    std::weak_ptr<bool> alive = alive_;
    clock.AddActor(period_ms, [this, alive](std::int64_t now) {
      if (alive.lock()) board_.Step(now);
    });
  }
  EmulatedBoard(const EmulatedBoard&) = delete;
  EmulatedBoard& operator=(const EmulatedBoard&) = delete;

  sim::Board& board() { return board_; }
  // The state and journal texts the board saved.
  sim::MemoryRecords& records() { return records_; }

 private:
  static sim::MemoryRecords RecordsStartingWith(const sim::Settings& initial) {
    sim::MemoryRecords start;
    start.state = sim::StateFileText(initial);
    return start;
  }

  FakeBoardStorage storage_;
  sim::MemoryRecords records_;
  sim::Board board_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace z4::fakes
