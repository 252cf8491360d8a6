#include "FormComponents.h"

#include "RecordSettings.h"

#include <stdexcept>
#include <string>

namespace {

// One stored component: its name, the name its Input refers to (empty for none) and the
// creation with its stored settings.
struct TStoredComponent {
    const char* Name;
    const char* InputName;
    std::function<TComponent*(TComponent& Owner, const TFormEvents& Events)> Create;
};

const TStoredComponent StoredComponents[] = {
    { "AudIn", "",
        [](TComponent& Owner, const TFormEvents&) -> TComponent* {
            auto* AudIn = new TAudioIn(&Owner);
            AudIn->SetBaseChannel(0);
            AudIn->InBitsPerSample = 16;
            AudIn->InChannels = 2;
            AudIn->InSampleRate = 22025;
            AudIn->RecTime = RecordSettings::MaxSeconds;
            return AudIn;
        } },
    { "SndIndic", "AudIn",
        [](TComponent& Owner, const TFormEvents&) -> TComponent* {
            return new TSoundIndicator(&Owner);
        } },
    { "MP3Out", "SndIndic",
        [](TComponent& Owner, const TFormEvents& Events) -> TComponent* {
            auto* MP3Out = new TMP3Out(&Owner);
            MP3Out->SetSuspendWhenIdle(true);
            MP3Out->SetFileMode(foRewrite);
            MP3Out->SetBitRate(br192);
            MP3Out->OnDone = Events.MP3OutDone;
            MP3Out->OnProgress = Events.MP3OutProgress;
            MP3Out->OnThreadException = Events.MP3OutThreadException;
            return MP3Out;
        } },
};

template <typename T> T* Named(const TComponent& Owner, const std::string& Name)
{
    auto* Found = dynamic_cast<T*>(Owner.FindComponent(Name));
    if (!Found)
        throw std::logic_error("The form has no component \"" + Name + "\" of the expected kind");
    return Found;
}

// Sets the Input of the converter or sink Target to the stage named InputName.
void LinkInput(const TComponent& Owner, TComponent& Target, const std::string& InputName)
{
    auto* Input = Named<TACSInput>(Owner, InputName);
    if (auto* Converter = dynamic_cast<TACSConverter*>(&Target))
        Converter->SetInput(Input);
    else if (auto* Output = dynamic_cast<TACSOutput*>(&Target))
        Output->SetInput(Input);
    else
        throw std::logic_error("Component \"" + Target.GetName() + "\" takes no input");
}

} // namespace

TFormComponents CreateFormComponents(TComponent& Owner, const TFormEvents& Events)
{
    for (const TStoredComponent& Stored : StoredComponents)
        Stored.Create(Owner, Events)->SetName(Stored.Name);
    // References by name are resolved once every component exists, as a stored form does.
    for (const TStoredComponent& Stored : StoredComponents)
        if (*Stored.InputName)
            LinkInput(Owner, *Owner.FindComponent(Stored.Name), Stored.InputName);
    return { Named<TAudioIn>(Owner, "AudIn"), Named<TSoundIndicator>(Owner, "SndIndic"),
        Named<TMP3Out>(Owner, "MP3Out") };
}
