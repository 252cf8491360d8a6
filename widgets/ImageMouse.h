// The mouse rules of a window's image controls (a skin's background and picture buttons), which
// have no window of their own to receive the mouse: which control a press, a move and a release
// go to, and when a click comes.
//
// - A press goes to the image control under the pointer; a press over anything else goes nowhere.
// - A click comes only for the primary button pressed and released over the same control, just
//   before that release.
// - The release of a primary press goes to the control where the press began, also when the
//   pointer has left it (the toolkit's capture of the mouse); the release of another button goes
//   to the image control under the pointer, and nowhere when the pointer is over something else.
// - A move goes to the control of the press under way while a button is held, else to the image
//   control under the pointer.
// - When the window loses the mouse (a modal box or another window takes it), the press under way
//   gets no release and no click.
//
// A front end feeds the raw events of its window with the pointer in the window's coordinates
// and "the control under the pointer": the image control there, or NoImage when the topmost
// control there is not an image control or there is none. Controls are numbers of the front
// end's choosing. The rules call back through TImageMouseHost, with the pointer in the target
// control's own coordinates.
//
// GUI thread only; nothing blocks except what the host's calls do.
#pragma once

#include "WidgetHost.h"

class TImageMouseHost {
public:
    virtual ~TImageMouseHost() = default;

    // The control's top-left corner in the window's coordinates.
    virtual TPoint Origin(int Control) const = 0;
    // From a press on an image control until the last held button is released, the window
    // receives the mouse also outside itself (Win32's SetCapture; Qt grabs implicitly).
    virtual void CaptureMouse() = 0;
    virtual void ReleaseMouse() = 0;

    virtual void MouseDown(int Control, TMouseButton Button, TPoint At) = 0;
    virtual void MouseMove(int Control, TPoint At) = 0;
    virtual void MouseUp(int Control, TMouseButton Button, TPoint At) = 0;
    virtual void Click(int Control) = 0;
};

class TImageMouse {
public:
    static constexpr int NoImage = -1;

    // Host must outlive this object.
    explicit TImageMouse(TImageMouseHost& Host);
    TImageMouse(const TImageMouse&) = delete;
    TImageMouse& operator=(const TImageMouse&) = delete;

    // At: the pointer in the window's coordinates; Under: the image control there, or NoImage.
    void Press(TMouseButton Button, int Under, TPoint At);
    void Move(int Under, TPoint At);
    void Release(TMouseButton Button, int Under, TPoint At);
    // The window lost the mouse to another window.
    void CaptureLost();

    // The control the moves go to while buttons are held (NoImage when none is); for tests.
    int Owner() const { return FOwner; }

private:
    static unsigned Bit(TMouseButton Button) { return 1u << Button; }
    TPoint Local(int Control, TPoint At) const;

    TImageMouseHost& FHost;
    // The buttons held since their presses, as bits of TMouseButton.
    unsigned FHeld = 0;
    // The control of the press under way: it takes the moves while a button is held.
    int FOwner = NoImage;
    // The control of the primary press under way: it takes that press's release.
    int FPrimaryPress = NoImage;
};
