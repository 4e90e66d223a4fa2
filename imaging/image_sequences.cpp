#include "imaging/image_sequences.h"

namespace z4 {

void ShowImageFile(ImageControl& control, const std::string& path) {
  control.file.SetFileName(path);
  if (control.display.Image() != 0) {
    control.common.SetTarget(control.display.Image());
    control.common.Release();
    control.display.SetImage(0);
  }
  control.file.Load(0);
  control.common.SetTarget(control.file.Image());
  if (!control.common.IsValid()) return;
  if (control.common.Showable() == 1) {
    control.display.SetImage(control.file.Image());
    control.display.Zoom();
    control.display.Draw(1);
  } else {
    control.common.Release();
  }
}

void ReleaseDisplayedImage(ImageControl& control) {
  if (control.display.Image() != 0) {
    control.common.SetTarget(control.display.Image());
    control.common.Release();
  }
}

}  // namespace z4
