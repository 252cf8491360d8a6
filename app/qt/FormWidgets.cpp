#include "FormWidgets.h"

#include "CornerTransparency.h"
#include "FocusMark.h"
#include "QtCanvas.h"

#include <QApplication>
#include <QImageReader>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionComboBox>

QPixmap ReadPixmap(const std::string& FileName)
{
    QImageReader Reader(QString::fromStdString(FileName));
    QImage Image = Reader.read();
    if (Image.isNull())
        throw PictureReadError(FileName, Reader.errorString().toStdString());
    return QPixmap::fromImage(std::move(Image));
}

void TImage::SetPicture(const QPixmap& Picture)
{
    FPicture = Picture;
    PictureChanged();
}

void TImage::setAutoSize(bool Value)
{
    FAutoSize = Value;
    PictureChanged();
}

void TImage::setTransparent(bool Value)
{
    FTransparent = Value;
    PictureChanged();
}

void TImage::PictureChanged()
{
    FShown = FPicture;
    if (!FShown.isNull() && CornerColourCleared(FTransparent, FShown.hasAlphaChannel())) {
        QImage Image = FShown.toImage().convertToFormat(QImage::Format_ARGB32);
        ClearCornerColour(reinterpret_cast<uint32_t*>(Image.bits()), Image.width(), Image.height(),
            Image.bytesPerLine());
        FShown = QPixmap::fromImage(std::move(Image));
    }
    if (FAutoSize && !FPicture.isNull())
        resize(FPicture.size());
    update();
}

void TImage::paintEvent(QPaintEvent*)
{
    QPainter Painter(this);
    if (!FShown.isNull())
        Painter.drawPixmap(0, 0, FShown);
    if (hasFocus()) {
        TQtCanvas Canvas(Painter);
        PaintFocusMark(Canvas, TSize{ width(), height() });
    }
}

void TChooserLabel::paintEvent(QPaintEvent* Event)
{
    QLabel::paintEvent(Event);
    if (!hasFocus())
        return;
    // QLabel repaints itself on focus changes: the mark comes and goes with the focus.
    QPainter Painter(this);
    TQtCanvas Canvas(Painter);
    PaintFocusMark(Canvas, TSize{ width(), height() });
}

void TBevel::paintEvent(QPaintEvent*)
{
    TQtCanvas Canvas(*static_cast<QPaintDevice*>(this));
    PaintBevel(Canvas, FShape, TSize{ width(), height() }, QtSystemPalette());
}

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

} // namespace

TComboBox::TComboBox(QWidget* Parent)
    : QComboBox(Parent)
{
    // One style for all boxes, owned by the application.
    static QPointer<TCompactComboStyle> Style;
    if (!Style) {
        Style = new TCompactComboStyle;
        Style->setParent(qApp);
    }
    setStyle(Style);
    setInsertPolicy(NoInsert);
}
