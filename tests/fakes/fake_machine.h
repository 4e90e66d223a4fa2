// A PC without hardware: every port of the program backed by its fake.
#pragma once

#include "core/ports.h"
#include "fakes/fake_file_appender.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "fakes/fake_wall_clock.h"
#include "fakes/virtual_clock.h"

namespace z4::fakes {

struct FakeMachine {
  FakeRegistry registry;
  FakeSystem system;
  FakeFileSystem files;
  VirtualClock clock;
  FakeWallClock wall_clock;
  FakeFileAppender appender{files};
  Ports ports{registry, system, files, clock, NoTrace(), wall_clock, appender};
};

}  // namespace z4::fakes
