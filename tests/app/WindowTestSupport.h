// The window's behaviour on a fake window and the simulated sound card: a fixture with a folder
// for the files, the user's presses as handler calls, and the looks of the recording states.
#pragma once

#include "FakeWindow.h"
#include "MainTestAccess.h"
#include "SimulatedWaveDevice.h"
#include "SkinFiles.h"
#include "TestSupport.h"
#include "lame.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>

class TWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        lame::SetEncoderLibraryFileNameForTests(TEST_ENCODER_LIBRARY);
        Card = std::make_shared<TSimulatedWaveBackend>(InputDevices());
        Card->SetSignal(TSimulatedSignal::Sine(440.0, 0.5));
        Card->SetPacing(TSimulatedPacing::FlatOut);
        UseWaveBackend(Card);
        const testing::TestInfo* Test = testing::UnitTest::GetInstance()->current_test_info();
        // The process's own tag keeps test programs that run at the same time (a long stress run
        // beside the suite, two build folders) out of each other's files.
        static const std::string ProcessTag = std::to_string(std::random_device{}());
        Folder = std::filesystem::temp_directory_path()
            / ("corvatone-window-" + ProcessTag + "-" + std::string(Test->test_suite_name()) + "-"
                + Test->name());
        std::filesystem::remove_all(Folder);
        ASSERT_TRUE(std::filesystem::create_directories(Folder));
    }
    void TearDown() override
    {
        Window.reset();
        std::error_code Ignored;
        std::filesystem::remove_all(Folder, Ignored);
    }
    virtual std::vector<TSimulatedDeviceSpec> InputDevices() { return { {} }; }

    TMain& Open()
    {
        TMain& Main = Window->Open();
        EXPECT_TRUE(Window->Errors.empty()) << Window->Errors.front();
        return Main;
    }
    std::string FilePath(const char* Name) const { return (Folder / Name).string(); }
    void ChooseFile(const std::string& File)
    {
        Window->SaveAnswer = File;
        Window->Handle([](TMain& Main) { Main.SaveAsClick(); });
        Window->SaveAnswer.reset();
    }
    TMain& OpenWithFile(const std::string& File)
    {
        TMain& Main = Open();
        ChooseFile(File);
        return Main;
    }

    void PressRecord()
    {
        Window->Handle([](TMain& Main) { Main.RecBMouseDown(TMouseButton::mbLeft, 5, 5); });
    }
    void PressPause()
    {
        Window->Handle([](TMain& Main) { Main.PauseBMouseDown(TMouseButton::mbLeft, 5, 5); });
    }
    void ClickStop()
    {
        Window->Handle([](TMain& Main) { Main.StopBMouseDown(TMouseButton::mbLeft, 5, 5); });
        Window->Handle([](TMain& Main) { Main.StopBMouseUp(TMouseButton::mbLeft, 5, 5); });
    }
    void ClickClose()
    {
        Window->Handle([](TMain& Main) { Main.CloseBMouseDown(TMouseButton::mbLeft, 7, 8); });
        Window->Handle([](TMain& Main) { Main.CloseBClick(); });
        Window->Handle([](TMain& Main) { Main.CloseBMouseUp(TMouseButton::mbLeft, 7, 8); });
    }
    void Tick()
    {
        Window->Handle([](TMain& Main) { Main.TimTimer(); });
    }

    // Runs the posted reports until the status panel shows Text.
    bool AwaitStatus(const std::string& Text)
    {
        return Window->PumpUntil([&] { return Status() == Text; });
    }
    std::string Status() { return (*Window)[TControl::State].Text; }
    std::string Secs() { return (*Window)[TControl::Secs].Text; }
    bool Shows(TControl Control, const char* SkinFile)
    {
        return (*Window)[Control].Picture
            == TMainTestAccess::AppPath(Main()) + SkinFiles::SkinFolder + SkinFile;
    }

    TMain& Main() { return Window->Main(); }
    TMP3Out& Sink() { return TMainTestAccess::MP3Out(Main()); }
    TAudioIn& Source() { return TMainTestAccess::AudIn(Main()); }

    void ExpectIdleLook(const std::string& StatusText)
    {
        EXPECT_FALSE(TMainTestAccess::Recording(Main()));
        EXPECT_FALSE(TMainTestAccess::Paused(Main()));
        EXPECT_EQ(Status(), StatusText);
        EXPECT_TRUE(Shows(TControl::RecB, SkinFiles::RecBut));
        EXPECT_TRUE(Shows(TControl::PauseB, SkinFiles::PauseBut));
        EXPECT_EQ((*Window)[TControl::Progres].Position, 0);
        for (TControl Control : { TControl::KBS, TControl::SecCustom, TControl::SecNoLimit })
            EXPECT_TRUE((*Window)[Control].Enabled) << ControlName(Control);
        EXPECT_EQ((*Window)[TControl::Secs].Enabled, (*Window)[TControl::SecCustom].Checked);
    }
    void ExpectRecordingLook()
    {
        EXPECT_TRUE(TMainTestAccess::Recording(Main()));
        EXPECT_FALSE(TMainTestAccess::Paused(Main()));
        EXPECT_EQ(Status(), "Record");
        EXPECT_TRUE(Shows(TControl::RecB, SkinFiles::RecButOn));
        EXPECT_TRUE(Shows(TControl::PauseB, SkinFiles::PauseBut));
        for (TControl Control :
            { TControl::KBS, TControl::SecCustom, TControl::SecNoLimit, TControl::Secs })
            EXPECT_FALSE((*Window)[Control].Enabled) << ControlName(Control);
        EXPECT_TRUE((*Window)[TControl::SRate].Enabled);
        EXPECT_TRUE((*Window)[TControl::SaveAs].Enabled);
    }
    void ExpectPausedLook()
    {
        EXPECT_TRUE(TMainTestAccess::Recording(Main()));
        EXPECT_TRUE(TMainTestAccess::Paused(Main()));
        EXPECT_EQ(Status(), "Pause");
        EXPECT_TRUE(Shows(TControl::RecB, SkinFiles::RecBut));
        EXPECT_TRUE(Shows(TControl::PauseB, SkinFiles::PauseButOn));
    }

    std::shared_ptr<TSimulatedWaveBackend> Card;
    std::filesystem::path Folder;
    std::unique_ptr<TFakeWindow> Window = std::make_unique<TFakeWindow>();
};
