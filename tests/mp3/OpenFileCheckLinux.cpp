// Linux: every open descriptor of the process is a link in /proc/self/fd to the file it names.
#include "OpenFileCheck.h"

#include <filesystem>

bool FileIsOpen(const std::string& FileName)
{
    const std::filesystem::path Wanted = std::filesystem::weakly_canonical(FileName);
    for (const auto& Entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code Error;
        const auto Target = std::filesystem::read_symlink(Entry.path(), Error);
        if (!Error && Target == Wanted)
            return true;
    }
    return false;
}
