// Opening a file by a name that may hold any Unicode letter: one file per platform, picked by
// CMake. POSIX passes the name's UTF-8 bytes to the system; Windows passes it as UTF-16 (the
// byte-string calls there would read it in the local code page and lose letters outside it).
#pragma once

#include <cstdio>
#include <filesystem>

// Creates (or truncates) the file at Path for reading and writing, not shared with other
// openers where the platform can refuse them. Null on failure, with errno set.
std::FILE* CreateFileForWriting(const std::filesystem::path& Path);
