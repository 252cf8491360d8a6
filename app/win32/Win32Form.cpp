#include "Win32Form.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace {

constexpr TFormColor InfoBk{ COLOR_INFOBK, 0 };
constexpr TFormColor Grey105{ -1, RGB(105, 105, 105) };
constexpr TFormColor Plum{ -1, RGB(53, 45, 49) };
constexpr TFormColor Lemon{ -1, RGB(255, 255, 128) };

constexpr TFormFont Times11{ L"Times New Roman", 11, false, false };
constexpr TFormFont Times11Headline{ L"Times New Roman", 11, true, true };
constexpr TFormFont Times13{ L"Times New Roman", 13, false, false };
constexpr TFormFont Times13Bold{ L"Times New Roman", 13, true, false };
constexpr TFormFont Sans11{ L"MS Sans Serif", 11, false, false };
constexpr TFormFont Sans11Bold{ L"MS Sans Serif", 11, true, false };

constexpr const wchar_t* BitRates[]
    = { L"40", L"48", L"56", L"64", L"80", L"96", L"128", L"144", L"160", L"192", L"256", L"320" };
constexpr const wchar_t* SampleRates[] = { L"22050", L"44100" };

constexpr TFormControl Image(
    const char* Name, int Left, int Top, int Width, int Height, const wchar_t* Hint)
{
    return { Name, TFormKind::Image, Left, Top, Width, Height, L"", Hint, Hint != nullptr };
}

constexpr TFormControl Label(const char* Name, int Left, int Top, int Width, int Height,
    const wchar_t* Text, TFormFont Font = Times11)
{
    return { Name, TFormKind::Label, Left, Top, Width, Height, Text, nullptr, false, Font, InfoBk };
}

constexpr TFormControl FixedLabel(
    const char* Name, int Left, int Top, int Width, int Height, const wchar_t* Text, TFormFont Font)
{
    TFormControl Control = Label(Name, Left, Top, Width, Height, Text, Font);
    Control.Clipped = true;
    return Control;
}

constexpr TFormControl Frame(
    const char* Name, TFormKind Kind, int Left, int Top, int Width, int Height)
{
    return { Name, Kind, Left, Top, Width, Height };
}

constexpr TFormControl Windowed(const char* Name, TFormKind Kind, int Left, int Top, int Width,
    int Height, const wchar_t* Text, TFormFont Font, TFormColor TextColor, TFormColor Face,
    bool Hand = false, const wchar_t* Hint = nullptr, bool TabStop = true,
    std::span<const wchar_t* const> Items = {})
{
    return { Name, Kind, Left, Top, Width, Height, Text, Hint, Hand, Font, TextColor, Face, TabStop,
        false, false, Items };
}

constexpr TFormControl Selected(TFormControl Control)
{
    Control.Checked = true;
    return Control;
}

const TFormControl FormControls[] = {
    Image("BackG", 0, 0, 350, 200, nullptr),
    Image("RecB", 177, 131, 51, 31, L"Record"),
    Image("PauseB", 233, 131, 51, 31, L"Pause"),
    Image("StopB", 289, 131, 51, 31, L"Stop"),
    Image("MinB", 309, 9, 15, 16, L"Minimize"),
    Image("CloseB", 325, 9, 15, 16, L"Close Corvatone"),
    Frame("Bevel1", TFormKind::BoxBevel, 11, 50, 158, 111),
    Frame("Bevel2", TFormKind::LineBevel, 13, 114, 127, 9),
    Label("Label4", 15, 95, 60, 14, L"Sample Rate:"),
    Label("Label5", 15, 78, 108, 14, L"Bits per Sample: 16 bps"),
    Label("Label8", 15, 67, 77, 14, L"Channels: Stereo"),
    Label("Label11", 56, 31, 40, 15, L"Device:", Times13Bold),
    FixedLabel("LabDev", 112, 31, 177, 15, L"Unknown", Times13Bold),
    Frame("Bevel4", TFormKind::BoxBevel, 177, 50, 162, 73),
    Label("Label12", 182, 51, 91, 14, L"Duration in seconds"),
    Label("Label13", 205, 86, 43, 14, L"No Limit"),
    Label("Label14", 205, 70, 35, 14, L"Custom"),
    Frame("Progres", TFormKind::FlatBar, 184, 103, 147, 16),
    Frame("Indicator", TFormKind::FlatBar, 147, 57, 17, 97),
    Label("Label1", 15, 52, 92, 13, L"Audio-In Settings", Times11Headline),
    Label("Label2", 15, 118, 93, 13, L"Mp3-Out Settings", Times11Headline),
    Label("Label3", 63, 140, 15, 14, L"kbs"),
    Windowed("DirOut", TFormKind::FlatEdit, 11, 167, 278, 23, L"", Times13, InfoBk, Grey105),
    Windowed("SaveAs", TFormKind::GradButton, 294, 170, 47, 18, L"Save as", Times13Bold, InfoBk,
        Grey105, true),
    Windowed("SecNoLimit", TFormKind::Radio, 187, 84, 17, 17, L"", Sans11, InfoBk, Plum, true),
    Selected(
        Windowed("SecCustom", TFormKind::Radio, 187, 68, 17, 17, L"", Sans11, InfoBk, Plum, true)),
    Windowed("Secs", TFormKind::SpinEdit, 267, 67, 62, 21, L"10800", Sans11, InfoBk, Grey105, false,
        L"Max: 10800 sec equal to 3 hours"),
    Windowed("KBS", TFormKind::ComboBox, 20, 136, 41, 21, L"128", Sans11, InfoBk, Grey105, false,
        nullptr, true, BitRates),
    Windowed("State", TFormKind::Panel, 80, 135, 64, 23, L"Status", Sans11Bold, Lemon, Grey105,
        false, nullptr, false),
    Windowed("SRate", TFormKind::ComboBox, 81, 92, 56, 21, L"44100", Sans11, InfoBk, Grey105, false,
        nullptr, true, SampleRates),
};

} // namespace

namespace Win32Form {

std::span<const TFormControl> Controls()
{
    return FormControls;
}

size_t IndexOf(const char* Name)
{
    for (size_t Index = 0; Index < std::size(FormControls); ++Index)
        if (std::strcmp(FormControls[Index].Name, Name) == 0)
            return Index;
    throw std::invalid_argument(std::string("The window has no control ") + Name);
}

HFONT CreateFormFont(const TFormFont& Font)
{
    // A negative height asks for the character height.
    HFONT Created = CreateFontW(-Font.Pixels, 0, 0, 0, Font.Bold ? FW_BOLD : FW_NORMAL, FALSE,
        Font.Underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
        DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Font.Family);
    if (!Created)
        throw std::runtime_error("Cannot create the font of the control");
    return Created;
}

const TFormControl& Control(const char* Name)
{
    return FormControls[IndexOf(Name)];
}

} // namespace Win32Form
