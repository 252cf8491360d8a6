#include "ControlMouse.h"

void TControlMouseHost::MouseDown(int Control, TMouseButton Button, TPoint At)
{
    if (FEvents)
        FEvents->Press(ControlOf(Control), Button, At.X, At.Y);
}

void TControlMouseHost::MouseMove(int Control, TPoint At)
{
    if (FEvents)
        FEvents->Move(ControlOf(Control), At.X, At.Y);
}

void TControlMouseHost::MouseUp(int Control, TMouseButton Button, TPoint At)
{
    if (FEvents)
        FEvents->Release(ControlOf(Control), Button, At.X, At.Y);
}

void TControlMouseHost::Click(int Control)
{
    if (FEvents)
        FEvents->Click(ControlOf(Control));
}
