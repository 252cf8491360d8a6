// The MP3 sink with the real encoder: the files it writes are decoded with libmpg123 and
// checked for what is heard: format, bit rate in every frame header, length and content.
#include "ACS_LAME.h"
#include "FileSizeLimit.h"
#include "Mp3Decoding.h"
#include "ScriptedSource.h"
#include "SinkTestSupport.h"

#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>

namespace {

class MP3OutEncoding : public testing::Test {
protected:
    MP3OutEncoding()
    {
        Out.SetInput(&Source);
        Out.SetFileName(FileName);
    }

    TDecodedMp3 EncodeAndDecode()
    {
        Out.Run();
        EXPECT_TRUE(Watch.AwaitEnd()) << Watch.Failure();
        return DecodeMp3(FileName);
    }

    TTempDir Dir;
    std::string FileName = Dir.File("out.mp3");
    TScriptedSource Source;
    TMP3Out Out{ nullptr };
    TRunWatch Watch{ Out };
};

// ---------------------------------------------------------------------------------------------
// What is heard

class StereoSine : public MP3OutEncoding,
                   public testing::WithParamInterface<std::tuple<int, TMP3BitRate>> { };

TEST_P(StereoSine, DecodesToTheSameSineAtTheChosenRate)
{
    const auto [SampleRate, BitRate] = GetParam();
    Source.SampleRate = SampleRate;
    Source.Pcm = SinePcm(SampleRate, 2, 2.0, 1000, { 8000, 4000 });
    Source.BlockSizes = { 16384, 4000, 12 }; // short reads, all of whole frames
    Out.SetBitRate(BitRate);
    const TDecodedMp3 Sound = EncodeAndDecode();

    ASSERT_TRUE(Sound.Clean);
    EXPECT_EQ(Sound.Channels, 2);
    EXPECT_EQ(Sound.SampleRate, SampleRate);
    EXPECT_EQ(
        Sound.FramesByBitRate, (std::map<int, int>{ { MP3BitRateKbps(BitRate), Sound.Frames } }));
    ExpectLengthOf(Sound, 2 * SampleRate, 16384 / 4);

    const std::size_t From = SampleRate / 4, Count = SampleRate; // one second, whole cycles
    ExpectTone(Sound, 0, 8000, From, Count);
    ExpectTone(Sound, 1, 4000, From, Count); // the right channel stays right
}

INSTANTIATE_TEST_SUITE_P(Rates, StereoSine,
    testing::Values(std::tuple{ 44100, br128 }, std::tuple{ 44100, br320 },
        std::tuple{ 22050, br64 }, std::tuple{ 22050, br160 }));

TEST_F(MP3OutEncoding, MonoInputGivesTwoEqualChannels)
{
    Source.Channels = 1;
    Source.Pcm = SinePcm(44100, 1, 1.0, 1000, { 6000 });
    const TDecodedMp3 Sound = EncodeAndDecode();

    ASSERT_TRUE(Sound.Clean);
    EXPECT_EQ(Sound.Channels, 2);
    EXPECT_EQ(Sound.SampleRate, 44100);
    ExpectLengthOf(Sound, 44100, 16384 / 2);
    EXPECT_LE(MaxChannelDifference(Sound), 1);
    ExpectTone(Sound, 0, 6000, 11025, 22050);
}

TEST_F(MP3OutEncoding, StopDuringARunLeavesACompleteShorterFile)
{
    Source.SampleRate = 22050;
    Source.Pcm = SinePcm(22050, 2, 10.0, 1000, { 8000 });
    const int64_t OneSecond = 22050 * 4;
    Source.AfterRead = [&](int64_t Delivered) {
        if (Delivered >= OneSecond && Delivered - 16384 < OneSecond)
            Out.Stop();
    };
    const TDecodedMp3 Sound = EncodeAndDecode();

    EXPECT_EQ(Watch.Done.Count(), 1);
    ASSERT_TRUE(Sound.Clean);
    EXPECT_EQ(Sound.Channels, 2);
    ExpectLengthOf(Sound, 22050, 16384 / 4);
    EXPECT_EQ(Source.FlushCount, 1);
}

TEST_F(MP3OutEncoding, ExistingFileIsTruncated)
{
    {
        std::ofstream Old(FileName, std::ios::binary);
        Old << std::string(200000, 'x');
    }
    Source.Pcm = SinePcm(44100, 2, 0.5, 1000, { 8000 });
    const TDecodedMp3 Sound = EncodeAndDecode();

    const std::string Bytes = ReadFile(FileName);
    EXPECT_LT(Bytes.size(), 200000u);
    EXPECT_EQ(Bytes.find("xxxxxxxx"), std::string::npos) << "old bytes are left in the file";
    EXPECT_TRUE(Sound.Clean);
    ExpectLengthOf(Sound, 22050, 16384 / 4);
}

TEST_F(MP3OutEncoding, TagsReachTheEndOfTheFile)
{
    Source.Pcm = SinePcm(44100, 2, 0.5, 1000, { 8000 });
    Out.SetId3TagArtist("Corvatone");
    Out.SetId3TagYear("2024");
    Source.AfterRead = [&](int64_t) { Out.SetId3TagTitle("Set during the run"); };
    EXPECT_TRUE(EncodeAndDecode().Clean);

    const std::string Bytes = ReadFile(FileName);
    ASSERT_GE(Bytes.size(), 128u);
    const std::string Tag = Bytes.substr(Bytes.size() - 128);
    EXPECT_EQ(Tag.substr(0, 3), "TAG");
    EXPECT_EQ(Tag.substr(3, 18), "Set during the run");
    EXPECT_EQ(Tag.substr(33, 9), "Corvatone");
    EXPECT_EQ(Tag.substr(93, 4), "2024");
}

// ---------------------------------------------------------------------------------------------
// A disk that fills during the run (a limit on the process's file sizes stands in for it)

TEST_F(MP3OutEncoding, FullDiskEndsTheRunWithTheWritesErrorAndKeepsEveryByteThatFit)
{
    Source.Pcm = SinePcm(44100, 2, 10.0, 1000, { 8000, 4000 }); // 160 000 bytes at 128 kbit/s
    constexpr std::size_t Room = 65536; // about 4 s
    {
        TFileSizeLimit FullAt(Room);
        Out.Run();
        EXPECT_FALSE(Watch.AwaitEnd()) << "the run reported success on a full disk";
    }
    EXPECT_EQ(Watch.Done.Count(), 0);
    EXPECT_EQ(Watch.Failure().rfind("Cannot write to file \"" + FileName + "\": ", 0), 0u)
        << Watch.Failure();

    // Every byte up to the full disk is in the file: whole MP3 frames of 417 or 418 bytes and the
    // start of the one that did not fit, which the decoder leaves out.
    EXPECT_EQ(ReadFile(FileName).size(), Room);
    const TDecodedMp3 Sound = DecodeMp3(FileName);
    EXPECT_EQ(Sound.Channels, 2);
    EXPECT_EQ(Sound.SampleRate, 44100);
    EXPECT_GE(Sound.Frames, int(Room / 418) - 1); // the first frame may be the encoder's tag
    EXPECT_LE(Sound.Frames, int(Room / 417));
    EXPECT_EQ(Sound.FramesByBitRate, (std::map<int, int>{ { 128, Sound.Frames } }));
    const std::size_t From = 44100 / 4, Count = 3 * 44100; // three seconds, whole cycles
    ASSERT_GE(Sound.FramesPerChannel(), From + Count);
    ExpectTone(Sound, 0, 8000, From, Count);
    ExpectTone(Sound, 1, 4000, From, Count);
}

// ---------------------------------------------------------------------------------------------
// Bit rates: the sink passes every rate unchanged and keeps the input's sample rate; where a rate
// does not exist at that sample rate, the encoder substitutes one that does.

struct TRateCase {
    int SampleRate;
    TMP3BitRate BitRate;
    int HeardKbps;
};

std::vector<TRateCase> RateCases()
{
    std::vector<TRateCase> Cases;
    for (int SampleRate : { 44100, 22050 })
        for (int Rate = br8; Rate <= br320; ++Rate) {
            const auto BitRate = static_cast<TMP3BitRate>(Rate);
            Cases.push_back({ SampleRate, BitRate, EncoderSubstitute(SampleRate, BitRate) });
        }
    return Cases;
}

TEST(MP3OutBitRates, EveryFrameHeaderCarriesTheChosenRateOrTheEncodersSubstituteAtTheInputsRate)
{
    TTempDir Dir;
    for (const TRateCase& Case : RateCases()) {
        SCOPED_TRACE(std::to_string(Case.SampleRate) + " Hz, "
            + std::to_string(MP3BitRateKbps(Case.BitRate)) + " kbit/s");
        TScriptedSource Source;
        Source.SampleRate = Case.SampleRate;
        Source.Pcm = SinePcm(Case.SampleRate, 2, 0.5, 1000, { 8000 });
        TMP3Out Out(nullptr);
        TRunWatch Watch(Out);
        Out.SetInput(&Source);
        Out.SetFileName(Dir.File("rate.mp3"));
        Out.SetBitRate(Case.BitRate);
        Out.Run();
        ASSERT_TRUE(Watch.AwaitEnd()) << Watch.Failure();

        const TDecodedMp3 Sound = DecodeMp3(Dir.File("rate.mp3"));
        EXPECT_TRUE(Sound.Clean);
        EXPECT_EQ(Sound.Channels, 2);
        EXPECT_EQ(Sound.FramesByBitRate, (std::map<int, int>{ { Case.HeardKbps, Sound.Frames } }));
        EXPECT_EQ(Sound.SampleRate, Case.SampleRate) << "the encoder resampled";
    }
}

} // namespace
