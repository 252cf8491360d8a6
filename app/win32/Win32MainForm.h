// The recorder's window on the Win32 API, behind the window interface that the behaviour TMain
// uses (MainWindow.h): a borderless popup of the form's size centred on the screen, with the
// controls of the form's description (FormDescription.h). The background, the image buttons, the
// labels, the bevels and the flat bars have no window of their own: the form paints them, in
// layout order, and routes the mouse to the image controls as the toolkit would. The text boxes,
// the buttons, the spin box, the lists and the panel are native child windows, created in tab
// order (the panel, which takes no focus, last).
//
// The window only translates: it reports each event of a control to the window's routing
// (ControlEvents.h) and its keys to the window's keyboard rules (ControlKeys.h), which decide what
// happens and run TMain's handlers. It holds no rule of its own.
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
// Pictures: the PNG skin files are read with libpng, the BMP ones with the system's loader. A
// picture without alpha of its own on a transparent image control is drawn through a copy made
// for that showing (CornerTransparency.h); the picture itself, which controls share, stays as read.
// Texts cross here between UTF-8 (the behaviour) and UTF-16 (the system); so do file names.
//
// GUI thread only, except Post, which any thread may call and which never waits for the GUI
// thread.
#pragma once

#include "ControlEvents.h"
#include "ControlKeys.h"
#include "ControlMouse.h"
#include "FormDescription.h"
#include "ImageMouse.h"
#include "MainWindow.h"
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

class TMain;

// The control's rectangle in the form, in client coordinates, as the form's table gives it.
RECT BoundsOf(const TControlSpec& Spec);

class TWin32MainForm final : public TMainWindow,
                             private TControlMouseHost,
                             private TWin32MessageTarget,
                             private TWin32AccessibleHost {
public:
    // Creates the hidden window, centred on the screen's work area, and its child windows.
    // Raises when the system refuses.
    // AppFolderForTests: the folder the skin is read from; the program leaves it empty, which
    // means the executable's folder.
    explicit TWin32MainForm(HINSTANCE Instance, std::string AppFolderForTests = {});
    ~TWin32MainForm() override;
    TWin32MainForm(const TWin32MainForm&) = delete;
    TWin32MainForm& operator=(const TWin32MainForm&) = delete;

    HWND Handle() const { return FHandle; }
    HWND Tooltip() const { return FTooltip; }
    // Forwards the controls' events and keys to Main from now on; null stops them, and then
    // every close is refused and the session may end. Main must be created with this window and
    // destroyed before it.
    void Attach(TMain* Main) { FEvents.Attach(Main); }
    void Show(int ShowCommand);
    // Dispatches Message, with the dialog keys (Tab, arrows between radio buttons) handled for
    // the form and the keys of the image buttons and the shortcuts reported; the message loop
    // calls it for every message.
    void Dispatch(MSG& Message);
    // The control that has the keyboard focus (an image button by the form's own focus); none
    // when the focus is elsewhere.
    std::optional<TControl> FocusedControl() const;

    // ---- What the form shows, for tests and tools
    // The control's window, null for a windowless one; its second window (the spin box's
    // arrows), or null.
    HWND Child(TControl Control) const { return FChildren[Form::IndexOf(Control)]; }
    HWND Companion(TControl Control) const { return FCompanions[Form::IndexOf(Control)]; }
    // The control's present rectangle in client coordinates.
    RECT Bounds(TControl Control) const { return BoundsAt(Form::IndexOf(Control)); }
    // The picture the control shows, as read; null for none.
    const TSkinPicture* Picture(TControl Control) const;
    // The tooltip last set; empty for none.
    const std::string& Hint(TControl Control) const { return FHints[Form::IndexOf(Control)]; }
    bool Enabled(TControl Control) const { return EnabledAt(Form::IndexOf(Control)); }
    // A flat bar's position; 0 for other controls.
    int Position(TControl Control) const;

    // ---- The window interface
    std::string Text(TControl Control) const override;
    void SetText(TControl Control, const std::string& Text) override;
    std::vector<std::string> Items(TControl Control) const override;
    void SetItems(TControl Control, const std::vector<std::string>& Items) override;
    bool Checked(TControl Control) const override { return CheckedAt(Form::IndexOf(Control)); }
    void SetChecked(TControl Control) override;
    void SetEnabled(TControl Control, bool Enabled) override;
    void SetPosition(TControl Control, int Position) override;
    TColor ElementColor(TControl Control) const override;
    void SetElementColor(TControl Control, TColor Color) override;
    void SetHint(TControl Control, const std::string& Hint) override;
    std::shared_ptr<TPicture> ReadPicture(const std::string& FileName) override;
    void ShowPicture(TControl Control, const TPicture* Picture) override;
    void ShowMessage(const TMessage& Message) override;
    bool Ask(const TQuestion& Question) override;
    std::optional<std::string> RunSaveDialog(const TSaveDialogSpec& Spec) override;
    std::optional<int> RunMenu(const TMenuSpec& Menu) override;
    void ReportError(const std::string& Message) override;
    std::string ApplicationFolder() const override;
    void StartTimer(std::chrono::milliseconds Interval) override;
    void StopTimer() override;
    void Minimise() override;
    void MoveBy(int DX, int DY) override;
    void Close() override;
    // Queues Call to run on the GUI thread, in the order posted; any thread, never waits.
    // Calls still queued when the form goes are dropped.
    void Post(std::function<void()> Call) override;

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
    // The window that owns a message box: the form while it shows, none before.
    HWND BoxOwner() const;

    // ---- What screen readers read and ask (Win32Accessible.h)
    HWND FormHandle() const override { return FHandle; }
    RECT ControlBounds(TControl Control) const override;
    TControlNow ControlNow(TControl Control) const override;
    void PostActivate(TControl Control) override;

    // ---- The keyboard (Win32MainFormKeys.cpp)
    // Reports the image buttons' keys and the shortcuts and moves the focus on Tab; true when
    // Message was taken.
    bool TranslateKey(const MSG& Message);
    void MoveFocus(bool Backward);
    // The layout index of the control that has the focus; npos when the focus is elsewhere.
    size_t FocusedIndex() const;
    // Gives the control the keyboard focus: its window's, or the form's for an image button.
    void FocusControl(size_t Control);
    // The form's focus came or went: the focused image button's mark follows.
    void FocusChanged(bool Gained, HWND Other);
    // Keeps the window that has the focus, when it is the form or one of its controls, for the
    // window's next activation.
    void RememberFocus();

    // ---- The mouse
    LRESULT HandleMouse(UINT Message, LPARAM L);
    TPoint Origin(int Control) const override;
    void CaptureMouse() override;
    void ReleaseMouse() override;
    bool SetCursorFor(HWND Target);
    // The topmost windowless control at Point; npos when there is none.
    size_t WindowlessAt(POINT Point) const;
    size_t ImageAt(POINT Point) const;

    // ---- The windowless controls (Win32MainFormPaint.cpp); Control is a layout index
    void Paint();
    void PaintWindowless(HDC Dc);
    RECT BoundsAt(size_t Control) const;
    // Asks for a paint of the control's rectangle; with Now, paints it before returning.
    void InvalidateControl(size_t Control, bool Now);
    void SetLabelText(size_t Control, const std::wstring& Text);
    // The font of a windowless label, made at its first paint.
    HFONT LabelFont(size_t Control);

    // ---- The child windows (Win32MainFormChildren.cpp); Control is a layout index
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
    size_t ControlOf(HWND Child) const;
    // A child window's text, or a windowless control's.
    std::wstring TextAt(size_t Control) const;
    void SetTextAt(size_t Control, const std::wstring& Text);
    bool EnabledAt(size_t Control) const;
    bool CheckedAt(size_t Control) const;
    void SetCheckedAt(size_t Control, bool Checked);
    std::vector<std::wstring> ItemsAt(size_t Control) const;
    // Replaces the entries of a drop-down list; its text is the system's afterwards.
    void SetItemsAt(size_t Control, const std::vector<std::wstring>& Items);
    void RunPosted();

    HINSTANCE FInstance;
    const std::string FAppFolderForTests;
    HWND FHandle = nullptr;
    // The window of the form that had the focus last, the form itself while an image button has
    // it: kept by the message loop and at the window's deactivation, since a modal box disables
    // the window and takes the focus away before the window is told.
    HWND FFocusBeforeDeactivation = nullptr;
    // The drawn control (an image button, the input chooser) that has the focus while the form
    // has the system's focus; npos for none.
    size_t FFocusedImage = static_cast<size_t>(-1);
    HWND FTooltip = nullptr;
    TControlEvents FEvents{ *this };
    TControlKeys FKeys{ FEvents };
    // A tick the system had queued before the timer stopped is dropped on arrival.
    bool FTimerRunning = false;
    // The client area's accessible object, one reference held here.
    TWin32FormAccessible* FAccessible = nullptr;
    // By layout index:
    std::vector<HWND> FChildren;
    // A second window of a control: the spin box's arrows.
    std::vector<HWND> FCompanions;
    std::vector<std::shared_ptr<const TSkinPicture>> FPictures;
    // What a transparent control draws in place of its picture's own bitmap; null when it draws
    // the picture itself.
    std::vector<std::unique_ptr<const TSkinPicture>> FDrawnCopies;
    std::vector<std::wstring> FLabelTexts;
    // Windowless controls the behaviour has disabled (the input chooser while a run records).
    std::vector<bool> FWindowlessDisabled;
    std::vector<std::string> FHints; // as last set, for tests and tools
    std::vector<std::unique_ptr<TWin32FlatBar>> FBars;
    std::unique_ptr<TWin32GradBtn> FGradButton;
    std::vector<HFONT> FFonts;
    std::vector<HFONT> FLabelFonts;
    std::vector<HBRUSH> FFaceBrushes;

    TImageMouse FImageMouse{ *this };

    std::mutex FPostedMutex;
    std::deque<std::function<void()>> FPosted;
};
