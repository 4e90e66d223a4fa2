// A PC without hardware: every port of the program backed by its fake.
#pragma once

#include "core/ports.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "fakes/virtual_clock.h"

namespace z4::fakes {

struct FakeMachine {
  FakeRegistry registry;
  FakeSystem system;
  FakeFileSystem files;
  VirtualClock clock;
  Ports ports{registry, system, files, clock};
};

}  // namespace z4::fakes
