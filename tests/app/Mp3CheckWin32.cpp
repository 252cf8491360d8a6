// DecodeMp3File where no decoding library is built (Windows): walks the file frame by frame by
// its MPEG audio headers, each Layer III frame counted with the samples it decodes to, so that
// the counts match a full decoder's without gapless trimming. The encoder's tag frame (Xing or
// Info, written where the first frame goes) decodes to nothing and is left out, as decoders do.
// A header that breaks the chain of frames fails the check.
#include "Mp3Check.h"

#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

struct TFrameHeader {
    int BitRate = 0; // kbit/s
    long SampleRate = 0;
    int Channels = 0;
    size_t Bytes = 0;
    int Samples = 0; // per channel
    size_t SideInfoBytes = 0;
};

bool ReadHeader(const uint8_t* At, TFrameHeader& Header)
{
    static constexpr std::array<int, 15> Mpeg1Rates
        = { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320 };
    static constexpr std::array<int, 15> Mpeg2Rates
        = { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 };
    static constexpr std::array<long, 3> Mpeg1SampleRates = { 44100, 48000, 32000 };
    if (At[0] != 0xFF || (At[1] & 0xE0) != 0xE0)
        return false;
    const int Version = (At[1] >> 3) & 3; // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    const int Layer = (At[1] >> 1) & 3; // 1: Layer III
    const int RateIndex = At[2] >> 4;
    const int SampleRateIndex = (At[2] >> 2) & 3;
    if (Version == 1 || Layer != 1 || RateIndex == 0 || RateIndex == 15 || SampleRateIndex == 3)
        return false;
    const bool Mpeg1 = Version == 3;
    const int Divider = Mpeg1 ? 1 : Version == 2 ? 2 : 4;
    Header.BitRate = Mpeg1 ? Mpeg1Rates[RateIndex] : Mpeg2Rates[RateIndex];
    Header.SampleRate = Mpeg1SampleRates[SampleRateIndex] / Divider;
    Header.Channels = (At[3] >> 6) == 3 ? 1 : 2;
    const size_t Padding = (At[2] >> 1) & 1;
    const long Factor = Mpeg1 ? 144000 : 72000;
    Header.Bytes = static_cast<size_t>(Factor * Header.BitRate / Header.SampleRate) + Padding;
    Header.Samples = Mpeg1 ? 1152 : 576;
    Header.SideInfoBytes
        = Mpeg1 ? (Header.Channels == 1 ? 17 : 32) : (Header.Channels == 1 ? 9 : 17);
    return true;
}

bool IsTagFrame(const uint8_t* Frame, const TFrameHeader& Header)
{
    const uint8_t* Tag = Frame + 4 + Header.SideInfoBytes;
    return Header.Bytes >= 8 + Header.SideInfoBytes
        && (std::memcmp(Tag, "Xing", 4) == 0 || std::memcmp(Tag, "Info", 4) == 0);
}

// The length of an ID3v2 tag at the start, 0 without one.
size_t Id3v2Length(const std::vector<uint8_t>& File)
{
    if (File.size() < 10 || std::memcmp(File.data(), "ID3", 3) != 0)
        return 0;
    return 10
        + ((File[6] & 0x7Fu) << 21 | (File[7] & 0x7Fu) << 14 | (File[8] & 0x7Fu) << 7
            | (File[9] & 0x7Fu));
}

} // namespace

TMp3Decoded DecodeMp3File(const std::string& Path)
{
    TMp3Decoded Result;
    std::ifstream In(Path, std::ios::binary);
    if (!In) {
        Result.Error = "cannot open " + Path;
        return Result;
    }
    const std::vector<uint8_t> File(
        (std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    size_t At = Id3v2Length(File);
    while (At + 4 <= File.size()) {
        if (File.size() - At == 128 && std::memcmp(&File[At], "TAG", 3) == 0)
            break;
        TFrameHeader Header;
        if (!ReadHeader(&File[At], Header) || At + Header.Bytes > File.size()) {
            Result.Error = "no whole frame at byte " + std::to_string(At);
            return Result;
        }
        if (!IsTagFrame(&File[At], Header)) {
            if (Result.SampleRate != 0 && Result.SampleRate != Header.SampleRate) {
                Result.Error = "the sample rate changes at byte " + std::to_string(At);
                return Result;
            }
            Result.SampleRate = Header.SampleRate;
            Result.Channels = Header.Channels;
            Result.Frames += Header.Samples;
            ++Result.FramesByBitRate[Header.BitRate];
        }
        At += Header.Bytes;
    }
    Result.Ok = Result.Frames > 0;
    if (!Result.Ok && Result.Error.empty())
        Result.Error = "the file holds no sound";
    return Result;
}
