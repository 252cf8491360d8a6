#include "GradBtnCore.h"

#include "FakeWidgetHost.h"

#include <gtest/gtest.h>

using namespace WidgetTest;

namespace {

constexpr TColor Light = RGB(206, 206, 206);
constexpr TColor Dark = RGB(95, 95, 95);
// The rows of the resting "Save as" face, one gradient step each.
const int RestRows[18]
    = { 200, 194, 188, 182, 176, 169, 163, 157, 151, 145, 139, 132, 126, 120, 114, 108, 102, 95 };

constexpr TColor Grey(int Level)
{
    return RGB(uint8_t(Level), uint8_t(Level), uint8_t(Level));
}

// The window's "Save as" button.
struct TSaveAs {
    TFakeBtnHost Host;
    TGradBtnCore Button{ Host };

    explicit TSaveAs(const std::string& Caption = "Save as")
    {
        Host.CurrentSize = { 47, 18 };
        Button.SetCaption(Caption);
        Button.SetGradientStyle(gsVertical);
        Button.SetBeginColor(Light);
        Button.SetEndColor(Dark);
        Button.SetTextStyle(tsInset);
        Button.SetTextShadeType(stHeavy);
        Button.SetBtnHiliteClr(clWhite);
        Button.SetBtnShadowClr(clBlack);
        Button.SetDisabledColor(RGB(128, 128, 128));
        Button.SetFont({ "Times New Roman", 13, TFont::Bold });
        Button.SetFontColor(clInfoBk);
        Host.Log.clear();
    }

    TRecordingCanvas Paint()
    {
        TRecordingCanvas Canvas;
        Button.Paint(Canvas);
        return Canvas;
    }

    void Press(TPoint At = { 20, 9 }) { Button.MouseDown(mbLeft, ssLeft, At); }
    void Release(TPoint At = { 20, 9 }) { Button.MouseUp(mbLeft, 0, At); }
    int Clicks() const { return int(std::count(Host.Log.begin(), Host.Log.end(), "Click")); }
};

} // namespace

TEST(GradBtnCore, ConstructedAsTheFormExpects)
{
    TFakeBtnHost Host;
    TGradBtnCore Button(Host);
    EXPECT_EQ(Host.CurrentSize, (TSize{ 75, 25 }));
    EXPECT_EQ(Button.BeginColor(), clNavy);
    EXPECT_EQ(Button.EndColor(), clAqua);
    EXPECT_EQ(Button.DisabledColor(), clGrayText);
    EXPECT_EQ(Button.BtnHiliteClr(), clBtnHighlight);
    EXPECT_EQ(Button.TxtShadowClr(), clBtnShadow);
    EXPECT_EQ(Button.GradientStyle(), gsVertCenter);
    EXPECT_EQ(Button.TextStyle(), tsRaised);
    EXPECT_TRUE(Button.SwapColors());
    EXPECT_TRUE(Button.ShowFocus());
    EXPECT_TRUE(Button.IsUp());
    EXPECT_EQ(Button.FontColor(), clBlack);
}

TEST(GradBtnCore, SaveAsPaintStepsAtRestAndHeldDown)
{
    TSaveAs SaveAs;
    SaveAs.Button.SetShowFocus(false); // the press gives the focus
    TRecordingCanvas Rest = SaveAs.Paint();
    // Of the 256 bands only one per row is not empty: the rows from grey 200 down to grey 95.
    std::vector<TCanvasCall> Expected;
    for (int Y = 0; Y < 18; ++Y)
        Expected.push_back(Fill({ 0, Y, 47, Y + 1 }, Grey(RestRows[Y])));
    // White top and left edges, black bottom and right edges.
    Expected.push_back(Fill({ 0, 0, 46, 1 }, clWhite));
    Expected.push_back(Fill({ 0, 0, 1, 17 }, clWhite));
    Expected.push_back(Fill({ 46, 0, 47, 18 }, clBlack));
    Expected.push_back(Fill({ 0, 17, 47, 18 }, clBlack));
    // "Save as" is 42 x 16 in the test font: anchored at (2, 1). Shadow up left, highlight down
    // right, the tooltip-background face on top.
    Expected.push_back(Text({ 1, 0 }, "Save as", -1, ClassicSystemPalette[16]));
    Expected.push_back(Text({ 3, 2 }, "Save as", -1, ClassicSystemPalette[20]));
    Expected.push_back(Text({ 2, 1 }, "Save as", -1, RGB(255, 255, 225)));
    EXPECT_EQ(Rest.Calls, Expected);
    EXPECT_EQ(Rest.Fonts.front(), (TFont{ "Times New Roman", 13, TFont::Bold }));

    SaveAs.Press();
    EXPECT_FALSE(SaveAs.Button.IsUp());
    EXPECT_EQ(SaveAs.Button.BeginColor(), Dark) << "the properties themselves exchange";
    EXPECT_EQ(SaveAs.Host.Log, (std::vector<std::string>{ "Down left", "Capture", "SetFocus" }));
    TRecordingCanvas Held = SaveAs.Paint();
    ASSERT_EQ(Held.Calls.size(), Expected.size());
    for (int Y = 0; Y < 18; ++Y)
        EXPECT_EQ(Held.Calls[Y].Color, Grey(301 - RestRows[Y])) << "row " << Y;
    EXPECT_EQ(Held.Calls[18], Fill({ 0, 0, 46, 1 }, clBlack));
    EXPECT_EQ(Held.Calls[21], Fill({ 0, 17, 47, 18 }, clWhite));
    EXPECT_EQ(Held.Calls.back(), Text({ 3, 2 }, "Save as", -1, RGB(255, 255, 225)))
        << "the caption moves one pixel right and down";

    SaveAs.Host.Log.clear();
    SaveAs.Release();
    EXPECT_EQ(
        SaveAs.Host.Log, (std::vector<std::string>{ "Release", "Repaint", "Click", "Up left" }))
        << "repainted released before the click is reported";
    EXPECT_TRUE(SaveAs.Button.IsUp());
    EXPECT_EQ(SaveAs.Button.BeginColor(), Light);
    EXPECT_EQ(SaveAs.Paint().Calls, Expected);
}

TEST(GradBtnCore, LeavingWithTheButtonHeldReleasesIt)
{
    TSaveAs SaveAs;
    SaveAs.Press();
    SaveAs.Button.MouseMove(ssLeft, { 80, 40 });
    EXPECT_TRUE(SaveAs.Button.IsUp());
    EXPECT_EQ(SaveAs.Button.BeginColor(), Light);
    SaveAs.Release({ 80, 40 });
    EXPECT_EQ(SaveAs.Clicks(), 0);
    EXPECT_FALSE(SaveAs.Host.Captured);
    EXPECT_TRUE(SaveAs.Button.IsUp());
    EXPECT_EQ(SaveAs.Button.BeginColor(), Light);
    EXPECT_EQ(SaveAs.Button.EndColor(), Dark);

    // Coming back with the button still held holds it again, and the release over it clicks.
    SaveAs.Host.Log.clear();
    SaveAs.Press();
    SaveAs.Button.MouseMove(ssLeft, { 47, 9 }); // just past the right edge
    SaveAs.Button.MouseMove(ssLeft, { 46, 9 });
    EXPECT_EQ(SaveAs.Host.Log,
        (std::vector<std::string>{
            "Down left", "Capture", "SetFocus", "Leave", "SetFocus", "Enter" }));
    EXPECT_FALSE(SaveAs.Button.IsUp());
    EXPECT_EQ(SaveAs.Button.BeginColor(), Dark);
    SaveAs.Release({ 46, 9 });
    EXPECT_EQ(SaveAs.Clicks(), 1);
    EXPECT_EQ(SaveAs.Button.BeginColor(), Light);

    // The toolkit's own leave and enter events act the same while the button is held.
    SaveAs.Press();
    SaveAs.Button.MouseLeave();
    EXPECT_TRUE(SaveAs.Button.IsUp());
    SaveAs.Button.MouseEnter();
    EXPECT_FALSE(SaveAs.Button.IsUp());
    SaveAs.Release();
    EXPECT_EQ(SaveAs.Clicks(), 2);
}

TEST(GradBtnCore, OtherButtonsOnlyTakeTheFocus)
{
    TSaveAs SaveAs;
    const int Invalidates = SaveAs.Host.Invalidates;
    SaveAs.Button.MouseDown(mbRight, ssRight, { 20, 9 });
    EXPECT_TRUE(SaveAs.Host.HasFocus);
    EXPECT_TRUE(SaveAs.Button.IsUp());
    EXPECT_FALSE(SaveAs.Host.Captured);
    EXPECT_EQ(SaveAs.Button.BeginColor(), Light);
    EXPECT_EQ(SaveAs.Host.Invalidates, Invalidates);
    SaveAs.Button.MouseUp(mbRight, 0, { 20, 9 });
    EXPECT_EQ(SaveAs.Clicks(), 0);

    // Without SwapColors a press holds the button down but keeps the colours.
    SaveAs.Button.SetSwapColors(false);
    SaveAs.Press();
    EXPECT_FALSE(SaveAs.Button.IsUp());
    EXPECT_EQ(SaveAs.Button.BeginColor(), Light);
    // Turning SwapColors on while held does not exchange anything back later.
    SaveAs.Button.SetSwapColors(true);
    SaveAs.Release();
    EXPECT_EQ(SaveAs.Button.BeginColor(), Light);
}

TEST(GradBtnCore, KeyboardClicks)
{
    TSaveAs SaveAs("&Save");
    EXPECT_EQ(SaveAs.Button.AcceleratorChar(), "S");
    EXPECT_TRUE(SaveAs.Button.KeyPress('\r'));
    EXPECT_TRUE(SaveAs.Button.KeyPress(' '));
    EXPECT_FALSE(SaveAs.Button.KeyPress('s'));
    EXPECT_EQ(SaveAs.Clicks(), 2);
    EXPECT_EQ(SaveAs.Button.BeginColor(), Light) << "a click that ends no hold keeps the colours";

    // The click flag left by the keyboard must not swallow a later release.
    SaveAs.Press();
    SaveAs.Button.MouseMove(ssLeft, { 80, 40 });
    SaveAs.Button.MouseEnter(); // a stray enter without the pointer over the button
    SaveAs.Button.MouseLeave();
    SaveAs.Release({ 80, 40 });
    EXPECT_TRUE(SaveAs.Button.IsUp());
    EXPECT_EQ(SaveAs.Button.BeginColor(), Light);

    EXPECT_TRUE(SaveAs.Button.DialogChar("s")) << "either case";
    EXPECT_TRUE(SaveAs.Button.DialogChar("S"));
    EXPECT_FALSE(SaveAs.Button.DialogChar("a"));
    EXPECT_EQ(SaveAs.Clicks(), 4);
    SaveAs.Host.IsEnabled = false;
    EXPECT_FALSE(SaveAs.Button.DialogChar("s")) << "not while disabled";
    EXPECT_EQ(SaveAs.Clicks(), 4);

    SaveAs.Button.SetCaption("Save");
    SaveAs.Host.IsEnabled = true;
    EXPECT_FALSE(SaveAs.Button.DialogChar("s")) << "a caption without a marker has no accelerator";
    SaveAs.Button.SetCaption("&\xc3\xa9t\xc3\xa9");
    EXPECT_EQ(SaveAs.Button.AcceleratorChar(), "\xc3\xa9") << "the whole UTF-8 character";
}

TEST(GradBtnCore, FocusRectangleAndDisabledCaption)
{
    TSaveAs SaveAs;
    SaveAs.Host.HasFocus = true;
    EXPECT_EQ(SaveAs.Paint().Calls.back(), Focus({ 2, 2, 45, 16 }));
    SaveAs.Button.SetShowFocus(false);
    EXPECT_TRUE(SaveAs.Paint().Of(opFocusRect).empty());
    SaveAs.Button.SetShowFocus(true);
    SaveAs.Host.HasFocus = false;
    EXPECT_TRUE(SaveAs.Paint().Of(opFocusRect).empty());

    // Disabled: inset whatever the style, with the disabled colour as the face.
    SaveAs.Button.SetTextStyle(tsRaised);
    SaveAs.Button.SetTextShadeType(stLight);
    SaveAs.Button.SetTxtHiliteClr(RGB(0, 255, 0));
    SaveAs.Host.IsEnabled = false;
    EXPECT_EQ(SaveAs.Paint().Of(opTextOut),
        (std::vector<TCanvasCall>{ Text({ 3, 2 }, "Save as", -1, RGB(0, 255, 0)),
            Text({ 2, 1 }, "Save as", -1, RGB(128, 128, 128)) }));

    const int Invalidates = SaveAs.Host.Invalidates;
    SaveAs.Button.FocusChanged();
    SaveAs.Button.EnabledChanged();
    EXPECT_EQ(SaveAs.Host.Invalidates, Invalidates + 2);
}

TEST(GradBtnCore, SettersFrameSizeAndPresets)
{
    TSaveAs SaveAs("&Save");
    SaveAs.Button.SetBtnFrameSize(5); // 18 div 2 - 5 = 4
    EXPECT_EQ(SaveAs.Button.BtnFrameSize(), 1);
    SaveAs.Button.SetBtnFrameSize(4);
    EXPECT_EQ(SaveAs.Button.BtnFrameSize(), 4);
    const std::vector<TCanvasCall> Fills = SaveAs.Paint().Of(opFillRect);
    ASSERT_EQ(Fills.size(), 18u + 4 * 4);
    EXPECT_EQ(Fills[18 + 12], Fill({ 3, 3, 43, 4 }, clWhite)) << "the fourth ring";
    EXPECT_EQ(Fills.back(), Fill({ 3, 14, 44, 15 }, clBlack));

    // Unchanged values, SwapColors and ShowFocus ask for no paint; a changed value does.
    const int Invalidates = SaveAs.Host.Invalidates;
    SaveAs.Button.SetBeginColor(Light);
    SaveAs.Button.SetGradientStyle(gsVertical);
    SaveAs.Button.SetCaption("&Save");
    SaveAs.Button.SetFont({ "Times New Roman", 13, TFont::Bold });
    SaveAs.Button.SetSwapColors(false);
    SaveAs.Button.SetShowFocus(false);
    EXPECT_EQ(SaveAs.Host.Invalidates, Invalidates);
    SaveAs.Button.SetJustification(jLeft);
    SaveAs.Button.SetFont({ "Times New Roman", 14, TFont::Bold });
    EXPECT_EQ(SaveAs.Host.Invalidates, Invalidates + 2);

    // Presets belong to the form designer: at run time nothing changes, not even the value.
    SaveAs.Button.SetPresets(Aluminum);
    EXPECT_EQ(SaveAs.Button.Presets(), None);
    EXPECT_EQ(SaveAs.Button.BeginColor(), Light);
    EXPECT_EQ(SaveAs.Host.Invalidates, Invalidates + 2);
}

TEST(GradBtnCore, AmpersandCaptions)
{
    EXPECT_EQ(StripAccelerators("&Save"), (TCaptionText{ "Save", 0 }));
    EXPECT_EQ(StripAccelerators("a&&b"), (TCaptionText{ "a&b", -1 }));
    EXPECT_EQ(StripAccelerators("Sa&ve &as"), (TCaptionText{ "Save as", 2 }));
    EXPECT_EQ(StripAccelerators("Save&"), (TCaptionText{ "Save&", -1 })) << "the last one stays";
    EXPECT_EQ(StripAccelerators("&&&x"), (TCaptionText{ "&x", 1 }));
    EXPECT_EQ(StripAccelerators(""), (TCaptionText{ "", -1 }));
    EXPECT_EQ(StripAccelerators("\xc3\xa9&\xc3\xa9"), (TCaptionText{ "\xc3\xa9\xc3\xa9", 2 }));

    // The underlined character goes to the canvas as the byte where it starts.
    TSaveAs SaveAs("a&&b &Save");
    EXPECT_EQ(SaveAs.Paint().Calls.back(),
        Text({ (47 - 6 * 8) / 2, 1 }, "a&b Save", 4, RGB(255, 255, 225)));
}

TEST(GradBtnCore, CaptionLayersAndAnchors)
{
    const TCaptionColors Colors{ 1, 2, 3, 4 };
    using TLayers = std::vector<TCaptionLayer>;
    EXPECT_EQ(CaptionLayers(tsNormal, stHeavy, true, Colors), (TLayers{ { 0, 0, 1 } }));
    EXPECT_EQ(
        CaptionLayers(tsRaised, stLight, true, Colors), (TLayers{ { -1, -1, 3 }, { 0, 0, 1 } }));
    EXPECT_EQ(CaptionLayers(tsRaised, stHeavy, true, Colors),
        (TLayers{ { -1, -1, 3 }, { 1, 1, 4 }, { 0, 0, 1 } }));
    EXPECT_EQ(CaptionLayers(tsInset, stHeavy, true, Colors),
        (TLayers{ { -1, -1, 4 }, { 1, 1, 3 }, { 0, 0, 1 } }));
    // Disabled is inset whatever the style, with the disabled colour on top.
    EXPECT_EQ(
        CaptionLayers(tsNormal, stLight, false, Colors), (TLayers{ { 1, 1, 3 }, { 0, 0, 2 } }));

    const TSize Button{ 47, 18 }, Text{ 30, 15 };
    EXPECT_EQ(CaptionAnchor(jLeft, Button, Text, 0), (TPoint{ 2, 1 }));
    EXPECT_EQ(CaptionAnchor(jCenter, Button, Text, 1), (TPoint{ 9, 2 }));
    EXPECT_EQ(CaptionAnchor(jRight, Button, Text, 0), (TPoint{ 15, 1 }));
    EXPECT_EQ(CaptionAnchor(jCenter, Button, TSize{ 50, 20 }, 0), (TPoint{ -1, -1 }))
        << "truncated toward zero";
}

TEST(GradBtnCore, GradientSteps)
{
    // Channels move in whole steps truncated toward zero, downwards as well as upwards.
    EXPECT_EQ(GradientStep(RGB(206, 0, 95), RGB(95, 10, 206), 14, 255), RGB(200, 0, 101));
    // Too small for a centre style: the begin colour, no division by zero.
    EXPECT_EQ(GradientStep(clBlack, clWhite, 0, 0), clBlack);

    const TColor Begin = RGB(0, 0, 0), End = RGB(255, 200, 100);
    TRecordingCanvas Canvas;
    // The ellipses start a third of the size outside the button; the last one is empty.
    PaintGradient(Canvas, gsElliptic, Begin, End, 40, 20);
    ASSERT_EQ(Canvas.Calls.size(), 50u);
    EXPECT_EQ(Canvas.Calls.front(), Ellipse({ -13, -6, 53, 26 }, Begin));
    EXPECT_EQ(Canvas.Calls.back(), Ellipse({ 19, 9, 21, 11 }, GradientStep(Begin, End, 49, 50)));

    // Centre styles: step i on row i and its mirror; the middle rows get the end colour.
    Canvas.Calls.clear();
    PaintGradient(Canvas, gsVertCenter, Begin, End, 40, 20);
    ASSERT_EQ(Canvas.Calls.size(), 22u);
    EXPECT_EQ(Canvas.Calls[1], Fill({ 0, 19, 40, 20 }, Begin));
    EXPECT_EQ(Canvas.Calls[20], Fill({ 0, 10, 40, 11 }, End));
    EXPECT_EQ(Canvas.Calls[21], Fill({ 0, 9, 40, 10 }, End));

    // The rectangle style starts 2 pixels past the right and bottom edges.
    Canvas.Calls.clear();
    PaintGradient(Canvas, gsRectangle, Begin, End, 40, 20);
    EXPECT_EQ(Canvas.Calls.front(), Fill({ 0, 0, 41, 21 }, Begin));
}
