// The images the board captures during its self-test, "QXR\MB" + six digits +
// ".tif" or ".png" on its drive, and the newest of them.
#pragma once

#include <string>
#include <vector>

namespace z4 {

// The six-digit number of a valid capture name ("MB" in any case, then six
// digits, before the first "."), or -1 for any other name.
int CaptureNumber(const std::string& name);

// The valid name with the largest number; the first one found of equal
// numbers; empty when no name is valid.
std::string NewestCapture(const std::vector<std::string>& names);

}  // namespace z4
