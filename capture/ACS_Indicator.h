// The sound level indicator: a pass-through stage that hands its input's bytes on unchanged and,
// on the way, measures the spectrum of the sound for a level meter.
//
// Each delivery is cut into blocks of 64 frames; each frame is mixed to one value, the block is
// weighted with the first 64 entries of a 1024-point symmetric Hann window, transformed, and the
// base-10 log-magnitudes of the lowest 32 bins are added to 32 accumulators, which are then
// divided by the delivery's block count. A reader takes the 32 values, times 20, and clears them.
//
// Threads: the thread that starts the sink's run calls Init; the sink's worker thread calls
// GetData and Flush; another thread (the window's timer, every 100 ms) calls TakeLevels. The
// values lock is the only synchronisation between the analysis and the reader: the analysis tries
// it once and passes a delivery on unmeasured when the reader holds it, so the reader never holds
// up the pipeline; the reader waits (yielding) for at most one delivery's analysis.
//
// On the way the indicator also counts the times the input reaches full scale (ClipCounter.h),
// on every delivery, also one that the reader holds up; any thread reads the count.
#pragma once

#include "ACS_Classes.h"
#include "ClipCounter.h"
#include "SpectrumLevels.h"

#include <cstdint>
#include <span>

class TSoundIndicator : public TACSConverter {
public:
    // Values that TakeLevels fills: frequency bins 0 .. 31, bin k at k * sample rate / 64 Hz.
    static constexpr int32_t LevelCount = 32;
    static constexpr int32_t BlockFrames = 64;
    static constexpr int32_t WindowLength = 1024;

    explicit TSoundIndicator(TComponent* AOwner);
    // Leaves the chain (a reader waits for the read in flight, then forgets it) and ends a run in
    // progress before its members go. Owning thread.
    ~TSoundIndicator() override;

    // The input's format. Any thread but the one reading through the indicator; raise "Input is
    // not assigned." without an input; spin while a read is in flight.
    int32_t GetBitsPerSample() override;
    int32_t GetChannels() override;
    int32_t GetSampleRate() override;
    // The input's bytes, unchanged, then measured unless the reader holds the values lock. Raises
    // "The Stream is not opened" when not running. An error of the input's GetData passes through
    // and leaves InputLock set until ReleaseInputLocks. Worker thread; spins while the input is
    // being exchanged, blocks as long as the input's GetData does.
    int32_t GetData(void* Buffer, int32_t BufferSize) override;
    // GetData with the format that came with the input's bytes, by which they are also measured.
    int32_t GetDataWithFormat(void* Buffer, int32_t BufferSize, TInputFormat& Format) override;
    // Starts the input's run, takes its Size and clears the accumulators under the values lock.
    // Raises "Input is not assigned." without an input; stays idle when the input's Init raises.
    // Thread that starts the run; may wait, yielding, for a reader in TakeLevels.
    void Init() override;
    // Ends the input's run (when there is one) and clears Busy; the accumulators keep their values
    // for the reader. Worker thread, or the thread that exchanges an input.
    void Flush() override;

    // Values[k] := accumulator k * 20 for k = 0 .. min(LevelCount, Values.size()) - 1, then all
    // accumulators := 0. Any thread but the worker; waits, yielding, while a delivery is being
    // analysed. Works in either state.
    void TakeLevels(std::span<double> Values);

    // Times the input has reached full scale since Init (ClipCounter.h). Any thread.
    int64_t Clips() const { return FClips.Count(); }

protected:
    // Adds bin values (LevelCount of them: one block's, or the sum of a delivery's blocks) to the
    // accumulators; a sum that is not finite (an overflow or an invalid value) resets all of them
    // to 0. Values lock held.
    void AccumulateBlock(const double* BlockLevels);

    // Held while the analysis or TakeLevels works on the accumulators.
    TSpinFlag FValuesLock;

private:
    // Measures the delivery in place: the analysis only reads the caller's buffer, which nothing
    // else touches during the call, so it needs no copy of it. Values lock held.
    void Analyse(TPcmLayout Layout, const uint8_t* Bytes, int32_t Count);
    TACSInput& AssignedInput() const;
    int32_t AskInput(int32_t (TACSInput::*Query)());

    double FWindow[WindowLength];
    double FAccumulators[LevelCount];
    // The block measurement, with tables built from the first 64 entries of FWindow.
    TSpectrumLevels FSpectrum;
    TClipCounter FClips; // measured by the worker
};
