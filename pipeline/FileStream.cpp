#include "FileStream.h"

#include "FileOpen.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

// File names are UTF-8 throughout; a path converts them to the platform's own encoding.
std::filesystem::path PathOf(const std::string& Utf8)
{
    return std::filesystem::path(std::u8string(Utf8.begin(), Utf8.end()));
}

std::string Utf8Of(const std::filesystem::path& Path)
{
    const std::u8string Utf8 = Path.u8string();
    return std::string(Utf8.begin(), Utf8.end());
}

std::string FullPath(const std::string& FileName)
{
    std::error_code Ignored;
    const std::filesystem::path Absolute = std::filesystem::absolute(PathOf(FileName), Ignored);
    // A path that cannot be made absolute is still named as given.
    return Absolute.empty() ? FileName : Utf8Of(Absolute);
}

std::string Reason(int ErrorNumber)
{
    return ErrorNumber != 0 ? std::strerror(ErrorNumber) : "unknown error";
}

} // namespace

TFileStream::TFileStream(const std::string& FileName)
    : FFileName(FullPath(FileName))
{
    errno = 0;
    FFile = CreateFileForWriting(PathOf(FFileName));
    if (!FFile)
        throw EFCreateError("Cannot create file \"" + FFileName + "\": " + Reason(errno));
    // Unbuffered: each Write is handed to the system at once and fails where the disk is full.
    std::setvbuf(FFile, nullptr, _IONBF, 0);
}

TFileStream::~TFileStream()
{
    if (FFile)
        std::fclose(FFile); // errors of an unclosed stream have no one left to go to
}

void TFileStream::Write(const void* Buffer, std::size_t Count)
{
    if (Count == 0)
        return;
    if (!FFile)
        throw EWriteError("Cannot write to file \"" + FFileName + "\": the file is closed");
    errno = 0;
    const std::size_t Written = std::fwrite(Buffer, 1, Count, FFile);
    if (Written != Count)
        RaiseWriteError(errno);
}

void TFileStream::Close()
{
    if (!FFile)
        return;
    std::FILE* File = FFile;
    FFile = nullptr;
    errno = 0;
    if (std::fclose(File) != 0)
        RaiseWriteError(errno);
}

void TFileStream::RaiseWriteError(int ErrorNumber) const
{
    throw EWriteError("Cannot write to file \"" + FFileName + "\": " + Reason(ErrorNumber));
}
