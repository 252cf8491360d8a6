#include "DiskSpace.h"

#include <filesystem>
#include <system_error>

namespace {

// The capture source hands out at most one 16384-byte buffer past a run's duration: 8192 frames
// of 16-bit mono, 4096 of stereo.
constexpr uint64_t LastBufferFrames = 8192;
// Frames the encoder writes beyond the sound: its start-up delay and the padding of the last
// frame, written by its flush, and the frame that carries its stream information.
constexpr uint64_t EncoderFrames = 4;
// The tag with the fields a sink hands over: ID3v1's 128 bytes and a small ID3v2 tag.
constexpr uint64_t TagBytes = 4096;
// The largest allocation unit of common file systems (exFAT, FAT32 and NTFS on large drives):
// the file's last unit is taken whole.
constexpr uint64_t AllocationUnit = 65536;

std::filesystem::path PathOf(const std::string& Utf8Path)
{
    return std::filesystem::path(std::u8string(Utf8Path.begin(), Utf8Path.end()));
}

} // namespace

std::optional<uint64_t> FreeBytesFor(const std::string& Utf8Path)
{
    namespace fs = std::filesystem;
    std::error_code Error;
    fs::path Path = fs::absolute(PathOf(Utf8Path), Error);
    if (Error)
        return std::nullopt;
    // The file may not exist yet, nor the folders above it: ask the nearest one that does.
    while (!fs::exists(Path, Error)) {
        if (!Path.has_relative_path())
            return std::nullopt;
        Path = Path.parent_path();
    }
    const fs::space_info Space = fs::space(Path, Error);
    if (Error || Space.available == static_cast<std::uintmax_t>(-1))
        return std::nullopt;
    return static_cast<uint64_t>(Space.available);
}

uint64_t ReplacedFileBytes(const std::string& Utf8Path)
{
    std::error_code Error;
    const std::filesystem::path Path = PathOf(Utf8Path);
    if (!std::filesystem::is_regular_file(Path, Error))
        return 0;
    const std::uintmax_t Bytes = std::filesystem::file_size(Path, Error);
    return Error ? 0 : static_cast<uint64_t>(Bytes);
}

uint64_t Mp3StreamBytes(int64_t Seconds, int32_t KbitPerSecond)
{
    if (Seconds <= 0 || KbitPerSecond <= 0)
        return 0;
    return static_cast<uint64_t>(Seconds) * static_cast<uint64_t>(KbitPerSecond) * 1000 / 8;
}

uint64_t Mp3FileMargin(int32_t KbitPerSecond, int32_t SampleRate)
{
    if (KbitPerSecond <= 0 || SampleRate <= 0)
        return TagBytes + AllocationUnit;
    // MPEG-1 frames (32 kHz and up) hold 1152 samples, the lower rates' frames 576.
    const uint64_t FrameSamples = SampleRate >= 32000 ? 1152 : 576;
    const uint64_t BitRate = static_cast<uint64_t>(KbitPerSecond) * 1000;
    // Bytes of the largest frame: its share of the stream, rounded up, and a padding byte.
    const uint64_t FrameBytes = (FrameSamples * BitRate / 8 + SampleRate - 1) / SampleRate + 1;
    const uint64_t Frames = EncoderFrames + (LastBufferFrames + FrameSamples - 1) / FrameSamples;
    return Frames * FrameBytes + TagBytes + AllocationUnit;
}

uint64_t Mp3FileBytes(int64_t Seconds, int32_t KbitPerSecond, int32_t SampleRate)
{
    return Mp3StreamBytes(Seconds, KbitPerSecond) + Mp3FileMargin(KbitPerSecond, SampleRate);
}
