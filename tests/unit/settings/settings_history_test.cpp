// The history keeps the newest 500 of the files the program names, newest by
// the order of writing, and never the files of the write just made.
#include "settings/settings_history.h"

#include <gtest/gtest.h>

#include "core/shared_state.h"
#include "fakes/fake_machine.h"

namespace z4 {
namespace {

const std::string kHistory = "C:\\Z4\\History\\";

struct Pruning {
  const char* name;
  std::vector<std::string> there;  // before the write
  LocalTime clock;
  std::vector<std::string> gone;  // after it
};

std::vector<std::string> Numbered(int from, int count, const std::string& stamp) {
  std::vector<std::string> names;
  for (int n = from; n < from + count; ++n) {
    const std::string digits = std::to_string(n);
    names.push_back(std::string(6 - digits.size(), '0') + digits + "_" + stamp + "_E_before.ini");
  }
  return names;
}

std::vector<std::string> Legacy(int count) {
  std::vector<std::string> names;
  for (int n = 0; n < count; ++n) {
    names.push_back("2024-05-01_0" + std::to_string(10000 + n) + "_E_after.ini");
  }
  return names;
}

template <typename... V>
std::vector<std::string> Join(V... lists) {
  std::vector<std::string> all;
  (all.insert(all.end(), lists.begin(), lists.end()), ...);
  return all;
}

const Pruning kPrunings[] = {
    {"older names from 2024, the clock at 2009",
     Legacy(500),
     {2009, 1, 1, 0, 0, 0},
     {"2024-05-01_010000_E_after.ini", "2024-05-01_010001_E_after.ini"}},
    {"a user's file is not the program's",
     Join(std::vector<std::string>{"1 golden board.ini"}, Numbered(1, 499, "2024-05-01_081553")),
     {2024, 5, 1, 8, 15, 53},
     {"000001_2024-05-01_081553_E_before.ini"}},
    {"two writes in one second, older names",
     Join(std::vector<std::string>{"2024-05-02_081553-2_E_before.ini",
                                   "2024-05-02_081553_E_before.ini"},
          Numbered(1, 497, "2024-05-02_081553")),
     {2024, 5, 2, 8, 15, 53},
     {"2024-05-02_081553_E_before.ini"}},
    {"numbers beyond six digits",
     Join(Numbered(99999, 1, "2030-01-01_000000"),
          std::vector<std::string>{"1000000_2000-01-01_000000_E_after.ini"},
          Numbered(100000, 498, "2030-01-01_000000")),
     {2000, 1, 1, 0, 0, 0},
     {"099999_2030-01-01_000000_E_before.ini", "100000_2030-01-01_000000_E_before.ini"}},
};
void PrintTo(const Pruning& p, std::ostream* os) {
  *os << p.name;
}

class HistoryPruningTest : public ::testing::TestWithParam<Pruning>,
                           protected fakes::FakeMachine {};

TEST_P(HistoryPruningTest, TheOldestOfTheProgramsFilesGoAndTheNewWriteStays) {
  const Pruning& p = GetParam();
  SharedState::Reset();
  SharedState::SetDataFolder("C:\\Z4");
  for (const auto& name : p.there) files.AddFile(kHistory + name, name);
  wall_clock.now = p.clock;
  const HistoryEntry entry = KeepBefore(ports, "E", "before");
  ASSERT_FALSE(entry.before_path.empty());
  ASSERT_TRUE(KeepAfter(ports, entry, "after"));
  EXPECT_EQ(files.Contents(entry.before_path), "before");
  EXPECT_EQ(files.Contents(entry.after_path), "after");
  std::size_t kept = 0;
  for (const auto& name : p.there) {
    const bool gone = std::find(p.gone.begin(), p.gone.end(), name) != p.gone.end();
    EXPECT_EQ(files.Exists(kHistory + name), !gone) << name;
    kept += !gone;
  }
  EXPECT_EQ(files.List(kHistory).size(), kept + 2);
  // The new write is numbered after every numbered name there.
  const std::string name = entry.before_path.substr(kHistory.size());
  for (const auto& other : p.there) {
    if (HistoryOrderKey(other)) {
      EXPECT_LT(*HistoryOrderKey(other), *HistoryOrderKey(name)) << other;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Histories, HistoryPruningTest, ::testing::ValuesIn(kPrunings));

}  // namespace
}  // namespace z4
