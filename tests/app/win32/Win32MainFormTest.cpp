// The native form without a screen: its controls in the layout's places and tab order, their
// texts through the system's wide calls, the lists keeping their text, the spin box's arrows.
#include "Win32MainForm.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class Win32MainFormTest : public testing::Test {
protected:
    TWin32MainForm Form{ GetModuleHandleW(nullptr) };

    static size_t Index(const char* Name) { return Win32Form::IndexOf(Name); }
    HWND Child(const char* Name) const { return Form.Child(Index(Name)); }
};

} // namespace

TEST_F(Win32MainFormTest, WindowIsABorderlessPopupOfTheLayoutsSizeCentredOnTheWorkArea)
{
    RECT Window{};
    GetWindowRect(Form.Handle(), &Window);
    EXPECT_EQ(Window.right - Window.left, 350);
    EXPECT_EQ(Window.bottom - Window.top, 200);
    RECT Work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &Work, 0);
    EXPECT_EQ(Window.left, Work.left + (Work.right - Work.left - 350) / 2);
    EXPECT_EQ(Window.top, Work.top + (Work.bottom - Work.top - 200) / 2);
    const LONG Style = GetWindowLongW(Form.Handle(), GWL_STYLE);
    EXPECT_TRUE(Style & WS_POPUP);
    EXPECT_FALSE(Style & (WS_CAPTION | WS_THICKFRAME));
    wchar_t Title[64]{};
    GetWindowTextW(Form.Handle(), Title, 64);
    EXPECT_STREQ(Title, L"Corvatone v 1.00");
}

TEST_F(Win32MainFormTest, TabGoesThroughTheControlsInTheLayoutsOrder)
{
    std::vector<HWND> Order;
    HWND Control = Child("DirOut");
    for (int Step = 0; Step < 8 && Control; ++Step) {
        Order.push_back(Control);
        Control = GetNextDlgTabItem(Form.Handle(), Control, FALSE);
    }
    // The status panel is no tab stop.
    const std::vector<HWND> Expected = { Child("DirOut"), Child("SaveAs"), Child("SecNoLimit"),
        Child("SecCustom"), Child("Secs"), Child("KBS"), Child("SRate"), Child("DirOut") };
    EXPECT_EQ(Order, Expected);
}

TEST_F(Win32MainFormTest, TextsCrossAsUtf16AndTheListsKeepTheirText)
{
    const std::wstring Path
        = L"C:\\\u0417\u0430\u043F\u0438\u0441\u0438\\\u00DCn\u00EFc\u00F6d\u00E9 \u2603.mp3";
    Form.SetText(Index("DirOut"), Path);
    EXPECT_EQ(Form.Text(Index("DirOut")), Path);

    EXPECT_EQ(Form.Text(Index("KBS")), L"128");
    EXPECT_EQ(Form.Items(Index("KBS")).size(), 12u);
    Form.SetText(Index("KBS"), L"320");
    Form.SetItems(Index("KBS"), { L"40", L"64" });
    EXPECT_EQ(Form.Text(Index("KBS")), L"320");
    EXPECT_EQ(Form.Items(Index("KBS")), (std::vector<std::wstring>{ L"40", L"64" }));

    EXPECT_EQ(Form.Text(Index("SRate")), L"44100");
    EXPECT_TRUE(Form.Checked(Index("SecCustom")));
    EXPECT_FALSE(Form.Checked(Index("SecNoLimit")));
    Form.SetText(Index("LabDev"), L"PulseAudio \u2603");
    EXPECT_EQ(Form.Text(Index("LabDev")), L"PulseAudio \u2603");
}

TEST_F(Win32MainFormTest, SpinArrowsStepTheShownValueByFiveWithinItsLimits)
{
    const size_t Secs = Index("Secs");
    const auto Step = [&](int Delta) {
        NMUPDOWN Change{};
        Change.hdr.hwndFrom = Form.Companion(Secs);
        Change.hdr.code = UDN_DELTAPOS;
        Change.iDelta = Delta;
        SendMessageW(Form.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&Change));
        return Form.Text(Secs);
    };
    EXPECT_EQ(Step(1), L"10800");
    EXPECT_EQ(Step(-1), L"10795");
    Form.SetText(Secs, L"abc");
    EXPECT_EQ(Step(1), L"10");
    Form.SetText(Secs, L"7");
    EXPECT_EQ(Step(-1), L"5");
    Form.SetText(Secs, L"-30");
    EXPECT_EQ(Step(1), L"5");
}
