#include "BufferCountingBackend.h"

#include <algorithm>

namespace {

class TCountingDevice final : public TWaveInDevice {
public:
    TCountingDevice(std::unique_ptr<TWaveInDevice> Inner, std::shared_ptr<TBufferCounts> Counts)
        : FInner(std::move(Inner))
        , FCounts(std::move(Counts))
    {
    }

    void Prepare(TWaveHeader& Header) override
    {
        FInner->Prepare(Header);
        ++FCounts->Prepared;
        const int64_t Held = ++FCounts->Held;
        int64_t Peak = FCounts->PeakHeld.load();
        while (Held > Peak && !FCounts->PeakHeld.compare_exchange_weak(Peak, Held)) { }
    }
    void Unprepare(TWaveHeader& Header) override
    {
        FInner->Unprepare(Header);
        --FCounts->Held;
    }
    void AddBuffer(TWaveHeader& Header) override { FInner->AddBuffer(Header); }
    void Start() override { FInner->Start(); }
    void Reset() override { FInner->Reset(); }
    void Close() override { FInner->Close(); }
    std::string LastError() const override { return FInner->LastError(); }
    TWaveInCounters Counters() const override { return FInner->Counters(); }

private:
    std::unique_ptr<TWaveInDevice> FInner;
    std::shared_ptr<TBufferCounts> FCounts;
};

} // namespace

std::unique_ptr<TWaveInDevice> TBufferCountingBackend::OpenInput(
    int32_t Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance)
{
    return std::make_unique<TCountingDevice>(
        FInner->OpenInput(Device, Format, Callback, Instance), FCounts);
}
