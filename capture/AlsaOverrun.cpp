// What an overrun of the ALSA capture ring has lost.
#include "AlsaPcm.h"

#include <algorithm>

namespace Alsa {

uint64_t OverrunLostFrames(snd_pcm_t* Pcm, snd_pcm_uframes_t RingFrames, uint32_t Rate)
{
    uint64_t Lost = RingFrames;
    snd_pcm_status_t* Status;
    snd_pcm_status_alloca(&Status);
    if (snd_pcm_status(Pcm, Status) < 0)
        return Lost;
    snd_htimestamp_t Now, Stopped;
    snd_pcm_status_get_htstamp(Status, &Now);
    snd_pcm_status_get_trigger_htstamp(Status, &Stopped);
    const int64_t Nanoseconds = (int64_t(Now.tv_sec) - Stopped.tv_sec) * 1000000000
        + (int64_t(Now.tv_nsec) - Stopped.tv_nsec);
    Lost = std::max<uint64_t>(Lost, snd_pcm_status_get_avail(Status));
    if (Stopped.tv_sec != 0 && Nanoseconds > 0)
        Lost += static_cast<uint64_t>(Nanoseconds) * Rate / 1000000000;
    return Lost;
}

} // namespace Alsa
