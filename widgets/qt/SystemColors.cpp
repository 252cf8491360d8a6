#include "SystemColors.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

struct TRole {
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

// Indexed by the classic system colour index (clScrollBar .. clInfoBk).
constexpr TRole SystemRoles[SystemColorCount] = {
    { QPalette::Active, QPalette::Button }, // scroll bar
    { QPalette::Active, QPalette::Highlight }, // desktop
    { QPalette::Active, QPalette::Highlight }, // active caption
    { QPalette::Inactive, QPalette::Mid }, // inactive caption
    { QPalette::Active, QPalette::Window }, // menu
    { QPalette::Active, QPalette::Base }, // window
    { QPalette::Active, QPalette::Shadow }, // window frame
    { QPalette::Active, QPalette::WindowText }, // menu text
    { QPalette::Active, QPalette::Text }, // window text
    { QPalette::Active, QPalette::HighlightedText }, // caption text
    { QPalette::Active, QPalette::Window }, // active border
    { QPalette::Inactive, QPalette::Window }, // inactive border
    { QPalette::Active, QPalette::Dark }, // application workspace
    { QPalette::Active, QPalette::Highlight }, // highlight
    { QPalette::Active, QPalette::HighlightedText }, // highlight text
    { QPalette::Active, QPalette::Button }, // button face
    { QPalette::Active, QPalette::Dark }, // 3-D shadow
    { QPalette::Disabled, QPalette::Text }, // grey text
    { QPalette::Active, QPalette::ButtonText }, // button text
    { QPalette::Disabled, QPalette::WindowText }, // inactive caption text
    { QPalette::Active, QPalette::Light }, // 3-D highlight
    { QPalette::Active, QPalette::Shadow }, // 3-D dark shadow
    { QPalette::Active, QPalette::Midlight }, // 3-D light
    { QPalette::Active, QPalette::ToolTipText }, // tooltip text
    { QPalette::Active, QPalette::ToolTipBase }, // tooltip background
};

} // namespace

TSystemPalette QtSystemPalette()
{
    const QPalette Palette = QGuiApplication::palette();
    TSystemPalette Result;
    for (std::size_t I = 0; I < SystemColorCount; ++I)
        Result[I] = FromQColor(Palette.color(SystemRoles[I].Group, SystemRoles[I].Role));
    return Result;
}

TColor FromQColor(const QColor& Color)
{
    const QRgb Value = Color.rgb();
    return RGB(uint8_t(qRed(Value)), uint8_t(qGreen(Value)), uint8_t(qBlue(Value)));
}

TColor ColorToRGB(TColor Color)
{
    return ColorToRGB(Color, QtSystemPalette());
}

QColor ToQColor(TColor Color)
{
    const TColor Rgb = ColorToRGB(Color);
    return QColor(GetRValue(Rgb), GetGValue(Rgb), GetBValue(Rgb));
}
