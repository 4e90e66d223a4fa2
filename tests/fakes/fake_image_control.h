// The image component without a screen: every call is recorded in order, and
// files are loaded by a rule the test gives.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/image_control.h"

namespace z4::fakes {

class FakeImageControl {
 public:
  FakeImageControl() = default;
  FakeImageControl(const FakeImageControl&) = delete;
  FakeImageControl& operator=(const FakeImageControl&) = delete;
  ImageControl& control() { return control_; }

  // Decides whether a file loads as an image; every file does by default.
  std::function<bool(const std::string& path)> loads = [](const std::string&) { return true; };
  // What common 42 answers for a valid image.
  std::int32_t showable = 1;
  // "display.20 := 1", "file.28 := C:\x.png", "common.3", ...
  std::vector<std::string> calls;
  // Images loaded and not yet released.
  std::vector<ImageHandle> live;
  // The file of the image on display when it was last drawn.
  std::string drawn_file;

 private:
  void Note(const std::string& call) { calls.push_back(call); }
  std::string FileOf(ImageHandle image) const {
    for (const auto& [h, path] : files_) {
      if (h == image) return path;
    }
    return {};
  }

  class Display : public ImageDisplay {
   public:
    explicit Display(FakeImageControl& c) : c_(c) {}
    ImageHandle Image() override {
      c_.Note("display.20");
      return shown_;
    }
    void SetImage(ImageHandle image) override {
      c_.Note("display.20 := " + std::to_string(image));
      shown_ = image;
    }
    bool Draw(std::int32_t mode) override {
      c_.Note("display.5(" + std::to_string(mode) + ")");
      c_.drawn_file = c_.FileOf(shown_);
      return true;
    }
    double Zoom() override {
      c_.Note("display.29");
      return 1.0;
    }

   private:
    FakeImageControl& c_;
    ImageHandle shown_ = 0;
  };

  class File : public ImageFile {
   public:
    explicit File(FakeImageControl& c) : c_(c) {}
    void SetFileName(const std::string& path) override {
      c_.Note("file.28 := " + path);
      name_ = path;
    }
    bool Load(std::int32_t mode) override {
      c_.Note("file.5(" + std::to_string(mode) + ")");
      loaded_ = 0;
      if (!c_.loads(name_)) return false;
      loaded_ = c_.next_++;
      c_.live.push_back(loaded_);
      c_.files_.emplace_back(loaded_, name_);
      return true;
    }
    ImageHandle Image() override {
      c_.Note("file.20");
      return loaded_;
    }

   private:
    FakeImageControl& c_;
    std::string name_;
    ImageHandle loaded_ = 0;
  };

  class Common : public ImageCommon {
   public:
    explicit Common(FakeImageControl& c) : c_(c) {}
    void SetTarget(ImageHandle image) override {
      c_.Note("common.30 := " + std::to_string(image));
      target_ = image;
    }
    bool Release() override {
      c_.Note("common.3");
      auto& live = c_.live;
      const auto it = std::find(live.begin(), live.end(), target_);
      if (it == live.end()) return false;
      live.erase(it);
      return true;
    }
    bool IsValid() override {
      c_.Note("common.4");
      return std::find(c_.live.begin(), c_.live.end(), target_) != c_.live.end();
    }
    std::int32_t Showable() override {
      c_.Note("common.42");
      return IsLive() ? c_.showable : 0;
    }

   private:
    bool IsLive() const {
      return std::find(c_.live.begin(), c_.live.end(), target_) != c_.live.end();
    }
    FakeImageControl& c_;
    ImageHandle target_ = 0;
  };

  Display display_{*this};
  File file_{*this};
  Common common_{*this};
  ImageControl control_{display_, file_, common_};
  ImageHandle next_ = 1;
  std::vector<std::pair<ImageHandle, std::string>> files_;
};

}  // namespace z4::fakes
