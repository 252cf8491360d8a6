// Draws Corvatone's skin: the eleven image files that the main window reads from its Skin folder.
//
//     SkinGenerator <output folder>
//
// The background's frames and dark fields follow the window's layout (the settings and duration
// areas, the device display, the button tray, the file box); the buttons are drawn on the colour
// of the area they sit on, since the BMPs carry no transparency.
#include "SkinFiles.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

// The face's palette.
const QColor FaceTop(47, 41, 45);
const QColor FaceBottom(29, 25, 28);
const QColor Panel(53, 45, 49); // under the settings, where the radio buttons sit
const QColor Recess(22, 19, 21); // device display and button tray
const QColor EdgeDark(12, 10, 11);
const QColor EdgeLight(88, 78, 84);
const QColor Ink(255, 255, 225); // light yellow, as the window's texts
const QColor InkDim(200, 196, 168);
const QColor RecordRed(235, 64, 58);
const QColor PauseAmber(255, 186, 48);

// Layout areas of the window that the background frames (client coordinates).
const QRect SettingsArea(11, 50, 158, 111);
const QRect DurationArea(177, 50, 162, 73);
const QRect DeviceDisplay(50, 28, 246, 21);
const QRect ButtonTray(173, 127, 171, 39);
const QRect FileBox(10, 166, 280, 25);
const QRect SmallButtonsPlate(305, 6, 39, 22);

constexpr QSize WindowSize(350, 200);
constexpr QSize LargeButtonSize(51, 31);
constexpr QSize SmallButtonSize(15, 16);

void RecessedBox(QPainter& P, const QRect& Area, const QColor& Fill, qreal Radius)
{
    const QRectF Box = QRectF(Area).adjusted(0.5, 0.5, -0.5, -0.5);
    P.setPen(QPen(EdgeDark, 1));
    P.setBrush(Fill);
    P.drawRoundedRect(Box, Radius, Radius);
    P.setPen(QPen(QColor(255, 255, 255, 22), 1));
    P.setBrush(Qt::NoBrush);
    P.drawLine(Box.bottomLeft() + QPointF(Radius, 1), Box.bottomRight() + QPointF(-Radius, 1));
}

QImage DrawWindow()
{
    QImage Image(WindowSize, QImage::Format_ARGB32_Premultiplied);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);

    QLinearGradient Face(0, 0, 0, WindowSize.height());
    Face.setColorAt(0, FaceTop);
    Face.setColorAt(1, FaceBottom);
    P.fillRect(Image.rect(), Face);

    // Title band with the name and a small recording lamp.
    QLinearGradient Band(0, 0, 0, 26);
    Band.setColorAt(0, QColor(70, 61, 66));
    Band.setColorAt(1, FaceTop);
    P.fillRect(QRect(1, 1, WindowSize.width() - 2, 25), Band);
    P.setPen(QPen(EdgeDark, 1));
    P.drawLine(QPointF(1, 25.5), QPointF(WindowSize.width() - 2, 25.5));
    QRadialGradient Lamp(QPointF(17, 13.5), 5);
    Lamp.setColorAt(0, QColor(255, 140, 120));
    Lamp.setColorAt(1, RecordRed.darker(140));
    P.setPen(Qt::NoPen);
    P.setBrush(Lamp);
    P.drawEllipse(QPointF(17, 13.5), 4.5, 4.5);
    QFont Title("Liberation Sans");
    Title.setPixelSize(14);
    Title.setBold(true);
    Title.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    P.setFont(Title);
    P.setPen(Ink);
    P.drawText(QRect(28, 4, 200, 19), Qt::AlignLeft | Qt::AlignVCenter, "CORVATONE");
    QFont Sub("Liberation Sans");
    Sub.setPixelSize(10);
    P.setFont(Sub);
    P.setPen(InkDim.darker(130));
    P.drawText(QRect(132, 4, 120, 19), Qt::AlignLeft | Qt::AlignVCenter, "MP3 recorder");

    RecessedBox(P, SmallButtonsPlate, QColor(36, 31, 34), 5);
    RecessedBox(P, DeviceDisplay, Recess, 4);
    P.fillRect(SettingsArea.adjusted(1, 1, -1, -1), Panel);
    P.fillRect(DurationArea.adjusted(1, 1, -1, -1), Panel);
    RecessedBox(P, ButtonTray, Recess, 6);
    RecessedBox(P, FileBox, EdgeDark, 2);

    // The window's outer edge: light above and left, dark below and right.
    P.setRenderHint(QPainter::Antialiasing, false);
    P.setPen(EdgeLight);
    P.drawLine(0, 0, WindowSize.width() - 1, 0);
    P.drawLine(0, 0, 0, WindowSize.height() - 1);
    P.setPen(EdgeDark);
    P.drawLine(0, WindowSize.height() - 1, WindowSize.width() - 1, WindowSize.height() - 1);
    P.drawLine(WindowSize.width() - 1, 0, WindowSize.width() - 1, WindowSize.height() - 1);
    return Image;
}

// A large button: a rounded key on the tray's colour, lit when On.
QImage DrawLargeButton(bool On, const std::function<void(QPainter&, bool)>& Glyph)
{
    QImage Image(LargeButtonSize, QImage::Format_RGB32);
    Image.fill(Recess);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    const QRectF Key = QRectF(1.5, 1.5, LargeButtonSize.width() - 3, LargeButtonSize.height() - 3);
    QLinearGradient Face(0, Key.top(), 0, Key.bottom());
    Face.setColorAt(0, On ? QColor(44, 39, 42) : QColor(84, 75, 80));
    Face.setColorAt(1, On ? QColor(66, 59, 63) : QColor(48, 42, 46));
    P.setPen(QPen(EdgeDark, 1));
    P.setBrush(Face);
    P.drawRoundedRect(Key, 5, 5);
    P.setPen(QPen(On ? QColor(255, 255, 255, 18) : QColor(255, 255, 255, 50), 1));
    P.drawLine(Key.topLeft() + QPointF(5, 1), Key.topRight() + QPointF(-5, 1));
    P.translate(LargeButtonSize.width() / 2.0, LargeButtonSize.height() / 2.0 + (On ? 0.5 : 0));
    Glyph(P, On);
    return Image;
}

void Glow(QPainter& P, const QColor& Color, qreal Radius)
{
    QRadialGradient Halo(QPointF(0, 0), Radius);
    QColor Inner = Color;
    Inner.setAlpha(110);
    QColor Outer = Color;
    Outer.setAlpha(0);
    Halo.setColorAt(0, Inner);
    Halo.setColorAt(1, Outer);
    P.setPen(Qt::NoPen);
    P.setBrush(Halo);
    P.drawEllipse(QPointF(0, 0), Radius, Radius);
}

void RecordGlyph(QPainter& P, bool On)
{
    if (On)
        Glow(P, RecordRed, 13);
    P.setPen(QPen(On ? RecordRed.lighter(130) : QColor(110, 40, 38), 1));
    P.setBrush(On ? RecordRed : QColor(150, 52, 48));
    P.drawEllipse(QPointF(0, 0), 6.5, 6.5);
}

void PauseGlyph(QPainter& P, bool On)
{
    const QColor Color = On ? PauseAmber : InkDim;
    if (On)
        Glow(P, PauseAmber, 13);
    P.setPen(Qt::NoPen);
    P.setBrush(Color);
    P.drawRoundedRect(QRectF(-6, -7, 4.5, 14), 1, 1);
    P.drawRoundedRect(QRectF(1.5, -7, 4.5, 14), 1, 1);
}

void StopGlyph(QPainter& P, bool On)
{
    const QColor Color = On ? Ink : InkDim;
    if (On)
        Glow(P, Ink, 12);
    P.setPen(Qt::NoPen);
    P.setBrush(Color);
    P.drawRoundedRect(QRectF(-6, -6, 12, 12), 1.5, 1.5);
}

// A small round button with transparency around it.
QImage DrawSmallButton(bool Pressed, const QColor& PressedColor, bool Cross)
{
    QImage Image(SmallButtonSize, QImage::Format_ARGB32_Premultiplied);
    Image.fill(Qt::transparent);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    const QPointF Centre(7.5, 8.0);
    P.setPen(QPen(EdgeDark, 1));
    P.setBrush(Pressed ? PressedColor : QColor(78, 70, 75));
    P.drawEllipse(Centre, 6.5, 6.5);
    P.setPen(QPen(Pressed ? QColor(255, 255, 255) : Ink, 1.6, Qt::SolidLine, Qt::RoundCap));
    if (Cross) {
        P.drawLine(Centre + QPointF(-2.6, -2.6), Centre + QPointF(2.6, 2.6));
        P.drawLine(Centre + QPointF(-2.6, 2.6), Centre + QPointF(2.6, -2.6));
    } else {
        P.drawLine(Centre + QPointF(-3, 0.5), Centre + QPointF(3, 0.5));
    }
    return Image;
}

bool Save(const QDir& Folder, const char* Name, const QImage& Image)
{
    const QString Path = Folder.filePath(QLatin1String(Name));
    if (Image.save(Path))
        return true;
    std::fprintf(stderr, "SkinGenerator: cannot write %s\n", qPrintable(Path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication Application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: SkinGenerator <output folder>\n");
        return EXIT_FAILURE;
    }
    const QDir Folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(Folder.path())) {
        std::fprintf(stderr, "SkinGenerator: cannot create %s\n", argv[1]);
        return EXIT_FAILURE;
    }
    using namespace SkinFiles;
    const QColor CloseRed(205, 62, 56);
    bool Ok = Save(Folder, Window, DrawWindow());
    Ok &= Save(Folder, CloseB, DrawSmallButton(false, CloseRed, true));
    Ok &= Save(Folder, CloseBOn, DrawSmallButton(true, CloseRed, true));
    Ok &= Save(Folder, MinB, DrawSmallButton(false, PauseAmber.darker(115), false));
    Ok &= Save(Folder, MinBOn, DrawSmallButton(true, PauseAmber.darker(115), false));
    Ok &= Save(Folder, RecBut, DrawLargeButton(false, RecordGlyph));
    Ok &= Save(Folder, RecButOn, DrawLargeButton(true, RecordGlyph));
    Ok &= Save(Folder, PauseBut, DrawLargeButton(false, PauseGlyph));
    Ok &= Save(Folder, PauseButOn, DrawLargeButton(true, PauseGlyph));
    Ok &= Save(Folder, StopBut, DrawLargeButton(false, StopGlyph));
    Ok &= Save(Folder, StopButOn, DrawLargeButton(true, StopGlyph));
    return Ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
