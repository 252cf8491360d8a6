#include "TSpinEdit.h"

#include <QLineEdit>

TSpinEdit::TSpinEdit(QWidget* Parent)
    : QAbstractSpinBox(Parent)
{
    setValue(FRange.Min);
}

int TSpinEdit::Value() const
{
    return SpinEdit::Value(text().toStdString(), FRange.Min);
}

void TSpinEdit::setValue(int Value)
{
    lineEdit()->setText(QString::number(SpinEdit::Clamped(Value, FRange)));
}

void TSpinEdit::setText(const QString& Text)
{
    lineEdit()->setText(Text);
}

void TSpinEdit::stepBy(int Steps)
{
    lineEdit()->setText(QString::number(SpinEdit::Stepped(text().toStdString(), Steps, FRange)));
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
