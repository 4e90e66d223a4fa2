// The generated "Z4.CSV", read the way the utility reads it.
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "sim/level_file.h"

namespace z4::sim {
namespace {

std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const auto end = text.find("\r\n", at);
    if (end == std::string::npos) break;
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

TEST(SimLevelFile, GeneratedFileHasTheLayoutTheUtilityReads) {
  const std::string file = GeneratedLevelFile();
  for (std::size_t lf = file.find('\n'); lf != std::string::npos; lf = file.find('\n', lf + 1)) {
    ASSERT_EQ(file.at(lf - 1), '\r') << "bare LF at " << lf;
  }
  ASSERT_EQ(file.substr(file.size() - 2), "\r\n");
  const std::vector<std::string> lines = CrLfLines(file);
  ASSERT_EQ(lines.size(), 2u + 173u + 1u);
  EXPECT_EQ(lines[0], "BlackLevel:,012");
  EXPECT_EQ(lines[1], "MaxLevel:,255");
  EXPECT_EQ(lines.back(), ";");
  ASSERT_EQ(lines[2].rfind("WhiteLevel:1728,", 0), 0u);

  std::vector<int> values;
  for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (i > 2) {
      EXPECT_EQ(line.at(0), ',') << "line " << i;
    }
    std::vector<std::string> fields;
    for (std::size_t at = line.find(',') + 1;;) {
      const auto comma = line.find(',', at);
      fields.push_back(line.substr(at, comma == std::string::npos ? comma : comma - at));
      if (comma == std::string::npos) break;
      at = comma + 1;
    }
    EXPECT_EQ(fields.size(), i + 2 == lines.size() ? 8u : 10u) << "line " << i;
    for (const std::string& field : fields) {
      ASSERT_FALSE(field.empty()) << "line " << i;
      ASSERT_EQ(field.find_first_not_of("0123456789"), std::string::npos) << field;
      values.push_back(std::stoi(field));
    }
  }
  ASSERT_EQ(values.size(), 1728u);
  for (int i = 0; i < 1728; ++i) ASSERT_EQ(values[i], GeneratedLevel(i)) << i;
  // A bell: lowest at the ends, highest in the middle, within the levels.
  EXPECT_EQ(*std::min_element(values.begin(), values.end()), values.front());
  EXPECT_EQ(*std::max_element(values.begin(), values.end()), values[864]);
  EXPECT_LE(values[864], 255);
  EXPECT_EQ(GeneratedLevel(1728), -1);
}

}  // namespace
}  // namespace z4::sim
