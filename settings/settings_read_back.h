// Whether the settings file a board wrote out holds the values it was given.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/settings_record.h"

namespace z4 {

struct ValueDifference {
  int key;
  std::string written;  // the written form of the value given to the board
  std::string read;     // what the board's file holds; empty when it has no valid line
};

// The keys, in key order, whose value the settings-file reader takes from the
// bytes differs from the record's, or for which it takes none.
std::vector<ValueDifference> CompareSettings(const SettingsRecord& written,
                                             std::string_view read_bytes);

// One difference for the records people read: "CCFLOffTim: written 045, read
// 030" ("read none" for a key the board's file has no valid line of).
std::string DifferenceText(const ValueDifference& difference);
// Every difference, joined by "; ".
std::string DifferencesText(const std::vector<ValueDifference>& differences);

}  // namespace z4
