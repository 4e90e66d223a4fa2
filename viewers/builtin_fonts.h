// The fonts of the windows whose texts are built into the program, by
// LanguageFlag: 0 Japanese, any other value English.
#pragma once

namespace z4 {

// "ＭＳ　Ｐゴシック", written with an ideographic space (U+3000).
inline constexpr const char* kJapaneseFontFace =
    "\xEF\xBC\xAD\xEF\xBC\xB3\xE3\x80\x80\xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82"
    "\xAF";
inline constexpr int kJapaneseFontSize = 90;  // tenths of a point
inline constexpr const char* kEnglishFontFace = "MS Sans Serif";
inline constexpr int kEnglishFontSize = 80;

inline const char* BuiltInFontFace(int language_flag) {
  return language_flag == 0 ? kJapaneseFontFace : kEnglishFontFace;
}
inline int BuiltInFontSize(int language_flag) {
  return language_flag == 0 ? kJapaneseFontSize : kEnglishFontSize;
}

}  // namespace z4
