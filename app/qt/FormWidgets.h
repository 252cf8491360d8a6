// The Qt window's widgets: the form's own kinds of control, and the builder that makes one
// widget per control of the form's description (FormDescription.h, FormBuilder.cpp): named after
// it, in the form's order (later ones lie above earlier ones), with its geometry, text, font,
// colours, tooltip, pointer, starting state and list entries, then the tab order and the first
// focus. The builder also gives the window its size, caption, font and colours.
//
// Fonts: fontconfig's metric-compatible free fonts stand in for the form's Windows fonts.
// Colours: a control with both a text and a face colour shows its text dimmed, half way to its
// face, while disabled; the system's grey would vanish on the form's grey boxes.
//
// GUI thread only; needs the application object (system colours come from its palette).
#pragma once

#include "BevelPaint.h"
#include "MainWindow.h"
#include "SpinEditCore.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <array>
#include <string>

using TFormWidgets = std::array<QWidget*, ControlCount>;

// Creates the controls as children of Window; the widgets, by TControl.
TFormWidgets BuildForm(QWidget& Window);

// Reads a PNG or BMP file; raises PictureReadError (MainWindow.h) with the reader's reason.
QPixmap ReadPixmap(const std::string& FileName);

// The image control: shows a PNG or BMP picture and sizes itself to it. Its mouse is the
// window's (ControlInput.h). Without a picture the control keeps its geometry and still takes
// presses, so a button whose file is missing can be used. While it has the focus, the focus mark
// lies over the picture.
class TImage : public QWidget {
    Q_OBJECT

public:
    explicit TImage(QWidget* Parent = nullptr)
        : QWidget(Parent)
    {
    }

    // Shows a copy of Picture (pixmaps share their data until one is changed).
    void SetPicture(const QPixmap& Picture);
    const QPixmap& Picture() const { return FPicture; }
    bool HasPicture() const { return !FPicture.isNull(); }

    bool AutoSize() const { return FAutoSize; }
    // Resizes to the picture at once when turned on.
    void setAutoSize(bool Value);
    bool Transparent() const { return FTransparent; }
    // A picture without an alpha channel is drawn without the pixels of its bottom-left colour
    // (CornerTransparency.h).
    void setTransparent(bool Value);

protected:
    // QWidget repaints on focus changes: the mark comes and goes with the focus.
    void paintEvent(QPaintEvent* Event) override;

private:
    void PictureChanged();

    QPixmap FPicture;
    QPixmap FShown; // FPicture as drawn: without its corner colour when transparent
    bool FAutoSize = true;
    bool FTransparent = false;
};

// A label that the keyboard and the mouse operate (the input chooser LabDev): it takes the focus
// from the keyboard, as the form's tab order places it, and shows the focus mark over its text.
// What a key or a click does is the window's (ControlKeys.h, ControlEvents.h).
class TChooserLabel : public QLabel {
public:
    TChooserLabel(const QString& Text, QWidget* Parent)
        : QLabel(Text, Parent)
    {
        setFocusPolicy(Qt::TabFocus);
    }

protected:
    void paintEvent(QPaintEvent* Event) override;
};

// A lowered frame drawn on its parent, a box or a line along the top edge, painted by the
// toolkit-free bevel (BevelPaint.h). What lies beneath shows through.
class TBevel : public QWidget {
    Q_OBJECT

public:
    TBevel(TBevelShape Shape, QWidget* Parent)
        : QWidget(Parent)
        , FShape(Shape)
    {
    }

    TBevelShape Shape() const { return FShape; }

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    const TBevelShape FShape;
};

// The flat read-only text box: a single line without a frame that the user can select and copy
// from but not change; the program sets its text.
class TFlatEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TFlatEdit(QWidget* Parent = nullptr)
        : QLineEdit(Parent)
    {
        setFrame(false);
        setReadOnly(true);
    }
};

// The drop-down list with editable text of the form, drawn with a narrow arrow button so that
// its text fits the small boxes of the layout (41 pixels wide for three digits). The list is the
// program's own: a text typed and confirmed with Enter stays the box's text and never becomes an
// entry, so that it cannot pass the settings check.
class TComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TComboBox(QWidget* Parent = nullptr);
};

// The whole-number spin box: a text that can be typed freely, with arrows that step a value.
// Its rules are the toolkit-free spin box's (SpinEditCore.h): the value is the whole number the
// text shows, or MinValue when the text is not a whole number (the text is then left as typed);
// the arrows and the Up/Down keys step the value by Increment within MinValue..MaxValue.
class TSpinEdit : public QAbstractSpinBox {
    Q_OBJECT

public:
    explicit TSpinEdit(QWidget* Parent = nullptr)
        : QAbstractSpinBox(Parent)
    {
        setValue(FRange.Min);
    }

    int MinValue() const { return FRange.Min; }
    void setMinValue(int Value) { FRange.Min = Value; }
    int MaxValue() const { return FRange.Max; }
    void setMaxValue(int Value) { FRange.Max = Value; }
    int Increment() const { return FRange.Step; }
    void setIncrement(int Value) { FRange.Step = Value; }

    // The shown whole number, or MinValue when the text is not one; not clamped.
    int Value() const { return SpinEdit::Value(text().toStdString(), FRange.Min); }
    // Shows Value clamped to MinValue..MaxValue.
    void setValue(int Value) { setText(QString::number(SpinEdit::Clamped(Value, FRange))); }
    // Shows Text as it is, as if typed.
    void setText(const QString& Text) { lineEdit()->setText(Text); }

    void stepBy(int Steps) override
    {
        setText(QString::number(SpinEdit::Stepped(text().toStdString(), Steps, FRange)));
    }
    // Any text may be typed; Value() decides what it means.
    QValidator::State validate(QString&, int&) const override { return QValidator::Acceptable; }
    // Both arrows while enabled.
    StepEnabled stepEnabled() const override
    {
        return isEnabled() ? (StepUpEnabled | StepDownEnabled) : StepNone;
    }

private:
    TSpinRange FRange{ 0, 100, 1 };
};
