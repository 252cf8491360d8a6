// The choice of the wave-in backend on Linux: the sound server's sources where a PulseAudio (or
// PipeWire's PulseAudio service) server answers, else ALSA's devices and cards. The attempt to
// reach a server is bounded, so that a machine without one starts as quickly as before.
#include "DebugLog.h"
#include "LinuxWaveBackends.h"

std::unique_ptr<TWaveBackend> CreatePlatformWaveBackend()
{
    try {
        auto Backend = CreatePulseWaveBackend();
        DebugLog("capture: recording through the sound server");
        return Backend;
    } catch (const EWaveDeviceError& E) {
        // No sound server: ALSA's devices are the ones to record from.
        DebugLog(std::string("capture: recording through ALSA; ") + E.what());
    }
    return CreateAlsaWaveBackend();
}
