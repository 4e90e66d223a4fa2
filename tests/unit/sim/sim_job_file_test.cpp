#include <gtest/gtest.h>

#include "sim/job_file.h"
#include "sim/journal.h"

namespace z4::sim {
namespace {

TEST(SimJobFile, ReadsEveryCommandWithItsArgumentInOrder) {
  const JobRead job = ReadJobFile(
      "Stop:F\r\n"
      "ImageTest:F\r\n"
      "Wait:10\r\n"
      "DeleteFile:C:\\QXR\\MB??????.PNG\r\n"
      "Repeat:ImageTest\r\n"
      "SetDataOut:\r\n"
      "End:\r\n");
  EXPECT_TRUE(job.complete);
  EXPECT_TRUE(job.malformed.empty());
  const std::vector<Command> expected = {
      {"Stop", "F"},
      {"ImageTest", "F"},
      {"Wait", "10"},
      // Only the first colon separates: the argument keeps the drive's colon.
      {"DeleteFile", "C:\\QXR\\MB??????.PNG"},
      {"Repeat", "ImageTest"},
      {"SetDataOut", ""},
      {"End", ""}};
  EXPECT_EQ(job.commands, expected);
}

TEST(SimJobFile, StopsAtEndAndIgnoresWhatFollows) {
  const JobRead job = ReadJobFile("SetDataIn:\r\nEnd:\r\nSetDataOut:\r\n");
  EXPECT_TRUE(job.complete);
  EXPECT_EQ(job.commands, (std::vector<Command>{{"SetDataIn", ""}, {"End", ""}}));
}

TEST(SimJobFile, AJobWithoutEndIsIncomplete) {
  EXPECT_FALSE(ReadJobFile("SetDataOut:\r\n").complete);
  EXPECT_FALSE(ReadJobFile("SetDataOut:\r\nEnd:").complete);  // last line unterminated
  EXPECT_FALSE(ReadJobFile("").complete);
}

TEST(SimJobFile, SkipsLinesWithoutColonOrCrLf) {
  const JobRead job = ReadJobFile("SetDataOut\r\n\r\nSWTest:F\nCCDAdj:\r\nEnd:\r\n");
  EXPECT_EQ(job.commands, (std::vector<Command>{{"CCDAdj", ""}, {"End", ""}}));
  EXPECT_EQ(job.malformed, (std::vector<std::string>{"SetDataOut", "", "SWTest:F"}));
}

TEST(SimJobFile, KnowsTheBoardsCommandWords) {
  for (const char* word : {"Stop", "CCDAdj", "ImageTest", "Wait", "DeleteFile", "Repeat", "SWTest",
                           "Feed", "CalDataOut", "CalDataClear", "Lamp", "Wave", "MemoryTest",
                           "FlashTest", "CFTest", "SetDataOut", "SetDataIn", "End"}) {
    EXPECT_TRUE(IsKnownCommand(word)) << word;
  }
  EXPECT_FALSE(IsKnownCommand("end"));
  EXPECT_FALSE(IsKnownCommand("Format"));
}

TEST(SimJournal, ReadsBackTheExactJobTexts) {
  const std::string first = "SetDataOut:\r\nEnd:\r\n";
  const std::string second = "Odd\ntext\r\n\n";  // line feeds inside must not confuse it
  const auto jobs = ReadJournal(JournalEntry(1, first) + JournalEntry(2, second));
  ASSERT_TRUE(jobs);
  EXPECT_EQ(*jobs, (std::vector<std::string>{first, second}));
  EXPECT_EQ(JournalEntry(1, first), "Z4SIM JOB 1 19\n" + first + "\n");
}

TEST(SimJournal, RejectsDamagedJournals) {
  const std::string entry = JournalEntry(1, "End:\r\n");
  EXPECT_FALSE(ReadJournal(entry.substr(0, entry.size() - 2)));  // cut short
  EXPECT_FALSE(ReadJournal(JournalEntry(2, "End:\r\n")));        // numbering off
  EXPECT_FALSE(ReadJournal("Z4SIM JOB 1 x\nEnd:\r\n\n"));
  EXPECT_FALSE(ReadJournal("garbage\n"));
  ASSERT_TRUE(ReadJournal(""));
  EXPECT_TRUE(ReadJournal("")->empty());
}

}  // namespace
}  // namespace z4::sim
