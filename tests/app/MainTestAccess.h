// The window behaviour's state, published for the tests.
#pragma once

#include "Corvat.h"

#include <cstdint>
#include <string>

struct TMainTestAccess {
    static TAudioIn& AudIn(TMain& Main) { return *Main.AudIn; }
    static TMP3Out& MP3Out(TMain& Main) { return *Main.MP3Out; }
    static TSoundIndicator& SndIndic(TMain& Main) { return *Main.SndIndic; }
    static bool Recording(const TMain& Main) { return Main.Recording; }
    static TRunNotices& Notices(TMain& Main) { return Main.FNotices; }
    static bool Paused(const TMain& Main) { return Main.Paused; }
    static bool Dragging(const TMain& Main) { return Main.Dragging; }
    static bool CanExit(const TMain& Main) { return Main.CanExit; }
    static const std::string& AppPath(const TMain& Main) { return Main.AppPath; }
    // Ends of runs that the sink has reported from its worker (posted, perhaps not yet handled).
    static uint64_t EndedRuns(const TMain& Main) { return Main.FRuns.EndedRuns(); }
    // Runs that a Record press started; GUI thread.
    static uint64_t StartedRuns(const TMain& Main) { return Main.FRuns.StartedRuns(); }
};
