#include "RecordSettings.h"

#include <iterator>
#include <stdexcept>

namespace RecordSettings {

namespace {

struct TBitRateEntry {
    const char* Text;
    TMP3BitRate BitRate;
};

// The 12-entry list in its order; the first 9 are the list at 22050 Hz.
constexpr TBitRateEntry BitRateTable[] = {
    { "40", br40 },
    { "48", br48 },
    { "56", br56 },
    { "64", br64 },
    { "80", br80 },
    { "96", br96 },
    { "128", br128 },
    { "144", br144 },
    { "160", br160 },
    { "192", br192 },
    { "256", br256 },
    { "320", br320 },
};
constexpr int EntriesAt22050 = 9;

} // namespace

QStringList BitRateList(const QString& SampleRateText)
{
    const int Count
        = SampleRateText == QLatin1String("22050") ? EntriesAt22050 : int(std::size(BitRateTable));
    QStringList List;
    for (int Index = 0; Index < Count; ++Index)
        List << QLatin1String(BitRateTable[Index].Text);
    return List;
}

TMP3BitRate BitRateOf(const QString& Text)
{
    for (const TBitRateEntry& Entry : BitRateTable)
        if (Text == QLatin1String(Entry.Text))
            return Entry.BitRate;
    throw std::invalid_argument("\"" + Text.toStdString() + "\" is not a bit rate of the list");
}

} // namespace RecordSettings
