#include "viewers/error_log.h"

#include <algorithm>

#include "core/utf8_check.h"
#include "device/board_file_limits.h"

namespace z4 {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

constexpr char kNotShownEnglish[] = "[The log is longer than 256 KB: only its beginning is shown.]";
// ［ログが 256 KB を超えるため、先頭部分だけを表示しています。］
constexpr char kNotShownJapanese[] =
    "\xEF\xBC\xBB\xE3\x83\xAD\xE3\x82\xB0\xE3\x81\x8C 256 KB "
    "\xE3\x82\x92\xE8\xB6\x85\xE3\x81\x88\xE3\x82\x8B\xE3\x81\x9F\xE3\x82\x81\xE3\x80\x81"
    "\xE5\x85\x88\xE9\xA0\xAD\xE9\x83\xA8\xE5\x88\x86\xE3\x81\xA0\xE3\x81\x91\xE3\x82\x92"
    "\xE8\xA1\xA8\xE7\xA4\xBA\xE3\x81\x97\xE3\x81\xA6\xE3\x81\x84\xE3\x81\xBE\xE3\x81\x99"
    "\xE3\x80\x82\xEF\xBC\xBD";

// The notices name the limit.
static_assert(kLogShownLimit == 256 * 1024);

}  // namespace

std::string ErrorLogText(std::string_view file) {
  std::string text;
  text.reserve(file.size() + file.size() / 16 + 2);
  while (!file.empty()) {
    const auto lf = file.find('\n');
    text.append(file.substr(0, lf));
    text += "\r\n";
    if (lf == std::string_view::npos) break;
    file.remove_prefix(lf + 1);
  }
  return text;
}

std::string DecodeLogBytes(std::string_view bytes, bool whole, System& system) {
  const bool marked = bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom;
  if (marked) bytes.remove_prefix(kUtf8Bom.size());
  // A start cut off inside a character ends with its first bytes only; the
  // text shown ends before them. (In a double-byte code page this may take a
  // whole last character or two off as well: the rest is not shown anyway.)
  if (!whole) bytes = bytes.substr(0, WithoutCutCharacter(bytes));
  std::string text(bytes);
  std::replace(text.begin(), text.end(), '\0', ' ');
  if (marked) return ReplaceInvalidUtf8(text);
  if (IsValidUtf8(text)) return text;
  return system.AnsiToUtf8(text);
}

std::string ShownLogText(std::string_view start, bool whole, int language, System& system) {
  std::string text = ErrorLogText(DecodeLogBytes(start, whole, system));
  if (!whole) {
    text += language == 0 ? kNotShownJapanese : kNotShownEnglish;
    text += "\r\n";
  }
  return text;
}

}  // namespace z4
