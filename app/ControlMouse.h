// The image controls' mouse rules (ImageMouse.h) for the window's layout: the numbers the rules
// know the controls by are TControl values, and what the rules decide (a press, a move, a
// release, a click) goes to the window's routing (ControlEvents.h). A front end adds where each
// control lies and how its window takes the mouse, and feeds its raw events to the rules.
//
// GUI thread only.
#pragma once

#include "ControlEvents.h"
#include "ImageMouse.h"

class TControlMouseHost : public TImageMouseHost {
public:
    // Events may be null: the rules' decisions then go nowhere.
    explicit TControlMouseHost(TControlEvents* Events = nullptr)
        : FEvents(Events)
    {
    }
    void SetControlEvents(TControlEvents* Events) { FEvents = Events; }

    // The number the rules know Control by, and back.
    static int Number(TControl Control) { return static_cast<int>(Control); }
    static TControl ControlOf(int Number) { return static_cast<TControl>(Number); }

private:
    void MouseDown(int Control, TMouseButton Button, TPoint At) override;
    void MouseMove(int Control, TPoint At) override;
    void MouseUp(int Control, TMouseButton Button, TPoint At) override;
    void Click(int Control) override;

    TControlEvents* FEvents;
};
