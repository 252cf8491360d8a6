// Internals shared by the fake encoder library's files.
#pragma once

#include "FakeLameState.h"

#include <lame/lame.h>

#define FAKE_LAME_EXPORT __attribute__((visibility("default")))

TFakeLameState& FakeState();
void Record(TFakeLameCall Call);
