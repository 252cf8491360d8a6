// The limit the recording chain is measured against: the encoder library driven directly, with
// exactly the MP3 sink's settings (sample count, input rate, two channels, bit rate, nothing
// else), on 4096-frame blocks of 16-bit stereo PCM, each block's output written to a file with
// one unbuffered write as the sink's file stream does.
//
// Calls the binding's function pointers (lame.h), so the encoder library must be loaded and stay
// loaded for the call: the benchmark keeps an MP3 sink alive for its whole run. Any one thread;
// blocks on file writes.
#pragma once

#include "TestSignal.h"

#include <cstdint>
#include <string>

struct TBareEncodeResult {
    // From the start until the last block is written; the encoder's flush and close and the
    // file's close are left out, as they are from the chain's figure.
    double WallSeconds = 0.0;
    double CpuSeconds = 0.0; // the whole process's, over the same span
    double WallSecondsToClose = 0.0; // to the end of all of it
    int64_t Blocks = 0; // 4096-frame blocks handed to the encoder
    int64_t Mp3Bytes = 0;
};

// Encodes Seconds of Pcm (looped when longer than Pcm) into FileName at Kbps, the way the sink
// does for a recording of Seconds: the record limit is reached within the block that crosses
// it, and that block is encoded whole. With RealTime, each block waits until a sound card would
// have recorded it, so that the loop takes Seconds. Raises std::runtime_error on any failure.
TBareEncodeResult EncodeBare(const TBenchPcm& Pcm, int32_t Seconds, int Kbps,
    const std::string& FileName, bool RealTime = false);
