// TGradBtn: a push button whose face is a colour gradient it draws itself, with a 3-D frame and a
// caption drawn flat, raised or inset. Each paint is composed on the button's own off-screen
// bitmap and then copied onto the screen.
//
// Pressing with the primary button holds it down (the gradient's colours exchange when
// SwapColors is true); releasing over it clicks it. Enter clicks it while it has the focus, and
// so does Alt with the caption's accelerator character while it is enabled.
//
// Setters follow the toolkit's property naming (setBeginColor) so that a form can set them.
// Colour, style and Justification setters invalidate on a change; SwapColors and ShowFocus only
// store. Presets has an effect only in a form designer, so at run time it changes nothing.
//
// GUI thread only. Click raises OnClick on the same thread after repainting the button.
#pragma once

#include "Colors.h"
#include "GradBtnPaint.h"

#include <QImage>
#include <QWidget>

class TGradBtn : public QWidget {
    Q_OBJECT
    Q_PROPERTY(uint DisabledColor READ DisabledColor WRITE setDisabledColor)
    Q_PROPERTY(uint BtnHiliteClr READ BtnHiliteClr WRITE setBtnHiliteClr)
    Q_PROPERTY(uint BtnShadowClr READ BtnShadowClr WRITE setBtnShadowClr)
    Q_PROPERTY(int BtnFrameSize READ BtnFrameSize WRITE setBtnFrameSize)
    Q_PROPERTY(uint TxtHiliteClr READ TxtHiliteClr WRITE setTxtHiliteClr)
    Q_PROPERTY(uint TxtShadowClr READ TxtShadowClr WRITE setTxtShadowClr)
    Q_PROPERTY(uint BeginColor READ BeginColor WRITE setBeginColor)
    Q_PROPERTY(uint EndColor READ EndColor WRITE setEndColor)
    Q_PROPERTY(bool SwapColors READ SwapColors WRITE setSwapColors)
    Q_PROPERTY(bool ShowFocus READ ShowFocus WRITE setShowFocus)
    Q_PROPERTY(TGradientStyle GradientStyle READ GradientStyle WRITE setGradientStyle)
    Q_PROPERTY(TTextStyle TextStyle READ TextStyle WRITE setTextStyle)
    Q_PROPERTY(TShadeType TextShadeType READ TextShadeType WRITE setTextShadeType)
    Q_PROPERTY(TPreset Presets READ Presets WRITE setPresets)
    Q_PROPERTY(TJustification Justification READ Justification WRITE setJustification)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(uint FontColor READ FontColor WRITE setFontColor)

public:
    // So that a form can name them as TGradBtn::gsVertical.
    static constexpr TGradientStyle gsHorizontal = ::gsHorizontal, gsVertical = ::gsVertical,
                                    gsElliptic = ::gsElliptic, gsRectangle = ::gsRectangle,
                                    gsVertCenter = ::gsVertCenter, gsHorizCenter = ::gsHorizCenter;
    static constexpr TTextStyle tsNormal = ::tsNormal, tsRaised = ::tsRaised, tsInset = ::tsInset;
    static constexpr TShadeType stLight = ::stLight, stHeavy = ::stHeavy;
    static constexpr TPreset None = ::None, GoldCoast = ::GoldCoast, LimeBox = ::LimeBox,
                             Aluminum = ::Aluminum, SunRise = ::SunRise, BrassedOff = ::BrassedOff;
    static constexpr TJustification jLeft = ::jLeft, jCenter = ::jCenter, jRight = ::jRight;

    explicit TGradBtn(QWidget* parent = nullptr);

    TColor DisabledColor() const { return FDisabledColor; }
    TColor BtnHiliteClr() const { return FBtnHiliteClr; }
    TColor BtnShadowClr() const { return FBtnShadowClr; }
    int BtnFrameSize() const { return FBtnFrameSize; }
    TColor TxtHiliteClr() const { return FTxtHiliteClr; }
    TColor TxtShadowClr() const { return FTxtShadowClr; }
    // While the button is held down with SwapColors, these two read exchanged.
    TColor BeginColor() const { return FBeginColor; }
    TColor EndColor() const { return FEndColor; }
    bool SwapColors() const { return FSwapColors; }
    bool ShowFocus() const { return FShowFocus; }
    TGradientStyle GradientStyle() const { return FGradientStyle; }
    TTextStyle TextStyle() const { return FTextStyle; }
    TShadeType TextShadeType() const { return FTextShadeType; }
    TPreset Presets() const { return FPresets; }
    TJustification Justification() const { return FJustification; }
    QString Caption() const { return FCaption; }
    TColor FontColor() const { return FFontColor; }
    // False while the primary button holds the button down.
    bool IsUp() const { return FUp; }

    void setDisabledColor(TColor Value) { SetColor(FDisabledColor, Value); }
    void setBtnHiliteClr(TColor Value) { SetColor(FBtnHiliteClr, Value); }
    void setBtnShadowClr(TColor Value) { SetColor(FBtnShadowClr, Value); }
    // Accepted only up to Width div 2 - 5 and Height div 2 - 5; otherwise the old value stays.
    void setBtnFrameSize(int Value);
    void setTxtHiliteClr(TColor Value) { SetColor(FTxtHiliteClr, Value); }
    void setTxtShadowClr(TColor Value) { SetColor(FTxtShadowClr, Value); }
    void setBeginColor(TColor Value) { SetColor(FBeginColor, Value); }
    void setEndColor(TColor Value) { SetColor(FEndColor, Value); }
    void setSwapColors(bool Value) { FSwapColors = Value; }
    void setShowFocus(bool Value) { FShowFocus = Value; }
    void setGradientStyle(TGradientStyle Value) { SetStyle(FGradientStyle, Value); }
    void setTextStyle(TTextStyle Value) { SetStyle(FTextStyle, Value); }
    void setTextShadeType(TShadeType Value) { SetStyle(FTextShadeType, Value); }
    // Ignored: presets belong to the form designer.
    void setPresets(TPreset) { }
    void setJustification(TJustification Value) { SetStyle(FJustification, Value); }
    void setCaption(const QString& Value);
    void setFontColor(TColor Value) { SetColor(FFontColor, Value); }

    // Releases a held button, repaints it, then raises OnClick.
    void Click();

    // Paints done so far, for checking the repaint rules.
    int PaintCount() const { return FPaintCount; }

signals:
    void OnClick();
    void OnMouseEnter();
    void OnMouseLeave();
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
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;

private:
    void SetColor(TColor& Field, TColor Value);
    template <typename T> void SetStyle(T& Field, T Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        update();
    }
    // Primary press: held down, focused, colours exchanged.
    void HoldDown();
    // Release that ends a hold without a click.
    void ReleaseHold();
    void ExchangeColors();
    void RestoreColors();
    // The pointer crossed the button's edge; with the primary button held this holds or releases.
    void SetPointerInside(bool Inside);
    void GrabAccelerator();
    TGradBtnLook Look() const;

    TColor FDisabledColor;
    TColor FBtnHiliteClr;
    TColor FBtnShadowClr;
    int FBtnFrameSize = 1;
    TColor FTxtHiliteClr;
    TColor FTxtShadowClr;
    TColor FBeginColor = clNavy;
    TColor FEndColor = clAqua;
    bool FSwapColors = true;
    bool FShowFocus = true;
    TGradientStyle FGradientStyle = ::gsVertCenter;
    TTextStyle FTextStyle = ::tsRaised;
    TShadeType FTextShadeType = ::stLight;
    TPreset FPresets = ::None;
    TJustification FJustification = ::jCenter;
    QString FCaption;
    TColor FFontColor = clBlack;

    QImage FBitmap;
    bool FUp = true;
    bool FClicked = false;
    // The colours are exchanged because of the current hold.
    bool FColorsSwapped = false;
    // A primary press on the button has not been released yet.
    bool FPrimaryHeld = false;
    bool FPointerInside = false;
    int FAcceleratorId = 0;
    int FPaintCount = 0;
};
