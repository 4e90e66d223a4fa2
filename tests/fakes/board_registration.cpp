#include "fakes/board_registration.h"

#include <cstdio>

namespace z4::fakes {

std::vector<std::uint8_t> MountedDeviceData(const std::string& parent_id_prefix) {
  const std::string text = "\\??\\STORAGE#RemovableMedia#" + parent_id_prefix +
                           "&RM#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}";
  std::vector<std::uint8_t> data;
  for (char c : text) {
    data.push_back(static_cast<std::uint8_t>(c));
    data.push_back(0);
  }
  return data;
}

void RegisterBoardNt(FakeRegistry& registry, char letter, int control_set,
                     const std::string& parent_id_prefix) {
  char set[8];
  std::snprintf(set, sizeof set, "%03d", control_set);
  const std::string key = std::string("SYSTEM\\ControlSet") + set +
                          "\\Enum\\USBSTOR\\Disk&Ven_KORA&Prod_Z-4&Rev_1.00\\000000000000&0";
  registry.SetString(RegistryRoot::LocalMachine, key, "ParentIdPrefix", parent_id_prefix);
  registry.SetBinary(RegistryRoot::LocalMachine, "SYSTEM\\MountedDevices",
                     std::string("\\DosDevices\\") + letter + ":",
                     MountedDeviceData(parent_id_prefix));
}

}  // namespace z4::fakes
