// Modules loaded into the private sound server for the life of a test (pactl, with the server
// that PULSE_SERVER names): a source, a sink or a player of a tone that the test needs besides the
// server's own tone.
#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace TestSupport {

// The private server's folder, which CTest's sound-server fixture names; empty without it.
inline std::string SoundServerDir()
{
    const char* Dir = std::getenv("CORVATONE_SOUND_SERVER_DIR");
    return Dir ? Dir : "";
}

// Points the process's PulseAudio clients, and ALSA's default device through them, at the private
// server. Both read their configuration at their first call: call this before main, from a
// namespace-scope initialiser.
inline bool UsePrivateSoundServer()
{
    const std::string Dir = SoundServerDir();
    if (!Dir.empty()) {
        setenv("PULSE_SERVER", ("unix:" + Dir + "/pulse.sock").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (Dir + "/config").c_str(), 1);
    }
    return true;
}

// What pactl prints for Arguments, without the last line break; fails the test when it fails.
inline std::string Pactl(const std::string& Arguments)
{
    std::string Output;
    FILE* Pipe = popen(("pactl " + Arguments + " 2>&1").c_str(), "r");
    if (Pipe == nullptr) {
        ADD_FAILURE() << "pactl did not start";
        return {};
    }
    std::array<char, 256> Chunk;
    while (fgets(Chunk.data(), Chunk.size(), Pipe))
        Output += Chunk.data();
    EXPECT_EQ(pclose(Pipe), 0) << "pactl " << Arguments << ": " << Output;
    if (!Output.empty() && Output.back() == '\n')
        Output.pop_back();
    return Output;
}

// A module of the server, unloaded with the object (or before, by Unload).
class TLoadedModule {
public:
    explicit TLoadedModule(const std::string& Arguments)
        : FIndex(Pactl("load-module " + Arguments))
    {
    }
    ~TLoadedModule() { Unload(); }
    TLoadedModule(const TLoadedModule&) = delete;
    TLoadedModule& operator=(const TLoadedModule&) = delete;
    void Unload()
    {
        if (!FIndex.empty())
            Pactl("unload-module " + FIndex);
        FIndex.clear();
    }

private:
    std::string FIndex;
};

} // namespace TestSupport
