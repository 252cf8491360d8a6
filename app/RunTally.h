// What a recording has met that its user should know of: sound lost on the way in, input at
// full scale, a disk running out of room. The window shows a short text of them on its status
// panel, which holds about eight characters, and the whole sentence as the panel's tooltip; a
// run that met none of them shows the window's usual texts and no tooltip.
//
// Plain values and texts; any thread.
#pragma once

#include <cstdint>
#include <string>

struct TRunTally {
    int64_t Dropouts = 0; // stretches of lost sound
    int64_t LostFrames = 0; // their frames
    int32_t SampleRate = 0; // Hz, of the frames
    int64_t Clips = 0; // times the input reached full scale
    bool DiskLow = false; // less than a minute of recording fits on the disk

    bool Any() const { return Dropouts > 0 || Clips > 0 || DiskLow; }
    bool operator==(const TRunTally&) const = default;
};

// The panel's text while a run records: "Disk low" when the disk runs out, else "1 drop" or
// "<n> drops" when sound was lost; empty when neither (the window's own text stands). Clipping
// is shown by the level bar while recording, not here.
std::string RecordingPanelText(const TRunTally& Tally);

// The panel's text at a run's end: "<n> drops" or "1 drop" when sound was lost, else "<n> clips"
// or "1 clip" when the input reached full scale; empty when neither.
std::string DonePanelText(const TRunTally& Tally);

// The whole sentence after Lead ("Recording" or "Done"): "Done, 2 dropouts, 0.4 s lost, clipped
// 3 times, less than a minute of recording fits on the disk", with the parts that apply; empty
// when none applies.
std::string NotesSentence(const std::string& Lead, const TRunTally& Tally);

// Seconds of lost sound as the texts give them: tenths, rounded half up; "under 0.1 s" for a
// loss that rounds to none.
std::string LostTimeText(int64_t LostFrames, int32_t SampleRate);
