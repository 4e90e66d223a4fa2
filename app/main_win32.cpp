// Z4Utility.exe: the Win32 ports put together and the program started.
#include <windows.h>
#include <commctrl.h>

#include "batch/batch_outcome.h"
#include "app/startup.h"
#include "core/ports.h"
#include "imaging/image_control_win32.h"
#include "platform/win32/dialog_window.h"
#include "platform/win32/failure_guard.h"
#include "platform/win32/file_appender_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/startup_trace_win32.h"
#include "platform/win32/system_win32.h"
#include "platform/win32/wall_clock_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  z4::win32::Win32StartupTrace trace;
  trace.Mark("entry");
  // OLE, the common dialogs and the shell are set up by the actions that use
  // them, not here: the window does not need them to open.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  z4::win32::RegisterImageDisplayClass(instance);
  trace.Mark("window-classes");

  z4::win32::Win32Registry registry;
  z4::win32::Win32System system;
  z4::win32::Win32FileSystem files;
  z4::win32::Win32Clock clock;
  z4::win32::Win32WallClock wall_clock;
  z4::win32::Win32FileAppender appender;
  z4::Ports ports{registry, system, files, clock, trace, wall_clock, appender};
  z4::win32::Win32DialogHost host(instance);
  // The windows catch what their handlers throw; this catches the rest (the
  // steps before the first window and after the last).
  return z4::win32::Guarded(
      nullptr, [&] { return z4::RunUtility(ports, host); }, int{z4::kExitFailed});
}
