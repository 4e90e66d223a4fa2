#include "imaging/image_control_win32.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>

#include "imaging/image_decoder_win32.h"
#include "imaging/image_sequences.h"
#include "platform/win32/unicode.h"
#include "sim/png_writer.h"
#include "sim/test_pattern.h"
#include "sim/tiff_writer.h"

namespace z4::win32 {
namespace {

class ImageControlWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"z4-image-test";
    CreateDirectoryW(folder_.c_str(), nullptr);
    ASSERT_TRUE(RegisterImageDisplayClass(GetModuleHandleW(nullptr)));
    display_ = CreateWindowExW(0, kImageDisplayClass, L"", WS_POPUP, 0, 0, 200, 100, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    DestroyWindow(display_);
    for (const auto& name : written_) DeleteFileW(Path(name).c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  std::wstring Path(const std::string& name) const { return folder_ + L"\\" + Widen(name); }
  std::string Write(const std::string& name, const std::string& bytes) {
    HANDLE file = CreateFileW(Path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    written_.push_back(name);
    return Narrow(Path(name));
  }
  static std::string Png() {
    return sim::PngFile(sim::kTestPatternWidth, sim::kTestPatternHeight, sim::TestPatternPixels());
  }

  std::wstring folder_;
  std::vector<std::string> written_;
  HWND display_ = nullptr;
};

TEST_F(ImageControlWin32Test, PngAndTiffDecodeToTheBoardsPattern) {
  ASSERT_TRUE(ImageDecoderAvailable()) << "gdiplus.dll";
  // From the system's side-by-side assembly (this is no Windows 2000), never
  // a gdiplus.dll found along the search path.
  wchar_t loaded[MAX_PATH] = {};
  GetModuleFileNameW(GetModuleHandleW(L"gdiplus.dll"), loaded, MAX_PATH);
  EXPECT_NE(Narrow(CharLowerW(loaded)).find("\\winsxs\\"), std::string::npos) << Narrow(loaded);
  const std::string tiff =
      sim::TiffFile(sim::kTestPatternWidth, sim::kTestPatternHeight, sim::TestPatternPixels());
  for (const auto& [name, bytes] :
       {std::pair<std::string, std::string>{"a.png", Png()}, {"a.tif", tiff}}) {
    SCOPED_TRACE(name);
    const auto image = DecodeImageFile(Widen(Write(name, bytes)));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, sim::kTestPatternWidth);
    EXPECT_EQ(image->height, sim::kTestPatternHeight);
    for (const auto& [x, y] : {std::pair{10, 10}, {300, 10}, {10, 230}, {300, 230}}) {
      const sim::Rgb want = sim::TestPatternColour(x, y);
      const std::uint32_t got = image->pixels[static_cast<std::size_t>(y) * image->width + x];
      EXPECT_EQ(got & 0xFFFFFF, static_cast<std::uint32_t>(want.r << 16 | want.g << 8 | want.b))
          << x << "," << y;
    }
  }
}

TEST_F(ImageControlWin32Test, FilesThatAreNoImageAreRefusedAndNothingIsShown) {
  Win32ImageControl images(display_);
  ImageControl& c = images.control();
  const std::string png = Png();
  for (const auto& [name, bytes] : {std::pair<std::string, std::string>{"empty.png", ""},
                                    {"truncated.png", png.substr(0, png.size() / 2)},
                                    {"header-only.png", png.substr(0, 40)},
                                    {"garbage.png", std::string(5000, '\x5A')},
                                    {"text.tif", "II*\0 this is not a TIFF at all"}}) {
    SCOPED_TRACE(name);
    ShowImageFile(c, Write(name, bytes));
    EXPECT_EQ(c.file.Image(), 0);
    c.common.SetTarget(c.file.Image());
    EXPECT_FALSE(c.common.IsValid());
    EXPECT_EQ(c.display.Image(), 0) << "nothing is shown";
  }
  ShowImageFile(c, Narrow(Path("missing.png")));
  EXPECT_EQ(c.display.Image(), 0);
}

TEST_F(ImageControlWin32Test, ShowingAnotherImageReleasesTheOneBefore) {
  Win32ImageControl images(display_);
  ImageControl& c = images.control();
  ShowImageFile(c, Write("one.png", Png()));
  const ImageHandle first = c.display.Image();
  ASSERT_NE(first, 0);
  EXPECT_GT(c.display.Zoom(), 0) << "scaled to the window";
  ShowImageFile(c, Write("two.png", Png()));
  const ImageHandle second = c.display.Image();
  EXPECT_NE(second, first);
  c.common.SetTarget(first);
  EXPECT_FALSE(c.common.IsValid()) << "the first image was released";
  ReleaseDisplayedImage(c);
  c.common.SetTarget(second);
  EXPECT_FALSE(c.common.IsValid());
  // The file is not held open: it can be deleted while its image was shown.
  EXPECT_TRUE(DeleteFileW(Path("two.png").c_str()));
}

}  // namespace
}  // namespace z4::win32
