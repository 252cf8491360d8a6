// The audio pipeline: stages that pass blocks of PCM sound from a source to a sink.
//
// A chain is linked from the sink upwards through `Input` references and pulled downwards: the
// sink's worker thread asks its input for bytes, a converter asks its own input in turn, up to the
// source. Run control moves upwards: the sink's `Prepare` calls `Init` on its input, its `Done`
// calls `Flush`, and each converter passes both on.
//
// Threads: the owning (window's) thread builds the chain, sets properties and calls `Run`,
// `Stop`, `Pause`, `Resume`, `Status` and `Progress`. The sink's worker thread calls `GetData`,
// `DoOutput`, `Done` and raises the sink's events. `Position`, `Size` and `Busy` may be read from
// any thread.
#pragma once

#include "Component.h"
#include "SpinFlag.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

// The pipeline's exception: a fixed English message, such as "Component is buisy".
class EACSException : public std::runtime_error {
public:
    explicit EACSException(const std::string& Message)
        : std::runtime_error(Message)
    {
    }
};

// The sample layout of one delivery.
struct TInputFormat {
    int32_t BitsPerSample = 0;
    int32_t Channels = 0;
};

// A stage that delivers PCM: frames of GetChannels() samples, interleaved, each sample
// GetBitsPerSample() / 8 bytes, 8-bit unsigned or 16-bit signed little-endian.
class TACSInput : public TComponent {
public:
    explicit TACSInput(TComponent* AOwner);

    // Format of the data GetData delivers. Any thread; asked by the sink after Init.
    virtual int32_t GetBitsPerSample() = 0;
    virtual int32_t GetChannels() = 0;
    virtual int32_t GetSampleRate() = 0;
    // Planned duration of a run in whole seconds; 0 when the stage does not know it.
    virtual int32_t GetTotalTime();
    // Copies at most BufferSize bytes into Buffer and returns the count; a short count is not the
    // end, 0 is. Raises "The Stream is not opened" when not Busy. Worker thread; may block until
    // the source has data.
    virtual int32_t GetData(void* Buffer, int32_t BufferSize) = 0;
    // GetData, and in Format the layout of the bytes it delivered, as the stage that produced
    // them describes it. A converter's input may be exchanged as soon as its read is over, so a
    // reader that asked the format afterwards could get another input's answer; the format
    // travels with the block instead. This version asks the stage's own GetBitsPerSample and
    // GetChannels after the read, which is right for a source; a converter that reads another
    // stage passes that stage's answer on. Worker thread, as GetData.
    virtual int32_t GetDataWithFormat(void* Buffer, int32_t BufferSize, TInputFormat& Format);
    // Ends a run unconditionally: Flush with any exception discarded, then Busy := false.
    virtual void Reset();
    // Starts a run: Busy, Position 0, Size the planned byte count or -1. Thread that starts the
    // run.
    virtual void Init() = 0;
    // Ends a run and releases what it held; clears Busy. Worker thread, or the thread that
    // exchanges an input.
    virtual void Flush() = 0;

    // Bytes delivered since the run began (a pass-through converter reports its input's value).
    std::atomic<int32_t> Position{ 0 };
    // Bytes the current run will deliver in all, -1 when there is no planned total.
    std::atomic<int32_t> Size{ 0 };
    // A run is in progress.
    std::atomic<bool> Busy{ false };

protected:
    // Takes the stage out of its chain before its members are destroyed: the other components
    // forget it (each waits for a read through it that is in flight), then a run in progress is
    // ended with Reset. A stage that others read from calls it first in its destructor, while its
    // own Flush can still run. Owning thread.
    void Withdraw();

public:
    // 1-based index of the next unread byte of the stage's own staging buffer, and the index of
    // its last valid byte; BufStart > BufEnd means the buffer is used up. Owned by the stage.
    int32_t BufStart = 0;
    int32_t BufEnd = 0;
};

// A stage that reads another stage and hands its data on. Its input can be exchanged while a run
// goes through it: the exchange waits for the read in flight, so the next read goes to the new
// input without a break in the run.
class TACSConverter : public TACSInput {
public:
    explicit TACSConverter(TComponent* AOwner);

    TACSInput* GetInput() const { return Input.load(); }
    // Exchanges the input. Idle: stores it. Busy: Init of the new input, switch between two reads,
    // Flush of the old input (a missing side is left out). Owning thread; spins while a read is
    // in flight.
    virtual void SetInput(TACSInput* Value);
    // Clears InputLock here and in every converter up the chain, without waiting, the top of the
    // chain first: a converter whose read failed keeps its lock set, and while it is set its input
    // cannot be forgotten (and destroyed), so each link is read before its lock is cleared. Called
    // by the sink on its worker after a failed read, while the sink's own lock keeps this
    // converter from going.
    void ReleaseInputLocks() noexcept;

protected:
    // An input that is going away is forgotten between two reads, without Init or Flush: it ends
    // its own run.
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Flush of the input, when there is one, while it cannot be forgotten (and destroyed).
    void FlushInput();

    // Held for exactly the span of this converter's call of Input->GetData.
    TSpinFlag InputLock;
    std::atomic<TACSInput*> Input{ nullptr };
};

class TACSOutput;

// Output events; raised on the sink's worker thread, which waits until the handler returns.
using TOutputDoneEvent = std::function<void(TComponent* Sender)>;
using TOutputProgressEvent = std::function<void(TComponent* Sender)>;
// E is valid only during the call.
using TThreadExceptionEvent = std::function<void(TComponent* Sender, const std::exception& E)>;

enum TOutputStatus : uint8_t { osBusy = 0, osPaused = 1, osIdle = 2 };

// The worker thread of one output. It is created suspended, runs passes of DoOutput while a run
// goes on, suspends itself when a run has ended (with SuspendWhenIdle) and lives as long as its
// output. Suspension is a wait on a condition, entered only between passes (Pause) or at the end
// of the pass that ended a run, never in the middle of a read.
class TACSThread {
public:
    using TDoOutput = std::function<bool(bool Abort)>;
    using TWhenDone = std::function<void()>;
    using THandleThreadException = std::function<void(const std::exception& E)>;
    // Decides, at the end of a run, whether a run started meanwhile lets the worker go on.
    using TRunPending = std::function<bool()>;

    TACSThread();
    ~TACSThread();
    TACSThread(const TACSThread&) = delete;
    TACSThread& operator=(const TACSThread&) = delete;

    // Binds the owner's operations. Owning thread, before the first Resume.
    void Bind(TDoOutput ADoOutput, TWhenDone AWhenDone,
        THandleThreadException AHandleThreadException, TRunPending ARunPending);

    // Asks the worker to stop before its next pass; Suspended() is true from this call on. Any
    // thread; takes only the short suspension lock.
    void Suspend();
    // Lets a suspended worker go on; nothing when it is not suspended. Any thread, as Suspend.
    void Resume();
    // True from a suspension (request or the worker's own) until the resumption. Any thread.
    bool Suspended() const { return FSuspended.load(); }
    // True when called on the worker thread itself.
    bool IsWorkerThread() const { return std::this_thread::get_id() == FThread.get_id(); }
    // Ends the worker and joins it. A running worker finishes its pass and makes its final
    // DoOutput(Abort = true) call; a suspended worker is ended without another call. Owning
    // thread, never the worker (there it does nothing); blocks until the worker has ended.
    void Terminate();

    std::atomic<bool> SuspendWhenIdle{ false };
    std::atomic<bool> TerminateRequest{ false };
    std::atomic<bool> StopRequest{ false };
    // Held by the worker for each pass, and while it is suspended after a run.
    std::mutex BlockLock;

private:
    void Execute();
    // Waits while suspended; false when the worker is to end. Takes the stop request for the next
    // pass in step with Suspend, so that a Stop after Pause waits for the Resume.
    bool WaitWhileSuspended(bool& Abort);
    // The worker's own suspension after a run; false when the worker is to end.
    bool SuspendAfterRun();

    TDoOutput FDoOutput;
    TWhenDone FWhenDone;
    THandleThreadException FHandleThreadException;
    TRunPending FRunPending;
    std::mutex FSuspendMutex;
    std::condition_variable FResumed;
    std::atomic<bool> FSuspended{ true };
    bool FQuit = false; // guarded by FSuspendMutex
    std::thread FThread;
};

// A sink: owns a worker thread that pulls blocks from Input while a run is in progress.
// A concrete sink supplies Prepare, DoOutput and Done, and calls TerminateWorker() first thing in
// its destructor so that the worker never calls into a half-destroyed object.
class TACSOutput : public TComponent {
public:
    explicit TACSOutput(TComponent* AOwner);
    ~TACSOutput() override;

    TACSInput* GetInput() const { return Input.load(); }
    // Exchanges the input with the converter's steps (see TACSConverter::SetInput). Owning thread.
    virtual void SetInput(TACSInput* Value);

    // Starts a run: Prepare on this thread, then the worker. Raises "Component is buisy" during a
    // run and "Input is not assigned" without an input; a failing Prepare reaches only
    // OnThreadException. Owning thread, or an OnDone handler on the worker.
    void Run();
    // Asks the worker to end the run at its next pass. Any thread; returns at once.
    void Stop();
    // Stops the worker between two passes. Any thread.
    void Pause();
    // Lets a paused (or idle, suspended) worker go on. Any thread.
    void Resume();
    // Any thread.
    TOutputStatus Status() const;
    // Percentage of the input consumed: 0 without input, -1 when its Size is -1, 0 for Size 0,
    // else Position / Size * 100 rounded half to even, not clamped. The input's counts are read
    // under InputLock, so that the input cannot be forgotten (and destroyed) meanwhile. Any
    // thread but one inside a read through this sink; spins while a read is in flight.
    int32_t Progress() const;
    // Any thread; the worker reads the flag each time a run ends or fails.
    bool GetSuspendWhenIdle() const { return Thread.SuspendWhenIdle.load(); }
    void SetSuspendWhenIdle(bool Value) { Thread.SuspendWhenIdle = Value; }

    // Called by the worker when DoOutput returned false.
    void WhenDone();
    // Called by the worker when a pass raised, or by Run when Prepare raised. A run in progress is
    // finished with Done; a failure of Done is reported to OnThreadException together with E.
    // The locks that a failed read left in the chain are already cleared (ReadInput), so it
    // touches neither InputLock nor Input.
    void HandleThreadException(const std::exception& E);

    // Set before runs, on the owning thread.
    TOutputDoneEvent OnDone;
    TOutputProgressEvent OnProgress;
    TThreadExceptionEvent OnThreadException;

protected:
    // One step of a run on the worker, inside BlockLock; false when the run is over. While
    // CanOutput is false it returns true at once. The worker's last call, with Abort true when the
    // output is destroyed during a run, is made outside BlockLock.
    virtual bool DoOutput(bool Abort) = 0;
    // End of a run on the worker: finish the run's work, then Flush the input.
    virtual void Done() = 0;
    // Start of a run on the caller's thread: set up, Init the input, raise to refuse the run.
    virtual void Prepare() = 0;

    // DoOutput's first step: when Progress differs from LastProgress, store it and raise
    // OnProgress.
    void ReportProgress();
    // GetData on Input while holding InputLock; Format, when given, receives the format of the
    // bytes, as the stage that delivered them describes it (GetDataWithFormat). A read that
    // raises leaves no lock set: the locks of the converters up the chain are cleared while this
    // lock still keeps them from being destroyed, and only then this one.
    int32_t ReadInput(void* Buffer, int32_t BufferSize, TInputFormat* Format = nullptr);
    // Flush of the input, when there is one, while it cannot be forgotten (and destroyed).
    void FlushInput();
    // Ends the worker (idempotent); concrete sinks call it first in their destructors.
    void TerminateWorker();

    void Notification(TComponent* AComponent, TOperation Operation) override;

    std::atomic<bool> CanOutput{ false };
    std::atomic<int32_t> LastProgress{ 0 };
    TACSThread Thread;
    std::atomic<TACSInput*> Input{ nullptr };
    std::atomic<bool> Busy{ false };
    // Mutable: Progress, a query, pins the input with it.
    mutable TSpinFlag InputLock;

private:
    bool RunPendingAfterDone() const;
    // A run was started by a thread other than the worker since the worker last ended one.
    std::atomic<bool> FStartedElsewhere{ false };
    bool FWorkerEnded = false;
};
