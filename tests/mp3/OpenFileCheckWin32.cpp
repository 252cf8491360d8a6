// Windows: an open that shares nothing is refused while any other handle on the file has read or
// write access, whatever sharing that handle allows, so a sharing violation means "open".
#include "OpenFileCheck.h"

#include <windows.h>

#include <stdexcept>

bool FileIsOpen(const std::string& FileName)
{
    const HANDLE File = CreateFileA(
        FileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File != INVALID_HANDLE_VALUE) {
        CloseHandle(File);
        return false;
    }
    const DWORD Error = GetLastError();
    if (Error == ERROR_SHARING_VIOLATION)
        return true;
    if (Error == ERROR_FILE_NOT_FOUND || Error == ERROR_PATH_NOT_FOUND)
        return false;
    throw std::runtime_error(
        "Cannot tell whether \"" + FileName + "\" is open: error " + std::to_string(Error));
}
