// The window interface on the form: texts and states of the controls in UTF-8, the skin's
// pictures, the message boxes, the file-save dialog and the menu (each blocks until the user
// closes it, running the thread's messages meanwhile), and what screen readers read and ask.
#include "CornerTransparency.h"
#include "Win32ErrorBox.h"
#include "Win32MainForm.h"
#include "Win32Text.h"

#include <algorithm>
#include <commdlg.h>
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

// ---- Texts and states

std::string TWin32MainForm::Text(TControl Control) const
{
    return Utf8FromWide(TextAt(Form::IndexOf(Control)));
}

void TWin32MainForm::SetText(TControl Control, const std::string& Text)
{
    const size_t Index = Form::IndexOf(Control);
    SetTextAt(Index, WideFromUtf8(Text));
    // A child window's new text is told by the system itself; told twice, it is said twice.
    if (Form::Spec(Control).Accessible.Announced && !FChildren[Index])
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, FHandle, OBJID_CLIENT, AccessibleChildId(Control));
}

std::vector<std::string> TWin32MainForm::Items(TControl Control) const
{
    std::vector<std::string> Items;
    for (const std::wstring& Item : ItemsAt(Form::IndexOf(Control)))
        Items.push_back(Utf8FromWide(Item));
    return Items;
}

void TWin32MainForm::SetItems(TControl Control, const std::vector<std::string>& Items)
{
    std::vector<std::wstring> Wide;
    for (const std::string& Item : Items)
        Wide.push_back(WideFromUtf8(Item));
    SetItemsAt(Form::IndexOf(Control), Wide);
}

void TWin32MainForm::SetChecked(TControl Control)
{
    // The form's radio buttons are one group: the others go off.
    for (const TControlSpec& Spec : Form::Controls())
        if (Spec.Kind == TControlKind::Radio)
            SetCheckedAt(Form::IndexOf(Spec.Id), Spec.Id == Control);
}

void TWin32MainForm::SetEnabled(TControl Control, bool Enabled)
{
    const size_t Index = Form::IndexOf(Control);
    if (!FChildren[Index]) {
        if (FWindowlessDisabled[Index] == !Enabled)
            return;
        FWindowlessDisabled[Index] = !Enabled;
        InvalidateControl(Index, false);
        return;
    }
    EnableWindow(FChildren[Index], Enabled);
    if (FCompanions[Index])
        EnableWindow(FCompanions[Index], Enabled);
}

int TWin32MainForm::Position(TControl Control) const
{
    const auto& Bar = FBars[Form::IndexOf(Control)];
    return Bar ? Bar->Core().Position() : 0;
}

void TWin32MainForm::SetPosition(TControl Control, int Position)
{
    const auto& Bar = FBars[Form::IndexOf(Control)];
    if (!Bar)
        return;
    const int Before = Bar->Core().Position();
    Bar->Core().SetPosition(Position);
    if (Bar->Core().Position() != Before)
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, FHandle, OBJID_CLIENT, AccessibleChildId(Control));
}

TColor TWin32MainForm::ElementColor(TControl Control) const
{
    const auto& Bar = FBars[Form::IndexOf(Control)];
    return Bar ? Bar->Core().ColorElement() : 0;
}

void TWin32MainForm::SetElementColor(TControl Control, TColor Color)
{
    const size_t Index = Form::IndexOf(Control);
    if (!FBars[Index])
        return;
    FBars[Index]->Core().SetColorElement(Color);
    InvalidateControl(Index, false);
}

void TWin32MainForm::SetHint(TControl Control, const std::string& Hint)
{
    const size_t Index = Form::IndexOf(Control);
    FHints[Index] = Hint;
    if (FTooltip)
        SetTool(Index, WideFromUtf8(Hint));
}

// ---- Pictures

std::shared_ptr<TPicture> TWin32MainForm::ReadPicture(const std::string& FileName)
{
    const std::wstring Path = NativePath(FileName);
    std::shared_ptr<const TSkinPicture> Skin
        = HasExtension(Path, L".png") ? ReadPngPicture(Path) : ReadBmpPicture(Path);
    return std::make_shared<TWin32Picture>(std::move(Skin));
}

void TWin32MainForm::ShowPicture(TControl Control, const TPicture* Picture)
{
    const auto* Native = dynamic_cast<const TWin32Picture*>(Picture);
    if (Picture && !Native)
        throw std::invalid_argument("The picture was not read by this window");
    const size_t Index = Form::IndexOf(Control);
    std::unique_ptr<const TSkinPicture> Drawn;
    if (Native
        && CornerColourCleared(Form::Spec(Control).Image.Transparent, Native->Skin->HasAlpha()))
        Drawn = Native->Skin->WithoutCornerColour();
    InvalidateControl(Index, false);
    FPictures[Index] = Native ? Native->Skin : nullptr;
    FDrawnCopies[Index] = std::move(Drawn);
    InvalidateControl(Index, false);
    UpdateTooltipRect(Index);
}

const TSkinPicture* TWin32MainForm::Picture(TControl Control) const
{
    return FPictures[Form::IndexOf(Control)].get();
}

// ---- Boxes, dialogs and the menu

HWND TWin32MainForm::BoxOwner() const
{
    // A hidden owner would hide the box with it, without a taskbar button of its own: a box at
    // start-up, before the window shows, has none.
    return IsWindowVisible(FHandle) ? FHandle : nullptr;
}

void TWin32MainForm::ShowMessage(const TMessage& Message)
{
    const HWND Owner = BoxOwner();
    const UINT Icon = Message.Kind == TMessageKind::mkError ? MB_ICONERROR : MB_ICONWARNING;
    MessageBoxW(Owner, DisplayText(Message.Text).c_str(), DisplayText(Message.Title).c_str(),
        MB_OK | Icon | BoxPlacement(Owner));
}

bool TWin32MainForm::Ask(const TQuestion& Question)
{
    const HWND Owner = BoxOwner();
    return MessageBoxW(Owner, DisplayText(Question.Text).c_str(),
               DisplayText(Question.Title).c_str(),
               MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1 | BoxPlacement(Owner))
        == IDYES;
}

std::optional<std::string> TWin32MainForm::RunSaveDialog(const TSaveDialogSpec& Spec)
{
    // The filter is pairs of name and pattern, each ended by a zero, the list by another.
    std::wstring Filter = WideFromUtf8(Spec.FilterName) + L'\0' + WideFromUtf8(Spec.FilterPattern);
    Filter.append(2, L'\0');
    const std::wstring Title = WideFromUtf8(Spec.Title);
    const std::wstring Extension = WideFromUtf8(Spec.DefaultExtension);
    const std::wstring Folder = NativePath(Spec.Folder);
    // Long enough for the longest path the system takes.
    std::vector<wchar_t> Path(32768, L'\0');
    OPENFILENAMEW Open{};
    Open.lStructSize = sizeof(Open);
    Open.hwndOwner = FHandle;
    Open.lpstrFilter = Filter.c_str();
    Open.nFilterIndex = 1;
    Open.lpstrFile = Path.data();
    Open.nMaxFile = static_cast<DWORD>(Path.size());
    Open.lpstrTitle = Title.c_str();
    Open.lpstrDefExt = Extension.c_str();
    if (!Folder.empty())
        Open.lpstrInitialDir = Folder.c_str();
    Open.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR
        | (Spec.ConfirmOverwrite ? OFN_OVERWRITEPROMPT : 0)
        | (Spec.Resizable ? OFN_ENABLESIZING : 0);
    if (GetSaveFileNameW(&Open))
        return Utf8FromWide(Path.data());
    if (const DWORD Error = CommDlgExtendedError(); Error != 0)
        throw std::runtime_error("The file dialog failed (error " + std::to_string(Error) + ")");
    return std::nullopt;
}

std::optional<int> TWin32MainForm::RunMenu(const TMenuSpec& Spec)
{
    HMENU Menu = CreatePopupMenu();
    if (!Menu)
        throw std::runtime_error("Cannot create a menu");
    // The entries' commands are their indices plus one: 0 is TrackPopupMenu's "no choice".
    for (size_t Index = 0; Index < Spec.Entries.size(); ++Index) {
        const UINT Flags = MF_STRING | (static_cast<int>(Index) == Spec.Checked ? MF_CHECKED : 0);
        AppendMenuW(Menu, Flags, Index + 1, DisplayText(Spec.Entries[Index]).c_str());
    }
    const RECT Below = Bounds(Spec.Below);
    POINT At{ Below.left, Below.bottom };
    ClientToScreen(FHandle, &At);
    // Without the foreground a click elsewhere would not close the menu.
    SetForegroundWindow(FHandle);
    const BOOL Command
        = TrackPopupMenu(Menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_LEFTBUTTON, At.x,
            At.y, 0, FHandle, nullptr);
    DestroyMenu(Menu);
    if (Command <= 0)
        return std::nullopt;
    return Command - 1;
}

void TWin32MainForm::ReportError(const std::string& Message)
{
    ShowErrorBox(BoxOwner(), Message);
}

std::string TWin32MainForm::ApplicationFolder() const
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

// ---- What screen readers read and ask

RECT TWin32MainForm::ControlBounds(TControl Control) const
{
    HWND Child = this->Child(Control);
    if (!Child)
        return Bounds(Control);
    RECT Place{};
    GetWindowRect(Child, &Place);
    MapWindowPoints(nullptr, FHandle, reinterpret_cast<POINT*>(&Place), 2);
    return Place;
}

TControlNow TWin32MainForm::ControlNow(TControl Control) const
{
    TControlNow Now;
    Now.Enabled = Enabled(Control);
    Now.Focused = FocusedControl() == Control;
    Now.Checked = Checked(Control);
    Now.Text = Text(Control);
    Now.Position = Position(Control);
    return Now;
}

void TWin32MainForm::PostActivate(TControl Control)
{
    // The tool's call returns first: the action may open a modal box or the save dialog.
    Post([this, Control] { FEvents.Activate(Control); });
}
