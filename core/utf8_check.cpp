#include "core/utf8_check.h"

#include <cstdio>

namespace z4 {
namespace {

// The length of the well-formed character at the start of `bytes`, or 0.
std::size_t CharacterLength(std::string_view bytes) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = at(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (bytes.size() < length || at(1) < low || at(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if ((at(i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

std::size_t AnnouncedLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 1;
}

}  // namespace

std::size_t ValidUtf8Length(std::string_view bytes) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::size_t n = CharacterLength(bytes.substr(at));
    if (n == 0) break;
    at += n;
  }
  return at;
}

std::size_t WithoutCutCharacter(std::string_view bytes) {
  // A character is at most four bytes: its lead byte is among the last three.
  for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
    const auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    return AnnouncedLength(c) > back ? bytes.size() - back : bytes.size();
  }
  return bytes.size();
}

std::string ReplaceInvalidUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const std::size_t valid = ValidUtf8Length(bytes);
    out.append(bytes.substr(0, valid));
    bytes.remove_prefix(valid);
    if (bytes.empty()) break;
    out += "\xEF\xBF\xBD";
    bytes.remove_prefix(1);
  }
  return out;
}

namespace {

std::string Hex(unsigned value, const char* format) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::string EscapedText(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  while (!bytes.empty()) {
    const std::size_t n = CharacterLength(bytes);
    const bool control =
        (n == 1 && (at(0) < 0x20 || at(0) == 0x7F)) || (n == 2 && at(0) == 0xC2 && at(1) < 0xA0);
    if (n > 0 && !control) {
      out.append(bytes.substr(0, n));
    } else if (n > 0) {
      for (std::size_t i = 0; i < n; ++i) out += Hex(at(i), "\\x%02X");
    } else if (bytes.size() >= 3 && at(0) == 0xED && at(1) >= 0xA0 && at(1) <= 0xBF &&
               (at(2) & 0xC0) == 0x80) {
      out += Hex(0xD000u | ((at(1) & 0x3Fu) << 6) | (at(2) & 0x3Fu), "\\u{%X}");
      bytes.remove_prefix(3);
      continue;
    } else {
      out += Hex(at(0), "\\x%02X");
      bytes.remove_prefix(1);
      continue;
    }
    bytes.remove_prefix(n);
  }
  return out;
}

}  // namespace z4
