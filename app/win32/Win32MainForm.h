// The recorder's window on the Win32 API: a borderless popup of the form's size centred on the
// screen, with the controls of the form's description (FormDescription.h). The background, the
// image buttons, the labels, the bevels and the flat bars have no window of their own: the form
// paints them, in layout order, and routes the mouse to the image controls as the toolkit would.
// The text boxes, the buttons, the spin box, the lists and the panel are native child windows,
// created in tab order (the panel, which takes no focus, last).
//
// The form only translates: it reports each event of a control, by its identifier, to the window's
// routing (ControlEvents.h) and its keys to the window's keyboard rules (ControlKeys.h), which
// decide what happens.
//
// The mouse over the windowless controls goes through the image controls' rules (ImageMouse.h),
// which decide which image control a press, a move or a release reaches and when a click comes.
//
// The keyboard: the image buttons take the focus as the form's tab order places them. The system
// knows no focus of a windowless control, so the form holds it: while an image button has the
// focus, the system's focus is on the form itself and the form draws the button's focus mark
// (FocusMark.h). Tab and Shift+Tab go round the tab order by the window's rule (ControlKeys.h),
// and the message loop (Dispatch) reports Space and Enter on the focused image button and Ctrl
// with a letter from anywhere in the window.
//
// GUI thread only, except Post, which any thread may call and which never waits for the GUI
// thread.
#pragma once

#include "ControlKeys.h"
#include "ControlMouse.h"
#include "FormDescription.h"
#include "ImageMouse.h"
#include "SkinPicture.h"
#include "Win32Accessible.h"
#include "Win32Api.h"
#include "Win32FlatBar.h"
#include "Win32GradBtn.h"
#include "Win32Message.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class TWin32MainForm : private TControlMouseHost, private TWin32MessageTarget {
public:
    // Creates the hidden window, centred on the screen's work area, and its child windows.
    // Raises when the system refuses.
    explicit TWin32MainForm(HINSTANCE Instance);
    ~TWin32MainForm();
    TWin32MainForm(const TWin32MainForm&) = delete;
    TWin32MainForm& operator=(const TWin32MainForm&) = delete;

    HWND Handle() const { return FHandle; }
    HWND Tooltip() const { return FTooltip; }
    // Where the controls' events (the image controls' mouse too) and keys go. Null: nowhere;
    // then every close is refused and the session may end.
    void SetEvents(TControlEvents* Events, TControlKeys* Keys);
    // What screen readers read of the form and ask of it (Win32Accessible.h); null: the system's
    // own description of the window, without the form's controls.
    void SetAccessibleHost(TWin32AccessibleHost* Host);
    void Show(int ShowCommand);
    // Dispatches Message, with the dialog keys (Tab, arrows between radio buttons) handled for
    // the form and the keys of the image buttons and the shortcuts reported; the message loop
    // calls it for every message.
    void Dispatch(MSG& Message);
    // The control that has the keyboard focus (an image button by the form's own focus); npos
    // when the focus is elsewhere.
    size_t FocusedControl() const;

    // ---- Windowless controls
    // Shows Picture (none: no picture). An image control other than BackG takes its picture's
    // size.
    void SetPicture(size_t Control, std::shared_ptr<const TSkinPicture> Picture);
    const TSkinPicture* Picture(size_t Control) const { return FPictures[Control].get(); }
    void SetLabelText(size_t Control, const std::wstring& Text);
    const std::wstring& LabelText(size_t Control) const { return FLabelTexts[Control]; }
    // The position of a flat bar; the bar repaints itself at once when it changes.
    void SetPosition(size_t Control, int Position);
    int Position(size_t Control) const;
    // The colour of a flat bar's element (its filled part); the bar repaints itself.
    TColor ElementColor(size_t Control) const;
    void SetElementColor(size_t Control, TColor Color);
    // Replaces the control's tooltip; an empty one removes it.
    void SetHint(size_t Control, const std::wstring& Hint);
    // The tooltip last set; empty for none.
    const std::wstring& Hint(size_t Control) const { return FHints[Control]; }
    // The control's present rectangle in client coordinates.
    RECT Bounds(size_t Control) const;
    // Asks for a paint of the control's rectangle; with Now, paints it before returning.
    void InvalidateControl(size_t Control, bool Now);

    // ---- Child windows
    HWND Child(size_t Control) const { return FChildren[Control]; }
    // A control's second window (the spin box's arrows), or null.
    HWND Companion(size_t Control) const { return FCompanions[Control]; }
    std::wstring Text(size_t Control) const;
    // Sets the text without a change report.
    void SetText(size_t Control, const std::wstring& Text);
    bool Enabled(size_t Control) const;
    void SetEnabled(size_t Control, bool Enabled);
    bool Checked(size_t Control) const;
    void SetChecked(size_t Control, bool Checked);
    std::vector<std::wstring> Items(size_t Control) const;
    // Replaces the entries of a drop-down list; its text is the system's afterwards.
    void SetItems(size_t Control, const std::vector<std::wstring>& Items);

    // ---- The window
    void StartTimer(UINT Milliseconds);
    void StopTimer();
    POINT Position() const;
    void MoveTo(int Left, int Top);
    void Minimise();
    // Asks the window to close, as any other request would.
    void RequestClose();
    // Queues Call to run on the GUI thread, in the order posted; any thread, never waits.
    // Calls still queued when the form goes are dropped.
    void Post(std::function<void()> Call);

private:
    LRESULT HandleMessage(UINT Message, WPARAM W, LPARAM L) override;
    // The messages about the child windows, and the window's own; nothing when the system's
    // handling is to follow.
    std::optional<LRESULT> ChildMessage(UINT Message, WPARAM W, LPARAM L);
    std::optional<LRESULT> OwnMessage(UINT Message, WPARAM W);
    // WM_QUERYENDSESSION: during a run the system is told why the session waits.
    bool QueryEndSession();
    // The identifier of the form's control at Index.
    static TControl IdOf(size_t Index) { return Form::Controls()[Index].Id; }
    // ---- The keyboard (Win32MainFormKeys.cpp)
    // Reports the image buttons' keys and the shortcuts and moves the focus on Tab; true when
    // Message was taken.
    bool TranslateKey(const MSG& Message);
    void MoveFocus(bool Backward);
    // Gives the control the keyboard focus: its window's, or the form's for an image button.
    void FocusControl(size_t Control);
    // The form's focus came or went: the focused image button's mark follows.
    void FocusChanged(bool Gained, HWND Other);
    // Keeps the window that has the focus, when it is the form or one of its controls, for the
    // window's next activation.
    void RememberFocus();
    LRESULT HandleMouse(UINT Message, LPARAM L);
    TPoint Origin(int Control) const override;
    void CaptureMouse() override;
    void ReleaseMouse() override;
    void Paint();
    void PaintWindowless(HDC Dc);
    void CreateChildren();
    void CreateChild(size_t Control, DWORD Style);
    void CreateGradButton(size_t Control, DWORD Style);
    // Sets up what the form stores of a list (its entries, text and item height) or of the spin
    // box (its arrows).
    void SetUpComboBox(size_t Control);
    void CreateSpinArrows(size_t Control);
    void CreateTooltips();
    // Gives the control the tooltip Hint in place of the one it had; empty: none.
    void SetTool(size_t Control, std::wstring Hint);
    void UpdateTooltipRect(size_t Control);
    LRESULT ControlColour(HWND Child, HDC Dc);
    // The brush of the control's face: its own for a fixed colour, else the system's.
    HBRUSH FaceBrush(size_t Control) const;
    void Command(size_t Control, UINT Code);
    // Tab stops at the checked button of a radio group only (the form's rule).
    void FollowRadioTabStops();
    LRESULT Notify(const NMHDR& Header);
    bool SetCursorFor(HWND Target);
    // The topmost windowless control at Point; npos when there is none.
    size_t WindowlessAt(POINT Point) const;
    size_t ImageAt(POINT Point) const;
    size_t ControlOf(HWND Child) const;
    // The font of a windowless label, made at its first paint.
    HFONT LabelFont(size_t Control);
    void RunPosted();

    HINSTANCE FInstance;
    HWND FHandle = nullptr;
    // The window of the form that had the focus last, the form itself while an image button has
    // it: kept by the message loop and at the window's deactivation, since a modal box disables
    // the window and takes the focus away before the window is told.
    HWND FFocusBeforeDeactivation = nullptr;
    // The drawn control (an image button, the input chooser) that has the focus while the form
    // has the system's focus; npos for none.
    size_t FFocusedImage = static_cast<size_t>(-1);
    HWND FTooltip = nullptr;
    TControlEvents* FEvents = nullptr;
    TControlKeys* FKeys = nullptr;
    // A tick the system had queued before the timer stopped is dropped on arrival.
    bool FTimerRunning = false;
    // The client area's accessible object, one reference held here.
    TWin32FormAccessible* FAccessible = nullptr;
    std::vector<HWND> FChildren;
    // A second window of a control: the spin box's arrows.
    std::vector<HWND> FCompanions;
    std::vector<std::shared_ptr<const TSkinPicture>> FPictures;
    std::vector<std::wstring> FLabelTexts;
    // Windowless controls the behaviour has disabled (the input chooser while a run records).
    std::vector<bool> FWindowlessDisabled;
    std::vector<std::wstring> FHints; // as last set, for tests and tools
    std::vector<std::unique_ptr<TWin32FlatBar>> FBars;
    std::unique_ptr<TWin32GradBtn> FGradButton;
    std::vector<HFONT> FFonts;
    std::vector<HFONT> FLabelFonts;
    std::vector<HBRUSH> FFaceBrushes;

    TImageMouse FImageMouse{ *this };

    std::mutex FPostedMutex;
    std::deque<std::function<void()>> FPosted;
};
