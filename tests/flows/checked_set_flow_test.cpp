// A Set is checked by reading the board back, in user mode and in test/adjust
// mode alike: the log, the history, the message and the panel say what the
// board holds, never what was only sent.
#include <gtest/gtest.h>
#include <optional>

#include "app/config_dlg.h"
#include "core/shared_state.h"
#include "fakes/board_registration.h"
#include "fakes/fake_board_storage.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_ui.h"
#include "res/resource_ids.h"
#include "sim/settings_file.h"

namespace z4 {
namespace {

const std::string kFolder = "C:\\Program Files\\Z4";
const std::string kHistory = kFolder + "\\History\\";

enum class Board { Takes, Refuses, SilentOnReadBack };

struct CheckedSet {
  const char* name;
  int adjust;
  Board board;
  // The outcome of the Sets 80→90, then →85, in the log.
  std::string first, second;
};

const std::string kNotRead = "written, not read back: the board did not finish the read";
// The board has stopped working altogether.
const std::string kStopped = "not known whether written: the board did not finish the write";
const CheckedSet kSets[] = {
    {"taken", 0, Board::Takes, "done: Density 80\u219290", "done: Density 90\u219285"},
    {"taken in adjust mode", 1, Board::Takes, "done: Density 80\u219290",
     "done: Density 90\u219285"},
    {"refused", 0, Board::Refuses, "not taken: Density: written 90, read 80",
     "not taken: Density: written 85, read 80"},
    {"refused in adjust mode", 1, Board::Refuses, "not taken: Density: written 90, read 80",
     "not taken: Density: written 85, read 80"},
    {"not read back", 0, Board::SilentOnReadBack, kNotRead, kStopped},
    {"not read back in adjust mode", 1, Board::SilentOnReadBack, kNotRead, kStopped},
};
void PrintTo(const CheckedSet& c, std::ostream* os) {
  *os << c.name;
}

class CheckedSetTest : public ::testing::TestWithParam<CheckedSet>, protected fakes::FakeMachine {
 protected:
  void SetUp() override {
    SharedState::Reset();
    SharedState::SetTestAdjustMode(GetParam().adjust);
    files.AddDirectory(kFolder);
    files.AddDrive('E');
    fakes::RegisterBoardNt(registry, 'E');
    texts.SetText(TextKey::ERROR_USB_WRITE_JAPAN, "not written");
  }
  void PlugBoard(sim::BoardOptions options) {
    sim::Settings settings;
    settings.density = 80;
    board.emplace(files, clock, 'E', settings, std::move(options));
  }
  bool PanelUsable(std::int64_t max_ms) {
    return ui.RunUntilTrue([&] { return ui.Main().Control(IDC_SET).enabled; }, max_ms);
  }
  std::string LogLine(std::size_t n) const {
    std::string log = files.Contents(kFolder + "\\Z4Utility.log").value_or("");
    for (std::size_t at = 3, i = 0;; ++i) {
      const std::size_t end = log.find("\r\n", at);
      if (end == std::string::npos) return {};
      if (i == n) return log.substr(at, end - at);
      at = end + 2;
    }
  }

  TextTable texts;
  CConfigDlg dialog{ports, texts};
  fakes::FakeUi ui{clock};
  std::optional<fakes::EmulatedBoard> board;
};

TEST_P(CheckedSetTest, TheLogTheHistoryAndThePanelSayWhatTheBoardHolds) {
  const CheckedSet& c = GetParam();
  sim::BoardOptions options;
  options.refuse_settings = c.board == Board::Refuses;
  PlugBoard(options);
  ui.Open(IDD_CONFIG, dialog);
  ASSERT_TRUE(PanelUsable(20000));
  if (c.board == Board::SilentOnReadBack) {
    // The board stops working once it has finished the write.
    clock.AddActor(50, [&](std::int64_t) {
      if (board && board->board().finished_jobs() >= 2 && board->board().idle()) board.reset();
    });
  }
  const std::string opening = sim::SettingsFileText(board->board().settings());
  const int expected_density = c.board == Board::Takes ? 90 : 80;

  ui.Scroll(IDC_DENSITY_TRACKBAR, 90);
  ui.Click(IDC_SET);
  ASSERT_TRUE(PanelUsable(60000));
  const std::string stem1 = kHistory + "000001_2024-05-01_134507_E_";
  EXPECT_EQ(LogLine(0), "2024-05-01 13:45:07\tE\tset\t" + stem1 + "before.ini\t" + c.first);
  EXPECT_EQ(files.Contents(stem1 + "before.ini"), opening);
  const auto after = files.Contents(stem1 + "after.ini");
  if (c.board == Board::SilentOnReadBack) {
    EXPECT_FALSE(after) << "what the board holds is not known";
  } else {
    ASSERT_TRUE(after);
    EXPECT_EQ(*after, sim::SettingsFileText(board->board().settings())) << "what it reported";
  }
  EXPECT_EQ(SharedState::GetDeviceSettings().Density, expected_density);
  EXPECT_EQ(ui.Main().Control(IDC_DENSITY_TRACKBAR).pos, expected_density);
  EXPECT_EQ(ui.Main().Control(IDC_DENSITY_VALUE).text, std::to_string(expected_density) + "%");
  ASSERT_EQ(ui.Boxes().size(), c.board == Board::Takes ? 0u : 1u);
  if (!ui.Boxes().empty()) {
    EXPECT_EQ(ui.Boxes()[0].text, "not written");
  }
  EXPECT_FALSE(files.Exists("E:\\Z4.INI"));

  // The next Set's before file is what the board last reported, when that is known.
  ui.Scroll(IDC_DENSITY_TRACKBAR, 85);
  ui.Click(IDC_SET);
  ASSERT_TRUE(PanelUsable(60000));
  const std::string stem2 = kHistory + "000002_2024-05-01_134507_E_";
  if (c.board == Board::SilentOnReadBack) {
    // What the board held after the first write is not known: no before file.
    EXPECT_EQ(LogLine(1), "2024-05-01 13:45:07\tE\tset\t-\t" + c.second + "; history not written");
  } else {
    EXPECT_EQ(LogLine(1), "2024-05-01 13:45:07\tE\tset\t" + stem2 + "before.ini\t" + c.second);
    EXPECT_EQ(files.Contents(stem2 + "before.ini"), after.value_or(opening));
  }
  EXPECT_EQ(LogLine(2), "") << "one line per Set";
}

INSTANTIATE_TEST_SUITE_P(EveryMode, CheckedSetTest, ::testing::ValuesIn(kSets));

}  // namespace
}  // namespace z4
