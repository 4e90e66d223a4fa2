#include "device/drive_route_volume.h"

#include "device/mounted_devices.h"

namespace z4 {

std::optional<std::string> FindLetterByVolume(Registry& registry, bool second_unit) {
  // User mode wants the volume of logical unit 0; test/adjust mode works on
  // unit 1. The rest of the device path (the interface class) is not compared.
  const std::string unit_path = kBoardUsbStoragePath + std::string(second_unit ? "1" : "0") + "#";
  return LastMatchingLetter(
      registry, [&](const MountedData& data) { return StartsWithText(data, unit_path); });
}

}  // namespace z4
