// The fake encoder's lame_set_out_samplerate, in a file of its own so that one build of the fake
// can leave it out.
#include "FakeLameCommon.h"

extern "C" FAKE_LAME_EXPORT int lame_set_out_samplerate(lame_t, int Value)
{
    Record(TFakeLameCall{ "lame_set_out_samplerate", Value });
    return 0;
}
