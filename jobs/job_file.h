// The job file "Z4.JOB": the board's commands for one job, one "Word:argument"
// per line, each ending in CR LF, the last one "End:". The board works through
// the file and writes the end marker "Z4JOB.END" when it is done.
#pragma once

#include <array>
#include <string>

#include "core/ports.h"

namespace z4 {

// The items chosen for one job. Flags are 0 or 1; whoever fills a request sets
// every flag it does not choose to 0.
struct JobRequest {
  int ccdAdjust = 0;
  int emcMeasure = 0;
  int swLedTest = 0;
  int feedTest = 0;
  int feedOneShot = 0;     // decides between one shot and continuous feed
  int feedContinuous = 0;  // carried along, not read by the builder
  int memoryTest = 0;
  int memoryOneShot = 0;     // decides between one shot and continuous memory test
  int memoryContinuous = 0;  // carried along, not read by the builder
  int infoOutput = 0;
  int calibrationClear = 0;
  int waveform = 0;
  int boardInspection = 0;
  std::string boardNumber;
  int settingsRead = 0;   // the board writes its settings into its "Z4.INI"
  int settingsWrite = 0;  // the board takes its settings from its "Z4.INI"
};

// Item bits of a built job, one per item (board inspection has none).
enum JobItemBit : unsigned {
  kItemCcdAdjust = 0x001,
  kItemEmcMeasure = 0x002,
  kItemSwLedTest = 0x004,
  kItemFeedOneShot = 0x008,
  kItemFeedContinuous = 0x010,
  kItemMemoryOneShot = 0x020,
  kItemMemoryContinuous = 0x040,
  kItemInfoOutput = 0x080,
  kItemCalibrationClear = 0x100,
  kItemWaveform = 0x200,
  kItemSettingsRead = 0x400,
  kItemSettingsWrite = 0x800,
};

// Timer ticks each item bit allows, from bit 0x001 up; -1 means no limit.
inline constexpr std::array<int, 12> kJobTimeTable = {-1, -1, -1, -1, -1, -1,
                                                      -1, -1, -1, -1, 80, 80};

struct BuiltJob {
  std::string text;  // without the closing "End:\r\n"
  unsigned itemBits = 0;
  int timeLimit = 0;  // ticks; -1 no limit, 0 when nothing limits it
};

// The sum of the time table's entries for the bits, or -1 as soon as one of
// them has no limit.
int JobTimeLimitFor(unsigned itemBits);

// The job for a request; fileFormat is DeviceSettings' (1 TIFF, else PNG).
BuiltJob BuildJob(const JobRequest& request, int fileFormat);

// BuildJob with the current DeviceSettings, into JobText and JobTimeLimit.
void BuildJobText(const JobRequest& request);

// The board inspection lines, without "End:\r\n".
std::string BoardInspectionJobText();

struct JobFileResult {
  std::string path;
  int status = 1;  // 0 when the file holds JobText
};

// Writes JobText unchanged into the backup folder's "Z4.JOB". A non-zero
// status when the folder could not be prepared or the file not written.
JobFileResult WriteJobFile(Ports& ports);

}  // namespace z4
