// The whole-number spin box: a text that can be typed freely, with arrows that step a value.
//
// Its rules are the toolkit-free spin box's (SpinEditCore.h): the value is the whole number the
// text shows, or MinValue when the text is not a whole number (the text is then left as typed);
// the arrows and the Up/Down keys step the value by Increment within MinValue..MaxValue.
//
// GUI thread only.
#pragma once

#include "SpinEditCore.h"

#include <QAbstractSpinBox>

class TSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
    Q_PROPERTY(int MinValue READ MinValue WRITE setMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE setMaxValue)
    Q_PROPERTY(int Increment READ Increment WRITE setIncrement)
    Q_PROPERTY(int Value READ Value WRITE setValue)

public:
    explicit TSpinEdit(QWidget* Parent = nullptr);

    int MinValue() const { return FRange.Min; }
    void setMinValue(int Value) { FRange.Min = Value; }
    int MaxValue() const { return FRange.Max; }
    void setMaxValue(int Value) { FRange.Max = Value; }
    int Increment() const { return FRange.Step; }
    void setIncrement(int Value) { FRange.Step = Value; }

    // The shown whole number, or MinValue when the text is not one; not clamped.
    int Value() const;
    // Shows Value clamped to MinValue..MaxValue.
    void setValue(int Value);
    // Shows Text as it is, as if typed.
    void setText(const QString& Text);

    void stepBy(int Steps) override;
    QValidator::State validate(QString& Input, int& Pos) const override;
    // Both arrows while enabled.
    StepEnabled stepEnabled() const override;

private:
    TSpinRange FRange{ 0, 100, 1 };
};
