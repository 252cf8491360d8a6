// The drop-down list with editable text of the form, drawn with a narrow arrow button so that
// its text fits the small boxes of the layout (41 pixels wide for three digits). The list is the
// program's own: a text typed and confirmed with Enter stays the box's text and never becomes an
// entry, so that it cannot pass the settings check.
//
// GUI thread only.
#pragma once

#include <QComboBox>

class TComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TComboBox(QWidget* Parent = nullptr);
};
