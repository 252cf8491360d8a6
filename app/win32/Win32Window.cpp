#include "Win32Window.h"

#include "Corvat.h"
#include "Win32Dialogs.h"
#include "Win32ErrorBox.h"
#include "Win32Text.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <stdexcept>

namespace {

class TWin32Picture final : public TPicture {
public:
    explicit TWin32Picture(std::shared_ptr<const TSkinPicture> Skin)
        : Skin(std::move(Skin))
    {
    }
    const std::shared_ptr<const TSkinPicture> Skin;
};

// The behaviour builds its paths with '/'; the system's form uses '\'.
std::wstring NativePath(const std::string& FileName)
{
    std::wstring Path = WideFromUtf8(FileName);
    std::replace(Path.begin(), Path.end(), L'/', L'\\');
    return Path;
}

bool HasExtension(const std::wstring& Path, const wchar_t* Extension)
{
    const size_t Length = std::wcslen(Extension);
    if (Path.size() < Length)
        return false;
    return std::equal(Path.end() - static_cast<std::ptrdiff_t>(Length), Path.end(), Extension,
        [](wchar_t A, wchar_t B) { return std::towlower(A) == std::towlower(B); });
}

} // namespace

TWin32Window::TWin32Window(HINSTANCE Instance, std::string AppFolderForTests)
    : FForm(Instance)
    , FAppFolderForTests(std::move(AppFolderForTests))
{
    for (size_t Control = 0; Control < FIndices.size(); ++Control)
        FIndices[Control] = Form::IndexOf(static_cast<TControl>(Control));
    FForm.SetEvents(&FEvents, &FKeys);
    FForm.SetAccessibleHost(this);
}

TWin32Window::~TWin32Window()
{
    FForm.SetAccessibleHost(nullptr);
    FForm.SetEvents(nullptr, nullptr);
}

// ---- The window interface

std::string TWin32Window::Text(TControl Control) const
{
    return Utf8FromWide(FForm.Text(Index(Control)));
}

void TWin32Window::SetText(TControl Control, const std::string& Text)
{
    FForm.SetText(Index(Control), WideFromUtf8(Text));
    // A child window's new text is told by the system itself; told twice, it is said twice.
    if (Form::Spec(Control).Accessible.Announced && !FForm.Child(Index(Control)))
        NotifyWinEvent(
            EVENT_OBJECT_NAMECHANGE, FForm.Handle(), OBJID_CLIENT, AccessibleChildId(Control));
}

std::vector<std::string> TWin32Window::Items(TControl Control) const
{
    std::vector<std::string> Items;
    for (const std::wstring& Item : FForm.Items(Index(Control)))
        Items.push_back(Utf8FromWide(Item));
    return Items;
}

void TWin32Window::SetItems(TControl Control, const std::vector<std::string>& Items)
{
    std::vector<std::wstring> Wide;
    for (const std::string& Item : Items)
        Wide.push_back(WideFromUtf8(Item));
    FForm.SetItems(Index(Control), Wide);
}

bool TWin32Window::Checked(TControl Control) const
{
    return FForm.Checked(Index(Control));
}

void TWin32Window::SetChecked(TControl Control)
{
    // The form's radio buttons are one group: the others go off.
    for (const TControlSpec& Spec : Form::Controls())
        if (Spec.Kind == TControlKind::Radio)
            FForm.SetChecked(Index(Spec.Id), Spec.Id == Control);
}

void TWin32Window::SetEnabled(TControl Control, bool Enabled)
{
    FForm.SetEnabled(Index(Control), Enabled);
}

void TWin32Window::SetPosition(TControl Control, int Position)
{
    const int Before = FForm.Position(Index(Control));
    FForm.SetPosition(Index(Control), Position);
    if (FForm.Position(Index(Control)) != Before)
        NotifyWinEvent(
            EVENT_OBJECT_VALUECHANGE, FForm.Handle(), OBJID_CLIENT, AccessibleChildId(Control));
}

TColor TWin32Window::ElementColor(TControl Control) const
{
    return FForm.ElementColor(Index(Control));
}

void TWin32Window::SetElementColor(TControl Control, TColor Color)
{
    FForm.SetElementColor(Index(Control), Color);
}

void TWin32Window::SetHint(TControl Control, const std::string& Hint)
{
    FForm.SetHint(Index(Control), WideFromUtf8(Hint));
}

std::shared_ptr<TPicture> TWin32Window::ReadPicture(const std::string& FileName)
{
    const std::wstring Path = NativePath(FileName);
    std::shared_ptr<const TSkinPicture> Skin
        = HasExtension(Path, L".png") ? ReadPngPicture(Path) : ReadBmpPicture(Path);
    return std::make_shared<TWin32Picture>(std::move(Skin));
}

void TWin32Window::ShowPicture(TControl Control, const TPicture* Picture)
{
    const auto* Native = dynamic_cast<const TWin32Picture*>(Picture);
    if (Picture && !Native)
        throw std::invalid_argument("The picture was not read by this window");
    FForm.SetPicture(Index(Control), Native ? Native->Skin : nullptr);
}

HWND TWin32Window::BoxOwner() const
{
    // A hidden owner would hide the box with it, without a taskbar button of its own: a box at
    // start-up, before the window shows, has none.
    return IsWindowVisible(FForm.Handle()) ? FForm.Handle() : nullptr;
}

void TWin32Window::ShowMessage(const TMessage& Message)
{
    ShowWin32Message(BoxOwner(), DisplayText(Message.Title), DisplayText(Message.Text),
        Message.Kind == TMessageKind::mkError);
}

bool TWin32Window::Ask(const TQuestion& Question)
{
    return AskWin32Question(BoxOwner(), DisplayText(Question.Title), DisplayText(Question.Text));
}

std::optional<std::string> TWin32Window::RunSaveDialog(const TSaveDialogSpec& Spec)
{
    const TWin32SaveDialog Dialog{ WideFromUtf8(Spec.Title), WideFromUtf8(Spec.FilterName),
        WideFromUtf8(Spec.FilterPattern), WideFromUtf8(Spec.DefaultExtension),
        Spec.ConfirmOverwrite, Spec.Resizable, NativePath(Spec.Folder) };
    const std::optional<std::wstring> Path = RunWin32SaveDialog(FForm.Handle(), Dialog);
    if (!Path)
        return std::nullopt;
    return Utf8FromWide(*Path);
}

std::optional<int> TWin32Window::RunMenu(const TMenuSpec& Menu)
{
    std::vector<std::wstring> Entries;
    for (const std::string& Entry : Menu.Entries)
        Entries.push_back(WideFromUtf8(Entry));
    const RECT Below = FForm.Bounds(Index(Menu.Below));
    POINT At{ Below.left, Below.bottom };
    ClientToScreen(FForm.Handle(), &At);
    return RunWin32PopupMenu(FForm.Handle(), Entries, Menu.Checked, At);
}

void TWin32Window::ReportError(const std::string& Message)
{
    ShowErrorBox(BoxOwner(), Message);
}

std::string TWin32Window::ApplicationFolder() const
{
    if (!FAppFolderForTests.empty())
        return FAppFolderForTests;
    std::wstring Path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD Length
            = GetModuleFileNameW(nullptr, Path.data(), static_cast<DWORD>(Path.size()));
        if (Length == 0)
            throw std::runtime_error(
                "Cannot find the program's folder: " + SystemErrorText(GetLastError()));
        if (Length < Path.size()) {
            Path.resize(Length);
            break;
        }
        Path.resize(Path.size() * 2);
    }
    return Utf8FromWide(Path.substr(0, Path.find_last_of(L"\\/")));
}

void TWin32Window::StartTimer(std::chrono::milliseconds Interval)
{
    FForm.StartTimer(static_cast<UINT>(Interval.count()));
}

void TWin32Window::StopTimer()
{
    FForm.StopTimer();
}

void TWin32Window::Minimise()
{
    FForm.Minimise();
}

void TWin32Window::MoveBy(int DX, int DY)
{
    const POINT At = FForm.Position();
    FForm.MoveTo(At.x + DX, At.y + DY);
}

void TWin32Window::Close()
{
    SendMessageW(FForm.Handle(), WM_CLOSE, 0, 0);
}

void TWin32Window::Post(std::function<void()> Call)
{
    FForm.Post(std::move(Call));
}

// ---- What screen readers read and ask

RECT TWin32Window::ControlBounds(TControl Control) const
{
    HWND Child = FForm.Child(Index(Control));
    if (!Child)
        return FForm.Bounds(Index(Control));
    RECT Place{};
    GetWindowRect(Child, &Place);
    MapWindowPoints(nullptr, FForm.Handle(), reinterpret_cast<POINT*>(&Place), 2);
    return Place;
}

std::wstring TWin32Window::ControlText(TControl Control) const
{
    return FForm.Text(Index(Control));
}

int TWin32Window::ControlPosition(TControl Control) const
{
    return FForm.Position(Index(Control));
}

bool TWin32Window::ControlEnabled(TControl Control) const
{
    return FForm.Enabled(Index(Control));
}

bool TWin32Window::ControlChecked(TControl Control) const
{
    return FForm.Checked(Index(Control));
}

bool TWin32Window::ControlFocused(TControl Control) const
{
    HWND Child = FForm.Child(Index(Control));
    const HWND Focused = GetFocus();
    return Child && Focused && (Focused == Child || IsChild(Child, Focused));
}

void TWin32Window::PostActivate(TControl Control)
{
    // The tool's call returns first: the action may open a modal box or the save dialog.
    FForm.Post([this, Control] { FEvents.Activate(Control); });
}

// ---- The program

int RunCorvatone(HINSTANCE Instance, int ShowCommand)
{
    std::unique_ptr<TWin32Window> Window;
    std::unique_ptr<TMain> Main;
    try {
        Window = std::make_unique<TWin32Window>(Instance);
        Main = std::make_unique<TMain>(*Window);
    } catch (const std::exception& E) {
        ShowErrorBox(nullptr, E.what());
        return 1;
    }
    Window->Attach(Main.get());
    Window->Form().Show(ShowCommand);
    MSG Message{};
    while (GetMessageW(&Message, nullptr, 0, 0) > 0)
        Window->Form().Dispatch(Message);
    // The behaviour ends a run still in progress and needs its window whole for that.
    ShowWindow(Window->Form().Handle(), SW_HIDE);
    Window->Attach(nullptr);
    Main.reset();
    return 0;
}
