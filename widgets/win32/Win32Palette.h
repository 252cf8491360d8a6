// The system colours of Windows as the widgets resolve them.
//
// GUI thread (the values can change with the system's colour scheme).
#pragma once

#include "SystemPalette.h"

// GetSysColor of every system colour index the widgets know.
TSystemPalette Win32SystemPalette();
