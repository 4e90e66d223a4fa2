#include "core/text_table.h"

#include <gtest/gtest.h>

#include "core/shared_state.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_system.h"

namespace z4 {
namespace {

class TextTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SharedState::Reset();
    files.AddDirectory(kFolder);
  }
  TextTable Load(const std::string& bytes) {
    files.AddFile(kPath, bytes);
    return LoadMissingOk();
  }
  TextTable LoadMissingOk() {
    TextTable table;
    LoadTextTable(files, system, table);
    return table;
  }
  static constexpr const char* kFolder = "C:\\Program Files\\Z4";
  static constexpr const char* kPath = "C:\\Program Files\\Z4\\Z4Utility.ini";
  fakes::FakeFileSystem files;
  fakes::FakeSystem system;
};

void ExpectMissingFileDefaults(const TextTable& table) {
  EXPECT_EQ(SharedState::GetLanguageFlag(), 1);
  for (std::size_t i = 0; i < kTextKeyCount; ++i) {
    const auto key = static_cast<TextKey>(i);
    if (key != TextKey::MODE_FONT) {
      EXPECT_EQ(table.Text(key), "") << TextKeyName(key);
    }
  }
  EXPECT_EQ(table.FontFace(), "MS Sans Serif");
  EXPECT_EQ(table.FontSize(), 80);
}

TEST_F(TextTableTest, AnAbsentOrLockedFileGivesTheDefaultsAReadOnlyOneIsRead) {
  ExpectMissingFileDefaults(LoadMissingOk());

  SharedState::Reset();
  files.AddFile(kPath, "LANGUAGE=JAPAN\r\nCONF_DIALOG=Z-4\r\n");
  files.SetHeldOpen(kPath, true);
  ExpectMissingFileDefaults(LoadMissingOk());

  // Under Program Files the user may only read it.
  files.SetHeldOpen(kPath, false);
  files.SetReadOnly(kPath, true);
  TextTable table;
  LoadTextTable(files, system, table);
  EXPECT_EQ(table.Text(TextKey::CONF_DIALOG), "Z-4");
  EXPECT_EQ(SharedState::GetLanguageFlag(), 0);
}

TEST_F(TextTableTest, ReadsEveryKeyIntoItsSlot) {
  std::string file;
  for (std::size_t i = 0; i < kTextKeyCount; ++i) {
    file +=
        std::string(TextKeyName(static_cast<TextKey>(i))) + "=value " + std::to_string(i) + "\r\n";
  }
  file += "MODE_FONT_SIZE=90\r\n";
  const TextTable table = Load(file);
  for (std::size_t i = 0; i < kTextKeyCount; ++i) {
    EXPECT_EQ(table.Text(static_cast<TextKey>(i)), "value " + std::to_string(i));
  }
  EXPECT_EQ(table.FontSize(), 90);
  EXPECT_EQ(SharedState::GetLanguageFlag(), 0) << "no LANGUAGE line keeps Japanese";
}

TEST_F(TextTableTest, LanguageIsJapaneseOnlyForExactlyJapan) {
  struct Case {
    const char* line;
    int flag;
  };
  for (const Case& c :
       {Case{"LANGUAGE=JAPAN", 0}, Case{"  LANGUAGE\t=  JAPAN  ", 0}, Case{"LANGUAGE=japan", 1},
        Case{"LANGUAGE=ENGLISH", 1}, Case{"LANGUAGE=", 1}, Case{"LANGUAGE=JAPANESE", 1}}) {
    SharedState::Reset();
    Load(std::string(c.line) + "\r\n");
    EXPECT_EQ(SharedState::GetLanguageFlag(), c.flag) << c.line;
  }
}

TEST_F(TextTableTest, FontSizeTakesDigitsOnly) {
  struct Case {
    const char* file;
    int size;
  };
  for (const Case& c :
       {Case{"MODE_FONT_SIZE=90", 90}, Case{"MODE_FONT_SIZE = 0090 ", 90},
        Case{"MODE_FONT_SIZE=9.5", -1}, Case{"MODE_FONT_SIZE=-90", -1},
        Case{"MODE_FONT_SIZE=9 0", -1}, Case{"MODE_FONT_SIZE=", -1}, Case{"MODE_FONT=Tahoma", 0}}) {
    EXPECT_EQ(Load(c.file).FontSize(), c.size) << c.file;
  }
}

TEST_F(TextTableTest, KeysMatchExactlyAfterTrimming) {
  const TextTable table = Load(
      "BUTTON_SET\r\n"                      // no "=": nothing
      "button_cansel=lower case\r\n"        // keys are case-sensitive
      "[Texts]\r\n"                         // a section header is just an unknown line
      "; CONF_DIALOG=commented\r\n"         // so is a comment
      " \tLBL_BOARD \t=  Board  type \r\n"  // spaces around key and value
      "CONF_DIALOG=A=B = C\r\n");           // only the first "=" splits
  EXPECT_EQ(table.Text(TextKey::BUTTON_SET), "");
  EXPECT_EQ(table.Text(TextKey::BUTTON_CANSEL), "");
  EXPECT_EQ(table.Text(TextKey::LBL_BOARD), "Board  type");
  EXPECT_EQ(table.Text(TextKey::CONF_DIALOG), "A=B = C");
}

TEST_F(TextTableTest, LastOccurrenceWinsAndEmptyValueEmpties) {
  const TextTable table =
      Load("BUTTON_SET=First\r\nBUTTON_SET=Second\r\nLBL_FORMAT=Format\nLBL_FORMAT=\n");
  EXPECT_EQ(table.Text(TextKey::BUTTON_SET), "Second");
  EXPECT_EQ(table.Text(TextKey::LBL_FORMAT), "");
}

TEST_F(TextTableTest, LineEndsOfEveryKind) {
  const TextTable table = Load("SLIDER_MIN=min\r\nSLIDER_SECOND=sec\nLBL_BOARD=last");
  EXPECT_EQ(table.Text(TextKey::SLIDER_MIN), "min");
  EXPECT_EQ(table.Text(TextKey::SLIDER_SECOND), "sec");
  EXPECT_EQ(table.Text(TextKey::LBL_BOARD), "last") << "a last line without a line end counts";
}

TEST_F(TextTableTest, ValuesAreConvertedFromTheCodePageUnlessTheFileIsUtf8) {
  // The fake system's code page is Latin-1: byte 0xE9 is "é".
  EXPECT_EQ(Load("LBL_BOARD=Carte \xE9\r\n").Text(TextKey::LBL_BOARD), "Carte \xC3\xA9");
  EXPECT_EQ(Load("\xEF\xBB\xBFLBL_BOARD=\xE5\x9F\xBA\xE6\x9D\xBF\r\n").Text(TextKey::LBL_BOARD),
            "\xE5\x9F\xBA\xE6\x9D\xBF")
      << "with a byte-order mark the first key still matches and UTF-8 is kept";
}

TEST_F(TextTableTest, HostileFilesLoadWithoutHarm) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
  Load(binary);

  // A NUL ends the line as far as the table is concerned.
  EXPECT_EQ(Load(std::string("CONF_DIALOG=Visible\0Hidden\r\nBUTTON_SET=Set", 42))
                .Text(TextKey::CONF_DIALOG),
            "Visible");

  const std::string long_value(1 << 20, 'x');
  EXPECT_EQ(Load("CONF_DIALOG=" + long_value).Text(TextKey::CONF_DIALOG).size(), long_value.size());
  EXPECT_EQ(Load(std::string(1 << 20, '=')).Text(TextKey::CONF_DIALOG), "");
  EXPECT_EQ(Load("").FontSize(), 0);
}

}  // namespace
}  // namespace z4
