// The ALSA backend's device list: "default" when it opens, then the devices of each card.
#include "AlsaPcm.h"

namespace Alsa {

namespace {

std::string FirstLine(const std::string& Text)
{
    return Text.substr(0, Text.find('\n'));
}

// The description of the "default" PCM from ALSA's hints, empty when it has none.
std::string DefaultDescription(snd_pcm_stream_t Stream)
{
    void** Hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &Hints) < 0)
        return {};
    const char* Wanted = Stream == SND_PCM_STREAM_CAPTURE ? "Input" : "Output";
    std::string Description;
    for (void** Hint = Hints; *Hint != nullptr && Description.empty(); ++Hint) {
        char* Name = snd_device_name_get_hint(*Hint, "NAME");
        char* Desc = snd_device_name_get_hint(*Hint, "DESC");
        char* IoId = snd_device_name_get_hint(*Hint, "IOID");
        if (Name && Desc && std::string(Name) == "default"
            && (IoId == nullptr || std::string(IoId) == Wanted))
            Description = FirstLine(Desc);
        free(Name);
        free(Desc);
        free(IoId);
    }
    snd_device_name_free_hint(Hints);
    return Description;
}

void AddCardDevices(int Card, snd_pcm_stream_t Stream, std::vector<TAlsaDevice>& Devices)
{
    snd_ctl_t* Ctl = nullptr;
    if (snd_ctl_open(&Ctl, ("hw:" + std::to_string(Card)).c_str(), 0) < 0)
        return; // a card whose control cannot be opened offers no device to list
    snd_ctl_card_info_t* CardInfo;
    snd_ctl_card_info_alloca(&CardInfo);
    std::string CardName = "Card " + std::to_string(Card);
    if (snd_ctl_card_info(Ctl, CardInfo) >= 0)
        CardName = snd_ctl_card_info_get_name(CardInfo);
    snd_pcm_info_t* PcmInfo;
    snd_pcm_info_alloca(&PcmInfo);
    for (int Device = -1; snd_ctl_pcm_next_device(Ctl, &Device) >= 0 && Device >= 0;) {
        snd_pcm_info_set_device(PcmInfo, static_cast<unsigned>(Device));
        snd_pcm_info_set_subdevice(PcmInfo, 0);
        snd_pcm_info_set_stream(PcmInfo, Stream);
        if (snd_ctl_pcm_info(Ctl, PcmInfo) < 0)
            continue; // the device has no stream of this direction
        const std::string Name = CardName + ": " + snd_pcm_info_get_name(PcmInfo);
        Devices.push_back({ "plughw:" + std::to_string(Card) + "," + std::to_string(Device),
            Name.substr(0, MaxNameLength) });
    }
    snd_ctl_close(Ctl);
}

// ALSA prints its own diagnosis of a PCM that cannot be opened; while the devices are probed
// that is the expected answer on a machine without sound card, and the list says it.
void QuietAlsaError(const char*, int, const char*, int, const char*, ...) { }

} // namespace

std::vector<TAlsaDevice> EnumerateDevices(snd_pcm_stream_t Stream)
{
    snd_lib_error_set_handler(&QuietAlsaError);
    std::vector<TAlsaDevice> Devices;
    TPcmHandle Default;
    if (Default.Open("default", Stream, SND_PCM_NONBLOCK) >= 0) {
        std::string Name = DefaultDescription(Stream);
        if (Name.empty())
            Name = "Default";
        Devices.push_back({ "default", Name.substr(0, MaxNameLength) });
    }
    Default.Reset();
    for (int Card = -1; snd_card_next(&Card) >= 0 && Card >= 0;)
        AddCardDevices(Card, Stream, Devices);
    snd_lib_error_set_handler(nullptr);
    return Devices;
}

} // namespace Alsa
