#include "ACS_Classes.h"

#include <algorithm>
#include <cmath>
#include <limits>

// ---------------------------------------------------------------------------------------------
// TACSInput

TACSInput::TACSInput(TComponent* AOwner)
    : TComponent(AOwner)
{
}

int32_t TACSInput::GetTotalTime()
{
    return 0;
}

void TACSInput::Withdraw()
{
    LeaveOwner();
    if (Busy)
        Reset();
}

int32_t TACSInput::GetDataWithFormat(void* Buffer, int32_t BufferSize, TInputFormat& Format)
{
    const int32_t Count = GetData(Buffer, BufferSize);
    Format.BitsPerSample = GetBitsPerSample();
    Format.Channels = GetChannels();
    return Count;
}

void TACSInput::Reset()
{
    try {
        Flush();
    } catch (...) {
        // Reset ends the run whatever Flush says.
    }
    Busy = false;
}

// ---------------------------------------------------------------------------------------------
// Input exchange, shared by converters and outputs: Init of the new input, the switch between two
// reads, then Flush of the old input. A missing side is left out.

namespace {

// Flush of the input while the lock keeps it from being forgotten; the lock is released also when
// the Flush raises.
void FlushHeldInput(std::atomic<TACSInput*>& Input, TSpinFlag& InputLock)
{
    InputLock.Acquire();
    try {
        if (TACSInput* In = Input.load())
            In->Flush();
    } catch (...) {
        InputLock.Release();
        throw;
    }
    InputLock.Release();
}

void ExchangeRunningInput(std::atomic<TACSInput*>& Input, TSpinFlag& InputLock, TACSInput* Value)
{
    if (Value)
        Value->Init();
    TACSInput* Old = Input.load();
    InputLock.Acquire();
    Input = Value;
    InputLock.Release();
    if (Old)
        Old->Flush();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TACSConverter

TACSConverter::TACSConverter(TComponent* AOwner)
    : TACSInput(AOwner)
{
}

void TACSConverter::SetInput(TACSInput* Value)
{
    if (Value == this)
        return;
    if (!Busy) {
        Input = Value;
        return;
    }
    ExchangeRunningInput(Input, InputLock, Value);
}

void TACSConverter::FlushInput()
{
    FlushHeldInput(Input, InputLock);
}

void TACSConverter::ReleaseInputLocks() noexcept
{
    // The input is read while this lock still keeps it from being forgotten.
    if (auto* Upstream = dynamic_cast<TACSConverter*>(Input.load()))
        Upstream->ReleaseInputLocks();
    InputLock.Release();
}

void TACSConverter::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent != nullptr && AComponent == Input.load()) {
        InputLock.Acquire();
        Input = nullptr;
        InputLock.Release();
    }
    TACSInput::Notification(AComponent, Operation);
}

// ---------------------------------------------------------------------------------------------
// TACSOutput

TACSOutput::TACSOutput(TComponent* AOwner)
    : TComponent(AOwner)
{
    Thread.Bind([this](bool Abort) { return DoOutput(Abort); }, [this] { WhenDone(); },
        [this](const std::exception& E) { HandleThreadException(E); },
        [this] { return RunPendingAfterDone(); });
    Thread.SuspendWhenIdle = true;
}

TACSOutput::~TACSOutput()
{
    TerminateWorker();
}

void TACSOutput::TerminateWorker()
{
    if (FWorkerEnded)
        return;
    FWorkerEnded = true;
    Thread.Terminate();
}

void TACSOutput::SetInput(TACSInput* Value)
{
    if (!Busy) {
        Input = Value;
        return;
    }
    ExchangeRunningInput(Input, InputLock, Value);
}

void TACSOutput::Notification(TComponent* AComponent, TOperation Operation)
{
    // An output never reads from a component that has gone: it forgets it, without Init or Flush.
    if (Operation == opRemove && AComponent != nullptr && AComponent == Input.load()) {
        InputLock.Acquire();
        Input = nullptr;
        InputLock.Release();
    }
    TComponent::Notification(AComponent, Operation);
}

void TACSOutput::Run()
{
    if (Busy)
        throw EACSException("Component is buisy");
    if (!Input.load())
        throw EACSException("Input is not assigned");
    InputLock.Release();
    try {
        Prepare();
        FStartedElsewhere = !Thread.IsWorkerThread();
        Busy = true;
        Thread.StopRequest = false;
        CanOutput = true;
        Thread.Resume();
    } catch (const std::exception& E) {
        HandleThreadException(E);
    }
}

bool TACSOutput::RunPendingAfterDone() const
{
    return Busy && FStartedElsewhere;
}

void TACSOutput::Stop()
{
    Thread.StopRequest = true;
}

void TACSOutput::Pause()
{
    if (!Thread.Suspended())
        Thread.Suspend();
}

void TACSOutput::Resume()
{
    Thread.Resume();
}

TOutputStatus TACSOutput::Status() const
{
    if (!Busy)
        return osIdle;
    return Thread.Suspended() ? osPaused : osBusy;
}

int32_t TACSOutput::Progress() const
{
    int32_t InSize = 0;
    int32_t InPosition = 0;
    InputLock.Acquire();
    const TACSInput* In = Input.load();
    if (In) {
        InSize = In->Size;
        InPosition = In->Position;
    }
    InputLock.Release();
    if (!In)
        return 0;
    if (InSize == -1)
        return -1;
    if (InSize == 0)
        return 0;
    // nearbyint rounds halves to even in the default rounding mode: 12.5 gives 12, 37.5 gives 38.
    const double Percent = std::nearbyint(static_cast<double>(InPosition) / InSize * 100.0);
    constexpr double Lowest = std::numeric_limits<int32_t>::min();
    constexpr double Highest = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::clamp(Percent, Lowest, Highest));
}

void TACSOutput::ReportProgress()
{
    const int32_t Current = Progress();
    if (Current == LastProgress)
        return;
    LastProgress = Current;
    if (OnProgress)
        OnProgress(this);
}

void TACSOutput::FlushInput()
{
    FlushHeldInput(Input, InputLock);
}

int32_t TACSOutput::ReadInput(void* Buffer, int32_t BufferSize, TInputFormat* Format)
{
    InputLock.Acquire();
    TACSInput* In = Input.load();
    int32_t Count = 0;
    try {
        if (!In)
            throw EACSException("Input is not assigned");
        Count = Format ? In->GetDataWithFormat(Buffer, BufferSize, *Format)
                       : In->GetData(Buffer, BufferSize);
    } catch (...) {
        // A converter whose read failed keeps its lock. Cleared before this sink's lock, since
        // as soon as that is free the converter may be forgotten and destroyed.
        if (auto* Converter = dynamic_cast<TACSConverter*>(In))
            Converter->ReleaseInputLocks();
        InputLock.Release();
        throw;
    }
    InputLock.Release();
    return Count;
}

void TACSOutput::WhenDone()
{
    if (!Busy)
        return;
    CanOutput = false;
    Done();
    Busy = false;
    if (OnDone)
        OnDone(this);
}

void TACSOutput::HandleThreadException(const std::exception& E)
{
    std::string DoneFailure;
    if (Status() != osIdle) {
        try {
            Done();
        } catch (const std::exception& Failure) {
            DoneFailure = Failure.what();
        } catch (...) {
            DoneFailure = "unknown failure";
        }
    }
    CanOutput = false;
    Busy = false;
    if (!OnThreadException)
        return;
    // A run that failed is still finished as far as it can be; when that fails too (a file that
    // cannot be completed), the handler hears of both. The same failure met again is told once.
    if (DoneFailure.empty() || DoneFailure == E.what())
        OnThreadException(this, E);
    else
        OnThreadException(this,
            EACSException(
                std::string(E.what()) + "; finishing the run failed as well: " + DoneFailure));
}
