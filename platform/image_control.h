// The image display component of the board inspection window: a display
// object that holds and draws an image, a file object that loads image files,
// and a common object that checks and releases images. Images pass between
// them as 32-bit handles; 0 means no image. The members are those of the
// imaging control the window was first built around, with the same arguments
// and results (the numbers are its dispatch ids).
#pragma once

#include <cstdint>
#include <string>

namespace z4 {

using ImageHandle = std::int32_t;

class ImageDisplay {
 public:
  virtual ~ImageDisplay() = default;
  virtual ImageHandle Image() = 0;               // 20, get
  virtual void SetImage(ImageHandle image) = 0;  // 20, put
  virtual bool Draw(std::int32_t mode) = 0;      // 5
  virtual double Zoom() = 0;                     // 29, get
};

class ImageFile {
 public:
  virtual ~ImageFile() = default;
  virtual void SetFileName(const std::string& path) = 0;  // 28, put
  virtual bool Load(std::int32_t mode) = 0;               // 5
  virtual ImageHandle Image() = 0;                        // 20, get
};

class ImageCommon {
 public:
  virtual ~ImageCommon() = default;
  virtual void SetTarget(ImageHandle image) = 0;  // 30, put: the image the next call applies to
  virtual bool Release() = 0;                     // 3
  virtual bool IsValid() = 0;                     // 4
  virtual std::int32_t Showable() = 0;            // 42, get: 1 when the image may be shown
};

// The three objects of one window.
struct ImageControl {
  ImageDisplay& display;
  ImageFile& file;
  ImageCommon& common;
};

}  // namespace z4
