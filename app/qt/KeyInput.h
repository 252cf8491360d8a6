// The keyboard of the Qt window, translated for the window's key rules (ControlKeys.h): Space and
// Enter on a focused image button, and the shortcuts of Record, Pause and Stop, registered with
// the window so that they act wherever the focus is.
//
// GUI thread only.
#pragma once

#include "ControlKeys.h"

#include <QObject>
#include <utility>
#include <vector>

class QWidget;

class TKeyInput : public QObject {
public:
    // Registers the shortcuts on Window; Window and Events outlive this object.
    TKeyInput(QWidget& Window, TControlEvents& Events);

    // Takes the keys of Widget, the control Control of the layout.
    void Watch(QWidget* Widget, TControl Control);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    std::vector<std::pair<QWidget*, TControl>> FWidgets;
    TControlKeys FKeys;
};
