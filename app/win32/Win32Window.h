// The window of the recorder on Win32: the native form (Win32MainForm.h) behind the window
// interface that the recorder's behaviour TMain uses; the form reports its events to the
// window's routing (ControlEvents.h), which runs TMain's handlers. It holds no rule of its own.
//
// Pictures: the PNG skin files are read with libpng, the BMP ones with the system's loader.
// Texts cross here between UTF-8 (the behaviour) and UTF-16 (the system); so do file names.
//
// GUI thread only, except Post (any thread, never waits).
#pragma once

#include "ControlEvents.h"
#include "ControlKeys.h"
#include "MainWindow.h"
#include "Win32MainForm.h"

#include <array>
#include <string>

class TMain;

class TWin32Window final : public TMainWindow, private TWin32AccessibleHost {
public:
    // Builds the form, hidden; raises when the system refuses a window.
    // AppFolderForTests: the folder the skin is read from; the program leaves it empty, which
    // means the executable's folder.
    explicit TWin32Window(HINSTANCE Instance, std::string AppFolderForTests = {});
    ~TWin32Window() override;

    TWin32MainForm& Form() { return FForm; }
    // Forwards the form's events to Main from now on; null stops them. Main must be created
    // with this window and destroyed before it.
    void Attach(TMain* Main) { FEvents.Attach(Main); }

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
    size_t Index(TControl Control) const { return FIndices[static_cast<size_t>(Control)]; }
    // The window that owns a message box: the form while it shows, none before.
    HWND BoxOwner() const;

    HWND FormHandle() const override { return FForm.Handle(); }
    HWND ControlWindow(TControl Control) const override { return FForm.Child(Index(Control)); }
    RECT ControlBounds(TControl Control) const override;
    std::wstring ControlText(TControl Control) const override;
    int ControlPosition(TControl Control) const override;
    bool ControlEnabled(TControl Control) const override;
    bool ControlChecked(TControl Control) const override;
    bool ControlFocused(TControl Control) const override;
    void PostActivate(TControl Control) override;

    TWin32MainForm FForm;
    std::array<size_t, ControlCount> FIndices{};
    TControlEvents FEvents{ *this };
    TControlKeys FKeys{ FEvents };
    const std::string FAppFolderForTests;
};

// The program: the window, the recorder's behaviour in it, the message loop until the window
// closes. Returns the process's exit code: 0 after the window closed, 1 when the window could not
// be created (the reason shown in a message box).
int RunCorvatone(HINSTANCE Instance, int ShowCommand);
