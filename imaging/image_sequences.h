// The two sequences the board inspection window runs on its image component.
#pragma once

#include <string>

#include "platform/image_control.h"

namespace z4 {

// Shows an image file: releases the image shown before, loads the file, and
// shows it when the common object accepts it (a loaded image it does not
// accept is left as it is).
void ShowImageFile(ImageControl& control, const std::string& path);

// When the window goes: releases the image on display.
void ReleaseDisplayedImage(ImageControl& control);

}  // namespace z4
