// The session's end on Linux, reported to the GUI thread: the termination signals SIGTERM (a
// log-out, systemctl, kill), SIGINT and SIGHUP, and the session manager's request to save before
// a log-out. Each becomes one call of the watcher's OnEnd on the GUI thread; the window then
// finishes its recording and the program ends normally.
//
// A signal handler may do almost nothing: it writes one byte into a pipe of the process's own
// (the self-pipe) and returns. A socket notifier on the GUI thread reads the pipe and does the
// work. The handlers are installed while at least one watcher lives, and the previous ones are
// restored after the last.
//
// GUI thread only.
#pragma once

#include <QObject>
#include <functional>

class TSessionEnd : public QObject {
    Q_OBJECT

public:
    // Installs the handlers (for the first watcher); raises when the system refuses the pipe or
    // a handler.
    TSessionEnd(QObject* Parent, std::function<void()> OnEnd);
    ~TSessionEnd() override;

private:
    std::function<void()> FOnEnd;
};
