#include "Win32FormWidgets.h"

#include "Win32Text.h"

RECT BoundsOf(const TControlSpec& Spec)
{
    return RECT{ Spec.Left, Spec.Top, Spec.Left + Spec.Width, Spec.Top + Spec.Height };
}

COLORREF ColorRefOf(TColor Color)
{
    // TColor keeps red in the low byte, as COLORREF does.
    return IsSystemColor(Color) ? GetSysColor(SystemColorIndex(Color)) : Color;
}

std::unique_ptr<TWin32FlatBar> CreateFormBar(HWND Parent, const TControlSpec& Spec)
{
    auto Bar = std::make_unique<TWin32FlatBar>(Parent, BoundsOf(Spec));
    Form::ApplyBarLook(Bar->Core(), Spec);
    Bar->Core().Loaded();
    return Bar;
}

std::unique_ptr<TWin32GradBtn> CreateFormButton(
    HWND Parent, int Id, const TControlSpec& Spec, DWORD Style)
{
    auto Button = std::make_unique<TWin32GradBtn>(Parent, Id, BoundsOf(Spec), Style);
    TGradBtnCore& Core = Button->Core();
    Core.SetCaption(Spec.Text);
    Form::ApplyButtonLook(Core, Spec);
    Core.SetFont(Spec.Font);
    // The core draws the caption; the window's text is what the system tells screen readers.
    SetWindowTextW(Button->Handle(), WideFromUtf8(Form::AccessibleName(Spec, Spec.Text)).c_str());
    return Button;
}
