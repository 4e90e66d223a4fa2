#include "sim/settings.h"

namespace z4::sim {
namespace {

struct NumberRule {
  int digits;  // the zero-padded width the board writes
  int min;
  int max;
};

NumberRule RuleFor(Key key) {
  switch (key) {
    case Key::kDensity:
      return {2, 70, 90};
    case Key::kCcflOffTim:
      return {3, 30, 120};
    default:
      return {3, 10, 120};
  }
}

bool AllDigits(std::string_view text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// A run of digits as a number; the callers limit the run to a few digits.
int DigitsValue(std::string_view text) {
  int value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

std::optional<int> ReadNumber(std::string_view text, Key key, Width width) {
  const NumberRule rule = RuleFor(key);
  const int length = static_cast<int>(text.size());
  const bool length_ok =
      width == Width::kExact ? length == rule.digits : length >= 1 && length <= rule.digits;
  if (!length_ok || !AllDigits(text)) return std::nullopt;
  const int value = DigitsValue(text);
  if (value < rule.min || value > rule.max) return std::nullopt;
  return value;
}

// The one letter of a switch, when the text is exactly one of the two allowed.
std::optional<char> ReadLetter(std::string_view text, char off, char on) {
  if (text.size() != 1 || (text[0] != off && text[0] != on)) return std::nullopt;
  return text[0];
}

std::string ZeroPadded(int value, int digits) {
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < digits) text.insert(0, digits - text.size(), '0');
  return text;
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

const char* KeyName(Key key) {
  switch (key) {
    case Key::kDensity:
      return "Density";
    case Key::kCcflOffTim:
      return "CCFLOffTim";
    case Key::kCcflStabTim:
      return "CCFLStabTim";
    case Key::kFileFormat:
      return "FileFormat";
    case Key::kSetting:
      return "Setting";
    case Key::kFileDate:
      return "FileDate";
    case Key::kImageMove:
      return "ImageMove";
  }
  return "";
}

std::optional<Key> KeyNamed(std::string_view name) {
  for (Key key : kKeys) {
    if (name == KeyName(key)) return key;
  }
  return std::nullopt;
}

bool SetValue(Settings& settings, Key key, std::string_view text, Width width) {
  switch (key) {
    case Key::kDensity:
    case Key::kCcflOffTim:
    case Key::kCcflStabTim: {
      const auto value = ReadNumber(text, key, width);
      if (!value) return false;
      int* field = key == Key::kDensity      ? &settings.density
                   : key == Key::kCcflOffTim ? &settings.ccfl_off_minutes
                                             : &settings.ccfl_stab_seconds;
      *field = *value;
      return true;
    }
    case Key::kFileFormat:
    case Key::kSetting:
    case Key::kImageMove: {
      const char off = key == Key::kFileFormat ? 'P' : key == Key::kSetting ? 'H' : 'N';
      const char on = key == Key::kFileFormat ? 'T' : key == Key::kSetting ? 'V' : 'Y';
      const auto letter = ReadLetter(text, off, on);
      if (!letter) return false;
      char* field = key == Key::kFileFormat ? &settings.file_format
                    : key == Key::kSetting  ? &settings.setting
                                            : &settings.image_move;
      *field = *letter;
      return true;
    }
    case Key::kFileDate:
      if (!IsValidFileDate(text)) return false;
      settings.file_date = std::string(text);
      return true;
  }
  return false;
}

std::string ValueText(const Settings& settings, Key key) {
  switch (key) {
    case Key::kDensity:
      return ZeroPadded(settings.density, RuleFor(key).digits);
    case Key::kCcflOffTim:
      return ZeroPadded(settings.ccfl_off_minutes, RuleFor(key).digits);
    case Key::kCcflStabTim:
      return ZeroPadded(settings.ccfl_stab_seconds, RuleFor(key).digits);
    case Key::kFileFormat:
      return std::string(1, settings.file_format);
    case Key::kSetting:
      return std::string(1, settings.setting);
    case Key::kFileDate:
      return settings.file_date;
    case Key::kImageMove:
      return std::string(1, settings.image_move);
  }
  return "";
}

bool IsValidFileDate(std::string_view text) {
  // Positions of the separators in "YYYY/MM/DD hh:mm:ss"; every other
  // character is a digit.
  static constexpr std::string_view kPattern = "0000/00/00 00:00:00";
  if (text.size() != kPattern.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool digit_wanted = kPattern[i] == '0';
    const bool is_digit = text[i] >= '0' && text[i] <= '9';
    if (digit_wanted ? !is_digit : text[i] != kPattern[i]) return false;
  }
  const int year = DigitsValue(text.substr(0, 4));
  const int month = DigitsValue(text.substr(5, 2));
  const int day = DigitsValue(text.substr(8, 2));
  const int hour = DigitsValue(text.substr(11, 2));
  const int minute = DigitsValue(text.substr(14, 2));
  const int second = DigitsValue(text.substr(17, 2));
  if (year < 2000 || year > 2999 || month < 1 || month > 12) return false;
  if (day < 1 || day > DaysInMonth(year, month)) return false;
  return hour <= 23 && minute <= 59 && second <= 59;
}

}  // namespace z4::sim
