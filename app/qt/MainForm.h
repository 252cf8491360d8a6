// The Qt front end of the main window: builds the controls of the layout from the form's
// description (FormWidgets.h), implements the window interface on them (MainWindow.h, the controls'
// part in FormControls.h) and reports each of their events to the window's routing
// (ControlEvents.h), which runs the handler of TMain (Corvat.h) that carries it. It holds no rule
// of its own.
//
// Only the close button closes the window: a close request (a keyboard command, the task bar) is
// refused while TMain's FormCloseQuery refuses. The session's end (SessionEnd.h: a termination
// signal, the session manager's log-out) is reported to the behaviour, which finishes the
// recording and closes the window; the program then ends with status 0.
//
// GUI thread only, except Post, which any thread may call.
#pragma once

#include "ControlEvents.h"
#include "Corvat.h"
#include "FormAccessibility.h"
#include "FormControls.h"

#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QFileDialog;
class TControlInput;

class TMainForm : public QWidget, public TFormControls, public TAccessibleActions {
    Q_OBJECT

public:
    // Builds the form, then creates the behaviour, which creates the components and runs
    // FormCreate. Raises when a component cannot be created (no wave-in device, no encoder
    // library); the window does not exist then.
    // AppPathForTests: the folder the skin is read from; the program leaves it empty, which means
    // the executable's folder.
    explicit TMainForm(const QString& AppPathForTests = QString());
    // Destroys the behaviour first, which ends a run still in progress.
    ~TMainForm() override;

    // The window interface beyond the controls (FormControls.h).
    void ShowMessage(const TMessage& Message) override;
    bool Ask(const TQuestion& Question) override;
    std::optional<std::string> RunSaveDialog(const TSaveDialogSpec& Spec) override;
    std::optional<int> RunMenu(const TMenuSpec& Menu) override;
    void ReportError(const std::string& Message) override;
    std::string ApplicationFolder() const override;
    void StartTimer(std::chrono::milliseconds Interval) override { Tim->start(Interval); }
    void StopTimer() override { Tim->stop(); }
    void Minimise() override { showMinimized(); }
    void MoveBy(int DX, int DY) override { move(x() + DX, y() + DY); }
    bool StartSystemMove() override;
    void Close() override { close(); }
    void Post(std::function<void()> Call) override;
    // An assistive tool's press of a control, routed as a click.
    void Activate(TControl Control) override { FEvents.Activate(Control); }

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    friend struct TMainFormTestAccess;

    // Reports the controls' events to FEvents.
    void ConnectEvents();

    QString FAppPathForTests;
    QTimer* Tim = nullptr;
    // Created at the first Save as click; a child of the window.
    QFileDialog* SaveMp3 = nullptr;
    TControlEvents FEvents{ *this };
    // The image controls' mouse and keys, and the shortcuts; a child of the window.
    TControlInput* FInput = nullptr;
    std::unique_ptr<TMain> FMain;
};
