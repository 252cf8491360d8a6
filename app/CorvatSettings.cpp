// TMain's settings: the handlers of the controls whose values reach the next run (Save as, the
// duration's choice, the sample and bit rates, the input chooser), and the settings kept between
// starts.
#include "Corvat.h"
#include "FormDescription.h"
#include "RecordSettings.h"
#include "SpinEditCore.h"

#include <algorithm>

namespace {

bool Listed(const std::vector<std::string>& Items, const std::string& Text)
{
    return std::find(Items.begin(), Items.end(), Text) != Items.end();
}

} // namespace

void TMain::SaveAsClick()
{
    TSaveDialogSpec Dialog = SaveMp3;
    Dialog.Folder = FSaveFolder;
    if (const std::optional<std::string> Path = FWindow.RunSaveDialog(Dialog)) {
        FWindow.SetText(TControl::DirOut, *Path);
        FSaveFolder = FolderOf(*Path);
        SaveSettings();
    }
}

void TMain::SecNoLimitClick()
{
    FWindow.SetEnabled(TControl::Secs, false);
    FWindow.SetText(TControl::Secs, std::to_string(RecordSettings::MaxSeconds));
    FWindow.SetPosition(TControl::Progres, 100);
    SaveSettings();
}

void TMain::SecCustomClick()
{
    FWindow.SetEnabled(TControl::Secs, true);
    FWindow.SetPosition(TControl::Progres, 0);
    SaveSettings();
}

void TMain::SRateChange(const std::string& Text)
{
    // Refilling the list may replace the box's text; it stays as it was.
    const std::string Kept = FWindow.Text(TControl::KBS);
    FWindow.SetItems(TControl::KBS, RecordSettings::BitRateList(Text));
    FWindow.SetText(TControl::KBS, Kept);
    SaveSettings();
}

void TMain::KBSChange(const std::string&)
{
    SaveSettings();
}

void TMain::LabDevClick()
{
    // Like the other settings, the input waits while a run records.
    if (Recording || Paused)
        return;
    if (FInput->Choose())
        SaveSettings();
}

void TMain::RestoreSettings()
{
    TWindowSettings Kept;
    std::string Notice;
    try {
        FSettingsFile.emplace(SettingsFolder());
        Kept = SettingsOf(FSettingsFile->Read());
    } catch (const std::exception& E) {
        // Without a place for the file the window starts as the first time and keeps nothing.
        Notice = std::string("The settings are not kept: ") + E.what();
    }
    if (!Kept.SampleRate.empty()) {
        FWindow.SetText(TControl::SRate, Kept.SampleRate);
        SRateChange(Kept.SampleRate);
    }
    if (!Kept.BitRate.empty())
        FWindow.SetText(TControl::KBS, Kept.BitRate);
    if (Kept.Seconds)
        FWindow.SetText(TControl::Secs, std::to_string(*Kept.Seconds));
    if (Kept.NoLimit.value_or(false)) {
        FWindow.SetChecked(TControl::SecNoLimit);
        SecNoLimitClick();
    }
    FSaveFolder = Kept.SaveFolder;
    if (const std::string Gone = FInput->Restore(Kept.InputId, Kept.InputName); !Gone.empty())
        Notice = Gone;
    if (!Notice.empty())
        FNotices.ShowNotice(Notice);
    // From here on what the window shows is compared with the file: a start changes nothing.
    FKept = ShownSettings();
    FSettingsShown = true;
}

TWindowSettings TMain::ShownSettings() const
{
    TWindowSettings Shown;
    Shown.InputId = FInput->Id();
    Shown.InputName = FInput->Name();
    if (const std::string Rate = FWindow.Text(TControl::SRate);
        Listed(FWindow.Items(TControl::SRate), Rate))
        Shown.SampleRate = Rate;
    if (const std::string Rate = FWindow.Text(TControl::KBS);
        Listed(FWindow.Items(TControl::KBS), Rate))
        Shown.BitRate = Rate;
    Shown.NoLimit = FWindow.Checked(TControl::SecNoLimit);
    Shown.Seconds = std::clamp(SecsValue(), RecordSettings::MinSeconds, RecordSettings::MaxSeconds);
    Shown.SaveFolder = FSaveFolder;
    return Shown;
}

void TMain::SaveSettings()
{
    if (!FSettingsShown || !FSettingsFile)
        return;
    const TWindowSettings Shown = ShownSettings();
    if (Shown == FKept)
        return;
    try {
        FSettingsFile->Write(ValuesOf(Shown));
        FKept = Shown;
    } catch (const std::exception& E) {
        // Not a reason to stop the user: the next change tries again.
        FNotices.ShowNotice(E.what());
    }
}
