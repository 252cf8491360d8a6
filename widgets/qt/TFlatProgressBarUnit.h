// TFlatProgressBar: the Qt front end of the flat progress bar (FlatProgressBarCore.h holds its
// rules and its drawing). The widget forwards its properties, paints through a QPainter canvas,
// and reports the form's end of loading (its first polish), the parent's and the system's colour
// changes. Mouse events pass on as signals.
//
// Setters follow the toolkit's property naming (setPosition) so that a form can set them.
//
// GUI thread only; nothing blocks.
#pragma once

#include "FlatProgressBarCore.h"
#include "QtCanvas.h"

class TFlatProgressBar : public TQtWidgetHost<TFlatProgressBarHost> {
    Q_OBJECT
    Q_PROPERTY(uint ColorElement READ ColorElement WRITE setColorElement)
    Q_PROPERTY(uint ColorBorder READ ColorBorder WRITE setColorBorder)
    Q_PROPERTY(int AdvColorBorder READ AdvColorBorder WRITE setAdvColorBorder)
    Q_PROPERTY(bool UseAdvColors READ UseAdvColors WRITE setUseAdvColors)
    Q_PROPERTY(TProgressBarOrientation Orientation READ Orientation WRITE setOrientation)
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Position READ Position WRITE setPosition)
    Q_PROPERTY(int Step READ Step WRITE setStep)
    Q_PROPERTY(bool Smooth READ Smooth WRITE setSmooth)
    Q_PROPERTY(uint Color READ Color WRITE setColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE setParentColor)

public:
    // So that a form can name them as TFlatProgressBar::pbVertical.
    static constexpr TProgressBarOrientation pbHorizontal = ::pbHorizontal;
    static constexpr TProgressBarOrientation pbVertical = ::pbVertical;
    static constexpr TColor DefaultColor = TFlatProgressBarCore::DefaultColor;

    explicit TFlatProgressBar(QWidget* parent = nullptr);

    TColor ColorElement() const { return FCore.ColorElement(); }
    TColor ColorBorder() const { return FCore.ColorBorder(); }
    int AdvColorBorder() const { return FCore.AdvColorBorder(); }
    bool UseAdvColors() const { return FCore.UseAdvColors(); }
    TProgressBarOrientation Orientation() const { return FCore.Orientation(); }
    int Min() const { return FCore.Min(); }
    int Max() const { return FCore.Max(); }
    int Position() const { return FCore.Position(); }
    int Step() const { return FCore.Step(); }
    bool Smooth() const { return FCore.Smooth(); }
    TColor Color() const { return FCore.Color(); }
    bool ParentColor() const { return FCore.ParentColor(); }
    int BlockSize() const { return FCore.BlockSize(); }

    void setColorElement(TColor Value) { FCore.SetColorElement(Value); }
    void setColorBorder(TColor Value) { FCore.SetColorBorder(Value); }
    void setAdvColorBorder(int Value) { FCore.SetAdvColorBorder(Value); }
    void setUseAdvColors(bool Value) { FCore.SetUseAdvColors(Value); }
    void setOrientation(TProgressBarOrientation Value) { FCore.SetOrientation(Value); }
    void setMin(int Value) { FCore.SetMin(Value); }
    void setMax(int Value) { FCore.SetMax(Value); }
    void setPosition(int Value) { FCore.SetPosition(Value); }
    void setStep(int Value) { FCore.SetStep(Value); }
    void setSmooth(bool Value) { FCore.SetSmooth(Value); }
    void setColor(TColor Value) { FCore.SetColor(Value); }
    void setParentColor(bool Value) { FCore.SetParentColor(Value); }
    // The bar's rules, for setting it up as a form stores it.
    TFlatProgressBarCore& Core() { return FCore; }

    // Paints done so far, for checking the repaint rules.
    int PaintCount() const { return FPaintCount; }

signals:
    void OnMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void OnMouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
    void OnMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);

protected:
    bool event(QEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    std::optional<TColor> ParentBackground() const override;

    TFlatProgressBarCore FCore{ *this };
    int FPaintCount = 0;
};
