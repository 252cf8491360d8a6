// The POSIX loader calls that the MP3 tests use, over the Windows loader, so that the same test
// sources build for Windows. On the include path of the Windows test build only.
#pragma once

#include <windows.h>

#include <string>

inline constexpr int RTLD_LOCAL = 0;
inline constexpr int RTLD_NOW = 2;
inline constexpr int RTLD_NOLOAD = 4;

// Opens File (a full path in the tests) with its own folder searched first for its dependencies.
// With RTLD_NOLOAD, only a library that is already loaded is found, and referenced once more.
inline void* dlopen(const char* File, int Mode)
{
    if (Mode & RTLD_NOLOAD) {
        HMODULE Module = nullptr;
        return GetModuleHandleExA(0, File, &Module) ? Module : nullptr;
    }
    return LoadLibraryExA(File, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

inline void* dlsym(void* Handle, const char* Name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(Handle), Name));
}

inline int dlclose(void* Handle)
{
    return FreeLibrary(static_cast<HMODULE>(Handle)) ? 0 : -1;
}

inline const char* dlerror()
{
    thread_local std::string Text;
    Text = "the Windows loader failed with error " + std::to_string(GetLastError());
    return Text.c_str();
}
