#include "core/run_log.h"

#include <cstdio>

#include "core/utf8_check.h"

namespace z4 {
namespace {

std::string Field(const std::string& text) {
  if (text.empty()) return "-";
  return EscapedText(text);
}

std::string TimeText(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

}  // namespace

std::string RunLogLine(const RunRecord& record) {
  return TimeText(record.time) + "\t" + Field(record.drive) + "\t" + Field(record.option) + "\t" +
         Field(record.file) + "\t" + Field(record.outcome) + "\r\n";
}

bool AppendLogLine(FileAppender& appender, const std::string& program_folder,
                   const std::string& line) {
  // The mark goes only at the start of a new log, never between lines.
  return appender.Append(program_folder + "\\Z4Utility.log", line, "\xEF\xBB\xBF");
}

bool AppendRunLog(FileAppender& appender, const std::string& program_folder,
                  const RunRecord& record) {
  return AppendLogLine(appender, program_folder, RunLogLine(record));
}

}  // namespace z4
