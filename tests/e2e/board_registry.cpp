#include "board_registry.h"

#include <windows.h>

#include <string>

namespace z4::e2e {
namespace {

const HKEY kDynData = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000006));

bool SetValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
              const void* data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const LONG rc = RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

bool SetText(HKEY root, const std::wstring& path, const std::wstring& name,
             const std::wstring& text) {
  return SetValue(root, path, name, REG_SZ, text.c_str(),
                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

bool RegisterBoardNt(wchar_t letter) {
  const std::wstring prefix = L"7&2d5c1e3&0";
  const std::wstring instance =
      L"SYSTEM\\ControlSet001\\Enum\\USBSTOR\\Disk&Ven_KORA&Prod_Z-4&Rev_1.00\\000000000000&0";
  if (!SetText(HKEY_LOCAL_MACHINE, instance, L"ParentIdPrefix", prefix)) return false;
  const std::wstring device =
      L"\\??\\STORAGE#RemovableMedia#" + prefix + L"&RM#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}";
  const std::wstring name = std::wstring(L"\\DosDevices\\") + letter + L":";
  return SetValue(HKEY_LOCAL_MACHINE, L"SYSTEM\\MountedDevices", name, REG_BINARY, device.data(),
                  static_cast<DWORD>(device.size() * sizeof(wchar_t)));
}

namespace {

// The values Windows Vista and later write for a USB disk's volume, under its
// letter and under the volume's own name: the storage unit's device path in
// UTF-16LE, without a terminating zero.
bool RegisterVolume(wchar_t letter, const std::wstring& device_path) {
  const auto size = static_cast<DWORD>(device_path.size() * sizeof(wchar_t));
  const std::wstring name = std::wstring(L"\\DosDevices\\") + letter + L":";
  if (!SetValue(HKEY_LOCAL_MACHINE, L"SYSTEM\\MountedDevices", name, REG_BINARY, device_path.data(),
                size)) {
    return false;
  }
  // "\\?\Volume{GUID}\" is recorded as "\??\Volume{GUID}".
  wchar_t volume[MAX_PATH] = {};
  const std::wstring root = std::wstring(1, letter) + L":\\";
  if (!GetVolumeNameForVolumeMountPointW(root.c_str(), volume, MAX_PATH)) return true;
  std::wstring volume_value = volume;
  if (volume_value.size() < 5) return true;
  volume_value = L"\\??\\" + volume_value.substr(4, volume_value.size() - 5);
  return SetValue(HKEY_LOCAL_MACHINE, L"SYSTEM\\MountedDevices", volume_value, REG_BINARY,
                  device_path.data(), size);
}

const wchar_t kDiskInterface[] = L"{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";

}  // namespace

bool RegisterBoardVolume(wchar_t letter, int unit) {
  return RegisterVolume(letter, L"_??_USBSTOR#Disk&Ven_KORA&Prod_Z-4&Rev_1.00#000000000000&" +
                                    std::to_wstring(unit) + L"#" + kDiskInterface);
}

bool RegisterOtherUsbDiskVolume(wchar_t letter) {
  return RegisterVolume(
      letter, std::wstring(L"_??_USBSTOR#Disk&Ven_SanDisk&Prod_Cruzer_Blade&Rev_1.00#4C530001&0#") +
                  kDiskInterface);
}

bool RegisterBoard9x(Legacy variant, wchar_t letter) {
  const std::wstring scsi = L"SCSI\\KORA____Z-4_____________1\\";
  const std::wstring lun0 = variant == Legacy::Windows98
                                ? L"QXR4&DISK&0000USB&VID_4F2A&PID_0C07&00000000000000"
                                : L"USBSTOR&DISK&VEN_KORA&PROD_Z-4&REV_1.00&000000000000&000";
  const std::wstring lun1 = variant == Legacy::Windows98
                                ? L"QXR4&DISK&0000USB&VID_4F2A&PID_0C07&00000000000001"
                                : L"USBSTOR&DISK&VEN_KORA&PROD_Z-4&REV_1.00&000000000000&100";
  // Present devices: an unrelated one, then the two logical units in order.
  bool ok =
      SetText(kDynData, L"Config Manager\\Enum\\C1A2B3C0", L"HardWareKey", L"ROOT\\PRINTER\\0000");
  ok = ok && SetText(kDynData, L"Config Manager\\Enum\\C1A2B3C4", L"HardWareKey", scsi + lun0);
  ok = ok && SetText(kDynData, L"Config Manager\\Enum\\C1A2B3C8", L"HardWareKey", scsi + lun1);
  const std::wstring base = L"enum\\scsi\\KORA____Z-4_____________1\\";
  const std::wstring drive(1, letter);
  const std::wstring other(1, static_cast<wchar_t>(letter + 1));
  ok = ok && SetText(HKEY_LOCAL_MACHINE, base + lun0, L"SCSILUN", L"0");
  ok = ok && SetText(HKEY_LOCAL_MACHINE, base + lun0, L"CurrentDriveLetterAssignment", drive);
  ok = ok && SetText(HKEY_LOCAL_MACHINE, base + lun1, L"SCSILUN", L"1");
  ok = ok && SetText(HKEY_LOCAL_MACHINE, base + lun1, L"CurrentDriveLetterAssignment", other);
  return ok;
}

}  // namespace z4::e2e
