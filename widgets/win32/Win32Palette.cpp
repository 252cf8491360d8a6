#include "Win32Palette.h"

#include "Win32Api.h"

TSystemPalette Win32SystemPalette()
{
    TSystemPalette Palette{};
    // The classic indices are Windows' own (COLOR_SCROLLBAR 0 .. COLOR_INFOBK 24).
    for (size_t Index = 0; Index < Palette.size(); ++Index)
        Palette[Index] = GetSysColor(static_cast<int>(Index));
    return Palette;
}
