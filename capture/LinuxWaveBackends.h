// The two backends of the wave-in device interface on Linux. CreatePlatformWaveBackend
// (LinuxWaveBackend.cpp) chooses between them; tests may ask for one of them by name.
#pragma once

#include "WaveDevice.h"

#include <memory>

// ALSA's devices: "default", then each card's.
std::unique_ptr<TWaveBackend> CreateAlsaWaveBackend();

// The sources of the PulseAudio (or PipeWire) sound server that the environment names, or the
// user's; raises EWaveDeviceError when none answers within a few seconds.
std::unique_ptr<TWaveBackend> CreatePulseWaveBackend();
