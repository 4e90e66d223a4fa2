// The FileAppender port on the Win32 API.
#pragma once

#include "platform/file_appender.h"

namespace z4::win32 {

class Win32FileAppender : public FileAppender {
 public:
  bool Append(const std::string& path, const std::string& bytes,
              const std::string& header) override;
};

}  // namespace z4::win32
