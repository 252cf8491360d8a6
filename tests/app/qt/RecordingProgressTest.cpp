// The two bars while recording: the progress bar with the duration choice, and the level bar fed
// by the timer from the indicator's first value. Also writes a picture of the window recording.
#include "RecordingSupport.h"

#include <QEvent>
#include <array>

namespace {

// The indicator's accumulation, published for the test: it feeds chosen levels as if a block had
// been analysed, under the values lock as the analysis holds it.
struct TIndicatorAccess : TSoundIndicator {
    using TSoundIndicator::AccumulateBlock;
    using TSoundIndicator::FValuesLock;
};
void Accumulate(TSoundIndicator& Indicator, double First, double Second)
{
    std::array<double, TSoundIndicator::LevelCount> Block{};
    Block[0] = First;
    Block[1] = Second;
    TSpinFlag& Lock = Indicator.*&TIndicatorAccess::FValuesLock;
    Lock.Acquire();
    (Indicator.*&TIndicatorAccess::AccumulateBlock)(Block.data());
    Lock.Release();
}

// Every position a bar is painted with, in order.
class TPaintedPositions : public QObject {
public:
    explicit TPaintedPositions(TFlatProgressBar* Bar)
        : FBar(Bar)
    {
        Bar->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint
            && (Positions.empty() || Positions.back() != FBar->Position()))
            Positions.push_back(FBar->Position());
        return false;
    }
    std::vector<int> Positions;

private:
    TFlatProgressBar* FBar;
};

class RecordingBars : public TRecordingTest { };

TEST_F(RecordingBars, WithCustomTheProgressClimbsToFullAndTheEndEmptiesIt)
{
    OpenWithFile(FilePath("custom.mp3"));
    TPaintedPositions Painted(Progres());
    ASSERT_TRUE(RecordToEnd("5"));
    ExpectIdleLook("MP3 Done");
    const std::vector<int>& Shown = Painted.Positions;
    ASSERT_GE(Shown.size(), 3u);
    EXPECT_EQ(Shown.back(), 0) << "after the end";
    EXPECT_EQ(Shown[Shown.size() - 2], 100) << "the last report";
    EXPECT_TRUE(std::is_sorted(Shown.begin(), Shown.end() - 1));
    // Flat out the reports come faster than they are handled, but each block is one report.
    EXPECT_GE(Shown.size(), 10u);
}

TEST_F(RecordingBars, NoLimitKeepsTheProgressFullDuringTheRunAndEmptyAfterIt)
{
    OpenWithFile(FilePath("nolimit.mp3"));
    // A finished run leaves the sink's last reported progress at 100, so the next run reports
    // at its first pass.
    ASSERT_TRUE(RecordToEnd("5"));
    ClickRadio("SecNoLimit");
    EXPECT_FALSE(Secs()->isEnabled());
    EXPECT_EQ(Secs()->text(), "10800");
    EXPECT_EQ(Progres()->Position(), 100);

    PressRecord();
    EXPECT_EQ(Source().RecTime, 10800);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Source().Position > 2 * 16384; }, EventBoundMs));
    QCoreApplication::processEvents();
    EXPECT_EQ(Progres()->Position(), 100);
    ClickStop();
    ExpectIdleLook("Mp3 Done");
    EXPECT_FALSE(Secs()->isEnabled());
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    EXPECT_EQ(Progres()->Position(), 0);

    // Still "No Limit": the next run keeps the bar empty.
    PressRecord();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Source().Position > 2 * 16384; }, EventBoundMs));
    QCoreApplication::processEvents();
    EXPECT_EQ(Progres()->Position(), 0);
    ClickStop();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));

    ClickRadio("SecCustom");
    EXPECT_TRUE(Secs()->isEnabled());
    EXPECT_EQ(Progres()->Position(), 0);
}

TEST_F(RecordingBars, LevelBarShowsTheFirstLevelRoundedHalvesToEvenAndUnclamped)
{
    struct TCase {
        double Accumulated; // the indicator shows 20 times its accumulator
        int Shown;
    };
    OpenWindow();
    TSoundIndicator& Indicator = TMainTestAccess::SndIndic(Behaviour(*Main));
    for (const TCase& Case : { TCase{ 2.525, 50 }, TCase{ 2.575, 52 }, TCase{ 0.125, 2 },
             TCase{ 7.525, 150 }, TCase{ 7.575, 152 }, TCase{ 0.02, 0 } }) {
        Accumulate(Indicator, Case.Accumulated, 4.0);
        Behaviour(*Main).TimTimer();
        EXPECT_EQ(this->Indicator()->Position(), Case.Shown) << Case.Accumulated;
    }
    // Two blocks since the last reading add up.
    Accumulate(Indicator, 1.0, 0.0);
    Accumulate(Indicator, 2.0, 0.0);
    Behaviour(*Main).TimTimer();
    EXPECT_EQ(this->Indicator()->Position(), 60);
    // Nothing analysed since the last reading.
    Behaviour(*Main).TimTimer();
    EXPECT_EQ(this->Indicator()->Position(), 0);
}

// The window recording a loud tone in real time, both bars moving: written for a look at it.
TEST_F(RecordingBars, PictureOfTheWindowRecording)
{
    Card->SetPacing(TSimulatedPacing::RealTime);
    Card->SetSignal(TSimulatedSignal::Sine(440.0, 0.9));
    OpenWithFile(FilePath("picture.mp3"));
    Secs()->setText("30");
    PressRecord();
    int LevelsSeen = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            LevelsSeen += Indicator()->Position() > 0;
            return Progres()->Position() >= 5 && Indicator()->Position() > 0;
        },
        EventBoundMs));
    EXPECT_GT(LevelsSeen, 1) << "the timer fed the level bar more than once";
    ExpectRecordingLook();
    EXPECT_TRUE(Main->grab().save(QStringLiteral(CORVATONE_RECORDING_SCREENSHOT)));
    ClickStop();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
}

} // namespace
