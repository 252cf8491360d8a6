#include "ImageMouse.h"

TImageMouse::TImageMouse(TImageMouseHost& Host)
    : FHost(Host)
{
}

TPoint TImageMouse::Local(int Control, TPoint At) const
{
    const TPoint Origin = FHost.Origin(Control);
    return TPoint{ At.X - Origin.X, At.Y - Origin.Y };
}

void TImageMouse::Press(TMouseButton Button, int Under, TPoint At)
{
    FHeld |= Bit(Button);
    if (Under == NoImage)
        return;
    FHost.CaptureMouse();
    FOwner = Under;
    if (Button == mbLeft)
        FPrimaryPress = Under;
    FHost.MouseDown(Under, Button, Local(Under, At));
}

void TImageMouse::Move(int Under, TPoint At)
{
    const int Target = FOwner != NoImage ? FOwner : Under;
    if (Target != NoImage)
        FHost.MouseMove(Target, Local(Target, At));
}

void TImageMouse::Release(TMouseButton Button, int Under, TPoint At)
{
    int Target = Under;
    if (Button == mbLeft) {
        Target = FPrimaryPress;
        FPrimaryPress = NoImage;
    }
    FHeld &= ~Bit(Button);
    if (FHeld == 0 && FOwner != NoImage) {
        FOwner = NoImage;
        FHost.ReleaseMouse();
    }
    if (Target == NoImage)
        return;
    if (Button == mbLeft && Under == Target)
        FHost.Click(Target);
    FHost.MouseUp(Target, Button, Local(Target, At));
}

void TImageMouse::CaptureLost()
{
    FHeld = 0;
    FOwner = NoImage;
    FPrimaryPress = NoImage;
}
