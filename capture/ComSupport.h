// Small helpers for the COM interfaces of the Windows audio engine: the thread's COM apartment,
// owned interface pointers and engine-allocated memory, and failures raised with the engine's
// reason. One thread at a time.
#pragma once

#include "WaveDevice.h"
#include "Win32Text.h"

#include <windows.h>

#include <cstdio>
#include <objbase.h>
#include <string>

// The process's multithreaded apartment for the life of the scope. A thread that already lives
// in a single-threaded apartment (a window's) keeps it; the engine's objects work in both.
class TComScope {
public:
    TComScope()
        : FResult(CoInitializeEx(nullptr, COINIT_MULTITHREADED))
    {
    }
    ~TComScope()
    {
        if (SUCCEEDED(FResult))
            CoUninitialize();
    }
    TComScope(const TComScope&) = delete;
    TComScope& operator=(const TComScope&) = delete;

private:
    HRESULT FResult;
};

// An interface pointer that releases what it holds.
template <typename T> class TComPointer {
public:
    TComPointer() = default;
    TComPointer(TComPointer&& Other) noexcept
        : FPointer(Other.FPointer)
    {
        Other.FPointer = nullptr;
    }
    TComPointer& operator=(TComPointer&& Other) noexcept
    {
        std::swap(FPointer, Other.FPointer);
        return *this;
    }
    ~TComPointer() { Reset(); }

    void Reset()
    {
        if (FPointer != nullptr)
            FPointer->Release();
        FPointer = nullptr;
    }
    // For a call that hands out a new reference; releases the old one first.
    void** Out()
    {
        Reset();
        return reinterpret_cast<void**>(&FPointer);
    }
    T** TypedOut()
    {
        Reset();
        return &FPointer;
    }
    T* Get() const { return FPointer; }
    T* operator->() const { return FPointer; }

private:
    T* FPointer = nullptr;
};

// Memory that the engine allocated with CoTaskMemAlloc, freed with the scope.
template <typename T> class TComMemory {
public:
    TComMemory() = default;
    ~TComMemory() { CoTaskMemFree(FPointer); }
    TComMemory(const TComMemory&) = delete;
    TComMemory& operator=(const TComMemory&) = delete;

    T** Out() { return &FPointer; }
    T* Get() const { return FPointer; }
    T* operator->() const { return FPointer; }

private:
    T* FPointer = nullptr;
};

// The reason for an audio engine's failure code, in words where the system has none.
inline std::string AudioResultText(HRESULT Result)
{
    switch (static_cast<unsigned long>(Result)) {
    case 0x88890003: // AUDCLNT_E_WRONG_ENDPOINT_TYPE
        return "the output does not offer loopback capture";
    case 0x88890004: // AUDCLNT_E_DEVICE_INVALIDATED
        return "the output has gone";
    case 0x88890008: // AUDCLNT_E_UNSUPPORTED_FORMAT
        return "the format is not supported";
    case 0x8889000A: // AUDCLNT_E_DEVICE_IN_USE
        return "the output is in use";
    case 0x88890010: // AUDCLNT_E_SERVICE_NOT_RUNNING
        return "the audio service does not run";
    case 0x80070490: // E_NOTFOUND
        return "there is no output";
    default:
        return SystemErrorText(static_cast<unsigned long>(Result));
    }
}

// Raises EWaveDeviceError naming What and the reason when Result is a failure.
inline void Check(HRESULT Result, const char* What)
{
    if (SUCCEEDED(Result))
        return;
    char Code[16];
    std::snprintf(Code, sizeof Code, "0x%08lX", static_cast<unsigned long>(Result));
    throw EWaveDeviceError("Cannot record what the computer plays: " + std::string(What)
        + " failed with " + Code + " (" + AudioResultText(Result) + ")");
}
