// A debug log of the capture's timings, for measuring rather than for users: off unless the
// environment variable CORVATONE_DEBUG_LOG is set (to anything), then one line per event on
// standard error, stamped with the milliseconds of the steady clock since the log's first use.
#pragma once

#include <string>

// Whether the log is on; read once. Any thread.
bool DebugLogOn();
// Writes one stamped line when the log is on. Any thread; does not allocate when it is off.
void DebugLog(const char* Event);
void DebugLog(const std::string& Event);
