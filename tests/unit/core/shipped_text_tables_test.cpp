// The text tables that ship with the program, read as the program reads them.
#include <gtest/gtest.h>

#ifdef Z4_SOURCE_DIR

#include <fstream>
#include <iterator>
#include <string>

#include "core/shared_state.h"
#include "core/text_table.h"
#include "fakes/fake_system.h"

namespace z4 {
namespace {

std::string ReadSource(const std::string& relative) {
  std::ifstream in(std::string(Z4_SOURCE_DIR) + "/" + relative, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Shipped {
  const char* name;
  const char* path;
  int language_flag;
  const char* caption;
};

class ShippedTextTable : public ::testing::TestWithParam<Shipped> {};

TEST_P(ShippedTextTable, FillsEverySlotAndChoosesItsLanguage) {
  const Shipped shipped = GetParam();
  const std::string bytes = ReadSource(shipped.path);
  ASSERT_FALSE(bytes.empty()) << shipped.path;
  SharedState::Reset();
  SharedState::SetLanguageFlag(7);
  fakes::FakeSystem system;
  TextTable table;
  ParseTextTable(bytes, system, table);

  EXPECT_EQ(SharedState::GetLanguageFlag(), shipped.language_flag);
  for (std::size_t i = 0; i < kTextKeyCount; ++i) {
    const auto key = static_cast<TextKey>(i);
    EXPECT_NE(table.Text(key), "") << TextKeyName(key);
  }
  EXPECT_GE(table.FontSize(), 80);
  EXPECT_LE(table.FontSize(), 120);
  // The fake converts a code page's upper half as Latin-1, so a Japanese
  // text arrives whole only when the file is taken as UTF-8.
  EXPECT_EQ(table.Text(TextKey::CONF_DIALOG), shipped.caption);

  // Every line ends in CR LF, as Notepad writes it.
  for (std::size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1)) {
    ASSERT_TRUE(at > 0 && bytes[at - 1] == '\r') << "bare LF at byte " << at;
  }
  EXPECT_EQ(bytes.back(), '\n');
}

INSTANTIATE_TEST_SUITE_P(
    Tables, ShippedTextTable,
    ::testing::Values(Shipped{"English", "res/Z4Utility.ini", 1, "Z-4 Setup Utility"},
                      Shipped{"Japanese", "res/ja/Z4Utility.ini", 0,
                              "Z-4 \xE8\xA8\xAD\xE5\xAE\x9A\xE3\x83\xA6\xE3\x83\xBC\xE3\x83\x86"
                              "\xE3\x82\xA3\xE3\x83\xAA\xE3\x83\x86\xE3\x82\xA3"}),
    [](const ::testing::TestParamInfo<Shipped>& info) { return std::string(info.param.name); });

// The help on the runs without a window: the registry finds the board on
// every Windows the program runs on, /drive:X is needed on none of them.
TEST(ShippedHelpTest, TheBatchPagesSayTheRegistryFindsTheBoardOnEveryWindows) {
  for (const auto& [page, range] : {std::pair{"help/en/batch.html", "(Windows 2000 to 11)"},
                                    {"help/ja/batch.html",
                                     "\xEF\xBC\x88Windows 2000 \xE3\x81\x8B\xE3\x82\x89 11 "
                                     "\xE3\x81\xBE\xE3\x81\xA7\xEF\xBC\x89"}}) {
    EXPECT_NE(ReadSource(page).find(range), std::string::npos) << page;
  }
}

}  // namespace
}  // namespace z4

#endif  // Z4_SOURCE_DIR
