// The ALSA backend's device list: "default" when it opens, then the devices of each card, each
// with a name a person recognises within the 31 characters a device name may have.
#include "AlsaPcm.h"

#include <cstring>

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
    std::string CardId = std::to_string(Card);
    if (snd_ctl_card_info(Ctl, CardInfo) >= 0) {
        CardName = snd_ctl_card_info_get_name(CardInfo);
        CardId = std::string("CARD=") + snd_ctl_card_info_get_id(CardInfo);
    }
    snd_pcm_info_t* PcmInfo;
    snd_pcm_info_alloca(&PcmInfo);
    for (int Device = -1; snd_ctl_pcm_next_device(Ctl, &Device) >= 0 && Device >= 0;) {
        snd_pcm_info_set_device(PcmInfo, static_cast<unsigned>(Device));
        snd_pcm_info_set_subdevice(PcmInfo, 0);
        snd_pcm_info_set_stream(PcmInfo, Stream);
        if (snd_ctl_pcm_info(Ctl, PcmInfo) < 0)
            continue; // the device has no stream of this direction
        const std::string Name = CardName + ": " + snd_pcm_info_get_name(PcmInfo);
        const std::string Number = std::to_string(Device);
        const std::string Id = CardId.starts_with("CARD=") ? "hw:" + CardId + ",DEV=" + Number
                                                           : "hw:" + CardId + "," + Number;
        Devices.push_back({ "plughw:" + std::to_string(Card) + "," + Number, ShortName(Name), Id });
    }
    snd_ctl_close(Ctl);
}

// The plugin type of ALSA's "default" PCM as configured ("pulse", "pipewire", "hw", ...), empty
// when the configuration does not say.
std::string DefaultType()
{
    snd_config_t* Definition = nullptr;
    if (snd_config == nullptr
        || snd_config_search_definition(snd_config, "pcm", "default", &Definition) < 0)
        return {};
    std::string Type;
    snd_config_t* Node = nullptr;
    const char* Value = nullptr;
    if (snd_config_search(Definition, "type", &Node) >= 0
        && snd_config_get_string(Node, &Value) >= 0)
        Type = Value;
    snd_config_delete(Definition);
    return Type;
}

// The sound server behind "default", by its plugin type or else by its description; empty when
// none is.
std::string SoundServer(const std::string& Description)
{
    const std::string Type = DefaultType();
    if (Type == "pulse")
        return "PulseAudio";
    if (Type == "pipewire")
        return "PipeWire";
    if (Type == "jack")
        return "JACK";
    for (const char* Server : { "PipeWire", "PulseAudio", "JACK" })
        if (Description.find(Server) != std::string::npos)
            return Server;
    return {};
}

// The name of the card that an open PCM plays on or records from, empty when it has none.
std::string CardName(snd_pcm_t* Pcm)
{
    snd_pcm_info_t* Info;
    snd_pcm_info_alloca(&Info);
    char* Name = nullptr;
    if (snd_pcm_info(Pcm, Info) < 0 || snd_pcm_info_get_card(Info) < 0
        || snd_card_get_name(snd_pcm_info_get_card(Info), &Name) < 0)
        return {};
    std::string Card = Name;
    free(Name);
    return Card;
}

// "Default (PulseAudio)" or "Default (PipeWire)" for a sound server, else the card's name, else
// ALSA's description of "default" when it fits whole, else "Default". Descriptions are often
// sentences ("Playback/recording through the ..."), which are never cut.
std::string DefaultName(snd_pcm_t* Pcm, snd_pcm_stream_t Stream)
{
    const std::string Description = DefaultDescription(Stream);
    if (const std::string Server = SoundServer(Description); !Server.empty())
        return "Default (" + Server + ")";
    if (const std::string Card = CardName(Pcm); !Card.empty()) {
        const std::string Name = "Default (" + Card + ")";
        return Name.size() <= MaxNameLength ? Name : ShortName(Card);
    }
    if (!Description.empty() && Description.size() <= MaxNameLength)
        return Description;
    return "Default";
}

// ALSA prints its own diagnosis of a PCM that cannot be opened; while the devices are probed
// that is the expected answer on a machine without sound card, and the list says it.
void QuietAlsaError(const char*, int, const char*, int, const char*, ...) { }

// Installs the quiet handler for its life, then puts back the handler that was there before.
class TQuietAlsaErrors {
public:
    TQuietAlsaErrors()
        : FSaved(snd_lib_error)
    {
        snd_lib_error_set_handler(&QuietAlsaError);
    }
    ~TQuietAlsaErrors() { snd_lib_error_set_handler(FSaved); }
    TQuietAlsaErrors(const TQuietAlsaErrors&) = delete;
    TQuietAlsaErrors& operator=(const TQuietAlsaErrors&) = delete;

private:
    snd_lib_error_handler_t FSaved;
};

} // namespace

std::string ShortName(const std::string& Text)
{
    constexpr const char* Separators = " :;,-/(";
    if (Text.size() <= MaxNameLength)
        return Text;
    // The longest start that ends before a separator: a word is never cut.
    size_t Cut = MaxNameLength;
    while (Cut > 0 && std::strchr(Separators, Text[Cut]) == nullptr)
        --Cut;
    if (Cut == 0) {
        // One long word: cut it, but not inside a UTF-8 character.
        Cut = MaxNameLength;
        while (Cut > 0 && (static_cast<unsigned char>(Text[Cut]) & 0xC0) == 0x80)
            --Cut;
    }
    std::string Short = Text.substr(0, Cut);
    // A name never ends on the separator that led to the part cut off.
    while (!Short.empty() && std::strchr(Separators, Short.back()) != nullptr)
        Short.pop_back();
    return Short;
}

std::vector<TAlsaDevice> EnumerateDevices(snd_pcm_stream_t Stream)
{
    const TQuietAlsaErrors Quiet;
    std::vector<TAlsaDevice> Devices;
    TPcmHandle Default;
    if (Default.Open("default", Stream, SND_PCM_NONBLOCK) >= 0)
        Devices.push_back({ "default", DefaultName(Default.Get(), Stream), "default" });
    Default.Reset();
    for (int Card = -1; snd_card_next(&Card) >= 0 && Card >= 0;)
        AddCardDevices(Card, Stream, Devices);
    return Devices;
}

} // namespace Alsa
