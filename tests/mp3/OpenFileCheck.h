// Whether the test's own process still holds a file open, for the checks that a sink has closed
// its file. One implementation file per platform.
#pragma once

#include <string>

// True while this process holds FileName open for reading or writing. Any thread.
bool FileIsOpen(const std::string& FileName);
