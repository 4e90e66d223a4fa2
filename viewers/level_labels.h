// The texts of the CCD level graph's axes, and reading a level back from one.
#pragma once

#include <string>

namespace z4 {

// The level as the vertical axis shows it: "%f", cut one digit after the
// point (255.0, 25.5, 99.9).
std::string FormatLevelLabel(double value);

// A vertical axis text read back: the digits before the first "." (any other
// character there makes that part 0) plus a tenth of the first digit after it.
double ParseLevelLabel(const std::string& text);

}  // namespace z4
