// UTF-8 inside the program, UTF-16 at the Win32 API: the conversions at that boundary.
#pragma once

#include <string>
#include <string_view>

namespace z4::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
// Text in the system's ANSI code page (as the A functions take it) to UTF-8.
std::string AnsiToUtf8(std::string_view ansi);

}  // namespace z4::win32
