// Asks a file system's free space away from the thread that wants it, so that a file system that
// stalls (a network mount whose server has gone) never stalls that thread.
//
// How it works: one thread of the watch's own, started by the first request, answers one request
// at a time. A request made while another is being answered waits; a newer one replaces it, so
// requests never pile up behind a query that hangs, and only the answer to the latest request is
// ever handed out. The asking thread never waits for the file system: it looks for an answer when
// it likes (TakeAnswer).
//
// Threads: every operation on the one thread that owns the watch; the query runs on the watch's
// thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

class TFreeSpaceWatch {
public:
    // Free bytes of the file system that holds a path (FreeBytesFor of DiskSpace.h, or a test's);
    // nothing when the system cannot tell.
    using TQuery = std::function<std::optional<uint64_t>(const std::string& Utf8Path)>;

    struct TAnswer {
        std::optional<uint64_t> FreeBytes;
    };

    TFreeSpaceWatch();
    // Ends the watch's thread. A query under way is not waited for: the thread is left to end
    // when it returns, and its answer goes to nobody.
    ~TFreeSpaceWatch();
    TFreeSpaceWatch(const TFreeSpaceWatch&) = delete;
    TFreeSpaceWatch& operator=(const TFreeSpaceWatch&) = delete;

    // Asks Query about Utf8Path on the watch's thread; replaces a request that still waits.
    // Never waits for a query; raises std::system_error when the thread cannot be started.
    void Request(TQuery Query, std::string Utf8Path);
    // The answer to the latest request, once, after its query has returned; nothing before that.
    // A query that raises answers as a file system that cannot tell. Never waits for a query.
    std::optional<TAnswer> TakeAnswer();
    // The answers to the requests made so far are never handed out.
    void Forget();

private:
    struct TState;
    static void Answer(const std::shared_ptr<TState>& State);

    // Shared with the thread, which may outlive the watch when its query hangs.
    std::shared_ptr<TState> FState;
    std::thread FThread;
};
