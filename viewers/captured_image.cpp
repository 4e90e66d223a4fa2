#include "viewers/captured_image.h"

#include "core/decimal.h"

namespace z4 {

int CaptureNumber(const std::string& name) {
  const std::string stem = name.substr(0, name.find('.'));
  if (stem.size() != 8) return -1;
  if ((stem[0] != 'M' && stem[0] != 'm') || (stem[1] != 'B' && stem[1] != 'b')) return -1;
  return ParseDecimal(stem.substr(2));
}

std::string NewestCapture(const std::vector<std::string>& names) {
  std::string newest;
  int largest = -1;
  for (const std::string& name : names) {
    const int number = CaptureNumber(name);
    if (number > largest) {
      largest = number;
      newest = name;
    }
  }
  return newest;
}

}  // namespace z4
