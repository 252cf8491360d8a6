// What the window scenarios need of a window: the user's input (press, move, release, click, type,
// choose a list entry), the timer, the posted calls, the answers to its dialogs, and what the
// window shows. One driver per window: the fake window, the Qt window and the Win32 window each
// translate these into their own events, so that a scenario written once proves every front end
// and the behaviour behind it.
//
// Coordinates are in the control's own pixels; a release may lie outside the control.
//
// The test's thread is the window's GUI thread: every operation on it only.
#pragma once

#include "Corvat.h"
#include "MainWindow.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// A modal box the window showed: a message box, a question or the report of an error that left a
// handler. The title of an error report is the front end's own and is not compared.
struct TShownBox {
    TMessageKind Kind = TMessageKind::mkError;
    std::string Title;
    std::string Text;
};

// A key the user types, with the modifier it is typed with.
enum class TUserKey { Tab, ShiftTab, Space, Enter, Up, Down, CtrlR, CtrlP, CtrlS };

inline std::ostream& operator<<(std::ostream& Out, TUserKey Key)
{
    static const char* const Names[]
        = { "Tab", "Shift+Tab", "Space", "Enter", "Up", "Down", "Ctrl+R", "Ctrl+P", "Ctrl+S" };
    return Out << Names[static_cast<int>(Key)];
}

// A popup menu the window showed: its entries and the one marked (-1 for none).
struct TShownMenu {
    std::vector<std::string> Entries;
    int Checked = -1;
};

struct TWindowPlace {
    int Left = 0;
    int Top = 0;
    friend bool operator==(const TWindowPlace&, const TWindowPlace&) = default;
};

class TWindowDriver {
public:
    virtual ~TWindowDriver() = default;

    // Creates the window and its behaviour with the skin of the build, or from a folder that has
    // no Skin folder.
    virtual void Open(bool WithSkin) = 0;
    virtual TMain& Main() = 0;
    // Destroys the behaviour and then the window, as the program does at its end.
    virtual void Destroy() = 0;

    // ---- The user's input
    virtual void Press(TControl Control, TMouseButton Button, int X, int Y) = 0;
    // The pointer moves to X, Y with the buttons of the presses under way held.
    virtual void Move(TControl Control, int X, int Y) = 0;
    virtual void Release(TControl Control, TMouseButton Button, int X, int Y) = 0;
    // A primary click in the middle of a button or radio button.
    virtual void Click(TControl Control) = 0;
    // Replaces the text of the spin box or of a list's edit field, key by key. A user cannot type
    // into a disabled control: that fails the test.
    virtual void Type(TControl Control, const std::string& Text) = 0;
    // Chooses an entry of a drop-down list; fails the test when the list has no such entry.
    virtual void Choose(TControl Control, const std::string& Entry) = 0;
    // Presses and releases Key where the keyboard focus is, as the window's system delivers a
    // key typed there.
    virtual void PressKey(TUserKey Key) = 0;
    // One tick of the level timer.
    virtual void Tick() = 0;
    // Runs the calls and events queued now; PumpUntil runs them as they come until Done holds,
    // at most Bound, and says whether it holds.
    virtual void Pump() = 0;
    virtual bool PumpUntil(const std::function<bool()>& Done,
        std::chrono::milliseconds Bound = std::chrono::seconds(30))
        = 0;

    // ---- The answers the user gives: the next file-save dialogs confirm Path, or are
    // cancelled with nothing; a question is answered Yes. Message boxes are closed with OK.
    virtual void AnswerSaveDialog(std::optional<std::string> Path) = 0;
    // The next popup menus are answered by choosing Entry, or closed without a choice.
    virtual void AnswerMenu(std::optional<std::string> Entry) = 0;
    // Makes a file of the window's skin folder unreadable (Hidden) or readable again.
    virtual void HideSkinFile(const std::string& Name, bool Hidden) = 0;

    // ---- What the window shows
    // The boxes shown since the last call, in order.
    virtual std::vector<TShownBox> TakeBoxes() = 0;
    // The popup menus shown since the last call, in order.
    virtual std::vector<TShownMenu> TakeMenus() = 0;
    // The tooltip of a control.
    virtual std::string Hint(TControl Control) = 0;
    // The skin file whose picture an image control shows ("RecBut_ON.bmp"); empty for none.
    virtual std::string Picture(TControl Control) = 0;
    virtual std::string Text(TControl Control) = 0;
    virtual std::vector<std::string> Items(TControl Control) = 0;
    virtual bool Enabled(TControl Control) = 0;
    virtual bool Checked(TControl Control) = 0;
    // The control that has the keyboard focus; none when no control of the window has it.
    virtual std::optional<TControl> Focused() = 0;
    virtual int Position(TControl Control) = 0;
    virtual TWindowPlace Place() = 0;
    virtual bool Minimised() = 0;
    // The window has closed (the close request was granted).
    virtual bool Closed() = 0;
};

// A window the scenarios run on: its name in the cases' names and how to make its driver.
struct TWindowKind {
    const char* Name;
    std::function<std::unique_ptr<TWindowDriver>()> MakeDriver;
    friend std::ostream& operator<<(std::ostream& Out, const TWindowKind& Kind)
    {
        return Out << Kind.Name;
    }
};
