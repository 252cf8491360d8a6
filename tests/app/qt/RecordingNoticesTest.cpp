// The Qt window's part of a recording's notices: the status panel's short text with its tooltip,
// the level bar's red element, and the question before a run the disk cannot hold, answered
// through the replaceable asker.
#include "Dialogs.h"
#include "MainTestAccess.h"
#include "RecordingSupport.h"
#include "RunNotices.h"

namespace {

class RecordingNotices : public TRecordingTest { };

TEST_F(RecordingNotices, LostSoundAndClippingShowOnThePanelItsTooltipAndTheBar)
{
    TSimulatedFaults Faults;
    Faults.GapAfter = 1;
    Faults.GapFrames = 8820; // 0.2 s
    Card->SetFaults(Faults);
    Card->SetSignal(TSimulatedSignal::Sine(440.0, 1.0)); // peaks at full scale
    OpenWithFile(FilePath("troubled.mp3"));
    const TColor FormColor = Indicator()->ColorElement();
    Secs()->setText("5");
    PressRecord();
    auto* State = Control<QLabel>("State");
    const QString Done = "Done, 1 dropout, 0.2 s lost, clipped 1 time";
    ASSERT_TRUE(QTest::qWaitFor([&] { return State->toolTip() == Done; }, EventBoundMs));
    EXPECT_EQ(StateText(), "1 drop");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Indicator()->ColorElement() == TRunNotices::ClipColor; }, EventBoundMs));
    // The window as it looks then, for a look at the panel's text and the red bar.
    EXPECT_TRUE(Main->grab().save(QStringLiteral(CORVATONE_NOTICES_SCREENSHOT)));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Indicator()->ColorElement() == FormColor; }, EventBoundMs));
}

TEST_F(RecordingNotices, TheDiskQuestionIsAskedWithYesAndNo)
{
    std::vector<TQuestion> Asked;
    const TQuestionAsker Previous = QuestionAsker.Replace([&](QWidget* Parent, const TQuestion& Q) {
        EXPECT_EQ(Parent, Main.get());
        Asked.push_back(Q);
        return false;
    });
    OpenWithFile(FilePath("big.mp3"));
    TMainTestAccess::Notices(Behaviour(*Main)).FreeSpace
        = [](const std::string&) { return std::optional<uint64_t>(1000); };
    Secs()->setText("60");
    PressRecord();
    QuestionAsker.Replace(Previous);
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_EQ(Asked[0].Title, "Warning");
    EXPECT_EQ(StateText(), "Status");
    EXPECT_EQ(Card->OpenedCount(), 0);
}

} // namespace
