// The window's settings kept between starts: a small UTF-8 text file, "settings", of key=value
// lines in the settings folder of the user ($XDG_CONFIG_HOME/corvatone, by default
// ~/.config/corvatone, on Linux; %APPDATA%\Corvatone on Windows).
//
// A file that is missing, cannot be read, is not valid UTF-8, holds a line that is not a
// key=value pair or a comment ("#"), or is larger than any such file would be, reads as no
// values at all, so that the program starts as it does the first time. A write never leaves a
// partial file: the values go into a temporary file of the folder, which then replaces the old
// file at once (a rename over it), and the old file stays as it was when anything fails.
//
// Threads: GUI thread; reading and writing block briefly on the disk.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

using TSettingValues = std::map<std::string, std::string>;

class TSettingsFile {
public:
    // The file's name in its folder.
    static constexpr const char* FileName = "settings";
    // Larger files are not read: a settings file holds a few short lines.
    static constexpr std::uintmax_t MaxBytes = 64 * 1024;

    explicit TSettingsFile(std::filesystem::path Folder);

    const std::filesystem::path& Path() const { return FPath; }
    // The values kept; none when the file is missing, unreadable or damaged. Never raises.
    TSettingValues Read() const;
    // Replaces the file with Values, creating the folder when it is missing. Keys are words of
    // letters; values are one line each. Raises std::runtime_error naming the file and the
    // reason when it cannot be written; the old file is then left whole.
    void Write(const TSettingValues& Values) const;

private:
    std::filesystem::path FPath;
};

// The text of Values as the file holds it, and the values of such a text (nothing when the text
// is damaged, as above).
std::string SettingsText(const TSettingValues& Values);
TSettingValues ParseSettings(const std::string& Text);

// The settings folder in force: the one that UseSettingsFolder set, else the platform's.
std::filesystem::path SettingsFolder();
// Makes Folder the settings folder of the process (tests keep their settings apart with it).
void UseSettingsFolder(std::filesystem::path Folder);

// The platform's parts, one file per platform (SettingsPlacePosix.cpp, SettingsPlaceWin32.cpp):
// the user's settings folder of this program, and the replacement of a file by another of the
// same folder in one step. ReplaceByRename raises std::runtime_error saying why it failed.
std::filesystem::path PlatformSettingsFolder();
void ReplaceByRename(const std::filesystem::path& From, const std::filesystem::path& To);
