// Registry entries that a plugged-in board leaves on Windows 2000/XP, for tests.
#pragma once

#include <string>

#include "fakes/fake_registry.h"

namespace z4::fakes {

constexpr const char* kBoardParentIdPrefix = "7&2d5c1e3&0";

// The board's USBSTOR instance key (logical unit 0) under ControlSet<nnn> with
// its ParentIdPrefix, and its drive letter in the mounted-device table.
void RegisterBoardNt(FakeRegistry& registry, char letter, int control_set = 1,
                     const std::string& parent_id_prefix = kBoardParentIdPrefix);

// The mounted-device data of a removable disk with that parent id prefix.
std::vector<std::uint8_t> MountedDeviceData(const std::string& parent_id_prefix);

}  // namespace z4::fakes
