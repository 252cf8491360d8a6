// The Win32 window as screen readers see it through MSAA (oleacc): the object the form answers to
// WM_GETOBJECT for its client area. Its children are the controls that the form's description
// names for assistive tools (FormDescription.h), in the form's order, as simple elements with
// the table's role, name and description: the windowless image buttons, labels and bars, which
// have no window the system could describe, and the child windows, whose painted labels the
// system cannot tie to them. Names, values, shortcuts, states and the default action are what
// AccessibleState.h decides for what the control shows; the action is the window's routing of a
// click (ControlEvents.h), reached after the tool's call has returned.
//
// The object lives as long as its clients hold it; once the form has gone (Detach) it answers
// every call with an error.
//
// GUI thread only: COM brings every call of another thread or process to it through the window's
// messages.
#pragma once

#include "AccessibleState.h"
#include "MainWindow.h"
#include "Win32Api.h"

#include <oleacc.h>
#include <string>

// What the accessible object reads of the form and asks of it.
class TWin32AccessibleHost {
public:
    virtual ~TWin32AccessibleHost() = default;
    virtual HWND FormHandle() const = 0;
    // The control's rectangle in client coordinates.
    virtual RECT ControlBounds(TControl Control) const = 0;
    // What the control shows now (its focus the form's own for an image button).
    virtual TControlNow ControlNow(TControl Control) const = 0;
    // Carries out the control's action, later on the GUI thread.
    virtual void PostActivate(TControl Control) = 0;
};

class TWin32FormAccessible;

// Creates the object with one reference, which the caller owns; Host outlives it or detaches it.
TWin32FormAccessible* CreateFormAccessible(TWin32AccessibleHost& Host);
// The form is going: the object no longer reads it, and the creator's reference goes.
void ReleaseFormAccessible(TWin32FormAccessible& Accessible);
// The answer to WM_GETOBJECT with W for the object.
LRESULT AnswerGetObject(TWin32FormAccessible& Accessible, WPARAM W);
// The MSAA child id of the control (1 and up), 0 when assistive tools are not told of it; for the
// system's change notices (NotifyWinEvent).
LONG AccessibleChildId(TControl Control);
