// The system's common dialogs that a window opens over itself: Save As and
// Print. Each returns when the user has closed it.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/canvas.h"

namespace z4 {

// What the Save As dialog is given.
struct SaveFileRequest {
  std::string default_extension;  // "png"
  std::string default_name;       // "1234ab.png"
  std::string filter;             // "png(*.png)|*.png|": description and pattern pairs
  std::string initial_folder;
  bool hide_read_only = false;        // no "open as read-only" box
  bool ask_before_replacing = false;  // asks before an existing file is replaced
  bool folder_must_exist = false;     // only names in existing folders are taken
};

class CommonDialogs {
 public:
  virtual ~CommonDialogs() = default;
  // The print dialog; nullptr when the user cancelled it or no printer is there.
  virtual std::unique_ptr<PrintJob> ChoosePrinter() = 0;
  // The Save As dialog as the request asks for it; the chosen path, or
  // nullopt when cancelled.
  virtual std::optional<std::string> ChooseSaveFile(const SaveFileRequest& request) = 0;
};

}  // namespace z4
