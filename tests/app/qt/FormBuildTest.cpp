// The Qt window's widgets against the form's description, control by control: kind, name,
// geometry, text, font, colours, tooltip, pointer, starting state, list entries, the looks of
// the self-drawn controls, stacking and tab order.
#include "FormDescription.h"
#include "FormWidgets.h"
#include "GradBtn.h"
#include "QtCanvas.h"
#include "TFlatProgressBarUnit.h"

#include <QLabel>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

QString ToQt(const std::string& Text)
{
    return QString::fromStdString(Text);
}

// The text the control shows, read as the user sees it.
QString ShownText(QWidget* Widget)
{
    if (auto* Button = qobject_cast<TGradBtn*>(Widget))
        return Button->Caption();
    if (auto* Box = qobject_cast<QComboBox*>(Widget))
        return Box->currentText();
    if (auto* Spin = qobject_cast<TSpinEdit*>(Widget))
        return Spin->text();
    if (auto* Edit = qobject_cast<QLineEdit*>(Widget))
        return Edit->text();
    if (auto* Label = qobject_cast<QLabel*>(Widget))
        return Label->text();
    return QString();
}

void ExpectKind(QWidget* Widget, const TControlSpec& Spec)
{
    switch (Spec.Kind) {
    case TControlKind::Image: {
        auto* Image = qobject_cast<TImage*>(Widget);
        ASSERT_TRUE(Image);
        EXPECT_EQ(Image->AutoSize(), Spec.Image.AutoSize);
        EXPECT_EQ(Image->Transparent(), Spec.Image.Transparent);
        break;
    }
    case TControlKind::Label:
    case TControlKind::Panel: {
        auto* Label = qobject_cast<QLabel*>(Widget);
        ASSERT_TRUE(Label);
        const bool Panel = Spec.Kind == TControlKind::Panel;
        EXPECT_EQ(Label->frameShape(), Panel ? QFrame::Panel : QFrame::NoFrame);
        EXPECT_EQ(Label->alignment() == Qt::AlignCenter, Panel);
        break;
    }
    case TControlKind::BoxBevel:
    case TControlKind::LineBevel: {
        auto* Bevel = qobject_cast<TBevel*>(Widget);
        ASSERT_TRUE(Bevel);
        EXPECT_EQ(Bevel->Shape() == bsBox, Spec.Kind == TControlKind::BoxBevel);
        break;
    }
    case TControlKind::FlatBar: {
        auto* Bar = qobject_cast<TFlatProgressBar*>(Widget);
        ASSERT_TRUE(Bar);
        EXPECT_EQ(Bar->Orientation(), Spec.Bar.Orientation);
        EXPECT_EQ(Bar->Min(), Spec.Bar.Min);
        EXPECT_EQ(Bar->Max(), Spec.Bar.Max);
        EXPECT_EQ(Bar->Step(), Spec.Bar.Step);
        EXPECT_EQ(Bar->Smooth(), Spec.Bar.Smooth);
        EXPECT_EQ(Bar->ColorElement(), Spec.Bar.Element);
        EXPECT_EQ(Bar->Position(), 0);
        break;
    }
    case TControlKind::FlatEdit: {
        auto* Edit = qobject_cast<TFlatEdit*>(Widget);
        ASSERT_TRUE(Edit);
        EXPECT_TRUE(Edit->isReadOnly());
        EXPECT_FALSE(Edit->hasFrame());
        break;
    }
    case TControlKind::GradButton: {
        auto* Button = qobject_cast<TGradBtn*>(Widget);
        ASSERT_TRUE(Button);
        const TButtonLook& Look = Spec.Button;
        EXPECT_EQ(Button->GradientStyle(), Look.Gradient);
        EXPECT_EQ(Button->BeginColor(), Look.BeginColor);
        EXPECT_EQ(Button->EndColor(), Look.EndColor);
        EXPECT_EQ(Button->TextStyle(), Look.TextStyle);
        EXPECT_EQ(Button->TextShadeType(), Look.TextShade);
        EXPECT_EQ(Button->BtnHiliteClr(), Look.FrameHighlight);
        EXPECT_EQ(Button->BtnShadowClr(), Look.FrameShadow);
        EXPECT_EQ(Button->DisabledColor(), Look.DisabledColor);
        EXPECT_EQ(Button->FontColor(), Spec.TextColor.value_or(Form::TextColor));
        break;
    }
    case TControlKind::Radio: {
        auto* Radio = qobject_cast<QRadioButton*>(Widget);
        ASSERT_TRUE(Radio);
        EXPECT_EQ(Radio->isChecked(), Spec.Checked);
        EXPECT_TRUE(Radio->text().isEmpty());
        break;
    }
    case TControlKind::SpinEdit: {
        auto* Spin = qobject_cast<TSpinEdit*>(Widget);
        ASSERT_TRUE(Spin);
        EXPECT_EQ(Spin->MinValue(), Spec.Spin.Min);
        EXPECT_EQ(Spin->MaxValue(), Spec.Spin.Max);
        EXPECT_EQ(Spin->Increment(), Spec.Spin.Step);
        break;
    }
    case TControlKind::ComboBox: {
        auto* Box = qobject_cast<TComboBox*>(Widget);
        ASSERT_TRUE(Box);
        EXPECT_TRUE(Box->isEditable());
        QStringList Items;
        for (int Index = 0; Index < Box->count(); ++Index)
            Items << Box->itemText(Index);
        QStringList Expected;
        for (const std::string& Item : Spec.Items)
            Expected << ToQt(Item);
        EXPECT_EQ(Items, Expected);
        break;
    }
    }
}

void ExpectLook(QWidget* Widget, const TControlSpec& Spec, const QWidget& Window)
{
    EXPECT_EQ(Widget->objectName(), ControlName(Spec.Id));
    EXPECT_EQ(Widget->geometry(), QRect(Spec.Left, Spec.Top, Spec.Width, Spec.Height));
    EXPECT_EQ(ShownText(Widget), ToQt(Spec.Text));
    EXPECT_EQ(Widget->toolTip(), ToQt(Spec.Hint));
    EXPECT_EQ(Widget->cursor().shape(), Spec.HandCursor ? Qt::PointingHandCursor : Qt::ArrowCursor);
    const QFont Font = Widget->font();
    EXPECT_EQ(Font.family(), ToQt(Spec.Font.Family));
    EXPECT_EQ(Font.pixelSize(), Spec.Font.PixelSize);
    EXPECT_EQ(Font.weight(), Spec.Font.Weight);
    EXPECT_EQ(Font.underline(), Spec.Font.Underline);
    EXPECT_EQ(Font.italic(), Spec.Font.Italic);
    EXPECT_EQ(Font.strikeOut(), Spec.Font.StrikeOut);
    EXPECT_EQ(!(Font.styleStrategy() & QFont::NoAntialias), Spec.Font.Antialiased);
    if (Spec.Kind == TControlKind::GradButton)
        return; // its colours are its look's
    const QPalette Palette = Widget->palette();
    const QColor Text
        = Spec.TextColor ? ToQColor(*Spec.TextColor) : Window.palette().color(QPalette::WindowText);
    EXPECT_EQ(Palette.color(QPalette::WindowText), Text);
    EXPECT_EQ(Palette.color(QPalette::Text), Text);
    if (Spec.FaceColor) {
        EXPECT_EQ(Palette.color(QPalette::Window), ToQColor(*Spec.FaceColor));
        EXPECT_EQ(Palette.color(QPalette::Base), ToQColor(*Spec.FaceColor));
        EXPECT_TRUE(Widget->autoFillBackground());
    }
}

class FormBuild : public testing::Test {
protected:
    QWidget Window;
    const TFormWidgets Widgets = BuildForm(Window);

    QWidget* Built(TControl Control) const { return Widgets[static_cast<size_t>(Control)]; }
};

TEST_F(FormBuild, EveryWidgetIsItsControlAsTheFormDescribesIt)
{
    for (const TControlSpec& Spec : Form::Controls()) {
        SCOPED_TRACE(ControlName(Spec.Id));
        QWidget* Widget = Built(Spec.Id);
        ASSERT_TRUE(Widget);
        EXPECT_EQ(Widget->parentWidget(), &Window);
        ExpectKind(Widget, Spec);
        ExpectLook(Widget, Spec, Window);
    }
}

TEST_F(FormBuild, TheWindowHasTheFormsSizeCaptionFontAndColours)
{
    EXPECT_EQ(Window.size(), QSize(Form::ClientWidth, Form::ClientHeight));
    EXPECT_EQ(Window.windowTitle(), Form::Caption);
    EXPECT_EQ(Window.font().family(), ToQt(Form::DefaultFont().Family));
    EXPECT_EQ(Window.font().pixelSize(), Form::DefaultFont().PixelSize);
    EXPECT_EQ(Window.palette().color(QPalette::WindowText), ToQColor(Form::TextColor));
    EXPECT_EQ(Window.palette().color(QPalette::Window), ToQColor(Form::FaceColor));
}

// Qt stacks siblings in the order they were made: the form's order, the first lowest.
TEST_F(FormBuild, WidgetsAreStackedInTheFormsOrder)
{
    const QObjectList Children = Window.children();
    int Previous = -1;
    for (const TControlSpec& Spec : Form::Controls()) {
        const int Rank = static_cast<int>(Children.indexOf(Built(Spec.Id)));
        EXPECT_GT(Rank, Previous) << ControlName(Spec.Id);
        Previous = Rank;
    }
}

TEST_F(FormBuild, TabGoesRoundTheFormsTabOrderAndFocusStartsOnTheActiveControl)
{
    Window.show();
    EXPECT_EQ(Window.focusWidget(), Built(Form::ActiveControl));
    const std::vector<TControl> Order = Form::TabOrder();
    ASSERT_FALSE(Order.empty());
    QWidget* Step = Built(Order.front());
    for (size_t Index = 1; Index <= Order.size(); ++Index) {
        const TControl Next = Order[Index % Order.size()];
        do
            Step = Step->nextInFocusChain();
        while (Step->focusPolicy() == Qt::NoFocus || Step->parentWidget() != &Window);
        EXPECT_EQ(Step, Built(Next)) << "after " << Index << " steps: " << ControlName(Next);
    }
}

} // namespace
