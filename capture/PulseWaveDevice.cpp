// The PulseAudio backend of the wave-in device interface (Linux, where a sound server runs).
//
// How it works: the backend keeps one connection to the server for its queries and a list of the
// server's sources and sinks (PulseDeviceList.cpp), read when the backend is made and read again
// by RefreshInputs, so that a device number means the source that the list showed when it was
// read. Device 0 is the server's default source; an output's monitor is offered as what that
// output plays. Opening a device connects a record stream of its own (PulseCaptureDevice.cpp).
// A lost connection is made again at the next refresh.
#include "LinuxWaveBackends.h"
#include "PulseWave.h"

#include <mutex>

namespace {

using namespace Pulse;

class TPulseWaveBackend final : public TWaveBackend {
public:
    explicit TPulseWaveBackend(std::unique_ptr<TConnection> Connection)
        : FConnection(std::move(Connection))
    {
        std::lock_guard Lock(FMutex);
        ReadLists();
    }

    int32_t OutputDeviceCount() override { return Count(FOutputs); }
    int32_t InputDeviceCount() override { return Count(FInputs); }
    TWaveCaps OutputCaps(int32_t Device) override { return Caps(Find(FOutputs, Device, "output")); }
    TWaveCaps InputCaps(int32_t Device) override { return Caps(Find(FInputs, Device, "input")); }
    std::string InputName(int32_t Device) override
    {
        return Find(FInputs, Device, "input").Description;
    }
    // The server's name of the source, which stays the same from one start to the next.
    std::string InputId(int32_t Device) override { return Find(FInputs, Device, "input").Name; }

    // Reads the server's sources and sinks again.
    void RefreshInputs() override
    {
        std::lock_guard Lock(FMutex);
        if (!Connected())
            FConnection = std::make_unique<TConnection>();
        ReadLists();
    }

    std::unique_ptr<TWaveInDevice> OpenInput(
        int32_t Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance) override
    {
        return OpenCaptureDevice(Find(FInputs, Device, "input"), Format, Callback, Instance);
    }

private:
    bool Connected()
    {
        TConnection::TLock Lock(*FConnection);
        return FConnection->Ready();
    }

    // FMutex held.
    void ReadLists()
    {
        FInputs = ListDevices(*FConnection, true);
        FOutputs = ListDevices(*FConnection, false);
        FVersion = ServerVersion(*FConnection);
    }

    int32_t Count(const std::vector<TDevice>& Devices)
    {
        std::lock_guard Lock(FMutex);
        return static_cast<int32_t>(Devices.size());
    }

    // The device of that number in the list as last read; the wave mapper is the default.
    TDevice Find(const std::vector<TDevice>& Devices, int32_t Device, const char* Kind)
    {
        std::lock_guard Lock(FMutex);
        if (Device == WaveMapper && !Devices.empty())
            Device = 0;
        if (Device >= 0 && Device < static_cast<int32_t>(Devices.size()))
            return Devices[static_cast<size_t>(Device)];
        throw EWaveDeviceError("The sound server has no " + std::string(Kind) + " device "
            + std::to_string(Device) + " (it lists " + std::to_string(Devices.size()) + ")");
    }

    // The server converts any rate, size and channel count to and from its devices'.
    TWaveCaps Caps(const TDevice& Device)
    {
        std::lock_guard Lock(FMutex);
        TWaveCaps Caps;
        Caps.Name = Device.Description;
        Caps.DriverVersion = FVersion;
        Caps.Formats = 0xFFF;
        Caps.Channels = Device.Channels;
        return Caps;
    }

    std::mutex FMutex; // guards everything below
    std::unique_ptr<TConnection> FConnection;
    std::vector<TDevice> FInputs;
    std::vector<TDevice> FOutputs;
    uint32_t FVersion = 0;
};

} // namespace

std::unique_ptr<TWaveBackend> CreatePulseWaveBackend()
{
    return std::make_unique<TPulseWaveBackend>(std::make_unique<TConnection>());
}
