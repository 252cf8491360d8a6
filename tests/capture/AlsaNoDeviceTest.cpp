// What the unit offers on a machine without any sound card and without ALSA configuration: no
// device at all, so the window's stored BaseChannel 0 is refused at start-up. CTest points
// XDG_CONFIG_HOME at an empty folder; a machine that has a card (or a sound server behind
// ALSA's "default") skips the test.
#include "ACS_Audio.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

namespace {

// ALSA explains on stderr why "default" cannot be opened; here that is the expected answer.
void Quiet(const char*, int, const char*, int, const char*, ...) { }

bool MachineHasSound()
{
    int Card = -1;
    if (snd_card_next(&Card) >= 0 && Card >= 0)
        return true;
    snd_lib_error_set_handler(&Quiet);
    snd_pcm_t* Pcm = nullptr;
    const bool Opened
        = snd_pcm_open(&Pcm, "default", SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK) >= 0;
    if (Opened)
        snd_pcm_close(Pcm);
    snd_lib_error_set_handler(nullptr);
    return Opened;
}

TEST(AlsaNoDeviceTest, NoCardMeansNoDeviceAtAll)
{
    if (MachineHasSound())
        GTEST_SKIP() << "this machine has a sound card or a sound server";
    EXPECT_EQ(WaveInDeviceCount(), 0);
    EXPECT_EQ(WaveOutDeviceCount(), 0);
    TAudioIn AudIn(nullptr);
    try {
        AudIn.SetBaseChannel(0);
        FAIL() << "device 0 was accepted";
    } catch (const EACSException& E) {
        EXPECT_STREQ(E.what(), "Channel 0 is not available");
    }
    TWaveDeviceInfo Info;
    EXPECT_THROW(GetWaveDeviceInfo(0, false, Info), EACSException);
    EXPECT_THROW(AudIn.Init(), EACSException); // the source's own device 0 cannot be opened
    EXPECT_FALSE(AudIn.Busy);
}

} // namespace
