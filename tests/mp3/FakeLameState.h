// What the fake encoder library records, shared between it and the tests that load it.
//
// The fake exports the lame_* entry points that the MP3 sink calls. Each call is recorded; an
// encode call "produces" one byte ('e') per frame or sample it was given and the flush produces
// the five bytes "FLUSH", so a file's length tells how many frames were encoded. Worker and test
// threads both touch the state, under Lock.
#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

struct TFakeLameCall {
    explicit TFakeLameCall(std::string AName, long AValue = 0, long ABufferSize = 0,
        const void* ALeft = nullptr, const void* ARight = nullptr)
        : Name(std::move(AName))
        , Value(AValue)
        , BufferSize(ABufferSize)
        , Left(ALeft)
        , Right(ARight)
    {
    }

    std::string Name;
    long Value = 0; // the call's count or setting (frames, samples, Hz, kbit/s, ...)
    long BufferSize = 0; // the output buffer size passed to encode and flush calls
    const void* Left = nullptr;
    const void* Right = nullptr;
    std::string Text; // the text of an id3tag_set_* call; "<null>" for a null pointer
};

struct TFakeLameState {
    std::mutex Lock;
    std::vector<TFakeLameCall> Calls;
    int OpenHandles = 0;
    // Failures to inject.
    bool InitYieldsNull = false;
    int InitParamsResult = 0;
    bool EncodeFails = false;
    bool FlushFails = false;

    void Reset()
    {
        std::lock_guard Guard(Lock);
        Calls.clear();
        OpenHandles = 0;
        InitYieldsNull = false;
        InitParamsResult = 0;
        EncodeFails = false;
        FlushFails = false;
    }
    std::vector<TFakeLameCall> CallsNamed(const std::string& Name)
    {
        std::lock_guard Guard(Lock);
        std::vector<TFakeLameCall> Found;
        for (const TFakeLameCall& Call : Calls)
            if (Call.Name == Name)
                Found.push_back(Call);
        return Found;
    }
    std::vector<std::string> CallNames()
    {
        std::lock_guard Guard(Lock);
        std::vector<std::string> Names;
        for (const TFakeLameCall& Call : Calls)
            Names.push_back(Call.Name);
        return Names;
    }
};

// Exported by the fake library; looked up by name.
using TFakeLameStateFunction = TFakeLameState* (*)();
inline constexpr const char* FakeLameStateName = "FakeLameState";
inline constexpr const char* FakeLameFlushBytes = "FLUSH";
