// The Qt window's modal boxes, file-save dialog and popup menu (described in MainWindow.h), and
// the window moves it asks the platform for. Each runs through a call that tests may replace, so
// that a test observes or answers it instead of a modal loop or the platform.
//
// On a Wayland platform the compositor places a new window and moves it (a Wayland client can do
// neither itself), so the window neither centres itself nor follows the pointer but hands a drag
// to the compositor at the press; on X11 (and offscreen) it centres itself on the screen and
// follows the pointer. This is the one place of the Qt front end that tells the platforms apart.
//
// GUI thread only; the default boxes, dialog and menu block in their own loops until the user
// closes them.
#pragma once

#include "MainWindow.h"

#include <QPoint>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

class QFileDialog;
class QMenu;
class QWidget;
class QWindow;

template <typename TCall> class TReplaceable {
public:
    explicit TReplaceable(TCall Default)
        : FDefault(Default)
        , FCurrent(std::move(Default))
    {
    }

    // Makes Call the one that runs (an empty one puts the default back) and returns the one that
    // ran before.
    TCall Replace(TCall Call) { return std::exchange(FCurrent, Call ? std::move(Call) : FDefault); }

    template <typename... TArgs> auto operator()(TArgs&&... Args) const
    {
        return FCurrent(std::forward<TArgs>(Args)...);
    }

private:
    const TCall FDefault;
    TCall FCurrent;
};

// The report of an error to the user, of an exception that left one of the window's handlers
// (HandlerGuard.h) or of a start that failed: a critical box titled as every error box of the
// program (ErrorBox.h). Parent may be null.
using TErrorReporter = std::function<void(QWidget* Parent, const QString& Message)>;
extern TReplaceable<TErrorReporter> ErrorReporter;

// A message box (TMessage): an error or a warning with a single OK button. Parent may be null.
using TMessageShower = std::function<void(QWidget* Parent, const TMessage& Message)>;
extern TReplaceable<TMessageShower> MessageShower;

// A Yes/No question (TQuestion), Yes the default; true for Yes.
using TQuestionAsker = std::function<bool(QWidget* Parent, const TQuestion& Question)>;
extern TReplaceable<TQuestionAsker> QuestionAsker;

// Shows the file-save dialog and returns the full path of the confirmed file, or nothing when
// cancelled.
using TSaveDialogRunner = std::function<std::optional<QString>(QFileDialog& Dialog)>;
extern TReplaceable<TSaveDialogRunner> SaveDialogRunner;

// Shows Menu at At (global coordinates) and returns the index of the action chosen, or nothing
// when it was closed without a choice.
using TPopupMenuRunner = std::function<std::optional<int>(QMenu& Menu, QPoint At)>;
extern TReplaceable<TPopupMenuRunner> PopupMenuRunner;

// Asks the compositor to move Window with the pointer, where it moves windows; true when it took
// the move. False elsewhere and when the compositor refuses (no pointer, no press).
using TSystemMoveRequest = std::function<bool(QWindow& Window)>;
extern TReplaceable<TSystemMoveRequest> SystemMoveRequest;

// Whether the compositor of the platform named PlatformName (QGuiApplication::platformName)
// places and moves windows.
bool CompositorPlacesWindows(const QString& PlatformName);
