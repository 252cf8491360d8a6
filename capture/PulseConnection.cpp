// A connection to the PulseAudio (or PipeWire) sound server with bounded waits.
//
// The client library's threaded main loop runs the connection on a thread of its own and calls
// back on it with the loop's lock held. The library's own wait has no bound, so the callbacks
// that may end a wait also signal a condition of the connection's own, on which a waiter waits
// without the loop's lock until its deadline.
#include "PulseWave.h"

namespace Pulse {

namespace {

constexpr const char* ClientName = "Corvatone";

} // namespace

TConnection::TLock::TLock(TConnection& Connection)
    : FLoop(Connection.FLoop)
{
    pa_threaded_mainloop_lock(FLoop);
}

TConnection::TLock::~TLock()
{
    pa_threaded_mainloop_unlock(FLoop);
}

TConnection::TConnection(std::chrono::milliseconds Bound)
{
    FLoop = pa_threaded_mainloop_new();
    if (FLoop == nullptr)
        throw EWaveDeviceError("Cannot create the sound server's main loop");
    FContext = pa_context_new(pa_threaded_mainloop_get_api(FLoop), ClientName);
    if (FContext == nullptr) {
        pa_threaded_mainloop_free(FLoop);
        throw EWaveDeviceError("Cannot create a sound server connection");
    }
    pa_context_set_state_callback(FContext, &TConnection::StateChanged, this);
    std::string Failure;
    {
        TLock Lock(*this);
        // Never starts a server: a recorder only uses the one that runs.
        if (pa_context_connect(FContext, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            Failure = LastError();
        else if (pa_threaded_mainloop_start(FLoop) < 0)
            Failure = "its thread cannot start";
        else
            FStarted = true;
    }
    if (Failure.empty()) {
        const bool Answered = Await(
            [&] {
                const pa_context_state_t State = pa_context_get_state(FContext);
                return State == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(State);
            },
            Bound);
        TLock Lock(*this);
        if (!Answered)
            Failure = "it did not answer within " + std::to_string(Bound.count()) + " ms";
        else if (!Ready())
            Failure = LastError();
    }
    if (!Failure.empty()) {
        Release(); // a constructor that raises leaves no destructor to run
        throw EWaveDeviceError("No sound server to record from: " + Failure);
    }
}

TConnection::~TConnection()
{
    Release();
}

void TConnection::Release()
{
    if (FLoop == nullptr)
        return;
    {
        TLock Lock(*this);
        pa_context_set_state_callback(FContext, nullptr, nullptr);
        pa_context_disconnect(FContext);
    }
    if (FStarted)
        pa_threaded_mainloop_stop(FLoop); // without the lock; joins the loop's thread
    pa_context_unref(FContext);
    pa_threaded_mainloop_free(FLoop);
    FLoop = nullptr;
    FContext = nullptr;
}

pa_mainloop_api* TConnection::Api() const
{
    return pa_threaded_mainloop_get_api(FLoop);
}

bool TConnection::Ready() const
{
    return pa_context_get_state(FContext) == PA_CONTEXT_READY;
}

std::string TConnection::LastError() const
{
    return pa_strerror(pa_context_errno(FContext));
}

void TConnection::StateChanged(pa_context*, void* Self)
{
    static_cast<TConnection*>(Self)->Signal();
}

void TConnection::Signal()
{
    std::lock_guard Guard(FMutex);
    ++FGeneration;
    FChanged.notify_all();
}

bool TConnection::Await(const std::function<bool()>& Done, std::chrono::milliseconds Bound)
{
    const auto Deadline = std::chrono::steady_clock::now() + Bound;
    for (;;) {
        uint64_t Seen;
        {
            TLock Lock(*this);
            if (Done())
                return true;
            std::lock_guard Guard(FMutex);
            Seen = FGeneration;
        }
        std::unique_lock Guard(FMutex);
        if (!FChanged.wait_until(Guard, Deadline, [&] { return FGeneration != Seen; }))
            return false;
    }
}

namespace {

void OperationChanged(pa_operation*, void* Connection)
{
    static_cast<TConnection*>(Connection)->Signal();
}

} // namespace

void TConnection::Complete(const std::string& What, const std::function<pa_operation*()>& Request)
{
    pa_operation* Operation;
    {
        TLock Lock(*this);
        if (!Ready())
            throw EWaveDeviceError(What + ": the sound server has gone (" + LastError() + ")");
        Operation = Request();
        if (Operation == nullptr)
            throw EWaveDeviceError(What + ": " + LastError());
        pa_operation_set_state_callback(Operation, &OperationChanged, this);
    }
    const bool Answered
        = Await([&] { return pa_operation_get_state(Operation) != PA_OPERATION_RUNNING; });
    TLock Lock(*this);
    const pa_operation_state_t State = pa_operation_get_state(Operation);
    if (State == PA_OPERATION_RUNNING)
        pa_operation_cancel(Operation); // its callbacks are not called any more
    pa_operation_set_state_callback(Operation, nullptr, nullptr);
    pa_operation_unref(Operation);
    if (!Answered)
        throw EWaveDeviceError(What + ": the sound server did not answer within "
            + std::to_string(AnswerBound.count()) + " ms");
    if (State != PA_OPERATION_DONE)
        throw EWaveDeviceError(What + ": " + LastError());
}

} // namespace Pulse
