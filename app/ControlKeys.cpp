#include "ControlKeys.h"

#include "FormDescription.h"

#include <cctype>

namespace {

constexpr TShortcut ShortcutTable[] = {
    { 'R', TControl::RecB, "Ctrl+R" },
    { 'P', TControl::PauseB, "Ctrl+P" },
    { 'S', TControl::StopB, "Ctrl+S" },
};

} // namespace

TControlKeys::TControlKeys(TControlEvents& Events)
    : FEvents(Events)
{
}

std::span<const TShortcut> TControlKeys::Shortcuts()
{
    return ShortcutTable;
}

bool TControlKeys::IsImageButton(TControl Control)
{
    const TControlSpec& Spec = Form::Spec(Control);
    return Spec.Kind == TControlKind::Image && Spec.TabOrder >= 0;
}

bool TControlKeys::KeyDown(TControl Focused, TKey Key, bool Repeat)
{
    if (Key == TKey::Other || !IsImageButton(Focused))
        return false;
    if (!Repeat)
        FEvents.Activate(Focused);
    return true;
}

bool TControlKeys::Shortcut(char Letter, bool Repeat)
{
    const char Upper = static_cast<char>(std::toupper(static_cast<unsigned char>(Letter)));
    for (const TShortcut& Entry : ShortcutTable) {
        if (Entry.Letter != Upper)
            continue;
        if (!Repeat)
            FEvents.Activate(Entry.Control);
        return true;
    }
    return false;
}
