#include "FakeWindow.h"

#include "HandlerGuard.h"
#include "RecordSettings.h"

#include <algorithm>
#include <stdexcept>

namespace {

struct TFakePicture : TPicture {
    explicit TFakePicture(std::string AFileName)
        : FileName(std::move(AFileName))
    {
    }
    std::string FileName;
};

bool EndsWith(const std::string& Text, const std::string& End)
{
    return Text.size() >= End.size()
        && Text.compare(Text.size() - End.size(), End.size(), End) == 0;
}

} // namespace

TFakeWindow::TFakeWindow()
{
    // The form's settings at start.
    FControls[TControl::LabDev].Text = "Unknown";
    FControls[TControl::State].Text = "Status";
    FControls[TControl::Secs].Text = "10800";
    FControls[TControl::SRate].Items = { "22050", "44100" };
    FControls[TControl::SRate].Text = "44100";
    FControls[TControl::KBS].Items = RecordSettings::BitRateList("44100");
    FControls[TControl::KBS].Text = "128";
    FControls[TControl::SecCustom].Checked = true;
    FControls[TControl::Indicator].ElementColor = FormIndicatorColor;
}

TFakeWindow::~TFakeWindow()
{
    FMain.reset();
    std::lock_guard Lock(FQueueMutex);
    FQueue.clear();
}

TMain& TFakeWindow::Open()
{
    FMain = std::make_unique<TMain>(*this);
    return *FMain;
}

void TFakeWindow::Handle(const std::function<void(TMain&)>& Handler)
{
    RunGuarded(*this, [&] { Handler(*FMain); });
}

int TFakeWindow::Pump()
{
    int Ran = 0;
    for (;;) {
        std::function<void()> Call;
        {
            std::lock_guard Lock(FQueueMutex);
            if (FQueue.empty())
                return Ran;
            Call = std::move(FQueue.front());
            FQueue.pop_front();
        }
        Call();
        ++Ran;
    }
}

bool TFakeWindow::PumpUntil(const std::function<bool()>& Done, std::chrono::milliseconds Bound)
{
    const auto Deadline = std::chrono::steady_clock::now() + Bound;
    for (;;) {
        Pump();
        if (Done())
            return true;
        std::unique_lock Lock(FQueueMutex);
        if (!FPosted.wait_until(Lock, Deadline, [this] { return !FQueue.empty(); }))
            return false;
    }
}

size_t TFakeWindow::Queued()
{
    std::lock_guard Lock(FQueueMutex);
    return FQueue.size();
}

void TFakeWindow::Select(TControl Radio)
{
    FControls[TControl::SecCustom].Checked = Radio == TControl::SecCustom;
    FControls[TControl::SecNoLimit].Checked = Radio == TControl::SecNoLimit;
    Handle([&](TMain& Main) {
        if (Radio == TControl::SecCustom)
            Main.SecCustomClick();
        else
            Main.SecNoLimitClick();
    });
}

// ---- The window interface

std::string TFakeWindow::Text(TControl Control) const
{
    return FControls[Control].Text;
}

void TFakeWindow::SetText(TControl Control, const std::string& Text)
{
    FControls[Control].Text = Text;
}

std::vector<std::string> TFakeWindow::Items(TControl Control) const
{
    return FControls[Control].Items;
}

void TFakeWindow::SetItems(TControl Control, const std::vector<std::string>& Items)
{
    // As a toolkit's list does: refilling it changes its text.
    FControls[Control].Items = Items;
    FControls[Control].Text = Items.empty() ? std::string() : Items.front();
}

bool TFakeWindow::Checked(TControl Control) const
{
    return FControls[Control].Checked;
}

void TFakeWindow::SetChecked(TControl Control)
{
    // The duration's two radio buttons are one group.
    FControls[TControl::SecCustom].Checked = Control == TControl::SecCustom;
    FControls[TControl::SecNoLimit].Checked = Control == TControl::SecNoLimit;
}

void TFakeWindow::SetEnabled(TControl Control, bool Enabled)
{
    FControls[Control].Enabled = Enabled;
}

void TFakeWindow::SetPosition(TControl Control, int Position)
{
    FControls[Control].Position = Position;
}

TColor TFakeWindow::ElementColor(TControl Control) const
{
    return FControls[Control].ElementColor;
}

void TFakeWindow::SetElementColor(TControl Control, TColor Color)
{
    FControls[Control].ElementColor = Color;
    ++FControls[Control].ElementColorChanges;
}

void TFakeWindow::SetHint(TControl Control, const std::string& Hint)
{
    FControls[Control].Hint = Hint;
}

std::shared_ptr<TPicture> TFakeWindow::ReadPicture(const std::string& FileName)
{
    for (const std::string& Name : Unreadable)
        if (EndsWith(FileName, Name))
            throw PictureReadError(FileName, "File not found");
    return std::make_shared<TFakePicture>(FileName);
}

void TFakeWindow::ShowPicture(TControl Control, const TPicture* Picture)
{
    FControls[Control].Picture
        = Picture ? static_cast<const TFakePicture*>(Picture)->FileName : std::string();
}

void TFakeWindow::ShowMessage(const TMessage& Message)
{
    Messages.push_back(Message);
}

bool TFakeWindow::Ask(const TQuestion& Question)
{
    Questions.push_back(Question);
    return AnswerYes;
}

std::optional<std::string> TFakeWindow::RunSaveDialog(const TSaveDialogSpec& Spec)
{
    SaveDialogs.push_back(Spec);
    return SaveAnswer;
}

std::optional<int> TFakeWindow::RunMenu(const TMenuSpec& Menu)
{
    Menus.push_back(Menu);
    if (!MenuAnswer)
        return std::nullopt;
    const auto Found = std::find(Menu.Entries.begin(), Menu.Entries.end(), *MenuAnswer);
    if (Found == Menu.Entries.end())
        return std::nullopt;
    return static_cast<int>(Found - Menu.Entries.begin());
}

void TFakeWindow::ReportError(const std::string& Message)
{
    Errors.push_back(Message);
}

std::string TFakeWindow::ApplicationFolder() const
{
    return FolderForSkin;
}

void TFakeWindow::StartTimer(std::chrono::milliseconds Interval)
{
    TimerRunning = true;
    TimerInterval = Interval;
}

void TFakeWindow::StopTimer()
{
    TimerRunning = false;
}

void TFakeWindow::Minimise()
{
    ++Minimised;
}

void TFakeWindow::MoveBy(int DX, int DY)
{
    Left += DX;
    Top += DY;
}

void TFakeWindow::Close()
{
    ++CloseRequests;
    bool MayClose = false;
    Handle([&](TMain& Main) { MayClose = Main.FormCloseQuery(); });
    Closed = Closed || MayClose;
}

void TFakeWindow::Post(std::function<void()> Call)
{
    {
        std::lock_guard Lock(FQueueMutex);
        FQueue.push_back(std::move(Call));
    }
    FPosted.notify_all();
}
