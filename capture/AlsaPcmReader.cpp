// Reading a capture PCM on the capture thread (TPcmReader, AlsaPcm.h).
#include "AlsaPcm.h"

#include <algorithm>
#include <poll.h>

namespace Alsa {

namespace {

constexpr auto IdleWakeupPause = std::chrono::milliseconds(5);

} // namespace

void TPcmReader::DrainWake()
{
    uint64_t Count;
    [[maybe_unused]] auto Read = read(FWake.Get(), &Count, sizeof Count);
}

int TPcmReader::ReadFrames(uint8_t* Data, snd_pcm_uframes_t Frames, bool Wait)
{
    while (!FInterrupt) {
        if (FBeforeRead)
            FBeforeRead();
        const snd_pcm_sframes_t Read = snd_pcm_readi(FPcm.Get(), Data, Frames);
        if (Read >= 0)
            return static_cast<int>(Read);
        if (Read == -EAGAIN && !Wait)
            return 0;
        if (Read == -EAGAIN)
            AwaitInput();
        else if (int Error = Recover(static_cast<int>(Read)); Error < 0)
            return Error;
    }
    return 0;
}

int TPcmReader::Recover(int Error)
{
    if (Error == -ESTRPIPE) {
        const int Resumed = snd_pcm_resume(FPcm.Get());
        if (Resumed == -EAGAIN) {
            AwaitWake(std::chrono::milliseconds(100)); // the driver is still resuming
            return 0;
        }
        if (Resumed >= 0)
            return 0;
    } else if (Error == -EPIPE) {
        CountOverrun();
    } else {
        return Error;
    }
    if ((Error = snd_pcm_prepare(FPcm.Get())) < 0)
        return Error;
    return std::min(0, snd_pcm_start(FPcm.Get()));
}

void TPcmReader::CountOverrun()
{
    FLosses.Overrun(OverrunLostFrames(FPcm.Get(), FRingFrames, FRate));
    FDropping = true; // sound dropped right after the recovery belongs to this dropout
}

void TPcmReader::AwaitInput()
{
    const auto Count = static_cast<size_t>(std::max(0, snd_pcm_poll_descriptors_count(FPcm.Get())));
    if (FPollFds.size() < Count + 1)
        FPollFds.resize(Count + 1); // once: a PCM keeps its descriptors
    pollfd* Fds = FPollFds.data();
    Fds[0] = { FWake.Get(), POLLIN, 0 };
    snd_pcm_poll_descriptors(FPcm.Get(), Fds + 1, static_cast<unsigned>(Count));
    if (poll(Fds, Count + 1, static_cast<int>(FDropAfter.count()) * 2) <= 0)
        return;
    const bool Woken = Fds[0].revents & POLLIN;
    if (Woken)
        DrainWake();
    unsigned short Events = 0;
    snd_pcm_poll_descriptors_revents(FPcm.Get(), Fds + 1, static_cast<unsigned>(Count), &Events);
    if (!Woken && (Events & (POLLIN | POLLERR | POLLHUP | POLLNVAL)) == 0) {
        // The PCM's descriptors woke poll without sound to read: a sound server's plugin
        // does so while its stream is starting. Waiting a little keeps the thread from
        // spinning on poll until the sound comes.
        ++FIdleWakeups;
        AwaitWake(IdleWakeupPause);
    }
}

void TPcmReader::AwaitWake(std::chrono::milliseconds Bound)
{
    pollfd Fd{ FWake.Get(), POLLIN, 0 };
    if (poll(&Fd, 1, static_cast<int>(Bound.count())) > 0)
        DrainWake();
}

} // namespace Alsa
