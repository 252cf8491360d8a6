// The drop-down list with editable text of the form, drawn with a narrow arrow button so that
// its text fits the small boxes of the layout (41 pixels wide for three digits).
//
// GUI thread only.
#pragma once

#include <QComboBox>

class TComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TComboBox(QWidget* Parent = nullptr);
};
