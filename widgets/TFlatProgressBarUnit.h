// TFlatProgressBar: a flat bar with a background in the control's colour, a 1-pixel frame in the
// border colour and a fill in the element colour that grows from the start edge with Position
// (left to right, or bottom to top). Position is a percentage, 100 meaning full, and is never
// clamped; Min, Max and Step are kept for the form but take no part in drawing.
//
// The bar has no window of its own in spirit: it paints every pixel of its rectangle
// (opaque) and takes its background from its parent while ParentColor is true.
//
// Setters follow the toolkit's property naming (setPosition) so that a form can set them.
// "Repaint at once" paints before the setter returns; "invalidate" paints at the next cycle.
// A bar that has not been polished yet (its form is still being set up) keeps its size when
// Orientation changes; afterwards the width and height are exchanged.
//
// GUI thread only; nothing blocks.
#pragma once

#include "Colors.h"
#include "FlatUtilitys.h"

#include <QWidget>

class TFlatProgressBar : public QWidget {
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
    // The colour of a bar without a parent, or after ParentColor is turned off.
    static constexpr TColor DefaultColor = RGB(235, 233, 225);

    explicit TFlatProgressBar(QWidget* parent = nullptr);

    TColor ColorElement() const { return FColors[ElementIndex]; }
    TColor ColorBorder() const { return FColors[BorderIndex]; }
    int AdvColorBorder() const { return FAdvColorBorder; }
    bool UseAdvColors() const { return FUseAdvColors; }
    TProgressBarOrientation Orientation() const { return FOrientation; }
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }
    int Step() const { return FStep; }
    bool Smooth() const { return FSmooth; }
    // The parent's background colour while ParentColor is true and there is a parent.
    TColor Color() const;
    bool ParentColor() const { return FParentColor; }
    int BlockSize() const;

    // Store and invalidate, also when unchanged.
    void setColorElement(TColor Value) { SetColors(ElementIndex, Value); }
    void setColorBorder(TColor Value) { SetColors(BorderIndex, Value); }
    // 0..100; throws std::out_of_range otherwise. Recomputes the border, invalidates.
    void setAdvColorBorder(int Value);
    // When changed: ParentColor follows, the border is recomputed, invalidate.
    void setUseAdvColors(bool Value);
    // When changed: swap width and height (once polished), repaint at once.
    void setOrientation(TProgressBarOrientation Value);
    // When changed: repaint at once.
    void setMin(int Value);
    void setMax(int Value);
    void setPosition(int Value);
    void setStep(int Value);
    // When changed: invalidate.
    void setSmooth(bool Value);
    // Sets ParentColor false; invalidates when changed.
    void setColor(TColor Value);
    void setParentColor(bool Value);

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
    static constexpr int ElementIndex = 0;
    static constexpr int BorderIndex = 1;

    void SetColors(int Index, TColor Value);
    void RecalcBorderColor();
    void FollowParentColor(bool Value);
    // The parent's colour or the system colours changed: the bar follows its parent (it reads the
    // parent's colour when it draws) and, with UseAdvColors, recomputes its border.
    void ColorsChanged();
    // Block mode: gives the bar the length its blocks fit; true when the size changed.
    bool SnapBlockLength();

    TColor FColors[2] = { RGB(51, 102, 153), RGB(160, 150, 131) };
    TAdvColors FAdvColorBorder = 50;
    bool FUseAdvColors = false;
    TProgressBarOrientation FOrientation = ::pbHorizontal;
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FStep = 10;
    bool FSmooth = false;
    TColor FColor = DefaultColor;
    bool FParentColor = true;
    bool FPolished = false;
    int FPaintCount = 0;
};
