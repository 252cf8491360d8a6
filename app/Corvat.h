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
// Threads: everything here runs on the GUI thread. The sink raises OnDone and OnProgress on its
// worker thread; they are posted to the GUI thread, in the order raised, without making the worker
// wait, and run there as MP3OutDone and MP3OutProgress.
#pragma once

#include "FormComponents.h"

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>

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
    // Runs FormDestroy, then destroys the components (the sink's destruction ends its worker).
    ~TMain() override;

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
    // Blocks the GUI thread for 600 ms when a recording is running or paused, so that the sink's
    // worker can end the run before the window goes.
    void CloseBMouseUp(Qt::MouseButton Button, int X, int Y);

    // Recording control.
    void RecBMouseDown(Qt::MouseButton Button, int X, int Y);
    void PauseBMouseDown(Qt::MouseButton Button, int X, int Y);
    void StopBMouseDown(Qt::MouseButton Button, int X, int Y);
    void StopBMouseUp(Qt::MouseButton Button, int X, int Y);
    void SaveAsClick();
    void SecNoLimitClick();
    void SecCustomClick();
    void SRateChange(const QString& Text);
    void TimTimer();
    // Posted from the sink's worker; run on the GUI thread.
    void MP3OutProgress(TComponent* Sender);
    void MP3OutDone(TComponent* Sender);

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    friend struct TMainTestAccess;

    // Wraps a handler so that it runs behind the handler guard.
    template <typename... TArgs> auto Guarded(void (TMain::*Handler)(TArgs...));
    void ConnectHandlers();
    TFormEvents SinkEvents();
    void CentreOnScreen();
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
};
