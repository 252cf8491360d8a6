// The window scenarios on the Win32 window under Wine: the user's input becomes the system's own
// messages (mouse messages to the form where it routes them to its painted image controls, mouse
// and key messages to the child windows), so that the scenarios prove the front end's
// translation too. The system's modal boxes and the file-save dialog are answered as a user
// would, by their own buttons, once they have opened. The window reads a copy of the build's
// skin, in which a scenario may hide files.
#include "FormDescription.h"
#include "ScenarioTest.h"
#include "SkinPicture.h"
#include "TestPictures.h"
#include "Win32MainForm.h"

#include <commctrl.h>
#include <filesystem>
#include <map>
#include <random>

namespace {

namespace fs = std::filesystem;

const char* const SkinFileNames[]
    = { "Window.png", "CloseB.png", "CloseB_ON.png", "MinB.png", "MinB_ON.png", "RecBut.bmp",
          "RecBut_ON.bmp", "PauseBut.bmp", "PauseBut_ON.bmp", "StopBut.bmp", "StopBut_ON.bmp" };
// The form's level timer and the system's ids of a message box's text and icon.
constexpr WPARAM LevelTimer = 1;
constexpr int MessageBoxText = 0xFFFF;
constexpr int MessageBoxIcon = 0x0440;
// The file name field of the system's file dialog: a combo box, or an edit field.
constexpr int FileNameCombo = 0x047C;
constexpr int FileNameEdit = 0x0480;
constexpr UINT_PTR AnswerTimer = 0x5CE;

std::wstring Wide(const std::string& Text)
{
    const int Length = MultiByteToWideChar(CP_UTF8, 0, Text.data(), int(Text.size()), nullptr, 0);
    std::wstring Result(static_cast<size_t>(Length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, Text.data(), int(Text.size()), Result.data(), Length);
    return Result;
}

std::string Narrow(const std::wstring& Text)
{
    const int Length = WideCharToMultiByte(
        CP_UTF8, 0, Text.data(), int(Text.size()), nullptr, 0, nullptr, nullptr);
    std::string Result(static_cast<size_t>(Length), '\0');
    WideCharToMultiByte(
        CP_UTF8, 0, Text.data(), int(Text.size()), Result.data(), Length, nullptr, nullptr);
    return Result;
}

std::wstring WindowText(HWND Window)
{
    wchar_t Text[1024]{};
    GetWindowTextW(Window, Text, 1024);
    return Text;
}

// A picture's pixels, 32 bits each, top-down.
std::vector<uint32_t> PixelsOf(const TSkinPicture& Picture)
{
    return BitmapPixels(Picture.Bitmap(), Picture.Width(), Picture.Height());
}

WPARAM ButtonFlag(TMouseButton Button)
{
    return Button == TMouseButton::mbRight ? MK_RBUTTON
        : Button == TMouseButton::mbMiddle ? MK_MBUTTON
                                           : MK_LBUTTON;
}

UINT ButtonMessage(TMouseButton Button, bool Down)
{
    if (Button == TMouseButton::mbRight)
        return Down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    if (Button == TMouseButton::mbMiddle)
        return Down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    return Down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
}

LPARAM PointParam(int X, int Y)
{
    return MAKELPARAM(
        static_cast<WORD>(static_cast<short>(X)), static_cast<WORD>(static_cast<short>(Y)));
}

struct TVirtualKey {
    WORD Key;
    int Modifier; // 0 for none
};

TVirtualKey VirtualKey(TUserKey Key)
{
    switch (Key) {
    case TUserKey::Tab:
        return { VK_TAB, 0 };
    case TUserKey::ShiftTab:
        return { VK_TAB, VK_SHIFT };
    case TUserKey::Space:
        return { VK_SPACE, 0 };
    case TUserKey::Enter:
        return { VK_RETURN, 0 };
    case TUserKey::Up:
        return { VK_UP, 0 };
    case TUserKey::Down:
        return { VK_DOWN, 0 };
    case TUserKey::CtrlR:
        return { 'R', VK_CONTROL };
    case TUserKey::CtrlP:
        return { 'P', VK_CONTROL };
    default:
        return { 'S', VK_CONTROL };
    }
}

// A key message's parameter: one stroke, the key's scan code, and for a release the bits of a
// key that was down and goes up.
LPARAM KeyParam(WORD Key, bool Down)
{
    const LPARAM Scan = static_cast<LPARAM>(MapVirtualKeyW(Key, MAPVK_VK_TO_VSC)) << 16;
    return 1 | Scan | (Down ? 0 : (LPARAM(3) << 30));
}

class TWin32MainFormDriver final : public TWindowDriver {
public:
    TWin32MainFormDriver()
    {
        static const std::string ProcessTag = std::to_string(std::random_device{}());
        FFolder = fs::temp_directory_path()
            / ("corvatone-win32-skin-" + ProcessTag + "-" + std::to_string(++Created));
        fs::remove_all(FFolder);
        fs::create_directories(FFolder);
        Current = this;
        FHook = SetWindowsHookExW(WH_CALLWNDPROCRET, DialogOpened, nullptr, GetCurrentThreadId());
    }
    ~TWin32MainFormDriver() override
    {
        Destroy();
        UnhookWindowsHookEx(FHook);
        Current = nullptr;
        std::error_code Ignored;
        fs::remove_all(FFolder, Ignored);
    }

    void Open(bool WithSkin) override
    {
        if (WithSkin) {
            fs::create_directories(FFolder / "Skin");
            for (const char* Name : SkinFileNames)
                fs::copy_file(fs::path(CORVATONE_SKIN_DIR) / Name, FFolder / "Skin" / Name);
        }
        FWindow = std::make_unique<TWin32MainForm>(GetModuleHandleW(nullptr), FFolder.string());
        FMain = std::make_unique<TMain>(*FWindow);
        FWindow->Attach(FMain.get());
        FWindow->Show(SW_SHOWNORMAL);
        Pump();
    }
    TMain& Main() override { return *FMain; }
    void Destroy() override
    {
        if (FWindow)
            FWindow->Attach(nullptr);
        FMain.reset();
        FWindow.reset();
    }

    void Press(TControl Control, TMouseButton Button, int X, int Y) override
    {
        FHeld |= ButtonFlag(Button);
        SendMessageW(Form().Handle(), ButtonMessage(Button, true), FHeld, FormPoint(Control, X, Y));
    }
    void Move(TControl Control, int X, int Y) override
    {
        SendMessageW(Form().Handle(), WM_MOUSEMOVE, FHeld, FormPoint(Control, X, Y));
    }
    void Release(TControl Control, TMouseButton Button, int X, int Y) override
    {
        FHeld &= ~ButtonFlag(Button);
        SendMessageW(
            Form().Handle(), ButtonMessage(Button, false), FHeld, FormPoint(Control, X, Y));
    }
    void Click(TControl Control) override
    {
        HWND Child = Form().Child(Control);
        RECT Client{};
        GetClientRect(Child, &Client);
        const LPARAM Middle = PointParam(Client.right / 2, Client.bottom / 2);
        SendMessageW(Child, WM_LBUTTONDOWN, MK_LBUTTON, Middle);
        SendMessageW(Child, WM_LBUTTONUP, 0, Middle);
    }
    void Type(TControl Control, const std::string& Text) override
    {
        HWND Edit = Form().Child(Control);
        if (!IsWindowEnabled(Edit)) {
            ADD_FAILURE() << ControlName(Control) << " is disabled";
            return;
        }
        if (HWND Inner = GetWindow(Edit, GW_CHILD); Inner && Control != TControl::Secs)
            Edit = Inner;
        SendMessageW(Edit, EM_SETSEL, 0, -1);
        SendMessageW(Edit, WM_CHAR, VK_BACK, 0);
        for (wchar_t Letter : Wide(Text))
            SendMessageW(Edit, WM_CHAR, Letter, 0);
    }
    void Choose(TControl Control, const std::string& Entry) override
    {
        // The arrow keys step through the entries as a user's do, each step a change.
        HWND Box = Form().Child(Control);
        const LRESULT Wanted = SendMessageW(
            Box, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(Wide(Entry).c_str()));
        if (Wanted == CB_ERR) {
            ADD_FAILURE() << ControlName(Control) << " has no entry " << Entry;
            return;
        }
        if (SendMessageW(Box, CB_GETCURSEL, 0, 0) == Wanted && Text(Control) != Entry)
            SendMessageW(Box, WM_KEYDOWN, Wanted > 0 ? VK_UP : VK_DOWN, 0);
        for (int Step = 0; Step < 40; ++Step) {
            const LRESULT Now = SendMessageW(Box, CB_GETCURSEL, 0, 0);
            if (Now == Wanted)
                break;
            SendMessageW(Box, WM_KEYDOWN, Now < Wanted ? VK_DOWN : VK_UP, 0);
        }
        EXPECT_EQ(Text(Control), Entry);
    }
    void PressKey(TUserKey Key) override
    {
        // The key goes through the window's message loop to the window with the focus, as a
        // typed key does; the modifier is held in the thread's keyboard state meanwhile.
        const TVirtualKey Typed = VirtualKey(Key);
        HWND Target = GetFocus();
        if (!Target)
            Target = Form().Handle();
        HoldModifier(Typed.Modifier, true);
        PostMessageW(Target, WM_KEYDOWN, Typed.Key, KeyParam(Typed.Key, true));
        PumpKeys();
        // The key may have moved the focus; its release goes where the focus is now.
        Target = GetFocus() ? GetFocus() : Form().Handle();
        PostMessageW(Target, WM_KEYUP, Typed.Key, KeyParam(Typed.Key, false));
        PumpKeys();
        HoldModifier(Typed.Modifier, false);
    }
    void Tick() override { SendMessageW(Form().Handle(), WM_TIMER, LevelTimer, 0); }
    void Pump() override
    {
        MSG Message{};
        while (PeekMessageW(&Message, nullptr, 0, 0, PM_REMOVE)) {
            if (Message.message == WM_QUIT)
                FClosed = true;
            else
                Form().Dispatch(Message);
        }
    }
    bool PumpUntil(const std::function<bool()>& Done, std::chrono::milliseconds Bound) override
    {
        // Some states (the source's count) come with no message: the wait looks again after
        // a short slice.
        const auto Deadline = std::chrono::steady_clock::now() + Bound;
        for (;;) {
            Pump();
            if (Done())
                return true;
            if (std::chrono::steady_clock::now() > Deadline)
                return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    void AnswerSaveDialog(std::optional<std::string> Path) override
    {
        FSaveAnswer = std::move(Path);
    }
    void AnswerMenu(std::optional<std::string> Entry) override { FMenuAnswer = std::move(Entry); }
    void HideSkinFile(const std::string& Name, bool Hidden) override
    {
        const fs::path File = FFolder / "Skin" / Name;
        fs::path Moved = File;
        Moved += ".hidden";
        fs::rename(Hidden ? File : Moved, Hidden ? Moved : File);
    }

    std::vector<TShownBox> TakeBoxes() override { return std::exchange(FBoxes, {}); }
    std::string Picture(TControl Control) override
    {
        const TSkinPicture* Shown = Form().Picture(Control);
        if (!Shown)
            return "";
        const std::vector<uint32_t> Pixels = PixelsOf(*Shown);
        for (const char* Name : SkinFileNames)
            if (Pixels == SkinPixels(Name))
                return Name;
        return "a picture that is no skin file";
    }
    std::string Text(TControl Control) override { return FWindow->Text(Control); }
    std::vector<std::string> Items(TControl Control) override { return FWindow->Items(Control); }
    bool Enabled(TControl Control) override { return Form().Enabled(Control); }
    std::string Hint(TControl Control) override { return Form().Hint(Control); }
    std::vector<TShownMenu> TakeMenus() override { return std::exchange(FMenus, {}); }
    bool Checked(TControl Control) override
    {
        return SendMessageW(Form().Child(Control), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    std::optional<TControl> Focused() override { return Form().FocusedControl(); }
    int Position(TControl Control) override { return Form().Position(Control); }
    TWindowPlace Place() override
    {
        RECT Window{};
        GetWindowRect(Form().Handle(), &Window);
        return { Window.left, Window.top };
    }
    bool Minimised() override { return IsIconic(Form().Handle()) != FALSE; }
    bool Closed() override
    {
        // The window closes by ending the message loop.
        MSG Message{};
        if (PeekMessageW(&Message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
            FClosed = true;
        return FClosed;
    }

private:
    static LRESULT CALLBACK DialogOpened(int Code, WPARAM W, LPARAM L)
    {
        const auto* Call = reinterpret_cast<const CWPRETSTRUCT*>(L);
        if (Code == HC_ACTION && Call->message == WM_INITDIALOG
            && !(GetWindowLongW(Call->hwnd, GWL_STYLE) & WS_CHILD))
            SetTimer(Call->hwnd, AnswerTimer, 0, AnswerOnceOpen);
        if (Code == HC_ACTION && Call->message == WM_INITMENUPOPUP && Current)
            Current->AnswerPopup(reinterpret_cast<HMENU>(Call->wParam));
        return CallNextHookEx(nullptr, Code, W, L);
    }
    // Runs in the dialog's own message loop once it has opened.
    static void CALLBACK AnswerOnceOpen(HWND Dialog, UINT, UINT_PTR Timer, DWORD)
    {
        KillTimer(Dialog, Timer);
        if (Current)
            Current->Answer(Dialog);
    }
    void Answer(HWND Dialog)
    {
        if (HWND Text = GetDlgItem(Dialog, MessageBoxText)) {
            // The shown window owns a box; a box before it shows has no owner, so that it is
            // not hidden with the window and has its own taskbar button.
            const HWND Owner = IsWindowVisible(Form().Handle()) ? Form().Handle() : nullptr;
            EXPECT_EQ(GetWindow(Dialog, GW_OWNER), Owner) << Narrow(WindowText(Text));
            const HICON Icon = reinterpret_cast<HICON>(
                SendDlgItemMessageW(Dialog, MessageBoxIcon, STM_GETICON, 0, 0));
            const bool Error = Icon == LoadIconW(nullptr, IDI_HAND);
            FBoxes.push_back({ Error ? TMessageKind::mkError : TMessageKind::mkWarning,
                Narrow(WindowText(Dialog)), Narrow(WindowText(Text)) });
            const int Button = GetDlgItem(Dialog, IDYES) ? IDYES : IDOK;
            PostMessageW(Dialog, WM_COMMAND, MAKEWPARAM(Button, BN_CLICKED),
                reinterpret_cast<LPARAM>(GetDlgItem(Dialog, Button)));
            return;
        }
        if (!FSaveAnswer) {
            PostMessageW(Dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        const int Field = GetDlgItem(Dialog, FileNameCombo) ? FileNameCombo : FileNameEdit;
        SetDlgItemTextW(Dialog, Field, Wide(*FSaveAnswer).c_str());
        PostMessageW(Dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
            reinterpret_cast<LPARAM>(GetDlgItem(Dialog, IDOK)));
    }

    // Runs the key messages queued now (and the characters they make) through the window's
    // message loop; the sink's reports wait, as they do for a mouse click.
    void PumpKeys()
    {
        // The system hands out the end of the message loop whatever the filter.
        MSG Message{};
        while (PeekMessageW(&Message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
            if (Message.message == WM_QUIT)
                FClosed = true;
            else
                Form().Dispatch(Message);
        }
    }
    static void HoldModifier(int Key, bool Down)
    {
        if (!Key)
            return;
        BYTE State[256]{};
        GetKeyboardState(State);
        State[Key] = Down ? 0x80 : 0;
        SetKeyboardState(State);
    }

    // The popup menu is about to open: its entries and check mark are read, and the answer is
    // given by the keys a user presses, which the menu's own loop takes from the queue: Down to
    // the entry (the first Down selects the first entry), Enter; Escape closes it without one.
    void AnswerPopup(HMENU Menu)
    {
        TShownMenu Shown;
        std::optional<int> Chosen;
        const int Count = GetMenuItemCount(Menu);
        for (int Index = 0; Index < Count; ++Index) {
            wchar_t Text[256]{};
            GetMenuStringW(Menu, UINT(Index), Text, 256, MF_BYPOSITION);
            Shown.Entries.push_back(Narrow(Text));
            if (GetMenuState(Menu, UINT(Index), MF_BYPOSITION) & MF_CHECKED)
                Shown.Checked = Index;
            if (FMenuAnswer && Shown.Entries.back() == *FMenuAnswer)
                Chosen = Index;
        }
        FMenus.push_back(Shown);
        const HWND Owner = Form().Handle();
        if (!Chosen) {
            PostMessageW(Owner, WM_KEYDOWN, VK_ESCAPE, 0);
            return;
        }
        for (int Step = 0; Step <= *Chosen; ++Step)
            PostMessageW(Owner, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(Owner, WM_KEYDOWN, VK_RETURN, 0);
    }

    TWin32MainForm& Form() { return *FWindow; }
    LPARAM FormPoint(TControl Control, int X, int Y)
    {
        const RECT Bounds = Form().Bounds(Control);
        return PointParam(Bounds.left + X, Bounds.top + Y);
    }
    const std::vector<uint32_t>& SkinPixels(const std::string& Name)
    {
        auto Found = FSkinPixels.find(Name);
        if (Found == FSkinPixels.end()) {
            const std::wstring Path = (fs::path(CORVATONE_SKIN_DIR) / Name).wstring();
            const bool Png = Name.size() > 4 && Name.compare(Name.size() - 4, 4, ".png") == 0;
            const auto Read = Png ? ReadPngPicture(Path) : ReadBmpPicture(Path);
            Found = FSkinPixels.emplace(Name, PixelsOf(*Read)).first;
        }
        return Found->second;
    }

    static inline TWin32MainFormDriver* Current = nullptr;
    static inline int Created = 0;
    fs::path FFolder;
    HHOOK FHook = nullptr;
    std::unique_ptr<TWin32MainForm> FWindow;
    std::unique_ptr<TMain> FMain;
    WPARAM FHeld = 0;
    bool FClosed = false;
    std::optional<std::string> FSaveAnswer;
    std::optional<std::string> FMenuAnswer;
    std::vector<TShownMenu> FMenus;
    std::vector<TShownBox> FBoxes;
    std::map<std::string, std::vector<uint32_t>> FSkinPixels;
};

} // namespace

CORVATONE_SCENARIOS_ON(Win32, [] { return std::make_unique<TWin32MainFormDriver>(); });
