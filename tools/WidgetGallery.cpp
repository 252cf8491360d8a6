// Renders the display widgets in their interesting states into one PNG, enlarged so that a person
// can check them pixel by pixel: the window's progress bar and level meter at 0, 50, 100 and 130,
// block bars, the "Save as" button at rest, held down, focused and disabled, and a plain button in
// each gradient style.
//
// Usage: WidgetGallery [output.png]   (QT_QPA_PLATFORM=offscreen works without a display)
#include "Colors.h"
#include "GradBtn.h"
#include "TFlatProgressBarUnit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int Zoom = 4;
constexpr int Gap = 24;
constexpr int LabelHeight = 18;
// Wide enough for a label under a narrow widget.
constexpr int MinTileWidth = 124;

struct TTile {
    QString Label;
    QImage Image;
};

QImage Snapshot(QWidget& Widget)
{
    // A block bar resizes itself at its first paint; the second one shows the snapped length.
    Widget.grab();
    return Widget.grab().toImage();
}

std::unique_ptr<TFlatProgressBar> WindowBar(
    QWidget& Parent, TProgressBarOrientation Orientation, int Position, bool Smooth = true)
{
    auto Bar = std::make_unique<TFlatProgressBar>(&Parent);
    Bar->setOrientation(Orientation);
    Bar->resize(Orientation == pbHorizontal ? QSize(147, 16) : QSize(17, 97));
    Bar->setColorElement(clBackground);
    Bar->setMin(0);
    Bar->setMax(100);
    Bar->setStep(1);
    Bar->setSmooth(Smooth);
    Bar->setPosition(Position);
    return Bar;
}

std::unique_ptr<TGradBtn> SaveAsButton()
{
    auto Button = std::make_unique<TGradBtn>();
    Button->resize(47, 18);
    Button->setCaption(QStringLiteral("Save as"));
    Button->setGradientStyle(gsVertical);
    Button->setBeginColor(RGB(206, 206, 206));
    Button->setEndColor(RGB(95, 95, 95));
    Button->setTextStyle(tsInset);
    Button->setTextShadeType(stHeavy);
    Button->setBtnHiliteClr(clWhite);
    Button->setBtnShadowClr(clBlack);
    Button->setDisabledColor(RGB(128, 128, 128));
    QFont Font(QStringLiteral("Times New Roman"));
    Font.setPixelSize(13);
    Font.setBold(true);
    Button->setFont(Font);
    Button->setFontColor(clInfoBk);
    Button->setCursor(Qt::PointingHandCursor);
    return Button;
}

void PressPrimary(QWidget& Widget)
{
    const QPointF Inside(Widget.width() / 2.0, Widget.height() / 2.0);
    QMouseEvent Press(QEvent::MouseButtonPress, Inside, Widget.mapToGlobal(Inside), Qt::LeftButton,
        Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&Widget, &Press);
}

// Shows the button in an active window and gives it the focus; false if the platform never
// activates the window within a few seconds.
bool Focus(QWidget& Widget)
{
    Widget.show();
    Widget.activateWindow();
    QElapsedTimer Bound;
    Bound.start();
    while (!Widget.hasFocus() && Bound.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        Widget.setFocus();
    }
    return Widget.hasFocus();
}

std::vector<TTile> BarTiles(QWidget& Parent, TProgressBarOrientation Orientation, const char* Name)
{
    std::vector<TTile> Tiles;
    for (int Position : { 0, 50, 100, 130 }) {
        auto Bar = WindowBar(Parent, Orientation, Position);
        Tiles.push_back({ QStringLiteral("%1 %2").arg(Name).arg(Position), Snapshot(*Bar) });
    }
    return Tiles;
}

std::vector<TTile> BlockTiles(QWidget& Parent)
{
    std::vector<TTile> Tiles;
    auto Horizontal = WindowBar(Parent, pbHorizontal, 50, false);
    Tiles.push_back({ "blocks 147 at 50", Snapshot(*Horizontal) });
    auto Vertical = WindowBar(Parent, pbVertical, 70, false);
    Tiles.push_back({ "blocks 97->93 at 70", Snapshot(*Vertical) });
    auto Short = WindowBar(Parent, pbHorizontal, 100, false);
    Short->resize(10, 16);
    Tiles.push_back({ "blocks 10->12 at 100", Snapshot(*Short) });
    return Tiles;
}

std::vector<TTile> ButtonTiles()
{
    std::vector<TTile> Tiles;
    auto Rest = SaveAsButton();
    Tiles.push_back({ "Save as: rest", Snapshot(*Rest) });
    auto Held = SaveAsButton();
    PressPrimary(*Held);
    Tiles.push_back({ "held down", Snapshot(*Held) });
    auto Focused = SaveAsButton();
    const bool HasFocus = Focus(*Focused);
    Tiles.push_back({ HasFocus ? "focused" : "focused (no focus!)", Snapshot(*Focused) });
    auto Disabled = SaveAsButton();
    Disabled->setEnabled(false);
    Tiles.push_back({ "disabled", Snapshot(*Disabled) });
    return Tiles;
}

// A button as constructed (75 x 25, navy to aqua, raised caption) in each gradient style.
std::vector<TTile> GradientTiles()
{
    const std::pair<TGradientStyle, const char*> Styles[] = { { gsHorizontal, "gsHorizontal" },
        { gsVertical, "gsVertical" }, { gsElliptic, "gsElliptic" }, { gsRectangle, "gsRectangle" },
        { gsVertCenter, "gsVertCenter" }, { gsHorizCenter, "gsHorizCenter" } };
    std::vector<TTile> Tiles;
    for (const auto& [Style, Name] : Styles) {
        TGradBtn Button;
        Button.setGradientStyle(Style);
        Button.setCaption(QStringLiteral("&Style"));
        Tiles.push_back({ Name, Snapshot(Button) });
    }
    return Tiles;
}

// Lays out one row of tiles from (X, Y); returns the row's height.
int DrawRow(QPainter& Painter, int X, int Y, const std::vector<TTile>& Tiles, bool Stacked)
{
    int Height = 0;
    for (const TTile& Tile : Tiles) {
        const QImage Big = Tile.Image.scaled(
            Tile.Image.size() * Zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        Painter.drawText(X, Y + LabelHeight - 5, Tile.Label);
        Painter.drawImage(X, Y + LabelHeight, Big);
        if (Stacked) {
            Y += LabelHeight + Big.height() + Gap / 2;
            Height += LabelHeight + Big.height() + Gap / 2;
        } else {
            X += std::max(Big.width(), MinTileWidth) + Gap;
            Height = std::max(Height, LabelHeight + Big.height());
        }
    }
    return Height;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication Application(argc, argv);
    const QString Output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : "widget-gallery.png";

    QWidget Form;
    Form.resize(350, 200);
    const auto Horizontal = BarTiles(Form, pbHorizontal, "Progres");
    const auto Vertical = BarTiles(Form, pbVertical, "Indicator");
    const auto Blocks = BlockTiles(Form);
    const auto Buttons = ButtonTiles();

    QImage Canvas(1980, 1120, QImage::Format_RGB32);
    Canvas.fill(QColor(236, 236, 236));
    QPainter Painter(&Canvas);
    Painter.setPen(Qt::black);
    const int Left = Gap;
    int Top = Gap;
    const int BarsHeight = DrawRow(Painter, Left, Top, Horizontal, true);
    DrawRow(Painter, Left + 147 * Zoom + 2 * Gap, Top, Vertical, false);
    Top += std::max(BarsHeight, LabelHeight + 97 * Zoom) + Gap;
    Top += DrawRow(Painter, Left, Top, Blocks, false) + Gap;
    Top += DrawRow(Painter, Left, Top, Buttons, false) + Gap;
    DrawRow(Painter, Left, Top, GradientTiles(), false);
    Painter.end();

    if (!Canvas.save(Output)) {
        std::fprintf(stderr, "Cannot write %s\n", qPrintable(Output));
        return 1;
    }
    std::printf("%s\n", qPrintable(Output));
    return 0;
}
