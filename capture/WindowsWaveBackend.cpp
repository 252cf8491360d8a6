// The inputs that the recorder offers on Windows: the wave-in devices as the system numbers them
// (device 0 first, the default), then what the computer plays, the loopback capture of the
// default output, when the system has an output.
#include "Win32Capture.h"

#include <string>

namespace {

const std::string LoopbackTitle = "What the computer plays";
const std::string LoopbackId = "loopback:default-output";

std::string LoopbackName(const std::string& Output)
{
    return Output.empty() ? LoopbackTitle : LoopbackTitle + " (" + Output + ")";
}

class TWindowsWaveBackend final : public TWaveBackend {
public:
    int32_t OutputDeviceCount() override { return FWaveIn->OutputDeviceCount(); }
    int32_t InputDeviceCount() override
    {
        return FWaveIn->InputDeviceCount() + (DefaultOutputName().empty() ? 0 : 1);
    }
    TWaveCaps OutputCaps(int32_t Device) override { return FWaveIn->OutputCaps(Device); }
    TWaveCaps InputCaps(int32_t Device) override
    {
        if (!IsLoopback(Device))
            return FWaveIn->InputCaps(Device);
        const std::string Output = DefaultOutputName();
        if (Output.empty())
            throw EWaveDeviceError("The system has no output whose sound could be recorded");
        // Any rate in 16-bit stereo: the capture converts the output's own format.
        return { LoopbackName(Output), 0, WaveFormat1S16 | WaveFormat2S16 | WaveFormat4S16, 2 };
    }
    // Also when the output cannot be asked (it may be what has just failed).
    std::string InputName(int32_t Device) override
    {
        return IsLoopback(Device) ? LoopbackName(DefaultOutputName()) : FWaveIn->InputName(Device);
    }
    // What the computer plays is the same input whichever output is the default.
    std::string InputId(int32_t Device) override
    {
        return IsLoopback(Device) ? LoopbackId : FWaveIn->InputId(Device);
    }
    void RefreshInputs() override { FWaveIn->RefreshInputs(); }
    std::unique_ptr<TWaveInDevice> OpenInput(
        int32_t Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance) override
    {
        if (IsLoopback(Device))
            return OpenLoopback(Format, Callback, Instance);
        return FWaveIn->OpenInput(Device, Format, Callback, Instance);
    }

private:
    // The loopback entry follows the wave-in devices.
    bool IsLoopback(int32_t Device) { return Device >= 0 && Device == FWaveIn->InputDeviceCount(); }

    std::unique_ptr<TWaveBackend> FWaveIn = CreateWinmmWaveBackend();
};

} // namespace

std::unique_ptr<TWaveBackend> CreatePlatformWaveBackend()
{
    return std::make_unique<TWindowsWaveBackend>();
}
