// ParseDecimal against a plain reading of the text, and FormatDecimal back.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "core/decimal.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// -1 for anything but a run of digits; values past INT_MAX are INT_MAX.
int Expected(std::string_view text) {
  if (text.empty()) return -1;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
  }
  const auto first = text.find_first_not_of('0');
  if (first == std::string_view::npos) return 0;
  const std::string_view digits = text.substr(first);
  const std::string_view limit = "2147483647";
  if (digits.size() > limit.size() || (digits.size() == limit.size() && digits > limit)) {
    return INT_MAX;
  }
  return static_cast<int>(std::stoll(std::string(digits)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Check(z4::ParseDecimal(text) == Expected(text));

  if (size >= sizeof(int)) {
    int value;
    std::memcpy(&value, data, sizeof value);
    const std::string printed = z4::FormatDecimal(value);
    Check(printed == std::to_string(value));
    if (value >= 0) Check(z4::ParseDecimal(printed) == value);
  }
  return 0;
}
