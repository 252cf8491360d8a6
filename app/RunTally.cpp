#include "RunTally.h"

namespace {

std::string Counted(int64_t Count, const char* One, const char* Many)
{
    return std::to_string(Count) + " " + (Count == 1 ? One : Many);
}

} // namespace

std::string RecordingPanelText(const TRunTally& Tally)
{
    if (Tally.DiskLow)
        return "Disk low";
    if (Tally.Dropouts > 0)
        return Counted(Tally.Dropouts, "drop", "drops");
    return {};
}

std::string DonePanelText(const TRunTally& Tally)
{
    if (Tally.Dropouts > 0)
        return Counted(Tally.Dropouts, "drop", "drops");
    if (Tally.Clips > 0)
        return Counted(Tally.Clips, "clip", "clips");
    return {};
}

std::string LostTimeText(int64_t LostFrames, int32_t SampleRate)
{
    if (SampleRate <= 0 || LostFrames <= 0)
        return "under 0.1 s";
    // Tenths of a second, rounded half up, in whole numbers: no floating-point edge cases.
    const int64_t Tenths = (LostFrames * 10 * 2 + SampleRate) / (int64_t{ SampleRate } * 2);
    if (Tenths == 0)
        return "under 0.1 s";
    return std::to_string(Tenths / 10) + "." + std::to_string(Tenths % 10) + " s";
}

std::string NotesSentence(const std::string& Lead, const TRunTally& Tally)
{
    if (!Tally.Any())
        return {};
    std::string Sentence = Lead;
    if (Tally.Dropouts > 0)
        Sentence += ", " + Counted(Tally.Dropouts, "dropout", "dropouts") + ", "
            + LostTimeText(Tally.LostFrames, Tally.SampleRate) + " lost";
    if (Tally.Clips > 0)
        Sentence += ", clipped " + Counted(Tally.Clips, "time", "times");
    if (Tally.DiskLow)
        Sentence += ", less than a minute of recording fits on the disk";
    return Sentence;
}
