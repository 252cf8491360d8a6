#include "TComboBox.h"

#include <QApplication>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionComboBox>

namespace {

// The application's style, with the arrow button of combo boxes narrowed and the text field
// widened to match.
class TCompactComboStyle : public QProxyStyle {
public:
    static constexpr int ArrowWidth = 13;
    static constexpr int FrameWidth = 2;

    QRect subControlRect(ComplexControl Control, const QStyleOptionComplex* Option, SubControl Part,
        const QWidget* Widget) const override
    {
        if (Control != CC_ComboBox || (Part != SC_ComboBoxArrow && Part != SC_ComboBoxEditField))
            return QProxyStyle::subControlRect(Control, Option, Part, Widget);
        const QRect Inner = Option->rect.adjusted(FrameWidth, FrameWidth, -FrameWidth, -FrameWidth);
        QRect Arrow = Inner;
        Arrow.setLeft(Inner.right() - ArrowWidth + 1);
        if (Part == SC_ComboBoxArrow)
            return visualRect(Option->direction, Option->rect, Arrow);
        QRect Field = Inner;
        Field.setRight(Arrow.left() - 1);
        return visualRect(Option->direction, Option->rect, Field);
    }
};

QStyle* CompactComboStyle()
{
    // One for all boxes, owned by the application.
    static QPointer<TCompactComboStyle> Style;
    if (!Style) {
        Style = new TCompactComboStyle;
        Style->setParent(qApp);
    }
    return Style;
}

} // namespace

TComboBox::TComboBox(QWidget* Parent)
    : QComboBox(Parent)
{
    setStyle(CompactComboStyle());
    setInsertPolicy(NoInsert);
}
