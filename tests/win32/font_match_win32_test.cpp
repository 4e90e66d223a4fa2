// Whether the text-table font can be the window's own font.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/font_match.h"

namespace z4::win32 {
namespace {

LOGFONTW Font(const wchar_t* face, LONG height, BYTE quality) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = quality;
  lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
  return lf;
}

class Made {
 public:
  explicit Made(const LOGFONTW& lf) : font_(CreateFontIndirectW(&lf)) {}
  ~Made() { DeleteObject(font_); }
  HFONT get() const { return font_; }

 private:
  HFONT font_;
};

TEST(FontMatchTest, OnlyTheSameFontDrawsAlike) {
  // Tahoma is a TrueType face in every prefix (Wine's own fonts).
  const Made dialog(Font(L"Tahoma", -11, PROOF_QUALITY));
  struct Case {
    LOGFONTW wanted;
    bool alike;
  };
  LOGFONTW bold = Font(L"Tahoma", -11, DEFAULT_QUALITY);
  bold.lfWeight = FW_BOLD;
  LOGFONTW shift_jis = Font(L"Tahoma", -11, DEFAULT_QUALITY);
  shift_jis.lfCharSet = SHIFTJIS_CHARSET;
  const Case cases[] = {
      {Font(L"Tahoma", -11, PROOF_QUALITY), true},
      {Font(L"TAHOMA", -11, DEFAULT_QUALITY), true},  // the face name's case aside
      {Font(L"Tahoma", -11, DRAFT_QUALITY), true},
      {Font(L"Tahoma", -12, DEFAULT_QUALITY), false},
      {Font(L"Tahoma", 11, DEFAULT_QUALITY), false},  // cell height, not character height
      {Font(L"Tahoma", -11, NONANTIALIASED_QUALITY), false},
      {Font(L"Tahoma", -11, ANTIALIASED_QUALITY), false},
      {Font(L"Marlett", -11, DEFAULT_QUALITY), false},
      {bold, false},
      {shift_jis, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DrawsAlike(dialog.get(), c.wanted), c.alike)
        << "height " << c.wanted.lfHeight << " quality " << int{c.wanted.lfQuality};
  }
  EXPECT_FALSE(DrawsAlike(nullptr, Font(L"Tahoma", -11, PROOF_QUALITY)));
}

}  // namespace
}  // namespace z4::win32
