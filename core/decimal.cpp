#include "core/decimal.h"

#include <climits>

namespace z4 {

int ParseDecimal(std::string_view text) {
  if (text.empty()) return -1;
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    if (value <= INT_MAX) value = value * 10 + (c - '0');
  }
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::string FormatDecimal(int value) {
  return std::to_string(value);
}

}  // namespace z4
