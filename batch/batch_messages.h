// What /export and /apply tell the user when they fail: a message in the
// language of the text table's built-in texts, and the outcome as the record
// of the run names it.
#pragma once

#include <string>

#include "batch/batch_outcome.h"
#include "batch/batch_request.h"

namespace z4 {

// The values a key may have in a file given to /apply, in Japanese (language
// flag 0) or English.
std::string AllowedValues(int key, int language_flag);

// The message box text for a failed run; `drive` is the board's letter or
// empty, `file` the file of the option.
std::string BatchMessage(const BatchReport& report, BatchAction action, const std::string& drive,
                         const std::string& file, int language_flag);

// The outcome for the record of the run, in English: the exit code, a word for
// the outcome and what it concerns, such as
// "4 invalid file: Density:95 (70 to 90); FileDate missing".
std::string OutcomeText(const BatchReport& report);

}  // namespace z4
