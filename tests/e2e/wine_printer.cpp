#include "wine_printer.h"

#include <windows.h>
#include <winspool.h>

#include <string>

#include "e2e_support.h"

namespace z4::e2e {
namespace {

constexpr wchar_t kPrinter[] = L"Z4 Test PostScript";
constexpr wchar_t kDriver[] = L"Z4 Test PostScript Driver";

// Wine's generic PPD, kept as a resource of its spooler.
std::string GenericPpd() {
  HMODULE spooler = LoadLibraryExW(L"winspool.drv", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!spooler) return {};
  std::string bytes;
  if (HRSRC info = FindResourceW(spooler, MAKEINTRESOURCEW(1), L"PPDFILE")) {
    if (HGLOBAL loaded = LoadResource(spooler, info)) {
      const auto* data = static_cast<const char*>(LockResource(loaded));
      if (data) bytes.assign(data, SizeofResource(spooler, info));
    }
  }
  FreeLibrary(spooler);
  return bytes;
}

}  // namespace

bool InstallPostScriptPrinter(std::string* why) {
  const std::string ppd = GenericPpd();
  if (ppd.empty()) {
    *why = "no PPD in winspool.drv";
    return false;
  }
  wchar_t folder[MAX_PATH] = {};
  DWORD needed = 0;
  if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder),
                                  sizeof(folder), &needed)) {
    *why = "no printer driver folder";
    return false;
  }
  // The spooler does not copy the data file into the driver's version folder:
  // the driver looks for it there.
  const std::wstring versioned = std::wstring(folder) + L"\\3";
  CreateDirectoryW(versioned.c_str(), nullptr);
  const std::wstring ppd_path = versioned + L"\\z4test.ppd";
  if (!WriteBytes(ppd_path, ppd) || !WriteBytes(std::wstring(folder) + L"\\z4test.ppd", ppd)) {
    *why = "cannot write the PPD";
    return false;
  }
  AddPrintProcessorW(nullptr, nullptr, const_cast<wchar_t*>(L"wineps.drv"),
                     const_cast<wchar_t*>(L"wineps"));

  DRIVER_INFO_3W driver{};
  driver.cVersion = 3;
  driver.pName = const_cast<wchar_t*>(kDriver);
  driver.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
  driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
  driver.pDataFile = const_cast<wchar_t*>(ppd_path.c_str());
  if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES) &&
      GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
    *why = "AddPrinterDriverEx failed: " + std::to_string(GetLastError());
    return false;
  }

  PRINTER_INFO_2W printer{};
  printer.pPrinterName = const_cast<wchar_t*>(kPrinter);
  printer.pPortName = const_cast<wchar_t*>(L"LPT1:");
  printer.pDriverName = const_cast<wchar_t*>(kDriver);
  printer.pPrintProcessor = const_cast<wchar_t*>(L"winprint");
  printer.pDatatype = const_cast<wchar_t*>(L"RAW");
  printer.Attributes = PRINTER_ATTRIBUTE_LOCAL;
  HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
  if (!added && GetLastError() != ERROR_PRINTER_ALREADY_EXISTS) {
    *why = "AddPrinter failed: " + std::to_string(GetLastError());
    return false;
  }
  if (added) ClosePrinter(added);
  if (!SetDefaultPrinterW(kPrinter)) {
    *why = "SetDefaultPrinter failed";
    return false;
  }
  return true;
}

}  // namespace z4::e2e
