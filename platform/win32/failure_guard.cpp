#include "platform/win32/failure_guard.h"

#include "platform/win32/unicode.h"

namespace z4::win32 {
namespace {

// Kept ready as wide text: reporting must not need memory of its own.
std::wstring g_text = L"There was not enough memory to finish this step, so it was stopped.";
std::wstring g_caption = L"Z4Utility";
bool g_showing = false;

}  // namespace

void SetFailureMessage(const std::string& text, const std::string& caption) {
  g_text = Widen(text);
  g_caption = Widen(caption);
}

void ReportFailure(HWND owner) noexcept {
  // An empty text: the failure is told otherwise (a run without windows).
  if (g_showing || g_text.empty()) return;
  g_showing = true;
  MessageBoxW(owner, g_text.c_str(), g_caption.c_str(), MB_OK | MB_ICONERROR);
  g_showing = false;
}

}  // namespace z4::win32
