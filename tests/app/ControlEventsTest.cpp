// The routing of the controls' events to the window's handlers, seen from what the window shows.
#include "ControlEvents.h"

#include "WindowTestSupport.h"

namespace {

class ControlEvents : public TWindowTest {
protected:
    TControlEvents Events{ *Window };
};

TEST_F(ControlEvents, WithoutTheBehaviourEventsAreDroppedAndClosingIsRefused)
{
    Open();
    Events.Change(TControl::SRate, "22050");
    Events.Press(TControl::StopB, TMouseButton::mbLeft, 1, 1);
    EXPECT_FALSE(Events.CloseQuery());
    EXPECT_EQ((*Window)[TControl::KBS].Items.size(), 11u);
    EXPECT_TRUE(Shows(TControl::StopB, SkinFiles::StopBut));

    Events.Attach(&Main());
    Events.Press(TControl::StopB, TMouseButton::mbLeft, 1, 1);
    EXPECT_TRUE(Shows(TControl::StopB, SkinFiles::StopButOn));
    Events.Attach(nullptr);
    Events.Release(TControl::StopB, TMouseButton::mbLeft, 1, 1);
    EXPECT_TRUE(Shows(TControl::StopB, SkinFiles::StopButOn));
}

TEST_F(ControlEvents, EachEventReachesTheHandlerOfItsControlOnly)
{
    Open();
    Events.Attach(&Main());
    // Changes of the bit-rate list's text and clicks of the background are nobody's.
    Events.Change(TControl::KBS, "22050");
    Events.Click(TControl::BackG);
    EXPECT_EQ((*Window)[TControl::KBS].Items.size(), 11u);
    Events.Change(TControl::SRate, "22050");
    EXPECT_EQ((*Window)[TControl::KBS].Items,
        (std::vector<std::string>{ "40", "48", "56", "64", "80", "96", "128", "144", "160" }));

    // Only the background's moves drag, and only during its press.
    Events.Press(TControl::BackG, TMouseButton::mbMiddle, 10, 10);
    Events.Move(TControl::MinB, 50, 50);
    EXPECT_EQ(Window->Left, 100);
    Events.Move(TControl::BackG, 15, 13);
    EXPECT_EQ(Window->Left, 105);
    EXPECT_EQ(Window->Top, 103);
    Events.Release(TControl::BackG, TMouseButton::mbMiddle, 15, 13);
    Events.Move(TControl::BackG, 40, 40);
    EXPECT_EQ(Window->Left, 105);

    Events.Click(TControl::MinB);
    EXPECT_EQ(Window->Minimised, 1);
    Events.Click(TControl::SecNoLimit);
    EXPECT_EQ((*Window)[TControl::Secs].Text, "10800");
    EXPECT_FALSE((*Window)[TControl::Secs].Enabled);
    Events.Click(TControl::SecCustom);
    EXPECT_TRUE((*Window)[TControl::Secs].Enabled);

    Window->SaveAnswer = FilePath("routed.mp3");
    Events.Click(TControl::SaveAs);
    EXPECT_EQ((*Window)[TControl::DirOut].Text, FilePath("routed.mp3"));

    EXPECT_FALSE(Events.CloseQuery());
    Events.Press(TControl::CloseB, TMouseButton::mbLeft, 3, 3);
    Events.Click(TControl::CloseB);
    Events.Release(TControl::CloseB, TMouseButton::mbLeft, 3, 3);
    EXPECT_TRUE(Window->Closed);
    EXPECT_TRUE(Events.CloseQuery());
}

TEST_F(ControlEvents, ReleasesAndTicksReachTheirHandlers)
{
    Open();
    Events.Attach(&Main());
    ChooseFile(FilePath("ticks.mp3"));
    Events.Press(TControl::RecB, TMouseButton::mbRight, 2, 2);
    ExpectRecordingLook();
    // A release on the record button is nobody's; the stop button's ends the run.
    Events.Release(TControl::RecB, TMouseButton::mbRight, 2, 2);
    ExpectRecordingLook();
    Events.Press(TControl::StopB, TMouseButton::mbLeft, 2, 2);
    Events.Release(TControl::StopB, TMouseButton::mbLeft, 2, 2);
    ExpectIdleLook("Mp3 Done");
    ASSERT_TRUE(AwaitStatus("MP3 Done"));

    // A tick shows a level, which is never negative.
    (*Window)[TControl::Indicator].Position = -1;
    Events.Tick();
    EXPECT_GE((*Window)[TControl::Indicator].Position, 0);
}

// An assistive tool's press acts as the mouse does: Stop acts only on its release and Close
// only after its click, so a press alone or a click alone would leave the run going.
TEST_F(ControlEvents, ActivatingAControlActsAsAClickInItsMiddleDoes)
{
    Open();
    Events.Attach(&Main());
    Window->SaveAnswer = FilePath("activated.mp3");
    Events.Activate(TControl::SaveAs);
    EXPECT_EQ((*Window)[TControl::DirOut].Text, FilePath("activated.mp3"));
    Events.Activate(TControl::SecNoLimit);
    EXPECT_FALSE((*Window)[TControl::Secs].Enabled);
    Events.Activate(TControl::SecCustom);
    EXPECT_TRUE((*Window)[TControl::Secs].Enabled);

    Events.Activate(TControl::RecB);
    ExpectRecordingLook();
    Events.Activate(TControl::PauseB);
    ExpectPausedLook();
    Events.Activate(TControl::StopB);
    ExpectIdleLook("Mp3 Done");
    EXPECT_TRUE(Shows(TControl::StopB, SkinFiles::StopBut)) << "the release lifts the button";
    ASSERT_TRUE(AwaitStatus("MP3 Done"));

    // Controls without an action take it as a click, which nobody handles.
    Events.Activate(TControl::BackG);
    Events.Activate(TControl::LabDev);
    EXPECT_EQ(Window->Left, 100);
    Events.Activate(TControl::MinB);
    EXPECT_EQ(Window->Minimised, 1);
    EXPECT_TRUE(Shows(TControl::MinB, SkinFiles::MinB));
    Events.Activate(TControl::CloseB);
    EXPECT_TRUE(Window->Closed);
}

TEST_F(ControlEvents, AnErrorInAHandlerIsReportedAndGoesNoFurther)
{
    Open();
    Events.Attach(&Main());
    Window->Unreadable = { SkinFiles::StopButOn };
    EXPECT_NO_THROW(Events.Press(TControl::StopB, TMouseButton::mbLeft, 1, 1));
    ASSERT_EQ(Window->Errors.size(), 1u);
    EXPECT_NE(Window->Errors[0].find(SkinFiles::StopButOn), std::string::npos);
}

} // namespace
