#include "TImage.h"

#include "FocusMark.h"
#include "MainWindow.h"
#include "QtCanvas.h"

#include <QBitmap>
#include <QImageReader>
#include <QPainter>

QPixmap ReadPixmap(const std::string& FileName)
{
    QImageReader Reader(QString::fromStdString(FileName));
    QImage Image = Reader.read();
    if (Image.isNull())
        throw PictureReadError(FileName, Reader.errorString().toStdString());
    return QPixmap::fromImage(std::move(Image));
}

TImage::TImage(QWidget* Parent)
    : QWidget(Parent)
{
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
    if (FTransparent && !FShown.isNull() && !FShown.hasAlphaChannel()) {
        const QImage Image = FShown.toImage();
        FShown.setMask(QBitmap::fromImage(
            Image.createMaskFromColor(Image.pixel(0, Image.height() - 1), Qt::MaskInColor)));
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

void TImage::focusInEvent(QFocusEvent* Event)
{
    QWidget::focusInEvent(Event);
    update();
}

void TImage::focusOutEvent(QFocusEvent* Event)
{
    QWidget::focusOutEvent(Event);
    update();
}
