// TGradBtn: the Qt front end of the gradient push button (GradBtnCore.h holds its rules, its
// mouse and keyboard behaviour and its drawing). The widget forwards its properties and its
// events, registers the caption's accelerator as an Alt shortcut, and composes each paint on its
// own off-screen bitmap through a QPainter canvas before copying it onto the screen.
//
// Setters follow the toolkit's property naming (setBeginColor) so that a form can set them. The
// caption's font is the widget's font.
//
// GUI thread only. Click raises OnClick on the same thread after repainting the button.
#pragma once

#include "GradBtnCore.h"
#include "QtCanvas.h"

#include <QImage>

class TGradBtn : public TQtWidgetHost<TGradBtnHost> {
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

    TColor DisabledColor() const { return FCore.DisabledColor(); }
    TColor BtnHiliteClr() const { return FCore.BtnHiliteClr(); }
    TColor BtnShadowClr() const { return FCore.BtnShadowClr(); }
    int BtnFrameSize() const { return FCore.BtnFrameSize(); }
    TColor TxtHiliteClr() const { return FCore.TxtHiliteClr(); }
    TColor TxtShadowClr() const { return FCore.TxtShadowClr(); }
    TColor BeginColor() const { return FCore.BeginColor(); }
    TColor EndColor() const { return FCore.EndColor(); }
    bool SwapColors() const { return FCore.SwapColors(); }
    bool ShowFocus() const { return FCore.ShowFocus(); }
    TGradientStyle GradientStyle() const { return FCore.GradientStyle(); }
    TTextStyle TextStyle() const { return FCore.TextStyle(); }
    TShadeType TextShadeType() const { return FCore.TextShadeType(); }
    TPreset Presets() const { return FCore.Presets(); }
    TJustification Justification() const { return FCore.Justification(); }
    QString Caption() const { return QString::fromStdString(FCore.Caption()); }
    TColor FontColor() const { return FCore.FontColor(); }
    bool IsUp() const { return FCore.IsUp(); }

    void setDisabledColor(TColor Value) { FCore.SetDisabledColor(Value); }
    void setBtnHiliteClr(TColor Value) { FCore.SetBtnHiliteClr(Value); }
    void setBtnShadowClr(TColor Value) { FCore.SetBtnShadowClr(Value); }
    void setBtnFrameSize(int Value) { FCore.SetBtnFrameSize(Value); }
    void setTxtHiliteClr(TColor Value) { FCore.SetTxtHiliteClr(Value); }
    void setTxtShadowClr(TColor Value) { FCore.SetTxtShadowClr(Value); }
    void setBeginColor(TColor Value) { FCore.SetBeginColor(Value); }
    void setEndColor(TColor Value) { FCore.SetEndColor(Value); }
    void setSwapColors(bool Value) { FCore.SetSwapColors(Value); }
    void setShowFocus(bool Value) { FCore.SetShowFocus(Value); }
    void setGradientStyle(TGradientStyle Value) { FCore.SetGradientStyle(Value); }
    void setTextStyle(TTextStyle Value) { FCore.SetTextStyle(Value); }
    void setTextShadeType(TShadeType Value) { FCore.SetTextShadeType(Value); }
    void setPresets(TPreset Value) { FCore.SetPresets(Value); }
    void setJustification(TJustification Value) { FCore.SetJustification(Value); }
    void setCaption(const QString& Value);
    void setFontColor(TColor Value) { FCore.SetFontColor(Value); }

    void Click() { FCore.Click(); }
    // The button's rules and look, for setting it up as a form stores it.
    TGradBtnCore& Core() { return FCore; }

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
    void enterEvent(QEnterEvent*) override { FCore.MouseEnter(); }
    void leaveEvent(QEvent*) override { FCore.MouseLeave(); }
    void keyPressEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;

private:
    bool Enabled() const override { return isEnabled(); }
    bool Focused() const override { return hasFocus(); }
    void SetFocus() override { setFocus(Qt::MouseFocusReason); }
    // Qt sends a pressed button's mouse events to this widget until the release by itself.
    void CaptureMouse() override { }
    void ReleaseMouse() override { }
    void Clicked() override { emit OnClick(); }
    void MouseEntered() override { emit OnMouseEnter(); }
    void MouseLeft() override { emit OnMouseLeave(); }
    void MouseDown(TMouseButton Button, TShiftState Shift, TPoint At) override;
    void MouseMoved(TShiftState Shift, TPoint At) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, TPoint At) override;

    void GrabAccelerator();

    TGradBtnCore FCore{ *this };
    QImage FBitmap;
    int FAcceleratorId = 0;
    int FPaintCount = 0;
};
