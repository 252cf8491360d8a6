// Colours as the widgets store them: 32-bit values with red in the low byte, then green, then
// blue ($00BBGGRR). A value with the high bit set names a system colour by its index in the low
// byte; SystemColors turns it into RGB when something is drawn.
//
// Plain values without the toolkit: any thread.
#pragma once

#include <cstdint>

using TColor = uint32_t;

constexpr TColor RGB(uint8_t Red, uint8_t Green, uint8_t Blue)
{
    return TColor(Red) | TColor(Green) << 8 | TColor(Blue) << 16;
}
constexpr uint8_t GetRValue(TColor Color)
{
    return uint8_t(Color);
}
constexpr uint8_t GetGValue(TColor Color)
{
    return uint8_t(Color >> 8);
}
constexpr uint8_t GetBValue(TColor Color)
{
    return uint8_t(Color >> 16);
}

constexpr TColor SystemColorFlag = 0x80000000u;
constexpr bool IsSystemColor(TColor Color)
{
    return (Color & SystemColorFlag) != 0;
}
constexpr uint8_t SystemColorIndex(TColor Color)
{
    return uint8_t(Color);
}

// System colours, by their classic index.
constexpr TColor clScrollBar = SystemColorFlag | 0;
constexpr TColor clBackground = SystemColorFlag | 1; // the desktop
constexpr TColor clActiveCaption = SystemColorFlag | 2;
constexpr TColor clInactiveCaption = SystemColorFlag | 3;
constexpr TColor clMenu = SystemColorFlag | 4;
constexpr TColor clWindow = SystemColorFlag | 5;
constexpr TColor clWindowFrame = SystemColorFlag | 6;
constexpr TColor clMenuText = SystemColorFlag | 7;
constexpr TColor clWindowText = SystemColorFlag | 8;
constexpr TColor clCaptionText = SystemColorFlag | 9;
constexpr TColor clActiveBorder = SystemColorFlag | 10;
constexpr TColor clInactiveBorder = SystemColorFlag | 11;
constexpr TColor clAppWorkSpace = SystemColorFlag | 12;
constexpr TColor clHighlight = SystemColorFlag | 13;
constexpr TColor clHighlightText = SystemColorFlag | 14;
constexpr TColor clBtnFace = SystemColorFlag | 15;
constexpr TColor clBtnShadow = SystemColorFlag | 16; // 3-D shadow
constexpr TColor clGrayText = SystemColorFlag | 17;
constexpr TColor clBtnText = SystemColorFlag | 18;
constexpr TColor clInactiveCaptionText = SystemColorFlag | 19;
constexpr TColor clBtnHighlight = SystemColorFlag | 20; // 3-D highlight
constexpr TColor cl3DDkShadow = SystemColorFlag | 21;
constexpr TColor cl3DLight = SystemColorFlag | 22;
constexpr TColor clInfoText = SystemColorFlag | 23;
constexpr TColor clInfoBk = SystemColorFlag | 24; // tooltip background

// Fixed colours.
constexpr TColor clBlack = RGB(0, 0, 0);
constexpr TColor clWhite = RGB(255, 255, 255);
constexpr TColor clGray = RGB(128, 128, 128);
constexpr TColor clNavy = RGB(0, 0, 128);
constexpr TColor clAqua = RGB(0, 255, 255);
constexpr TColor clTeal = RGB(0, 128, 128);
