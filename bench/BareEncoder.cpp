#include "BareEncoder.h"

#include "FileStream.h"
#include "ProcessStats.h"
#include "lame.h"

#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

constexpr int32_t BlockFrames = 4096; // one 16384-byte block of 16-bit stereo
constexpr int OutputBufferSize = 17440; // the sink's per-run output buffer

// Owns one encoder handle, set up as TMP3Out::SetUpEncoder does.
class TEncoder {
public:
    TEncoder(int64_t Frames, int32_t SampleRate, int Kbps)
        : FHandle(lame::lame_init())
    {
        if (!FHandle)
            throw std::runtime_error("lame_init gave no handle");
        lame::lame_set_num_samples(FHandle, static_cast<unsigned long>(Frames));
        lame::lame_set_in_samplerate(FHandle, SampleRate);
        lame::lame_set_num_channels(FHandle, 2);
        lame::lame_set_brate(FHandle, Kbps);
        if (lame::lame_init_params(FHandle) < 0)
            throw std::runtime_error("lame_init_params refused the settings");
    }
    ~TEncoder() { lame::lame_close(FHandle); }
    TEncoder(const TEncoder&) = delete;
    TEncoder& operator=(const TEncoder&) = delete;

    int Encode(const int16_t* Frames, int Count, unsigned char* Out, int OutSize)
    {
        // The binding types the buffer after the header, which takes it as non-const.
        const int Bytes = lame::lame_encode_buffer_interleaved(
            FHandle, const_cast<short*>(Frames), Count, Out, OutSize);
        if (Bytes < 0)
            throw std::runtime_error(
                "lame_encode_buffer_interleaved failed: " + std::to_string(Bytes));
        return Bytes;
    }
    int Flush(unsigned char* Out, int OutSize)
    {
        const int Bytes = lame::lame_encode_flush(FHandle, Out, OutSize);
        if (Bytes < 0)
            throw std::runtime_error("lame_encode_flush failed: " + std::to_string(Bytes));
        return Bytes;
    }

private:
    lame_t FHandle;
};

// Hands out 4096-frame blocks of the PCM in a loop; a block that runs over the end is copied
// together from the end and the start.
class TLoopedBlocks {
public:
    explicit TLoopedBlocks(const TBenchPcm& Pcm)
        : FFrames(reinterpret_cast<const int16_t*>(Pcm.Bytes->data()))
        , FCount(Pcm.Frames())
    {
    }
    const int16_t* Next()
    {
        const int16_t* Block = FFrames + 2 * FAt;
        if (FAt + BlockFrames > FCount) {
            for (int32_t F = 0; F < BlockFrames; ++F) {
                const int64_t From = (FAt + F) % FCount;
                FJoined[2 * F] = FFrames[2 * From];
                FJoined[2 * F + 1] = FFrames[2 * From + 1];
            }
            Block = FJoined;
        }
        FAt = (FAt + BlockFrames) % FCount;
        return Block;
    }

private:
    const int16_t* FFrames;
    int64_t FCount;
    int64_t FAt = 0;
    int16_t FJoined[2 * BlockFrames];
};

} // namespace

TBareEncodeResult EncodeBare(
    const TBenchPcm& Pcm, int32_t Seconds, int Kbps, const std::string& FileName, bool RealTime)
{
    static_assert(sizeof(short) == sizeof(int16_t));
    const int64_t Frames = int64_t{ Seconds } * Pcm.SampleRate;
    std::vector<unsigned char> Output(OutputBufferSize);
    TLoopedBlocks Blocks(Pcm);
    TBareEncodeResult Result;

    const double StartCpu = ProcessStats::CpuSeconds();
    const auto Start = std::chrono::steady_clock::now();
    {
        // Scoped so that closing the encoder is timed too, as it is in the sink's Done. The file
        // is the sink's kind of stream: unbuffered, each write handed to the system.
        TFileStream File(FileName);
        TEncoder Encoder(Frames, Pcm.SampleRate, Kbps);
        for (int64_t Done = 0; Done < Frames; Done += BlockFrames, ++Result.Blocks) {
            if (RealTime) {
                const auto Recorded = std::chrono::duration<double>(
                    static_cast<double>(Done + BlockFrames) / Pcm.SampleRate);
                std::this_thread::sleep_until(Start
                    + std::chrono::duration_cast<std::chrono::steady_clock::duration>(Recorded));
            }
            const int Bytes
                = Encoder.Encode(Blocks.Next(), BlockFrames, Output.data(), OutputBufferSize);
            File.Write(Output.data(), static_cast<std::size_t>(Bytes));
            Result.Mp3Bytes += Bytes;
        }
        Result.WallSeconds
            = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
        Result.CpuSeconds = ProcessStats::CpuSeconds() - StartCpu;
        const int Tail = Encoder.Flush(Output.data(), OutputBufferSize);
        File.Write(Output.data(), static_cast<std::size_t>(Tail));
        Result.Mp3Bytes += Tail;
        File.Close();
    }
    Result.WallSecondsToClose
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    return Result;
}
