// The main window as the recorder's behaviour sees it: the small interface that each front end
// (Qt on Linux, Win32 on Windows) implements for TMain (Corvat.h), which holds every rule and
// every handler of the window.
//
// The front end builds the controls of the layout, implements these operations on
// them, and forwards each of its events to the handler of TMain that carries it (the mouse on
// the image controls, Save as, the two radio buttons, the sample-rate text, the timer's ticks, a
// request to close). It holds no rule of its own: what a press does, what a control shows next
// and when the window may close are TMain's.
//
// Texts are UTF-8. File names are full paths, UTF-8.
//
// Threads: every operation is called on the GUI thread only, except Post, which any thread may
// call. The front end calls TMain's handlers on the GUI thread only.
#pragma once

// TMouseButton, the mouse button of a press or release, is the widgets' (mbLeft, mbRight,
// mbMiddle); the window's handlers do not look at it, a front end passes it on.
#include "WidgetHost.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The components of the window's layout, by their names in the form.
enum class TControl {
    BackG, // background image; press, move and release drag the window
    RecB, // image buttons
    PauseB,
    StopB,
    MinB,
    CloseB,
    Bevel1, // frames
    Bevel2,
    Bevel4,
    Label1, // labels
    Label2,
    Label3,
    Label4,
    Label5,
    Label8,
    Label11,
    Label12,
    Label13,
    Label14,
    LabDev, // label of fixed size with the device's name
    Progres, // flat progress bars: progress and level meter
    Indicator,
    DirOut, // read-only text box with the output file's full path
    SaveAs, // gradient push button
    SecNoLimit, // radio buttons of the duration choice
    SecCustom,
    Secs, // whole-number spin box
    KBS, // drop-down lists with editable text
    SRate,
    State, // status panel
};
inline constexpr int ControlCount = static_cast<int>(TControl::State) + 1;

// The component's name in the form: "RecB" for TControl::RecB. Any thread.
const char* ControlName(TControl Control);

// A picture read from a skin file. What it holds is the front end's own (a decoded PNG or BMP);
// the behaviour only keeps it and hands it back to ShowPicture.
class TPicture {
public:
    virtual ~TPicture() = default;
};

// The error a front end raises when it cannot read a picture: "Cannot read image file <path>:
// <reason>". Any thread.
std::runtime_error PictureReadError(const std::string& FileName, const std::string& Reason);

enum class TMessageKind { mkError, mkWarning };

// A modal message box with a single OK button.
struct TMessage {
    TMessageKind Kind = TMessageKind::mkError;
    std::string Title;
    std::string Text;
};

// A modal question with Yes and No buttons, Yes the default.
struct TQuestion {
    std::string Title;
    std::string Text;
};

// The file-save dialog SaveMp3.
struct TSaveDialogSpec {
    std::string Title; // "Choose folder to save"
    std::string FilterName; // "Mp3 Files"
    std::string FilterPattern; // "*.mp3"
    std::string DefaultExtension; // "mp3", added to a name typed without an extension
    bool ConfirmOverwrite = true; // asks before an existing file is chosen
    bool Resizable = true;
    std::string Folder; // the folder it opens in; empty: the system's choice
};

// A popup menu of entries, at most one marked with a check, opened below a control.
struct TMenuSpec {
    std::vector<std::string> Entries;
    int Checked = -1; // the marked entry's index; -1 marks none
    TControl Below = TControl::LabDev; // opens at this control's bottom-left corner
};

class TMainWindow {
public:
    virtual ~TMainWindow() = default;

    // ---- Texts and lists

    // The text a control shows: a label's, the text box's, the status panel's, the spin box's
    // text as typed, a drop-down list's text (typed or chosen).
    virtual std::string Text(TControl Control) const = 0;
    // Shows Text as it is; for a drop-down list it becomes the list's text without becoming an
    // entry, for the spin box as if typed.
    virtual void SetText(TControl Control, const std::string& Text) = 0;
    // The entries of a drop-down list, in order.
    virtual std::vector<std::string> Items(TControl Control) const = 0;
    // Replaces the entries of a drop-down list. Its text afterwards is the front end's; the
    // behaviour sets it again.
    virtual void SetItems(TControl Control, const std::vector<std::string>& Items) = 0;
    // Whether a radio button is selected.
    virtual bool Checked(TControl Control) const = 0;
    // Selects a radio button (the others of its group go off) without reporting a click.
    virtual void SetChecked(TControl Control) = 0;
    virtual void SetEnabled(TControl Control, bool Enabled) = 0;
    // The position of a flat progress bar (Progres, Indicator); not limited to its range here,
    // the bar applies its own rules.
    virtual void SetPosition(TControl Control, int Position) = 0;
    // The colour of a flat progress bar's element (the filled part), as the form set it or as
    // last set here; a system colour stays one (high byte set).
    virtual TColor ElementColor(TControl Control) const = 0;
    virtual void SetElementColor(TControl Control, TColor Color) = 0;
    // The tooltip of a control; empty shows none (as every control has at start).
    virtual void SetHint(TControl Control, const std::string& Hint) = 0;

    // ---- Pictures

    // Reads the PNG or BMP picture of FileName. Raises PictureReadError when it cannot be read.
    // Reads the file on the GUI thread.
    virtual std::shared_ptr<TPicture> ReadPicture(const std::string& FileName) = 0;
    // Shows Picture in an image control, which sizes itself to it (keeps its geometry without
    // one); null shows none. The control keeps what it needs: Picture may be released afterwards.
    virtual void ShowPicture(TControl Control, const TPicture* Picture) = 0;

    // ---- Dialogs; both block the GUI thread until the user closes them.

    virtual void ShowMessage(const TMessage& Message) = 0;
    // True when the user answers Yes; No and closing the box answer no.
    virtual bool Ask(const TQuestion& Question) = 0;
    // Runs the file-save dialog; the full path of the confirmed file, nothing when cancelled.
    virtual std::optional<std::string> RunSaveDialog(const TSaveDialogSpec& Spec) = 0;
    // Runs the popup menu; the index of the entry chosen, nothing when it was closed without a
    // choice.
    virtual std::optional<int> RunMenu(const TMenuSpec& Menu) = 0;
    // The toolkit's report of an error that left one of the window's handlers (or its creation):
    // an error box with Message, titled as every error box (ErrorBox.h).
    virtual void ReportError(const std::string& Message) = 0;

    // ---- The window

    // The folder of the executable, where the Skin folder lies.
    virtual std::string ApplicationFolder() const = 0;
    // Starts the repeating timer Tim, or restarts it with Interval; each tick calls TimTimer.
    virtual void StartTimer(std::chrono::milliseconds Interval) = 0;
    // No tick follows once this returns.
    virtual void StopTimer() = 0;
    // Minimises the application.
    virtual void Minimise() = 0;
    // Moves the window by DX, DY pixels.
    virtual void MoveBy(int DX, int DY) = 0;
    // Hands a move of the window that the pointer's press begins to the system, where the
    // system moves windows itself (a Wayland compositor, which does not let a window move
    // itself); true when it took the move. Elsewhere false, and the window follows the pointer.
    virtual bool StartSystemMove() { return false; }
    // Asks the window to close: the front end asks FormCloseQuery and closes when it allows.
    // May close the window before it returns.
    virtual void Close() = 0;

    // ---- Threads

    // Any thread; never blocks and never waits for the GUI thread. Call runs later on the GUI
    // thread, calls in the order they were posted. Calls still queued when the window is
    // destroyed never run.
    virtual void Post(std::function<void()> Call) = 0;
};
