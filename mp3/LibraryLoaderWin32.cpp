// Shared libraries through the Windows loader: "lame_enc.dll" in the system's standard search
// order for libraries (no file handle, flags 0).
#include "LibraryLoader.h"

#include <windows.h>

namespace lame::Loader {

const char* EncoderLibraryFileName() { return "lame_enc.dll"; }

void* OpenLibrary(const std::string& FileName)
{
    return reinterpret_cast<void*>(LoadLibraryExA(FileName.c_str(), nullptr, 0));
}

void* FindEntryPoint(void* Library, const char* Name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(Library), Name));
}

void CloseLibrary(void* Library) { FreeLibrary(static_cast<HMODULE>(Library)); }

}  // namespace lame::Loader
