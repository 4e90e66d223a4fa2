// The maintenance panel's built-in texts, in Japanese and in English.
#pragma once

#include <array>
#include <string_view>

namespace z4 {

struct BuiltInText {
  int id;
  std::string_view japanese;  // UTF-8
  std::string_view english;
};

// Every control of the maintenance panel that carries a built-in text.
const std::array<BuiltInText, 17>& MaintenanceTexts();

}  // namespace z4
