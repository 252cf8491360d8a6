#include "FileStream.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

std::string FullPath(const std::string& FileName)
{
    std::error_code Ignored;
    const std::filesystem::path Absolute = std::filesystem::absolute(FileName, Ignored);
    // A path that cannot be made absolute is still named as given.
    return Absolute.empty() ? FileName : Absolute.string();
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
    FFile = std::fopen(FFileName.c_str(), "w+b");
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
