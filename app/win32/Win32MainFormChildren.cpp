// The form's child windows: their creation in tab order with fonts and colours, the tooltips,
// and what the form reads and sets on them.
#include "GdiCanvas.h"
#include "SpinEditCore.h"
#include "Win32MainForm.h"
#include "Win32Text.h"

#include <algorithm>
#include <commctrl.h>
#include <stdexcept>

namespace {

constexpr int FirstChildId = 100;
constexpr size_t NoControl = static_cast<size_t>(-1);
// The drop-down part of a list, below its edit field.
constexpr int DropDownHeight = 200;
// The border of a combo box's edit field around its item height.
constexpr int ComboFrame = 6;

int LineHeight(HWND Window, HFONT Font)
{
    HDC Dc = GetDC(Window);
    HGDIOBJ Previous = SelectObject(Dc, Font);
    TEXTMETRICW Metrics{};
    GetTextMetricsW(Dc, &Metrics);
    SelectObject(Dc, Previous);
    ReleaseDC(Window, Dc);
    return Metrics.tmHeight;
}

// A child window's class, styles and place for a control of the form.
struct TChildWindow {
    const wchar_t* Class = L"BUTTON";
    DWORD Style = 0;
    DWORD ExStyle = 0;
    RECT Place{};
};

TChildWindow ChildWindowOf(const TControlSpec& Spec, int LineHeight)
{
    TChildWindow Child{ L"BUTTON", 0, 0, BoundsOf(Spec) };
    switch (Spec.Kind) {
    case TControlKind::FlatEdit:
        // Without a frame the text would sit at the top: the field is one line high, centred in
        // the control's rectangle, whose face the form paints.
        Child.Class = L"EDIT";
        Child.Style = ES_READONLY | ES_AUTOHSCROLL;
        Child.Place.left += 2;
        Child.Place.top += (Spec.Height - LineHeight) / 2;
        Child.Place.bottom = Child.Place.top + LineHeight;
        break;
    case TControlKind::Radio:
        Child.Style = BS_AUTORADIOBUTTON;
        break;
    case TControlKind::SpinEdit:
        Child.Class = L"EDIT";
        Child.Style = ES_AUTOHSCROLL;
        Child.ExStyle = WS_EX_CLIENTEDGE;
        break;
    case TControlKind::ComboBox:
        Child.Class = L"COMBOBOX";
        Child.Style = CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
        Child.Place.bottom += DropDownHeight;
        break;
    case TControlKind::Panel:
        Child.Class = L"STATIC";
        Child.Style = SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | SS_NOPREFIX;
        break;
    default:
        throw std::logic_error("The form's control of this kind has no child window");
    }
    return Child;
}

std::unique_ptr<TWin32FlatBar> CreateFormBar(HWND Parent, const TControlSpec& Spec)
{
    auto Bar = std::make_unique<TWin32FlatBar>(Parent, BoundsOf(Spec));
    Form::ApplyBarLook(Bar->Core(), Spec);
    Bar->Core().Loaded();
    return Bar;
}

// The Save as button with its look, caption and font; Style adds window styles.
std::unique_ptr<TWin32GradBtn> CreateFormButton(
    HWND Parent, int Id, const TControlSpec& Spec, DWORD Style)
{
    auto Button = std::make_unique<TWin32GradBtn>(Parent, Id, BoundsOf(Spec), Style);
    TGradBtnCore& Core = Button->Core();
    Core.SetCaption(Spec.Text);
    Form::ApplyButtonLook(Core, Spec);
    Core.SetFont(Spec.Font);
    // The core draws the caption; the window's text is what the system tells screen readers.
    SetWindowTextW(Button->Handle(), WideFromUtf8(Form::AccessibleName(Spec, Spec.Text)).c_str());
    return Button;
}

} // namespace

RECT BoundsOf(const TControlSpec& Spec)
{
    return RECT{ Spec.Left, Spec.Top, Spec.Left + Spec.Width, Spec.Top + Spec.Height };
}

void TWin32MainForm::CreateChildren()
{
    const INITCOMMONCONTROLSEX Classes{ sizeof(Classes),
        ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES };
    InitCommonControlsEx(&Classes);
    const auto Controls = Form::Controls();
    FFaceBrushes.assign(Controls.size(), nullptr);
    FCompanions.assign(Controls.size(), nullptr);
    FBars.resize(Controls.size());
    for (size_t Index = 0; Index < Controls.size(); ++Index)
        if (Controls[Index].Kind == TControlKind::FlatBar)
            FBars[Index] = CreateFormBar(FHandle, Controls[Index]);
    TControlKind Previous = TControlKind::Image;
    for (TControl Id : Form::WindowCreationOrder()) {
        const size_t Index = Form::IndexOf(Id);
        const TControlSpec& Spec = Controls[Index];
        // A radio button that follows another joins its group, so that the two exclude each
        // other and the arrow keys move between them; every other control starts a group.
        DWORD Style = WS_CHILD | WS_VISIBLE;
        if (Spec.Kind != TControlKind::Radio || Previous != TControlKind::Radio)
            Style |= WS_GROUP;
        if (Form::IsTabStop(Spec, Spec.Checked))
            Style |= WS_TABSTOP;
        const TColor Face = Spec.FaceColor.value_or(Form::FaceColor);
        if (!IsSystemColor(Face))
            FFaceBrushes[Index] = CreateSolidBrush(ColorRefOf(Face));
        if (Spec.Kind == TControlKind::GradButton)
            CreateGradButton(Index, Style);
        else
            CreateChild(Index, Style);
        Previous = Spec.Kind;
    }
}

void TWin32MainForm::CreateGradButton(size_t Control, DWORD Style)
{
    FGradButton = CreateFormButton(FHandle, FirstChildId + static_cast<int>(Control),
        Form::Controls()[Control], Style & ~(WS_CHILD | WS_VISIBLE));
    FGradButton->OnClick = [this, Control] { FEvents.Click(IdOf(Control)); };
    FChildren[Control] = FGradButton->Handle();
}

void TWin32MainForm::CreateChild(size_t Control, DWORD Style)
{
    const TControlSpec& Spec = Form::Controls()[Control];
    HFONT Font = CreateGdiFont(Spec.Font);
    FFonts.push_back(Font);
    const TChildWindow Window = ChildWindowOf(Spec, LineHeight(FHandle, Font));
    const RECT& Place = Window.Place;
    HWND Child = CreateWindowExW(Window.ExStyle, Window.Class, WideFromUtf8(Spec.Text).c_str(),
        Style | Window.Style, Place.left, Place.top, Place.right - Place.left,
        Place.bottom - Place.top, FHandle,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(FirstChildId + Control)), FInstance, nullptr);
    if (!Child)
        throw std::runtime_error(std::string("Cannot create the control ") + ControlName(Spec.Id)
            + ": " + SystemErrorText(GetLastError()));
    FChildren[Control] = Child;
    SendMessageW(Child, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    if (Spec.Kind == TControlKind::ComboBox)
        SetUpComboBox(Control);
    if (Spec.Checked)
        SetCheckedAt(Control, true);
    if (Spec.Kind == TControlKind::SpinEdit)
        CreateSpinArrows(Control);
}

void TWin32MainForm::SetUpComboBox(size_t Control)
{
    const TControlSpec& Spec = Form::Controls()[Control];
    HWND Box = FChildren[Control];
    SendMessageW(Box, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Spec.Height - ComboFrame);
    std::vector<std::wstring> Items;
    for (const std::string& Item : Spec.Items)
        Items.push_back(WideFromUtf8(Item));
    SetItemsAt(Control, Items);
    SetWindowTextW(Box, WideFromUtf8(Spec.Text).c_str());
    // The narrow boxes of the layout need every pixel of their fields for the text.
    COMBOBOXINFO Combo{};
    Combo.cbSize = sizeof(Combo);
    if (GetComboBoxInfo(Box, &Combo) && Combo.hwndItem)
        SendMessageW(Combo.hwndItem, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
}

void TWin32MainForm::CreateSpinArrows(size_t Control)
{
    const TSpinRange& Range = Form::Controls()[Control].Spin;
    HWND Arrows = CreateWindowExW(0, UPDOWN_CLASSW, nullptr,
        WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0, 0,
        FHandle, nullptr, FInstance, nullptr);
    if (!Arrows)
        throw std::runtime_error(
            "Cannot create the spin box's arrows: " + SystemErrorText(GetLastError()));
    SendMessageW(Arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(FChildren[Control]), 0);
    SendMessageW(Arrows, UDM_SETRANGE32, Range.Min, Range.Max);
    FCompanions[Control] = Arrows;
}

HBRUSH TWin32MainForm::FaceBrush(size_t Control) const
{
    if (FFaceBrushes[Control])
        return FFaceBrushes[Control];
    const TColor Face = Form::Controls()[Control].FaceColor.value_or(Form::FaceColor);
    return GetSysColorBrush(SystemColorIndex(Face));
}

void TWin32MainForm::CreateTooltips()
{
    FTooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, FHandle, nullptr, FInstance, nullptr);
    if (!FTooltip)
        throw std::runtime_error("Cannot create the tooltips: " + SystemErrorText(GetLastError()));
    for (size_t Index = 0; Index < Form::Controls().size(); ++Index)
        if (!Form::Controls()[Index].Hint.empty())
            SetTool(Index, WideFromUtf8(Form::Controls()[Index].Hint));
}

void TWin32MainForm::SetTool(size_t Control, std::wstring Hint)
{
    TTTOOLINFOW Tool{};
    Tool.cbSize = sizeof(Tool);
    Tool.uFlags = TTF_SUBCLASS;
    Tool.hwnd = FHandle;
    if (FChildren[Control]) {
        Tool.uFlags |= TTF_IDISHWND;
        Tool.uId = reinterpret_cast<UINT_PTR>(FChildren[Control]);
    } else {
        Tool.uId = Control;
        Tool.rect = BoundsAt(Control);
    }
    SendMessageW(FTooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&Tool));
    if (Hint.empty())
        return;
    // The tooltip keeps its own copy of the text.
    Tool.lpszText = Hint.data();
    SendMessageW(FTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&Tool));
}

void TWin32MainForm::UpdateTooltipRect(size_t Control)
{
    if (!FTooltip || FChildren[Control] || Form::Controls()[Control].Hint.empty())
        return;
    TTTOOLINFOW Tool{};
    Tool.cbSize = sizeof(Tool);
    Tool.hwnd = FHandle;
    Tool.uId = Control;
    Tool.rect = BoundsAt(Control);
    SendMessageW(FTooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&Tool));
}

size_t TWin32MainForm::ControlOf(HWND Child) const
{
    if (!Child)
        return NoControl;
    for (size_t Index = 0; Index < FChildren.size(); ++Index) {
        if (!FChildren[Index])
            continue;
        if (FChildren[Index] == Child || FCompanions[Index] == Child
            || GetParent(Child) == FChildren[Index])
            return Index;
        COMBOBOXINFO Combo{};
        Combo.cbSize = sizeof(Combo);
        if (Form::Controls()[Index].Kind == TControlKind::ComboBox
            && GetComboBoxInfo(FChildren[Index], &Combo) && Combo.hwndList == Child)
            return Index;
    }
    return NoControl;
}

LRESULT TWin32MainForm::ControlColour(HWND Child, HDC Dc)
{
    const size_t Control = ControlOf(Child);
    if (Control == NoControl)
        return DefWindowProcW(FHandle, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(Dc),
            reinterpret_cast<LPARAM>(Child));
    const TControlSpec& Spec = Form::Controls()[Control];
    SetTextColor(Dc, ColorRefOf(Spec.TextColor.value_or(Form::TextColor)));
    SetBkColor(Dc, ColorRefOf(Spec.FaceColor.value_or(Form::FaceColor)));
    return reinterpret_cast<LRESULT>(FaceBrush(Control));
}

void TWin32MainForm::Command(size_t Control, UINT Code)
{
    switch (Form::Controls()[Control].Kind) {
    case TControlKind::Radio:
        if (Code == BN_CLICKED) {
            // The button checked itself and cleared the others of its group.
            FollowRadioTabStops();
            FEvents.Click(IdOf(Control));
        }
        break;
    case TControlKind::ComboBox:
        if (Code == CBN_EDITCHANGE) {
            FEvents.Change(IdOf(Control), Utf8FromWide(TextAt(Control)));
        } else if (Code == CBN_SELCHANGE) {
            // The edit field shows the chosen entry only after this notification.
            const LRESULT Chosen = SendMessageW(FChildren[Control], CB_GETCURSEL, 0, 0);
            if (Chosen != CB_ERR)
                FEvents.Change(
                    IdOf(Control), Utf8FromWide(ItemsAt(Control).at(static_cast<size_t>(Chosen))));
        }
        break;
    default:
        break;
    }
}

LRESULT TWin32MainForm::Notify(const NMHDR& Header)
{
    const size_t Control = ControlOf(Header.hwndFrom);
    if (Control == NoControl || Header.code != UDN_DELTAPOS)
        return 0;
    // The arrows step the value the text shows, not a position of their own: a typed text
    // counts.
    const auto& Change = reinterpret_cast<const NMUPDOWN&>(Header);
    const TSpinRange& Range = Form::Controls()[Control].Spin;
    SetTextAt(Control,
        std::to_wstring(SpinEdit::Stepped(Utf8FromWide(TextAt(Control)), Change.iDelta, Range)));
    return TRUE; // the arrows keep no position
}

std::wstring TWin32MainForm::TextAt(size_t Control) const
{
    if (!FChildren[Control])
        return FLabelTexts[Control];
    const int Length = GetWindowTextLengthW(FChildren[Control]);
    std::wstring Text(static_cast<size_t>(Length) + 1, L'\0');
    Text.resize(static_cast<size_t>(GetWindowTextW(FChildren[Control], Text.data(), Length + 1)));
    return Text;
}

void TWin32MainForm::SetTextAt(size_t Control, const std::wstring& Text)
{
    if (!FChildren[Control]) {
        SetLabelText(Control, Text);
        return;
    }
    SetWindowTextW(FChildren[Control], Text.c_str());
}

bool TWin32MainForm::EnabledAt(size_t Control) const
{
    return FChildren[Control] ? IsWindowEnabled(FChildren[Control]) != FALSE
                              : !FWindowlessDisabled[Control];
}

bool TWin32MainForm::CheckedAt(size_t Control) const
{
    return FChildren[Control] && SendMessageW(FChildren[Control], BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TWin32MainForm::SetCheckedAt(size_t Control, bool Checked)
{
    if (!FChildren[Control])
        return;
    SendMessageW(FChildren[Control], BM_SETCHECK, Checked ? BST_CHECKED : BST_UNCHECKED, 0);
    FollowRadioTabStops();
}

void TWin32MainForm::FollowRadioTabStops()
{
    const auto Controls = Form::Controls();
    for (size_t Control = 0; Control < Controls.size(); ++Control) {
        if (Controls[Control].Kind != TControlKind::Radio || !FChildren[Control])
            continue;
        const LONG Style = GetWindowLongW(FChildren[Control], GWL_STYLE);
        const bool Stop = Form::IsTabStop(Controls[Control], CheckedAt(Control));
        SetWindowLongW(
            FChildren[Control], GWL_STYLE, Stop ? Style | WS_TABSTOP : Style & ~WS_TABSTOP);
    }
}

std::vector<std::wstring> TWin32MainForm::ItemsAt(size_t Control) const
{
    std::vector<std::wstring> Items;
    HWND Box = FChildren[Control];
    const LRESULT Count = Box ? SendMessageW(Box, CB_GETCOUNT, 0, 0) : 0;
    for (LRESULT Index = 0; Index < Count; ++Index) {
        const LRESULT Length = SendMessageW(Box, CB_GETLBTEXTLEN, Index, 0);
        std::wstring Item(static_cast<size_t>(std::max<LRESULT>(Length, 0)) + 1, L'\0');
        SendMessageW(Box, CB_GETLBTEXT, Index, reinterpret_cast<LPARAM>(Item.data()));
        Item.resize(static_cast<size_t>(std::max<LRESULT>(Length, 0)));
        Items.push_back(std::move(Item));
    }
    return Items;
}

void TWin32MainForm::SetItemsAt(size_t Control, const std::vector<std::wstring>& Items)
{
    HWND Box = FChildren[Control];
    if (!Box)
        return;
    // Emptying the list empties its edit field too; the behaviour sets the text it keeps.
    SendMessageW(Box, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& Item : Items)
        SendMessageW(Box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Item.c_str()));
}
