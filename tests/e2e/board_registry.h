// What Windows records in its registry when the board is plugged in, written by
// the tests themselves (the Wine server must be running; its mount manager
// rewrites the mounted-device table when it starts).
#pragma once

namespace z4::e2e {

// Windows 2000/XP: the USBSTOR instance key and the mounted-device value.
bool RegisterBoardNt(wchar_t letter);

// Windows Vista and later: the mounted-device value that names the volume of a
// USB disk by its storage unit. The board's unit 0 (or 1), or another disk.
bool RegisterBoardVolume(wchar_t letter, int unit = 0);
bool RegisterOtherUsbDiskVolume(wchar_t letter);

// Windows 98 and Me: the dynamic device list and the SCSI enumeration keys.
enum class Legacy { Windows98, WindowsMe };
bool RegisterBoard9x(Legacy variant, wchar_t letter);

}  // namespace z4::e2e
