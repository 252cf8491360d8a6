#include "TImage.h"

#include <QApplication>
#include <QBitmap>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <stdexcept>

TImage::TImage(QWidget* Parent)
    : QWidget(Parent)
{
    setMouseTracking(true);
}

void TImage::LoadFromFile(const QString& FileName)
{
    QImageReader Reader(FileName);
    QImage Image = Reader.read();
    if (Image.isNull())
        throw std::runtime_error("Cannot read image file " + FileName.toStdString() + ": "
            + Reader.errorString().toStdString());
    SetPicture(QPixmap::fromImage(std::move(Image)));
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
    if (FShown.isNull())
        return;
    QPainter Painter(this);
    Painter.drawPixmap(0, 0, FShown);
}

void TImage::mousePressEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton)
        FPrimaryPressed = true;
    const QPoint At = Event->position().toPoint();
    emit MouseDown(Event->button(), At.x(), At.y());
}

void TImage::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint At = Event->position().toPoint();
    emit MouseMove(At.x(), At.y());
}

void TImage::mouseReleaseEvent(QMouseEvent* Event)
{
    const QPoint At = Event->position().toPoint();
    if (Event->button() != Qt::LeftButton) {
        TImage* Target = ReleaseTarget(Event->globalPosition());
        if (Target) {
            const QPoint TargetAt = Target->mapFromGlobal(Event->globalPosition()).toPoint();
            emit Target->MouseUp(Event->button(), TargetAt.x(), TargetAt.y());
        }
        return;
    }
    const bool WasPressed = FPrimaryPressed;
    FPrimaryPressed = false;
    if (WasPressed && rect().contains(At))
        emit Click();
    emit MouseUp(Event->button(), At.x(), At.y());
}

TImage* TImage::ReleaseTarget(const QPointF& GlobalPos)
{
    if (rect().contains(mapFromGlobal(GlobalPos).toPoint()))
        return this;
    QWidget* Top = window();
    QWidget* Under = Top->childAt(Top->mapFromGlobal(GlobalPos).toPoint());
    return qobject_cast<TImage*>(Under);
}
