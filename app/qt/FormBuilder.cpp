#include "FormAccessibility.h"
#include "FormDescription.h"
#include "FormWidgets.h"
#include "GradBtn.h"
#include "QtCanvas.h"
#include "TFlatProgressBarUnit.h"

#include <QFont>
#include <QLabel>
#include <QRadioButton>
#include <optional>

namespace {

void InstallFontSubstitutes()
{
    for (const auto& [Named, Substitute] : Form::FontSubstitutes)
        if (!QFont::substitutes(QLatin1String(Named)).contains(QLatin1String(Substitute)))
            QFont::insertSubstitution(QLatin1String(Named), QLatin1String(Substitute));
}

QColor Midway(const QColor& From, const QColor& To)
{
    return QColor((From.red() + To.red()) / 2, (From.green() + To.green()) / 2,
        (From.blue() + To.blue()) / 2);
}

constexpr QPalette::ColorRole TextRoles[]
    = { QPalette::WindowText, QPalette::Text, QPalette::ButtonText };
constexpr QPalette::ColorRole FaceRoles[] = { QPalette::Window, QPalette::Base, QPalette::Button };

void ApplyColors(QWidget& Widget, std::optional<TColor> Text, std::optional<TColor> Face)
{
    if (!Text && !Face)
        return;
    QPalette Palette = Widget.palette();
    if (Text)
        for (QPalette::ColorRole Role : TextRoles)
            Palette.setColor(Role, ToQColor(*Text));
    if (Face) {
        for (QPalette::ColorRole Role : FaceRoles)
            Palette.setColor(Role, ToQColor(*Face));
        Widget.setAutoFillBackground(true);
    }
    if (Text && Face) {
        const QColor Dimmed = Midway(ToQColor(*Text), ToQColor(*Face));
        for (QPalette::ColorRole Role : TextRoles)
            Palette.setColor(QPalette::Disabled, Role, Dimmed);
    }
    Widget.setPalette(Palette);
}

QWidget* CreateImage(const TControlSpec& Spec, QWidget& Window)
{
    auto* Image = new TImage(&Window);
    Image->setAutoSize(Spec.Image.AutoSize);
    Image->setTransparent(Spec.Image.Transparent);
    // An image button takes the focus from the keyboard only, as the form's tab order places it.
    if (Spec.TabOrder >= 0)
        Image->setFocusPolicy(Qt::TabFocus);
    return Image;
}

QWidget* CreateLabel(const TControlSpec& Spec, QWidget& Window)
{
    // A label in the tab order is the input chooser, which the keyboard operates.
    auto* Label = Spec.TabOrder >= 0 ? new TChooserLabel(QString::fromStdString(Spec.Text), &Window)
                                     : new QLabel(QString::fromStdString(Spec.Text), &Window);
    if (Spec.Kind == TControlKind::Panel) {
        Label->setFrameShape(QFrame::Panel);
        Label->setFrameShadow(QFrame::Sunken);
        Label->setAlignment(Qt::AlignCenter);
    }
    return Label;
}

QWidget* CreateBar(const TControlSpec& Spec, QWidget& Window)
{
    auto* Bar = new TFlatProgressBar(&Window);
    Form::ApplyBarLook(Bar->Core(), Spec);
    return Bar;
}

QWidget* CreateButton(const TControlSpec& Spec, QWidget& Window)
{
    auto* Button = new TGradBtn(&Window);
    Button->setCaption(QString::fromStdString(Spec.Text));
    Form::ApplyButtonLook(Button->Core(), Spec);
    return Button;
}

QWidget* CreateRadio(const TControlSpec& Spec, QWidget& Window)
{
    auto* Radio = new QRadioButton(&Window);
    Radio->setChecked(Spec.Checked);
    // Tab stops at the group's checked button only; the others still take the focus from the
    // arrow keys and the mouse.
    const auto FollowTabStop = [Radio, Id = Spec.Id](bool Checked) {
        Radio->setFocusPolicy(
            Form::IsTabStop(Form::Spec(Id), Checked) ? Qt::StrongFocus : Qt::ClickFocus);
    };
    FollowTabStop(Spec.Checked);
    QObject::connect(Radio, &QRadioButton::toggled, Radio, FollowTabStop);
    return Radio;
}

QWidget* CreateSpinEdit(const TControlSpec& Spec, QWidget& Window)
{
    auto* Spin = new TSpinEdit(&Window);
    Spin->setMinValue(Spec.Spin.Min);
    Spin->setMaxValue(Spec.Spin.Max);
    Spin->setIncrement(Spec.Spin.Step);
    Spin->setText(QString::fromStdString(Spec.Text));
    return Spin;
}

QWidget* CreateComboBox(const TControlSpec& Spec, QWidget& Window)
{
    auto* Box = new TComboBox(&Window);
    Box->setEditable(true);
    for (const std::string& Item : Spec.Items)
        Box->addItem(QString::fromStdString(Item));
    const int Entry = Box->findText(
        QString::fromStdString(Spec.Text), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (Entry >= 0)
        Box->setCurrentIndex(Entry);
    else
        Box->setEditText(QString::fromStdString(Spec.Text));
    return Box;
}

QWidget* CreateWidget(const TControlSpec& Spec, QWidget& Window)
{
    switch (Spec.Kind) {
    case TControlKind::Image:
        return CreateImage(Spec, Window);
    case TControlKind::Label:
    case TControlKind::Panel:
        return CreateLabel(Spec, Window);
    case TControlKind::BoxBevel:
    case TControlKind::LineBevel:
        return new TBevel(Spec.Kind == TControlKind::BoxBevel ? bsBox : bsTopLine, &Window);
    case TControlKind::FlatBar:
        return CreateBar(Spec, Window);
    case TControlKind::FlatEdit:
        return new TFlatEdit(&Window);
    case TControlKind::GradButton:
        return CreateButton(Spec, Window);
    case TControlKind::Radio:
        return CreateRadio(Spec, Window);
    case TControlKind::SpinEdit:
        return CreateSpinEdit(Spec, Window);
    case TControlKind::ComboBox:
        return CreateComboBox(Spec, Window);
    }
    throw std::logic_error("A control of an unknown kind in the form");
}

QWidget* BuildControl(const TControlSpec& Spec, QWidget& Window)
{
    QWidget* Widget = CreateWidget(Spec, Window);
    Widget->setObjectName(ControlName(Spec.Id));
    Widget->setGeometry(Spec.Left, Spec.Top, Spec.Width, Spec.Height);
    Widget->setFont(ToQFont(Spec.Font));
    // The gradient button takes its text colour through its own look.
    if (Spec.Kind != TControlKind::GradButton)
        ApplyColors(*Widget, Spec.TextColor, Spec.FaceColor);
    if (!Spec.Hint.empty())
        Widget->setToolTip(QString::fromStdString(Spec.Hint));
    if (Spec.HandCursor)
        Widget->setCursor(Qt::PointingHandCursor);
    DescribeForAssistiveTools(*Widget, Spec.Id);
    return Widget;
}

} // namespace

TFormWidgets BuildForm(QWidget& Window)
{
    InstallFontSubstitutes();
    InstallFormAccessibility();
    Window.resize(Form::ClientWidth, Form::ClientHeight);
    Window.setWindowTitle(QString::fromUtf8(Form::Caption));
    Window.setFont(ToQFont(Form::DefaultFont()));
    ApplyColors(Window, Form::TextColor, Form::FaceColor);
    TFormWidgets Widgets{};
    for (const TControlSpec& Spec : Form::Controls())
        Widgets[static_cast<size_t>(Spec.Id)] = BuildControl(Spec, Window);
    RelateLabels(Widgets);
    const std::vector<TControl> Tabs = Form::TabOrder();
    for (size_t Index = 1; Index < Tabs.size(); ++Index)
        QWidget::setTabOrder(Widgets[static_cast<size_t>(Tabs[Index - 1])],
            Widgets[static_cast<size_t>(Tabs[Index])]);
    Widgets[static_cast<size_t>(Form::ActiveControl)]->setFocus();
    return Widgets;
}
