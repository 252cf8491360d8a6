// The image controls' mouse rules, fed raw events and the control under the pointer, checked by
// what the host is told, in order.
#include "ImageMouse.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr int Background = 0;
constexpr int Close = 1;
constexpr int Stop = 2;
constexpr int None = TImageMouse::NoImage;

// Records every call as a line: "down 1 L 3,4", "click 1", "capture", ...
class TRecordingHost : public TImageMouseHost {
public:
    std::vector<std::string> Calls;

    TPoint Origin(int Control) const override
    {
        // The background fills the window; the buttons lie at (300, 10) and (200, 130).
        return Control == Close ? TPoint{ 300, 10 }
            : Control == Stop   ? TPoint{ 200, 130 }
                                : TPoint{ 0, 0 };
    }
    void CaptureMouse() override { Calls.push_back("capture"); }
    void ReleaseMouse() override { Calls.push_back("release capture"); }
    void MouseDown(int Control, TMouseButton Button, TPoint At) override
    {
        Calls.push_back("down " + Describe(Control, Button, At));
    }
    void MouseMove(int Control, TPoint At) override
    {
        Calls.push_back("move " + std::to_string(Control) + " " + Point(At));
    }
    void MouseUp(int Control, TMouseButton Button, TPoint At) override
    {
        Calls.push_back("up " + Describe(Control, Button, At));
    }
    void Click(int Control) override { Calls.push_back("click " + std::to_string(Control)); }

private:
    static std::string Point(TPoint At)
    {
        return std::to_string(At.X) + "," + std::to_string(At.Y);
    }
    static std::string Describe(int Control, TMouseButton Button, TPoint At)
    {
        const char* Name = Button == mbLeft ? "L" : Button == mbRight ? "R" : "M";
        return std::to_string(Control) + " " + Name + " " + Point(At);
    }
};

using TCalls = std::vector<std::string>;

class ImageMouse : public testing::Test {
protected:
    TCalls Take()
    {
        TCalls Taken;
        Taken.swap(Host.Calls);
        return Taken;
    }
    TRecordingHost Host;
    TImageMouse Mouse{ Host };
};

TEST_F(ImageMouse, PrimaryPressAndReleaseOverTheControlClickBeforeTheRelease)
{
    Mouse.Press(mbLeft, Close, { 303, 14 });
    Mouse.Release(mbLeft, Close, { 305, 15 });
    EXPECT_EQ(
        Take(), (TCalls{ "capture", "down 1 L 3,4", "release capture", "click 1", "up 1 L 5,5" }));
}

TEST_F(ImageMouse, PrimaryReleaseOutsideThePressedControlGoesToItWithoutAClick)
{
    // Released over another image control, then over no image control at all.
    Mouse.Press(mbLeft, Close, { 303, 14 });
    Mouse.Release(mbLeft, Stop, { 210, 140 });
    EXPECT_EQ(Take(), (TCalls{ "capture", "down 1 L 3,4", "release capture", "up 1 L -90,130" }));
    Mouse.Press(mbLeft, Close, { 303, 14 });
    Mouse.Release(mbLeft, None, { 400, -20 });
    EXPECT_EQ(Take(), (TCalls{ "capture", "down 1 L 3,4", "release capture", "up 1 L 100,-30" }));
}

TEST_F(ImageMouse, OtherButtonsReleaseOverTheControlUnderThePointerAndNeverClick)
{
    Mouse.Press(mbRight, Close, { 303, 14 });
    Mouse.Release(mbRight, Close, { 304, 14 });
    EXPECT_EQ(Take(), (TCalls{ "capture", "down 1 R 3,4", "release capture", "up 1 R 4,4" }));
    Mouse.Press(mbMiddle, Close, { 303, 14 });
    Mouse.Release(mbMiddle, Stop, { 201, 131 });
    EXPECT_EQ(Take(), (TCalls{ "capture", "down 1 M 3,4", "release capture", "up 2 M 1,1" }));
    Mouse.Press(mbRight, Close, { 303, 14 });
    Mouse.Release(mbRight, None, { 500, 500 });
    EXPECT_EQ(Take(), (TCalls{ "capture", "down 1 R 3,4", "release capture" }));
}

TEST_F(ImageMouse, APressOverNoImageGoesNowhereAndItsPrimaryReleaseToo)
{
    Mouse.Press(mbLeft, None, { 10, 10 });
    Mouse.Release(mbLeft, Close, { 303, 14 });
    EXPECT_EQ(Take(), TCalls{});
    // A secondary release belongs to the control under the pointer, wherever its press was.
    Mouse.Press(mbRight, None, { 10, 10 });
    Mouse.Release(mbRight, Close, { 303, 14 });
    EXPECT_EQ(Take(), (TCalls{ "up 1 R 3,4" }));
}

TEST_F(ImageMouse, MovesGoToThePressedControlWhileAButtonIsHeldElseUnderThePointer)
{
    // A move without a press: the control under the pointer, or none.
    Mouse.Move(Stop, { 205, 135 });
    Mouse.Move(None, { 5, 5 });
    EXPECT_EQ(Take(), (TCalls{ "move 2 5,5" }));

    Mouse.Press(mbRight, Background, { 100, 100 });
    Mouse.Move(Close, { 301, 11 });
    Mouse.Move(None, { -40, 260 });
    Mouse.Release(mbRight, Background, { 90, 90 });
    Mouse.Move(Close, { 301, 11 });
    EXPECT_EQ(Take(),
        (TCalls{ "capture", "down 0 R 100,100", "move 0 301,11", "move 0 -40,260",
            "release capture", "up 0 R 90,90", "move 1 1,1" }));
}

TEST_F(ImageMouse, ASecondButtonKeepsTheCaptureUntilTheLastIsReleased)
{
    Mouse.Press(mbLeft, Close, { 303, 14 });
    Mouse.Press(mbRight, Stop, { 205, 135 });
    EXPECT_EQ(Mouse.Owner(), Stop);
    // The primary release still goes to where the primary press began, without a click over
    // another control, and the capture stays for the button still held.
    Mouse.Release(mbLeft, Stop, { 206, 135 });
    Mouse.Move(None, { 0, 0 });
    Mouse.Release(mbRight, Stop, { 206, 136 });
    EXPECT_EQ(Take(),
        (TCalls{ "capture", "down 1 L 3,4", "capture", "down 2 R 5,5", "up 1 L -94,125",
            "move 2 -200,-130", "release capture", "up 2 R 6,6" }));
    EXPECT_EQ(Mouse.Owner(), None);
}

TEST_F(ImageMouse, APressThatLosesTheMouseGetsNoReleaseAndNoClick)
{
    Mouse.Press(mbLeft, Close, { 303, 14 });
    Mouse.CaptureLost();
    Mouse.Move(Stop, { 201, 131 });
    Mouse.Release(mbLeft, Close, { 303, 14 });
    EXPECT_EQ(Take(), (TCalls{ "capture", "down 1 L 3,4", "move 2 1,1" }));
    // The next press starts afresh.
    Mouse.Press(mbLeft, Close, { 303, 14 });
    Mouse.Release(mbLeft, Close, { 303, 14 });
    EXPECT_EQ(
        Take(), (TCalls{ "capture", "down 1 L 3,4", "release capture", "click 1", "up 1 L 3,4" }));
}

} // namespace
