// Every test of a program that links this file starts with a settings folder of its own, empty,
// which is removed after it: a window that keeps its settings never reads those of another test,
// nor the user's own, and never writes there.
#include "SettingsFile.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

class TSettingsPerTest : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override
    {
        static std::atomic<int> Count{ 0 };
        const auto Stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        FFolder = std::filesystem::temp_directory_path()
            / ("corvatone-settings-" + std::to_string(Stamp) + "-" + std::to_string(++Count));
        std::filesystem::remove_all(FFolder);
        UseSettingsFolder(FFolder);
    }
    void OnTestEnd(const testing::TestInfo&) override
    {
        std::error_code Ignored; // a folder left behind harms no later test: each has its own
        std::filesystem::remove_all(FFolder, Ignored);
    }

    std::filesystem::path FFolder;
};

const bool Registered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new TSettingsPerTest);
    return true;
}();

} // namespace
