// The mouse and the keys of the Qt window's controls that take them by the window's own rules:
// the image controls, and the input chooser that the form has take the mouse as one
// (Form::ReportsMouse).
//
// Each press, move and release that reaches one becomes a raw event in the window's coordinates
// with the image control under the pointer, for the image controls' rules (ImageMouse.h); Qt's
// implicit grab keeps the mouse with the control of a press until the last button is released,
// as the rules need. Space, Enter and Alt+Down on the focused control, and the shortcuts of
// Record, Pause and Stop, registered with the window so that they act wherever the focus is, go
// to the key rules (ControlKeys.h). What the rules decide is reported to the window's routing
// (ControlEvents.h).
//
// GUI thread only.
#pragma once

#include "ControlKeys.h"
#include "ControlMouse.h"

#include <QObject>
#include <utility>
#include <vector>

class QWidget;

class TControlInput : public QObject, private TControlMouseHost {
public:
    // Registers the shortcuts on Window; Window and Events outlive this object.
    TControlInput(QWidget& Window, TControlEvents& Events);

    // Takes the mouse and the keys of Widget, the control Control of the layout.
    void Watch(QWidget* Widget, TControl Control);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // The watched control at Point of the window: the topmost control there, when it is one.
    int ImageAt(QPoint Point) const;
    TPoint Origin(int Control) const override;
    void CaptureMouse() override { }
    void ReleaseMouse() override { }

    QWidget& FWindow;
    std::vector<std::pair<QWidget*, TControl>> FWatched;
    TImageMouse FMouse{ *this };
    TControlKeys FKeys;
};
