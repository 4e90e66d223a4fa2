// How the board's log and other text from the board become text on screen.
#include "viewers/error_log.h"

#include <gtest/gtest.h>
#include <string>

#include "core/utf8_check.h"
#include "fakes/fake_system.h"

namespace z4 {
namespace {

TEST(Utf8CheckTest, WellFormedAndIllFormedSequences) {
  struct Case {
    std::string bytes;
    std::size_t valid;
  };
  const Case cases[] = {
      {"", 0},
      {"ascii", 5},
      {"\xC3\xA9", 2},           // é
      {"\xE3\x83\xA9", 3},       // ラ
      {"\xF0\x9F\x98\x80", 4},   // an emoji, four bytes
      {"a\xC0\xAF", 1},          // overlong "/"
      {"a\xE0\x80\xAF", 1},      // overlong in three bytes
      {"a\xF0\x8F\xBF\xBF", 1},  // overlong in four bytes (U+FFFF)
      {"\xF0\x90\x80\x80", 4},   // the first character that needs four
      {"a\xED\xA0\x80", 1},      // a surrogate
      {"a\xF4\x90\x80\x80", 1},  // above U+10FFFF
      {"a\x83\x89", 1},          // Shift-JIS "ラ"
      {"ab\xE3\x83", 2},         // cut short
      {"\xFF", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ValidUtf8Length(c.bytes), c.valid) << testing::PrintToString(c.bytes);
  }
  EXPECT_EQ(ReplaceInvalidUtf8("a\xFF\xE3\x83z"), "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDz");
}

TEST(Utf8CheckTest, ACharacterCutOffAtTheEndIsLeftOut) {
  EXPECT_EQ(WithoutCutCharacter("ab\xE3\x83"), 2u);
  EXPECT_EQ(WithoutCutCharacter("ab\xE3"), 2u);
  EXPECT_EQ(WithoutCutCharacter("ab\xF0\x9F\x98"), 2u);
  EXPECT_EQ(WithoutCutCharacter("ab\xE3\x83\xA9"), 5u) << "whole";
  EXPECT_EQ(WithoutCutCharacter("abc"), 3u);
  EXPECT_EQ(WithoutCutCharacter(""), 0u);
}

TEST(ErrorLogTest, DecodingChoosesUtf8OrTheSystemsCodePage) {
  fakes::FakeSystem system;  // its code page is Latin-1
  EXPECT_EQ(DecodeLogBytes("caf\xC3\xA9", true, system), "caf\xC3\xA9");
  EXPECT_EQ(DecodeLogBytes("caf\xE9", true, system), "caf\xC3\xA9") << "Latin-1 é";
  EXPECT_EQ(DecodeLogBytes("\xEF\xBB\xBFok", true, system), "ok") << "the mark is left out";
  EXPECT_EQ(DecodeLogBytes(std::string("a\0\0b", 4), true, system), "a  b");
  // The start of a longer log, cut inside a character: still UTF-8.
  EXPECT_EQ(DecodeLogBytes("caf\xC3\xA9 \xE3\x83", false, system), "caf\xC3\xA9 ");
  EXPECT_EQ(DecodeLogBytes("caf\xC3\xA9 \xE3\x83", true, system),
            "caf\xC3\x83\xC2\xA9 \xC3\xA3\xC2\x83")
      << "a whole file that ends so is not UTF-8";
}

TEST(ErrorLogTest, TheNoticeOfAnUnshownRestComesLastInTheWindowsLanguage) {
  fakes::FakeSystem system;
  EXPECT_EQ(ShownLogText("a\nb", true, 1, system), "a\r\nb\r\n");
  const std::string english = ShownLogText("a\nb", false, 1, system);
  EXPECT_EQ(english.rfind("a\r\nb\r\n[", 0), 0u) << english;
  EXPECT_NE(english.find("only its beginning is shown"), std::string::npos);
  const std::string japanese = ShownLogText("a\nb", false, 0, system);
  EXPECT_NE(japanese, english);
  EXPECT_TRUE(IsValidUtf8(japanese));
  EXPECT_EQ(japanese.substr(japanese.size() - 2), "\r\n");
}

}  // namespace
}  // namespace z4
