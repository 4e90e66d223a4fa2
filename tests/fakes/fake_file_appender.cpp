#include "fakes/fake_file_appender.h"

namespace z4::fakes {

bool FakeFileAppender::Append(const std::string& path, const std::string& bytes,
                              const std::string& header) {
  ++appends;
  const std::string before = files_.Exists(path) ? files_.Contents(path).value_or("") : header;
  if (files_.Exists(path) && !files_.ReadFile(path)) return false;  // held open for writing
  return files_.WriteNewFile(path, before + bytes);
}

}  // namespace z4::fakes
