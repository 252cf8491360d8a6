// Shared libraries through the Windows loader: "lame_enc.dll" from the application's folder or
// the system folders.
//
// The system's standard search order (LoadLibraryExA with flags 0) would also try the current
// directory and every folder of the PATH. The current directory is wherever the recorder was
// started from, or where a file dialog last went, so a "lame_enc.dll" planted there would run
// inside the recorder. The search is therefore restricted to the folders that only an
// installation writes to; a library shipped beside the executable still loads.
#include "LibraryLoader.h"
#include "LibrarySearchWin32.h"

#include <vector>

namespace lame::Loader {

namespace Win32 {

namespace {

bool HasFolder(const std::string& FileName)
{
    return FileName.find_first_of("\\/:") != std::string::npos;
}

HMODULE OpenFullPath(const std::string& Path)
{
    return LoadLibraryExA(Path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

std::string SystemFolder()
{
    char Folder[MAX_PATH];
    const UINT Length = GetSystemDirectoryA(Folder, MAX_PATH);
    if (Length == 0 || Length >= MAX_PATH)
        return {};
    return std::string(Folder, Length);
}

} // namespace

bool SearchFlagsSupported()
{
    const HMODULE Kernel = GetModuleHandleA("kernel32.dll");
    return Kernel != nullptr && GetProcAddress(Kernel, "AddDllDirectory") != nullptr;
}

HMODULE OpenFromDefaultDirs(const std::string& Name)
{
    return LoadLibraryExA(Name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
}

HMODULE OpenFromApplicationOrSystemFolder(const std::string& Name)
{
    for (const std::string& Folder : { ApplicationFolder(), SystemFolder() }) {
        if (Folder.empty())
            continue;
        if (HMODULE Library = OpenFullPath(Folder + "\\" + Name))
            return Library;
    }
    return nullptr;
}

std::string ApplicationFolder()
{
    // Paths may be longer than MAX_PATH; the buffer grows until the name fits.
    std::vector<char> Path(MAX_PATH);
    for (;;) {
        const DWORD Length = GetModuleFileNameA(nullptr, Path.data(), DWORD(Path.size()));
        if (Length == 0)
            return {};
        if (Length < Path.size()) {
            const std::string File(Path.data(), Length);
            const size_t Separator = File.find_last_of("\\/");
            return Separator == std::string::npos ? std::string() : File.substr(0, Separator);
        }
        if (Path.size() >= 32768)
            return {};
        Path.resize(Path.size() * 2);
    }
}

} // namespace Win32

const char* EncoderLibraryFileName()
{
    return "lame_enc.dll";
}

void* OpenLibrary(const std::string& FileName)
{
    // A name with a folder in it (the tests' fake libraries) is opened from that folder only.
    HMODULE Library;
    if (Win32::HasFolder(FileName))
        Library = Win32::OpenFullPath(FileName);
    else if (Win32::SearchFlagsSupported())
        Library = Win32::OpenFromDefaultDirs(FileName);
    else
        Library = Win32::OpenFromApplicationOrSystemFolder(FileName);
    return reinterpret_cast<void*>(Library);
}

void* FindEntryPoint(void* Library, const char* Name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(Library), Name));
}

void CloseLibrary(void* Library)
{
    FreeLibrary(static_cast<HMODULE>(Library));
}

} // namespace lame::Loader
