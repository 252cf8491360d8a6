#include "RecordSettings.h"

#include <iterator>
#include <stdexcept>

namespace RecordSettings {

namespace {

struct TBitRateEntry {
    const char* Text;
    TMP3BitRate BitRate;
    bool At22050; // an entry of the list at 22050 Hz (MPEG-2 Layer III)
    bool At44100; // an entry of the list at 44100 Hz (MPEG-1 Layer III)
};

// Both lists in their order. The encoder takes only the rates its stream's format has and would
// quietly record another one for the rest, so each list holds only rates of its own format:
// 144 kbit/s exists at 22050 Hz but not at 44100 Hz.
constexpr TBitRateEntry BitRateTable[] = {
    { "40", br40, true, true },
    { "48", br48, true, true },
    { "56", br56, true, true },
    { "64", br64, true, true },
    { "80", br80, true, true },
    { "96", br96, true, true },
    { "128", br128, true, true },
    { "144", br144, true, false },
    { "160", br160, true, true },
    { "192", br192, false, true },
    { "256", br256, false, true },
    { "320", br320, false, true },
};

} // namespace

std::vector<std::string> SampleRateList()
{
    return { "22050", "44100" };
}

std::vector<std::string> BitRateList(const std::string& SampleRateText)
{
    const bool At22050 = SampleRateText == "22050";
    std::vector<std::string> List;
    for (const TBitRateEntry& Entry : BitRateTable)
        if (At22050 ? Entry.At22050 : Entry.At44100)
            List.emplace_back(Entry.Text);
    return List;
}

TMP3BitRate BitRateOf(const std::string& Text)
{
    for (const TBitRateEntry& Entry : BitRateTable)
        if (Text == Entry.Text)
            return Entry.BitRate;
    throw std::invalid_argument("\"" + Text + "\" is not a bit rate of the list");
}

} // namespace RecordSettings
