// Where the Windows loader of LibraryLoaderWin32.cpp looks for a library given by bare name:
// the application's folder and the system folders, never the current directory or the PATH.
// Its two ways of doing so are open to the tests, so that both can be exercised on one system.
//
// Threads: any thread; the calls block only in the system's loader.
#pragma once

#include <windows.h>

#include <string>

namespace lame::Loader::Win32 {

// True when the loader takes the LOAD_LIBRARY_SEARCH_* flags (every Windows since 8, and Vista
// or 7 with update KB2533623); Microsoft documents AddDllDirectory's presence as the sign.
bool SearchFlagsSupported();

// Opens Name with LOAD_LIBRARY_SEARCH_DEFAULT_DIRS: the application's folder, the folders added
// with AddDllDirectory and System32. Null when it is in none of them (or the flag is unknown).
HMODULE OpenFromDefaultDirs(const std::string& Name);

// For loaders without the flags: the full path of Name in the application's folder, then in the
// system folder, each with LOAD_WITH_ALTERED_SEARCH_PATH so that the library's own dependencies
// are looked for beside it first. Null when it is in neither.
HMODULE OpenFromApplicationOrSystemFolder(const std::string& Name);

// The folder of the running executable, without a trailing separator; empty if unknown.
std::string ApplicationFolder();

} // namespace lame::Loader::Win32
