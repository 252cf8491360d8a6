// The window's keyboard rules for the actions that have no key of their own in the toolkits: the
// image buttons (Record, Pause, Stop, Minimize, Close), which take the focus after the settings
// (the form's tab order) and act on Space and Enter, the input chooser after them, which opens
// its menu on Space, Enter and Alt+Down, and the shortcut keys of Record, Pause and
// Stop, which act wherever the focus is.
//
// A key acts as a click of the primary button in the middle of the image button does: a press,
// the click, then the release, each routed as the mouse's are (ControlEvents.h), so that every
// handler acts on the keyboard as it does on the mouse; on the input chooser it is a click. A key
// held down acts once: its repeats do nothing, as a held mouse button clicks once.
//
// The shortcuts are Ctrl with the first letter of the button's name: Ctrl+R, Ctrl+P and Ctrl+S.
// The window has no menu and no document to print or save, and the lists' text boxes give Ctrl
// with these letters no meaning, so none of them is taken from anything; plain letters would be
// typed into the lists and the function keys have no name to remember.
//
// Tab and Shift+Tab go round the form's tab order (FormDescription.h): the settings, then the image
// buttons and the input chooser, then the settings again. A front end whose toolkit does not know
// the image buttons or the chooser as focusable controls moves the focus by NextTabStop.
//
// A front end translates its key events into TKey and reports them here; it reports a shortcut
// for each entry of Shortcuts() as its toolkit registers shortcuts. GUI thread only.
#pragma once

#include "ControlEvents.h"
#include "MainWindow.h"

#include <functional>
#include <optional>
#include <span>

// AltDown: the Down arrow with Alt, which opens a drop-down list, and so the input chooser.
enum class TKey { Space, Enter, AltDown, Other };

struct TShortcut {
    char Letter; // upper case; typed with Ctrl, in either case
    TControl Control;
    const char* Text; // as menus and documentation write it
};

class TControlKeys {
public:
    // Events outlives this object.
    explicit TControlKeys(TControlEvents& Events);

    static std::span<const TShortcut> Shortcuts();
    // Whether the control is an image button that the keyboard operates.
    static bool IsImageButton(TControl Control);
    // The control that Tab (Shift+Tab with Backward) moves the focus to from From (none: the
    // focus is on no control, and the round starts at its first or last stop). A stop is skipped
    // while it is disabled, and a radio button while it is not checked; Enabled and Checked say
    // what the window shows. None when no control can take the focus.
    static std::optional<TControl> NextTabStop(std::optional<TControl> From, bool Backward,
        const std::function<bool(TControl)>& Enabled, const std::function<bool(TControl)>& Checked);
    // Whether the control is the input chooser, a label that the keyboard operates: Space, Enter
    // and Alt+Down open its menu.
    static bool IsChooser(TControl Control);

    // A key pressed on the focused control; Repeat: the system's repeat of a held key. True when
    // the key acted, and the front end then gives it to nothing else.
    bool KeyDown(TControl Focused, TKey Key, bool Repeat);
    // Ctrl with Letter (either case); true when it is a shortcut, which then acted.
    bool Shortcut(char Letter, bool Repeat);

private:
    TControlEvents& FEvents;
};
