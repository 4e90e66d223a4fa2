// Loading and rewriting a 1000-line settings file through the in-memory ports,
// and the reader and rewriter alone on the same bytes.
#include <benchmark/benchmark.h>
#include <string>

#include "core/shared_state.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "fakes/virtual_clock.h"
#include "settings/settings_format.h"
#include "settings/settings_storage.h"

namespace {

// 1000 lines with CR LF: comments, other keys, indented and repeated keys, and
// the seven keys spread through the file.
std::string ThousandLineFile() {
  const char* keys[] = {"Density:80",   "CCFLOffTim:0045", "CCFLStabTim:20",
                        "FileFormat:P", "Setting:V",       "FileDate:2004/02/29 12:00:00",
                        "ImageMove:Y"};
  std::string file;
  for (int line = 0; line < 1000; ++line) {
    if (line % 140 == 70) {
      file += std::string("  ") + keys[line / 140] + " ; set at the factory";
    } else if (line % 3 == 0) {
      file += "; comment line " + std::to_string(line);
    } else {
      file += "Vendor" + std::to_string(line) + ":value " + std::to_string(line * 7);
    }
    file += "\r\n";
  }
  return file;
}

struct World {
  z4::fakes::FakeFileSystem fs;
  z4::fakes::FakeSystem system;
  z4::fakes::VirtualClock clock;
  z4::fakes::FakeRegistry registry;
  z4::Ports ports{registry, system, fs, clock};
  std::string file = ThousandLineFile();

  World() {
    z4::SharedState::Reset();
    z4::SharedState::SetDeviceDrive("E");
    z4::SharedState::SetDeviceFound(1);
    fs.AddDrive('E');
    fs.AddDirectory("C:\\Program Files\\Z4");
    fs.AddFile("E:\\Z4.INI", file);
  }
  // The logs of the fakes would otherwise grow with every iteration.
  void Forget() {
    fs.log.clear();
    clock.ClearPauseLog();
  }
};

z4::SettingsRecord NewValues() {
  z4::SettingsRecord r = z4::BuiltInSettings();
  r.Density = 72;
  r.CCFLOffTim = 45;
  r.FileDate = "2005/06/07 08:09:10";
  return r;
}

void BM_LoadSettings1000Lines(benchmark::State& state) {
  World world;
  for (auto _ : state) {
    benchmark::DoNotOptimize(z4::LoadSettings(world.ports, 0));
    world.Forget();
  }
  if (z4::SharedState::GetDeviceSettings().Density != 80)
    state.SkipWithError("board file not read");
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(world.file.size()));
}
BENCHMARK(BM_LoadSettings1000Lines);

void BM_SaveSettings1000Lines(benchmark::State& state) {
  World world;
  const z4::SettingsRecord record = NewValues();
  for (auto _ : state) {
    benchmark::DoNotOptimize(z4::SaveSettings(world.ports, record));
    world.Forget();
  }
  const auto saved = world.fs.Contents("C:\\Program Files\\Z4\\BackupZ4\\Z4.INI");
  if (!saved || saved->find("  Density:72\r\n") == std::string::npos) {
    state.SkipWithError("board file not rewritten");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(world.file.size()));
}
BENCHMARK(BM_SaveSettings1000Lines);

void BM_ParseSettingsFile1000Lines(benchmark::State& state) {
  const std::string file = ThousandLineFile();
  for (auto _ : state) {
    z4::AcceptedValues accepted;
    z4::ParseSettingsFile(file, accepted);
    benchmark::DoNotOptimize(accepted);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_ParseSettingsFile1000Lines);

void BM_RewriteSettingsFile1000Lines(benchmark::State& state) {
  const std::string file = ThousandLineFile();
  const z4::SettingsRecord record = NewValues();
  for (auto _ : state) benchmark::DoNotOptimize(z4::RewriteSettingsFile(file, record));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_RewriteSettingsFile1000Lines);

}  // namespace

BENCHMARK_MAIN();
