// Where the settings live on Windows, and their replacement in one step.
#include "SettingsFile.h"

#include <windows.h>

#include <stdexcept>
#include <string>

namespace {

std::string SystemMessage(DWORD Error)
{
    char* Text = nullptr;
    const DWORD Length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, Error, 0, reinterpret_cast<char*>(&Text), 0, nullptr);
    std::string Message = Length ? std::string(Text, Length) : "error " + std::to_string(Error);
    LocalFree(Text);
    while (!Message.empty() && (Message.back() == '\n' || Message.back() == '\r'))
        Message.pop_back();
    return Message;
}

} // namespace

std::filesystem::path PlatformSettingsFolder()
{
    // Read as UTF-16, so that a user name outside the code page is kept.
    const wchar_t* AppData = _wgetenv(L"APPDATA");
    if (!AppData || AppData[0] == L'\0')
        throw std::runtime_error("The application data folder is not known (APPDATA is not set)");
    return std::filesystem::path(AppData) / L"Corvatone";
}

void ReplaceByRename(const std::filesystem::path& From, const std::filesystem::path& To)
{
    if (!MoveFileExW(From.c_str(), To.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw std::runtime_error(SystemMessage(GetLastError()));
}
