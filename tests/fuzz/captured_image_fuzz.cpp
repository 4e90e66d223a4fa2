// What the board inspection reads from the board: the names of its captured
// images, its error log and the headers of its images.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/utf8_check.h"
#include "fakes/fake_system.h"
#include "imaging/image_header.h"
#include "viewers/captured_image.h"
#include "viewers/error_log.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The number of a valid name, read plainly: "MB" in any case, six digits,
// then nothing or a "." and anything.
int Expected(const std::string& name) {
  const std::string stem = name.substr(0, name.find('.'));
  if (stem.size() != 8 || std::toupper(static_cast<unsigned char>(stem[0])) != 'M' ||
      std::toupper(static_cast<unsigned char>(stem[1])) != 'B') {
    return -1;
  }
  int n = 0;
  for (std::size_t i = 2; i < 8; ++i) {
    if (stem[i] < '0' || stem[i] > '9') return -1;
    n = n * 10 + (stem[i] - '0');
  }
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // Names: the bytes split at NUL.
  std::vector<std::string> names;
  std::size_t at = 0;
  while (at <= input.size()) {
    const auto end = input.find('\0', at);
    names.emplace_back(input.substr(at, end == std::string_view::npos ? end : end - at));
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
  int largest = -1;
  for (const auto& name : names) {
    const int number = z4::CaptureNumber(name);
    Check(number == Expected(name));
    if (number > largest) largest = number;
  }
  const std::string newest = z4::NewestCapture(names);
  Check(newest.empty() == (largest < 0));
  if (!newest.empty()) Check(z4::CaptureNumber(newest) == largest);

  // The log: every line followed by CR LF, and nothing of the file lost but
  // its LFs.
  const std::string text = z4::ErrorLogText(input);
  std::string without_lf(input);
  without_lf.erase(std::remove(without_lf.begin(), without_lf.end(), '\n'), without_lf.end());
  std::size_t lines = 0, pos = 0;
  std::string joined;
  while (pos < text.size()) {
    const auto crlf = text.find("\r\n", pos);
    Check(crlf != std::string::npos);
    joined += text.substr(pos, crlf - pos);
    pos = crlf + 2;
    ++lines;
  }
  Check(joined == without_lf);
  const auto lfs = static_cast<std::size_t>(std::count(input.begin(), input.end(), '\n'));
  Check(lines == lfs + (!input.empty() && input.back() != '\n' ? 1 : 0));

  // The log as shown: any start of the file, cut anywhere. Always well-formed
  // text without NUL, never more than a few times the bytes read (a byte
  // becomes at most one three-byte character, a line end two bytes), and a
  // cut start ends in the notice.
  z4::fakes::FakeSystem system;
  const std::size_t cut =
      input.empty() ? 0 : static_cast<unsigned char>(input[0]) * input.size() / 255;
  const bool whole = cut >= input.size();
  const std::string_view start = input.substr(0, cut);
  const std::string notice = z4::ShownLogText("", false, 0, system);
  const std::string shown = z4::ShownLogText(start, whole, 0, system);
  Check(z4::IsValidUtf8(shown));
  Check(shown.find('\0') == std::string::npos);
  Check(shown.size() <= 3 * start.size() + 2 + (whole ? 0 : notice.size()));
  if (!whole)
    Check(shown.size() >= notice.size() && shown.substr(shown.size() - notice.size()) == notice);

  // An image header: read within its bytes, and a size only for PNG or TIFF.
  const auto declared = z4::DeclaredImageSize(input);
  if (declared) Check(z4::KindOf(input) != z4::ImageKind::Other);
  if (declared && z4::KindOf(input) == z4::ImageKind::Png) Check(input.size() >= 24);
  return 0;
}
