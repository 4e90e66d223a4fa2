#include "sim/self_test.h"

#include <algorithm>
#include <cctype>

#include "sim/png_writer.h"
#include "sim/test_pattern.h"
#include "sim/tiff_writer.h"

namespace z4::sim {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

}  // namespace

bool IsSelfTestJob(std::string_view job_text) {
  return job_text == kSelfTestJob;
}

std::string FailureLogText(std::string_view errors) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= errors.size(); ++i) {
    const bool at_end = i == errors.size();
    const bool line_feed = !at_end && errors[i] == '\n';
    const bool escaped = !at_end && errors.compare(i, 2, "\\n") == 0;
    if (!at_end && !line_feed && !escaped) continue;
    std::string_view line = errors.substr(start, i - start);
    if (line_feed && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!at_end || !line.empty()) lines.push_back(line);
    if (escaped) ++i;
    start = i + 1;
  }
  std::string log;
  for (std::string_view line : lines) {
    log.append(line);
    log += "\r\n";
  }
  return log;
}

int CaptureNumber(std::string_view name) {
  const std::string lower = Lower(name);
  if (lower.size() != 12 || lower.compare(0, 2, "mb") != 0) return -1;
  const std::string extension = lower.substr(8);
  if (extension != ".png" && extension != ".tif") return -1;
  int number = 0;
  for (std::size_t i = 2; i < 8; ++i) {
    if (lower[i] < '0' || lower[i] > '9') return -1;
    number = number * 10 + (lower[i] - '0');
  }
  return number;
}

int NextCaptureNumber(const std::vector<std::string>& names) {
  int largest = 0;
  for (const std::string& name : names) largest = std::max(largest, CaptureNumber(name));
  return std::min(largest + 1, kLargestCaptureNumber);
}

std::string CaptureName(int number, char file_format) {
  std::string digits = std::to_string(std::clamp(number, 0, kLargestCaptureNumber));
  digits.insert(0, 6 - digits.size(), '0');
  return "MB" + digits + (file_format == 'P' ? ".png" : ".tif");
}

std::string CaptureImage(char file_format) {
  const std::string pixels = TestPatternPixels();
  return file_format == 'P' ? PngFile(kTestPatternWidth, kTestPatternHeight, pixels)
                            : TiffFile(kTestPatternWidth, kTestPatternHeight, pixels);
}

}  // namespace z4::sim
