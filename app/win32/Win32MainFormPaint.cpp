// The form's paint: its face, then the windowless controls in layout order, composed off screen
// and copied at once, so that nothing flickers.
#include "BevelPaint.h"
#include "FlatProgressBarCore.h"
#include "FocusMark.h"
#include "GdiCanvas.h"
#include "Win32MainForm.h"

#include <stdexcept>

namespace {

// Keeps a device context's origin and clipping for one control's paint.
class TControlClip {
public:
    TControlClip(HDC Dc, const RECT& Bounds)
        : FDc(Dc)
        , FSaved(SaveDC(Dc))
    {
        IntersectClipRect(Dc, Bounds.left, Bounds.top, Bounds.right, Bounds.bottom);
        SetViewportOrgEx(Dc, Bounds.left, Bounds.top, nullptr);
    }
    ~TControlClip() { RestoreDC(FDc, FSaved); }
    TControlClip(const TControlClip&) = delete;
    TControlClip& operator=(const TControlClip&) = delete;

private:
    HDC FDc;
    int FSaved;
};

// A bevel through the shared paint, with the system's present 3-D colours.
void PaintFormBevel(HDC Dc, const RECT& R, TBevelShape Shape)
{
    TControlClip Clip(Dc, R);
    TGdiFonts NoText;
    TGdiCanvas Canvas(Dc, NoText);
    PaintBevel(Canvas, Shape, TSize{ R.right - R.left, R.bottom - R.top }, Win32SystemPalette());
}

// A disabled label (the input chooser during a run) in the system's grey text.
void PaintLabel(HDC Dc, const TControlSpec& Spec, const RECT& R, HFONT Font,
    const std::wstring& Text, bool Disabled)
{
    HGDIOBJ Previous = SelectObject(Dc, Font);
    SetBkMode(Dc, TRANSPARENT);
    SetTextColor(Dc,
        Disabled ? GetSysColor(COLOR_GRAYTEXT)
                 : ColorRefOf(Spec.TextColor.value_or(Form::TextColor)));
    RECT Box = R;
    UINT Format = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX;
    if (!Spec.Clipped)
        Format |= DT_NOCLIP;
    DrawTextW(Dc, Text.c_str(), static_cast<int>(Text.size()), &Box, Format);
    SelectObject(Dc, Previous);
}

// The focus mark of an image button over its picture, or of the input chooser over its text.
void PaintImageFocus(HDC Dc, const RECT& R)
{
    TControlClip Clip(Dc, R);
    TGdiFonts NoText;
    TGdiCanvas Canvas(Dc, NoText);
    PaintFocusMark(Canvas, TSize{ R.right - R.left, R.bottom - R.top });
}

} // namespace

void TWin32MainForm::Paint()
{
    const TBufferedPaint Paint(FHandle);
    const RECT& Client = Paint.Client();
    FillRect(Paint.Dc(), &Client, GetSysColorBrush(SystemColorIndex(Form::FaceColor)));
    PaintWindowless(Paint.Dc());
}

void TWin32MainForm::PaintWindowless(HDC Dc)
{
    const auto Controls = Form::Controls();
    for (size_t Index = 0; Index < Controls.size(); ++Index) {
        const TControlSpec& Spec = Controls[Index];
        const RECT R = BoundsAt(Index);
        switch (Spec.Kind) {
        case TControlKind::Image:
            if (FDrawnCopies[Index])
                FDrawnCopies[Index]->Draw(Dc, R.left, R.top);
            else if (FPictures[Index])
                FPictures[Index]->Draw(Dc, R.left, R.top);
            if (Index == FFocusedImage && GetFocus() == FHandle)
                PaintImageFocus(Dc, R);
            break;
        case TControlKind::Label:
            PaintLabel(
                Dc, Spec, R, LabelFont(Index), FLabelTexts[Index], FWindowlessDisabled[Index]);
            if (Index == FFocusedImage && GetFocus() == FHandle)
                PaintImageFocus(Dc, R);
            break;
        case TControlKind::BoxBevel:
        case TControlKind::LineBevel:
            PaintFormBevel(Dc, R, Spec.Kind == TControlKind::BoxBevel ? bsBox : bsTopLine);
            break;
        case TControlKind::FlatBar: {
            TControlClip Clip(Dc, R);
            FBars[Index]->Paint(Dc);
            break;
        }
        case TControlKind::FlatEdit: {
            // The face around the borderless field.
            FillRect(Dc, &R, FaceBrush(Index));
            break;
        }
        default:
            break;
        }
    }
}

RECT TWin32MainForm::BoundsAt(size_t Control) const
{
    const TControlSpec& Spec = Form::Controls()[Control];
    if (FBars[Control])
        return FBars[Control]->Bounds();
    RECT R = BoundsOf(Spec);
    // The image buttons size themselves to their pictures; the background keeps its size.
    const bool AutoSize = Spec.Kind == TControlKind::Image && Spec.Image.AutoSize;
    if (AutoSize && FPictures[Control]) {
        R.right = R.left + FPictures[Control]->Width();
        R.bottom = R.top + FPictures[Control]->Height();
    }
    return R;
}

void TWin32MainForm::InvalidateControl(size_t Control, bool Now)
{
    const RECT R = BoundsAt(Control);
    InvalidateRect(FHandle, &R, FALSE);
    if (Now)
        UpdateWindow(FHandle);
}

void TWin32MainForm::SetLabelText(size_t Control, const std::wstring& Text)
{
    if (FLabelTexts[Control] == Text)
        return;
    FLabelTexts[Control] = Text;
    // A label without clipping may draw past its rectangle: the whole form is painted again.
    InvalidateRect(FHandle, nullptr, FALSE);
}

HFONT TWin32MainForm::LabelFont(size_t Control)
{
    if (!FLabelFonts[Control])
        FLabelFonts[Control] = CreateGdiFont(Form::Controls()[Control].Font);
    return FLabelFonts[Control];
}
