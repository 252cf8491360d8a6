// The form's controls as the window interface reads and sets them: each layout component by its
// identifier, its texts, list entries, selection, enabled state, bar position and picture, and
// the skin pictures decoded by Qt's image readers (PNG and BMP).
//
// The Qt window (MainForm.h) takes these operations from here and adds the window's own.
//
// GUI thread only.
#pragma once

#include "FormWidgets.h"
#include "MainWindow.h"

class TFormControls : public TMainWindow {
public:
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

protected:
    // Takes the form's widgets, built by BuildForm.
    void BindControls(const TFormWidgets& Widgets) { FControls = Widgets; }
    QWidget* Widget(TControl Control) const;

private:
    // The control as a T; raises when it is of another kind.
    template <typename T> T* As(TControl Control) const;

    TFormWidgets FControls{};
};
