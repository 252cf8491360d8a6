// Helpers for running an MP3 sink to the end of a run and looking at what it left behind.
#pragma once

#include "ACS_LAME.h"
#include "TestSupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

// Follows one sink's events: how runs ended and what the failures said.
class TRunWatch {
public:
    explicit TRunWatch(TMP3Out& Out)
    {
        Out.OnDone = [this](TComponent*) {
            Done.Raise();
            FEnded.Raise();
        };
        Out.OnThreadException = [this](TComponent*, const std::exception& E) {
            {
                std::lock_guard Lock(FLock);
                FFailure = E.what();
            }
            Failed.Raise();
            FEnded.Raise();
        };
    }
    // Waits until Runs runs have ended either way; true when none has failed.
    bool AwaitEnd(int Runs = 1)
    {
        EXPECT_TRUE(FEnded.WaitFor(Runs)) << "the run did not end";
        return Failed.Count() == 0;
    }
    std::string Failure()
    {
        std::lock_guard Lock(FLock);
        return FFailure;
    }

    TestSupport::TSignal Done;
    TestSupport::TSignal Failed;

private:
    TestSupport::TSignal FEnded; // runs that ended through either event
    std::mutex FLock;
    std::string FFailure;
};

// A directory of its own for each test, removed afterwards.
class TTempDir {
public:
    TTempDir()
    {
        const auto* Info = testing::UnitTest::GetInstance()->current_test_info();
        FPath = std::filesystem::temp_directory_path()
            / ("corvatone-mp3-" + std::to_string(getpid()) + "-" + Info->test_suite_name() + "-"
                + Info->name());
        std::filesystem::remove_all(FPath);
        std::filesystem::create_directories(FPath);
    }
    ~TTempDir() { std::filesystem::remove_all(FPath); }
    std::string File(const std::string& Name) const { return (FPath / Name).string(); }

private:
    std::filesystem::path FPath;
};

inline std::string ReadFile(const std::string& FileName)
{
    std::ifstream In(FileName, std::ios::binary);
    return { std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>() };
}
