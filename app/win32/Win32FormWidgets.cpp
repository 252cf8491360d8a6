#include "Win32FormWidgets.h"

#include "FlatProgressBarCore.h"
#include "GradBtnCore.h"
#include "Win32Text.h"

std::unique_ptr<TWin32FlatBar> CreateFormBar(HWND Parent, const TFormControl& Spec)
{
    auto Bar = std::make_unique<TWin32FlatBar>(Parent, Spec.Bounds());
    TFlatProgressBarCore& Core = Bar->Core();
    Core.SetOrientation(Spec.Height > Spec.Width ? pbVertical : pbHorizontal);
    Core.SetMin(0);
    Core.SetMax(100);
    Core.SetStep(1);
    Core.SetSmooth(true);
    Core.SetColorElement(clBackground);
    Core.Loaded();
    return Bar;
}

std::unique_ptr<TWin32GradBtn> CreateFormButton(
    HWND Parent, int Id, const TFormControl& Spec, DWORD Style)
{
    auto Button = std::make_unique<TWin32GradBtn>(Parent, Id, Spec.Bounds(), Style);
    TGradBtnCore& Core = Button->Core();
    Core.SetCaption(Utf8FromWide(Spec.Text));
    Core.SetGradientStyle(gsVertical);
    Core.SetBeginColor(RGB(206, 206, 206));
    Core.SetEndColor(RGB(95, 95, 95));
    Core.SetTextStyle(tsInset);
    Core.SetTextShadeType(stHeavy);
    Core.SetBtnHiliteClr(clWhite);
    Core.SetBtnShadowClr(clBlack);
    Core.SetDisabledColor(RGB(128, 128, 128));
    TFont Font;
    Font.Family = Utf8FromWide(Spec.Font.Family);
    Font.PixelSize = Spec.Font.Pixels;
    Font.Weight = Spec.Font.Bold ? TFont::Bold : TFont::Normal;
    Core.SetFont(Font);
    Core.SetFontColor(clInfoBk);
    return Button;
}
