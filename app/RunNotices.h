// The window's notices of what a recording meets (RunTally.h): the status panel's texts and its
// tooltip for lost sound, the level bar turned red for a second when the input reaches full
// scale, the question before a run whose file the disk cannot hold, and the warning when a run
// without a limit has less than a minute of room left. A run that meets none of these leaves the
// window exactly as it is without them: the same texts, no tooltip, the bar's own colour.
//
// TMain (Corvat.h) calls it from its handlers. GUI thread only; during a run without a limit the
// free space is asked on the watch's own thread (FreeSpaceWatch.h), so that a file system that
// stalls never freezes the window.
#pragma once

#include "ACS_Audio.h"
#include "FreeSpaceWatch.h"
#include "MainWindow.h"
#include "RunTally.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// What a run is about to record.
struct TRunPlan {
    std::string FileName; // UTF-8, full path
    int32_t Seconds = 0; // the duration, RecordSettings' bounds applied
    int32_t KbitPerSecond = 0;
    int32_t SampleRate = 0;
    bool NoLimit = false; // the duration is "No Limit": the disk is watched during the run
};

class TRunNotices {
public:
    // Ticks of the 100 ms timer: how long the bar stays red after full scale, and how often the
    // free space is asked while a run without a limit records (the answer is taken at the first
    // tick after it has come).
    static constexpr int ClipTicks = 10;
    static constexpr int DiskCheckTicks = 10;
    // The level bar's colour while the input is at full scale.
    static constexpr TColor ClipColor = RGB(255, 0, 0);

    using TFreeSpaceQuery = std::function<std::optional<uint64_t>(const std::string& Utf8Path)>;

    explicit TRunNotices(TMainWindow& Window);

    // The free space of the file system that holds a path (DiskSpace.h; tests put in their own).
    // Called on the GUI thread before a run, on the watch's thread during one.
    TFreeSpaceQuery FreeSpace;

    // Before a run with a set duration: when the file system has less room than the file needs
    // (DiskSpace.h), the file that the run replaces counted as room, asks whether to record
    // anyway; false when the user answers No. A run without a limit, or a file system that
    // cannot tell its room, is not asked about.
    bool RoomConfirmed(const TRunPlan& Plan);
    // The sink's Run has returned without raising: nothing met yet, no tooltip, and the
    // indicator's count of full-scale times has started again from 0.
    void Started(const TRunPlan& Plan);
    // The timer's tick: the bar's clipping colour, and while Recording (and not Paused) the
    // panel's text for lost sound or a disk running out, with the whole sentence as its tooltip.
    void Tick(const TCaptureLosses& Losses, int64_t Clips, bool Recording, bool Paused);
    // The panel's text at a run's end: Status ("MP3 Done", "Mp3 Done") for a clean run, else a
    // short text of what it met, with the whole sentence as the tooltip.
    std::string EndStatus(const std::string& Status, const TCaptureLosses& Losses, int64_t Clips);
    // The run has failed (the panel says "Error"): the tooltip tells what it met until the last
    // tick, after "Error". Clips: the indicator's count now.
    void Failed(int64_t Clips);
    // A notice of the window outside a run (the kept input is gone, the settings cannot be
    // saved) as the panel's tooltip, until a run's notices replace it.
    void ShowNotice(const std::string& Notice) { ShowHint(Notice); }

    const TRunTally& Tally() const { return FTally; }

private:
    void Take(const TCaptureLosses& Losses, int64_t Clips);
    // Ends the run's notices; what it met, as told after its end.
    TRunTally End();
    void ShowClipping(int64_t Clips);
    void WatchDisk();
    void ShowHint(const std::string& Hint);

    TMainWindow& FWindow;
    TRunPlan FPlan;
    TRunTally FTally;
    bool FRunning = false;
    // The tooltip this object last set, so that it sets it only on a change.
    std::string FShownHint;
    // Clipping: the count last seen, the ticks left in red, the bar's own colour while red.
    int64_t FSeenClips = 0;
    int FRedTicks = 0;
    std::optional<TColor> FBarColor;
    int FDiskTicks = 0;
    TFreeSpaceWatch FDiskWatch;
};
