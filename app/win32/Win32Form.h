// The main window's layout on Win32: every control with its kind, place, text, tooltip, font and
// colours, in the order the window draws them (the windowless controls) and tabs through them
// (the controls with a window of their own, created in this order).
//
// Plain data; any thread.
#pragma once

#include "Win32Api.h"

#include <span>

enum class TFormKind {
    Image, // windowless picture that reports the mouse
    Label, // windowless text, transparent background
    BoxBevel, // windowless lowered box frame
    LineBevel, // windowless lowered line along the top edge
    FlatBar, // windowless self-drawn flat progress bar
    FlatEdit, // read-only single-line text box without a frame
    GradButton, // self-drawn gradient push button
    Radio, // radio button without text
    SpinEdit, // whole-number text box with arrows
    ComboBox, // drop-down list with editable text
    Panel, // text centred in a lowered inner bevel
};

// A colour of the form: a system colour (its GetSysColor index) or a fixed one.
struct TFormColor {
    int SystemIndex = -1;
    COLORREF Fixed = 0;
    COLORREF Resolve() const { return SystemIndex >= 0 ? GetSysColor(SystemIndex) : Fixed; }
};

struct TFormFont {
    const wchar_t* Family = L"MS Sans Serif";
    int Pixels = 11; // character height
    bool Bold = false;
    bool Underline = false;
};

struct TFormControl {
    const char* Name;
    TFormKind Kind;
    int Left;
    int Top;
    int Width;
    int Height;
    const wchar_t* Text = L"";
    const wchar_t* Hint = nullptr; // tooltip
    bool HandCursor = false;
    TFormFont Font = {};
    TFormColor TextColor = { COLOR_WINDOWTEXT, 0 };
    // The background of a control with a face; ignored by transparent ones.
    TFormColor FaceColor = { COLOR_BTNFACE, 0 };
    bool TabStop = false;
    // A radio button selected at start.
    bool Checked = false;
    // A label of fixed size clips its text to its rectangle; the others show it whole.
    bool Clipped = false;
    // The entries of a drop-down list.
    std::span<const wchar_t* const> Items = {};

    RECT Bounds() const { return RECT{ Left, Top, Left + Width, Top + Height }; }
};

namespace Win32Form {

inline constexpr const wchar_t* Caption = L"Corvatone v 1.00";
inline constexpr int ClientWidth = 350;
inline constexpr int ClientHeight = 200;
// The window's own face, hidden by the background picture when it is read.
inline constexpr TFormColor Face = { COLOR_BTNFACE, 0 };
// The control that has the keyboard focus at start.
inline constexpr const char* ActiveControl = "SaveAs";

// Spin box Secs: its limits and step.
inline constexpr int SecsMin = 5;
inline constexpr int SecsMax = 10800;
inline constexpr int SecsStep = 5;

std::span<const TFormControl> Controls();
// The control of that name; raises std::invalid_argument when the layout has none.
const TFormControl& Control(const char* Name);
// Its index in Controls().
size_t IndexOf(const char* Name);
// A GDI font for Font, owned by the caller; raises when the system cannot make it.
HFONT CreateFormFont(const TFormFont& Font);

} // namespace Win32Form
