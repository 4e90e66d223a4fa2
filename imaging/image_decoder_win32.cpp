#include "imaging/image_decoder_win32.h"

#include <windows.h>
#include <objidl.h>

#include <memory>
#include <new>

#include "imaging/gdiplus_library_win32.h"
#include "imaging/image_header.h"
#include "platform/win32/handles.h"

namespace z4::win32 {
namespace {

// The few GDI+ flat functions the decoder needs, as gdiplus.dll exports them.
struct GpBitmap;
using GpStatus = int;
constexpr GpStatus kOk = 0;
constexpr UINT kLockRead = 1;
constexpr INT kFormat32bppArgb = 0x0026200A;

struct StartupInput {
  UINT32 version = 1;
  void* debug_event_callback = nullptr;
  BOOL suppress_background_thread = FALSE;
  BOOL suppress_external_codecs = FALSE;
};
struct GpRect {
  INT x, y, width, height;
};
struct BitmapData {
  UINT width;
  UINT height;
  INT stride;
  INT pixel_format;
  void* scan0;
  UINT_PTR reserved;
};

using Startup = GpStatus(WINAPI*)(ULONG_PTR*, const StartupInput*, void*);
using Shutdown = void(WINAPI*)(ULONG_PTR);
using CreateBitmapFromStream = GpStatus(WINAPI*)(IStream*, GpBitmap**);
using GetImageSize = GpStatus(WINAPI*)(GpBitmap*, UINT*);
using LockBits = GpStatus(WINAPI*)(GpBitmap*, const GpRect*, UINT, INT, BitmapData*);
using UnlockBits = GpStatus(WINAPI*)(GpBitmap*, BitmapData*);
using DisposeImage = GpStatus(WINAPI*)(GpBitmap*);

template <typename F>
bool Find(HMODULE dll, const char* name, F& f) {
  f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
  return f != nullptr;
}

// gdiplus.dll, loaded and started once for the whole run; shut down and
// freed when the program ends.
class GdiPlus {
 public:
  static GdiPlus& Get() {
    static GdiPlus instance;
    return instance;
  }
  bool ready() const { return ready_; }

  CreateBitmapFromStream create_from_stream = nullptr;
  GetImageSize width = nullptr;
  GetImageSize height = nullptr;
  LockBits lock_bits = nullptr;
  UnlockBits unlock_bits = nullptr;
  DisposeImage dispose = nullptr;

 private:
  GdiPlus() : dll_(LoadGdiPlus()) {
    if (!dll_) return;
    Startup startup = nullptr;
    if (!Find(dll_, "GdiplusStartup", startup) || !Find(dll_, "GdiplusShutdown", shutdown_) ||
        !Find(dll_, "GdipCreateBitmapFromStream", create_from_stream) ||
        !Find(dll_, "GdipGetImageWidth", width) || !Find(dll_, "GdipGetImageHeight", height) ||
        !Find(dll_, "GdipBitmapLockBits", lock_bits) ||
        !Find(dll_, "GdipBitmapUnlockBits", unlock_bits) ||
        !Find(dll_, "GdipDisposeImage", dispose)) {
      return;
    }
    const StartupInput input;
    ready_ = startup(&token_, &input, nullptr) == kOk;
  }
  ~GdiPlus() {
    if (ready_) shutdown_(token_);
    if (dll_) FreeLibrary(dll_);
  }
  GdiPlus(const GdiPlus&) = delete;
  GdiPlus& operator=(const GdiPlus&) = delete;

  HMODULE dll_;
  Shutdown shutdown_ = nullptr;
  ULONG_PTR token_ = 0;
  bool ready_ = false;
};

struct StreamRelease {
  void operator()(IStream* s) const { s->Release(); }
};

std::optional<std::string> ReadWhole(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 256LL * 1024 * 1024) return std::nullopt;
  std::string bytes;
  try {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // no memory for it: not an image the program can show
  }
  DWORD read = 0;
  if (!bytes.empty() &&
      (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
       read != bytes.size())) {
    return std::nullopt;
  }
  return bytes;
}

// The locked pixels as an image of the program's own; nullopt when there is
// not the memory for it, which is no reason to end the program.
std::optional<DecodedImage> CopyPixels(const BitmapData& data, UINT w, UINT h) {
  DecodedImage image;
  try {
    image.pixels.resize(static_cast<std::size_t>(w) * h);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  image.width = static_cast<int>(w);
  image.height = static_cast<int>(h);
  for (UINT y = 0; y < h; ++y) {
    const auto* row =
        static_cast<const std::uint8_t*>(data.scan0) + static_cast<std::ptrdiff_t>(y) * data.stride;
    memcpy(&image.pixels[static_cast<std::size_t>(y) * w], row, static_cast<std::size_t>(w) * 4);
  }
  return image;
}

}  // namespace

bool ImageDecoderAvailable() {
  return GdiPlus::Get().ready();
}

std::optional<DecodedImage> DecodeImageFile(const std::wstring& path) {
  GdiPlus& gdiplus = GdiPlus::Get();
  if (!gdiplus.ready()) return std::nullopt;
  const auto bytes = ReadWhole(path);
  if (!bytes || bytes->empty()) return std::nullopt;
  // A PNG or TIFF is measured by its header before anything is decoded: one
  // that declares more pixels than the program takes is refused like a
  // damaged one, and so is one whose header cannot be read.
  if (KindOf(*bytes) != ImageKind::Other) {
    const auto size = DeclaredImageSize(*bytes);
    if (!size || !AcceptableImageSize(size->width, size->height)) return std::nullopt;
  }

  // The bytes go to GDI+ through a stream in memory, so that the file itself
  // is not held open while the image lives.
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes->size());
  if (!memory) return std::nullopt;
  if (void* p = GlobalLock(memory)) {
    memcpy(p, bytes->data(), bytes->size());
    GlobalUnlock(memory);
  }
  IStream* raw = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &raw))) {
    GlobalFree(memory);
    return std::nullopt;
  }
  const std::unique_ptr<IStream, StreamRelease> stream(raw);

  GpBitmap* bitmap = nullptr;
  if (gdiplus.create_from_stream(stream.get(), &bitmap) != kOk || !bitmap) return std::nullopt;
  std::optional<DecodedImage> image;
  UINT w = 0, h = 0;
  if (gdiplus.width(bitmap, &w) == kOk && gdiplus.height(bitmap, &h) == kOk &&
      AcceptableImageSize(w, h)) {
    // Reading every pixel decodes the whole file: a truncated one fails here.
    const GpRect all{0, 0, static_cast<INT>(w), static_cast<INT>(h)};
    BitmapData data{};
    if (gdiplus.lock_bits(bitmap, &all, kLockRead, kFormat32bppArgb, &data) == kOk) {
      image = CopyPixels(data, w, h);
      gdiplus.unlock_bits(bitmap, &data);
    }
  }
  gdiplus.dispose(bitmap);
  return image;
}

}  // namespace z4::win32
