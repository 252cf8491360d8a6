// The MP3 sink against a fake encoder library that records every call: block accounting, the
// order of the encoder calls, progress reports and every failure path of a run.
#include "ACS_Indicator.h"
#include "ACS_LAME.h"
#include "FakeLameState.h"
#include "LibraryLoader.h"
#include "OpenFileCheck.h"
#include "ScriptedSource.h"
#include "SinkTestSupport.h"
#include "lame.h"

#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace {

using TestSupport::TSignal;

const std::string Flushed = FakeLameFlushBytes;

std::string Encoded(std::size_t FramesOrSamples)
{
    return std::string(FramesOrSamples, 'e');
}

// The sink under test.
class TObservedMP3Out : public TMP3Out {
public:
    using TMP3Out::TMP3Out;
    // As every concrete sink: the worker ends before this object's part of it goes.
    ~TObservedMP3Out() override { TerminateWorker(); }
};

class MP3OutWithFakeEncoder : public testing::Test {
public: // open to the case tables below
    void SetUp() override { UseLibrary(FAKE_LAME_PATH); }

    void UseLibrary(const char* Path)
    {
        lame::SetEncoderLibraryFileNameForTests(Path);
        // The test's own reference keeps the fake (and its record) alive across sinks.
        FFake = dlopen(Path, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(FFake, nullptr) << dlerror();
        Fake = reinterpret_cast<TFakeLameStateFunction>(dlsym(FFake, FakeLameStateName))();
        Fake->Reset();
        Out = std::make_unique<TObservedMP3Out>(nullptr);
        Out->SetInput(&Source);
        Out->SetFileName(FileName);
        Watch = std::make_unique<TRunWatch>(*Out);
    }

    void TearDown() override
    {
        Out.reset();
        EXPECT_FALSE(lame::EncoderLibraryLoaded()) << "the last sink kept the library";
        if (FFake)
            dlclose(FFake);
        lame::SetEncoderLibraryFileNameForTests(lame::Loader::EncoderLibraryFileName());
    }

    // Runs to the end; true when the run ended through OnDone.
    bool RunToEnd(int Runs = 1)
    {
        Out->Run();
        return Watch->AwaitEnd(Runs);
    }

    int OpenHandles()
    {
        std::lock_guard Lock(Fake->Lock);
        return Fake->OpenHandles;
    }

    TTempDir Dir;
    std::string FileName = Dir.File("out.mp3");
    TScriptedSource Source;
    void* FFake = nullptr;
    TFakeLameState* Fake = nullptr;
    std::unique_ptr<TObservedMP3Out> Out;
    std::unique_ptr<TRunWatch> Watch;
};

// ---------------------------------------------------------------------------------------------
// Block accounting

TEST_F(MP3OutWithFakeEncoder, StereoBlocksAreEncodedAsWholeFrames)
{
    Source.Pcm.assign(2 * 16384 + 6, 0);
    Source.BlockSizes = { 16384, 16384, 6 };
    ASSERT_TRUE(RunToEnd());

    const auto Calls = Fake->CallsNamed("lame_encode_buffer_interleaved");
    ASSERT_EQ(Calls.size(), 3u);
    EXPECT_EQ(Calls[0].Value, 4096);
    EXPECT_EQ(Calls[1].Value, 4096);
    EXPECT_EQ(Calls[2].Value, 1) << "a 6-byte block is one frame, its last 2 bytes dropped";
    for (const auto& Call : Calls)
        EXPECT_EQ(Call.BufferSize, 17440);
    EXPECT_TRUE(Fake->CallsNamed("lame_encode_buffer").empty());
    EXPECT_EQ(ReadFile(FileName), Encoded(8193) + Flushed);
}

TEST_F(MP3OutWithFakeEncoder, MonoBlocksGiveTheSameSamplesAsBothChannels)
{
    Source.Channels = 1;
    Source.Pcm.assign(16384 + 3, 0);
    Source.BlockSizes = { 16384, 3 };
    ASSERT_TRUE(RunToEnd());

    const auto Calls = Fake->CallsNamed("lame_encode_buffer");
    ASSERT_EQ(Calls.size(), 2u);
    EXPECT_EQ(Calls[0].Value, 8192);
    EXPECT_EQ(Calls[1].Value, 1) << "a 3-byte block is one sample";
    for (const auto& Call : Calls) {
        EXPECT_EQ(Call.Left, Call.Right);
        EXPECT_EQ(Call.BufferSize, 17440);
    }
    EXPECT_EQ(ReadFile(FileName), Encoded(8193) + Flushed);
}

TEST_F(MP3OutWithFakeEncoder, FirstReadOfNothingGivesAFileOfJustTheFlush)
{
    ASSERT_TRUE(RunToEnd());
    EXPECT_TRUE(Fake->CallsNamed("lame_encode_buffer_interleaved").empty());
    EXPECT_EQ(ReadFile(FileName), Flushed);
}

TEST_F(MP3OutWithFakeEncoder, RunMakesTheEncoderCallsInOrder)
{
    Source.Channels = 1;
    Source.SampleRate = 22050;
    Source.Pcm.assign(1000, 0);
    Out->SetBitRate(br144);
    Out->SetId3TagArtist("Someone");
    ASSERT_TRUE(RunToEnd());

    const std::vector<std::string> Expected{ "lame_init", "lame_set_num_samples",
        "lame_set_in_samplerate", "lame_set_out_samplerate", "lame_set_num_channels",
        "lame_set_brate", "lame_init_params", "lame_encode_buffer", "id3tag_init",
        "id3tag_set_title", "id3tag_set_artist", "id3tag_set_album", "id3tag_set_year",
        "id3tag_set_track", "id3tag_set_comment", "lame_encode_flush", "lame_close" };
    ASSERT_EQ(Fake->CallNames(), Expected);
    EXPECT_EQ(Fake->CallsNamed("lame_set_num_samples")[0].Value, 500);
    EXPECT_EQ(Fake->CallsNamed("lame_set_in_samplerate")[0].Value, 22050);
    EXPECT_EQ(Fake->CallsNamed("lame_set_out_samplerate")[0].Value, 22050)
        << "the file keeps the input's sample rate";
    EXPECT_EQ(Fake->CallsNamed("lame_set_num_channels")[0].Value, 2) << "always two channels";
    EXPECT_EQ(Fake->CallsNamed("lame_set_brate")[0].Value, 144);
    EXPECT_EQ(Fake->CallsNamed("id3tag_set_artist")[0].Text, "Someone");
    for (const char* EmptyTag : { "id3tag_set_title", "id3tag_set_album", "id3tag_set_year",
             "id3tag_set_track", "id3tag_set_comment" })
        EXPECT_EQ(Fake->CallsNamed(EmptyTag)[0].Text, "") << EmptyTag;
    EXPECT_EQ(Source.InitCount, 1);
    EXPECT_EQ(Source.FlushCount, 1);
    EXPECT_EQ(OpenHandles(), 0);
}

// ---------------------------------------------------------------------------------------------
// Progress

TEST_F(MP3OutWithFakeEncoder, ProgressIsReportedOnlyWhenThePercentageChanges)
{
    Source.Pcm.assign(300 * 4, 0);
    Source.BlockSizes = { 4 };
    std::vector<int32_t> Reported;
    Out->OnProgress = [&](TComponent*) { Reported.push_back(Out->Progress()); };
    ASSERT_TRUE(RunToEnd());

    std::vector<int32_t> Expected;
    for (int32_t Percent = 1; Percent <= 100; ++Percent)
        Expected.push_back(Percent);
    EXPECT_EQ(Reported, Expected);
}

TEST_F(MP3OutWithFakeEncoder, ProgressWithoutPlannedTotalIsReportedOnceAcrossRuns)
{
    Source.Pcm.assign(64, 0);
    Source.BlockSizes = { 4 };
    Source.PlannedSize = false;
    TSignal Reported;
    Out->OnProgress = [&](TComponent*) { Reported.Raise(); };
    ASSERT_TRUE(RunToEnd(1));
    EXPECT_EQ(Reported.Count(), 1);
    EXPECT_TRUE(Fake->CallsNamed("lame_set_num_samples").empty()) << "no length without a total";
    ASSERT_TRUE(RunToEnd(2));
    EXPECT_EQ(Reported.Count(), 1) << "-1 again is no change";

    Source.PlannedSize = true; // 0 % at the first step of the next run differs from -1
    ASSERT_TRUE(RunToEnd(3));
    EXPECT_GE(Reported.Count(), 2);
}

// ---------------------------------------------------------------------------------------------
// Runs that cannot start: each failure reaches only OnThreadException, on the caller's thread,
// and nothing that Prepare opened stays open.

struct TStartFailure {
    const char* Name;
    std::function<void(MP3OutWithFakeEncoder&)> Arrange;
    std::string Message; // the whole message, or a part of it when Partial
    bool Partial;
    std::vector<std::string> EncoderCalls;
    int InputFlushes; // 1 when the input had started
};

// Cases show by their names in test listings.
void PrintTo(const TStartFailure& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

class MP3OutStartFailure : public MP3OutWithFakeEncoder,
                           public testing::WithParamInterface<TStartFailure> { };

TEST_P(MP3OutStartFailure, IsReportedAndLeavesNothingOpen)
{
    const std::string Precious = "an earlier recording";
    std::ofstream(FileName, std::ios::binary) << Precious;
    GetParam().Arrange(*this);
    Out->Run();
    EXPECT_EQ(ReadFile(FileName), Precious) << "a start that fails leaves the file as it was";
    ASSERT_EQ(Watch->Failed.Count(), 1);
    if (GetParam().Partial)
        EXPECT_NE(Watch->Failure().find(GetParam().Message), std::string::npos) << Watch->Failure();
    else
        EXPECT_EQ(Watch->Failure(), GetParam().Message);
    EXPECT_EQ(Out->Status(), osIdle);
    EXPECT_FALSE(FileIsOpen(FileName));
    EXPECT_EQ(OpenHandles(), 0);
    EXPECT_EQ(Fake->CallNames(), GetParam().EncoderCalls);
    EXPECT_EQ(Source.FlushCount, GetParam().InputFlushes);
}

INSTANTIATE_TEST_SUITE_P(Prepare, MP3OutStartFailure,
    testing::Values(TStartFailure{ "EmptyFileName", [](auto& T) { T.Out->SetFileName(""); },
                        "File name is not assigned.", false, {}, 0 },
        TStartFailure{ "FileCannotBeCreated",
            [](auto& T) { T.Out->SetFileName(T.Dir.File("no-such-folder/out.mp3")); },
            "no-such-folder/out.mp3\": No such file or directory", true,
            { "lame_init", "lame_set_in_samplerate", "lame_set_out_samplerate",
                "lame_set_num_channels", "lame_set_brate", "lame_init_params", "lame_close" },
            1 },
        TStartFailure{ "InputOf8BitSamples", [](auto& T) { T.Source.BitsPerSample = 8; },
            "The MP3 encoder takes 16-bit samples; the input delivers 8-bit samples.", false, {},
            0 },
        TStartFailure{ "InputInitRaises", [](auto& T) { T.Source.InitRaises = true; },
            "The scripted source refuses to start", false, {}, 0 },
        TStartFailure{ "EncoderGivesNoHandle", [](auto& T) { T.Fake->InitYieldsNull = true; },
            "The MP3 encoder could not be created (lame_init gave no handle).", false,
            { "lame_init" }, 1 },
        TStartFailure{ "EncoderRefusesSettings", [](auto& T) { T.Fake->InitParamsResult = -1; },
            "The MP3 encoder refused its settings: 44100 Hz, 128 kbit/s, 2 channels.", false,
            { "lame_init", "lame_set_in_samplerate", "lame_set_out_samplerate",
                "lame_set_num_channels", "lame_set_brate", "lame_init_params", "lame_close" },
            1 }),
    [](const testing::TestParamInfo<TStartFailure>& Info) { return Info.param.Name; });

// ---------------------------------------------------------------------------------------------
// Runs that fail on the way: the file is finished as far as it can be and closed, the encoder
// released once, the input flushed once, and OnThreadException raised instead of OnDone.

struct TRunFailure {
    const char* Name;
    std::function<void(MP3OutWithFakeEncoder&)> Arrange;
    std::string Message;
};

void PrintTo(const TRunFailure& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

class MP3OutRunFailure : public MP3OutWithFakeEncoder,
                         public testing::WithParamInterface<TRunFailure> { };

TEST_P(MP3OutRunFailure, FailsTheRunWithEverythingReleased)
{
    Source.Pcm.assign(64, 0);
    GetParam().Arrange(*this);
    EXPECT_FALSE(RunToEnd());
    EXPECT_EQ(Watch->Failure(), GetParam().Message);
    EXPECT_EQ(Watch->Done.Count(), 0);
    EXPECT_EQ(Out->Status(), osIdle);
    EXPECT_FALSE(FileIsOpen(Out->GetFileName()));
    EXPECT_EQ(OpenHandles(), 0);
    // A Done that raised is called again by the failure handling; the second call does nothing.
    EXPECT_EQ(Fake->CallsNamed("lame_encode_flush").size(), 1u);
    EXPECT_EQ(Fake->CallsNamed("lame_close").size(), 1u);
    EXPECT_EQ(Source.FlushCount, 1);
}

INSTANTIATE_TEST_SUITE_P(Worker, MP3OutRunFailure,
    testing::Values(
        TRunFailure{ "EncoderFailsOnABlock", [](auto& T) { T.Fake->EncodeFails = true; },
            "The MP3 encoder failed on a block (error -1)." },
        TRunFailure{ "EncoderFailsToFlush", [](auto& T) { T.Fake->FlushFails = true; },
            "The MP3 encoder failed to flush its last frames (error -1)." },
        TRunFailure{ "DiskIsFull", [](auto& T) { T.Out->SetFileName("/dev/full"); },
            "Cannot write to file \"/dev/full\": No space left on device" }),
    [](const testing::TestParamInfo<TRunFailure>& Info) { return Info.param.Name; });

TEST_F(MP3OutWithFakeEncoder, FailedBlockStillCompletesTheFileAndTheNextRunStartsAfresh)
{
    Source.Pcm.assign(64, 0);
    Fake->EncodeFails = true;
    EXPECT_FALSE(RunToEnd(1));
    EXPECT_EQ(ReadFile(FileName), Flushed);
    Fake->EncodeFails = false;
    Out->Run();
    ASSERT_TRUE(Watch->Done.WaitFor(1));
    EXPECT_EQ(ReadFile(FileName), Encoded(16) + Flushed);
}

// A block's format travels with its bytes. The indicator's input is exchanged between a stereo and
// a mono source, each time after a read from the new one; the indicator lets a format query of
// the worker wait for the next exchange, the worst moment for a sink that asks the format after
// the read. Stereo blocks are 16384 bytes (4096 frames), mono ones 1000 bytes (500 samples): a
// block encoded with the other input's format shows as another count.
TEST_F(MP3OutWithFakeEncoder, EveryBlockIsEncodedWithTheFormatOfTheInputThatDeliveredIt)
{
    constexpr int Exchanges = 100;
    TSignal Read, Exchanged;
    std::atomic<int> ExchangesAtRead{ 0 };
    class TLateIndicator : public TSoundIndicator {
    public:
        TLateIndicator(TSignal& AExchanged, std::atomic<int>& AExchangesAtRead)
            : TSoundIndicator(nullptr)
            , Exchanged(AExchanged)
            , ExchangesAtRead(AExchangesAtRead)
        {
        }
        int32_t GetBitsPerSample() override
        {
            AwaitExchange();
            return TSoundIndicator::GetBitsPerSample();
        }
        int32_t GetChannels() override
        {
            AwaitExchange();
            return TSoundIndicator::GetChannels();
        }

    private:
        void AwaitExchange()
        {
            const int Before = ExchangesAtRead;
            if (std::this_thread::get_id() != Owner && Before < Exchanges) {
                EXPECT_TRUE(Exchanged.WaitFor(Before + 1));
            }
        }
        TSignal& Exchanged;
        std::atomic<int>& ExchangesAtRead;
        const std::thread::id Owner = std::this_thread::get_id();
    } Indicator(Exchanged, ExchangesAtRead);
    TScriptedSource Stereo, Mono;
    Mono.Channels = 1;
    for (TScriptedSource* In : { &Stereo, &Mono }) {
        In->Endless = true;
        In->AfterRead = [&](int64_t) {
            ExchangesAtRead = Exchanged.Count();
            Read.Raise();
        };
    }
    Stereo.BlockSizes = { 16384 };
    Mono.BlockSizes = { 1000 };
    Indicator.SetInput(&Stereo);
    Out->SetInput(&Indicator);
    Out->Run();
    int ReadsBefore = 0; // reads that had begun before the last exchange
    for (int Exchange = 1; Exchange <= Exchanges; ++Exchange) {
        ASSERT_TRUE(Read.WaitFor(ReadsBefore + 1));
        Indicator.SetInput(Exchange % 2 ? &Mono : static_cast<TACSInput*>(&Stereo));
        ReadsBefore = Read.Count();
        Exchanged.Raise();
    }
    Out->Stop();
    ASSERT_TRUE(Watch->AwaitEnd()) << Watch->Failure();

    const auto StereoCalls = Fake->CallsNamed("lame_encode_buffer_interleaved");
    const auto MonoCalls = Fake->CallsNamed("lame_encode_buffer");
    EXPECT_GE(StereoCalls.size() + MonoCalls.size(), static_cast<size_t>(Exchanges));
    EXPECT_FALSE(StereoCalls.empty());
    EXPECT_FALSE(MonoCalls.empty());
    for (const auto& Call : StereoCalls)
        EXPECT_EQ(Call.Value, 4096) << "a mono block encoded as stereo frames";
    for (const auto& Call : MonoCalls)
        EXPECT_EQ(Call.Value, 500) << "a stereo block encoded as mono samples";
}

// ---------------------------------------------------------------------------------------------
// Destroying the sink during a run abandons the run without Done, releasing what it held.

class MP3OutDestroyedDuringARun : public MP3OutWithFakeEncoder,
                                  public testing::WithParamInterface<bool> { };

TEST_P(MP3OutDestroyedDuringARun, ReleasesTheFileTheEncoderAndTheInput)
{
    const bool Paused = GetParam();
    Source.Endless = true;
    Source.BlockSizes = { 4096 };
    TSignal Reading;
    Source.AfterRead = [&](int64_t) {
        if (Paused)
            Out->Pause();
        Reading.Raise();
    };
    Out->Run();
    ASSERT_TRUE(Reading.WaitFor(Paused ? 1 : 3));
    EXPECT_EQ(Out->Status(), Paused ? osPaused : osBusy);
    EXPECT_TRUE(FileIsOpen(FileName)) << "the run writes its file";
    Out.reset();

    EXPECT_EQ(OpenHandles(), 0);
    EXPECT_FALSE(FileIsOpen(FileName));
    EXPECT_EQ(Source.FlushCount, 1);
    EXPECT_EQ(Watch->Done.Count() + Watch->Failed.Count(), 0);
    EXPECT_TRUE(Fake->CallsNamed("lame_encode_flush").empty()) << "Done is not called";
}

INSTANTIATE_TEST_SUITE_P(RunningOrPaused, MP3OutDestroyedDuringARun, testing::Bool());

// ---------------------------------------------------------------------------------------------
// The library behind the sinks

TEST_F(MP3OutWithFakeEncoder, SecondSinkOpensNothingAgainAndTheLastOneReleases)
{
    void* Handle = lame::EncoderLibraryHandle();
    lame::SetEncoderLibraryFileNameForTests("/nonexistent/libmp3lame.so.0");
    auto Second = std::make_unique<TMP3Out>(nullptr);
    EXPECT_EQ(lame::EncoderLibraryHandle(), Handle);
    Second.reset();
    ASSERT_TRUE(lame::EncoderLibraryLoaded()) << "the first sink still needs the library";

    Source.Pcm.assign(8, 0);
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(ReadFile(FileName), Encoded(2) + Flushed);
}

struct TLibraryWithout {
    const char* EntryPoint;
    const char* Path;
};

void PrintTo(const TLibraryWithout& Case, std::ostream* Out)
{
    *Out << Case.EntryPoint;
}

class MP3OutWithoutEntryPoint : public MP3OutWithFakeEncoder,
                                public testing::WithParamInterface<TLibraryWithout> {
protected:
    void SetUp() override { UseLibrary(GetParam().Path); }
};

TEST_P(MP3OutWithoutEntryPoint, RunIsRefusedBeforeAnyEncoderCall)
{
    Source.Pcm.assign(64, 0);
    Out->Run();
    EXPECT_EQ(Watch->Failure(),
        std::string("The encoder library has no entry point \"") + GetParam().EntryPoint + "\".");
    EXPECT_TRUE(Fake->CallNames().empty());
    EXPECT_FALSE(std::filesystem::exists(FileName));
    EXPECT_EQ(Source.InitCount, 0);
}

INSTANTIATE_TEST_SUITE_P(Library, MP3OutWithoutEntryPoint,
    testing::Values(TLibraryWithout{ "lame_encode_flush", FAKE_LAME_WITHOUT_FLUSH_PATH },
        TLibraryWithout{ "lame_set_out_samplerate", FAKE_LAME_WITHOUT_OUT_SAMPLERATE_PATH }),
    [](const testing::TestParamInfo<TLibraryWithout>& Info) { return Info.param.EntryPoint; });

TEST(MP3OutLibrary, MissingLibraryRefusesTheSink)
{
    lame::SetEncoderLibraryFileNameForTests("/nonexistent/libmp3lame.so.0");
    try {
        TMP3Out Out(nullptr);
        ADD_FAILURE() << "a sink exists without its library";
    } catch (const EACSException& E) {
        EXPECT_STREQ(E.what(), "lame_enc.dll library could not be loaded.");
    }
    EXPECT_FALSE(lame::EncoderLibraryLoaded());
    EXPECT_EQ(lame::EncoderLibraryHandle(), nullptr);
    lame::UnloadEncoderLibrary(); // releases nothing
    EXPECT_FALSE(lame::EncoderLibraryLoaded());
    lame::SetEncoderLibraryFileNameForTests(lame::Loader::EncoderLibraryFileName());
}

} // namespace
