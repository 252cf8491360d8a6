// Whole recordings on the simulated card driven only through the window's handlers, with the
// files they leave decoded: a run that ends by itself with the bars fed, every listed bit rate,
// and a run that fills the disk. Needs the real encoder and libmpg123.
#include "FileSizeLimit.h"
#include "Mp3Check.h"
#include "RunNotices.h"
#include "WindowTestSupport.h"

#include <algorithm>
#include <filesystem>

namespace {

// A complete file decodes (without gapless trimming) to the encoder's delay of 576 + 529 frames,
// every frame fed in, and the padding of its last MP3 frame; delay and padding stay under three
// MP3 frames of 1152.
constexpr int64_t EncoderDelay = 576 + 529;
constexpr int64_t DelayAndPaddingBound = 3 * 1152;

class WindowFile : public TWindowTest {
protected:
    bool WaitUntilCaptured(int64_t Bytes)
    {
        return TestSupport::WaitUntil([&] { return Source().Position >= Bytes; });
    }
    // File holds exactly the frames the source captured, at Rate and Kbps.
    void ExpectCompleteFile(const std::string& File, long Rate, int Kbps)
    {
        const int64_t Captured = Source().Position / 4;
        const TMp3Decoded Decoded = DecodeMp3File(File);
        ASSERT_TRUE(Decoded.Ok) << Decoded.Error;
        EXPECT_EQ(Decoded.SampleRate, Rate);
        EXPECT_EQ(Decoded.Channels, 2);
        ASSERT_EQ(Decoded.FramesByBitRate.size(), 1u);
        EXPECT_EQ(Decoded.FramesByBitRate.begin()->first, Kbps);
        EXPECT_GE(Decoded.Frames, Captured + EncoderDelay) << "the run's end is missing";
        EXPECT_LE(Decoded.Frames, Captured + DelayAndPaddingBound);
    }
};

TEST_F(WindowFile, RunThatEndsByItselfFillsTheProgressThenEmptiesItAndTheFileHoldsItsDuration)
{
    const std::string File = FilePath("custom.mp3");
    OpenWithFile(File);
    (*Window)[TControl::SRate].Text = "22050";
    Window->Handle([](TMain& Main) { Main.SRateChange("22050"); });
    (*Window)[TControl::KBS].Text = "96";
    (*Window)[TControl::Secs].Text = "5";
    PressRecord();
    ExpectRecordingLook();
    EXPECT_EQ(Source().RecTime, 5);
    EXPECT_EQ(Source().InSampleRate, 22050);

    int HighestProgress = 0;
    ASSERT_TRUE(Window->PumpUntil([&] {
        HighestProgress = std::max(HighestProgress, (*Window)[TControl::Progres].Position);
        return Status() == "MP3 Done";
    }));
    EXPECT_EQ(HighestProgress, 100);
    ExpectIdleLook("MP3 Done");
    // The source may deliver one 16384-byte buffer beyond the duration.
    EXPECT_GE(Source().Position, 5 * 22050 * 4);
    EXPECT_LE(Source().Position, 5 * 22050 * 4 + 16384);
    ExpectCompleteFile(File, 22050, 96);

    // The timer shows the level analysed since its last tick, then nothing.
    Tick();
    EXPECT_GT((*Window)[TControl::Indicator].Position, 0);
    Tick();
    EXPECT_EQ((*Window)[TControl::Indicator].Position, 0);
}

// The window never records at a rate other than the one it shows: every entry of the list of
// either sample rate is the bit rate of every frame of its file, and the file is a two-channel
// stream at the sample rate shown, also at the low bit rates, where the encoder would otherwise
// choose a lower sample rate of its own.
TEST_F(WindowFile, EveryListedBitRateIsTheRateOfEveryFrameAtTheSampleRateShown)
{
    OpenWithFile(FilePath("rates.mp3"));
    for (const std::string SampleRate : { "22050", "44100" }) {
        (*Window)[TControl::SRate].Text = SampleRate;
        Window->Handle([&](TMain& Main) { Main.SRateChange(SampleRate); });
        for (const std::string& BitRate : (*Window)[TControl::KBS].Items) {
            const std::string File
                = FilePath(("rate-" + SampleRate + "-" + BitRate + ".mp3").c_str());
            ChooseFile(File);
            (*Window)[TControl::KBS].Text = BitRate;
            (*Window)[TControl::Secs].Text = "5";
            PressRecord();
            ASSERT_TRUE(Window->PumpUntil([&] { return !TMainTestAccess::Recording(Main()); }));
            ASSERT_EQ(Status(), "MP3 Done");
            const TMp3Decoded Decoded = DecodeMp3File(File);
            ASSERT_TRUE(Decoded.Ok) << Decoded.Error;
            ASSERT_EQ(Decoded.FramesByBitRate.size(), 1u) << SampleRate << " Hz, " << BitRate;
            EXPECT_EQ(Decoded.FramesByBitRate.begin()->first, std::stoi(BitRate))
                << SampleRate << " Hz";
            EXPECT_EQ(Decoded.SampleRate, std::stol(SampleRate)) << BitRate << " kbit/s";
            EXPECT_EQ(Decoded.Channels, 2) << SampleRate << " Hz, " << BitRate << " kbit/s";
        }
    }
}

// A disk with 300 KiB free that fills during the run (a limit on the process's file sizes stands
// in for it): the question comes, the run that goes on anyway ends with the disk's error naming
// the file, and the file keeps every byte that fit, the sound up to there decodable.
TEST_F(WindowFile, RunThatFillsTheDiskEndsWithItsErrorAndLeavesTheSoundThatFit)
{
    static constexpr std::uint64_t Room = 300 * 1024;
    const std::string File = FilePath("full.mp3");
    OpenWithFile(File);
    TMainTestAccess::Notices(Main()).FreeSpace
        = [](const std::string&) { return std::optional<uint64_t>(Room); };
    (*Window)[TControl::Secs].Text = "30"; // 480 000 bytes at 128 kbit/s
    {
        TFileSizeLimit FullAt(Room);
        PressRecord();
        ASSERT_EQ(Window->Questions.size(), 1u);
        ASSERT_TRUE(AwaitStatus("Error"));
    }
    ExpectIdleLook("Error");
    ASSERT_EQ(Window->Messages.size(), 1u);
    EXPECT_NE(Window->Messages[0].Text.find(File), std::string::npos) << Window->Messages[0].Text;

    EXPECT_EQ(std::filesystem::file_size(File), Room);
    const TMp3Decoded Decoded = DecodeMp3File(File);
    ASSERT_TRUE(Decoded.Ok) << Decoded.Error;
    EXPECT_EQ(Decoded.SampleRate, 44100);
    // MP3 frames of 417 or 418 bytes, of which the first may be the encoder's tag; the decoder
    // leaves out the start of the one that did not fit.
    const int64_t FramesThatFit = Decoded.Frames / 1152;
    EXPECT_EQ(Decoded.Frames % 1152, 0);
    EXPECT_GE(FramesThatFit, int64_t(Room / 418) - 1);
    EXPECT_LE(FramesThatFit, int64_t(Room / 417));
    EXPECT_EQ(Decoded.FramesByBitRate, (std::map<int, int>{ { 128, int(FramesThatFit) } }));
}

} // namespace
