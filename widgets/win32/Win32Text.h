// Text between the shared code, which holds UTF-8, and the Win32 API, which takes UTF-16.
//
// Any thread.
#pragma once

#include <string>
#include <string_view>

// Raises std::runtime_error when Text is not valid UTF-8.
std::wstring WideFromUtf8(std::string_view Text);
// For showing: Text with anything that is not valid UTF-8 replaced by U+FFFD; never raises.
std::wstring DisplayText(std::string_view Text);
// Raises std::runtime_error when Text is not valid UTF-16 (a lone surrogate).
std::string Utf8FromWide(std::wstring_view Text);
// The system's text for an error code of GetLastError, without its line end; "error N" when the
// system has none.
std::string SystemErrorText(unsigned long Code);
