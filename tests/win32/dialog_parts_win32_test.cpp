// The pieces of the dialog shell that turn data into what Windows takes.
#include <windows.h>

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/win32/common_dialogs_win32.h"
#include "platform/win32/dialog_init_data.h"

namespace z4::win32 {
namespace {

// One entry: control id, message, the text with its terminating zero.
void Put(std::vector<std::uint8_t>& out, std::uint16_t id, std::uint16_t message,
         const std::string& text) {
  auto add = [&](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  add(id, 2);
  add(message, 2);
  add(static_cast<std::uint32_t>(text.size() + 1), 4);
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

TEST(DialogInitDataTest, EntriesOfBothNumberingsUntilTheEnd) {
  std::vector<std::uint8_t> data;
  Put(data, 1070, 0x0403, "2000");  // a combo box entry, 16-bit numbering
  Put(data, 1071, CB_ADDSTRING, "01");
  Put(data, 1072, 0x0401, "list");  // a list box entry, 16-bit numbering
  Put(data, 1073, WM_SETTEXT, "not a list entry");
  Put(data, 0, 0x0403, "after the end");
  const auto entries = ParseDialogInitData(data.data(), data.size());
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].control_id, 1070);
  EXPECT_TRUE(entries[0].combo);
  EXPECT_EQ(entries[0].text, "2000") << "up to its zero";
  EXPECT_EQ(entries[1].text, "01");
  EXPECT_FALSE(entries[2].combo);
}

TEST(DialogInitDataTest, DataCutShortEndsTheList) {
  std::vector<std::uint8_t> data;
  Put(data, 1070, 0x0403, "2000");
  Put(data, 1071, 0x0403, "2001");
  // The first entry takes 13 bytes: its header and "2000" with its zero.
  for (std::size_t cut : {data.size() - 1, std::size_t{13}, std::size_t{12}, std::size_t{7},
                          std::size_t{0}}) {
    const auto entries = ParseDialogInitData(data.data(), cut);
    EXPECT_EQ(entries.size(), cut >= 13 ? 1u : 0u) << cut;
  }
}

TEST(CommonDialogsTest, TheFilterBecomesZeroSeparatedPairs) {
  EXPECT_EQ(FilterList("png(*.png)|*.png|"), std::wstring(L"png(*.png)\0*.png\0\0", 18));
  EXPECT_EQ(FilterList("tif(*.tif)|*.tif|All|*.*|"),
            std::wstring(L"tif(*.tif)\0*.tif\0All\0*.*\0\0", 26));
}

}  // namespace
}  // namespace z4::win32
