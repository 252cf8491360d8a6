// The loopback capture's conversion of the shared mix format to the recording's 16-bit stereo:
// rates, channel layouts, silence, clipping, and the sound's continuity across packets.
#include "MixFormatConverter.h"

#include "WaveDevice.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>
#include <vector>

namespace {

// Interleaved float frames of Channels channels; Value(frame, channel) gives each sample.
template <typename F> std::vector<uint8_t> FloatFrames(uint32_t Frames, uint16_t Channels, F Value)
{
    std::vector<uint8_t> Bytes(size_t{ Frames } * Channels * 4);
    for (uint32_t Frame = 0; Frame < Frames; ++Frame)
        for (uint16_t Channel = 0; Channel < Channels; ++Channel) {
            const float Sample = Value(Frame, Channel);
            std::memcpy(&Bytes[(size_t{ Frame } * Channels + Channel) * 4], &Sample, 4);
        }
    return Bytes;
}

// Converts Bytes in packets of the sizes in Packets, repeated, and returns all the output.
std::vector<int16_t> ConvertInPackets(TMixFormatConverter& Converter,
    const std::vector<uint8_t>& Bytes, const std::vector<uint32_t>& Packets)
{
    const uint32_t Frames = static_cast<uint32_t>(Bytes.size() / Converter.InFrameBytes());
    std::vector<int16_t> Out;
    uint32_t Done = 0;
    for (size_t N = 0; Done < Frames; ++N) {
        const uint32_t Count = std::min(Packets[N % Packets.size()], Frames - Done);
        std::vector<int16_t> Piece(size_t{ Converter.MaxOutputFrames(Count) } * 2);
        const uint32_t Made = Converter.Convert(
            Bytes.data() + size_t{ Done } * Converter.InFrameBytes(), Count, false, Piece.data());
        EXPECT_LE(Made, Converter.MaxOutputFrames(Count));
        Out.insert(Out.end(), Piece.begin(), Piece.begin() + 2 * Made);
        Done += Count;
    }
    return Out;
}

std::vector<int16_t> ConvertAll(
    const TMixFormat& In, uint32_t OutRate, const std::vector<uint8_t>& Bytes)
{
    TMixFormatConverter Converter(In, OutRate);
    return ConvertInPackets(Converter, Bytes, { static_cast<uint32_t>(Bytes.size()) });
}

// One frame of Channels float samples through a converter at equal rates; the kept frame is
// pushed out by a second, silent frame.
std::pair<int16_t, int16_t> OneFrame(const TMixFormat& In, const std::vector<float>& Samples)
{
    TMixFormatConverter Converter(In, In.SamplesPerSec);
    int16_t Out[8];
    EXPECT_EQ(
        Converter.Convert(reinterpret_cast<const uint8_t*>(Samples.data()), 1, false, Out), 0u);
    EXPECT_EQ(Converter.Convert(nullptr, 1, true, Out), 1u);
    return { Out[0], Out[1] };
}

// The output frames at positions before input frame Last: ceil(Last * OutRate / InRate).
uint64_t FramesBefore(uint64_t Last, uint32_t InRate, uint32_t OutRate)
{
    return (Last * OutRate + InRate - 1) / InRate;
}

struct TRates {
    uint32_t In;
    uint32_t Out;
};

class MixFormatRates : public testing::TestWithParam<TRates> { };

TEST_P(MixFormatRates, ASineInPacketsEqualsTheSineAtOnceAndFollowsTheTrueCurve)
{
    const auto [InRate, OutRate] = GetParam();
    const TMixFormat In{ InRate, 2, TSampleKind::Float32, 0 };
    const double Hz = 1000;
    const uint32_t Frames = InRate * 2;
    auto Sine = [&](double Position) {
        return 0.5 * std::sin(2 * std::numbers::pi * Hz * Position / InRate);
    };
    const std::vector<uint8_t> Bytes
        = FloatFrames(Frames, 2, [&](uint32_t Frame, uint16_t Channel) {
              return float(Channel == 0 ? Sine(Frame) : -Sine(Frame));
          });
    const std::vector<int16_t> Whole = ConvertAll(In, OutRate, Bytes);
    TMixFormatConverter Chunked(In, OutRate);
    // Packet sizes that fall anywhere in the output's steps, single frames among them.
    EXPECT_EQ(ConvertInPackets(Chunked, Bytes, { 1, 441, 7, 480, 1, 1031, 2 }), Whole);

    // Exactly the output frames whose positions n * InRate / OutRate lie before the last input
    // frame, which waits for the next.
    ASSERT_EQ(Whole.size() / 2, FramesBefore(Frames - 1, InRate, OutRate));
    // Each lies on the straight line between two input frames: off the true sine by at most the
    // line's sag over one input step, plus the rounding.
    const double Step = 2 * std::numbers::pi * Hz / InRate;
    const double Sag = 0.5 * 32768 * Step * Step / 8 + 1;
    for (size_t N = 0; N < Whole.size() / 2; ++N) {
        const double Expected = 32768 * Sine(double(N) * InRate / OutRate);
        ASSERT_NEAR(Whole[2 * N], Expected, Sag) << "frame " << N;
        ASSERT_NEAR(Whole[2 * N + 1], -Expected, Sag) << "frame " << N;
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, MixFormatRates,
    testing::Values(TRates{ 48000, 22050 }, TRates{ 48000, 44100 }, TRates{ 44100, 22050 },
        TRates{ 44100, 44100 }, TRates{ 22050, 44100 }));

TEST(MixFormatConverter, KeepsTheRateOverALongRunWithoutDrift)
{
    // Ten minutes of 48000 Hz in packets of 10 ms give exactly the frames of 44100 Hz: the
    // position advances in whole steps, never in rounded ones.
    const TMixFormat In{ 48000, 2, TSampleKind::Float32, 0 };
    TMixFormatConverter Converter(In, 44100);
    std::vector<int16_t> Out(size_t{ Converter.MaxOutputFrames(480) } * 2);
    uint64_t Made = 0;
    for (int Packet = 0; Packet < 60000; ++Packet)
        Made += Converter.Convert(nullptr, 480, true, Out.data());
    EXPECT_EQ(Made, FramesBefore(480 * 60000 - 1, 48000, 44100));
}

TEST(MixFormatConverter, SixteenBitStereoAtTheSameRatePassesUnchanged)
{
    const TMixFormat In{ 44100, 2, TSampleKind::Int16, 0 };
    std::vector<int16_t> Samples;
    for (int Value : { -32768, 32767, 0, 1, -1, 12345, -12345, 32767 })
        Samples.push_back(int16_t(Value));
    const std::vector<uint8_t> Bytes(reinterpret_cast<const uint8_t*>(Samples.data()),
        reinterpret_cast<const uint8_t*>(Samples.data() + Samples.size()));
    const std::vector<int16_t> Out = ConvertAll(In, 44100, Bytes);
    // All but the last frame, which waits for the next packet.
    EXPECT_EQ(Out, std::vector<int16_t>(Samples.begin(), Samples.end() - 2));
}

TEST(MixFormatConverter, MixesTheChannelsDownBySpeaker)
{
    const TMixFormat Mono{ 48000, 1, TSampleKind::Float32, 0 };
    EXPECT_EQ(OneFrame(Mono, { 0.25f }), std::make_pair(int16_t(8192), int16_t(8192)));
    // 5.1: front left, front right, centre, low frequency, back left, back right.
    const TMixFormat Surround{ 48000, 6, TSampleKind::Float32, 0 };
    EXPECT_EQ(
        OneFrame(Surround, { 0.25f, 0, 0, 0, 0, 0 }), std::make_pair(int16_t(8192), int16_t(0)));
    EXPECT_EQ(
        OneFrame(Surround, { 0, 0.25f, 0, 0, 0, 0 }), std::make_pair(int16_t(0), int16_t(8192)));
    EXPECT_EQ(OneFrame(Surround, { 0, 0, 0.5f, 0, 0, 0 }),
        std::make_pair(int16_t(11585), int16_t(11585)));
    EXPECT_EQ(OneFrame(Surround, { 0, 0, 0, 0.9f, 0, 0 }), std::make_pair(int16_t(0), int16_t(0)));
    EXPECT_EQ(
        OneFrame(Surround, { 0, 0, 0, 0, 0.5f, 0 }), std::make_pair(int16_t(11585), int16_t(0)));
    // The mask decides: front left, front right and the two side speakers (0x603).
    const TMixFormat Sides = MixFormatOf(0xFFFE, 4, 48000, 32, 3, 0x603);
    EXPECT_EQ(OneFrame(Sides, { 0, 0, 0, 0.5f }), std::make_pair(int16_t(0), int16_t(11585)));
    // A channel beyond the mask's speakers has no place and is left out.
    const TMixFormat Short = MixFormatOf(0xFFFE, 3, 48000, 32, 3, 0x3);
    EXPECT_EQ(OneFrame(Short, { 0, 0, 0.5f }), std::make_pair(int16_t(0), int16_t(0)));
}

TEST(MixFormatConverter, ClipsAtFullScaleAndSilencesWhatIsNotANumber)
{
    const TMixFormat Stereo{ 48000, 2, TSampleKind::Float32, 0 };
    EXPECT_EQ(OneFrame(Stereo, { 1.5f, -1.5f }), std::make_pair(int16_t(32767), int16_t(-32768)));
    EXPECT_EQ(OneFrame(Stereo, { 1.0f, -1.0f }), std::make_pair(int16_t(32767), int16_t(-32768)));
    const float NotANumber = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(OneFrame(Stereo, { NotANumber, 0.5f }), std::make_pair(int16_t(0), int16_t(16384)));
    const float Infinite = std::numeric_limits<float>::infinity();
    EXPECT_EQ(
        OneFrame(Stereo, { -Infinite, Infinite }), std::make_pair(int16_t(-32768), int16_t(32767)));
    // Front left and centre at full scale sum beyond it on the left.
    const TMixFormat Three{ 48000, 3, TSampleKind::Float32, 0 };
    EXPECT_EQ(OneFrame(Three, { 1.0f, 0, 1.0f }), std::make_pair(int16_t(32767), int16_t(23170)));
}

TEST(MixFormatConverter, SilentPacketsAreSilenceThatKeepsTheTime)
{
    // A packet flagged silent may carry anything or nothing; it is read as silence, and the sound
    // around it stays in its place.
    const TMixFormat In{ 48000, 2, TSampleKind::Float32, 0 };
    const std::vector<uint8_t> Loud = FloatFrames(480, 2, [](uint32_t, uint16_t) { return 0.5f; });
    TMixFormatConverter Converter(In, 44100);
    std::vector<int16_t> Out(size_t{ Converter.MaxOutputFrames(480) } * 2);
    uint32_t Made = Converter.Convert(Loud.data(), 480, false, Out.data());
    Made += Converter.Convert(Loud.data(), 480, true, Out.data());
    // The interpolation's one step down from the loud sound, then silence.
    for (uint32_t N = 1; N < Made - 441; ++N)
        EXPECT_EQ(Out[2 * N], 0) << N;
    Made += Converter.Convert(nullptr, 480, true, Out.data());
    EXPECT_EQ(Made, FramesBefore(1440 - 1, 48000, 44100));
}

TEST(MixFormatConverter, ReadsEveryIntegerSampleSize)
{
    const uint8_t Int24[] = { 0x00, 0x00, 0x80, 0xFF, 0xFF, 0x3F }; // -8388608, +4194303
    TMixFormatConverter Packed(MixFormatOf(1, 2, 48000, 24, 0, 0), 48000);
    int16_t Out[4];
    Packed.Convert(Int24, 1, false, Out);
    ASSERT_EQ(Packed.Convert(nullptr, 1, true, Out), 1u);
    EXPECT_EQ(Out[0], -32768);
    EXPECT_EQ(Out[1], 16384);
    const int32_t Int32[] = { std::numeric_limits<int32_t>::min(), 0x00018000 }; // 1.5 LSB of 16
    TMixFormatConverter Wide(MixFormatOf(0xFFFE, 2, 48000, 32, 1, 0x3), 48000);
    Wide.Convert(reinterpret_cast<const uint8_t*>(Int32), 1, false, Out);
    ASSERT_EQ(Wide.Convert(nullptr, 1, true, Out), 1u);
    EXPECT_EQ(Out[0], -32768);
    EXPECT_EQ(Out[1], 2); // to the nearest, halves to even
}

TEST(MixFormatConverter, RefusesFormatsItCannotRead)
{
    auto MessageOf = [](auto Make) {
        try {
            Make();
        } catch (const EWaveDeviceError& E) {
            return std::string(E.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(MessageOf([] { MixFormatOf(1, 2, 48000, 8, 0, 0); }),
        "The output's mix format cannot be recorded: format tag 1, 8 bits per sample");
    EXPECT_EQ(MessageOf([] { MixFormatOf(0xFFFE, 2, 48000, 64, 3, 0x3); }),
        "The output's mix format cannot be recorded: format tag 3, 64 bits per sample");
    EXPECT_EQ(MessageOf([] {
        TMixFormatConverter({ 48000, 0, TSampleKind::Float32, 0 }, 44100);
    }),
        "Cannot convert 0 channels at 48000 Hz to stereo at 44100 Hz");
    EXPECT_EQ(MessageOf([] {
        TMixFormatConverter({ 48000, 2, TSampleKind::Float32, 0 }, 0);
    }),
        "Cannot convert 2 channels at 48000 Hz to stereo at 0 Hz");
}

} // namespace
