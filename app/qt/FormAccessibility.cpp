#include "FormAccessibility.h"

#include "AccessibleState.h"
#include "TFlatProgressBarUnit.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace {

// The dynamic property that marks a widget as the form's control, holding its TControl.
constexpr const char* ControlProperty = "corvatoneControl";

QAccessible::Role ToQtRole(TAccessibleRole Role)
{
    switch (Role) {
    case TAccessibleRole::PushButton:
        return QAccessible::Button;
    case TAccessibleRole::MenuButton:
        return QAccessible::ButtonMenu;
    case TAccessibleRole::RadioButton:
        return QAccessible::RadioButton;
    case TAccessibleRole::SpinBox:
        return QAccessible::SpinBox;
    case TAccessibleRole::ComboBox:
        return QAccessible::ComboBox;
    case TAccessibleRole::Text:
        return QAccessible::EditableText;
    case TAccessibleRole::Label:
        return QAccessible::StaticText;
    case TAccessibleRole::ProgressBar:
        return QAccessible::ProgressBar;
    case TAccessibleRole::StatusBar:
        return QAccessible::StatusBar;
    case TAccessibleRole::None:
        break;
    }
    return QAccessible::NoRole;
}

// Qt's names of the form's actions, in TAccessibleAction's order.
QStringList QtActionNames(const std::vector<TAccessibleAction>& Actions)
{
    const QString Names[] = { QAccessibleActionInterface::pressAction(),
        QAccessibleActionInterface::showMenuAction(), QAccessibleActionInterface::toggleAction() };
    QStringList Found;
    for (const TAccessibleAction Action : Actions)
        Found.append(Names[static_cast<size_t>(Action)]);
    return Found;
}

std::optional<TControl> ControlOf(const QObject* Object)
{
    const QVariant Value = Object ? Object->property(ControlProperty) : QVariant();
    if (!Value.isValid())
        return std::nullopt;
    return static_cast<TControl>(Value.toInt());
}

// A self-drawn control or the status panel, as the form describes it.
class TFormAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    TFormAccessible(QWidget* Widget, TControl Control)
        : QAccessibleWidget(Widget, ToQtRole(Form::Spec(Control).Accessible.Role))
        , FControl(Control)
    {
    }

    void* interface_cast(QAccessible::InterfaceType Type) override
    {
        if (Type == QAccessible::ValueInterface && View().RangeValue)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(Type);
    }

    QString text(QAccessible::Text Kind) const override
    {
        switch (Kind) {
        case QAccessible::Name:
            return QString::fromStdString(View().Name);
        case QAccessible::Value:
            return QString::fromStdString(View().Value);
        case QAccessible::Accelerator:
            return QString::fromStdString(View().Shortcut);
        case QAccessible::Description:
            return QString::fromStdString(Form::Spec(FControl).Accessible.Description);
        default:
            return QAccessibleWidget::text(Kind);
        }
    }

    // Qt's own reading of the widget (visible, on screen, the window active) with the form's
    // states over it.
    QAccessible::State state() const override
    {
        const TAccessibleState Told = View().State;
        QAccessible::State State = QAccessibleWidget::state();
        State.disabled = Told.Unavailable;
        State.focusable = Told.Focusable;
        State.focused = Told.Focused;
        State.checked = Told.Checked;
        State.hasPopup = Told.HasPopup;
        State.readOnly = Told.ReadOnly;
        return State;
    }

    // The form's actions, then Qt's own (moving the focus).
    QStringList actionNames() const override
    {
        QStringList Names = QtActionNames(View().Actions);
        Names.append(QAccessibleWidget::actionNames());
        Names.removeDuplicates();
        return Names;
    }

    // The action reaches the window after the tool's call has returned: it may open a modal box,
    // the save dialog or the input chooser's menu, and a screen reader must not wait on it.
    void doAction(const QString& Name) override
    {
        if (!QtActionNames(View().Actions).contains(Name)) {
            QAccessibleWidget::doAction(Name);
            return;
        }
        QPointer<QWidget> Target = widget();
        const TControl Control = FControl;
        QMetaObject::invokeMethod(
            Target,
            [Target, Control] {
                if (auto* Actions = dynamic_cast<TAccessibleActions*>(Target->window()))
                    Actions->Activate(Control);
            },
            Qt::QueuedConnection);
    }

    QVariant currentValue() const override { return Bar() ? Bar()->Position() : 0; }
    void setCurrentValue(const QVariant&) override { } // the bars show; the user sets nothing
    QVariant maximumValue() const override { return Bar() ? Bar()->Max() : 0; }
    QVariant minimumValue() const override { return Bar() ? Bar()->Min() : 0; }
    QVariant minimumStepSize() const override { return Bar() ? Bar()->Step() : 0; }

private:
    TAccessibleView View() const
    {
        const auto* Label = qobject_cast<const QLabel*>(widget());
        TControlNow Now;
        Now.Enabled = widget()->isEnabled();
        Now.Focused = widget()->hasFocus();
        Now.Text = Label ? Label->text().toStdString() : std::string();
        Now.Position = Bar() ? Bar()->Position() : 0;
        return Form::AccessibleView(FControl, Now);
    }
    const TFlatProgressBar* Bar() const { return qobject_cast<const TFlatProgressBar*>(widget()); }

    const TControl FControl;
};

// Qt's own accessible objects serve the standard widgets; the form's table names them.
bool NeedsOwnAccessible(TControl Control)
{
    const TControlSpec& Spec = Form::Spec(Control);
    if (Spec.Accessible.Role == TAccessibleRole::None)
        return false;
    if (Spec.Accessible.Role == TAccessibleRole::MenuButton)
        return true; // a label that Qt would call static text
    switch (Spec.Kind) {
    case TControlKind::Image:
    case TControlKind::FlatBar:
    case TControlKind::GradButton:
    case TControlKind::Panel:
        return true;
    default:
        return false;
    }
}

QAccessibleInterface* FormAccessibleFactory(const QString&, QObject* Object)
{
    const std::optional<TControl> Control = ControlOf(Object);
    if (!Control || !Object->isWidgetType() || !NeedsOwnAccessible(*Control))
        return nullptr;
    return new TFormAccessible(static_cast<QWidget*>(Object), *Control);
}

} // namespace

void InstallFormAccessibility()
{
    static const bool Installed = [] {
        QAccessible::installFactory(&FormAccessibleFactory);
        return true;
    }();
    (void)Installed;
}

void DescribeForAssistiveTools(QWidget& Widget, TControl Control)
{
    const TAccessibility& Accessible = Form::Spec(Control).Accessible;
    if (Accessible.Role == TAccessibleRole::None)
        return;
    Widget.setProperty(ControlProperty, static_cast<int>(Control));
    // Qt may have made the widget's object while building it (a label telling its first text);
    // the form's own takes its place.
    if (NeedsOwnAccessible(Control)) {
        QAccessibleInterface* Existing = QAccessible::queryAccessibleInterface(&Widget);
        if (Existing && !dynamic_cast<TFormAccessible*>(Existing))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(Existing));
    }
    // An empty name leaves the widget named by its text, as it changes.
    if (!Accessible.Name.empty())
        Widget.setAccessibleName(QString::fromStdString(Accessible.Name));
    Widget.setAccessibleDescription(QString::fromStdString(Accessible.Description));
}

void RelateLabels(const TFormWidgets& Widgets)
{
    for (const TControlSpec& Spec : Form::Controls()) {
        if (!Spec.Accessible.LabelledBy)
            continue;
        auto* Label
            = qobject_cast<QLabel*>(Widgets[static_cast<size_t>(*Spec.Accessible.LabelledBy)]);
        if (Label)
            Label->setBuddy(Widgets[static_cast<size_t>(Spec.Id)]);
    }
}

void TellValueChanged(QWidget& Bar, int Value)
{
    QAccessibleValueChangeEvent Event(&Bar, Value);
    QAccessible::updateAccessibility(&Event);
}

void TellTextChanged(QWidget& Widget, TControl Control)
{
    // Qt's labels tell their new texts themselves; told twice, a screen reader says it twice.
    if (!Form::Spec(Control).Accessible.Announced || qobject_cast<QLabel*>(&Widget))
        return;
    QAccessibleEvent Event(&Widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&Event);
}
