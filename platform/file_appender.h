// Adding bytes to the end of a file that other runs add to as well.
#pragma once

#include <string>

namespace z4 {

class FileAppender {
 public:
  virtual ~FileAppender() = default;
  // Creates the file when it is missing and writes the bytes after its end in
  // one write, so that what is already there is never rewritten and two
  // programs appending at once do not mix their bytes. The call that creates
  // the file starts it with `header` (a byte-order mark, say), in the same
  // write as its bytes: no other append gets between them, and a file that
  // already exists never gets the header. False when the file cannot be
  // opened or the bytes not written.
  virtual bool Append(const std::string& path, const std::string& bytes,
                      const std::string& header) = 0;
};

// Appends of a run that keeps no records: nothing is written, and it fails.
class NoFileAppender final : public FileAppender {
 public:
  bool Append(const std::string&, const std::string&, const std::string&) override { return false; }
};

inline FileAppender& NoAppender() {
  static NoFileAppender none;
  return none;
}

}  // namespace z4
