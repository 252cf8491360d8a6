// The form's child windows: their creation in tab order with fonts and colours, the tooltips,
// and what the form reads and sets on them.
#include "RecordSettings.h"
#include "Win32FormWidgets.h"
#include "Win32MainForm.h"
#include "Win32Text.h"

#include <algorithm>
#include <commctrl.h>
#include <stdexcept>

namespace {

constexpr int FirstChildId = 100;
constexpr size_t None = static_cast<size_t>(-1);
// The drop-down part of a list, below its edit field.
constexpr int DropDownHeight = 200;
// The border of a combo box's edit field around its item height.
constexpr int ComboFrame = 6;

bool IsWindowed(TFormKind Kind)
{
    switch (Kind) {
    case TFormKind::FlatEdit:
    case TFormKind::GradButton:
    case TFormKind::Radio:
    case TFormKind::SpinEdit:
    case TFormKind::ComboBox:
    case TFormKind::Panel:
        return true;
    default:
        return false;
    }
}

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

} // namespace

void TWin32MainForm::CreateChildren()
{
    const INITCOMMONCONTROLSEX Classes{ sizeof(Classes),
        ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES };
    InitCommonControlsEx(&Classes);
    FFaceBrushes.assign(Win32Form::Controls().size(), nullptr);
    FCompanions.assign(Win32Form::Controls().size(), nullptr);
    FBars.resize(Win32Form::Controls().size());
    // Creation order is tab order.
    for (size_t Index = 0; Index < Win32Form::Controls().size(); ++Index) {
        const TFormKind Kind = Win32Form::Controls()[Index].Kind;
        if (Kind == TFormKind::FlatBar)
            FBars[Index] = CreateFormBar(FHandle, Win32Form::Controls()[Index]);
        else if (IsWindowed(Kind))
            CreateChild(Index);
    }
}

void TWin32MainForm::CreateChild(size_t Control)
{
    const TFormControl& Spec = Win32Form::Controls()[Control];
    const wchar_t* Class = L"BUTTON";
    DWORD Style = WS_CHILD | WS_VISIBLE;
    DWORD ExStyle = 0;
    RECT Place = Spec.Bounds();
    HFONT Font = Win32Form::CreateFormFont(Spec.Font);
    FFonts.push_back(Font);
    // Every control starts a group of its own but SecCustom, which shares SecNoLimit's, so that
    // the two radio buttons exclude each other and the arrow keys move between them.
    if (std::wstring_view(L"SecCustom") != WideFromUtf8(Spec.Name))
        Style |= WS_GROUP;
    if (Spec.TabStop)
        Style |= WS_TABSTOP;
    if (Spec.Kind == TFormKind::GradButton) {
        FGradButton = CreateFormButton(FHandle, FirstChildId + static_cast<int>(Control), Spec,
            Style & ~(WS_CHILD | WS_VISIBLE));
        FGradButton->OnClick = [this, Control] {
            if (FEvents)
                FEvents->ControlClick(Control);
        };
        FChildren[Control] = FGradButton->Handle();
        return;
    }
    switch (Spec.Kind) {
    case TFormKind::FlatEdit: {
        // Without a frame the text would sit at the top: the field is one line high, centred in
        // the control's rectangle, whose face the form paints.
        Class = L"EDIT";
        Style |= ES_READONLY | ES_AUTOHSCROLL;
        const int Line = LineHeight(FHandle, Font);
        Place.left += 2;
        Place.top += (Spec.Height - Line) / 2;
        Place.bottom = Place.top + Line;
        break;
    }
    case TFormKind::Radio:
        Style |= BS_AUTORADIOBUTTON;
        break;
    case TFormKind::SpinEdit:
        Class = L"EDIT";
        Style |= ES_AUTOHSCROLL;
        ExStyle |= WS_EX_CLIENTEDGE;
        break;
    case TFormKind::ComboBox:
        Class = L"COMBOBOX";
        Style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
        Place.bottom += DropDownHeight;
        break;
    case TFormKind::Panel:
        Class = L"STATIC";
        Style |= SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | SS_NOPREFIX;
        break;
    default:
        return;
    }
    HWND Child = CreateWindowExW(ExStyle, Class, Spec.Text, Style, Place.left, Place.top,
        Place.right - Place.left, Place.bottom - Place.top, FHandle,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(FirstChildId + Control)), FInstance, nullptr);
    if (!Child)
        throw std::runtime_error(std::string("Cannot create the control ") + Spec.Name + ": "
            + SystemErrorText(GetLastError()));
    FChildren[Control] = Child;
    SendMessageW(Child, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    if (Spec.FaceColor.SystemIndex < 0)
        FFaceBrushes[Control] = CreateSolidBrush(Spec.FaceColor.Fixed);
    if (Spec.Kind == TFormKind::ComboBox) {
        SendMessageW(Child, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Spec.Height - ComboFrame);
        SetItems(Control, std::vector<std::wstring>(Spec.Items.begin(), Spec.Items.end()));
        SetWindowTextW(Child, Spec.Text);
        // The narrow boxes of the layout need every pixel of their fields for the text.
        COMBOBOXINFO Combo{};
        Combo.cbSize = sizeof(Combo);
        if (GetComboBoxInfo(Child, &Combo) && Combo.hwndItem)
            SendMessageW(Combo.hwndItem, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    }
    if (Spec.Checked)
        SetChecked(Control, true);
    if (Spec.Kind == TFormKind::SpinEdit) {
        HWND Arrows = CreateWindowExW(0, UPDOWN_CLASSW, nullptr,
            WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0, 0,
            FHandle, nullptr, FInstance, nullptr);
        if (!Arrows)
            throw std::runtime_error(
                "Cannot create the spin box's arrows: " + SystemErrorText(GetLastError()));
        SendMessageW(Arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Child), 0);
        SendMessageW(Arrows, UDM_SETRANGE32, Win32Form::SecsMin, Win32Form::SecsMax);
        FCompanions[Control] = Arrows;
    }
}

void TWin32MainForm::CreateTooltips()
{
    FTooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, FHandle, nullptr, FInstance, nullptr);
    if (!FTooltip)
        throw std::runtime_error("Cannot create the tooltips: " + SystemErrorText(GetLastError()));
    for (size_t Index = 0; Index < Win32Form::Controls().size(); ++Index) {
        const TFormControl& Spec = Win32Form::Controls()[Index];
        if (!Spec.Hint)
            continue;
        TTTOOLINFOW Tool{};
        Tool.cbSize = sizeof(Tool);
        Tool.uFlags = TTF_SUBCLASS;
        Tool.hwnd = FHandle;
        Tool.lpszText = const_cast<wchar_t*>(Spec.Hint);
        if (FChildren[Index]) {
            Tool.uFlags |= TTF_IDISHWND;
            Tool.uId = reinterpret_cast<UINT_PTR>(FChildren[Index]);
        } else {
            Tool.uId = Index;
            Tool.rect = Bounds(Index);
        }
        SendMessageW(FTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&Tool));
    }
}

void TWin32MainForm::UpdateTooltipRect(size_t Control)
{
    if (!FTooltip || FChildren[Control] || !Win32Form::Controls()[Control].Hint)
        return;
    TTTOOLINFOW Tool{};
    Tool.cbSize = sizeof(Tool);
    Tool.hwnd = FHandle;
    Tool.uId = Control;
    Tool.rect = Bounds(Control);
    SendMessageW(FTooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&Tool));
}

void TWin32MainForm::SetHint(size_t Control, const std::wstring& Hint)
{
    if (!FTooltip)
        return;
    TTTOOLINFOW Tool{};
    Tool.cbSize = sizeof(Tool);
    Tool.uFlags = TTF_SUBCLASS;
    Tool.hwnd = FHandle;
    if (FChildren[Control]) {
        Tool.uFlags |= TTF_IDISHWND;
        Tool.uId = reinterpret_cast<UINT_PTR>(FChildren[Control]);
    } else {
        Tool.uId = Control;
        Tool.rect = Bounds(Control);
    }
    SendMessageW(FTooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&Tool));
    if (Hint.empty())
        return;
    // The tooltip keeps its own copy of the text.
    std::wstring Text = Hint;
    Tool.lpszText = Text.data();
    SendMessageW(FTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&Tool));
}

size_t TWin32MainForm::ControlOf(HWND Child) const
{
    if (!Child)
        return None;
    for (size_t Index = 0; Index < FChildren.size(); ++Index) {
        if (!FChildren[Index])
            continue;
        if (FChildren[Index] == Child || FCompanions[Index] == Child
            || GetParent(Child) == FChildren[Index])
            return Index;
        COMBOBOXINFO Combo{};
        Combo.cbSize = sizeof(Combo);
        if (Win32Form::Controls()[Index].Kind == TFormKind::ComboBox
            && GetComboBoxInfo(FChildren[Index], &Combo) && Combo.hwndList == Child)
            return Index;
    }
    return None;
}

LRESULT TWin32MainForm::ControlColour(HWND Child, HDC Dc)
{
    const size_t Control = ControlOf(Child);
    if (Control == None)
        return DefWindowProcW(FHandle, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(Dc),
            reinterpret_cast<LPARAM>(Child));
    const TFormControl& Spec = Win32Form::Controls()[Control];
    SetTextColor(Dc, Spec.TextColor.Resolve());
    SetBkColor(Dc, Spec.FaceColor.Resolve());
    HBRUSH Face = FFaceBrushes[Control] ? FFaceBrushes[Control]
                                        : GetSysColorBrush(Spec.FaceColor.SystemIndex);
    return reinterpret_cast<LRESULT>(Face);
}

void TWin32MainForm::Command(size_t Control, UINT Code)
{
    if (!FEvents)
        return;
    switch (Win32Form::Controls()[Control].Kind) {
    case TFormKind::Radio:
        if (Code == BN_CLICKED)
            FEvents->ControlClick(Control);
        break;
    case TFormKind::ComboBox:
        if (Code == CBN_EDITCHANGE) {
            FEvents->TextChanged(Control, Text(Control));
        } else if (Code == CBN_SELCHANGE) {
            // The edit field shows the chosen entry only after this notification.
            const LRESULT Chosen = SendMessageW(FChildren[Control], CB_GETCURSEL, 0, 0);
            if (Chosen != CB_ERR)
                FEvents->TextChanged(Control, Items(Control).at(static_cast<size_t>(Chosen)));
        }
        break;
    default:
        break;
    }
}

LRESULT TWin32MainForm::Notify(const NMHDR& Header)
{
    const size_t Control = ControlOf(Header.hwndFrom);
    if (Control == None || Header.code != UDN_DELTAPOS)
        return 0;
    // The arrows step the value the text shows, not a position of their own: a typed text
    // counts.
    const auto& Change = reinterpret_cast<const NMUPDOWN&>(Header);
    const int Value
        = RecordSettings::SpinEditValue(Utf8FromWide(Text(Control)), Win32Form::SecsMin);
    const int Stepped = std::clamp(
        Value + Change.iDelta * Win32Form::SecsStep, Win32Form::SecsMin, Win32Form::SecsMax);
    SetText(Control, std::to_wstring(Stepped));
    return TRUE; // the arrows keep no position
}

std::wstring TWin32MainForm::Text(size_t Control) const
{
    if (!FChildren[Control])
        return FLabelTexts[Control];
    const int Length = GetWindowTextLengthW(FChildren[Control]);
    std::wstring Text(static_cast<size_t>(Length) + 1, L'\0');
    Text.resize(static_cast<size_t>(GetWindowTextW(FChildren[Control], Text.data(), Length + 1)));
    return Text;
}

void TWin32MainForm::SetText(size_t Control, const std::wstring& Text)
{
    if (!FChildren[Control]) {
        SetLabelText(Control, Text);
        return;
    }
    SetWindowTextW(FChildren[Control], Text.c_str());
}

bool TWin32MainForm::Enabled(size_t Control) const
{
    return !FChildren[Control] || IsWindowEnabled(FChildren[Control]);
}

void TWin32MainForm::SetEnabled(size_t Control, bool Enabled)
{
    if (!FChildren[Control])
        return;
    EnableWindow(FChildren[Control], Enabled);
    if (FCompanions[Control])
        EnableWindow(FCompanions[Control], Enabled);
}

bool TWin32MainForm::Checked(size_t Control) const
{
    return FChildren[Control] && SendMessageW(FChildren[Control], BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TWin32MainForm::SetChecked(size_t Control, bool Checked)
{
    if (FChildren[Control])
        SendMessageW(FChildren[Control], BM_SETCHECK, Checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::vector<std::wstring> TWin32MainForm::Items(size_t Control) const
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

void TWin32MainForm::SetItems(size_t Control, const std::vector<std::wstring>& Items)
{
    HWND Box = FChildren[Control];
    if (!Box)
        return;
    // Emptying the list empties its edit field too.
    const std::wstring Kept = Text(Control);
    SendMessageW(Box, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& Item : Items)
        SendMessageW(Box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Item.c_str()));
    SetWindowTextW(Box, Kept.c_str());
}
