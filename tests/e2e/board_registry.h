// What Windows records in its registry when the board is plugged in, written by
// the tests themselves (the Wine server must be running; its mount manager
// rewrites the mounted-device table when it starts).
#pragma once

namespace z4::e2e {

// Windows 2000/XP: the USBSTOR instance key and the mounted-device value.
bool RegisterBoardNt(wchar_t letter);

// Windows 98 and Me: the dynamic device list and the SCSI enumeration keys.
enum class Legacy { Windows98, WindowsMe };
bool RegisterBoard9x(Legacy variant, wchar_t letter);

}  // namespace z4::e2e
