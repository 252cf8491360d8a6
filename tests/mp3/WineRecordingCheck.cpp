// The Linux half of the Windows chain tests: decodes with libmpg123 the MP3 files that
// WinmmChainTest and WinmmServerLossTest recorded under Wine into CORVATONE_RECORDINGS, from a
// private sound server's 440 Hz tone at half of full scale. The Windows build's CTest runs this
// program of the Linux build (CORVATONE_HOST_BUILD) after those tests; alone it checks nothing.
#include "Mp3Decoding.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

constexpr double ToneHz = 440;
constexpr double ToneLevel = 16384;

std::string Recording(const std::u8string& Name)
{
    const char* Folder = std::getenv("CORVATONE_RECORDINGS");
    if (!Folder)
        throw std::runtime_error("CORVATONE_RECORDINGS names no folder");
    const std::u8string Path = (std::filesystem::path(Folder) / Name).u8string();
    return std::string(Path.begin(), Path.end());
}

// A complete two-channel 44100 Hz stream at 128 kbit/s in every frame.
void ExpectCompleteStream(const TDecodedMp3& Sound)
{
    EXPECT_TRUE(Sound.Clean) << "decoding stopped at an error";
    EXPECT_EQ(Sound.Channels, 2);
    EXPECT_EQ(Sound.SampleRate, 44100);
    EXPECT_EQ(Sound.FramesByBitRate, (std::map<int, int>{ { 128, Sound.Frames } }));
}

// The tone in both channels over Count frames from First, within 1 dB.
void ExpectTheTone(const TDecodedMp3& Sound, std::size_t First, std::size_t Count)
{
    for (int Channel = 0; Channel < 2; ++Channel) {
        const double Heard = ToneAmplitude(Sound, Channel, ToneHz, First, Count);
        EXPECT_NEAR(Decibels(Heard / ToneLevel), 0.0, 1.0) << "channel " << Channel;
        // Nothing else of note beside it: the tone carries nearly all of the power.
        const double Total = Rms(Sound, Channel, First, Count);
        EXPECT_GT(Heard / std::sqrt(2.0) / Total, 0.95) << "channel " << Channel;
    }
}

TEST(WineRecordingCheck, UnicodeNamedRecordingHoldsThreeSecondsOfTheTone)
{
    const TDecodedMp3 Sound = DecodeMp3(Recording(u8"Записи/Ünïcödé ☃.mp3"));
    ExpectCompleteStream(Sound);
    ExpectLengthOf(Sound, 3 * 44100, 16384 / 4);
    // The server may open the stream with a little silence; the last two seconds are the tone.
    ExpectTheTone(Sound, 44100, 2 * 44100);
}

TEST(WineRecordingCheck, PausedRecordingHoldsItsFullLength)
{
    const TDecodedMp3 Sound = DecodeMp3(Recording(u8"paused.mp3"));
    ExpectCompleteStream(Sound);
    ExpectLengthOf(Sound, 3 * 44100, 16384 / 4);
    ExpectTheTone(Sound, 2 * 44100, 44100 / 2);
}

TEST(WineRecordingCheck, RecordingCutByTheServersLossIsComplete)
{
    const TDecodedMp3 Sound = DecodeMp3(Recording(u8"server-lost.mp3"));
    ExpectCompleteStream(Sound);
    // At least the 4.5 % (2.7 s) that the test waited for, far from the 60 seconds asked for.
    EXPECT_GE(Sound.FramesPerChannel(), 60 * 44100 * 45 / 1000);
    EXPECT_LT(Sound.FramesPerChannel(), 30 * 44100);
    // The server may open the stream with a little silence; the tone follows it.
    ExpectTheTone(Sound, 3 * 44100 / 2, 44100);
}

} // namespace
