// The recording chain under measurement, built as the window builds it: the capture source on the
// simulated sound card (flat out or in real time), the level indicator, and
// the MP3 sink, each created once and reused for every recording (the window owns its three
// components for its whole life). A recording links the sink to the indicator or straight to
// the source, runs, and waits for the sink's end.
//
// Threads: construct, Record and destroy on one thread (the benchmark's main thread, the chain's
// owning thread). Record blocks until the run has ended, at most the recording's length plus
// two minutes; the sink's events run on its worker, and an optional level reader thread takes
// the indicator's values every 100 ms as the window's timer does.
#pragma once

#include "ACS_Audio.h"
#include "ACS_Indicator.h"
#include "ACS_LAME.h"
#include "BufferCountingBackend.h"
#include "ChainCounters.h"
#include "SimulatedWaveDevice.h"
#include "TestSignal.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

// The sound card a recording runs on.
enum class TBenchCard {
    FlatOut, // the simulated card as fast as the chain takes the sound
    RealTime, // the simulated card at the sample rate
};

struct TRecordSettings {
    const TBenchPcm* Pcm = nullptr; // recorded from its start, looped
    int32_t Seconds = 0; // RecTime
    TMP3BitRate BitRate = br128;
    bool Indicator = true; // false: the sink reads the source directly
    TBenchCard Card = TBenchCard::FlatOut;
    bool ReadLevels = false; // run the 100 ms level reader beside the recording
    std::string FileName;
    // Called on the sink's worker at each progress report with the bytes captured so far.
    std::function<void(int64_t CapturedBytes)> OnProgress;
};

struct TRecordResult {
    // From Run until the source reports the end of the sound, which the sink asks for after it
    // has written the last block: the encoder's flush, the file's close and the device's release
    // at the end of the run are left out, as they are from the bare encoder's figure.
    double WallSeconds = 0.0;
    double CpuSeconds = 0.0; // the whole process's, over the same span
    double WallSecondsToDone = 0.0; // from Run to the sink's OnDone
    int64_t ResidentAtEnd = -1; // the process's resident bytes at the end of the sound
    int64_t CapturedBytes = 0;
    int64_t Mp3Bytes = 0;
    int64_t DroppedBuffers = 0; // sound the simulated card dropped for want of a queued buffer
    int64_t PeakBuffersHeld = 0; // capture buffers queued or filled and not yet taken, at most
    int64_t BuffersPrepared = 0; // capture buffers handed to the device in the run
    int64_t BuffersAllocated = 0; // capture buffers the source allocated in the run
    // On every thread of the process (ChainCounters.h): allocations from Run to the sink's end;
    // copies from Run to the end of the sound, as the times, so that the buffers the device still
    // fills while the run's end waits for them (and discards) are not counted as the recording's.
    int64_t Allocations = 0;
    int64_t CopiedBytes = 0;
    int64_t Copies = 0;
    // The threads' waits (ProcessStats::Waits) over the same span as the copies; -1 where the
    // system does not count them.
    int64_t Waits = -1;
};

// The capture source, noting when it first answers a run's request with the end of the sound.
// The note is taken on the sink's worker and read after the run.
class TTimedAudioIn : public TAudioIn {
public:
    using TAudioIn::TAudioIn;

    int32_t GetData(void* Buffer, int32_t BufferSize) override;
    void Init() override;

    std::chrono::steady_clock::time_point EndTime;
    double EndCpu = 0.0;
    int64_t EndResident = -1; // bytes
    int64_t EndWaits = -1; // ProcessStats::Waits
    ChainCounters::TSnapshot EndCounts;

private:
    bool FEndSeen = false;
};

class TBenchChain {
public:
    // Builds the components and so opens the encoder library, which stays loaded as long as the
    // chain lives, and installs the chain's simulated card as the capture unit's backend.
    TBenchChain();

    // Raises std::runtime_error when the run fails or does not end in time.
    TRecordResult Record(const TRecordSettings& Settings);

private:
    void AwaitEnd(const TRecordSettings& Settings);
    void ReadLevelsUntilEnd();

    std::shared_ptr<TSimulatedWaveBackend> FCard = std::make_shared<TSimulatedWaveBackend>();
    std::shared_ptr<TBufferCountingBackend> FCountedCard
        = std::make_shared<TBufferCountingBackend>(FCard);
    TTimedAudioIn FAudIn{ nullptr };
    TSoundIndicator FSndIndic{ nullptr };
    TMP3Out FMP3Out{ nullptr }; // last, so that its worker ends before the others go

    std::mutex FLock; // guards the fields below
    std::condition_variable FEndedSignal;
    bool FEnded = false;
    std::string FFailure;
    std::chrono::steady_clock::time_point FEndTime;
    double FEndCpu = 0.0;
    std::function<void(int64_t)> FProgressHook; // set while idle, read on the worker
};
