#include "RunNotices.h"

#include "DiskSpace.h"

TRunNotices::TRunNotices(TMainWindow& Window)
    : FreeSpace(FreeBytesFor)
    , FWindow(Window)
{
}

bool TRunNotices::RoomConfirmed(const TRunPlan& Plan)
{
    if (Plan.NoLimit)
        return true;
    const std::optional<uint64_t> Free = FreeSpace(Plan.FileName);
    if (!Free)
        return true;
    // The run truncates the file it replaces before it writes.
    const uint64_t Room = *Free + ReplacedFileBytes(Plan.FileName);
    const uint64_t Needed = Mp3FileBytes(Plan.Seconds, Plan.KbitPerSecond, Plan.SampleRate);
    if (Room >= Needed)
        return true;
    const auto Megabytes = [](uint64_t Bytes) {
        const uint64_t Tenths = (Bytes + 50000) / 100000;
        return std::to_string(Tenths / 10) + "." + std::to_string(Tenths % 10) + " MB";
    };
    return FWindow.Ask({ "Warning",
        "The recording needs about " + Megabytes(Needed) + ", but the disk has only "
            + Megabytes(Room) + " free. Record anyway?" });
}

void TRunNotices::Started(const TRunPlan& Plan)
{
    FPlan = Plan;
    FTally = TRunTally{};
    FTally.SampleRate = Plan.SampleRate;
    FRunning = true;
    FSeenClips = 0;
    FDiskTicks = 0;
    FDiskWatch.Forget(); // an answer still to come is an earlier run's
    ShowHint("");
}

void TRunNotices::Take(const TCaptureLosses& Losses, int64_t Clips)
{
    FTally.Dropouts = Losses.Dropouts;
    FTally.LostFrames = Losses.LostFrames;
    FTally.Clips = Clips;
}

void TRunNotices::Tick(const TCaptureLosses& Losses, int64_t Clips, bool Recording, bool Paused)
{
    ShowClipping(Clips);
    if (!FRunning || !Recording)
        return;
    Take(Losses, Clips);
    WatchDisk();
    if (Paused)
        return; // the panel says "Pause"; the tooltip keeps what the run has met
    const std::string Panel = RecordingPanelText(FTally);
    if (!Panel.empty() && FWindow.Text(TControl::State) != Panel)
        FWindow.SetText(TControl::State, Panel);
    ShowHint(NotesSentence("Recording", FTally));
}

std::string TRunNotices::EndStatus(
    const std::string& Status, const TCaptureLosses& Losses, int64_t Clips)
{
    if (FRunning)
        Take(Losses, Clips);
    const TRunTally Ended = End();
    const std::string Panel = DonePanelText(Ended);
    ShowHint(NotesSentence("Done", Ended));
    return Panel.empty() ? Status : Panel;
}

void TRunNotices::Failed(int64_t Clips)
{
    // After a start that failed, the source's and the indicator's counts may still be an
    // earlier run's: what the last tick took stands, and the clips counted now are no news.
    FSeenClips = Clips;
    ShowHint(NotesSentence("Error", End()));
}

TRunTally TRunNotices::End()
{
    FRunning = false;
    TRunTally Ended = FTally;
    Ended.DiskLow = false; // the run is over: the warning is no longer news
    return Ended;
}

void TRunNotices::ShowClipping(int64_t Clips)
{
    if (Clips > FSeenClips) {
        FSeenClips = Clips;
        if (!FBarColor) {
            FBarColor = FWindow.ElementColor(TControl::Indicator);
            FWindow.SetElementColor(TControl::Indicator, ClipColor);
        }
        FRedTicks = ClipTicks;
        return;
    }
    if (FBarColor && --FRedTicks <= 0) {
        FWindow.SetElementColor(TControl::Indicator, *FBarColor);
        FBarColor.reset();
    }
}

void TRunNotices::WatchDisk()
{
    if (!FPlan.NoLimit || FTally.DiskLow)
        return;
    if (const std::optional<TFreeSpaceWatch::TAnswer> Answer = FDiskWatch.TakeAnswer())
        FTally.DiskLow
            = Answer->FreeBytes && *Answer->FreeBytes < Mp3StreamBytes(60, FPlan.KbitPerSecond);
    if (++FDiskTicks < DiskCheckTicks)
        return;
    FDiskTicks = 0;
    FDiskWatch.Request(FreeSpace, FPlan.FileName);
}

void TRunNotices::ShowHint(const std::string& Hint)
{
    if (Hint == FShownHint)
        return;
    FShownHint = Hint;
    FWindow.SetHint(TControl::State, Hint);
}
