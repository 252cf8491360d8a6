// The window's settings as the settings file keeps them (SettingsFile.h): the input by its
// identifier and name, the sample rate, the bit rate, the duration's choice and seconds, and the
// folder of the last Save as. Each value is checked on its own as it is read: one that the window
// could not show (a rate not in its list, seconds out of range) is left out, and the window keeps
// its own for it.
//
// Any thread; plain values.
#pragma once

#include "SettingsFile.h"

#include <optional>
#include <string>

struct TWindowSettings {
    std::string InputId; // empty: no input chosen, device 0
    std::string InputName;
    std::string SampleRate; // an entry of the sample-rate list, or empty
    std::string BitRate; // an entry of the bit-rate list of SampleRate (or of the form's), or empty
    std::optional<bool> NoLimit;
    std::optional<int> Seconds; // within the duration's limits
    std::string SaveFolder; // empty: none

    friend bool operator==(const TWindowSettings&, const TWindowSettings&) = default;
};

// The settings of kept values; the values of settings (empty ones left out).
TWindowSettings SettingsOf(const TSettingValues& Values);
TSettingValues ValuesOf(const TWindowSettings& Settings);

// The folder of a full file name, with either separator; empty when it has none.
std::string FolderOf(const std::string& FileName);
