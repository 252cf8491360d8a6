// The main window's form: every control's kind, place, size, text, font, colours, tab order,
// tooltip, pointer, starting state and list entries, and the window's own caption, size, font and
// colours. It is the only description of the layout; each front end builds its controls from it
// (app/qt/FormWidgets.h, app/win32/Win32MainFormChildren.cpp), and the form's tests compare what
// they built with it. Limits, steps and lists come from RecordSettings.
//
// Coordinates and sizes are pixels of the client area; font sizes are character heights in
// pixels. Colours are TColor values, system colours included (resolved when drawn).
//
// Any thread: the table is built once, on first use, and never changes.
#pragma once

#include "Canvas.h"
#include "FlatProgressBarCore.h"
#include "GradBtnCore.h"
#include "MainWindow.h"
#include "SpinEditCore.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

enum class TControlKind {
    Image, // picture read from a skin file; reports the mouse
    Label, // text on a transparent background
    BoxBevel, // lowered box frame
    LineBevel, // lowered line along the top edge
    FlatBar, // self-drawn flat progress bar
    FlatEdit, // read-only single-line text box without a frame
    GradButton, // self-drawn push button with a gradient face
    Radio, // radio button without text
    SpinEdit, // whole-number text box with arrows
    ComboBox, // drop-down list with editable text
    Panel, // text centred in a lowered inner bevel
};

// What assistive tools (screen readers) are told a control is. None: the control is decoration,
// or a painted label whose text names another control and is read with it.
enum class TAccessibleRole {
    None,
    PushButton,
    MenuButton, // a button that opens a menu of choices (the input chooser)
    RadioButton,
    SpinBox, // a whole-number text with arrows
    ComboBox, // a drop-down list with editable text
    Text, // a read-only single-line text
    Label, // static text
    ProgressBar, // a value within a range
    StatusBar, // a panel whose text tells the recorder's state
};

struct TAccessibility {
    TAccessibleRole Role = TAccessibleRole::None;
    // What the control is called. Empty: its name is the text it shows at the time (the input
    // chooser, the status panel), after NamePrefix.
    std::string Name;
    std::string NamePrefix;
    // The painted label that names the control, when one does.
    std::optional<TControl> LabelledBy;
    // What the control belongs to: the heading of its group, or what its name's label says.
    std::string Description;
    // Changes of its text are announced as they happen.
    bool Announced = false;
};

// The image controls' sizing and drawing.
struct TImageLook {
    bool AutoSize = true; // takes its picture's size; the background keeps its own
    bool Transparent = false; // a picture without alpha is drawn without its bottom-left colour
};

struct TBarLook {
    TProgressBarOrientation Orientation = pbHorizontal;
    int Min = 0;
    int Max = 100;
    int Step = 1;
    bool Smooth = true;
    TColor Element = clBackground; // the filled part
};

struct TButtonLook {
    TGradientStyle Gradient = gsVertical;
    TColor BeginColor = 0;
    TColor EndColor = 0;
    TTextStyle TextStyle = tsNormal;
    TShadeType TextShade = stLight;
    TColor FrameHighlight = clWhite;
    TColor FrameShadow = clBlack;
    TColor DisabledColor = 0;
};

struct TControlSpec {
    TControl Id = TControl::BackG;
    TControlKind Kind = TControlKind::Label;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    std::string Text;
    std::string Hint; // tooltip; empty shows none
    bool HandCursor = false;
    TFont Font;
    // Unset: the window's (Form::TextColor, Form::FaceColor); a label never paints a face.
    std::optional<TColor> TextColor;
    std::optional<TColor> FaceColor;
    // Place in the tab order: the controls with a window, then the image buttons, then the input
    // chooser; -1 for none.
    int TabOrder = -1;
    bool Checked = false; // a radio button selected at start
    bool Clipped = false; // a label of fixed size clips its text; the others draw it whole
    std::vector<std::string> Items; // a drop-down list's entries
    TImageLook Image;
    TBarLook Bar;
    TButtonLook Button;
    TSpinRange Spin;
    TAccessibility Accessible;
};

namespace Form {

inline constexpr const char* Caption = "Corvatone v 1.00";
inline constexpr int ClientWidth = 350;
inline constexpr int ClientHeight = 200;
// The window's face, hidden by the background picture once it is read, and its default text.
inline constexpr TColor FaceColor = clBtnFace;
inline constexpr TColor TextColor = clWindowText;
// The control that has the keyboard focus at start.
inline constexpr TControl ActiveControl = TControl::SaveAs;

// The window's default font.
TFont DefaultFont();

// Each family the form's fonts name, with the family of the same metrics that stands in for it
// where the system lacks it (a Linux desktop).
struct TFontSubstitute {
    const char* Family;
    const char* Substitute;
};
inline constexpr TFontSubstitute FontSubstitutes[] = {
    { "MS Sans Serif", "Liberation Sans" },
    { "Times New Roman", "Liberation Serif" },
};

// Every control, in the order the window stacks them: the first lies lowest. The windowless
// ones are drawn in this order; the controls with a window lie above them all.
std::span<const TControlSpec> Controls();
// The control's entry.
const TControlSpec& Spec(TControl Control);
// Its place in Controls().
size_t IndexOf(TControl Control);
// The controls that take part in the tab order, in that order.
std::vector<TControl> TabOrder();

// Whether Tab stops at the control. A radio button is a stop while it is checked: its group has
// one stop, and the arrow keys move the choice inside the group.
bool IsTabStop(const TControlSpec& Spec, bool Checked);

// The controls that assistive tools are told about (a role other than None), in the form's order.
std::vector<TControl> AccessibleControls();
// The name a screen reader gives the control when it shows Text.
std::string AccessibleName(const TControlSpec& Spec, const std::string& Text);
// Whether the control takes the mouse by the image controls' rules (ImageMouse.h): the images,
// and a label in the tab order, which is pressed and clicked as a button is.
bool ReportsMouse(const TControlSpec& Spec);

// Whether the control is a window of its own (a text box, button, list or panel) rather than
// drawn on the form.
bool HasWindow(TControlKind Kind);
// The controls with a window of their own in the order a window system that takes its tab order
// from the order of creation makes them: the tab stops in tab order, then the others.
std::vector<TControl> WindowCreationOrder();

// Sets a flat bar's or the gradient button's core up as the form stores it; the button's text and
// font are set by the front end with the control's other texts and fonts.
void ApplyBarLook(TFlatProgressBarCore& Core, const TControlSpec& Spec);
void ApplyButtonLook(TGradBtnCore& Core, const TControlSpec& Spec);

} // namespace Form
