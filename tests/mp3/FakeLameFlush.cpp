// The fake encoder's lame_encode_flush, in a file of its own so that one build of the fake can
// leave it out.
#include "FakeLameCommon.h"

#include <cstring>

extern "C" FAKE_LAME_EXPORT int lame_encode_flush(lame_t, unsigned char* Out, int OutSize)
{
    Record(TFakeLameCall{ "lame_encode_flush", 0, OutSize });
    TFakeLameState& State = FakeState();
    {
        std::lock_guard Guard(State.Lock);
        if (State.FlushFails)
            return -1;
    }
    const int Count = static_cast<int>(std::strlen(FakeLameFlushBytes));
    std::memcpy(Out, FakeLameFlushBytes, static_cast<std::size_t>(Count));
    return Count;
}
