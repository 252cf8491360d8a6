#include "HSLUtils.h"

#include <algorithm>
#include <cmath>

namespace {

// The hue circle has HSLRange - 1 steps, saturation and lightness HSLRange.
constexpr double HueScale = HSLRange - 1;

int RoundHalfEven(double Value)
{
    return int(std::nearbyint(Value));
}

double HueToChannel(double M1, double M2, double X)
{
    if (X < 0)
        X += 1;
    else if (X > 1)
        X -= 1;
    if (6 * X < 1)
        return M1 + (M2 - M1) * X * 6;
    if (2 * X < 1)
        return M2;
    if (3 * X < 2)
        return M1 + (M2 - M1) * (2.0 / 3.0 - X) * 6;
    return M1;
}

} // namespace

void ColorToHSL(TColor Color, int& H, int& S, int& L)
{
    const double R = GetRValue(Color) / 255.0;
    const double G = GetGValue(Color) / 255.0;
    const double B = GetBValue(Color) / 255.0;
    const double Max = std::max({ R, G, B });
    const double Min = std::min({ R, G, B });
    const double Lightness = (Max + Min) / 2;
    double Hue = 0;
    double Saturation = 0;
    if (Max != Min) {
        const double D = Max - Min;
        Saturation = Lightness < 0.5 ? D / (Max + Min) : D / (2 - Max - Min);
        if (R == Max)
            Hue = (G - B) / D;
        else if (G == Max)
            Hue = (B - R) / D + 2;
        else
            Hue = (R - G) / D + 4;
        Hue /= 6;
        if (Hue < 0)
            Hue += 1;
    }
    H = RoundHalfEven(HueScale * Hue);
    S = RoundHalfEven(HSLRange * Saturation);
    L = RoundHalfEven(HSLRange * Lightness);
}

TColor HSLToColor(int H, int S, int L)
{
    const double Hue = H / HueScale;
    const double Saturation = S / double(HSLRange);
    const double Lightness = L / double(HSLRange);
    auto Byte
        = [](double Value) { return uint8_t(std::clamp(RoundHalfEven(255 * Value), 0, 255)); };
    if (Saturation == 0) {
        const uint8_t V = Byte(Lightness);
        return RGB(V, V, V);
    }
    const double M2 = Lightness <= 0.5 ? Lightness * (1 + Saturation)
                                       : Lightness + Saturation - Lightness * Saturation;
    const double M1 = 2 * Lightness - M2;
    return RGB(Byte(HueToChannel(M1, M2, Hue + 1.0 / 3.0)), Byte(HueToChannel(M1, M2, Hue)),
        Byte(HueToChannel(M1, M2, Hue - 1.0 / 3.0)));
}
