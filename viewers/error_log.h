// The board's job log "Z4.LOG" as the board inspection window shows it.
#pragma once

#include <string>
#include <string_view>

namespace z4 {

// Every line of the file (up to each LF, the LF left out) followed by CR LF;
// a last line without LF counts too.
std::string ErrorLogText(std::string_view file);

}  // namespace z4
