#include "DebugLog.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

const auto LogStart = std::chrono::steady_clock::now();

} // namespace

bool DebugLogOn()
{
    static const bool On = std::getenv("CORVATONE_DEBUG_LOG") != nullptr;
    return On;
}

void DebugLog(const char* Event)
{
    if (!DebugLogOn())
        return;
    const std::chrono::duration<double, std::milli> Since
        = std::chrono::steady_clock::now() - LogStart;
    // One call per line, so that lines of different threads do not mix.
    std::fprintf(stderr, "[corvatone %10.1f ms] %s\n", Since.count(), Event);
}

void DebugLog(const std::string& Event)
{
    if (DebugLogOn())
        DebugLog(Event.c_str());
}
