// <windows.h> for the Win32 front end. It defines RGB, GetRValue, GetGValue, GetBValue and
// TextOut as macros, which the widgets use as names of their own: the widgets' headers that
// declare them come first, and TextOut, the canvas's operation here, is released again. Every
// Win32 file of the front end takes <windows.h> through this header.
#pragma once

#include "Canvas.h"
#include "Colors.h"

#include <windows.h>

#undef TextOut
