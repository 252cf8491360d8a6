#include "ControlKeys.h"

#include "FormDescription.h"

#include <algorithm>
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

std::optional<TControl> TControlKeys::NextTabStop(std::optional<TControl> From, bool Backward,
    const std::function<bool(TControl)>& Enabled, const std::function<bool(TControl)>& Checked)
{
    std::vector<TControl> Order = Form::TabOrder();
    if (Backward)
        std::reverse(Order.begin(), Order.end());
    const auto Start = From ? std::find(Order.begin(), Order.end(), *From) : Order.end();
    const size_t First = Start == Order.end() ? 0 : static_cast<size_t>(Start - Order.begin()) + 1;
    for (size_t Step = 0; Step < Order.size(); ++Step) {
        const TControl Candidate = Order[(First + Step) % Order.size()];
        if (Enabled(Candidate) && Form::IsTabStop(Form::Spec(Candidate), Checked(Candidate)))
            return Candidate;
    }
    return std::nullopt;
}

bool TControlKeys::IsChooser(TControl Control)
{
    const TControlSpec& Spec = Form::Spec(Control);
    return Spec.Kind == TControlKind::Label && Spec.TabOrder >= 0;
}

bool TControlKeys::KeyDown(TControl Focused, TKey Key, bool Repeat)
{
    const bool Acts = Key == TKey::AltDown
        ? IsChooser(Focused)
        : Key != TKey::Other && (IsImageButton(Focused) || IsChooser(Focused));
    if (!Acts)
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
