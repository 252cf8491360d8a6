// The input the next run records from, as the device label LabDev shows and chooses it.
//
// The label shows the input's name (as the device reports it, cut by the label's width). Its menu
// lists the inputs by their names, read afresh from the device backend each time it opens, with
// the current input marked; the choice becomes the capture source's device number, which the
// next run opens (Apply: at once, and again as a run starts). An input is kept between starts by
// its stable identifier (TWaveBackend's InputId), since its number may change when inputs come
// and go.
//
// Until the user chooses an input the source records from device 0, as it always did, and no
// identifier is kept.
//
// GUI thread only; listing the inputs and asking one's name may block briefly on the platform.
#pragma once

#include "ACS_Audio.h"
#include "MainWindow.h"

#include <string>

class TInputChooser {
public:
    // Window and AudIn outlive this object.
    TInputChooser(TMainWindow& Window, TAudioIn& AudIn);

    // At start: the source's device shows on the label. Raises as GetWaveDeviceInfo does.
    void ShowCurrent();
    // At start, with the identifier and name kept from the last start: finds that input and makes
    // it the source's; when it is gone, device 0 stays. Returns the notice for the user then
    // (empty when the input was found or none was kept). Shows the label either way.
    std::string Restore(const std::string& Id, const std::string& Name);
    // The label's click: runs the menu of the inputs and makes the chosen one the source's.
    // True when the user chose an input. Raises when the inputs cannot be listed or there is
    // none.
    bool Choose();

    // Gives the source the chosen input's number, unless it still records: Stop shows the idle
    // look while the run ends, and the next run's start, which waits for that end, applies the
    // choice then.
    void Apply();

    // The chosen input's identifier and name; empty until one was chosen or restored.
    const std::string& Id() const { return FId; }
    const std::string& Name() const { return FName; }

private:
    TMainWindow& FWindow;
    TAudioIn& FAudIn;
    int32_t FDevice = 0;
    std::string FId;
    std::string FName;
};
