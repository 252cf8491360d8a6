#include "FileOpen.h"

std::FILE* CreateFileForWriting(const std::filesystem::path& Path)
{
    return std::fopen(Path.c_str(), "w+b");
}
