// The ALSA capture device under injected faults, on ALSA's "null" PCM (which every ALSA
// configuration has): a capture thread that cannot start, and one that hangs in a read.
#include "AlsaPcm.h"
#include "AudioTestSupport.h"
#include "TestSupport.h"

#include <condition_variable>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <mutex>

namespace {

using AudioTestSupport::CdFormat;
using namespace std::chrono_literals;

// Descriptors the process holds: a device that leaks one shows here.
std::size_t OpenDescriptors()
{
    std::size_t Count = 0;
    for ([[maybe_unused]] const auto& Entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++Count;
    return Count;
}

struct TCallbacks {
    std::atomic<int> Data{ 0 };
    static void Callback(void* Instance, TWaveInMessage Message, TWaveHeader*)
    {
        if (Message == wimData)
            ++static_cast<TCallbacks*>(Instance)->Data;
    }
};

// A read that hangs until the test lets it go, as a sound server's plugin can when the server
// stops answering.
class THungRead {
public:
    void operator()()
    {
        std::unique_lock Lock(FMutex);
        FEntered = true;
        FChanged.notify_all();
        FChanged.wait(Lock, [&] { return FReleased; });
    }
    bool AwaitEntered()
    {
        std::unique_lock Lock(FMutex);
        return FChanged.wait_for(Lock, TestSupport::FailAfter, [&] { return FEntered; });
    }
    void Release()
    {
        std::lock_guard Lock(FMutex);
        FReleased = true;
        FChanged.notify_all();
    }

private:
    std::mutex FMutex;
    std::condition_variable FChanged;
    bool FEntered = false;
    bool FReleased = false;
};

class AlsaCaptureDeviceTest : public testing::Test {
protected:
    void TearDown() override { Alsa::CaptureFaults() = {}; }

    const Alsa::TAlsaDevice Null{ "null", "Null", "null" };
    TCallbacks Callbacks;
};

TEST_F(AlsaCaptureDeviceTest, AThreadThatCannotStartLeavesNothingOpen)
{
    const std::size_t Before = OpenDescriptors();
    Alsa::CaptureFaults().ThreadStartFails = true;
    for (int Attempt = 0; Attempt < 3; ++Attempt)
        EXPECT_ANY_THROW(
            Alsa::OpenCaptureDevice(Null, CdFormat(), &TCallbacks::Callback, &Callbacks));
    EXPECT_EQ(OpenDescriptors(), Before);
}

// A thread hung in a read costs the caller one bound in all: the request that meets it waits
// the bound, every later one (a second Close, the destructor) gives up at once, and what the
// thread holds is released when it comes back, without touching the caller's buffer again.
TEST_F(AlsaCaptureDeviceTest, AHungReadIsWaitedForOnceAndReleasedWhenItReturns)
{
    const std::size_t Before = OpenDescriptors();
    auto Hang = std::make_shared<THungRead>();
    Alsa::CaptureFaults().BeforeRead = [Hang] { (*Hang)(); };
    Alsa::CaptureFaults().AnswerBound = 100ms;
    static uint8_t Data[WaveBufferLength];
    TWaveHeader Header;
    Header.Data = Data;
    Header.BufferLength = WaveBufferLength;

    auto Device = Alsa::OpenCaptureDevice(Null, CdFormat(), &TCallbacks::Callback, &Callbacks);
    Device->Prepare(Header);
    Device->AddBuffer(Header);
    Device->Start();
    ASSERT_TRUE(Hang->AwaitEntered());
    EXPECT_THROW(Device->Reset(), EWaveDeviceError); // waits the bound once

    // From here a wait of a fresh bound would outlast the test.
    Alsa::CaptureFaults().AnswerBound = 24h;
    auto Closed = std::async(std::launch::async, [&] {
        EXPECT_THROW(Device->Close(), EWaveDeviceError);
        EXPECT_THROW(Device->Close(), EWaveDeviceError);
        Device.reset();
    });
    const bool Returned = Closed.wait_for(TestSupport::FailAfter) == std::future_status::ready;
    Hang->Release();
    ASSERT_TRUE(Returned) << "Close or the destructor waited for the hung thread again";
    Closed.get();

    // The thread ends once its read returns and closes the PCM and its wake-up descriptor.
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return OpenDescriptors() == Before; }));
    EXPECT_EQ(Callbacks.Data, 0);
    EXPECT_EQ(Header.BytesRecorded, 0u);
}

} // namespace
