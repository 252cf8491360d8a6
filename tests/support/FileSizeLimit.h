// A full disk without a file system of that size and without root: a limit on the size of the
// files this process writes (RLIMIT_FSIZE). With SIGXFSZ ignored, a write that reaches the limit
// stores what fits and the next one fails (EFBIG), as on a disk that fills up, where the write
// stores what fits and the next one fails (ENOSPC). POSIX only.
#pragma once

#include <csignal>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <sys/resource.h>

class TFileSizeLimit {
public:
    // The limit holds for every file and thread of the process until this ends.
    explicit TFileSizeLimit(std::uint64_t Bytes)
    {
        if (getrlimit(RLIMIT_FSIZE, &FBefore) != 0)
            throw std::runtime_error("Cannot read the file size limit");
        // Only the soft limit, which the process may raise again afterwards.
        rlimit Limited = FBefore;
        Limited.rlim_cur = static_cast<rlim_t>(Bytes);
        FHandlerBefore = std::signal(SIGXFSZ, SIG_IGN);
        if (setrlimit(RLIMIT_FSIZE, &Limited) != 0) {
            std::signal(SIGXFSZ, FHandlerBefore);
            throw std::runtime_error(
                "Cannot limit the size of files to " + std::to_string(Bytes) + " bytes");
        }
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &FBefore);
        std::signal(SIGXFSZ, FHandlerBefore);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    rlimit FBefore{};
    void (*FHandlerBefore)(int) = SIG_DFL;
};
