// What a run without the window is asked to do: the option, its file, and
// whether a failure may show a message.
#pragma once

#include <string>

namespace z4 {

enum class BatchAction { None, Export, Apply };

struct BatchRequest {
  BatchAction action = BatchAction::None;
  std::string option;  // "/export" or "/apply" as the log names it
  std::string file;    // the file after the option, as given
  bool quiet = false;
};

// The caption of every message of the program's own.
inline constexpr const char* kProgramCaption = "Z4Utility";

}  // namespace z4
