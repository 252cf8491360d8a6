#include "RecordSettings.h"

#include <charconv>
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

bool IsBlank(char Character)
{
    return Character == ' ' || (Character >= '\t' && Character <= '\r');
}

} // namespace

int SpinEditValue(const std::string& Text, int MinValue)
{
    const char* First = Text.data();
    const char* Last = First + Text.size();
    while (First != Last && IsBlank(*First))
        ++First;
    while (Last != First && IsBlank(Last[-1]))
        --Last;
    // from_chars takes a minus sign but no plus sign.
    if (Last - First > 1 && *First == '+' && First[1] != '-')
        ++First;
    int Value = 0;
    const auto [End, Error] = std::from_chars(First, Last, Value);
    if (First == Last || Error != std::errc() || End != Last)
        return MinValue;
    return Value;
}

std::vector<std::string> SampleRateList()
{
    return { "22050", "44100" };
}

std::vector<std::string> BitRateList(const std::string& SampleRateText)
{
    const int Count = SampleRateText == "22050" ? EntriesAt22050 : int(std::size(BitRateTable));
    std::vector<std::string> List;
    for (int Index = 0; Index < Count; ++Index)
        List.emplace_back(BitRateTable[Index].Text);
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
