// The one routing of the window's events to the handlers of TMain (Corvat.h). A front end
// reports what happened to which control of the layout (a press, a move, a release, a click, a
// changed text), the timer's tick and a request to close; which handler carries the event is
// decided here, and nowhere else. An event that no handler takes does nothing: a release on
// RecB, a click on the background, a change of Secs.
//
// Every handler runs behind the handler guard (HandlerGuard.h): an exception that leaves it is
// reported through the window and goes no further.
//
// GUI thread only; a handler may block as Corvat.h says of it.
#pragma once

#include "MainWindow.h"

#include <string>

class TMain;

class TControlEvents {
public:
    // Window reports the errors of the handlers; it outlives this object.
    explicit TControlEvents(TMainWindow& Window);

    // The events go to Main from now on; null drops them (before the behaviour exists and while
    // it is destroyed).
    void Attach(TMain* Main) { FMain = Main; }

    // The mouse on an image control; X, Y in the control's own coordinates. The front end has
    // applied the image controls' mouse rules (ImageMouse.h): which control gets a release, and
    // whether a click precedes it.
    void Press(TControl Control, TMouseButton Button, int X, int Y);
    void Move(TControl Control, int X, int Y);
    void Release(TControl Control, TMouseButton Button, int X, int Y);
    // A click: of an image control or the input chooser (before the release of the same press),
    // of the Save as button, or a radio button selected by the user (mouse or keyboard).
    void Click(TControl Control);
    // The control's own action without the mouse (a key, an assistive tool's press): as a click
    // of the primary button in its middle. An image control gets the press, the click and the
    // release; any other control the click.
    void Activate(TControl Control);
    // The text of a drop-down list changed: an entry chosen or text typed.
    void Change(TControl Control, const std::string& Text);
    // The level timer Tim.
    void Tick();
    // A request to close the window, from any source; true lets it close. Without the behaviour
    // every request is refused.
    bool CloseQuery();
    // The system asks whether the session may end; true lets it. Without the behaviour: yes.
    bool QueryEndSession();
    // The session ends: the behaviour finishes a recording and closes the window.
    void EndSession();
    // Whether a recording is in progress, so that the session's end has something to finish;
    // false without the behaviour. Never waits.
    bool RunInProgress() const;

private:
    template <typename THandler> void Run(THandler&& Handler);

    TMainWindow& FWindow;
    TMain* FMain = nullptr;
};
