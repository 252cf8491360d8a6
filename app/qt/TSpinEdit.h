// The whole-number spin box: a text that can be typed freely, with arrows that step a value.
//
// Its value is the whole number the text shows, or MinValue when the text is not a whole number
// (the text is then left as typed). The arrows and the Up/Down keys step the value by Increment
// and keep it within MinValue..MaxValue.
//
// GUI thread only.
#pragma once

#include <QAbstractSpinBox>

class TSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
    Q_PROPERTY(int MinValue READ MinValue WRITE setMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE setMaxValue)
    Q_PROPERTY(int Increment READ Increment WRITE setIncrement)
    Q_PROPERTY(int Value READ Value WRITE setValue)

public:
    explicit TSpinEdit(QWidget* Parent = nullptr);

    int MinValue() const { return FMinValue; }
    void setMinValue(int Value) { FMinValue = Value; }
    int MaxValue() const { return FMaxValue; }
    void setMaxValue(int Value) { FMaxValue = Value; }
    int Increment() const { return FIncrement; }
    void setIncrement(int Value) { FIncrement = Value; }

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
    int FMinValue = 0;
    int FMaxValue = 100;
    int FIncrement = 1;
};
