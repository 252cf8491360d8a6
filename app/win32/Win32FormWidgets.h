// The form's description (FormDescription.h) in the Win32 API's terms: a control's rectangle, a
// colour resolved now, and the self-drawn controls set up as the form stores them: the two flat
// bars and the gradient button Save as.
//
// GUI thread only (system colours may change with the colour scheme).
#pragma once

#include "FormDescription.h"
#include "Win32Api.h"
#include "Win32FlatBar.h"
#include "Win32GradBtn.h"

#include <memory>

// The control's rectangle in the form, in client coordinates.
RECT BoundsOf(const TControlSpec& Spec);
// Plain RGB for a colour of the form; a system colour's present value.
COLORREF ColorRefOf(TColor Color);

std::unique_ptr<TWin32FlatBar> CreateFormBar(HWND Parent, const TControlSpec& Spec);
// The Save as button with its look, caption and font; Style adds window styles.
std::unique_ptr<TWin32GradBtn> CreateFormButton(
    HWND Parent, int Id, const TControlSpec& Spec, DWORD Style);
