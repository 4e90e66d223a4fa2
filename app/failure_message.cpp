#include "app/failure_message.h"

namespace z4 {

std::string FailureMessageText(int language) {
  // The step is named, not the program's fate: after a failed step the
  // program goes on, after a window that failed to open it may end.
  if (language == 0) return "メモリが不足したため、この操作を中止しました。";
  return "There was not enough memory to finish this step, so it was stopped.";
}

}  // namespace z4
