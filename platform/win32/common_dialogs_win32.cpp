#include "platform/win32/common_dialogs_win32.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "platform/win32/print_job_win32.h"
#include "platform/win32/system_library.h"
#include "platform/win32/unicode.h"

namespace z4::win32 {

std::wstring FilterList(const std::string& pairs) {
  std::wstring filter = Widen(pairs);
  std::replace(filter.begin(), filter.end(), L'|', L'\0');
  filter.push_back(L'\0');
  return filter;
}

std::unique_ptr<PrintJob> Win32CommonDialogs::ChoosePrinter() {
  return Win32PrintJob::Choose(owner_);
}

std::optional<std::string> Win32CommonDialogs::ChooseSaveFile(const SaveFileRequest& request) {
  const std::wstring filter = FilterList(request.filter);
  const std::wstring extension = Widen(request.default_extension);
  const std::wstring folder = Widen(request.initial_folder);
  std::vector<wchar_t> file(32768, L'\0');
  const std::wstring name = Widen(request.default_name);
  std::copy(name.begin(), name.begin() + std::min(name.size(), file.size() - 1), file.begin());

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrDefExt = extension.c_str();
  // Not "the file must exist": a Save As dialog is for new files.
  dialog.Flags = (request.hide_read_only ? OFN_HIDEREADONLY : 0) |
                 (request.ask_before_replacing ? OFN_OVERWRITEPROMPT : 0) |
                 (request.folder_must_exist ? OFN_PATHMUSTEXIST : 0);
  static const SystemLibrary comdlg32(L"comdlg32.dll");
  const auto save = comdlg32.Find<decltype(&GetSaveFileNameW)>("GetSaveFileNameW");
  const OleSession ole;
  if (!save || !save(&dialog)) return std::nullopt;
  return Narrow(file.data());
}

}  // namespace z4::win32
