// Appending to files of a FakeFileSystem, with its faults: a missing drive or
// folder, a read-only or held file fail the append.
#pragma once

#include "fakes/fake_file_system.h"
#include "platform/file_appender.h"

namespace z4::fakes {

class FakeFileAppender : public FileAppender {
 public:
  explicit FakeFileAppender(FakeFileSystem& files) : files_(files) {}
  bool Append(const std::string& path, const std::string& bytes,
              const std::string& header) override;
  int appends = 0;

 private:
  FakeFileSystem& files_;
};

}  // namespace z4::fakes
