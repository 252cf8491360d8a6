#include "SessionEnd.h"

#include "DebugLog.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The signals watched, as the handlers take them.
constexpr int Signals[] = { SIGTERM, SIGINT, SIGHUP };

// The pipe's write end, read by the handler: a plain int read whole.
std::atomic<int> WakeFd{ -1 };

extern "C" void WakeGuiThread(int)
{
    const int SavedErrno = errno;
    const char Byte = 1;
    // A full pipe already holds a wake-up; the byte is not needed then.
    [[maybe_unused]] const ssize_t Ignored = write(WakeFd.load(), &Byte, 1);
    errno = SavedErrno;
}

[[noreturn]] void RaiseSystemError(const char* What)
{
    throw std::runtime_error(
        std::string("Cannot watch the session's end: ") + What + ": " + std::strerror(errno));
}

// The pipe, the notifier and the previous handlers, while watchers live.
class TSignalPipe {
public:
    TSignalPipe()
    {
        int Ends[2];
        if (pipe2(Ends, O_CLOEXEC | O_NONBLOCK) != 0)
            RaiseSystemError("pipe");
        FReadFd = Ends[0];
        WakeFd = Ends[1];
        FNotifier = new QSocketNotifier(FReadFd, QSocketNotifier::Read);
        QObject::connect(FNotifier, &QSocketNotifier::activated, [this] { Drain(); });
        struct sigaction Action { };
        Action.sa_handler = WakeGuiThread;
        sigemptyset(&Action.sa_mask);
        Action.sa_flags = SA_RESTART;
        for (size_t Index = 0; Index < std::size(Signals); ++Index)
            if (sigaction(Signals[Index], &Action, &FPrevious[Index]) != 0) {
                Restore(Index);
                RaiseSystemError("sigaction");
            }
    }
    ~TSignalPipe() { Restore(std::size(Signals)); }
    TSignalPipe(const TSignalPipe&) = delete;
    TSignalPipe& operator=(const TSignalPipe&) = delete;

    std::vector<std::function<void()>*> Watchers;

private:
    void Drain()
    {
        char Bytes[64];
        while (read(FReadFd, Bytes, sizeof Bytes) > 0) { }
        DebugLog("session: end requested");
        // A watcher's call may end a watcher; the list is copied first.
        const auto Calls = Watchers;
        for (std::function<void()>* Call : Calls)
            if (std::find(Watchers.begin(), Watchers.end(), Call) != Watchers.end())
                (*Call)();
    }
    // Puts back the handlers of the first Count signals, then closes the pipe.
    void Restore(size_t Count)
    {
        for (size_t Index = 0; Index < Count; ++Index)
            sigaction(Signals[Index], &FPrevious[Index], nullptr);
        delete FNotifier;
        close(WakeFd.exchange(-1));
        close(FReadFd);
    }

    int FReadFd = -1;
    QSocketNotifier* FNotifier = nullptr;
    struct sigaction FPrevious[std::size(Signals)]{};
};

TSignalPipe* Pipe = nullptr;

} // namespace

TSessionEnd::TSessionEnd(QObject* Parent, std::function<void()> OnEnd)
    : QObject(Parent)
    , FOnEnd(std::move(OnEnd))
{
    if (!Pipe)
        Pipe = new TSignalPipe;
    Pipe->Watchers.push_back(&FOnEnd);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this] { FOnEnd(); });
}

TSessionEnd::~TSessionEnd()
{
    std::erase(Pipe->Watchers, &FOnEnd);
    if (Pipe->Watchers.empty()) {
        delete Pipe;
        Pipe = nullptr;
    }
}
