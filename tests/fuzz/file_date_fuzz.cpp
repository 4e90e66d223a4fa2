// IsValidFileDate against a calendar built another way: a date is real when
// turning it into a day count and back gives the same year, month and day.
// Half of the inputs are shaped like dates so that the calendar is reached.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/settings_format.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
long long DaysFromCivil(long long y, long long m, long long d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, long long& y, long long& m, long long& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp + (mp < 10 ? 3 : -9);
  y = yoe + era * 400 + (m <= 2);
}

bool Digits(const std::string& s, std::size_t at, std::size_t n, long long& value) {
  value = 0;
  for (std::size_t i = at; i < at + n; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    value = value * 10 + (s[i] - '0');
  }
  return true;
}

bool Expected(const std::string& s) {
  if (s.size() != 19 || s[4] != '/' || s[7] != '/' || s[10] != ' ' || s[13] != ':' ||
      s[16] != ':') {
    return false;
  }
  long long y, mo, d, h, mi, se;
  if (!Digits(s, 0, 4, y) || !Digits(s, 5, 2, mo) || !Digits(s, 8, 2, d) || !Digits(s, 11, 2, h) ||
      !Digits(s, 14, 2, mi) || !Digits(s, 17, 2, se)) {
    return false;
  }
  if (y < 2000 || y > 2999 || mo < 1 || mo > 12 || d < 1 || d > 31) return false;
  long long y2, m2, d2;
  CivilFromDays(DaysFromCivil(y, mo, d), y2, m2, d2);
  if (y2 != y || m2 != mo || d2 != d) return false;
  return h < 24 && mi < 60 && se < 60;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  if (size == 20 && (data[0] & 1)) {
    // Date-shaped: digits from the bytes, separators in place, the odd byte kept.
    static const char kShape[] = "dddd/dd/dd dd:dd:dd";
    text.clear();
    for (std::size_t i = 0; i < 19; ++i) {
      const std::uint8_t b = data[i + 1];
      if (kShape[i] != 'd') {
        text += b < 250 ? kShape[i] : static_cast<char>(b);
      } else {
        text += b < 250 ? static_cast<char>('0' + b % 10) : static_cast<char>(b);
      }
    }
  }
  Check(z4::IsValidFileDate(text) == Expected(text));
  return 0;
}
