// A label that the keyboard and the mouse operate (the input chooser LabDev): it takes the focus
// from the keyboard, as the form's tab order places it, and shows the focus mark over its text.
// What a key or a click does is the window's (ControlKeys.h, ControlEvents.h).
//
// GUI thread only.
#pragma once

#include <QLabel>

class TChooserLabel : public QLabel {
public:
    TChooserLabel(const QString& Text, QWidget* Parent);

protected:
    void paintEvent(QPaintEvent* Event) override;
};
