// The recording settings the window offers: the duration's limits and how the spin box's text
// reads as a number, the bit-rate lists of the two sample rates and the bit-rate table that turns
// a listed text into the sink's rate.
//
// Any thread; nothing blocks.
#pragma once

#include "ACS_LAME.h"

#include <string>
#include <vector>

namespace RecordSettings {

// "No Limit" is the longest duration, 3 hours.
inline constexpr int MinSeconds = 5;
inline constexpr int MaxSeconds = 10800;
// The spin box's arrows step the duration by this much.
inline constexpr int SecondsStep = 5;

// The sample rates the window offers, in Hz: "22050", "44100".
std::vector<std::string> SampleRateList();

// The bit rates in kbit/s that the stream's format has at the sample rate: for exactly "22050"
// (MPEG-2 Layer III) 9 entries, 40 .. 160 with 144; else (44100 Hz, MPEG-1 Layer III) 11 entries,
// 40 .. 320 without 144.
std::vector<std::string> BitRateList(const std::string& SampleRateText);

// The sink's bit rate for an entry of either list; raises std::invalid_argument for any other
// text.
TMP3BitRate BitRateOf(const std::string& Text);

} // namespace RecordSettings
