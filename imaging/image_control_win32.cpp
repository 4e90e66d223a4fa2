#include "imaging/image_control_win32.h"

#include <algorithm>
#include <map>

#include "imaging/image_decoder_win32.h"
#include "platform/win32/failure_guard.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/handles.h"
#include "platform/win32/unicode.h"

namespace z4::win32 {
namespace {

// Every loaded image of the program, by handle.
class ImageTable {
 public:
  static ImageTable& Get() {
    static ImageTable table;
    return table;
  }
  ImageHandle Add(DecodedImage image) {
    const ImageHandle handle = next_++;
    images_[handle] = std::move(image);
    return handle;
  }
  const DecodedImage* Find(ImageHandle handle) const {
    const auto it = images_.find(handle);
    return it == images_.end() ? nullptr : &it->second;
  }
  bool Remove(ImageHandle handle) { return images_.erase(handle) != 0; }

 private:
  std::map<ImageHandle, DecodedImage> images_;
  ImageHandle next_ = 1;
};

// What a display window keeps: the image it shows and that image scaled to
// its client area, drawn once and painted from then on.
struct DisplayState {
  std::unique_ptr<Win32ImageControl> component;  // made when a dialog first asks
  ImageHandle image = 0;
  UniqueGdiObject cache;
  SIZE cache_size{0, 0};
  double zoom = 0;
};

DisplayState* StateOf(HWND window) {
  return reinterpret_cast<DisplayState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The image scaled to fit the client area with its aspect ratio kept, centred
// on white, with the system's smooth (halftone) scaling.
void RebuildCache(HWND window, DisplayState& state) {
  state.cache.reset();
  state.zoom = 0;
  RECT client{};
  GetClientRect(window, &client);
  const int cw = client.right, ch = client.bottom;
  const DecodedImage* image = ImageTable::Get().Find(state.image);
  if (!image || cw <= 0 || ch <= 0) return;

  const ClientDc screen(window);
  const MemoryDc memory_dc(screen.get());
  HDC memory = memory_dc.get();
  UniqueGdiObject bitmap(CreateCompatibleBitmap(screen.get(), cw, ch));
  if (!memory || !bitmap) return;
  const HGDIOBJ previous = SelectObject(memory, bitmap.get());
  FillRect(memory, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  state.zoom =
      std::min(static_cast<double>(cw) / image->width, static_cast<double>(ch) / image->height);
  const int w = std::max(1, static_cast<int>(image->width * state.zoom));
  const int h = std::max(1, static_cast<int>(image->height * state.zoom));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = image->width;
  info.bmiHeader.biHeight = -image->height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(memory, HALFTONE);
  SetBrushOrgEx(memory, 0, 0, nullptr);
  StretchDIBits(memory, (cw - w) / 2, (ch - h) / 2, w, h, 0, 0, image->width, image->height,
                image->pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  SelectObject(memory, previous);
  state.cache = std::move(bitmap);
  state.cache_size = SIZE{cw, ch};
}

LRESULT HandleDisplay(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_NCCREATE:
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new DisplayState));
      break;
    case WM_NCDESTROY:
      delete StateOf(window);
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    case WM_ERASEBKGND:
      return 1;  // painted whole in WM_PAINT
    case kGetImageControlMessage:
      if (DisplayState* state = StateOf(window)) {
        if (!state->component) state->component = std::make_unique<Win32ImageControl>(window);
        return reinterpret_cast<LRESULT>(&state->component->control());
      }
      return 0;
    case WM_SIZE:
      if (DisplayState* state = StateOf(window)) {
        RebuildCache(window, *state);
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(window, &paint);
      RECT client{};
      GetClientRect(window, &client);
      DisplayState* state = StateOf(window);
      const MemoryDc memory(dc);
      if (state && state->cache && memory.get()) {
        const HGDIOBJ previous = SelectObject(memory.get(), state->cache.get());
        BitBlt(dc, 0, 0, state->cache_size.cx, state->cache_size.cy, memory.get(), 0, 0, SRCCOPY);
        SelectObject(memory.get(), previous);
      } else {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      }
      EndPaint(window, &paint);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(window, msg, wparam, lparam);
}

LRESULT CALLBACK DisplayProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  return Guarded(
      window, [&] { return HandleDisplay(window, msg, wparam, lparam); }, LRESULT{0});
}

class Display : public ImageDisplay {
 public:
  explicit Display(HWND window) : window_(window) {}
  ImageHandle Image() override {
    const DisplayState* state = StateOf(window_);
    return state ? state->image : 0;
  }
  void SetImage(ImageHandle image) override {
    if (DisplayState* state = StateOf(window_)) state->image = image;
  }
  bool Draw(std::int32_t /*mode*/) override {
    DisplayState* state = StateOf(window_);
    if (!state) return false;
    RebuildCache(window_, *state);
    InvalidateRect(window_, nullptr, FALSE);
    return static_cast<bool>(state->cache);
  }
  double Zoom() override {
    const DisplayState* state = StateOf(window_);
    return state ? state->zoom : 0;
  }

 private:
  HWND window_;
};

class File : public ImageFile {
 public:
  void SetFileName(const std::string& path) override { path_ = path; }
  bool Load(std::int32_t /*mode*/) override {
    image_ = 0;
    auto decoded = DecodeImageFile(Widen(path_));
    if (!decoded) return false;  // not an image: refused, nothing is kept
    image_ = ImageTable::Get().Add(std::move(*decoded));
    return true;
  }
  ImageHandle Image() override { return image_; }

 private:
  std::string path_;
  ImageHandle image_ = 0;
};

class Common : public ImageCommon {
 public:
  void SetTarget(ImageHandle image) override { target_ = image; }
  bool Release() override { return ImageTable::Get().Remove(target_); }
  bool IsValid() override { return ImageTable::Get().Find(target_) != nullptr; }
  std::int32_t Showable() override { return IsValid() ? 1 : 0; }

 private:
  ImageHandle target_ = 0;
};

}  // namespace

bool RegisterImageDisplayClass(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &DisplayProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kImageDisplayClass;
  return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

struct Win32ImageControl::Objects {
  explicit Objects(HWND display_window) : display(display_window) {}
  Display display;
  File file;
  Common common;
  ImageControl control{display, file, common};
};

Win32ImageControl::Win32ImageControl(HWND display) : objects_(std::make_unique<Objects>(display)) {}
Win32ImageControl::~Win32ImageControl() = default;

ImageControl& Win32ImageControl::control() {
  return objects_->control;
}

}  // namespace z4::win32
