#include "TSpinEdit.h"

#include "RecordSettings.h"

#include <QLineEdit>
#include <algorithm>

TSpinEdit::TSpinEdit(QWidget* Parent)
    : QAbstractSpinBox(Parent)
{
    setValue(FMinValue);
}

int TSpinEdit::Value() const
{
    return RecordSettings::SpinEditValue(text().toStdString(), FMinValue);
}

void TSpinEdit::setValue(int Value)
{
    lineEdit()->setText(
        QString::number(std::clamp(Value, FMinValue, std::max(FMinValue, FMaxValue))));
}

void TSpinEdit::setText(const QString& Text)
{
    lineEdit()->setText(Text);
}

void TSpinEdit::stepBy(int Steps)
{
    // Widened so that a value near the integer limits cannot overflow on its way to the clamp.
    const long long Stepped
        = static_cast<long long>(Value()) + static_cast<long long>(Steps) * FIncrement;
    setValue(static_cast<int>(
        std::clamp<long long>(Stepped, FMinValue, std::max(FMinValue, FMaxValue))));
}

QValidator::State TSpinEdit::validate(QString&, int&) const
{
    // Any text may be typed; Value() decides what it means.
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const
{
    return isEnabled() ? (StepUpEnabled | StepDownEnabled) : StepNone;
}
