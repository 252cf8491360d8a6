// The form's keyboard: the focus of the drawn controls that take it (the image buttons, the input
// chooser), Tab round the form's tab order by the window's rule (ControlKeys.h), and the keys of
// those controls and the shortcuts, taken from the message loop before the system's dialog keys.
#include "Win32MainForm.h"

namespace {

constexpr size_t NoControl = static_cast<size_t>(-1);

bool Held(int Key)
{
    return GetKeyState(Key) < 0;
}

// Bit 30 of a key message: the key was down already, and the system repeats it.
bool IsRepeat(LPARAM L)
{
    return (L & (LPARAM(1) << 30)) != 0;
}

// System: the key came with Alt (WM_SYSKEYDOWN).
TKey KeyOf(WPARAM Key, bool System)
{
    switch (Key) {
    case VK_DOWN:
        return System ? TKey::AltDown : TKey::Other;
    case VK_SPACE:
        return TKey::Space;
    case VK_RETURN:
        return TKey::Enter;
    default:
        return TKey::Other;
    }
}

} // namespace

void TWin32MainForm::Dispatch(MSG& Message)
{
    RememberFocus();
    if (TranslateKey(Message))
        return;
    // While a drawn control (an image button, the input chooser) has the focus the form itself
    // has the system's, which the dialog keys would take for no control at all: its other keys
    // go nowhere.
    const bool ImageFocused = FFocusedImage != NoControl && GetFocus() == FHandle;
    if (!ImageFocused && IsDialogMessageW(FHandle, &Message))
        return;
    TranslateMessage(&Message);
    DispatchMessageW(&Message);
}

bool TWin32MainForm::TranslateKey(const MSG& Message)
{
    // Alt+Down, which opens the input chooser, comes as a system key.
    const bool System = Message.message == WM_SYSKEYDOWN;
    if (Message.message != WM_KEYDOWN && !(System && Message.wParam == VK_DOWN))
        return false;
    if (Message.hwnd != FHandle && !IsChild(FHandle, Message.hwnd))
        return false;
    if (Message.wParam == VK_TAB) {
        MoveFocus(Held(VK_SHIFT));
        return true;
    }
    const bool Repeat = IsRepeat(Message.lParam);
    if (Held(VK_CONTROL) && !Held(VK_MENU))
        return Message.wParam >= 'A' && Message.wParam <= 'Z'
            && FKeys.Shortcut(static_cast<char>(Message.wParam), Repeat);
    if (FFocusedImage == NoControl || GetFocus() != FHandle)
        return false;
    return FKeys.KeyDown(IdOf(FFocusedImage), KeyOf(Message.wParam, System), Repeat);
}

size_t TWin32MainForm::FocusedIndex() const
{
    const HWND Focused = GetFocus();
    if (!Focused)
        return NoControl;
    if (Focused == FHandle)
        return FFocusedImage;
    return IsChild(FHandle, Focused) ? ControlOf(Focused) : NoControl;
}

std::optional<TControl> TWin32MainForm::FocusedControl() const
{
    const size_t Index = FocusedIndex();
    return Index == NoControl ? std::nullopt : std::optional(IdOf(Index));
}

void TWin32MainForm::MoveFocus(bool Backward)
{
    const size_t From = FocusedIndex();
    const std::optional<TControl> To = TControlKeys::NextTabStop(
        From == NoControl ? std::nullopt : std::optional(Form::Controls()[From].Id), Backward,
        [this](TControl Control) {
            const size_t Index = Form::IndexOf(Control);
            const HWND Child = FChildren[Index];
            return Child ? IsWindowEnabled(Child) && IsWindowVisible(Child) : EnabledAt(Index);
        },
        [this](TControl Control) { return Checked(Control); });
    if (To)
        FocusControl(Form::IndexOf(*To));
}

void TWin32MainForm::FocusControl(size_t Control)
{
    if (const HWND Child = FChildren[Control]) {
        // As the dialog keys do: Tab selects a text box's whole text.
        if (SendMessageW(Child, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
            SendMessageW(Child, EM_SETSEL, 0, -1);
        SetFocus(Child);
        return;
    }
    const size_t Before = FFocusedImage;
    FFocusedImage = Control;
    if (GetFocus() != FHandle)
        SetFocus(FHandle);
    if (Before != NoControl)
        InvalidateControl(Before, false);
    InvalidateControl(Control, false);
}

void TWin32MainForm::FocusChanged(bool Gained, HWND Other)
{
    if (FFocusedImage == NoControl)
        return;
    InvalidateControl(FFocusedImage, false);
    // A control of the form took the focus (the mouse or a dialog key): no image button has it
    // any more. Another window (a box, the Save dialog) leaves it for the window's return.
    if (!Gained && Other && IsChild(FHandle, Other))
        FFocusedImage = NoControl;
}

void TWin32MainForm::RememberFocus()
{
    const HWND Focused = GetFocus();
    if (Focused && (Focused == FHandle || IsChild(FHandle, Focused)))
        FFocusBeforeDeactivation = Focused;
}
