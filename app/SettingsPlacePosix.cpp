// Where the settings live on Linux and other POSIX systems, and their replacement in one step.
#include "SettingsFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

std::filesystem::path PlatformSettingsFolder()
{
    // As the desktop does: an unset, empty or relative XDG_CONFIG_HOME stands for ~/.config.
    const char* Config = std::getenv("XDG_CONFIG_HOME");
    if (Config && Config[0] == '/')
        return std::filesystem::path(Config) / "corvatone";
    const char* Home = std::getenv("HOME");
    if (!Home || Home[0] == '\0')
        throw std::runtime_error("The home folder is not known (HOME is not set)");
    return std::filesystem::path(Home) / ".config" / "corvatone";
}

void ReplaceByRename(const std::filesystem::path& From, const std::filesystem::path& To)
{
    // rename replaces To at once: a reader sees the old file or the new one, never a part.
    if (std::rename(From.c_str(), To.c_str()) != 0)
        throw std::runtime_error(std::strerror(errno));
}
