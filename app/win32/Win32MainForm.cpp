#include "Win32MainForm.h"

#include "Corvat.h"
#include "DebugLog.h"
#include "Win32ErrorBox.h"
#include "Win32Text.h"

#include <optional>
#include <stdexcept>
#include <windowsx.h>

namespace {

constexpr wchar_t ClassName[] = L"CorvatoneMainForm";
constexpr UINT PostedCallMessage = WM_APP + 1;
constexpr UINT_PTR TimerId = 1;
constexpr size_t NoControl = static_cast<size_t>(-1);

void RegisterFormClass(HINSTANCE Instance)
{
    // The icon resource of the executable, when it has one.
    const HICON Small = static_cast<HICON>(LoadImageW(Instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    RegisterWindowClass(Instance,
        TWin32WindowClass{ ClassName, 0, LoadIconW(Instance, MAKEINTRESOURCEW(1)), Small });
}

// The top-left corner that centres a window of the form's size on the primary screen's work area.
POINT CentredOrigin()
{
    RECT Work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &Work, 0);
    return POINT{ Work.left + (Work.right - Work.left - Form::ClientWidth) / 2,
        Work.top + (Work.bottom - Work.top - Form::ClientHeight) / 2 };
}

int ImageNumber(size_t Control)
{
    return Control == NoControl ? TImageMouse::NoImage
                                : TControlMouseHost::Number(Form::Controls()[Control].Id);
}

} // namespace

TWin32MainForm::TWin32MainForm(HINSTANCE Instance, std::string AppFolderForTests)
    : FInstance(Instance)
    , FAppFolderForTests(std::move(AppFolderForTests))
    , FChildren(Form::Controls().size(), nullptr)
    , FPictures(Form::Controls().size())
    , FDrawnCopies(Form::Controls().size())
    , FLabelTexts(Form::Controls().size())
    , FWindowlessDisabled(Form::Controls().size())
    , FHints(Form::Controls().size())
    , FLabelFonts(Form::Controls().size(), nullptr)
{
    for (size_t Index = 0; Index < FLabelTexts.size(); ++Index)
        FLabelTexts[Index] = WideFromUtf8(Form::Controls()[Index].Text);
    RegisterFormClass(Instance);
    const POINT Origin = CentredOrigin();
    // A popup has neither border nor title bar: its window is its client area. The minimise box
    // and the system menu give it a taskbar button that minimises and restores it.
    FHandle = CreateWindowExW(WS_EX_APPWINDOW, ClassName, WideFromUtf8(Form::Caption).c_str(),
        WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU, Origin.x, Origin.y,
        Form::ClientWidth, Form::ClientHeight, nullptr, nullptr, Instance, nullptr);
    if (!FHandle)
        throw std::runtime_error("Cannot create the window: " + SystemErrorText(GetLastError()));
    Route(FHandle, this);
    CreateChildren();
    CreateTooltips();
    SetControlEvents(&FEvents);
    FAccessible = CreateFormAccessible(*this);
}

TWin32MainForm::~TWin32MainForm()
{
    FEvents.Attach(nullptr);
    // A screen reader may hold the object longer than the form lives: it is told to let go.
    ReleaseFormAccessible(*FAccessible);
    if (FTooltip)
        DestroyWindow(FTooltip);
    Route(FHandle, nullptr);
    DestroyWindow(FHandle);
    for (HFONT Font : FFonts)
        DeleteObject(Font);
    for (HFONT Font : FLabelFonts)
        if (Font)
            DeleteObject(Font);
    for (HBRUSH Brush : FFaceBrushes)
        DeleteObject(Brush);
}

void TWin32MainForm::Show(int ShowCommand)
{
    ShowWindow(FHandle, ShowCommand);
    UpdateWindow(FHandle);
    if (HWND Active = Child(Form::ActiveControl))
        SetFocus(Active);
}

LRESULT TWin32MainForm::HandleMessage(UINT Message, WPARAM W, LPARAM L)
{
    if (IsMouseButtonOrMove(Message) || Message == WM_CAPTURECHANGED)
        return HandleMouse(Message, L);
    if (Message == WM_GETOBJECT && static_cast<LONG>(L) == OBJID_CLIENT && FAccessible)
        return AnswerGetObject(*FAccessible, W);
    if (const std::optional<LRESULT> Result = ChildMessage(Message, W, L))
        return *Result;
    if (const std::optional<LRESULT> Result = OwnMessage(Message, W))
        return *Result;
    return DefWindowProcW(FHandle, Message, W, L);
}

std::optional<LRESULT> TWin32MainForm::ChildMessage(UINT Message, WPARAM W, LPARAM L)
{
    switch (Message) {
    case WM_SETCURSOR:
        if (SetCursorFor(reinterpret_cast<HWND>(W)))
            return TRUE;
        return std::nullopt;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
        return ControlColour(reinterpret_cast<HWND>(L), reinterpret_cast<HDC>(W));
    case WM_COMMAND:
        if (L != 0) {
            const size_t Control = ControlOf(reinterpret_cast<HWND>(L));
            if (Control != NoControl)
                Command(Control, HIWORD(W));
        }
        return 0;
    case WM_NOTIFY:
        return Notify(*reinterpret_cast<const NMHDR*>(L));
    default:
        return std::nullopt;
    }
}

std::optional<LRESULT> TWin32MainForm::OwnMessage(UINT Message, WPARAM W)
{
    switch (Message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers every pixel
    case WM_SYSCOLORCHANGE:
        for (auto& Bar : FBars)
            if (Bar)
                Bar->Core().SystemColorsChanged();
        InvalidateRect(FHandle, nullptr, FALSE);
        return std::nullopt;
    case WM_TIMER:
        if (W == TimerId && FTimerRunning)
            FEvents.Tick();
        return 0;
    case PostedCallMessage:
        RunPosted();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        FocusChanged(Message == WM_SETFOCUS, reinterpret_cast<HWND>(W));
        return 0;
    case WM_ACTIVATE:
        // The focus goes back to the control that had it when the window lost it to another
        // window, a message box or a dialog; Windows would leave it on the window itself.
        if (LOWORD(W) == WA_INACTIVE) {
            RememberFocus();
        } else if (!HIWORD(W) && FFocusBeforeDeactivation
            && (FFocusBeforeDeactivation == FHandle
                || IsChild(FHandle, FFocusBeforeDeactivation))) {
            SetFocus(FFocusBeforeDeactivation);
            return 0;
        }
        return std::nullopt;
    case WM_CLOSE:
        // Only the events decide; the front end ends the message loop when they allow it.
        if (FEvents.CloseQuery())
            PostQuitMessage(0);
        return 0;
    case WM_QUERYENDSESSION:
        return QueryEndSession() ? TRUE : FALSE;
    case WM_ENDSESSION:
        // W is FALSE when the session's end was cancelled: the program goes on. Otherwise a
        // recording the question did not finish is finished and the window closes: the message
        // loop ends the program once it takes the close.
        if (W) {
            DebugLog("session: ends");
            FEvents.EndSession();
        }
        return 0;
    default:
        return std::nullopt;
    }
}

bool TWin32MainForm::QueryEndSession()
{
    DebugLog("session: end requested");
    // While a recording is finished the system shows why the session waits for this program.
    bool Blocking = false;
    if (FEvents.RunInProgress()) {
        Blocking
            = ShutdownBlockReasonCreate(FHandle, WideFromUtf8(TMain::SessionEndReason).c_str());
        // Not shown is no failure of the session's end; Wine does not implement the call.
        DebugLog(std::string("session: reason \"") + TMain::SessionEndReason + "\" "
            + (Blocking ? "given" : "not given: " + SystemErrorText(GetLastError())));
    }
    const bool MayEnd = FEvents.QueryEndSession();
    if (Blocking)
        ShutdownBlockReasonDestroy(FHandle);
    return MayEnd;
}

LRESULT TWin32MainForm::HandleMouse(UINT Message, LPARAM L)
{
    if (Message == WM_CAPTURECHANGED) {
        // A modal box or another window took the mouse: the press under way gets no release.
        if (reinterpret_cast<HWND>(L) != FHandle)
            FImageMouse.CaptureLost();
        return 0;
    }
    const POINT At{ GET_X_LPARAM(L), GET_Y_LPARAM(L) };
    const TPoint Point{ At.x, At.y };
    const int Under = ImageNumber(ImageAt(At));
    switch (Message) {
    case WM_MOUSEMOVE:
        FImageMouse.Move(Under, Point);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        FImageMouse.Press(MouseButtonOf(Message), Under, Point);
        break;
    default:
        FImageMouse.Release(MouseButtonOf(Message), Under, Point);
        break;
    }
    return 0;
}

TPoint TWin32MainForm::Origin(int Control) const
{
    const RECT R = Bounds(TControlMouseHost::ControlOf(Control));
    return TPoint{ R.left, R.top };
}

void TWin32MainForm::CaptureMouse()
{
    SetCapture(FHandle);
}

void TWin32MainForm::ReleaseMouse()
{
    if (GetCapture() == FHandle)
        ReleaseCapture();
}

size_t TWin32MainForm::ImageAt(POINT Point) const
{
    // The images, and the input chooser while it is enabled, take the mouse.
    const size_t Control = WindowlessAt(Point);
    return Control != NoControl && Form::ReportsMouse(Form::Controls()[Control])
            && !FWindowlessDisabled[Control]
        ? Control
        : NoControl;
}

size_t TWin32MainForm::WindowlessAt(POINT Point) const
{
    const auto Controls = Form::Controls();
    for (size_t Index = Controls.size(); Index-- > 0;) {
        if (FChildren[Index])
            continue;
        const RECT R = BoundsAt(Index);
        if (PtInRect(&R, Point))
            return Index;
    }
    return NoControl;
}

bool TWin32MainForm::SetCursorFor(HWND Target)
{
    bool Hand = false;
    if (Target == FHandle) {
        POINT At{};
        GetCursorPos(&At);
        ScreenToClient(FHandle, &At);
        const size_t Control = ImageAt(At);
        Hand = Control != NoControl && Form::Controls()[Control].HandCursor;
    } else {
        const size_t Control = ControlOf(Target);
        Hand = Control != NoControl && Form::Controls()[Control].HandCursor;
    }
    if (!Hand)
        return false;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

void TWin32MainForm::StartTimer(std::chrono::milliseconds Interval)
{
    if (!SetTimer(FHandle, TimerId, static_cast<UINT>(Interval.count()), nullptr))
        throw std::runtime_error("Cannot start the timer: " + SystemErrorText(GetLastError()));
    FTimerRunning = true;
}

void TWin32MainForm::StopTimer()
{
    FTimerRunning = false;
    KillTimer(FHandle, TimerId);
}

void TWin32MainForm::MoveBy(int DX, int DY)
{
    RECT Window{};
    GetWindowRect(FHandle, &Window);
    SetWindowPos(FHandle, nullptr, Window.left + DX, Window.top + DY, 0, 0,
        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWin32MainForm::Minimise()
{
    ShowWindow(FHandle, SW_MINIMIZE);
}

void TWin32MainForm::Close()
{
    SendMessageW(FHandle, WM_CLOSE, 0, 0);
}

void TWin32MainForm::Post(std::function<void()> Call)
{
    {
        std::lock_guard Lock(FPostedMutex);
        FPosted.push_back(std::move(Call));
    }
    // A full message queue refuses the wake-up; the call then runs with the next one that
    // arrives.
    PostMessageW(FHandle, PostedCallMessage, 0, 0);
}

void TWin32MainForm::RunPosted()
{
    // One at a time: a call that opens a modal box runs a nested message loop, which takes the
    // next calls in their order.
    for (;;) {
        std::function<void()> Call;
        {
            std::lock_guard Lock(FPostedMutex);
            if (FPosted.empty())
                return;
            Call = std::move(FPosted.front());
            FPosted.pop_front();
        }
        Call();
    }
}
