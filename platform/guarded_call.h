// The edge between the window system and the program's own code, without the
// window system: a C++ exception must never unwind through the system's code,
// which would end the program without a word. Whatever escapes the body (in
// practice, memory that could not be had) is reported and answered as failed.
#pragma once

namespace z4 {

// Runs `body` and returns its result; when it throws, calls `report` (which
// must not throw) and returns `failed`.
template <typename Body, typename Result, typename Report>
Result CallGuarded(Body&& body, Result failed, Report&& report) noexcept {
  try {
    return body();
  } catch (...) {
    report();
    return failed;
  }
}

}  // namespace z4
