#include "fakes/fake_file_appender.h"

namespace z4::fakes {

bool FakeFileAppender::Append(const std::string& path, const std::string& bytes,
                              const std::string& header) {
  ++appends;
  const std::string before = files_.Exists(path) ? files_.Contents(path).value_or("") : header;
  if (files_.Exists(path) && !files_.ReadFile(path)) return false;  // held open for writing
  // As the appender on Windows: bytes that do not fit are not written at all.
  const auto room = path.empty() ? std::nullopt : files_.FreeSpace(path[0]);
  if (room &&
      *room < static_cast<std::int64_t>(before.size() - (files_.Exists(path) ? before.size() : 0) +
                                        bytes.size())) {
    return false;
  }
  return files_.WriteNewFile(path, before + bytes);
}

}  // namespace z4::fakes
