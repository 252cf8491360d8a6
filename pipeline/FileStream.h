// Byte streams that a sink writes its output into.
//
// TFileStream is a file created anew for writing: a missing file is created, an existing one is
// truncated. Its name is UTF-8 and may hold any Unicode letter. Every Write goes straight to the
// system (no buffering of our own), so a full disk is reported by the Write that meets it; a
// failed or short write raises EWriteError, a failed creation EFCreateError, both naming the
// file's full path and the system's reason.
//
// Threads: a stream is used by one thread at a time (a sink creates it in Prepare on the owning
// thread and writes and closes it on its worker). Write may block on the file system.
#pragma once

#include <cstddef>
#include <cstdio>
#include <stdexcept>
#include <string>

// A failure of a stream; the message names the file and the system's reason.
class EStreamError : public std::runtime_error {
public:
    explicit EStreamError(const std::string& Message)
        : std::runtime_error(Message)
    {
    }
};

// The file could not be created.
class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// Bytes could not be stored, in full or in part.
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// A writable byte stream.
class TStream {
public:
    virtual ~TStream() = default;
    // Stores Count bytes from Buffer, all of them or raises EWriteError.
    virtual void Write(const void* Buffer, std::size_t Count) = 0;
    // Finishes the stream; raises EWriteError when the last bytes could not be stored. Calling it
    // again does nothing.
    virtual void Close() = 0;
};

class TFileStream : public TStream {
public:
    // Creates (or truncates) FileName (UTF-8), opened for reading and writing and, where the
    // platform allows, not shared while open. Raises EFCreateError.
    explicit TFileStream(const std::string& FileName);
    // Closes a stream that was not closed, discarding any error (Close reports them).
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    void Write(const void* Buffer, std::size_t Count) override;
    void Close() override;
    // The full path of the file, UTF-8.
    const std::string& GetFileName() const { return FFileName; }

private:
    [[noreturn]] void RaiseWriteError(int ErrorNumber) const;

    std::string FFileName;
    std::FILE* FFile = nullptr;
};
