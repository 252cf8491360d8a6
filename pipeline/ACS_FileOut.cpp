#include "ACS_FileOut.h"

TACSStreamedOutput::TACSStreamedOutput(TComponent* AOwner)
    : TACSOutput(AOwner)
{
}

void TACSStreamedOutput::AdoptStream(std::unique_ptr<TStream> AStream)
{
    FOwnStream = std::move(AStream);
    Stream = FOwnStream.get();
}

void TACSStreamedOutput::CloseOwnStream()
{
    if (StreamAssigned || !FOwnStream)
        return;
    std::unique_ptr<TStream> Closing = std::move(FOwnStream);
    Stream = nullptr;
    Closing->Close();
}

void TACSStreamedOutput::DiscardOwnStream() noexcept
{
    if (StreamAssigned)
        return;
    Stream = nullptr;
    FOwnStream.reset();
}

TACSFileOut::TACSFileOut(TComponent* AOwner)
    : TACSStreamedOutput(AOwner)
{
}

void TACSFileOut::SetFileMode(TFileOutputMode)
{
    FileMode = foRewrite;
}
