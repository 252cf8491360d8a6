// Checks an MP3 file that a recording of the sound server's tone made, for tests outside this
// process (the program's end-to-end test): it decodes to its end, lasts at least the given
// seconds, and holds the tone at its level (within 1 dB) in every 100 ms window of its middle.
//   mp3_tone_check FILE MIN_SECONDS HZ AMPLITUDE16
// Prints what it found; exits 0 when all holds, 1 when not, 2 on wrong use.
#include "Mp3Decoding.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int Argc, char** Argv)
{
    if (Argc != 5) {
        std::fprintf(stderr, "usage: mp3_tone_check FILE MIN_SECONDS HZ AMPLITUDE16\n");
        return 2;
    }
    try {
        const double MinSeconds = std::atof(Argv[2]);
        const double Hz = std::atof(Argv[3]);
        const double Amplitude = std::atof(Argv[4]);
        const TDecodedMp3 Sound = DecodeMp3(Argv[1]);
        const double Seconds
            = Sound.SampleRate ? double(Sound.FramesPerChannel()) / Sound.SampleRate : 0;
        std::printf("decoded %s: %s, %ld Hz, %d channels, %.3f s\n", Argv[1],
            Sound.Clean ? "clean" : "with errors", Sound.SampleRate, Sound.Channels, Seconds);
        if (!Sound.Clean || Seconds < MinSeconds || Sound.Channels != 2)
            return 1;
        // The middle: past the encoder's delay and the first and last quarter second.
        const std::size_t Window = static_cast<std::size_t>(Sound.SampleRate / 10);
        const std::size_t From
            = static_cast<std::size_t>(Sound.SampleRate / 4) + DelayAndPaddingBound;
        const std::size_t To
            = Sound.FramesPerChannel() - static_cast<std::size_t>(Sound.SampleRate / 4);
        int Windows = 0;
        int Off = 0;
        for (std::size_t At = From; At + Window <= To; At += Window, ++Windows) {
            const double Db = Decibels(ToneAmplitude(Sound, 0, Hz, At, Window) / Amplitude);
            if (Db < -1 || Db > 1) {
                std::printf(
                    "window at %.2f s: the tone at %+.1f dB\n", double(At) / Sound.SampleRate, Db);
                ++Off;
            }
        }
        std::printf(
            "%d of %d windows hold the %.0f Hz tone within 1 dB\n", Windows - Off, Windows, Hz);
        return Windows > 0 && Off == 0 ? 0 : 1;
    } catch (const std::exception& E) {
        std::printf("cannot check %s: %s\n", Argv[1], E.what());
        return 1;
    }
}
