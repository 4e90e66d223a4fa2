// The board's self-test: a captured picture in QXR when it passes, "Z4.LOG"
// when it fails, each before the end marker.
#include <gtest/gtest.h>

#include "sim/png_writer.h"
#include "sim/self_test.h"
#include "sim/test_pattern.h"
#include "sim/tiff_writer.h"
#include "unit/sim/sim_board_fixture.h"

namespace z4::sim {
namespace {

const std::string kSelfTest(kSelfTestJob);
constexpr const char* kLog = "E:\\Z4.LOG";

Settings Format(char letter) {
  Settings settings;
  settings.file_format = letter;
  return settings;
}

using SimSelfTest = SimBoardFixture;

TEST(SimSelfTestFiles, LogLinesEndAtLineFeedsAndAtBackslashN) {
  const struct {
    const char* errors;
    const char* log;
  } cases[] = {{"Lamp error", "Lamp error\r\n"},
               {"Lamp error\\nCF error", "Lamp error\r\nCF error\r\n"},
               {"Lamp error\nCF error\n", "Lamp error\r\nCF error\r\n"},
               {"a\r\nb", "a\r\nb\r\n"},
               {"a\n\nb\\n", "a\r\n\r\nb\r\n"},
               {"path C:\\new", "path C:\r\new\r\n"},
               {"trailing \\", "trailing \\\r\n"}};
  for (const auto& c : cases) EXPECT_EQ(FailureLogText(c.errors), c.log) << c.errors;
}

TEST(SimSelfTestFiles, OnlyMbAndSixDigitsWithAnImageExtensionCount) {
  const struct {
    const char* name;
    int number;
  } cases[] = {{"MB000120.tif", 120}, {"mb000121.TIF", 121}, {"Mb999999.Png", 999999},
               {"MBX00122.tif", -1},  {"MB0001200.tif", -1}, {"MB00012.tif", -1},
               {"MB000123.bmp", -1},  {"MB000124", -1},      {"XB000125.png", -1}};
  for (const auto& c : cases) EXPECT_EQ(CaptureNumber(c.name), c.number) << c.name;
  EXPECT_EQ(NextCaptureNumber({}), 1);
  EXPECT_EQ(NextCaptureNumber({"MB999999.tif"}), 999999);
  EXPECT_EQ(CaptureName(7, 'P'), "MB000007.png");
  EXPECT_EQ(CaptureName(123456, 'T'), "MB123456.tif");
}

TEST_F(SimSelfTest, PassingTestCapturesInTheBoardsFormatNumberedOnFromTheFolder) {
  const struct {
    char format;
    std::vector<std::string> present;
    std::string capture;
  } cases[] = {
      {'P', {}, "MB000001.png"},
      {'T', {}, "MB000001.tif"},
      {'T', {"MB000120.tif", "mb000121.TIF", "MBX00122.tif", "MB0001200.tif"}, "MB000122.tif"},
      {'P', {"MB000120.tif", "MB000009.png", "MB000500.txt"}, "MB000121.png"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.capture);
    fs = fakes::FakeFileSystem();
    fs.AddDrive('E');
    for (const auto& name : c.present) fs.AddFile("E:\\QXR\\" + name, "older");
    Start(Format(c.format));
    fs.AddFile(kJob, kSelfTest);
    clock.Advance(50);
    EXPECT_TRUE(fs.Exists(kMarker));
    EXPECT_FALSE(fs.Exists(kLog));
    EXPECT_EQ(fs.List("E:\\QXR").size(), c.present.size() + 1);
    const std::string pixels = TestPatternPixels();
    EXPECT_EQ(fs.Contents("E:\\QXR\\" + c.capture),
              c.format == 'P' ? PngFile(kTestPatternWidth, kTestPatternHeight, pixels)
                              : TiffFile(kTestPatternWidth, kTestPatternHeight, pixels));
  }
}

TEST_F(SimSelfTest, FailingTestWritesItsLogAfterTheDelayAndNoPicture) {
  BoardOptions options;
  options.self_test_errors = "Lamp error\\nCF error";
  options.end_delay_ms = 1000;
  Start(Settings{}, options);
  fs.AddFile(kJob, kSelfTest);
  clock.Advance(1000);  // taken at 50: the result and the marker are due at 1050
  EXPECT_FALSE(fs.Exists(kLog));
  clock.Advance(50);
  EXPECT_EQ(fs.Contents(kLog), "Lamp error\r\nCF error\r\n");
  EXPECT_TRUE(fs.Exists(kMarker));
  EXPECT_FALSE(fs.Exists("E:\\QXR"));
}

TEST_F(SimSelfTest, AGivenLogIsWrittenByteForByteBeforeAnyErrors) {
  BoardOptions options;
  options.self_test_log = std::string("\x83\x89\x83\x93\x83\x76\0no line end", 17);
  options.self_test_errors = "ignored";
  Start(Settings{}, options);
  fs.AddFile(kJob, kSelfTest);
  clock.Advance(100);
  EXPECT_EQ(fs.Contents(kLog), *options.self_test_log);
  EXPECT_FALSE(fs.Exists("E:\\QXR"));
}

TEST_F(SimSelfTest, TheMarkerWaitsUntilTheCaptureIsWritten) {
  fs.AddDirectory("E:\\QXR");
  fs.SetReadOnly("E:\\QXR", true);
  Start();
  fs.AddFile(kJob, kSelfTest);
  clock.Advance(1000);
  EXPECT_FALSE(fs.Exists(kMarker));
  fs.SetReadOnly("E:\\QXR", false);
  clock.Advance(50);
  EXPECT_EQ(fs.List("E:\\QXR"), std::vector<std::string>{"MB000001.tif"});
  EXPECT_TRUE(fs.Exists(kMarker));
}

TEST_F(SimSelfTest, NeverEndingBoardCapturesOnceWithoutMarkerAndOtherJobsCaptureNothing) {
  BoardOptions options;
  options.never_end = true;
  Start(Settings{}, options);
  fs.AddFile(kJob, kSelfTest);
  clock.Advance(5000);
  EXPECT_EQ(fs.List("E:\\QXR"), std::vector<std::string>{"MB000001.tif"});
  EXPECT_FALSE(fs.Exists(kMarker));

  fs.Delete(kJob);
  clock.Advance(50);
  std::string near_miss = kSelfTest;
  near_miss.replace(near_miss.find("ImageTest:03"), 12, "ImageTest:F");
  fs.AddFile(kJob, near_miss);
  clock.Advance(5000);
  EXPECT_EQ(board().jobs().size(), 2u);
  EXPECT_EQ(fs.List("E:\\QXR").size(), 1u);
}

}  // namespace
}  // namespace z4::sim
