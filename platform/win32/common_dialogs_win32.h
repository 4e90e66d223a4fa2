// The Save As and print dialogs of Windows, opened over one window.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/common_dialogs.h"

namespace z4::win32 {

class Win32CommonDialogs : public CommonDialogs {
 public:
  // `owner` is read when a dialog opens: the window it names may be made
  // after this object.
  explicit Win32CommonDialogs(const HWND& owner) : owner_(owner) {}

  std::unique_ptr<PrintJob> ChoosePrinter() override;
  std::optional<std::string> ChooseSaveFile(const SaveFileRequest& request) override;

 private:
  const HWND& owner_;
};

// "description|pattern|" pairs as the dialog takes them: each part ended by a
// zero, the whole list by one more.
std::wstring FilterList(const std::string& pairs);

}  // namespace z4::win32
