#include "FormDescription.h"

#include "RecordSettings.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

constexpr TColor Grey105 = RGB(105, 105, 105);
constexpr TColor Plum = RGB(53, 45, 49);
constexpr TColor Lemon = RGB(255, 255, 128);

TFont FontOf(const char* Family, int Pixels, bool Bold = false, bool Underline = false)
{
    TFont Font;
    Font.Family = Family;
    Font.PixelSize = Pixels;
    Font.Weight = Bold ? TFont::Bold : TFont::Normal;
    Font.Underline = Underline;
    return Font;
}

const TFont Times11 = FontOf("Times New Roman", 11);
const TFont Times11Headline = FontOf("Times New Roman", 11, true, true);
const TFont Times13 = FontOf("Times New Roman", 13);
const TFont Times13Bold = FontOf("Times New Roman", 13, true);
const TFont Sans11 = FontOf("MS Sans Serif", 11);
const TFont Sans11Bold = FontOf("MS Sans Serif", 11, true);

TControlSpec Placed(TControl Id, TControlKind Kind, int Left, int Top, int Width, int Height)
{
    TControlSpec Spec;
    Spec.Id = Id;
    Spec.Kind = Kind;
    Spec.Left = Left;
    Spec.Top = Top;
    Spec.Width = Width;
    Spec.Height = Height;
    Spec.Font = Sans11;
    return Spec;
}

// An image button with its tooltip, the hand pointer and its place in the tab order, after the
// settings.
TControlSpec Button(
    TControl Id, int Left, int Top, int Width, int Height, int TabOrder, const char* Hint)
{
    TControlSpec Spec = Placed(Id, TControlKind::Image, Left, Top, Width, Height);
    Spec.Hint = Hint;
    Spec.HandCursor = true;
    Spec.TabOrder = TabOrder;
    return Spec;
}

TControlSpec TransparentButton(
    TControl Id, int Left, int Top, int Width, int Height, int TabOrder, const char* Hint)
{
    TControlSpec Spec = Button(Id, Left, Top, Width, Height, TabOrder, Hint);
    Spec.Image.Transparent = true;
    return Spec;
}

TControlSpec Background()
{
    TControlSpec Spec
        = Placed(TControl::BackG, TControlKind::Image, 0, 0, Form::ClientWidth, Form::ClientHeight);
    Spec.Image.AutoSize = false;
    return Spec;
}

TControlSpec Label(TControl Id, int Left, int Top, int Width, int Height, const char* Text,
    const TFont& Font = Times11)
{
    TControlSpec Spec = Placed(Id, TControlKind::Label, Left, Top, Width, Height);
    Spec.Text = Text;
    Spec.Font = Font;
    Spec.TextColor = clInfoBk;
    return Spec;
}

TControlSpec FixedLabel(
    TControl Id, int Left, int Top, int Width, int Height, const char* Text, const TFont& Font)
{
    TControlSpec Spec = Label(Id, Left, Top, Width, Height, Text, Font);
    Spec.Clipped = true;
    return Spec;
}

// The device's name, cut to the label's width; a click or a key opens the menu of the inputs.
// It takes the focus after the window's other controls.
TControlSpec InputChooser()
{
    TControlSpec Spec = FixedLabel(TControl::LabDev, 112, 31, 177, 15, "Unknown", Times13Bold);
    Spec.Hint = "Choose the input to record from";
    Spec.HandCursor = true;
    Spec.TabOrder = 13;
    return Spec;
}

TControlSpec Bar(
    TControl Id, TProgressBarOrientation Orientation, int Left, int Top, int Width, int Height)
{
    TControlSpec Spec = Placed(Id, TControlKind::FlatBar, Left, Top, Width, Height);
    Spec.Bar.Orientation = Orientation;
    return Spec;
}

// A control with a window of its own, on the dark grey face of the settings.
TControlSpec Boxed(TControl Id, TControlKind Kind, int Left, int Top, int Width, int Height,
    int TabOrder, const TFont& Font = Sans11)
{
    TControlSpec Spec = Placed(Id, Kind, Left, Top, Width, Height);
    Spec.Font = Font;
    Spec.TextColor = clInfoBk;
    Spec.FaceColor = Grey105;
    Spec.TabOrder = TabOrder;
    return Spec;
}

TControlSpec SaveAsButton()
{
    TControlSpec Spec = Placed(TControl::SaveAs, TControlKind::GradButton, 294, 170, 47, 18);
    Spec.Text = "Save as";
    Spec.HandCursor = true;
    Spec.Font = Times13Bold;
    Spec.TextColor = clInfoBk;
    Spec.TabOrder = 1;
    Spec.Button = { gsVertical, RGB(206, 206, 206), RGB(95, 95, 95), tsInset, stHeavy, clWhite,
        clBlack, RGB(128, 128, 128) };
    return Spec;
}

TControlSpec Radio(TControl Id, int Left, int Top, int TabOrder, bool Checked)
{
    TControlSpec Spec = Placed(Id, TControlKind::Radio, Left, Top, 17, 17);
    Spec.HandCursor = true;
    Spec.FaceColor = Plum;
    Spec.TabOrder = TabOrder;
    Spec.Checked = Checked;
    return Spec;
}

TControlSpec Seconds()
{
    using namespace RecordSettings;
    TControlSpec Spec = Boxed(TControl::Secs, TControlKind::SpinEdit, 267, 67, 62, 21, 4);
    Spec.Text = std::to_string(MaxSeconds);
    Spec.Hint = "Max: " + std::to_string(MaxSeconds) + " sec equal to "
        + std::to_string(MaxSeconds / 3600) + " hours";
    Spec.Spin = { MinSeconds, MaxSeconds, SecondsStep };
    return Spec;
}

TControlSpec List(TControl Id, int Left, int Top, int Width, int TabOrder, std::string Text,
    std::vector<std::string> Items)
{
    TControlSpec Spec = Boxed(Id, TControlKind::ComboBox, Left, Top, Width, 21, TabOrder);
    Spec.Text = std::move(Text);
    Spec.Items = std::move(Items);
    return Spec;
}

// The status panel takes no focus: it has no place in the tab order.
TControlSpec StatePanel()
{
    TControlSpec Spec
        = Boxed(TControl::State, TControlKind::Panel, 80, 135, 64, 23, -1, Sans11Bold);
    Spec.Text = "Status";
    Spec.TextColor = Lemon;
    return Spec;
}

std::vector<TControlSpec> BuildControls()
{
    using enum TControl;
    const std::string SampleRate = "44100";
    return {
        Background(),
        Button(RecB, 177, 131, 51, 31, 8, "Record"),
        Button(PauseB, 233, 131, 51, 31, 9, "Pause"),
        Button(StopB, 289, 131, 51, 31, 10, "Stop"),
        TransparentButton(MinB, 309, 9, 15, 16, 11, "Minimize"),
        TransparentButton(CloseB, 325, 9, 15, 16, 12, "Close Corvatone"),
        Placed(Bevel1, TControlKind::BoxBevel, 11, 50, 158, 111),
        Placed(Bevel2, TControlKind::LineBevel, 13, 114, 127, 9),
        Label(Label4, 15, 95, 60, 14, "Sample Rate:"),
        Label(Label5, 15, 78, 108, 14, "Bits per Sample: 16 bps"),
        Label(Label8, 15, 67, 77, 14, "Channels: Stereo"),
        Label(Label11, 56, 31, 40, 15, "Device:", Times13Bold),
        InputChooser(),
        Placed(Bevel4, TControlKind::BoxBevel, 177, 50, 162, 73),
        Label(Label12, 182, 51, 91, 14, "Duration in seconds"),
        Label(Label13, 205, 86, 43, 14, "No Limit"),
        Label(Label14, 205, 70, 35, 14, "Custom"),
        Bar(Progres, pbHorizontal, 184, 103, 147, 16),
        Bar(Indicator, pbVertical, 147, 57, 17, 97),
        Label(Label1, 15, 52, 92, 13, "Audio-In Settings", Times11Headline),
        Label(Label2, 15, 118, 93, 13, "Mp3-Out Settings", Times11Headline),
        Label(Label3, 63, 140, 15, 14, "kbs"),
        Boxed(DirOut, TControlKind::FlatEdit, 11, 167, 278, 23, 0, Times13),
        SaveAsButton(),
        Radio(SecNoLimit, 187, 84, 2, false),
        Radio(SecCustom, 187, 68, 3, true),
        Seconds(),
        List(KBS, 20, 136, 41, 5, "128", RecordSettings::BitRateList(SampleRate)),
        StatePanel(),
        List(SRate, 81, 92, 56, 7, SampleRate, RecordSettings::SampleRateList()),
    };
}

// A label's text as the name of the control it labels: "Sample Rate:" names "Sample Rate".
std::string NameFromLabel(const std::string& Text)
{
    const size_t End = Text.find_last_not_of(": ");
    return End == std::string::npos ? std::string() : Text.substr(0, End + 1);
}

TControlSpec& Find(std::vector<TControlSpec>& Controls, TControl Id)
{
    for (TControlSpec& Spec : Controls)
        if (Spec.Id == Id)
            return Spec;
    throw std::logic_error(std::string("The form has no control ") + ControlName(Id));
}

// What assistive tools are told of each control. A name comes, in this order, from the row,
// from the painted label beside the control, from the tooltip (the image buttons) or from the
// control's own text (Save as); the input chooser (after its prefix) and the status panel are
// named by what they show at the time. The description is the heading of the control's group, or
// the device label's own label.
struct TAccessibleRow {
    TControl Id;
    TAccessibleRole Role;
    const char* Name = nullptr;
    std::optional<TControl> LabelledBy = std::nullopt;
    std::optional<TControl> Group = std::nullopt;
    bool Announced = false;
    const char* NamePrefix = "";
};

void DescribeForAssistiveTools(std::vector<TControlSpec>& Controls)
{
    using enum TControl;
    using enum TAccessibleRole;
    const TAccessibleRow Rows[] = {
        { RecB, PushButton },
        { PauseB, PushButton },
        { StopB, PushButton },
        { MinB, PushButton },
        { CloseB, PushButton },
        { LabDev, MenuButton, "", Label11, std::nullopt, false, "Input: " },
        { Progres, ProgressBar, "Recording progress", std::nullopt, Label12 },
        { Indicator, ProgressBar, "Input level", std::nullopt, Label1 },
        { DirOut, Text, "Output file", std::nullopt, Label2 },
        { SaveAs, PushButton, nullptr, std::nullopt, Label2 },
        { SecNoLimit, RadioButton, nullptr, Label13, Label12 },
        { SecCustom, RadioButton, nullptr, Label14, Label12 },
        { Secs, SpinBox, nullptr, Label12 },
        { KBS, ComboBox, nullptr, Label3, Label2 },
        { SRate, ComboBox, nullptr, Label4, Label1 },
        { State, StatusBar, "", std::nullopt, std::nullopt, true },
    };
    for (const TAccessibleRow& Row : Rows) {
        TControlSpec& Spec = Find(Controls, Row.Id);
        TAccessibility& Accessible = Spec.Accessible;
        Accessible.Role = Row.Role;
        Accessible.LabelledBy = Row.LabelledBy;
        Accessible.Announced = Row.Announced;
        Accessible.NamePrefix = Row.NamePrefix;
        const std::string Labelled
            = Row.LabelledBy ? NameFromLabel(Find(Controls, *Row.LabelledBy).Text) : "";
        if (Row.Name)
            Accessible.Name = Row.Name;
        else if (!Labelled.empty())
            Accessible.Name = Labelled;
        else
            Accessible.Name = Spec.Hint.empty() ? Spec.Text : Spec.Hint;
        if (Row.Group)
            Accessible.Description = Find(Controls, *Row.Group).Text;
        else if (Row.Name && !Labelled.empty())
            Accessible.Description = Labelled;
    }
}

const std::vector<TControlSpec>& Table()
{
    static const std::vector<TControlSpec> Controls = [] {
        std::vector<TControlSpec> Built = BuildControls();
        DescribeForAssistiveTools(Built);
        return Built;
    }();
    return Controls;
}

} // namespace

namespace Form {

TFont DefaultFont()
{
    return Sans11;
}

std::span<const TControlSpec> Controls()
{
    return Table();
}

size_t IndexOf(TControl Control)
{
    const auto& Controls = Table();
    const auto Found = std::find_if(Controls.begin(), Controls.end(),
        [Control](const TControlSpec& Spec) { return Spec.Id == Control; });
    if (Found == Controls.end())
        throw std::logic_error(std::string("The form has no control ") + ControlName(Control));
    return static_cast<size_t>(Found - Controls.begin());
}

const TControlSpec& Spec(TControl Control)
{
    return Table()[IndexOf(Control)];
}

std::vector<TControl> TabOrder()
{
    std::vector<const TControlSpec*> Stops;
    for (const TControlSpec& Spec : Table())
        if (Spec.TabOrder >= 0)
            Stops.push_back(&Spec);
    std::sort(Stops.begin(), Stops.end(),
        [](const TControlSpec* A, const TControlSpec* B) { return A->TabOrder < B->TabOrder; });
    std::vector<TControl> Order;
    for (const TControlSpec* Spec : Stops)
        Order.push_back(Spec->Id);
    return Order;
}

bool IsTabStop(const TControlSpec& Spec, bool Checked)
{
    return Spec.TabOrder >= 0 && (Spec.Kind != TControlKind::Radio || Checked);
}

std::vector<TControl> AccessibleControls()
{
    std::vector<TControl> Found;
    for (const TControlSpec& Spec : Table())
        if (Spec.Accessible.Role != TAccessibleRole::None)
            Found.push_back(Spec.Id);
    return Found;
}

std::string AccessibleName(const TControlSpec& Spec, const std::string& Text)
{
    return Spec.Accessible.Name.empty() ? Spec.Accessible.NamePrefix + Text : Spec.Accessible.Name;
}

bool ReportsMouse(const TControlSpec& Spec)
{
    return Spec.Kind == TControlKind::Image
        || (Spec.Kind == TControlKind::Label && Spec.TabOrder >= 0);
}

bool HasWindow(TControlKind Kind)
{
    switch (Kind) {
    case TControlKind::FlatEdit:
    case TControlKind::GradButton:
    case TControlKind::Radio:
    case TControlKind::SpinEdit:
    case TControlKind::ComboBox:
    case TControlKind::Panel:
        return true;
    default:
        return false;
    }
}

std::vector<TControl> WindowCreationOrder()
{
    std::vector<TControl> Order;
    for (TControl Stop : TabOrder())
        if (HasWindow(Spec(Stop).Kind))
            Order.push_back(Stop);
    for (const TControlSpec& Control : Table())
        if (HasWindow(Control.Kind) && Control.TabOrder < 0)
            Order.push_back(Control.Id);
    return Order;
}

void ApplyBarLook(TFlatProgressBarCore& Core, const TControlSpec& Spec)
{
    Core.SetOrientation(Spec.Bar.Orientation);
    Core.SetMin(Spec.Bar.Min);
    Core.SetMax(Spec.Bar.Max);
    Core.SetStep(Spec.Bar.Step);
    Core.SetSmooth(Spec.Bar.Smooth);
    Core.SetColorElement(Spec.Bar.Element);
}

void ApplyButtonLook(TGradBtnCore& Core, const TControlSpec& Spec)
{
    const TButtonLook& Look = Spec.Button;
    Core.SetGradientStyle(Look.Gradient);
    Core.SetBeginColor(Look.BeginColor);
    Core.SetEndColor(Look.EndColor);
    Core.SetTextStyle(Look.TextStyle);
    Core.SetTextShadeType(Look.TextShade);
    Core.SetBtnHiliteClr(Look.FrameHighlight);
    Core.SetBtnShadowClr(Look.FrameShadow);
    Core.SetDisabledColor(Look.DisabledColor);
    Core.SetFontColor(Spec.TextColor.value_or(Form::TextColor));
}

} // namespace Form
