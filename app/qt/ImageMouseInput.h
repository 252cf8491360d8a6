// The mouse of the Qt window's image controls, translated for their rules (ImageMouse.h): each
// press, move and release that reaches an image control becomes a raw event in the window's
// coordinates with the image control under the pointer, and what the rules decide is reported to
// the window's routing (ControlEvents.h). Qt's implicit grab keeps the mouse with the control
// of a press until the last button is released, as the rules need.
//
// GUI thread only.
#pragma once

#include "ControlMouse.h"

#include <QObject>
#include <utility>
#include <vector>

class QWidget;

class TImageMouseInput : public QObject, private TControlMouseHost {
public:
    // Window holds the image controls; both it and Events outlive this object.
    TImageMouseInput(QWidget& Window, TControlEvents& Events);

    // Takes the mouse of Image, the control Control of the layout: an image control, or another
    // control that the form has take the mouse as one (Form::ReportsMouse).
    void Watch(QWidget* Image, TControl Control);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // The image control at Point of the window: the topmost control there, when it is one.
    int ImageAt(QPoint Point) const;
    QWidget* Image(int Control) const;

    TPoint Origin(int Control) const override;
    void CaptureMouse() override { }
    void ReleaseMouse() override { }

    QWidget& FWindow;
    std::vector<std::pair<QWidget*, TControl>> FImages;
    TImageMouse FRules{ *this };
};
