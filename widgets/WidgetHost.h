// What a self-drawn widget needs of the toolkit window that shows it. The widgets' rules
// (TFlatProgressBarCore, TGradBtnCore) call these; each front end implements them over its own
// control (a QWidget, a Win32 child window) and forwards the control's events to the widget.
//
// All calls happen on the GUI thread that owns the control, inside the widget's setters and
// event handlers; none of them may block. A call may come while the widget is painting (a block
// bar resizes itself there).
#pragma once

#include "Canvas.h"
#include "SystemPalette.h"

#include <cstdint>
#include <optional>

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// The keys and mouse buttons held during an input event.
using TShiftState = uint8_t;
constexpr TShiftState ssShift = 1;
constexpr TShiftState ssAlt = 2;
constexpr TShiftState ssCtrl = 4;
constexpr TShiftState ssLeft = 8;
constexpr TShiftState ssRight = 16;
constexpr TShiftState ssMiddle = 32;

class TWidgetHost {
public:
    virtual ~TWidgetHost() = default;

    // The control's size in pixels; the whole control is its client area.
    virtual TSize Size() const = 0;
    // Gives the control a new size, keeping its top-left corner. The front end lays it out and
    // paints it again as after any resize (later, through the toolkit's queue, when the widget
    // asks from inside a paint).
    virtual void Resize(TSize NewSize) = 0;
    // Asks for a paint at the next paint cycle (Qt's update, Win32's InvalidateRect).
    virtual void Invalidate() = 0;
    // Paints the control before returning (Qt's repaint, Win32's InvalidateRect then
    // UpdateWindow). A control that is not shown need not paint.
    virtual void Repaint() = 0;
    // The present values of the system colours; the widget resolves its TColor values with
    // them (ColorToRGB) before anything reaches the canvas.
    virtual TSystemPalette SystemPalette() const = 0;
};

class TFlatProgressBarHost : public TWidgetHost {
public:
    // The background colour of the control's parent, in RGB; none while it has no parent.
    virtual std::optional<TColor> ParentBackground() const = 0;
};

class TGradBtnHost : public TWidgetHost {
public:
    virtual bool Enabled() const = 0;
    // The control has the keyboard focus.
    virtual bool Focused() const = 0;
    // Gives the control the keyboard focus; the front end then reports FocusChanged.
    virtual void SetFocus() = 0;
    // From a primary-button press until its release, mouse input goes to this control even
    // outside it (Win32's SetCapture and ReleaseCapture; Qt grabs implicitly and does nothing).
    virtual void CaptureMouse() = 0;
    virtual void ReleaseMouse() = 0;

    // Notifications the front end passes on to its users (the button's events), raised by the
    // widget in the order its rules give: OnMouseDown before the press changes the button,
    // OnMouseUp before the release that follows a click is consumed, OnClick after the button
    // has been repainted released. A front end whose users take only the click leaves the
    // others as they are.
    virtual void Clicked() = 0;
    virtual void MouseEntered() { }
    virtual void MouseLeft() { }
    virtual void MouseDown(TMouseButton, TShiftState, TPoint) { }
    virtual void MouseMoved(TShiftState, TPoint) { }
    virtual void MouseUp(TMouseButton, TShiftState, TPoint) { }
};
