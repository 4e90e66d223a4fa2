#include "viewers/error_log.h"

namespace z4 {

std::string ErrorLogText(std::string_view file) {
  std::string text;
  while (!file.empty()) {
    const auto lf = file.find('\n');
    text.append(file.substr(0, lf));
    text += "\r\n";
    if (lf == std::string_view::npos) break;
    file.remove_prefix(lf + 1);
  }
  return text;
}

}  // namespace z4
