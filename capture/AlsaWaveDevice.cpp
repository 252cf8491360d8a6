// ALSA backend, first step: it reports no devices until the capture thread is in place.
#include "WaveDevice.h"

namespace {

class TAlsaWaveBackend final : public TWaveBackend {
public:
    int32_t OutputDeviceCount() override { return 0; }
    int32_t InputDeviceCount() override { return 0; }
    TWaveCaps OutputCaps(int32_t) override { throw EWaveDeviceError("No ALSA output device"); }
    TWaveCaps InputCaps(int32_t) override { throw EWaveDeviceError("No ALSA input device"); }
    std::unique_ptr<TWaveInDevice> OpenInput(int32_t, const TPcmFormat&, TWaveInCallback,
                                             void*) override
    {
        throw EWaveDeviceError("No ALSA input device");
    }
};

}  // namespace

std::unique_ptr<TWaveBackend> CreatePlatformWaveBackend()
{
    return std::make_unique<TAlsaWaveBackend>();
}
