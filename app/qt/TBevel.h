// A lowered frame drawn on its parent, a box or a line along the top edge, painted by the
// toolkit-free bevel (BevelPaint.h). What lies beneath shows through.
//
// GUI thread only.
#pragma once

#include "BevelPaint.h"

#include <QWidget>

class TBevel : public QWidget {
    Q_OBJECT

public:
    explicit TBevel(QWidget* Parent = nullptr)
        : QWidget(Parent)
    {
    }

    TBevelShape Shape() const { return FShape; }
    void setShape(TBevelShape Value)
    {
        FShape = Value;
        update();
    }

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    TBevelShape FShape = bsBox;
};
