// What assistive tools (screen readers) are told of a control at a given moment, decided once for
// every front end: its name, value, keyboard shortcut, states and the actions they may carry out.
// Each front end reads what its control shows (TControlNow), asks AccessibleView, and maps the
// answer to its toolkit's constants (MSAA's STATE_SYSTEM_*, QAccessible::State and its action
// names) without adding or dropping anything.
//
// Any thread: the answers depend on the form's table and the arguments only.
#pragma once

#include "FormDescription.h"

#include <string>
#include <vector>

// What the window shows of a control at the moment, as its front end reads it.
struct TControlNow {
    bool Enabled = true;
    bool Focused = false; // has the keyboard focus
    bool Checked = false; // a selected radio button
    std::string Text; // the text it shows
    int Position = 0; // a bar's position
};

// The states a screen reader announces; each maps to one flag of each toolkit.
struct TAccessibleState {
    bool Unavailable = false; // disabled: seen, but neither pressed nor focused
    bool Focusable = false;
    bool Focused = false;
    bool Checked = false;
    bool HasPopup = false; // pressing it opens a menu
    bool ReadOnly = false; // shows a text or value the user cannot change there
    bool operator==(const TAccessibleState&) const = default;
};

// What a tool may ask a control to do. Each is the window's routing of a click on the control
// (ControlEvents.h), reached after the tool's call has returned.
enum class TAccessibleAction {
    Press, // a push button
    Open, // a button that opens its menu
    Check, // a radio button
};

struct TAccessibleView {
    std::string Name;
    std::string Value; // empty: the control has no value to read
    std::string Shortcut; // the key that presses it, as menus write it ("Ctrl+R"); empty: none
    // A value within a range (the bars): their front ends also tell the range and the step.
    bool RangeValue = false;
    TAccessibleState State;
    // What it can do now, the default first; none while it is disabled.
    std::vector<TAccessibleAction> Actions;
};

namespace Form {

// What a tool is told of Control, which shows Now. Control has a role other than None.
TAccessibleView AccessibleView(TControl Control, const TControlNow& Now);
// The action's name as screen readers say it ("Press").
const char* ActionName(TAccessibleAction Action);

} // namespace Form
