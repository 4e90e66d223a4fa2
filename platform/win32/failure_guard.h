// The edge between Windows and the program's own code. A C++ exception must
// never unwind through the system's window procedures: it would end the
// program without a word. What escapes a handler (in practice, memory that
// could not be had) is caught here, the user is told in one message box, and
// the message is answered as failed; the program goes on.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "platform/guarded_call.h"

namespace z4::win32 {

// The message box's text and caption, in the program's language; set once
// at start-up. Until then an English text is used. An empty text shows no
// box at all.
void SetFailureMessage(const std::string& text, const std::string& caption);

// Shows the failure message owned by `owner`. While one is up, further
// failures (timers keep firing under a message box) show no second one.
void ReportFailure(HWND owner) noexcept;

// Runs `body` and returns its result; when it throws, reports the failure and
// returns `failed`.
template <typename Body, typename Result>
Result Guarded(HWND owner, Body&& body, Result failed) noexcept {
  return CallGuarded(std::forward<Body>(body), failed, [owner] { ReportFailure(owner); });
}

}  // namespace z4::win32
