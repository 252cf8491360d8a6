// The texts of what a run has met: nothing for a clean run, short panel texts that fit the
// status panel, and the whole sentence with the lost time in rounded tenths.
#include "RunTally.h"

#include <gtest/gtest.h>

namespace {

TEST(RunTallyTest, CleanRunHasNoTexts)
{
    const TRunTally Clean{ 0, 0, 44100, 0, false };
    EXPECT_FALSE(Clean.Any());
    EXPECT_EQ(RecordingPanelText(Clean), "");
    EXPECT_EQ(DonePanelText(Clean), "");
    EXPECT_EQ(NotesSentence("Done", Clean), "");
}

TEST(RunTallyTest, PanelTextsCountAndTheDiskComesFirstWhileRecording)
{
    EXPECT_EQ(RecordingPanelText({ 1, 100, 44100, 0, false }), "1 drop");
    EXPECT_EQ(RecordingPanelText({ 12, 100, 44100, 5, false }), "12 drops");
    EXPECT_EQ(RecordingPanelText({ 0, 0, 44100, 5, false }), ""); // the bar shows clipping
    EXPECT_EQ(RecordingPanelText({ 3, 100, 44100, 0, true }), "Disk low");
    EXPECT_EQ(DonePanelText({ 2, 100, 44100, 7, true }), "2 drops");
    EXPECT_EQ(DonePanelText({ 0, 0, 44100, 1, false }), "1 clip");
    EXPECT_EQ(DonePanelText({ 0, 0, 44100, 7, false }), "7 clips");
    EXPECT_EQ(DonePanelText({ 0, 0, 44100, 0, true }), ""); // the run is over: no longer news
}

TEST(RunTallyTest, SentenceNamesEveryPartThatApplies)
{
    EXPECT_EQ(NotesSentence("Done", { 2, 17640, 44100, 0, false }), "Done, 2 dropouts, 0.4 s lost");
    EXPECT_EQ(NotesSentence("Recording", { 1, 2205, 22050, 1, false }),
        "Recording, 1 dropout, 0.1 s lost, clipped 1 time");
    EXPECT_EQ(NotesSentence("Done", { 0, 0, 44100, 3, false }), "Done, clipped 3 times");
    EXPECT_EQ(NotesSentence("Recording", { 0, 0, 44100, 0, true }),
        "Recording, less than a minute of recording fits on the disk");
}

TEST(RunTallyTest, LostTimeIsInTenthsRoundedHalfUp)
{
    EXPECT_EQ(LostTimeText(2205, 44100), "0.1 s"); // 0.05 s: half up
    EXPECT_EQ(LostTimeText(2204, 44100), "under 0.1 s");
    EXPECT_EQ(LostTimeText(1, 44100), "under 0.1 s");
    EXPECT_EQ(LostTimeText(44100 * 125 + 4410 * 3, 44100), "125.3 s");
    EXPECT_EQ(LostTimeText(6615, 44100), "0.2 s"); // 0.15 s
    EXPECT_EQ(LostTimeText(100, 0), "under 0.1 s");
    // A three-hour loss at 44100 Hz does not overflow.
    EXPECT_EQ(LostTimeText(int64_t{ 44100 } * 10800, 44100), "10800.0 s");
}

} // namespace
