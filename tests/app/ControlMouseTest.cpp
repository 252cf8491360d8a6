// The image controls' mouse rules reporting to the window's routing by the layout's controls:
// what a user's raw presses, moves and releases in the window's coordinates end in.
#include "ControlMouse.h"

#include "FormDescription.h"
#include "WindowTestSupport.h"

namespace {

class TFormMouseHost : public TControlMouseHost {
public:
    using TControlMouseHost::TControlMouseHost;
    TPoint Origin(int Control) const override
    {
        const TControlSpec& Spec = Form::Spec(ControlOf(Control));
        return TPoint{ Spec.Left, Spec.Top };
    }
    void CaptureMouse() override { ++Captures; }
    void ReleaseMouse() override { --Captures; }
    int Captures = 0;
};

class ControlMouse : public TWindowTest {
protected:
    // The middle of Control in the window's coordinates.
    static TPoint Middle(TControl Control)
    {
        const TControlSpec& Spec = Form::Spec(Control);
        return TPoint{ Spec.Left + Spec.Width / 2, Spec.Top + Spec.Height / 2 };
    }
    static int At(TControl Control) { return TControlMouseHost::Number(Control); }

    TControlEvents Events{ *Window };
    TFormMouseHost Host{ &Events };
    TImageMouse Rules{ Host };
};

} // namespace

TEST_F(ControlMouse, APrimaryPressThatLeavesItsButtonEndsThereWithoutAClick)
{
    Open();
    Events.Attach(&Main());
    // Released over Close, the press on Minimize ends on Minimize: Close's release would close.
    Rules.Press(mbLeft, At(TControl::MinB), Middle(TControl::MinB));
    EXPECT_EQ(Host.Captures, 1);
    EXPECT_TRUE(Shows(TControl::MinB, SkinFiles::MinBOn));
    Rules.Move(TImageMouse::NoImage, TPoint{ 5, 5 });
    Rules.Release(mbLeft, At(TControl::CloseB), Middle(TControl::CloseB));
    EXPECT_EQ(Host.Captures, 0);
    EXPECT_FALSE(Window->Closed);
    EXPECT_EQ(Window->Minimised, 0);
    EXPECT_TRUE(Shows(TControl::MinB, SkinFiles::MinB)) << "the release lifts the button";

    Rules.Press(mbLeft, At(TControl::MinB), Middle(TControl::MinB));
    Rules.Release(mbLeft, At(TControl::MinB), Middle(TControl::MinB));
    EXPECT_EQ(Window->Minimised, 1);
}

TEST_F(ControlMouse, TheBackgroundDragsTheWindowInItsOwnCoordinates)
{
    Open();
    Events.Attach(&Main());
    // Over the status panel's place the background is not under the pointer: nothing drags.
    Rules.Press(mbLeft, TImageMouse::NoImage, TPoint{ 200, 190 });
    Rules.Move(TImageMouse::NoImage, TPoint{ 220, 195 });
    Rules.Release(mbLeft, TImageMouse::NoImage, TPoint{ 220, 195 });
    EXPECT_EQ(Window->Left, 100);

    Rules.Press(mbLeft, At(TControl::BackG), TPoint{ 30, 20 });
    Rules.Move(At(TControl::RecB), Middle(TControl::RecB));
    const TPoint Moved = Middle(TControl::RecB);
    EXPECT_EQ(Window->Left, 100 + Moved.X - 30);
    EXPECT_EQ(Window->Top, 100 + Moved.Y - 20);
    Rules.Release(mbLeft, At(TControl::RecB), Middle(TControl::RecB));
}

TEST_F(ControlMouse, WithoutTheRoutingTheRulesDecisionsGoNowhere)
{
    Open();
    Events.Attach(&Main());
    Host.SetControlEvents(nullptr);
    Rules.Press(mbLeft, At(TControl::MinB), Middle(TControl::MinB));
    Rules.Release(mbLeft, At(TControl::MinB), Middle(TControl::MinB));
    EXPECT_EQ(Window->Minimised, 0);
    Host.SetControlEvents(&Events);
    Rules.Press(mbLeft, At(TControl::MinB), Middle(TControl::MinB));
    Rules.Release(mbLeft, At(TControl::MinB), Middle(TControl::MinB));
    EXPECT_EQ(Window->Minimised, 1);
}
