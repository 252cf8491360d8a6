// The Win32 window as a screen reader reads it through MSAA: the client area's accessible object
// fetched as a client fetches it (AccessibleObjectFromWindow, which sends WM_GETOBJECT), its
// children walked with AccessibleChildren, their names, roles, values and states read, and the
// buttons pressed by their default action, which records, pauses and stops through the window's
// routing. The simulated card records flat out; the encoder is the real "lame_enc.dll".
#include "Corvat.h"
#include "SimulatedWaveDevice.h"
#include "Win32MainForm.h"
#include "Win32Text.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <oleacc.h>
#include <random>
#include <vector>

namespace {

struct TElement {
    LONG Role = 0;
    std::wstring Name;
    VARIANT Child{};
};

// Getter: one of the interface's text getters (get_accName, ...).
template <typename TGetter> std::wstring Read(TGetter Getter, IAccessible& Object, VARIANT Child)
{
    BSTR Text = nullptr;
    if ((Object.*Getter)(Child, &Text) != S_OK || !Text)
        return {};
    std::wstring Result(Text, SysStringLen(Text));
    SysFreeString(Text);
    return Result;
}

class Win32Accessible : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        auto Card
            = std::make_shared<TSimulatedWaveBackend>(std::vector<TSimulatedDeviceSpec>{ {} });
        Card->SetSignal(TSimulatedSignal::Sine(440.0, 0.5));
        Card->SetPacing(TSimulatedPacing::FlatOut);
        UseWaveBackend(Card);
        Window = std::make_unique<TWin32MainForm>(GetModuleHandleW(nullptr), CORVATONE_APP_DIR);
        Main = std::make_unique<TMain>(*Window);
        Window->Attach(Main.get());
        Window->Show(SW_SHOWNORMAL);
        ASSERT_EQ(AccessibleObjectFromWindow(Window->Handle(), OBJID_CLIENT, __uuidof(IAccessible),
                      reinterpret_cast<void**>(&Client)),
            S_OK);
        ASSERT_NE(Client, nullptr);
    }
    void TearDown() override
    {
        if (Client)
            Client->Release();
        if (Window)
            Window->Attach(nullptr);
        Main.reset();
        Window.reset();
        CoUninitialize();
    }

    // Every child of the client object, with its role and name.
    std::vector<TElement> Children()
    {
        LONG Count = 0;
        EXPECT_EQ(Client->get_accChildCount(&Count), S_OK);
        std::vector<VARIANT> Found(static_cast<size_t>(Count));
        LONG Obtained = 0;
        EXPECT_EQ(AccessibleChildren(Client, 0, Count, Found.data(), &Obtained), S_OK);
        EXPECT_EQ(Obtained, Count);
        std::vector<TElement> Elements;
        for (LONG Index = 0; Index < Obtained; ++Index) {
            TElement Element;
            Element.Child = Found[static_cast<size_t>(Index)];
            EXPECT_EQ(Element.Child.vt, VT_I4) << "the controls are simple elements";
            VARIANT Role{};
            EXPECT_EQ(Client->get_accRole(Element.Child, &Role), S_OK);
            Element.Role = Role.lVal;
            Element.Name = Read(&IAccessible::get_accName, *Client, Element.Child);
            Elements.push_back(Element);
        }
        return Elements;
    }
    VARIANT Find(LONG Role, const std::wstring& Name)
    {
        for (const TElement& Element : Children())
            if (Element.Role == Role && Element.Name == Name)
                return Element.Child;
        ADD_FAILURE() << "no element named " << Narrow(Name);
        return VARIANT{};
    }
    static std::string Narrow(const std::wstring& Text)
    {
        return std::string(Text.begin(), Text.end());
    }
    // Runs the window's messages until Done holds; false after 30 s.
    bool PumpUntil(const std::function<bool()>& Done)
    {
        const ULONGLONG Deadline = GetTickCount64() + 30000;
        while (!Done()) {
            if (GetTickCount64() > Deadline)
                return false;
            MSG Message{};
            while (PeekMessageW(&Message, nullptr, 0, 0, PM_REMOVE))
                Window->Dispatch(Message);
            if (!Done())
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        }
        return true;
    }
    std::wstring StatusName() { return Read(&IAccessible::get_accName, *Client, Status); }

    std::unique_ptr<TWin32MainForm> Window;
    std::unique_ptr<TMain> Main;
    IAccessible* Client = nullptr;
    VARIANT Status{};
};

TEST_F(Win32Accessible, EveryControlIsAChildWithItsNameAndRole)
{
    const std::wstring Device = WideFromUtf8(Window->Text(TControl::LabDev));
    ASSERT_NE(Device, L"Unknown");
    const std::pair<LONG, std::wstring> Expected[] = {
        { ROLE_SYSTEM_PUSHBUTTON, L"Record" },
        { ROLE_SYSTEM_PUSHBUTTON, L"Pause" },
        { ROLE_SYSTEM_PUSHBUTTON, L"Stop" },
        { ROLE_SYSTEM_PUSHBUTTON, L"Minimize" },
        { ROLE_SYSTEM_PUSHBUTTON, L"Close Corvatone" },
        { ROLE_SYSTEM_PUSHBUTTON, L"Save as" },
        { ROLE_SYSTEM_RADIOBUTTON, L"No Limit" },
        { ROLE_SYSTEM_RADIOBUTTON, L"Custom" },
        { ROLE_SYSTEM_SPINBUTTON, L"Duration in seconds" },
        { ROLE_SYSTEM_COMBOBOX, L"kbs" },
        { ROLE_SYSTEM_COMBOBOX, L"Sample Rate" },
        { ROLE_SYSTEM_TEXT, L"Output file" },
        { ROLE_SYSTEM_BUTTONMENU, L"Input: " + Device },
        { ROLE_SYSTEM_PROGRESSBAR, L"Recording progress" },
        { ROLE_SYSTEM_PROGRESSBAR, L"Input level" },
        { ROLE_SYSTEM_STATUSBAR, L"Status" },
    };
    const std::vector<TElement> Found = Children();
    EXPECT_EQ(Found.size(), std::size(Expected)) << "the rest is decoration or names another";
    for (const auto& [Role, Name] : Expected) {
        const auto Count = std::count_if(Found.begin(), Found.end(),
            [&](const TElement& Element) { return Element.Role == Role && Element.Name == Name; });
        EXPECT_EQ(Count, 1) << Narrow(Name) << " as role " << Role;
    }
    const VARIANT Radio = Find(ROLE_SYSTEM_RADIOBUTTON, L"Custom");
    EXPECT_EQ(Read(&IAccessible::get_accDescription, *Client, Radio), L"Duration in seconds");
    VARIANT State{};
    ASSERT_EQ(Client->get_accState(Radio, &State), S_OK);
    EXPECT_TRUE(State.lVal & STATE_SYSTEM_CHECKED);
    // The input chooser opens a menu of the inputs.
    const VARIANT Chooser = Find(ROLE_SYSTEM_BUTTONMENU, L"Input: " + Device);
    VARIANT ChooserState{};
    ASSERT_EQ(Client->get_accState(Chooser, &ChooserState), S_OK);
    EXPECT_TRUE(ChooserState.lVal & STATE_SYSTEM_HASPOPUP);
    EXPECT_TRUE(ChooserState.lVal & STATE_SYSTEM_FOCUSABLE);
    EXPECT_EQ(Read(&IAccessible::get_accDefaultAction, *Client, Chooser), L"Open");
    EXPECT_EQ(Read(&IAccessible::get_accKeyboardShortcut, *Client,
                  Find(ROLE_SYSTEM_PUSHBUTTON, L"Record")),
        L"Ctrl+R");
    // Save as is a window of its own class; the system names it by its text.
    wchar_t Text[32]{};
    GetWindowTextW(Window->Child(TControl::SaveAs), Text, 32);
    EXPECT_STREQ(Text, L"Save as");
    // A child id past the last is refused, not read.
    VARIANT Beyond{};
    Beyond.vt = VT_I4;
    Beyond.lVal = static_cast<LONG>(std::size(Expected)) + 1;
    BSTR Name = nullptr;
    EXPECT_EQ(Client->get_accName(Beyond, &Name), E_INVALIDARG);
}

// The form's states and actions reach MSAA: read-only bars, the radio buttons' check, and a
// disabled button that is unavailable and has no action until it is enabled again.
TEST_F(Win32Accessible, StatesAndDefaultActionsFollowTheControls)
{
    auto StateOf = [&](const VARIANT& Child) {
        VARIANT State{};
        EXPECT_EQ(Client->get_accState(Child, &State), S_OK);
        return State.lVal;
    };
    const VARIANT Progress = Find(ROLE_SYSTEM_PROGRESSBAR, L"Recording progress");
    EXPECT_EQ(StateOf(Progress), STATE_SYSTEM_READONLY);
    EXPECT_EQ(Read(&IAccessible::get_accDefaultAction, *Client, Progress), L"");
    const VARIANT Radio = Find(ROLE_SYSTEM_RADIOBUTTON, L"No Limit");
    EXPECT_EQ(Read(&IAccessible::get_accDefaultAction, *Client, Radio), L"Check");
    EXPECT_EQ(StateOf(Radio) & STATE_SYSTEM_CHECKED, 0);

    // Save as has the focus at start; what the system does with it when disabled is its own.
    const VARIANT Save = Find(ROLE_SYSTEM_PUSHBUTTON, L"Save as");
    EXPECT_EQ(StateOf(Save), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
    EXPECT_EQ(Read(&IAccessible::get_accDefaultAction, *Client, Save), L"Press");
    Window->SetEnabled(TControl::SaveAs, false);
    EXPECT_EQ(
        StateOf(Save) & ~STATE_SYSTEM_FOCUSED, STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_FOCUSABLE);
    EXPECT_EQ(Read(&IAccessible::get_accDefaultAction, *Client, Save), L"");
    EXPECT_EQ(Client->accDoDefaultAction(Save), DISP_E_MEMBERNOTFOUND);
    Window->SetEnabled(TControl::SaveAs, true);
    EXPECT_EQ(Read(&IAccessible::get_accDefaultAction, *Client, Save), L"Press");
}

// The drawn buttons have no window: the form holds their focus, and tells screen readers of it.
TEST_F(Win32Accessible, ADrawnButtonWithTheFocusIsTheFocusedElement)
{
    SetFocus(Window->Child(TControl::SRate));
    MSG Tab{ GetFocus(), WM_KEYDOWN, VK_TAB, 1, 0, {} };
    Window->Dispatch(Tab);
    ASSERT_EQ(Window->FocusedControl(), TControl::RecB);
    const VARIANT Record = Find(ROLE_SYSTEM_PUSHBUTTON, L"Record");
    VARIANT Focus{};
    ASSERT_EQ(Client->get_accFocus(&Focus), S_OK);
    EXPECT_EQ(Focus.vt, VT_I4);
    EXPECT_EQ(Focus.lVal, Record.lVal);
    VARIANT State{};
    ASSERT_EQ(Client->get_accState(Record, &State), S_OK);
    EXPECT_TRUE(State.lVal & STATE_SYSTEM_FOCUSED);
}

TEST_F(Win32Accessible, TheDefaultActionsRecordPauseAndStopAsClicksDo)
{
    static const std::string Tag = std::to_string(std::random_device{}());
    const std::filesystem::path File
        = std::filesystem::temp_directory_path() / ("corvatone-accessible-" + Tag + ".mp3");
    Window->SetText(TControl::DirOut, File.string());
    Status = Find(ROLE_SYSTEM_STATUSBAR, L"Status");
    const VARIANT Progress = Find(ROLE_SYSTEM_PROGRESSBAR, L"Recording progress");

    EXPECT_EQ(Client->accDoDefaultAction(Find(ROLE_SYSTEM_RADIOBUTTON, L"No Limit")), S_OK);
    ASSERT_TRUE(
        PumpUntil([&] { return Read(&IAccessible::get_accValue, *Client, Progress) == L"100"; }));
    EXPECT_EQ(Client->accDoDefaultAction(Find(ROLE_SYSTEM_PUSHBUTTON, L"Record")), S_OK);
    // The action reaches the window once the tool's call has returned.
    EXPECT_EQ(StatusName(), L"Status");
    ASSERT_TRUE(PumpUntil([&] { return StatusName() == L"Record"; }));
    EXPECT_EQ(Client->accDoDefaultAction(Find(ROLE_SYSTEM_PUSHBUTTON, L"Pause")), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return StatusName() == L"Pause"; }));
    // Stop acts on its release: the action gives the press and the release.
    EXPECT_EQ(Client->accDoDefaultAction(Find(ROLE_SYSTEM_PUSHBUTTON, L"Stop")), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return StatusName() == L"MP3 Done"; }));
    EXPECT_EQ(Read(&IAccessible::get_accValue, *Client, Progress), L"0");
    EXPECT_GT(std::filesystem::file_size(File), 0u);

    // Labels and bars have no action; the objects read nothing once the window has gone.
    EXPECT_EQ(Client->accDoDefaultAction(Progress), DISP_E_MEMBERNOTFOUND);
    Window->Attach(nullptr);
    Main.reset();
    Window.reset();
    BSTR Name = nullptr;
    EXPECT_EQ(Client->get_accName(Status, &Name), CO_E_OBJNOTCONNECTED);
    std::error_code Ignored;
    std::filesystem::remove(File, Ignored);
}

} // namespace
