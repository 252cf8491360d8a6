// The Qt front end of the main window: builds the controls of the layout from the form's
// description (FormWidgets.h), implements the window interface on them (MainWindow.h) and reports
// each of their events to the window's routing (ControlEvents.h), which runs the handler of TMain
// (Corvat.h) that carries it. It holds no rule of its own. Skin pictures are decoded by Qt's
// image readers (PNG and BMP).
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
#include "FormWidgets.h"

#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QFileDialog;
class TControlInput;

class TMainForm : public QWidget, public TMainWindow, public TAccessibleActions {
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
    // Raises naming the file and the reader's reason.
    std::shared_ptr<TPicture> ReadPicture(const std::string& FileName) override;
    void ShowPicture(TControl Control, const TPicture* Picture) override;
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
    QWidget* Widget(TControl Control) const { return FControls[static_cast<size_t>(Control)]; }
    // The control as a T; raises when it is of another kind.
    template <typename T> T* As(TControl Control) const;

    QString FAppPathForTests;
    TFormWidgets FControls{};
    QTimer* Tim = nullptr;
    // Created at the first Save as click; a child of the window.
    QFileDialog* SaveMp3 = nullptr;
    TControlEvents FEvents{ *this };
    // The image controls' mouse and keys, and the shortcuts; a child of the window.
    TControlInput* FInput = nullptr;
    std::unique_ptr<TMain> FMain;
};

struct TStartOptions {
    // The folder the skin is read from; empty (the program's choice) means the executable's.
    QString AppPathForTests;
    // Called with the shown window just before the message loop runs.
    std::function<void(TMainForm&)> OnShown;
};

// The program's run: the application (the one that exists already, if any), the main window, the
// message loop; returns the program's exit status. With no wave-in device or no encoder library
// the window cannot be created; the reason is reported to the user and the run ends at once with
// a non-zero status, without a window. Blocks in the message loop until the main window has
// closed.
int RunCorvatone(int& Argc, char** Argv, const TStartOptions& Options = {});
