// The PulseAudio backend's device list: the server's default source (or sink), then its sources
// (or sinks), each with the name a person reads. A sink's monitor, which records whatever that
// output plays, reads as "Playback of" the sink's description, so that a list shows
// "Playback of Built-in Audio Analog Stereo" beside "Built-in Audio Analog Stereo" (the
// microphone input) instead of the server's "Monitor of ...".
#include "PulseWave.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace Pulse {

namespace {

struct TServerFacts {
    std::string DefaultSource;
    std::string DefaultSink;
    std::string Version;
};

struct TListed {
    uint32_t Index = PA_INVALID_INDEX;
    std::string Name;
    std::string Description;
    uint16_t Channels = 2;
    uint32_t MonitorOf = PA_INVALID_INDEX; // the sink a monitor source records
};

std::string Text(const char* Value)
{
    return Value ? Value : "";
}

void ServerInfoArrived(pa_context*, const pa_server_info* Info, void* Facts)
{
    if (Info == nullptr)
        return;
    auto& Out = *static_cast<TServerFacts*>(Facts);
    Out.DefaultSource = Text(Info->default_source_name);
    Out.DefaultSink = Text(Info->default_sink_name);
    Out.Version = Text(Info->server_version);
}

void SinkArrived(pa_context*, const pa_sink_info* Info, int End, void* List)
{
    if (End || Info == nullptr)
        return;
    static_cast<std::vector<TListed>*>(List)->push_back({ Info->index, Text(Info->name),
        Text(Info->description), Info->sample_spec.channels, PA_INVALID_INDEX });
}

void SourceArrived(pa_context*, const pa_source_info* Info, int End, void* List)
{
    if (End || Info == nullptr)
        return;
    static_cast<std::vector<TListed>*>(List)->push_back({ Info->index, Text(Info->name),
        Text(Info->description), Info->sample_spec.channels, Info->monitor_of_sink });
}

TServerFacts AskServer(TConnection& Connection)
{
    TServerFacts Facts;
    Connection.Complete("Cannot ask the sound server for its defaults", [&] {
        return pa_context_get_server_info(Connection.Context(), &ServerInfoArrived, &Facts);
    });
    return Facts;
}

std::vector<TListed> AskSinks(TConnection& Connection)
{
    std::vector<TListed> Sinks;
    Connection.Complete("Cannot list the sound server's outputs",
        [&] { return pa_context_get_sink_info_list(Connection.Context(), &SinkArrived, &Sinks); });
    return Sinks;
}

std::vector<TListed> AskSources(TConnection& Connection)
{
    std::vector<TListed> Sources;
    Connection.Complete("Cannot list the sound server's inputs", [&] {
        return pa_context_get_source_info_list(Connection.Context(), &SourceArrived, &Sources);
    });
    return Sources;
}

// What a person reads for a listed source or sink; a device without description by its name.
std::string Readable(const TListed& Device, const std::map<uint32_t, std::string>& SinkNames)
{
    if (Device.MonitorOf != PA_INVALID_INDEX) {
        if (auto Sink = SinkNames.find(Device.MonitorOf); Sink != SinkNames.end())
            return "Playback of " + Sink->second;
    }
    return Device.Description.empty() ? Device.Name : Device.Description;
}

} // namespace

std::vector<TDevice> ListDevices(TConnection& Connection, bool Input)
{
    const TServerFacts Facts = AskServer(Connection);
    const std::vector<TListed> Sinks = AskSinks(Connection);
    const std::vector<TListed> Listed = Input ? AskSources(Connection) : Sinks;
    std::map<uint32_t, std::string> SinkNames;
    for (const TListed& Sink : Sinks)
        SinkNames[Sink.Index] = Sink.Description.empty() ? Sink.Name : Sink.Description;

    const std::string& DefaultName = Input ? Facts.DefaultSource : Facts.DefaultSink;
    TDevice Default{ Input ? DefaultSourceName : DefaultSinkName, "Default", 2 };
    std::vector<TDevice> Devices;
    for (const TListed& Device : Listed) {
        Devices.push_back({ Device.Name, Readable(Device, SinkNames), Device.Channels });
        if (Device.Name == DefaultName) {
            Default.Description = "Default (" + Devices.back().Description + ")";
            Default.Channels = Device.Channels;
        }
    }
    // Without any source there is no default to record from either.
    if (!Devices.empty())
        Devices.insert(Devices.begin(), Default);
    return Devices;
}

uint32_t ServerVersion(TConnection& Connection)
{
    const std::string Version = AskServer(Connection).Version;
    unsigned Major = 0;
    unsigned Minor = 0;
    if (std::sscanf(Version.c_str(), "%u.%u", &Major, &Minor) < 1)
        return 0;
    return (std::min(Major, 255u) << 8) | std::min(Minor, 255u);
}

} // namespace Pulse
