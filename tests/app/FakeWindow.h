// A window for tests of the window's behaviour: it records what the behaviour does to its
// controls, answers the dialogs as the test says, and queues posted calls until the test pumps
// them, so that a test drives every handler on its own thread.
//
// Pictures are not read: a picture is the name of the file it was read from, and a file whose
// name ends with one of Unreadable's names cannot be read.
//
// The test's thread is the GUI thread: every operation, Open, Handle and Pump on it; Post from
// any thread.
#pragma once

#include "Corvat.h"
#include "MainWindow.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

class TFakeWindow : public TMainWindow {
public:
    // The level bar's element colour in the form: the system colour clBackground.
    static constexpr TColor FormIndicatorColor = 0x80000001u;

    // What a control shows, as the behaviour left it. Radio buttons start as the form has them:
    // SecCustom selected.
    struct TControlState {
        std::string Text;
        std::vector<std::string> Items;
        bool Enabled = true;
        bool Checked = false;
        int Position = 0;
        std::string Picture; // the file name of the shown picture; empty for none
        std::string Hint;
        TColor ElementColor = 0;
        int ElementColorChanges = 0;
    };

    // The controls as the form builds them.
    TFakeWindow();
    // Destroys the behaviour while the window is whole, then drops the queued calls.
    ~TFakeWindow() override;

    // Creates the behaviour on this window (components, timer, FormCreate); raises as TMain's
    // constructor does.
    TMain& Open();
    TMain& Main() { return *FMain; }
    // Destroys the behaviour (the window stays).
    void Destroy() { FMain.reset(); }
    // Runs Handler with the behaviour behind the handler guard, as a front end runs its events.
    void Handle(const std::function<void(TMain&)>& Handler);

    // Runs the posted calls queued now and those they post; returns how many ran.
    int Pump();
    // Runs posted calls as they come until Done holds, at most Bound; whether it holds.
    bool PumpUntil(const std::function<bool()>& Done,
        std::chrono::milliseconds Bound = std::chrono::seconds(30));
    // Calls queued and not yet run; any thread.
    size_t Queued();

    // The user's input: what a control shows, as if typed or chosen (no handler runs).
    TControlState& operator[](TControl Control) { return FControls[Control]; }
    // Selects one duration radio button, as a click does, and runs its handler.
    void Select(TControl Radio);

    // ---- What the behaviour did and what the window answers

    std::string FolderForSkin = "/corvatone";
    std::set<std::string> Unreadable;
    // The answer of the next save dialogs; nothing means the user cancels.
    std::optional<std::string> SaveAnswer;
    std::vector<TSaveDialogSpec> SaveDialogs;
    // The answer of the next menus, the entry chosen by its text; nothing, or a text the menu
    // lacks, closes them without a choice.
    std::optional<std::string> MenuAnswer;
    std::vector<TMenuSpec> Menus;
    std::vector<TMessage> Messages;
    // The questions asked, and the answer the user gives to each.
    std::vector<TQuestion> Questions;
    bool AnswerYes = true;
    std::vector<std::string> Errors;
    bool TimerRunning = false;
    std::chrono::milliseconds TimerInterval{ 0 };
    int Minimised = 0;
    int Left = 100;
    int Top = 100;
    // Close requests the behaviour made, and whether FormCloseQuery let the window close.
    int CloseRequests = 0;
    bool Closed = false;

    // ---- The window interface

    std::string Text(TControl Control) const override;
    void SetText(TControl Control, const std::string& Text) override;
    std::vector<std::string> Items(TControl Control) const override;
    void SetItems(TControl Control, const std::vector<std::string>& Items) override;
    bool Checked(TControl Control) const override;
    void SetChecked(TControl Control) override;
    void SetEnabled(TControl Control, bool Enabled) override;
    void SetPosition(TControl Control, int Position) override;
    TColor ElementColor(TControl Control) const override;
    void SetElementColor(TControl Control, TColor Color) override;
    void SetHint(TControl Control, const std::string& Hint) override;
    std::shared_ptr<TPicture> ReadPicture(const std::string& FileName) override;
    void ShowPicture(TControl Control, const TPicture* Picture) override;
    void ShowMessage(const TMessage& Message) override;
    bool Ask(const TQuestion& Question) override;
    std::optional<std::string> RunSaveDialog(const TSaveDialogSpec& Spec) override;
    std::optional<int> RunMenu(const TMenuSpec& Menu) override;
    void ReportError(const std::string& Message) override;
    std::string ApplicationFolder() const override;
    void StartTimer(std::chrono::milliseconds Interval) override;
    void StopTimer() override;
    void Minimise() override;
    void MoveBy(int DX, int DY) override;
    void Close() override;
    void Post(std::function<void()> Call) override;

private:
    mutable std::map<TControl, TControlState> FControls;
    std::unique_ptr<TMain> FMain;
    std::mutex FQueueMutex;
    std::condition_variable FPosted;
    std::deque<std::function<void()>> FQueue;
};
