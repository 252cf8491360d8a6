// The Windows capture backends that CreatePlatformWaveBackend (WindowsWaveBackend.cpp) puts
// together: wave-in's devices (WinmmWaveDevice.cpp) and the loopback capture of what the
// computer plays (WasapiLoopbackDevice.cpp).
#pragma once

#include "WaveDevice.h"

#include <memory>
#include <string>

// The wave-in devices alone.
std::unique_ptr<TWaveBackend> CreateWinmmWaveBackend();

// The name of the system's default output, whose sound the loopback capture records; empty when
// the system has no output. Any thread; asks the system's audio service.
std::string DefaultOutputName();

// Opens the loopback capture of the default output, delivering Format, which must be 16-bit
// stereo PCM at any rate. Raises EWaveDeviceError saying why when it cannot. Any thread; blocks
// while the system opens the stream.
std::unique_ptr<TWaveInDevice> OpenLoopback(
    const TPcmFormat& Format, TWaveInCallback Callback, void* Instance);
