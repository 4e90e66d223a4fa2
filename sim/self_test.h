// The board's self-test ("board inspection"): which job asks for it and what
// it leaves behind. A test that passes leaves the picture it captured in the
// folder "QXR" of the drive's root, named "MB" + six digits + ".png" or
// ".tif" after the board's FileFormat setting and numbered on from the
// captures already there; a test that fails leaves its error log "Z4.LOG" in
// the root instead, one line per error, each ending in CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace z4::sim {

inline constexpr const char* kCaptureFolder = "QXR";
inline constexpr int kLargestCaptureNumber = 999999;

// The self-test job, "End:" included.
inline constexpr std::string_view kSelfTestJob =
    "Lamp:ON\r\nSWTest:\r\nMemoryTest:\r\nFlashTest:\r\nCFTest:\r\nImageTest:03\r\nEnd:\r\n";

// True for a job file holding exactly the self-test's lines.
bool IsSelfTestJob(std::string_view job_text);

// The log of a failed test: `errors` split into lines at line feeds and at the
// two characters backslash and n (as a shell passes them), each line ending in
// CR LF. A carriage return before a line feed and an empty last line are dropped.
std::string FailureLogText(std::string_view errors);

// The number of a capture name: "MB" in any case, six digits, then ".png" or
// ".tif" in any case; -1 for any other name.
int CaptureNumber(std::string_view name);

// One more than the largest capture number among `names`, 1 when there is none;
// never more than kLargestCaptureNumber, which is then taken again.
int NextCaptureNumber(const std::vector<std::string>& names);

// "MB000001.png" for the FileFormat letter 'P', "MB000001.tif" for any other.
std::string CaptureName(int number, char file_format);

// The captured picture (the test pattern) as a PNG file for 'P', else TIFF.
std::string CaptureImage(char file_format);

}  // namespace z4::sim
