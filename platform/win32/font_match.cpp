#include "platform/win32/font_match.h"

#include "platform/win32/handles.h"

namespace z4::win32 {
namespace {

bool PlainQuality(BYTE quality) {
  return quality == DEFAULT_QUALITY || quality == DRAFT_QUALITY || quality == PROOF_QUALITY;
}

bool IsTrueType(HFONT font) {
  const ClientDc screen(nullptr);
  const HDC dc = screen.get();
  if (!dc) return false;
  HGDIOBJ before = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  const bool ok = GetTextMetricsW(dc, &metrics) != 0;
  SelectObject(dc, before);
  return ok && (metrics.tmPitchAndFamily & TMPF_TRUETYPE) != 0;
}

}  // namespace

bool DrawsAlike(HFONT font, const LOGFONTW& wanted) {
  LOGFONTW have{};
  if (!font || GetObjectW(font, sizeof(have), &have) != sizeof(have)) return false;
  if (have.lfHeight != wanted.lfHeight || have.lfWidth != wanted.lfWidth ||
      have.lfEscapement != wanted.lfEscapement || have.lfOrientation != wanted.lfOrientation ||
      have.lfWeight != wanted.lfWeight || have.lfItalic != wanted.lfItalic ||
      have.lfUnderline != wanted.lfUnderline || have.lfStrikeOut != wanted.lfStrikeOut ||
      have.lfCharSet != wanted.lfCharSet || have.lfOutPrecision != wanted.lfOutPrecision ||
      have.lfClipPrecision != wanted.lfClipPrecision ||
      have.lfPitchAndFamily != wanted.lfPitchAndFamily ||
      lstrcmpiW(have.lfFaceName, wanted.lfFaceName) != 0) {
    return false;
  }
  if (have.lfQuality == wanted.lfQuality) return true;
  return PlainQuality(have.lfQuality) && PlainQuality(wanted.lfQuality) && IsTrueType(font);
}

}  // namespace z4::win32
