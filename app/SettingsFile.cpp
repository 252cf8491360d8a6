#include "SettingsFile.h"

#include <cstdint>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace {

// Strict UTF-8: no stray or missing continuation bytes, no overlong forms, no surrogates.
bool IsUtf8(const std::string& Text)
{
    size_t N = 0;
    while (N < Text.size()) {
        const auto Lead = static_cast<unsigned char>(Text[N]);
        size_t Length = 1;
        uint32_t Code = Lead;
        if (Lead >= 0x80) {
            if (Lead >= 0xC2 && Lead <= 0xDF)
                Length = 2, Code = Lead & 0x1Fu;
            else if (Lead >= 0xE0 && Lead <= 0xEF)
                Length = 3, Code = Lead & 0x0Fu;
            else if (Lead >= 0xF0 && Lead <= 0xF4)
                Length = 4, Code = Lead & 0x07u;
            else
                return false;
            if (N + Length > Text.size())
                return false;
            for (size_t K = 1; K < Length; ++K) {
                const auto Next = static_cast<unsigned char>(Text[N + K]);
                if ((Next & 0xC0) != 0x80)
                    return false;
                Code = (Code << 6) | (Next & 0x3Fu);
            }
            constexpr uint32_t Least[] = { 0, 0, 0x80, 0x800, 0x10000 };
            if (Code < Least[Length] || Code > 0x10FFFF || (Code >= 0xD800 && Code <= 0xDFFF))
                return false;
        }
        N += Length;
    }
    return true;
}

std::string PathText(const std::filesystem::path& Path)
{
    const std::u8string Text = Path.u8string();
    return std::string(Text.begin(), Text.end());
}

bool IsKey(const std::string& Key)
{
    if (Key.empty())
        return false;
    for (const char C : Key)
        if (!((C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z')))
            return false;
    return true;
}

bool IsValue(const std::string& Value)
{
    return Value.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

std::mutex FolderMutex;
std::optional<std::filesystem::path> ChosenFolder;

} // namespace

std::string SettingsText(const TSettingValues& Values)
{
    std::string Text = "# Corvatone settings\n";
    for (const auto& [Key, Value] : Values) {
        if (!IsKey(Key) || !IsValue(Value) || !IsUtf8(Value))
            throw std::invalid_argument("Cannot keep the setting \"" + Key + "\"");
        Text += Key + '=' + Value + '\n';
    }
    return Text;
}

TSettingValues ParseSettings(const std::string& Text)
{
    if (!IsUtf8(Text) || Text.find('\0') != std::string::npos)
        return {};
    TSettingValues Values;
    std::istringstream Lines(Text);
    for (std::string Line; std::getline(Lines, Line);) {
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back(); // written by hand on Windows
        if (Line.empty() || Line.front() == '#')
            continue;
        const size_t Equals = Line.find('=');
        if (Equals == std::string::npos || !IsKey(Line.substr(0, Equals)))
            return {};
        Values[Line.substr(0, Equals)] = Line.substr(Equals + 1);
    }
    return Values;
}

TSettingsFile::TSettingsFile(std::filesystem::path Folder)
    : FPath(std::move(Folder) / FileName)
{
}

TSettingValues TSettingsFile::Read() const
{
    std::error_code Error;
    const std::uintmax_t Size = std::filesystem::file_size(FPath, Error);
    if (Error || Size > MaxBytes)
        return {};
    std::ifstream In(FPath, std::ios::binary);
    std::ostringstream Text;
    Text << In.rdbuf();
    if (!In && !In.eof())
        return {};
    return ParseSettings(Text.str());
}

void TSettingsFile::Write(const TSettingValues& Values) const
{
    const std::string Text = SettingsText(Values);
    const std::filesystem::path Folder = FPath.parent_path();
    const std::string Where = "Cannot save the settings in \"" + PathText(FPath) + "\": ";
    std::error_code Error;
    std::filesystem::create_directories(Folder, Error);
    if (Error)
        throw std::runtime_error(Where + Error.message());
    std::filesystem::path Temporary = FPath;
    Temporary += ".new";
    {
        std::ofstream Out(Temporary, std::ios::binary | std::ios::trunc);
        if (!Out)
            throw std::runtime_error(Where + "the temporary file cannot be created");
        Out.write(Text.data(), static_cast<std::streamsize>(Text.size()));
        Out.flush();
        if (!Out) {
            Out.close();
            std::filesystem::remove(Temporary, Error);
            throw std::runtime_error(Where + "the temporary file cannot be written");
        }
    }
    try {
        ReplaceByRename(Temporary, FPath);
    } catch (const std::exception& E) {
        std::filesystem::remove(Temporary, Error);
        throw std::runtime_error(Where + E.what());
    }
}

std::filesystem::path SettingsFolder()
{
    {
        std::lock_guard Lock(FolderMutex);
        if (ChosenFolder)
            return *ChosenFolder;
    }
    return PlatformSettingsFolder();
}

void UseSettingsFolder(std::filesystem::path Folder)
{
    std::lock_guard Lock(FolderMutex);
    ChosenFolder = std::move(Folder);
}
