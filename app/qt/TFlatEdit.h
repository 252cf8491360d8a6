// The flat read-only text box: a single line without a frame that the user can select and copy
// from but not change; the program sets its text.
//
// GUI thread only.
#pragma once

#include <QLineEdit>

class TFlatEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TFlatEdit(QWidget* Parent = nullptr)
        : QLineEdit(Parent)
    {
        setFrame(false);
        setReadOnly(true);
    }
};
