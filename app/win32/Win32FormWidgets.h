// The form's self-drawn controls, set up as the layout stores them: the two flat bars and the
// gradient button Save as.
//
// GUI thread only.
#pragma once

#include "Win32FlatBar.h"
#include "Win32Form.h"
#include "Win32GradBtn.h"

#include <memory>

// A smooth bar from 0 to 100 in the desktop's colour; vertical when the layout gives it a
// standing shape.
std::unique_ptr<TWin32FlatBar> CreateFormBar(HWND Parent, const TFormControl& Spec);
// The Save as button with its gradient, frame, caption and font; Style adds window styles.
std::unique_ptr<TWin32GradBtn> CreateFormButton(
    HWND Parent, int Id, const TFormControl& Spec, DWORD Style);
