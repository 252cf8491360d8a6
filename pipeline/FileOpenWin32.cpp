#include "FileOpen.h"

#include <share.h>
#include <stdio.h>

std::FILE* CreateFileForWriting(const std::filesystem::path& Path)
{
    // By its UTF-16 name, and denying other openers reading and writing while it is open.
    return _wfsopen(Path.c_str(), L"w+b", _SH_DENYRW);
}
