// Helpers for the tests of where the Windows loader looks for the encoder library: folders of
// the test's own that hold a copy of a fake encoder as "lame_enc.dll".
#pragma once

#include "LibrarySearchWin32.h"

#include <windows.h>

#include <filesystem>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace Win32LoaderTest {

// The full path of the file a loaded module came from.
inline std::filesystem::path ModulePath(HMODULE Module)
{
    char Path[MAX_PATH * 4] = {};
    const DWORD Length = GetModuleFileNameA(Module, Path, sizeof Path);
    return std::filesystem::path(std::string(Path, Length));
}

inline bool SameFolder(const std::filesystem::path& A, const std::filesystem::path& B)
{
    return std::filesystem::equivalent(A, B);
}

// A folder of the test's own holding a copy of Library as "lame_enc.dll", removed afterwards.
// Everything loaded from it must be released first: Windows keeps a loaded file.
class TPlantedLibrary {
public:
    explicit TPlantedLibrary(const std::string& Library, const std::string& Purpose)
    {
        const auto* Info = testing::UnitTest::GetInstance()->current_test_info();
        FFolder = std::filesystem::temp_directory_path()
            / ("corvatone-" + Purpose + "-" + std::to_string(GetCurrentProcessId()) + "-"
                + Info->name());
        std::filesystem::remove_all(FFolder);
        std::filesystem::create_directories(FFolder);
        std::filesystem::copy_file(Library, FFolder / "lame_enc.dll");
    }
    ~TPlantedLibrary()
    {
        std::error_code Ignored; // a leftover folder in the temporary directory harms nothing
        std::filesystem::remove_all(FFolder, Ignored);
    }
    const std::filesystem::path& Folder() const { return FFolder; }

private:
    std::filesystem::path FFolder;
};

// Makes a planted folder the current directory while it lives.
class TCurrentDirectory {
public:
    explicit TCurrentDirectory(const std::filesystem::path& Folder)
        : FPrevious(std::filesystem::current_path())
    {
        std::filesystem::current_path(Folder);
    }
    ~TCurrentDirectory() { std::filesystem::current_path(FPrevious); }

private:
    std::filesystem::path FPrevious;
};

// Puts a planted folder in front of the PATH while it lives.
class TPathFront {
public:
    explicit TPathFront(const std::filesystem::path& Folder)
    {
        char Old[32768] = {};
        const DWORD Length = GetEnvironmentVariableA("PATH", Old, sizeof Old);
        FPrevious.assign(Old, Length < sizeof Old ? Length : 0);
        SetEnvironmentVariableA("PATH", (Folder.string() + ";" + FPrevious).c_str());
    }
    ~TPathFront() { SetEnvironmentVariableA("PATH", FPrevious.c_str()); }

private:
    std::string FPrevious;
};

// The two searches of the loader, so that the one for old systems is tried on new ones too.
struct TSearch {
    const char* Name;
    HMODULE (*Open)(const std::string& Name);
};

inline const TSearch Searches[] = {
    { "DefaultDirs", &lame::Loader::Win32::OpenFromDefaultDirs },
    { "ApplicationOrSystemFolder", &lame::Loader::Win32::OpenFromApplicationOrSystemFolder },
};

inline std::string SearchName(const testing::TestParamInfo<TSearch>& Info)
{
    return Info.param.Name;
}

// Names the search in test listings rather than printing its bytes.
inline void PrintTo(const TSearch& Search, std::ostream* Out)
{
    *Out << Search.Name;
}

} // namespace Win32LoaderTest
