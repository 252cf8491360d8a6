// Clipping: which samples are at full scale, how stretches of them count as times, and the
// indicator counting them on every delivery, also one that its reader holds up.
#include "ClipCounter.h"

#include "ACS_Indicator.h"
#include "IndicatorTestInput.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// Samples at the edges of full scale, alone among silence at every position of the vector
// loop and its tail (37 samples: two vector steps of 16, then 5 one by one).
TEST(ClipCounterTest, FullScaleIsWithinOneStepOfTheLargestValueInEitherChannel)
{
    const struct {
        int32_t Value;
        bool Full;
    } Cases16[] = { { 32765, false }, { 32766, true }, { 32767, true }, { -32765, false },
        { -32766, true }, { -32767, true }, { -32768, true }, { 0, false } };
    for (const auto& Case : Cases16) {
        for (int32_t At : { 0, 15, 16, 31, 32, 36 }) {
            std::vector<uint8_t> Bytes = Mono16(37, 1000);
            const auto Sample = static_cast<uint16_t>(static_cast<int16_t>(Case.Value));
            Bytes[2 * At] = static_cast<uint8_t>(Sample & 0xFF);
            Bytes[2 * At + 1] = static_cast<uint8_t>(Sample >> 8);
            EXPECT_EQ(ReachesFullScale(TPcmLayout::Mono16, Bytes.data(), 37), Case.Full)
                << Case.Value << " at " << At;
        }
    }
    // A clipped right channel is clipped, whatever the mix of the frame.
    EXPECT_TRUE(ReachesFullScale(TPcmLayout::Stereo16, Stereo16(8, -32767, 32767).data(), 8));
    EXPECT_TRUE(ReachesFullScale(TPcmLayout::Stereo16, Stereo16(8, 0, -32766).data(), 8));
    EXPECT_FALSE(ReachesFullScale(TPcmLayout::Stereo16, Stereo16(8, 32765, -32765).data(), 8));
    // Only the frames asked about are read.
    EXPECT_FALSE(
        ReachesFullScale(TPcmLayout::Mono16, Concat(Mono16(20, 5), Mono16(1, 32767)).data(), 20));

    const struct {
        uint8_t Value;
        bool Full;
    } Cases8[] = { { 0, true }, { 1, true }, { 2, false }, { 128, false }, { 253, false },
        { 254, true }, { 255, true } };
    for (const auto& Case : Cases8) {
        std::vector<uint8_t> Bytes(10, 128);
        Bytes[7] = Case.Value;
        EXPECT_EQ(ReachesFullScale(TPcmLayout::Mono8, Bytes.data(), 10), Case.Full)
            << int(Case.Value);
        EXPECT_EQ(ReachesFullScale(TPcmLayout::Stereo8, Bytes.data(), 5), Case.Full)
            << int(Case.Value);
    }
}

// At 1000 Hz a tenth of a second is 100 frames.
TEST(ClipCounterTest, StretchesCloserThanATenthOfASecondAreOneTime)
{
    TClipCounter Clips;
    Clips.Start(1000);
    auto Measure = [&](const std::vector<uint8_t>& Bytes) {
        Clips.Measure(TPcmLayout::Mono16, Bytes.data(), static_cast<int32_t>(Bytes.size()));
    };
    Measure(Mono16(64, 0));
    EXPECT_EQ(Clips.Count(), 0);
    // Peaks one block apart, then across a delivery's end: all one time.
    Measure(Concat(Concat(Mono16(64, 32767), Mono16(64, 0)), Mono16(64, -32768)));
    Measure(Concat(Mono16(32, 0), Mono16(1, 32767)));
    EXPECT_EQ(Clips.Count(), 1);
    // 64 quiet frames, then 36 in the next delivery: together a tenth of a second, so the next
    // peak is a new time.
    Measure(Mono16(64, 0));
    Measure(Mono16(36, 0));
    Measure(Mono16(10, 32766));
    EXPECT_EQ(Clips.Count(), 2);
    // 99 quiet frames are not enough.
    Measure(Mono16(99, 0));
    Measure(Mono16(1, 32767));
    EXPECT_EQ(Clips.Count(), 2);
    // A new run counts from nothing.
    Clips.Start(1000);
    EXPECT_EQ(Clips.Count(), 0);
    Measure(Mono16(1, -32766));
    EXPECT_EQ(Clips.Count(), 1);
}

TEST(ClipCounterTest, IndicatorCountsEveryDeliveryAlsoOneItsReaderHoldsUp)
{
    class TLockableIndicator : public TSoundIndicator {
    public:
        TLockableIndicator()
            : TSoundIndicator(nullptr)
        {
        }
        TSpinFlag& ValuesLock() { return FValuesLock; }
    };
    TScriptedInput Source(16, 2, 1000);
    TLockableIndicator Indicator;
    Indicator.SetInput(&Source);
    Indicator.Init();
    std::vector<uint8_t> Buffer(4096);
    Source.Queue(Stereo16(256, 0, 32767));
    Source.Queue(Stereo16(256, 0, 0));
    Source.Queue(Stereo16(256, -32768, 0));
    ASSERT_EQ(Indicator.GetData(Buffer.data(), 4096), 1024);
    ASSERT_EQ(Indicator.GetData(Buffer.data(), 4096), 1024);
    EXPECT_EQ(Indicator.Clips(), 1);
    Indicator.ValuesLock().Acquire(); // the reader is taking the levels: no analysis
    ASSERT_EQ(Indicator.GetData(Buffer.data(), 4096), 1024);
    Indicator.ValuesLock().Release();
    EXPECT_EQ(Indicator.Clips(), 2);
    Indicator.Flush();
    EXPECT_EQ(Indicator.Clips(), 2); // kept for the end of the run
    Indicator.Init();
    EXPECT_EQ(Indicator.Clips(), 0);
    Indicator.Flush();
}

} // namespace
