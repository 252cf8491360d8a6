// A lowered frame drawn on its parent: a box (shadow on the top and left edges, highlight on the
// bottom and right) or a single lowered line along the top edge. It draws nothing else, so what
// lies beneath shows through.
//
// GUI thread only.
#pragma once

#include <QWidget>

class TBevel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TBevelShape Shape READ Shape WRITE setShape)

public:
    enum TBevelShape { bsBox, bsTopLine };
    Q_ENUM(TBevelShape)

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
