#include "AccessibleState.h"

#include "ControlKeys.h"

namespace {

std::string ValueOf(const TControlSpec& Spec, const TControlNow& Now)
{
    switch (Spec.Accessible.Role) {
    case TAccessibleRole::ProgressBar:
        return std::to_string(Now.Position);
    case TAccessibleRole::SpinBox:
    case TAccessibleRole::ComboBox:
    case TAccessibleRole::Text:
        return Now.Text;
    default:
        return {};
    }
}

std::string ShortcutOf(TControl Control)
{
    for (const TShortcut& Entry : TControlKeys::Shortcuts())
        if (Entry.Control == Control)
            return Entry.Text;
    return {};
}

TAccessibleState StateOf(const TControlSpec& Spec, const TControlNow& Now)
{
    const TAccessibleRole Role = Spec.Accessible.Role;
    TAccessibleState State;
    State.Unavailable = !Now.Enabled;
    State.Focusable = Spec.TabOrder >= 0;
    State.Focused = Now.Focused;
    State.Checked = Role == TAccessibleRole::RadioButton && Now.Checked;
    State.HasPopup = Role == TAccessibleRole::MenuButton;
    // The chooser is a painted label too, but one that is pressed.
    State.ReadOnly = !State.HasPopup
        && (Role == TAccessibleRole::ProgressBar || Spec.Kind == TControlKind::Label
            || Spec.Kind == TControlKind::FlatEdit || Spec.Kind == TControlKind::Panel);
    return State;
}

std::vector<TAccessibleAction> ActionsOf(const TControlSpec& Spec, const TControlNow& Now)
{
    if (!Now.Enabled)
        return {};
    switch (Spec.Accessible.Role) {
    case TAccessibleRole::PushButton:
        return { TAccessibleAction::Press };
    // Opening is what the chooser does; tools that press any button find the press beside it.
    case TAccessibleRole::MenuButton:
        return { TAccessibleAction::Open, TAccessibleAction::Press };
    case TAccessibleRole::RadioButton:
        return { TAccessibleAction::Check };
    default:
        return {};
    }
}

} // namespace

namespace Form {

TAccessibleView AccessibleView(TControl Control, const TControlNow& Now)
{
    const TControlSpec& Spec = Form::Spec(Control);
    TAccessibleView View;
    View.Name = AccessibleName(Spec, Now.Text);
    View.Value = ValueOf(Spec, Now);
    View.Shortcut = ShortcutOf(Control);
    View.RangeValue = Spec.Accessible.Role == TAccessibleRole::ProgressBar;
    View.State = StateOf(Spec, Now);
    View.Actions = ActionsOf(Spec, Now);
    return View;
}

const char* ActionName(TAccessibleAction Action)
{
    switch (Action) {
    case TAccessibleAction::Press:
        return "Press";
    case TAccessibleAction::Open:
        return "Open";
    case TAccessibleAction::Check:
        return "Check";
    }
    return "";
}

} // namespace Form
