// The main window TMain: the borderless, skinned recorder window with its layout (Corvat.ui),
// its pipeline AudIn -> SndIndic -> MP3Out (FormComponents.h) and its event handlers.
//
// The window owns its child controls, the four kept small-button pictures, the 100 ms timer Tim
// and the pipeline's components, which are destroyed with it, the sink first. Only the close
// button closes the window: every other request to close it, and the session manager's query
// before log-off, is refused until CanExit is set.
//
// Every handler runs behind the handler guard (HandlerGuard.h): an exception that leaves it is
// shown to the user and goes no further.
//
// Recording: Record starts a run of MP3Out with the window's settings, Pause pauses and resumes
// it, Stop asks it to end. The sink reports the end of each run (done, or failed with a reason);
// every run that the Record press really started counts as one run of the window, and a report
// of an earlier run that arrives after a newer one has started leaves the newer one alone.
//
// Threads: everything here runs on the GUI thread. The sink raises OnDone, OnProgress and
// OnThreadException on its worker thread (OnThreadException also inside Run on the GUI thread when
// the run cannot start); all three are posted to the GUI thread, in the order raised, without
// making the worker wait, and run there as MP3OutDone, MP3OutProgress and MP3OutThreadException.
#pragma once

#include "FormComponents.h"

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QFileDialog;
class QTimer;
class QSessionManager;
class TImage;
namespace Ui {
class TMain;
}

class TMain : public QWidget {
    Q_OBJECT

public:
    // Creates the form and its components, then runs FormCreate. Raises when a component cannot
    // be created (no wave-in device, no encoder library); the window does not exist then.
    // AppPathForTests: the folder the skin is read from; the program leaves it empty, which means
    // the executable's folder.
    explicit TMain(const QString& AppPathForTests = QString());
    // Ends a run still in progress (stop request, then a wait of at most RunEndLimit for its end,
    // so that its file is complete), runs FormDestroy, then destroys the components (the sink's
    // destruction ends its worker).
    ~TMain() override;

    // The longest wait of the GUI thread for a run to end once it has been asked to stop.
    static constexpr std::chrono::milliseconds RunEndLimit{ 5000 };

    // Handlers of the window's own events.
    void FormCreate();
    bool FormCloseQuery();
    void FormDestroy();

    // Moving the window by its background; any mouse button drags.
    void BackGMouseDown(Qt::MouseButton Button, int X, int Y);
    void BackGMouseMove(int X, int Y);
    void BackGMouseUp(Qt::MouseButton Button, int X, int Y);

    void MinBMouseDown(Qt::MouseButton Button, int X, int Y);
    void MinBClick();
    void MinBMouseUp(Qt::MouseButton Button, int X, int Y);

    void CloseBMouseDown(Qt::MouseButton Button, int X, int Y);
    void CloseBClick();
    // When a recording is running or paused, stops the timer and blocks the GUI thread until the
    // sink's run has ended: at most RunEndLimit after the click's stop request, at most 600 ms
    // without one (a release outside the button).
    void CloseBMouseUp(Qt::MouseButton Button, int X, int Y);

    // Recording control. Record calls the sink's Run, which opens the file and the device on this
    // thread, and raises "Component is buisy" while the sink still ends an earlier run.
    void RecBMouseDown(Qt::MouseButton Button, int X, int Y);
    void PauseBMouseDown(Qt::MouseButton Button, int X, int Y);
    void StopBMouseDown(Qt::MouseButton Button, int X, int Y);
    void StopBMouseUp(Qt::MouseButton Button, int X, int Y);
    // Runs the file-save dialog SaveMp3 (SaveDialog.h).
    void SaveAsClick();
    void SecNoLimitClick();
    void SecCustomClick();
    void SRateChange(const QString& Text);
    // Waits briefly for the indicator's values lock while the worker analyses a block.
    void TimTimer();
    // The sink's reports of the window's current run, posted from the sink; run on the GUI thread.
    // Progress: the sink's Progress when it reported.
    void MP3OutProgress(TComponent* Sender, int32_t Progress);
    void MP3OutDone(TComponent* Sender);
    // The run failed to start or failed inside the pipeline: an error box with Reason, then the
    // window returns to idle with "Error".
    void MP3OutThreadException(TComponent* Sender, const QString& Reason);

    // True when the sample-rate and bit-rate texts are entries of their lists, compared exactly.
    bool CheckSettings() const;

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    friend struct TMainTestAccess;

    // The window's count of runs: the n-th run that a Record press really started is run n.
    using TRunNumber = uint64_t;

    // Wraps a handler so that it runs behind the handler guard.
    template <typename... TArgs> auto Guarded(void (TMain::*Handler)(TArgs...));
    void ConnectHandlers();
    TFormEvents SinkEvents();
    // Queues Call to the GUI thread; any thread, never waits. Dropped when the window goes first.
    void Post(std::function<void()> Call);
    // Worker thread: the end of Run has been reported; counts it and wakes a GUI thread that
    // awaits the end.
    void RunEnded(TRunNumber Run);
    // Blocks the GUI thread until the sink is idle, at most Bound; true when it is.
    bool AwaitSinkIdle(std::chrono::milliseconds Bound);
    // The posted reports, sorted out by the run they belong to; GUI thread.
    void SinkProgress(TRunNumber Run, TComponent* Sender, int32_t Progress);
    void SinkDone(TRunNumber Run, TComponent* Sender);
    void SinkFailed(TRunNumber Run, TComponent* Sender, const QString& Reason);
    // The end-of-run steps, with Status as the status text.
    void ReturnToIdle(const QString& Status);
    void DisableSettings();
    // Enables the duration and bit-rate settings (Secs only with SecCustom selected).
    void EnableSettings();
    void ShowRunError(const QString& Reason);
    void CentreOnScreen();
    // The session manager's query before log-off; may wait, in a local event loop, for its
    // permission to interact.
    void RefuseLogOff(QSessionManager& Manager);
    // The full name of a skin file.
    QString SkinPath(const char* FileName) const;
    // Reads a PNG skin picture; raises naming the file when it cannot be read.
    std::unique_ptr<QPixmap> ReadPng(const char* FileName) const;
    // Shows a kept picture, or none when it was never read.
    static void ShowKept(TImage* Control, const std::unique_ptr<QPixmap>& Picture);

    std::unique_ptr<Ui::TMain> Form;
    QString FAppPathForTests;
    QTimer* Tim = nullptr;
    // Created at the first Save as click; a child of the window.
    QFileDialog* SaveMp3 = nullptr;

    // Owns the pipeline's components; destroyed with the window after FormDestroy.
    std::unique_ptr<TComponent> FComponentOwner;
    TAudioIn* AudIn = nullptr;
    TSoundIndicator* SndIndic = nullptr;
    TMP3Out* MP3Out = nullptr;

    std::unique_ptr<QPixmap> ClosePng;
    std::unique_ptr<QPixmap> ClosePngOn;
    std::unique_ptr<QPixmap> MinPng;
    std::unique_ptr<QPixmap> MinPngOn;
    QString AppPath;
    int32_t DragX = 0;
    int32_t DragY = 0;
    bool Dragging = false;
    bool Recording = false;
    bool Paused = false;
    bool CanExit = false;

    const std::thread::id FGuiThread = std::this_thread::get_id();
    // Runs that a Record press started, counted on the GUI thread.
    TRunNumber FStartedRuns = 0;
    // Runs whose end the sink has reported (and the window has queued) from its worker, counted
    // there. The k-th end the worker reports is the end of the k-th started run: each started run
    // ends exactly once there, with OnDone or with OnThreadException.
    std::atomic<TRunNumber> FEndedRuns{ 0 };
    // Set by a thread-exception report on the GUI thread: the Run in progress did not start.
    bool FStartFailed = false;
    // The close button's click has asked the sink to stop.
    bool FStopRequestedOnClose = false;
    std::mutex FRunEndMutex;
    std::condition_variable FRunEndChanged;
};
