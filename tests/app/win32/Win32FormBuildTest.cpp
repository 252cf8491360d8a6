// The native form against the form's description, control by control: the child windows'
// classes, rectangles, texts, styles, fonts, states, entries and order, the drawn controls'
// rectangles and texts, and the tooltips.
#include "Win32MainForm.h"
#include "Win32Text.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

std::wstring Wide(const std::string& Text)
{
    return WideFromUtf8(Text);
}

std::wstring ClassOf(HWND Window)
{
    wchar_t Name[64]{};
    GetClassNameW(Window, Name, 64);
    return Name;
}

// The child window's rectangle in its parent's client coordinates.
RECT PlaceOf(HWND Child)
{
    RECT Place{};
    GetWindowRect(Child, &Place);
    MapWindowPoints(nullptr, GetParent(Child), reinterpret_cast<POINT*>(&Place), 2);
    return Place;
}

void ExpectFont(HWND Child, const TFont& Expected)
{
    const auto Font = reinterpret_cast<HFONT>(SendMessageW(Child, WM_GETFONT, 0, 0));
    ASSERT_TRUE(Font);
    LOGFONTW Log{};
    ASSERT_TRUE(GetObjectW(Font, sizeof(Log), &Log));
    EXPECT_EQ(Log.lfHeight, -Expected.PixelSize);
    EXPECT_EQ(Log.lfWeight, Expected.Weight);
    EXPECT_EQ(Log.lfUnderline != 0, Expected.Underline);
    EXPECT_EQ(std::wstring(Log.lfFaceName), Wide(Expected.Family));
}

// The window class and the styles that make the control of its kind.
void ExpectKind(HWND Child, const TControlSpec& Spec)
{
    const LONG Style = GetWindowLongW(Child, GWL_STYLE);
    switch (Spec.Kind) {
    case TControlKind::FlatEdit:
        EXPECT_EQ(ClassOf(Child), L"Edit");
        EXPECT_TRUE(Style & ES_READONLY);
        EXPECT_FALSE(Style & WS_BORDER);
        break;
    case TControlKind::Radio:
        EXPECT_EQ(ClassOf(Child), L"Button");
        EXPECT_EQ(Style & BS_TYPEMASK, BS_AUTORADIOBUTTON);
        break;
    case TControlKind::SpinEdit:
        EXPECT_EQ(ClassOf(Child), L"Edit");
        EXPECT_FALSE(Style & ES_READONLY);
        break;
    case TControlKind::ComboBox:
        EXPECT_EQ(ClassOf(Child), L"ComboBox");
        EXPECT_EQ(Style & 3, CBS_DROPDOWN);
        break;
    case TControlKind::Panel:
        EXPECT_EQ(ClassOf(Child), L"Static");
        EXPECT_TRUE(Style & SS_SUNKEN);
        EXPECT_EQ(Style & SS_TYPEMASK, SS_CENTER);
        break;
    default: // the gradient button, a window class of its own
        EXPECT_TRUE(Spec.Kind == TControlKind::GradButton);
        break;
    }
}

class Win32FormBuild : public testing::Test {
protected:
    TWin32MainForm MainForm{ GetModuleHandleW(nullptr) };
};

TEST_F(Win32FormBuild, EveryChildWindowIsItsControlAsTheFormDescribesIt)
{
    for (const TControlSpec& Spec : Form::Controls()) {
        SCOPED_TRACE(ControlName(Spec.Id));
        HWND Child = MainForm.Child(Spec.Id);
        if (!Form::HasWindow(Spec.Kind)) {
            EXPECT_FALSE(Child);
            continue;
        }
        ASSERT_TRUE(Child);
        ExpectKind(Child, Spec);
        const RECT Place = PlaceOf(Child);
        const RECT Bounds = BoundsOf(Spec);
        EXPECT_EQ(Place.left, Bounds.left + (Spec.Kind == TControlKind::FlatEdit ? 2 : 0));
        if (Spec.Kind == TControlKind::SpinEdit) {
            // The arrows take the right end of the box, within its rectangle.
            const RECT Arrows = PlaceOf(MainForm.Companion(Spec.Id));
            EXPECT_LE(Arrows.right, Bounds.right);
            EXPECT_GT(Arrows.left, Place.left);
        } else {
            EXPECT_EQ(Place.right, Bounds.right);
        }
        // A one-line field is centred in the flat box; a list's height is its edit field's.
        if (Spec.Kind != TControlKind::FlatEdit && Spec.Kind != TControlKind::ComboBox) {
            EXPECT_EQ(Place.top, Bounds.top);
            EXPECT_EQ(Place.bottom, Bounds.bottom);
        }
        EXPECT_GE(Place.top, Bounds.top);
        EXPECT_LE(Place.bottom, Bounds.bottom);
        // The gradient button draws its caption itself; its window's text names it for screen
        // readers.
        EXPECT_EQ(MainForm.Text(Spec.Id), Spec.Text);
        const LONG Style = GetWindowLongW(Child, GWL_STYLE);
        EXPECT_TRUE(Style & WS_VISIBLE);
        EXPECT_EQ((Style & WS_TABSTOP) != 0, Form::IsTabStop(Spec, Spec.Checked));
        EXPECT_TRUE(MainForm.Enabled(Spec.Id));
        if (Spec.Kind != TControlKind::GradButton)
            ExpectFont(Child, Spec.Font);
        if (Spec.Kind == TControlKind::Radio) {
            EXPECT_EQ(MainForm.Checked(Spec.Id), Spec.Checked);
        }
        if (Spec.Kind == TControlKind::ComboBox) {
            EXPECT_EQ(MainForm.Items(Spec.Id), Spec.Items);
        }
        if (Spec.Kind == TControlKind::SpinEdit) {
            int Min = 0;
            int Max = 0;
            SendMessageW(MainForm.Companion(Spec.Id), UDM_GETRANGE32,
                reinterpret_cast<WPARAM>(&Min), reinterpret_cast<LPARAM>(&Max));
            EXPECT_EQ(Min, Spec.Spin.Min);
            EXPECT_EQ(Max, Spec.Spin.Max);
        }
    }
}

TEST_F(Win32FormBuild, DrawnControlsLieWhereTheFormPutsThemAndShowItsTexts)
{
    for (const TControlSpec& Spec : Form::Controls()) {
        if (Form::HasWindow(Spec.Kind))
            continue;
        SCOPED_TRACE(ControlName(Spec.Id));
        const RECT Bounds = BoundsOf(Spec);
        const RECT Drawn = MainForm.Bounds(Spec.Id);
        EXPECT_TRUE(EqualRect(&Drawn, &Bounds));
        EXPECT_EQ(MainForm.Text(Spec.Id), Spec.Text);
        if (Spec.Kind == TControlKind::FlatBar) {
            EXPECT_EQ(MainForm.ElementColor(Spec.Id), Spec.Bar.Element);
            EXPECT_EQ(MainForm.Position(Spec.Id), 0);
        }
    }
}

// Child windows lie in the order they were made, which is also the order Tab follows.
TEST_F(Win32FormBuild, ChildWindowsAreMadeInTabOrderWithThePanelLast)
{
    std::map<HWND, TControl> Controls;
    for (const TControlSpec& Spec : Form::Controls())
        if (HWND Child = MainForm.Child(Spec.Id))
            Controls[Child] = Spec.Id;
    std::vector<TControl> Order;
    for (HWND Child = GetWindow(MainForm.Handle(), GW_CHILD); Child;
         Child = GetWindow(Child, GW_HWNDNEXT))
        if (const auto Found = Controls.find(Child); Found != Controls.end())
            Order.push_back(Found->second);
    std::vector<TControl> Expected;
    for (TControl Stop : Form::TabOrder())
        if (Form::HasWindow(Form::Spec(Stop).Kind))
            Expected.push_back(Stop);
    Expected.push_back(TControl::State);
    EXPECT_EQ(Order, Expected);
}

TEST_F(Win32FormBuild, EveryTooltipOfTheFormIsRegisteredWithItsText)
{
    std::map<std::wstring, int> Expected;
    for (const TControlSpec& Spec : Form::Controls())
        if (!Spec.Hint.empty())
            ++Expected[Wide(Spec.Hint)];
    std::map<std::wstring, int> Registered;
    const auto Count = SendMessageW(MainForm.Tooltip(), TTM_GETTOOLCOUNT, 0, 0);
    for (LRESULT Index = 0; Index < Count; ++Index) {
        wchar_t Text[128]{};
        TTTOOLINFOW Tool{};
        Tool.cbSize = sizeof(Tool);
        Tool.lpszText = Text;
        ASSERT_TRUE(SendMessageW(
            MainForm.Tooltip(), TTM_ENUMTOOLSW, Index, reinterpret_cast<LPARAM>(&Tool)));
        ++Registered[Text];
    }
    EXPECT_EQ(Registered, Expected);
}

} // namespace
