#include "viewers/level_labels.h"

#include <cstdio>

namespace z4 {

std::string FormatLevelLabel(double value) {
  char buffer[400] = {};
  std::snprintf(buffer, sizeof buffer, "%f", value);
  std::string text(buffer);
  const auto dot = text.find('.');
  if (dot != std::string::npos && dot + 2 < text.size()) text.resize(dot + 2);
  return text;
}

double ParseLevelLabel(const std::string& text) {
  const auto dot = text.find('.');
  const std::string whole = text.substr(0, dot);
  double integer = 0;
  double place = 1;
  for (auto it = whole.rbegin(); it != whole.rend(); ++it) {
    if (*it < '0' || *it > '9') {
      integer = 0;
      break;
    }
    integer += (*it - '0') * place;
    place *= 10;
  }
  double tenth = 0;
  if (dot != std::string::npos && dot + 1 < text.size() && text[dot + 1] >= '0' &&
      text[dot + 1] <= '9') {
    tenth = (text[dot + 1] - '0') * 0.1;
  }
  return integer + tenth;
}

}  // namespace z4
