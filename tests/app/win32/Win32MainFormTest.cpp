// The native form without the behaviour: its controls in the layout's places and tab order, their
// texts through the system's wide calls, the lists' entries, the spin box's arrows, and the
// pictures of the image controls as the window shows them.
#include "Win32MainForm.h"

#include "TestPictures.h"
#include "Win32Text.h"

#include <commctrl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class Win32MainFormTest : public testing::Test {
protected:
    TWin32MainForm MainForm{ GetModuleHandleW(nullptr) };

    HWND Child(TControl Control) const { return MainForm.Child(Control); }
};

} // namespace

TEST_F(Win32MainFormTest, WindowIsABorderlessPopupOfTheLayoutsSizeCentredOnTheWorkArea)
{
    RECT Window{};
    GetWindowRect(MainForm.Handle(), &Window);
    EXPECT_EQ(Window.right - Window.left, 350);
    EXPECT_EQ(Window.bottom - Window.top, 200);
    RECT Work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &Work, 0);
    EXPECT_EQ(Window.left, Work.left + (Work.right - Work.left - 350) / 2);
    EXPECT_EQ(Window.top, Work.top + (Work.bottom - Work.top - 200) / 2);
    const LONG Style = GetWindowLongW(MainForm.Handle(), GWL_STYLE);
    EXPECT_TRUE(Style & WS_POPUP);
    EXPECT_FALSE(Style & (WS_CAPTION | WS_THICKFRAME));
    wchar_t Title[64]{};
    GetWindowTextW(MainForm.Handle(), Title, 64);
    EXPECT_STREQ(Title, L"Corvatone v 1.00");
}

TEST_F(Win32MainFormTest, TabGoesThroughTheControlsInTheLayoutsOrder)
{
    const auto Round = [this] {
        std::vector<HWND> Order;
        HWND Control = Child(TControl::DirOut);
        for (int Step = 0; Step < 7 && Control; ++Step) {
            Order.push_back(Control);
            Control = GetNextDlgTabItem(MainForm.Handle(), Control, FALSE);
        }
        return Order;
    };
    // The status panel is no tab stop; the radio group is one, its checked button.
    EXPECT_EQ(Round(),
        (std::vector<HWND>{ Child(TControl::DirOut), Child(TControl::SaveAs),
            Child(TControl::SecCustom), Child(TControl::Secs), Child(TControl::KBS),
            Child(TControl::SRate), Child(TControl::DirOut) }));
    MainForm.SetChecked(TControl::SecNoLimit);
    EXPECT_EQ(Round()[2], Child(TControl::SecNoLimit));
}

TEST_F(Win32MainFormTest, TheFocusComesBackToItsControlWhenTheWindowIsActivatedAgain)
{
    MainForm.Show(SW_SHOW);
    SetFocus(Child(TControl::SRate));
    const HWND Focused = GetFocus(); // the list's text box inside the list
    ASSERT_TRUE(Focused == Child(TControl::SRate) || IsChild(Child(TControl::SRate), Focused));
    const HWND Other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(Other, nullptr);
    SetActiveWindow(Other);
    ASSERT_NE(GetFocus(), Focused);
    SetActiveWindow(MainForm.Handle());
    EXPECT_EQ(GetFocus(), Focused);
    DestroyWindow(Other);
}

TEST_F(Win32MainFormTest, AnImageButtonHasTheFocusByTabAndKeepsItAcrossAnotherWindow)
{
    MainForm.Show(SW_SHOW);
    const auto PressTab = [this](bool Shift) {
        BYTE Keys[256]{};
        GetKeyboardState(Keys);
        Keys[VK_SHIFT] = Shift ? 0x80 : 0;
        SetKeyboardState(Keys);
        MSG Message{ GetFocus(), WM_KEYDOWN, VK_TAB, 1, 0, {} };
        MainForm.Dispatch(Message);
        Keys[VK_SHIFT] = 0;
        SetKeyboardState(Keys);
    };
    SetFocus(Child(TControl::SRate));
    PressTab(false);
    // The form holds the focus for the windowless button.
    EXPECT_EQ(GetFocus(), MainForm.Handle());
    ASSERT_EQ(MainForm.FocusedControl(), TControl::RecB);

    const HWND Other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(Other, nullptr);
    SetActiveWindow(Other);
    EXPECT_EQ(MainForm.FocusedControl(), std::nullopt);
    SetActiveWindow(MainForm.Handle());
    EXPECT_EQ(MainForm.FocusedControl(), TControl::RecB);
    DestroyWindow(Other);

    // A control's window that takes the focus takes it from the button: Shift+Tab then goes
    // back from that control, not from the button.
    SetFocus(Child(TControl::KBS));
    EXPECT_EQ(MainForm.FocusedControl(), TControl::KBS);
    PressTab(true);
    EXPECT_EQ(MainForm.FocusedControl(), TControl::Secs);
    PressTab(true);
    PressTab(true);
    PressTab(true);
    PressTab(true);
    // Backwards past the first control: the input chooser, the last stop, then Close.
    EXPECT_EQ(MainForm.FocusedControl(), TControl::LabDev);
    PressTab(true);
    EXPECT_EQ(MainForm.FocusedControl(), TControl::CloseB);
}

TEST_F(Win32MainFormTest, TextsCrossAsUtf16AndListsTakeNewEntries)
{
    const std::string Path
        = "C:\\\u0417\u0430\u043F\u0438\u0441\u0438\\\u00DCn\u00EFc\u00F6d\u00E9 \u2603.mp3";
    MainForm.SetText(TControl::DirOut, Path);
    EXPECT_EQ(MainForm.Text(TControl::DirOut), Path);
    wchar_t Shown[128]{};
    GetWindowTextW(Child(TControl::DirOut), Shown, 128);
    EXPECT_STREQ(
        Shown, L"C:\\\u0417\u0430\u043F\u0438\u0441\u0438\\\u00DCn\u00EFc\u00F6d\u00E9 \u2603.mp3");

    EXPECT_EQ(MainForm.Text(TControl::KBS), "128");
    EXPECT_EQ(MainForm.Items(TControl::KBS).size(), 11u);
    MainForm.SetText(TControl::KBS, "320");
    MainForm.SetItems(TControl::KBS, { "40", "64" });
    EXPECT_EQ(MainForm.Items(TControl::KBS), (std::vector<std::string>{ "40", "64" }));

    EXPECT_EQ(MainForm.Text(TControl::SRate), "44100");
    EXPECT_TRUE(MainForm.Checked(TControl::SecCustom));
    EXPECT_FALSE(MainForm.Checked(TControl::SecNoLimit));
    MainForm.SetText(TControl::LabDev, "PulseAudio \u2603");
    EXPECT_EQ(MainForm.Text(TControl::LabDev), "PulseAudio \u2603");
}

TEST_F(Win32MainFormTest, SpinArrowsStepTheShownValueByFiveWithinItsLimits)
{
    const auto Step = [&](int Delta) {
        NMUPDOWN Change{};
        Change.hdr.hwndFrom = MainForm.Companion(TControl::Secs);
        Change.hdr.code = UDN_DELTAPOS;
        Change.iDelta = Delta;
        SendMessageW(MainForm.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&Change));
        return MainForm.Text(TControl::Secs);
    };
    EXPECT_EQ(Step(1), "10800");
    EXPECT_EQ(Step(-1), "10795");
    MainForm.SetText(TControl::Secs, "abc");
    EXPECT_EQ(Step(1), "10");
    MainForm.SetText(TControl::Secs, "7");
    EXPECT_EQ(Step(-1), "5");
    MainForm.SetText(TControl::Secs, "-30");
    EXPECT_EQ(Step(1), "5");
    // Typed at the ends of int, stepped without overflowing.
    MainForm.SetText(TControl::Secs, "2147483647");
    EXPECT_EQ(Step(1), "10800");
    MainForm.SetText(TControl::Secs, "-2147483648");
    EXPECT_EQ(Step(-1), "5");
}

// A user's skin may hold pictures without alpha. On the transparent Minimize and Close buttons
// the window shows through where such a picture has its bottom-left colour; on Record, which is
// not transparent, and with alpha of its own, the picture stays whole. The picture the controls
// share is not changed.
TEST_F(Win32MainFormTest, APictureWithoutAlphaShowsTheWindowThroughItsCornerColourWhenTransparent)
{
    constexpr uint32_t Magenta = 0xFF00FF;
    constexpr uint32_t Green = 0x00A000;
    constexpr int Width = 15;
    constexpr int Height = 16;
    std::vector<uint32_t> Rgb(Width * Height, Magenta);
    for (int Y = 4; Y < 12; ++Y)
        for (int X = 4; X < 11; ++X)
            Rgb[Y * Width + X] = Green;
    std::vector<uint8_t> RgbBytes;
    for (const uint32_t Colour : Rgb)
        RgbBytes.insert(
            RgbBytes.end(), { uint8_t(Colour >> 16), uint8_t(Colour >> 8), uint8_t(Colour) });
    const std::filesystem::path Folder = std::filesystem::temp_directory_path()
        / (L"corvatone-plain-" + std::to_wstring(GetCurrentProcessId()));
    std::filesystem::create_directories(Folder);
    WriteBytes((Folder / L"Plain.bmp").wstring(), Bmp(Width, Height, Rgb));
    WritePng((Folder / L"Plain.png").wstring(), Width, Height, RgbBytes, PNG_FORMAT_RGB);
    const auto Bitmap = MainForm.ReadPicture(Utf8FromWide((Folder / L"Plain.bmp").wstring()));
    const auto Png = MainForm.ReadPicture(Utf8FromWide((Folder / L"Plain.png").wstring()));
    std::vector<uint8_t> RgbaBytes;
    for (size_t Index = 0; Index < Rgb.size(); ++Index) {
        RgbaBytes.insert(
            RgbaBytes.end(), RgbBytes.begin() + Index * 3, RgbBytes.begin() + Index * 3 + 3);
        RgbaBytes.push_back(Index == Width - 1 ? 0 : 255); // the top-right pixel transparent
    }
    WritePng((Folder / L"Alpha.png").wstring(), Width, Height, RgbaBytes);
    const auto WithAlpha = MainForm.ReadPicture(Utf8FromWide((Folder / L"Alpha.png").wstring()));
    std::filesystem::remove_all(Folder);

    MainForm.Show(SW_SHOW);
    const auto Shown = [this] {
        UpdateWindow(MainForm.Handle());
        return ClientPixels(MainForm.Handle(), 350, 200);
    };
    const auto At = [](const std::vector<uint32_t>& Pixels, const RECT& Control, int X, int Y) {
        return Pixels[static_cast<size_t>((Control.top + Y) * 350 + Control.left + X)] & 0xFFFFFF;
    };
    const std::vector<uint32_t> Behind = Shown();
    MainForm.ShowPicture(TControl::CloseB, Bitmap.get());
    MainForm.ShowPicture(TControl::MinB, Png.get());
    MainForm.ShowPicture(TControl::RecB, Bitmap.get());
    const std::vector<uint32_t> Now = Shown();

    for (const TControl Transparent : { TControl::CloseB, TControl::MinB }) {
        const RECT Bounds = MainForm.Bounds(Transparent);
        ASSERT_EQ(Bounds.right - Bounds.left, Width);
        ASSERT_EQ(Bounds.bottom - Bounds.top, Height);
        for (const POINT Corner :
            { POINT{ 0, Height - 1 }, POINT{ 0, 0 }, POINT{ Width - 1, 5 } }) {
            EXPECT_EQ(At(Now, Bounds, Corner.x, Corner.y), At(Behind, Bounds, Corner.x, Corner.y))
                << ControlName(Transparent) << " at " << Corner.x << "," << Corner.y;
            EXPECT_NE(At(Now, Bounds, Corner.x, Corner.y), Magenta);
        }
        EXPECT_EQ(At(Now, Bounds, 7, 8), Green) << ControlName(Transparent);
    }
    const RECT Record = MainForm.Bounds(TControl::RecB);
    EXPECT_EQ(At(Now, Record, 0, Height - 1), Magenta);
    EXPECT_EQ(At(Now, Record, 7, 8), Green);

    const std::vector<uint32_t> Kept
        = BitmapPixels(MainForm.Picture(TControl::CloseB)->Bitmap(), Width, Height);
    EXPECT_EQ(Kept[(Height - 1) * Width] & 0xFFFFFF, Magenta);

    // With alpha of its own, the same picture is drawn by its alpha alone.
    MainForm.ShowPicture(TControl::CloseB, WithAlpha.get());
    const std::vector<uint32_t> Blended = Shown();
    const RECT Close = MainForm.Bounds(TControl::CloseB);
    EXPECT_EQ(At(Blended, Close, 0, Height - 1), Magenta);
    EXPECT_EQ(At(Blended, Close, Width - 1, 0), At(Behind, Close, Width - 1, 0));
}
