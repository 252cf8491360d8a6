// The fixture of the window scenarios: a window through its driver (the test's parameter), the
// simulated sound card flat out, a folder for the files, the user's usual gestures, the looks of
// the recording states and the checks of what a run leaves in its file.
//
// Expected texts, lists and pictures are written out here, never taken from the code under test.
#pragma once

#include "MainTestAccess.h"
#include "Mp3Check.h"
#include "SimulatedWaveDevice.h"
#include "WindowDriver.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

class TScenarioTest : public testing::TestWithParam<TWindowKind> {
protected:
    // A complete file decodes (without gapless trimming) to the encoder's delay of 576 + 529
    // frames, every frame fed in, and the padding of its last MP3 frame; delay and padding stay
    // under three MP3 frames of 1152.
    static constexpr int64_t EncoderDelay = 576 + 529;
    static constexpr int64_t DelayAndPaddingBound = 3 * 1152;
    // The source may deliver one 16384-byte buffer beyond the duration: 4096 frames of 16-bit
    // stereo.
    static constexpr int64_t OneBufferFrames = 16384 / 4;

    void SetUp() override;
    void TearDown() override;

    TWindowDriver& W() { return *Window; }
    TMP3Out& Sink() { return TMainTestAccess::MP3Out(W().Main()); }
    TAudioIn& Source() { return TMainTestAccess::AudIn(W().Main()); }
    // The full path of a file in the test's folder, with the system's own separators.
    std::string FilePath(const std::string& Name) const
    {
        return (Folder / Name).make_preferred().string();
    }

    // ---- Gestures
    void Open() { W().Open(true); }
    void OpenWithFile(const std::string& File);
    void ChooseFile(const std::string& File);
    // A primary press and release in the middle of an image button.
    void ClickImage(TControl Control);
    void PressRecord() { ClickImage(TControl::RecB); }
    void PressPause() { ClickImage(TControl::PauseB); }
    void ClickStop() { ClickImage(TControl::StopB); }
    void ClickClose() { ClickImage(TControl::CloseB); }
    // Starts a run of 10800 seconds that does not end while the test looks at it.
    void StartLongRecording(const std::string& File);
    // Runs the window's events until the status panel shows Text.
    bool AwaitStatus(const std::string& Text);
    // Runs the window's events until the source has captured Bytes.
    bool AwaitCaptured(int64_t Bytes);
    // Waits for the worker's pass in flight: after a Pause the source then delivers nothing
    // more until the run goes on.
    void AwaitPassInFlight();

    // ---- Looks
    void ExpectIdleLook(const std::string& Status);
    void ExpectRecordingLook() { ExpectRunLook("Record", "RecBut_ON.bmp", "PauseBut.bmp"); }
    void ExpectPausedLook() { ExpectRunLook("Pause", "RecBut.bmp", "PauseBut_ON.bmp"); }
    // A run's look: the status, the two large buttons' pictures, the settings that wait for the
    // next run disabled.
    void ExpectRunLook(
        const std::string& Status, const std::string& RecPicture, const std::string& PausePicture);
    // One box of Kind with Title and Text has been shown since the last look at the boxes.
    void ExpectOneBox(TMessageKind Kind, const std::string& Title, const std::string& Text);
    void ExpectNoBox();

    // ---- Files
    // File holds Seconds of two-channel sound at Rate, every MP3 frame at Kbps.
    void ExpectRecording(const std::string& File, long Rate, int Kbps, int64_t Seconds);
    // File holds every frame the source captured and the encoder's end, at Rate and Kbps.
    void ExpectCompleteFile(const std::string& File, long Rate, int Kbps);

    std::shared_ptr<TSimulatedWaveBackend> Card;
    std::filesystem::path Folder;
    std::unique_ptr<TWindowDriver> Window;
};

// The suites of scenarios; each window's test program instantiates them on its driver.
class WindowScenarios : public TScenarioTest { };
class RecordingScenarios : public TScenarioTest { };
// The input chooser and the settings kept between starts (InputScenarios.cpp), on a card with
// two inputs.
class InputScenarios : public TScenarioTest {
protected:
    void SetUp() override;
    // A click on the device label, its menu answered with the input Name.
    void ChooseInput(const std::string& Name);
    // The program ends and starts again: a new window and behaviour, the same settings folder.
    void Restart();
};

// Runs the suites on the window Kind whose driver Factory makes; the cases are named after it.
#define CORVATONE_SCENARIOS_ON(Kind, Factory)                                                      \
    INSTANTIATE_TEST_SUITE_P(Kind, WindowScenarios,                                                \
        testing::Values(TWindowKind{ #Kind, Factory }),                                            \
        [](const auto& Info) { return std::string(Info.param.Name); });                            \
    INSTANTIATE_TEST_SUITE_P(Kind, RecordingScenarios,                                             \
        testing::Values(TWindowKind{ #Kind, Factory }),                                            \
        [](const auto& Info) { return std::string(Info.param.Name); });                            \
    INSTANTIATE_TEST_SUITE_P(Kind, InputScenarios, testing::Values(TWindowKind{ #Kind, Factory }), \
        [](const auto& Info) { return std::string(Info.param.Name); })
