// A recording canvas and fake hosts for testing the widgets without a toolkit: the canvas keeps
// every call it receives, with text measured in a fixed-pitch font, and the hosts keep the size
// and count the repaint requests and notifications.
#pragma once

#include "WidgetHost.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace WidgetTest {

enum TCanvasOp { opFillRect, opFrameRect, opFillEllipse, opFocusRect, opTextOut };

struct TCanvasCall {
    TCanvasOp Op = opFillRect;
    TRect R; // the rectangle; for TextOut its left and top are the anchor
    TColor Color = 0;
    std::string Text;
    int UnderlineAt = -1;
    bool operator==(const TCanvasCall&) const = default;
};

inline TCanvasCall Fill(TRect R, TColor Color)
{
    return { opFillRect, R, Color, {}, -1 };
}
inline TCanvasCall Frame(TRect R, TColor Color)
{
    return { opFrameRect, R, Color, {}, -1 };
}
inline TCanvasCall Ellipse(TRect R, TColor Color)
{
    return { opFillEllipse, R, Color, {}, -1 };
}
inline TCanvasCall Focus(TRect R)
{
    return { opFocusRect, R, 0, {}, -1 };
}
inline TCanvasCall Text(TPoint At, const std::string& Text, int UnderlineAt, TColor Color)
{
    return { opTextOut, { At.X, At.Y, At.X, At.Y }, Color, Text, UnderlineAt };
}

inline void PrintTo(const TCanvasCall& Call, std::ostream* Out)
{
    static const char* const Names[]
        = { "FillRect", "FrameRect", "FillEllipse", "DrawFocusRect", "TextOut" };
    *Out << Names[Call.Op] << "(" << Call.R.Left << ", " << Call.R.Top << ", " << Call.R.Right
         << ", " << Call.R.Bottom << ", #" << std::hex << Call.Color << std::dec;
    if (Call.Op == opTextOut)
        *Out << ", \"" << Call.Text << "\", underline " << Call.UnderlineAt;
    *Out << ")";
}

class TRecordingCanvas : public TCanvas {
public:
    // Every character advances CharWidth pixels; a line is the pixel size plus LineGap high.
    static constexpr int CharWidth = 6;
    static constexpr int LineGap = 3;

    std::vector<TCanvasCall> Calls;
    std::vector<TFont> Fonts; // the font of each TextOut

    void FillRect(const TRect& R, TColor Color) override { Calls.push_back(Fill(R, Color)); }
    void FrameRect(const TRect& R, TColor Color) override { Calls.push_back(Frame(R, Color)); }
    void FillEllipse(const TRect& R, TColor Color) override { Calls.push_back(Ellipse(R, Color)); }
    void DrawFocusRect(const TRect& R) override { Calls.push_back(Focus(R)); }
    TSize TextExtent(const std::string& Text, const TFont& Font) override
    {
        return { CharWidth * int(Text.size()), Font.PixelSize + LineGap };
    }
    void TextOut(TPoint At, const std::string& Text, int UnderlineAt, const TFont& Font,
        TColor Color) override
    {
        Calls.push_back(WidgetTest::Text(At, Text, UnderlineAt, Color));
        Fonts.push_back(Font);
    }

    std::vector<TCanvasCall> Of(TCanvasOp Op) const
    {
        std::vector<TCanvasCall> Result;
        for (const TCanvasCall& Call : Calls)
            if (Call.Op == Op)
                Result.push_back(Call);
        return Result;
    }
};

// The widget host part both fakes share.
template <typename THost> class TFakeHost : public THost {
public:
    TSize CurrentSize;
    std::vector<TSize> Resizes;
    int Invalidates = 0;
    int Repaints = 0;
    TSystemPalette Palette = ClassicSystemPalette;

    TSize Size() const override { return CurrentSize; }
    void Resize(TSize NewSize) override
    {
        CurrentSize = NewSize;
        Resizes.push_back(NewSize);
    }
    void Invalidate() override { ++Invalidates; }
    void Repaint() override { ++Repaints; }
    TSystemPalette SystemPalette() const override { return Palette; }
    // Repaint requests of either kind.
    int Paints() const { return Invalidates + Repaints; }
};

class TFakeBarHost : public TFakeHost<TFlatProgressBarHost> {
public:
    std::optional<TColor> Parent;
    std::optional<TColor> ParentBackground() const override { return Parent; }
};

class TFakeBtnHost : public TFakeHost<TGradBtnHost> {
public:
    bool IsEnabled = true;
    bool HasFocus = false;
    bool Captured = false;
    // Notifications and focus and capture requests in their order; Repaint too, so that a test
    // sees the click reported after the repaint.
    std::vector<std::string> Log;

    bool Enabled() const override { return IsEnabled; }
    bool Focused() const override { return HasFocus; }
    void SetFocus() override
    {
        HasFocus = true;
        Log.push_back("SetFocus");
    }
    void CaptureMouse() override
    {
        Captured = true;
        Log.push_back("Capture");
    }
    void ReleaseMouse() override
    {
        Captured = false;
        Log.push_back("Release");
    }
    void Repaint() override
    {
        TFakeHost::Repaint();
        Log.push_back("Repaint");
    }
    void Clicked() override { Log.push_back("Click"); }
    void MouseEntered() override { Log.push_back("Enter"); }
    void MouseLeft() override { Log.push_back("Leave"); }
    void MouseDown(TMouseButton Button, TShiftState, TPoint) override
    {
        Log.push_back(Button == mbLeft ? "Down left" : "Down other");
    }
    void MouseMoved(TShiftState, TPoint) override { }
    void MouseUp(TMouseButton Button, TShiftState, TPoint) override
    {
        Log.push_back(Button == mbLeft ? "Up left" : "Up other");
    }
};

} // namespace WidgetTest
