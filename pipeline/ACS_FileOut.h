// Sinks that write into a stream, and sinks whose stream is a named file.
//
// These classes hold data only; the concrete sink opens, writes and closes the stream in its own
// Prepare, DoOutput and Done. Threads: the owning thread sets FileName and FileMode before a run;
// the stream is created on the owning thread (Prepare) and written and closed on the worker.
#pragma once

#include "ACS_Classes.h"
#include "FileStream.h"

#include <cstdint>
#include <memory>
#include <string>

// A sink that writes its result into a stream.
class TACSStreamedOutput : public TACSOutput {
public:
    explicit TACSStreamedOutput(TComponent* AOwner);

protected:
    // Makes a stream that the sink created for a run its Stream; the sink owns it.
    void AdoptStream(std::unique_ptr<TStream> AStream);
    // Closes the sink's own stream and frees it; raises when the last bytes could not be stored,
    // and the stream is freed all the same. Nothing for an assigned stream or when none is open.
    void CloseOwnStream();
    // Frees the sink's own stream without reporting a failed close: for paths that already
    // report a failure, or have no one to report to.
    void DiscardOwnStream() noexcept;

    // The stream the sink writes into during a run; open only between Prepare and Done.
    TStream* Stream = nullptr;
    // The stream was supplied from outside the sink; nothing in this system sets it.
    bool StreamAssigned = false;

private:
    std::unique_ptr<TStream> FOwnStream;
};

enum TFileOutputMode : uint8_t { foRewrite = 0, foAppend = 1 };

// A streamed sink whose stream is the file FileName, created anew by every run.
class TACSFileOut : public TACSStreamedOutput {
public:
    explicit TACSFileOut(TComponent* AOwner);

    // Owning thread.
    const std::string& GetFileName() const { return FileName; }
    void SetFileName(const std::string& Value) { FileName = Value; }
    TFileOutputMode GetFileMode() const { return FileMode; }
    // Stores foRewrite, whatever Value is: a run always creates its file anew.
    virtual void SetFileMode(TFileOutputMode Value);

protected:
    std::string FileName;
    TFileOutputMode FileMode = foRewrite;
};
