#include "FlatUtilitys.h"

#include "HSLUtils.h"

#include <algorithm>

namespace {
// The darkening starts 10 steps lighter, so the default 50 lowers the lightness by 40.
constexpr int LightnessLift = 10;
} // namespace

TColor DarkenColor(TColor AColor, TColor Fallback, TAdvColors Percent, const TColorToRGB& ToRGB)
{
    if (Percent == 0)
        return Fallback;
    int H, S, L;
    ColorToHSL(ToRGB(AColor), H, S, L);
    L = std::max(L + LightnessLift - int(Percent), 0);
    return HSLToColor(H, S, L);
}
