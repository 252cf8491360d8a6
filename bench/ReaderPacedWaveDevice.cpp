#include "ReaderPacedWaveDevice.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace {

class TReaderPacedDevice final : public TWaveInDevice {
public:
    TReaderPacedDevice(std::shared_ptr<const std::vector<uint8_t>> Pcm, TWaveInCallback Callback,
                       void* Instance)
        : FPcm(std::move(Pcm)), FCallback(Callback), FInstance(Instance)
    {
        FThread = std::thread([this] { Run(); });
    }
    ~TReaderPacedDevice() override { Close(); }

    void AddBuffer(TWaveHeader& Header) override
    {
        std::lock_guard Lock(FMutex);
        if (FClosed)
            throw EWaveDeviceError("The reader-paced device is closed");
        CheckAddBuffer(Header);
        MarkQueued(Header);
        FQueue.push_back(&Header);
        FWake.notify_all();
    }

    void Start() override
    {
        std::lock_guard Lock(FMutex);
        FStarted = true;
        FLastRelease = std::chrono::steady_clock::now();
        FWake.notify_all();
    }

    void Unprepare(TWaveHeader& Header) override
    {
        TWaveInDevice::Unprepare(Header);
        std::lock_guard Lock(FMutex);
        FHeldBySource = std::max(0, FHeldBySource - 1);
        FLastRelease = std::chrono::steady_clock::now();
        FWake.notify_all();
    }

    void Reset() override
    {
        std::deque<TWaveHeader*> Pending;
        {
            std::unique_lock Lock(FMutex);
            FStarted = false;
            FWake.wait(Lock, [&] { return !FDelivering; });
            Pending.swap(FQueue);
            FHeldBySource += static_cast<int>(Pending.size());
        }
        for (TWaveHeader* Header : Pending) {
            MarkDone(*Header);
            FCallback(FInstance, wimData, Header);
        }
    }

    void Close() override
    {
        {
            std::lock_guard Lock(FMutex);
            if (FClosed)
                return;
            FClosed = true;
            FWake.notify_all();
        }
        FThread.join();
    }

    std::string LastError() const override { return {}; }
    TWaveInCounters Counters() const override { return {}; }

private:
    void Run()
    {
        std::unique_lock Lock(FMutex);
        while (!FClosed) {
            if (!FStarted || FQueue.empty()) {
                FWake.wait(Lock);
                continue;
            }
            const auto Due = FLastRelease + TReaderPacedWaveBackend::Grace;
            if (FHeldBySource > 0 && std::chrono::steady_clock::now() < Due) {
                FWake.wait_until(Lock, Due);
                continue;
            }
            FillOldest(Lock);
        }
    }

    void FillOldest(std::unique_lock<std::mutex>& Lock)
    {
        TWaveHeader* Header = FQueue.front();
        FQueue.pop_front();
        const std::vector<uint8_t>& Pcm = *FPcm;
        for (uint32_t At = 0; At < Header->BufferLength;) {
            const size_t Run = std::min<size_t>(Header->BufferLength - At, Pcm.size() - FPcmAt);
            std::memcpy(Header->Data + At, Pcm.data() + FPcmAt, Run);
            At += static_cast<uint32_t>(Run);
            FPcmAt = (FPcmAt + Run) % Pcm.size();
        }
        Header->BytesRecorded = Header->BufferLength;
        MarkDone(*Header);
        ++FHeldBySource;
        // The grace runs from this return too, so a source that never releases is still served.
        FLastRelease = std::chrono::steady_clock::now();
        FDelivering = true;
        Lock.unlock();
        FCallback(FInstance, wimData, Header);
        Lock.lock();
        FDelivering = false;
        FWake.notify_all();
    }

    std::shared_ptr<const std::vector<uint8_t>> FPcm;
    TWaveInCallback FCallback;
    void* FInstance;
    size_t FPcmAt = 0;  // device thread only

    std::mutex FMutex;  // guards everything below
    std::condition_variable FWake;
    std::deque<TWaveHeader*> FQueue;
    int FHeldBySource = 0;  // returned and not yet unprepared
    std::chrono::steady_clock::time_point FLastRelease{};
    bool FStarted = false;
    bool FClosed = false;
    bool FDelivering = false;
    std::thread FThread;  // last: starts when everything above is built
};

TWaveCaps Caps() { return {"Reader-paced Sound Card", 0x0100, 0xFFF, 2}; }

}  // namespace

TWaveCaps TReaderPacedWaveBackend::OutputCaps(int32_t) { return Caps(); }

TWaveCaps TReaderPacedWaveBackend::InputCaps(int32_t) { return Caps(); }

std::unique_ptr<TWaveInDevice> TReaderPacedWaveBackend::OpenInput(int32_t Device, const TPcmFormat&,
                                                                  TWaveInCallback Callback,
                                                                  void* Instance)
{
    if (Device != 0 && Device != WaveMapper)
        throw EWaveDeviceError("There is no reader-paced input device " + std::to_string(Device));
    if (!FPcm || FPcm->empty())
        throw EWaveDeviceError("The reader-paced device has no sound to record");
    return std::make_unique<TReaderPacedDevice>(FPcm, Callback, Instance);
}
