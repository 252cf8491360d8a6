// A fake encoder library for the MP3 sink's tests: every entry point the sink calls except
// lame_encode_flush and lame_set_out_samplerate (FakeLameFlush.cpp and FakeLameOutRate.cpp add
// them, so that a build can lack either).
#include "FakeLameCommon.h"

#include <cstring>

struct lame_global_struct {
    int Unused = 0;
};

TFakeLameState& FakeState()
{
    static TFakeLameState State;
    return State;
}

void Record(TFakeLameCall Call)
{
    TFakeLameState& State = FakeState();
    std::lock_guard Guard(State.Lock);
    State.Calls.push_back(std::move(Call));
}

namespace {

int Produce(long Count, unsigned char* Out, int OutSize)
{
    TFakeLameState& State = FakeState();
    {
        std::lock_guard Guard(State.Lock);
        if (State.EncodeFails)
            return -1;
    }
    if (Count > OutSize)
        return -1;
    std::memset(Out, 'e', static_cast<std::size_t>(Count));
    return static_cast<int>(Count);
}

int Set(const char* Name, long Value)
{
    Record(TFakeLameCall{ Name, Value });
    return 0;
}

int SetText(const char* Name, const char* Text)
{
    TFakeLameCall Call{ Name };
    Call.Text = Text ? Text : "<null>";
    Record(Call);
    return 0;
}

} // namespace

extern "C" {

FAKE_LAME_EXPORT TFakeLameState* FakeLameState()
{
    return &FakeState();
}

FAKE_LAME_EXPORT lame_t lame_init()
{
    Record(TFakeLameCall{ "lame_init" });
    TFakeLameState& State = FakeState();
    std::lock_guard Guard(State.Lock);
    if (State.InitYieldsNull)
        return nullptr;
    ++State.OpenHandles;
    return new lame_global_struct;
}

FAKE_LAME_EXPORT int lame_close(lame_t Handle)
{
    Record(TFakeLameCall{ "lame_close" });
    TFakeLameState& State = FakeState();
    std::lock_guard Guard(State.Lock);
    --State.OpenHandles;
    delete Handle;
    return 0;
}

FAKE_LAME_EXPORT int lame_set_num_samples(lame_t, unsigned long Value)
{
    return Set("lame_set_num_samples", static_cast<long>(Value));
}
FAKE_LAME_EXPORT int lame_set_in_samplerate(lame_t, int Value)
{
    return Set("lame_set_in_samplerate", Value);
}
FAKE_LAME_EXPORT int lame_set_num_channels(lame_t, int Value)
{
    return Set("lame_set_num_channels", Value);
}
FAKE_LAME_EXPORT int lame_set_brate(lame_t, int Value)
{
    return Set("lame_set_brate", Value);
}

FAKE_LAME_EXPORT int lame_init_params(lame_t)
{
    Record(TFakeLameCall{ "lame_init_params" });
    TFakeLameState& State = FakeState();
    std::lock_guard Guard(State.Lock);
    return State.InitParamsResult;
}

FAKE_LAME_EXPORT int lame_encode_buffer_interleaved(
    lame_t, short Pcm[], int Frames, unsigned char* Out, int OutSize)
{
    Record(TFakeLameCall{ "lame_encode_buffer_interleaved", Frames, OutSize, Pcm, nullptr });
    return Produce(Frames, Out, OutSize);
}

FAKE_LAME_EXPORT int lame_encode_buffer(
    lame_t, const short Left[], const short Right[], int Samples, unsigned char* Out, int OutSize)
{
    Record(TFakeLameCall{ "lame_encode_buffer", Samples, OutSize, Left, Right });
    return Produce(Samples, Out, OutSize);
}

FAKE_LAME_EXPORT void id3tag_init(lame_t)
{
    Record(TFakeLameCall{ "id3tag_init" });
}
FAKE_LAME_EXPORT void id3tag_set_title(lame_t, const char* Text)
{
    SetText("id3tag_set_title", Text);
}
FAKE_LAME_EXPORT void id3tag_set_artist(lame_t, const char* Text)
{
    SetText("id3tag_set_artist", Text);
}
FAKE_LAME_EXPORT void id3tag_set_album(lame_t, const char* Text)
{
    SetText("id3tag_set_album", Text);
}
FAKE_LAME_EXPORT void id3tag_set_year(lame_t, const char* Text)
{
    SetText("id3tag_set_year", Text);
}
FAKE_LAME_EXPORT void id3tag_set_comment(lame_t, const char* Text)
{
    SetText("id3tag_set_comment", Text);
}
FAKE_LAME_EXPORT int id3tag_set_track(lame_t, const char* Text)
{
    return SetText("id3tag_set_track", Text);
}

} // extern "C"
