// The image control: shows a PNG or BMP picture and sizes itself to it. Its mouse is the window's
// (ImageMouseInput.h).
//
// Without a picture the control keeps its geometry and still takes presses, so a button whose
// file is missing can be used.
//
// GUI thread only.
#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <string>

// Reads a PNG or BMP file; raises PictureReadError (MainWindow.h) with the reader's reason.
QPixmap ReadPixmap(const std::string& FileName);

class TImage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)

public:
    explicit TImage(QWidget* Parent = nullptr);

    // Shows a copy of Picture (pixmaps share their data until one is changed).
    void SetPicture(const QPixmap& Picture);
    const QPixmap& Picture() const { return FPicture; }
    bool HasPicture() const { return !FPicture.isNull(); }

    bool AutoSize() const { return FAutoSize; }
    // Resizes to the picture at once when turned on.
    void setAutoSize(bool Value);
    bool Transparent() const { return FTransparent; }
    // A picture without an alpha channel is drawn without the pixels of its bottom-left colour.
    void setTransparent(bool Value);

protected:
    // The picture, and the focus mark over it while the control has the focus.
    void paintEvent(QPaintEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;

private:
    void PictureChanged();

    QPixmap FPicture;
    QPixmap FShown; // FPicture as drawn: masked when transparent
    bool FAutoSize = true;
    bool FTransparent = false;
};
