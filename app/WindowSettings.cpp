#include "WindowSettings.h"

#include "FormDescription.h"
#include "RecordSettings.h"

#include <algorithm>
#include <charconv>

namespace {

const char* const InputKey = "input";
const char* const InputNameKey = "inputname";
const char* const SampleRateKey = "samplerate";
const char* const BitRateKey = "bitrate";
const char* const DurationKey = "duration";
const char* const SecondsKey = "seconds";
const char* const SaveFolderKey = "savefolder";
const char* const NoLimitValue = "nolimit";
const char* const CustomValue = "custom";

std::string ValueOf(const TSettingValues& Values, const char* Key)
{
    const auto Found = Values.find(Key);
    return Found == Values.end() ? std::string() : Found->second;
}

bool Listed(const std::vector<std::string>& List, const std::string& Text)
{
    return std::find(List.begin(), List.end(), Text) != List.end();
}

// Digits only, within the duration's limits.
std::optional<int> SecondsOf(const std::string& Text)
{
    int Value = 0;
    const char* End = Text.data() + Text.size();
    const auto [Past, Error] = std::from_chars(Text.data(), End, Value);
    if (Text.empty() || Error != std::errc() || Past != End || Value < RecordSettings::MinSeconds
        || Value > RecordSettings::MaxSeconds)
        return std::nullopt;
    return Value;
}

} // namespace

TWindowSettings SettingsOf(const TSettingValues& Values)
{
    TWindowSettings Settings;
    Settings.InputId = ValueOf(Values, InputKey);
    if (!Settings.InputId.empty())
        Settings.InputName = ValueOf(Values, InputNameKey);
    if (const std::string Rate = ValueOf(Values, SampleRateKey);
        Listed(RecordSettings::SampleRateList(), Rate))
        Settings.SampleRate = Rate;
    // The bit rate must be one the sample rate shown at start offers: the kept one, else the
    // form's own.
    const std::string Rate
        = Settings.SampleRate.empty() ? Form::Spec(TControl::SRate).Text : Settings.SampleRate;
    if (const std::string BitRate = ValueOf(Values, BitRateKey);
        Listed(RecordSettings::BitRateList(Rate), BitRate))
        Settings.BitRate = BitRate;
    if (const std::string Duration = ValueOf(Values, DurationKey); Duration == NoLimitValue)
        Settings.NoLimit = true;
    else if (Duration == CustomValue)
        Settings.NoLimit = false;
    Settings.Seconds = SecondsOf(ValueOf(Values, SecondsKey));
    Settings.SaveFolder = ValueOf(Values, SaveFolderKey);
    return Settings;
}

TSettingValues ValuesOf(const TWindowSettings& Settings)
{
    TSettingValues Values;
    const auto Put = [&](const char* Key, const std::string& Value) {
        if (!Value.empty())
            Values[Key] = Value;
    };
    Put(InputKey, Settings.InputId);
    if (!Settings.InputId.empty())
        Put(InputNameKey, Settings.InputName);
    Put(SampleRateKey, Settings.SampleRate);
    Put(BitRateKey, Settings.BitRate);
    if (Settings.NoLimit)
        Put(DurationKey, *Settings.NoLimit ? NoLimitValue : CustomValue);
    if (Settings.Seconds)
        Put(SecondsKey, std::to_string(*Settings.Seconds));
    Put(SaveFolderKey, Settings.SaveFolder);
    return Values;
}

std::string FolderOf(const std::string& FileName)
{
    const size_t Separator = FileName.find_last_of("/\\");
    if (Separator == std::string::npos)
        return {};
    // The root keeps its separator: "/" and "C:\".
    if (Separator == 0 || (Separator == 2 && FileName[1] == ':'))
        return FileName.substr(0, Separator + 1);
    return FileName.substr(0, Separator);
}
