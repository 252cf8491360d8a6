// The main window TMain: the recorder's behaviour behind its skinned window, free of any toolkit.
// It owns the pipeline AudIn -> SndIndic -> MP3Out (FormComponents.h), the window's state and
// the four kept small-button pictures, and reaches its window only through TMainWindow
// (MainWindow.h), which a front end implements and whose events it forwards to the handlers
// below, each behind the handler guard (HandlerGuard.h).
//
// Only the close button closes the window: FormCloseQuery refuses every other request until
// CanExit is set.
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

#include "FormComponents.h"
#include "MainWindow.h"
#include "RunLedger.h"
#include "RunNotices.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

class TMain {
public:
    // The repeating level timer Tim.
    static constexpr std::chrono::milliseconds TimerInterval{ 100 };
    // The longest wait of the GUI thread for a run to end once it has been asked to stop.
    static constexpr std::chrono::milliseconds RunEndLimit{ 5000 };
    // How long closing during a recording waits for the run's end when the sink was not asked
    // to stop (the close button's press ended outside it).
    static constexpr std::chrono::milliseconds CloseWait{ 600 };

    // Creates the components, starts the timer and runs FormCreate (guarded). Raises when a
    // component cannot be created (no wave-in device, no encoder library); the window is then
    // not created. Window has built its controls and outlives this object.
    explicit TMain(TMainWindow& Window);
    // Ends a run still in progress (stop request, then a wait of at most RunEndLimit for its
    // end, so that its file is complete), runs FormDestroy, then destroys the components (the
    // sink's destruction ends its worker). Uses the window: a front end destroys this object
    // while it is still whole.
    ~TMain();
    TMain(const TMain&) = delete;
    TMain& operator=(const TMain&) = delete;

    // ---- The window's own events

    void FormCreate();
    // A request to close the window; allowed once the close button has set CanExit.
    bool FormCloseQuery();
    void FormDestroy();

    // Moving the window by its background; any mouse button drags. X, Y: the pointer in the
    // background's coordinates.
    void BackGMouseDown(TMouseButton Button, int X, int Y);
    void BackGMouseMove(int X, int Y);
    void BackGMouseUp(TMouseButton Button, int X, int Y);

    void MinBMouseDown(TMouseButton Button, int X, int Y);
    void MinBClick();
    void MinBMouseUp(TMouseButton Button, int X, int Y);

    void CloseBMouseDown(TMouseButton Button, int X, int Y);
    void CloseBClick();
    // When a recording is running or paused, stops the timer and blocks the GUI thread until the
    // sink's run has ended: at most RunEndLimit after the click's stop request, at most CloseWait
    // without one (a release outside the button). Then closes the window.
    void CloseBMouseUp(TMouseButton Button, int X, int Y);

    // ---- Recording control

    // Calls the sink's Run, which opens the file and the device on this thread, and raises
    // "Component is buisy" while the sink still ends an earlier run.
    void RecBMouseDown(TMouseButton Button, int X, int Y);
    void PauseBMouseDown(TMouseButton Button, int X, int Y);
    void StopBMouseDown(TMouseButton Button, int X, int Y);
    void StopBMouseUp(TMouseButton Button, int X, int Y);
    // Runs the file-save dialog SaveMp3.
    void SaveAsClick();
    void SecNoLimitClick();
    void SecCustomClick();
    // The text of SRate changed to Text.
    void SRateChange(const std::string& Text);
    // Waits briefly for the indicator's values lock while the worker analyses a block.
    void TimTimer();
    // The sink's reports of the window's current run. Progress: the sink's Progress when it
    // reported.
    void MP3OutProgress(TComponent* Sender, int32_t Progress);
    void MP3OutDone(TComponent* Sender);
    // The run failed to start or failed inside the pipeline: an error box with Reason, then the
    // window returns to idle with "Error".
    void MP3OutThreadException(TComponent* Sender, const std::string& Reason);

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

    TRunLedger FRuns;
    // Lost sound, clipping and the disk's room: what the window tells of them.
    TRunNotices FNotices{ FWindow };
    // The reason of a start that failed inside Run; GUI thread.
    std::string FFailedStartReason;
    // The close button's click has asked the sink to stop.
    bool FStopRequestedOnClose = false;
    // Lives as long as this object; posted calls hold a weak reference to it.
    std::shared_ptr<int> FAlive = std::make_shared<int>();
    const std::weak_ptr<int> FAliveForPosts = FAlive;
};
