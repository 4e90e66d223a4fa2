// The CCD level data file from the board, whatever it holds: the series stays
// inside its table, a failed load leaves no series, the lookups stay within
// their three characters, and every curve point lies inside the plot.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/shared_state.h"
#include "fakes/fake_machine.h"
#include "viewers/level_curve.h"
#include "viewers/level_data.h"
#include "viewers/level_labels.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  z4::fakes::FakeMachine machine;
  machine.files.AddDrive('E');
  machine.files.AddDirectory("C:\\Program Files\\Z4");
  machine.files.AddFile("E:\\Z4.CSV", bytes);
  z4::SharedState::Reset();
  z4::SharedState::SetDeviceDrive("E");
  z4::SharedState::SetDeviceFound(1);

  z4::Levels().count = 7;
  const bool loaded = z4::LoadLevelData(machine.ports);
  const z4::LevelSeries& series = z4::Levels();
  Check(series.count >= 0 && series.count <= z4::kLevelTableSize);
  if (!loaded) Check(series.count == 0);
  if (loaded) Check(bytes.find("WhiteLevel") != std::string::npos);

  const std::string black = z4::ReadLevelKey(machine.ports, z4::kBlackLevel);
  const std::string max = z4::ReadLevelKey(machine.ports, z4::kMaxLevel);
  Check(black.empty() || (black[0] == ':' && black.size() <= 4));
  Check(max.size() <= 3);

  // The labels as the window makes them, and the curve from them.
  const double top = z4::ParseLevelLabel(z4::FormatLevelLabel(max.empty() ? -1.0 : 255.0));
  const auto points = z4::ScreenCurve(series, z4::LevelScale{top, 0.0}, 930, 490, 498);
  Check(points.empty() || points.size() == static_cast<std::size_t>(series.count));
  for (const auto& p : points) Check(p.x >= 0 && p.x <= 930 && p.y >= 8 && p.y <= 498);
  return 0;
}
