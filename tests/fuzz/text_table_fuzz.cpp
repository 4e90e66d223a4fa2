// The text table "Z4Utility.ini", whatever it holds: every text comes out
// trimmed, without a line end or NUL, as UTF-8 when converted from the code
// page, and a table written back from what was read reads the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/shared_state.h"
#include "core/text_table.h"
#include "core/utf8_check.h"
#include "fakes/fake_system.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  z4::fakes::FakeSystem system;
  z4::TextTable table;
  z4::ParseTextTable(bytes, system, table);
  const int language = z4::SharedState::GetLanguageFlag();
  const bool utf8_file = bytes.substr(0, 3) == "\xEF\xBB\xBF";
  Check(language == 0 || language == 1);

  std::string again = "\xEF\xBB\xBFLANGUAGE=" + std::string(language == 0 ? "JAPAN" : "ENGLISH");
  again += "\r\nMODE_FONT_SIZE=" + (table.FontSize() < 0 ? "x" : std::to_string(table.FontSize()));
  for (std::size_t i = 0; i < z4::kTextKeyCount; ++i) {
    const auto key = static_cast<z4::TextKey>(i);
    const std::string& text = table.Text(key);
    Check(utf8_file || z4::IsValidUtf8(text));
    Check(text.find_first_of(std::string("\0\n", 2)) == std::string::npos);
    Check(text.empty() || (text.front() != ' ' && text.back() != ' ' && text.back() != '\r'));
    again += "\r\n" + std::string(z4::TextKeyName(key)) + "=" + text;
  }
  z4::TextTable reread;
  z4::ParseTextTable(again, system, reread);
  Check(z4::SharedState::GetLanguageFlag() == language && reread.FontSize() == table.FontSize());
  for (std::size_t i = 0; i < z4::kTextKeyCount; ++i) {
    const auto key = static_cast<z4::TextKey>(i);
    Check(reread.Text(key) == table.Text(key));
  }
  return 0;
}
