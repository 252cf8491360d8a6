#include "Mp3Check.h"

#include <mpg123.h>
#include <vector>

TMp3Decoded DecodeMp3File(const std::string& Path)
{
    TMp3Decoded Result;
    mpg123_init();
    int Error = MPG123_OK;
    mpg123_handle* Handle = mpg123_new(nullptr, &Error);
    if (!Handle) {
        Result.Error = mpg123_plain_strerror(Error);
        return Result;
    }
    // Every decoded frame counts: the check compares against the samples that were fed in.
    mpg123_param(Handle, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
    if (mpg123_open(Handle, Path.c_str()) != MPG123_OK) {
        Result.Error = mpg123_strerror(Handle);
        mpg123_delete(Handle);
        return Result;
    }
    std::vector<unsigned char> Buffer(65536);
    int Encoding = 0;
    for (;;) {
        size_t Done = 0;
        Error = mpg123_read(Handle, Buffer.data(), Buffer.size(), &Done);
        if (Error == MPG123_NEW_FORMAT) {
            mpg123_getformat(Handle, &Result.SampleRate, &Result.Channels, &Encoding);
            continue;
        }
        if (Result.Channels > 0)
            Result.Frames += static_cast<int64_t>(Done / (2 * Result.Channels));
        if (Error == MPG123_DONE) {
            Result.Ok = Result.Frames > 0;
            break;
        }
        if (Error != MPG123_OK) {
            Result.Error = mpg123_strerror(Handle);
            break;
        }
    }
    mpg123_close(Handle);
    mpg123_delete(Handle);
    return Result;
}
