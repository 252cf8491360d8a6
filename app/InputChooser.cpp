#include "InputChooser.h"

#include <algorithm>

namespace {

// The index of the input with identifier Id, or -1.
int IndexOf(const std::vector<TWaveInput>& Inputs, const std::string& Id)
{
    const auto Found = std::find_if(
        Inputs.begin(), Inputs.end(), [&](const TWaveInput& Input) { return Input.Id == Id; });
    return Found == Inputs.end() ? -1 : static_cast<int>(Found - Inputs.begin());
}

} // namespace

TInputChooser::TInputChooser(TMainWindow& Window, TAudioIn& AudIn)
    : FWindow(Window)
    , FAudIn(AudIn)
    , FDevice(AudIn.GetBaseChannel())
{
}

void TInputChooser::Apply()
{
    if (!FAudIn.Busy && FAudIn.GetBaseChannel() != FDevice)
        FAudIn.SetBaseChannel(FDevice);
}

void TInputChooser::ShowCurrent()
{
    TWaveDeviceInfo Info;
    GetWaveDeviceInfo(FDevice, false, Info);
    FWindow.SetText(TControl::LabDev, Info.Name);
}

std::string TInputChooser::Restore(const std::string& Id, const std::string& Name)
{
    std::string Notice;
    if (!Id.empty()) {
        const std::vector<TWaveInput> Inputs = ListWaveInputs();
        if (const int Index = IndexOf(Inputs, Id); Index >= 0) {
            FDevice = Index;
            Apply();
            FId = Id;
            FName = Inputs[static_cast<size_t>(Index)].Name;
        } else {
            Notice = "The input \"" + (Name.empty() ? Id : Name)
                + "\" is not there; recording from device 0";
        }
    }
    ShowCurrent();
    return Notice;
}

bool TInputChooser::Choose()
{
    const std::vector<TWaveInput> Inputs = ListWaveInputs();
    if (Inputs.empty())
        throw EACSException("There is no input to record from");
    TMenuSpec Menu;
    Menu.Below = TControl::LabDev;
    for (const TWaveInput& Input : Inputs)
        Menu.Entries.push_back(Input.Name);
    // The input chosen before, else the source's number when no choice was made.
    Menu.Checked = FId.empty() ? FDevice : IndexOf(Inputs, FId);
    if (Menu.Checked >= static_cast<int>(Inputs.size()))
        Menu.Checked = -1;
    const std::optional<int> Chosen = FWindow.RunMenu(Menu);
    if (!Chosen || *Chosen < 0 || *Chosen >= static_cast<int>(Inputs.size()))
        return false;
    FDevice = *Chosen;
    Apply();
    FId = Inputs[static_cast<size_t>(*Chosen)].Id;
    FName = Inputs[static_cast<size_t>(*Chosen)].Name;
    ShowCurrent();
    return true;
}
