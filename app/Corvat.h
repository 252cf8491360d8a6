// The main window TMain: the recorder's behaviour behind its skinned window, free of any toolkit.
// It owns the pipeline AudIn -> SndIndic -> MP3Out (FormComponents.h), the window's state and
// the four kept small-button pictures, and reaches its window only through TMainWindow
// (MainWindow.h), which a front end implements and whose events it forwards to the handlers
// below, each behind the handler guard (HandlerGuard.h).
//
// Only the close button closes the window: FormCloseQuery refuses every other request until
// CanExit is set. The session's end (log-out, shutdown, a termination signal) is no such request:
// the system ends the program whatever the window answers, so the window finishes the recording
// and lets it go (CorvatSession.cpp).
//
// Recording: Record starts a run of MP3Out with the window's settings, Pause pauses and resumes
// it, Stop asks it to end. The sink reports the end of each run (done, or failed with a reason);
// which run a report belongs to is the run ledger's (RunLedger.h), so that a report of an earlier
// run that arrives after a newer one has started leaves the newer one alone.
//
// Threads: everything here runs on the GUI thread. The sink raises OnDone, OnProgress and
// OnThreadException on its worker thread (OnThreadException also inside Run on the GUI thread
// when the run cannot start). The worker's reports are posted to the GUI thread through the
// window, in the order raised, without making the worker wait, and run there as MP3OutDone,
// MP3OutProgress and MP3OutThreadException; a failed start is handled at once when Run returns.
#pragma once

#include "CallGate.h"
#include "FormComponents.h"
#include "InputChooser.h"
#include "MainWindow.h"
#include "RunLedger.h"
#include "RunNotices.h"
#include "WindowSettings.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class TMain {
public:
    // The repeating level timer Tim.
    static constexpr std::chrono::milliseconds TimerInterval{ 100 };
    // The longest wait of the GUI thread for a run to end once closing has asked it to stop;
    // the close button's wait and the destruction's share it. A run that has not ended by then
    // is left to end on its own, and the window goes.
    static constexpr std::chrono::milliseconds RunEndLimit{ 5000 };
    // How long closing during a recording waits for the run's end when the sink was not asked
    // to stop (the close button's press ended outside it).
    static constexpr std::chrono::milliseconds CloseWait{ 600 };

    // Creates the components, starts the timer and runs FormCreate (guarded). Raises when a
    // component cannot be created (no wave-in device, no encoder library); the window is then
    // not created. Window has built its controls and outlives this object.
    explicit TMain(TMainWindow& Window);
    // Ends a run still in progress (stop request, then a wait for its end, so that its file is
    // complete, at most what is left of RunEndLimit since the close button's click), runs
    // FormDestroy, then destroys the components (the sink's destruction ends its worker), or,
    // when the run has still not ended, leaves them to a thread of their own
    // (ComponentRelease.h). Uses the window: a front end destroys this object while it is still
    // whole.
    ~TMain();
    TMain(const TMain&) = delete;
    TMain& operator=(const TMain&) = delete;

    // ---- The window's own events

    // Each handler below says on which event it acts, when it does nothing, what it may wait on
    // and what the window shows afterwards. None looks at the mouse button it is given: a press
    // or release of any button acts alike. A picture that cannot be read raises, which skips the
    // rest of the handler and shows the error (the handler guard); nothing after it changes.

    // At creation: reads the four kept small-button pictures, the background and the large
    // buttons' pictures (files read on this thread), then the settings kept from the last start
    // (SettingsFile.h) and shows them with the device's name. A picture that cannot be read ends
    // it there: the later pictures stay empty, LabDev shows "Unknown", and the settings are
    // neither shown nor written in this run of the program. A kept input that is gone leaves
    // device 0, with a notice on the panel's tooltip.
    void FormCreate();
    // A request to close the window from any source: allowed only once the close button has set
    // CanExit. Never waits.
    bool FormCloseQuery();
    // Releases the kept pictures. Never waits.
    void FormDestroy();

    // The system asks whether the session may end (log-out, shutdown). Always yes: while idle at
    // once; during a run (also a paused one) after asking the sink to stop and blocking the GUI
    // thread until the run has ended and its file is complete, at most what is left of
    // RunEndLimit. The window stays, and shows the run's end once its report is handled; a
    // later request to close it is refused as before.
    bool FormQueryEndSession();
    // Why the session waits, for a system that shows it while the question finishes a run.
    static constexpr char SessionEndReason[] = "Finishing the recording";
    // The session ends (after the question, or without it: a termination signal, a forced
    // shutdown). Ends a run still in progress as FormQueryEndSession does, then sets CanExit and
    // closes the window, so that the program ends normally.
    void FormEndSession();
    // True from a run's start until the sink has ended it (running, paused, or still ending
    // after a stop request): the time a session's end waits for. Never waits.
    bool RunInProgress() const;

    // Moving the window by its background, with any mouse button: the press grabs the point
    // under the pointer, each move while grabbed moves the window so that the point stays under
    // the pointer (a move without a grab does nothing), the release ends the grab. X, Y: the
    // pointer in the background's coordinates. Never wait. Where the system takes the move at the
    // press (StartSystemMove), the press grabs nothing and the system moves the window.
    void BackGMouseDown(TMouseButton Button, int X, int Y);
    void BackGMouseMove(int X, int Y);
    void BackGMouseUp(TMouseButton Button, int X, int Y);

    // The minimise button: the press shows its pressed picture, the click (primary button
    // released over it) minimises the window, the release shows its picture again. Never wait.
    void MinBMouseDown(TMouseButton Button, int X, int Y);
    void MinBClick();
    void MinBMouseUp(TMouseButton Button, int X, int Y);

    // The close button: the press shows its pressed picture; the click asks the sink to stop in
    // every state (and resumes it when paused) and never waits; the release closes the window.
    void CloseBMouseDown(TMouseButton Button, int X, int Y);
    void CloseBClick();
    // Acts on the release, also one outside the button (then without the click's stop request):
    // shows the button's picture again. When a recording is running or paused, stops the timer
    // and blocks the GUI thread until the sink's run has ended: at most RunEndLimit after the
    // click's stop request, at most CloseWait without one. Then sets CanExit and closes the
    // window.
    void CloseBMouseUp(TMouseButton Button, int X, int Y);

    // ---- Recording control

    // Acts on the press. Clamps the duration to 5..10800 first, in every state. Then does
    // nothing more but show a box when the settings fail CheckSettings (error "Invalid settings
    // selected!") or no file is chosen (warning "Please select a new mp3 file to record"), and
    // nothing more at all while recording or paused, or when the user declines a run the disk
    // cannot hold. Otherwise reads RecB's pressed picture (a picture that cannot be read starts
    // no run) and calls the sink's Run, which creates the file and opens the device on this
    // thread (it waits for both). Only once the run has started does the window show the
    // recording look (RecB pressed, settings disabled, "Record"). A start that fails shows its
    // reason in a box and the idle look with "Error". While the sink still ends an earlier run
    // (a Stop was released and the run has not ended yet), Run raises "Component is buisy": the
    // box shows it and the window stays idle as it was, pictures, enabled states and texts; that
    // run's end then arrives as usual.
    void RecBMouseDown(TMouseButton Button, int X, int Y);
    // Acts on the press; does nothing while idle. Pauses a recording (PauseB pressed, RecB
    // released, "Pause") or resumes a paused one (the pictures back, "Record"). The sink's worker
    // stops before its next block; the device stops recording at once (waiting only while it
    // stops), so that the pause is neither in the file nor counted as lost sound.
    void PauseBMouseDown(TMouseButton Button, int X, int Y);
    // The press shows the stop button pressed, in every state. Never waits.
    void StopBMouseDown(TMouseButton Button, int X, int Y);
    // The release shows the three large buttons released, in every state; while idle it does no
    // more. During a run it asks the sink to stop (and resumes it when paused) without waiting,
    // and shows the idle look at once with "Mp3 Done"; the run's end follows with "MP3 Done".
    void StopBMouseUp(TMouseButton Button, int X, int Y);
    // On the click, in every state: runs the file-save dialog SaveMp3, blocking until the user
    // closes it; a confirmed file becomes DirOut's text, a cancel changes nothing.
    void SaveAsClick();
    // On the selection of No Limit: Secs disabled and set to 10800, the progress bar full.
    void SecNoLimitClick();
    // On the selection of Custom: Secs enabled, the progress bar empty.
    void SecCustomClick();
    // The text of SRate changed to Text (chosen or typed): KBS's list becomes the one of that
    // sample rate, and KBS keeps its text, also one the new list lacks.
    void SRateChange(const std::string& Text);
    // Every tick, in every state: the level bar shows the first level value rounded, and the
    // notices of the run are brought up to date. Waits briefly for the indicator's values lock
    // while the worker analyses a block.
    void TimTimer();
    // The sink's reports of the window's current run, run on the GUI thread in the order raised;
    // a report of an earlier run does nothing. Progress: the sink's Progress when it reported;
    // shown on the progress bar unless No Limit is selected. Never wait.
    void MP3OutProgress(TComponent* Sender, int32_t Progress);
    // The run's end: the idle look with "MP3 Done" (or the notices' text).
    void MP3OutDone(TComponent* Sender);
    // The run failed to start or failed inside the pipeline: an error box with Reason, then the
    // window returns to idle with "Error".
    void MP3OutThreadException(TComponent* Sender, const std::string& Reason);

    // The text of KBS changed to Text (chosen or typed): kept for the next start when it is an
    // entry of its list. Blocks briefly while the settings file is written.
    void KBSChange(const std::string& Text);
    // The device label's click (mouse, or Space, Enter or Alt+Down while it has the focus): does
    // nothing while recording or paused. Otherwise lists the inputs afresh and shows their menu,
    // the current input marked, blocking until the user closes it; the input chosen is shown on
    // the label, recorded from by the next run and kept for the next start.
    void LabDevClick();

    // True when the sample-rate and bit-rate texts are entries of their lists, compared exactly.
    bool CheckSettings() const;

    // The file-save dialog SaveMp3 as the window runs it.
    static const TSaveDialogSpec SaveMp3;

private:
    friend struct TMainTestAccess;
    using TRunNumber = TRunLedger::TRunNumber;

    TFormEvents SinkEvents();
    // Queues Call to the GUI thread through the window; any thread, never waits. Dropped when
    // this object has gone by the time it would run.
    void Post(std::function<void()> Call);
    // The posted reports, sorted out by the run they belong to; GUI thread.
    void SinkProgress(TRunNumber Run, TComponent* Sender, int32_t Progress);
    void SinkDone(TRunNumber Run, TComponent* Sender);
    void SinkFailed(TRunNumber Run, TComponent* Sender, const std::string& Reason);
    // Blocks the GUI thread until the sink is idle, at most Bound; true when it is.
    bool AwaitSinkIdle(std::chrono::milliseconds Bound);
    // Asks a run still in progress to stop (resuming a paused one) and waits for its end, at
    // most Bound; nothing while the sink is idle. True when the sink is idle afterwards.
    bool FinishRun(std::chrono::milliseconds Bound);
    // What is left of RunEndLimit since the close button asked the run to stop; all of it
    // before.
    std::chrono::milliseconds RunEndLeft() const;
    // The sink's report of a failed run or start, past the gate; either thread.
    void SinkThreadException(TComponent* Sender, const std::exception& E);
    // A run pauses with the sink's worker first, so that a read under way still gets the sound
    // up to the press, then the device. Resuming also lets a paused run end after a stop
    // request: a read that waits since the pause goes on once the device records again.
    void PauseRun()
    {
        MP3Out->Pause();
        AudIn->Pause();
    }
    void ResumeRun()
    {
        MP3Out->Resume();
        AudIn->Resume();
    }

    // The idle and recording looks: the one place where the recording state, the status text
    // and the enabled settings change together.
    void ShowRecordingStarted();
    // The end-of-run steps: the record button's idle picture, then the idle look.
    void ReturnToIdle(const std::string& Status);
    // The idle look with Status on the panel: progress 0, settings enabled, state idle.
    void ShowIdle(const std::string& Status);
    void ShowStatus(const std::string& Status);
    void DisableSettings();
    // Enables the duration and bit-rate settings (Secs only with SecCustom selected).
    void EnableSettings();
    void ShowRunError(const std::string& Reason);

    // The settings kept between starts (CorvatSettings.cpp, with the settings' handlers): read and
    // shown at creation, written whenever what the window shows differs from what was last kept. A
    // failed write shows on the panel's tooltip and is tried again at the next change.
    void RestoreSettings();
    void SaveSettings();
    TWindowSettings ShownSettings() const;

    // The full name of a skin file.
    std::string SkinPath(const char* FileName) const;
    // Shows a large button's picture, read again from its file; raises when it cannot be read.
    void LoadPicture(TControl Control, const char* FileName);
    // Shows a kept picture, or none when it was never read.
    void ShowKept(TControl Control, const std::shared_ptr<TPicture>& Picture);
    int SecsValue() const;
    // The run the settings describe; CheckSettings has passed.
    TRunPlan Plan(const std::string& OutputFile) const;

    TMainWindow& FWindow;
    // Owns the pipeline's components; destroyed after FormDestroy.
    std::unique_ptr<TComponent> FComponentOwner;
    TAudioIn* AudIn = nullptr;
    TSoundIndicator* SndIndic = nullptr;
    TMP3Out* MP3Out = nullptr;

    std::shared_ptr<TPicture> ClosePng;
    std::shared_ptr<TPicture> ClosePngOn;
    std::shared_ptr<TPicture> MinPng;
    std::shared_ptr<TPicture> MinPngOn;
    std::string AppPath;
    int32_t DragX = 0;
    int32_t DragY = 0;
    bool Dragging = false;
    bool Recording = false;
    bool Paused = false;
    bool CanExit = false;

    std::unique_ptr<TInputChooser> FInput;
    std::string FSaveFolder; // the folder of the last Save as, empty before one
    std::optional<TSettingsFile> FSettingsFile; // none when the platform has no place for it
    TWindowSettings FKept; // as the file holds them
    bool FSettingsShown = false; // the kept settings are shown: changes are written from now on

    TRunLedger FRuns;
    // Lost sound, clipping and the disk's room: what the window tells of them.
    TRunNotices FNotices{ FWindow };
    // The reason of a start that failed inside Run; GUI thread.
    std::string FFailedStartReason;
    // The close button's click has asked the sink to stop, and when the wait for its end ends.
    bool FStopRequestedOnClose = false;
    std::optional<std::chrono::steady_clock::time_point> FRunEndDeadline;
    // The sink's reports pass it; closed as this object goes.
    std::shared_ptr<TCallGate> FSinkGate = std::make_shared<TCallGate>();
    // Lives as long as this object; posted calls hold a weak reference to it.
    std::shared_ptr<int> FAlive = std::make_shared<int>();
    const std::weak_ptr<int> FAliveForPosts = FAlive;
};
