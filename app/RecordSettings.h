// The recording settings the window offers: the duration's limits, the bit-rate lists of the two
// sample rates and the bit-rate table that turns a listed text into the sink's rate.
//
// Any thread; nothing blocks.
#pragma once

#include "ACS_LAME.h"

#include <QString>
#include <QStringList>

namespace RecordSettings {

// "No Limit" is the longest duration, 3 hours.
inline constexpr int MinSeconds = 5;
inline constexpr int MaxSeconds = 10800;

// 9 entries (40 .. 160 kbit/s) for exactly "22050", else 12 (40 .. 320 kbit/s).
QStringList BitRateList(const QString& SampleRateText);

// The sink's bit rate for an entry of the 12-entry list; raises std::invalid_argument for any
// other text.
TMP3BitRate BitRateOf(const QString& Text);

} // namespace RecordSettings
