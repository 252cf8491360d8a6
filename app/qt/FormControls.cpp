#include "FormControls.h"

#include "FormAccessibility.h"
#include "FormWidgets.h"
#include "TFlatProgressBarUnit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <stdexcept>

namespace {

// A picture as the Qt front end holds it.
struct TQtPicture : TPicture {
    explicit TQtPicture(QPixmap APixmap)
        : Pixmap(std::move(APixmap))
    {
    }
    QPixmap Pixmap;
};

} // namespace

QWidget* TFormControls::Widget(TControl Control) const
{
    return FControls[static_cast<int>(Control)];
}

template <typename T> T* TFormControls::As(TControl Control) const
{
    T* Found = qobject_cast<T*>(Widget(Control));
    if (!Found)
        throw std::logic_error(std::string("Control ") + ControlName(Control)
            + " is not of the kind the operation needs");
    return Found;
}

std::string TFormControls::Text(TControl Control) const
{
    QWidget* Found = Widget(Control);
    if (auto* Box = qobject_cast<QComboBox*>(Found))
        return Box->currentText().toStdString();
    if (auto* Spin = qobject_cast<TSpinEdit*>(Found))
        return Spin->text().toStdString();
    if (auto* Edit = qobject_cast<QLineEdit*>(Found))
        return Edit->text().toStdString();
    return As<QLabel>(Control)->text().toStdString();
}

void TFormControls::SetText(TControl Control, const std::string& Text)
{
    QWidget* Found = Widget(Control);
    if (auto* Box = qobject_cast<QComboBox*>(Found))
        Box->setEditText(QString::fromStdString(Text));
    else if (auto* Spin = qobject_cast<TSpinEdit*>(Found))
        Spin->setText(QString::fromStdString(Text));
    else if (auto* Edit = qobject_cast<QLineEdit*>(Found))
        Edit->setText(QString::fromStdString(Text));
    else
        As<QLabel>(Control)->setText(QString::fromStdString(Text));
    TellTextChanged(*Found, Control);
}

std::vector<std::string> TFormControls::Items(TControl Control) const
{
    const QComboBox* Box = As<QComboBox>(Control);
    std::vector<std::string> Result;
    for (int Index = 0; Index < Box->count(); ++Index)
        Result.push_back(Box->itemText(Index).toStdString());
    return Result;
}

void TFormControls::SetItems(TControl Control, const std::vector<std::string>& Items)
{
    QComboBox* Box = As<QComboBox>(Control);
    Box->clear();
    for (const std::string& Item : Items)
        Box->addItem(QString::fromStdString(Item));
}

bool TFormControls::Checked(TControl Control) const
{
    return As<QRadioButton>(Control)->isChecked();
}

void TFormControls::SetChecked(TControl Control)
{
    // setChecked reports no click: only the user's clicks reach the behaviour.
    As<QRadioButton>(Control)->setChecked(true);
}

void TFormControls::SetEnabled(TControl Control, bool Enabled)
{
    Widget(Control)->setEnabled(Enabled);
}

void TFormControls::SetPosition(TControl Control, int Position)
{
    TFlatProgressBar* Bar = As<TFlatProgressBar>(Control);
    const int Before = Bar->Position();
    Bar->setPosition(Position);
    if (Bar->Position() != Before)
        TellValueChanged(*Bar, Bar->Position());
}

TColor TFormControls::ElementColor(TControl Control) const
{
    return As<TFlatProgressBar>(Control)->ColorElement();
}

void TFormControls::SetElementColor(TControl Control, TColor Color)
{
    As<TFlatProgressBar>(Control)->setColorElement(Color);
}

void TFormControls::SetHint(TControl Control, const std::string& Hint)
{
    Widget(Control)->setToolTip(QString::fromStdString(Hint));
}

// ---- Pictures

std::shared_ptr<TPicture> TFormControls::ReadPicture(const std::string& FileName)
{
    return std::make_shared<TQtPicture>(ReadPixmap(FileName));
}

void TFormControls::ShowPicture(TControl Control, const TPicture* Picture)
{
    const auto* Shown = static_cast<const TQtPicture*>(Picture);
    As<TImage>(Control)->SetPicture(Shown ? Shown->Pixmap : QPixmap());
}
