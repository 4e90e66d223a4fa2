// The board's job log "Z4.LOG" as the board inspection window shows it.
#pragma once

#include <string>
#include <string_view>

#include "platform/system.h"

namespace z4 {

// Every line of the file (up to each LF, the LF left out) followed by CR LF;
// a last line without LF counts too.
std::string ErrorLogText(std::string_view file);

// The log's bytes as text (UTF-8). The board writes its log in the system's
// code page; text that is well-formed UTF-8, or starts with UTF-8's byte order
// mark, is taken as UTF-8 (the mark left out, anything ill-formed after it
// shown as U+FFFD). A NUL byte shows as a space, so that it does not end the
// text. `whole` is false when the bytes are only the start of the log: a
// character cut off at their end is left out.
std::string DecodeLogBytes(std::string_view bytes, bool whole, System& system);

// What the window shows of a log of which `start` is read: its text, line by
// line, and when the log goes on beyond `start` a last line saying so, in
// Japanese for language 0 and English otherwise.
std::string ShownLogText(std::string_view start, bool whole, int language, System& system);

}  // namespace z4
