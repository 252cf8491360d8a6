// The free space asked on the watch's own thread: a query that hangs holds nothing up, requests
// made meanwhile do not pile up behind it, only the latest request's answer is handed out, and the
// watch's destruction does not wait for a query that never returns.
#include "FreeSpaceWatch.h"

#include "TestSupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using TestSupport::TSignal;

// A query that tells when it has been entered and returns only once the test opens it (or after
// the tests' bound, so that a fault fails the test instead of hanging it).
struct TGate {
    TSignal Entered;
    std::mutex Mutex;
    std::condition_variable Opened;
    bool Open = false;

    void Release()
    {
        std::lock_guard Lock(Mutex);
        Open = true;
        Opened.notify_all();
    }
    TFreeSpaceWatch::TQuery Query(uint64_t FreeBytes)
    {
        return [this, FreeBytes](const std::string&) {
            Entered.Raise();
            std::unique_lock Lock(Mutex);
            Opened.wait_for(Lock, TestSupport::FailAfter, [&] { return Open; });
            return std::optional(FreeBytes);
        };
    }
};

// The calls a query had: the paths it was asked about, and on which thread.
struct TCalls {
    std::mutex Mutex;
    std::vector<std::string> Paths;
    std::vector<std::thread::id> Threads;

    TFreeSpaceWatch::TQuery Query(uint64_t FreeBytes)
    {
        return [this, FreeBytes](const std::string& Path) {
            std::lock_guard Lock(Mutex);
            Paths.push_back(Path);
            Threads.push_back(std::this_thread::get_id());
            return std::optional(FreeBytes);
        };
    }
};

std::optional<TFreeSpaceWatch::TAnswer> AwaitAnswer(TFreeSpaceWatch& Watch)
{
    std::optional<TFreeSpaceWatch::TAnswer> Answer;
    TestSupport::WaitUntil([&] { return (Answer = Watch.TakeAnswer()).has_value(); });
    return Answer;
}

TEST(FreeSpaceWatch, RequestsWhileAQueryHangsAreReplacedByTheLatestWhoseAnswerComesOnce)
{
    TGate Gate;
    TCalls Calls;
    TFreeSpaceWatch Watch;
    Watch.Request(Gate.Query(1), "/hung");
    ASSERT_TRUE(Gate.Entered.WaitFor());
    EXPECT_FALSE(Watch.TakeAnswer().has_value());
    Watch.Request(Calls.Query(2), "/replaced");
    Watch.Request(Calls.Query(3), "/latest");
    EXPECT_FALSE(Watch.TakeAnswer().has_value());

    Gate.Release();
    const auto Answer = AwaitAnswer(Watch);
    ASSERT_TRUE(Answer.has_value());
    EXPECT_EQ(Answer->FreeBytes, std::optional<uint64_t>(3));
    EXPECT_FALSE(Watch.TakeAnswer().has_value());
    std::lock_guard Lock(Calls.Mutex);
    EXPECT_EQ(Calls.Paths, std::vector<std::string>{ "/latest" });
    ASSERT_EQ(Calls.Threads.size(), 1u);
    EXPECT_NE(Calls.Threads[0], std::this_thread::get_id());
}

TEST(FreeSpaceWatch, OneThreadAnswersEveryRequestAndAFailingQueryCannotTell)
{
    TCalls Calls;
    TFreeSpaceWatch Watch;
    for (int Request = 0; Request < 3; ++Request) {
        Watch.Request(Calls.Query(Request), "/disk");
        const auto Answer = AwaitAnswer(Watch);
        ASSERT_TRUE(Answer.has_value());
        EXPECT_EQ(Answer->FreeBytes, std::optional<uint64_t>(Request));
    }
    {
        std::lock_guard Lock(Calls.Mutex);
        ASSERT_EQ(Calls.Threads.size(), 3u);
        EXPECT_EQ(Calls.Threads[1], Calls.Threads[0]);
        EXPECT_EQ(Calls.Threads[2], Calls.Threads[0]);
    }
    Watch.Request(
        [](const std::string&) -> std::optional<uint64_t> {
            throw std::runtime_error("the mount is gone");
        },
        "/gone");
    const auto Answer = AwaitAnswer(Watch);
    ASSERT_TRUE(Answer.has_value());
    EXPECT_FALSE(Answer->FreeBytes.has_value());
}

TEST(FreeSpaceWatch, DestructionLeavesAHungQueryToEndOnItsOwn)
{
    TGate Gate;
    TSignal Released;
    // Held by the query; its deleter tells when the watch's thread has let the query go.
    std::shared_ptr<int> Token(new int(0), [&](int* Value) {
        delete Value;
        Released.Raise();
    });
    {
        TFreeSpaceWatch Watch;
        Watch.Request(
            [Query = Gate.Query(1), Token](const std::string& Path) { return Query(Path); },
            "/hung");
        Token.reset();
        ASSERT_TRUE(Gate.Entered.WaitFor());
    }
    EXPECT_EQ(Released.Count(), 0);
    Gate.Release();
    EXPECT_TRUE(Released.WaitFor());
}

} // namespace
