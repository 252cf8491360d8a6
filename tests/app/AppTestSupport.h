// Shared pieces of the window tests: access to the window's state, a reporter that records the
// errors shown to the user, and a window built on the simulated sound card with the build's skin.
#pragma once

#include "Corvat.h"
#include "HandlerGuard.h"
#include "SimulatedWaveDevice.h"

#include <QStringList>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

// The folder that holds the build's Skin folder, as the executable's folder does.
inline const QString SkinParent = QStringLiteral(CORVATONE_SKIN_PARENT);

struct TMainTestAccess {
    static TAudioIn& AudIn(TMain& Main) { return *Main.AudIn; }
    static TMP3Out& MP3Out(TMain& Main) { return *Main.MP3Out; }
    static QTimer& Tim(TMain& Main) { return *Main.Tim; }
    static bool Dragging(const TMain& Main) { return Main.Dragging; }
    static bool CanExit(const TMain& Main) { return Main.CanExit; }
    static const QString& AppPath(const TMain& Main) { return Main.AppPath; }
    // What the Record and Pause presses leave behind.
    static void SetRecordingState(TMain& Main, bool Recording, bool Paused)
    {
        Main.Recording = Recording;
        Main.Paused = Paused;
    }
};

// Records every error shown to the user while it lives, instead of a modal box.
class TReportedErrors {
public:
    TReportedErrors()
    {
        FPrevious
            = SetErrorReporter([this](QWidget*, const QString& Message) { Messages << Message; });
    }
    ~TReportedErrors() { SetErrorReporter(std::move(FPrevious)); }
    TReportedErrors(const TReportedErrors&) = delete;
    TReportedErrors& operator=(const TReportedErrors&) = delete;

    QStringList Messages;

private:
    TErrorReporter FPrevious;
};

// A window on a fresh simulated card (one input device), with the skin of the build.
class TWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        Card = std::make_shared<TSimulatedWaveBackend>(InputDevices());
        Card->SetSignal(TSimulatedSignal::Sine(440.0, 0.5));
        UseWaveBackend(Card);
    }
    virtual std::vector<TSimulatedDeviceSpec> InputDevices() { return { {} }; }

    TMain& OpenWindow(const QString& AppPath = SkinParent)
    {
        Main = std::make_unique<TMain>(AppPath);
        Main->show();
        return *Main;
    }
    template <typename T = QWidget> T* Control(const char* Name)
    {
        T* Found = Main->findChild<T*>(QLatin1String(Name));
        EXPECT_NE(Found, nullptr) << Name;
        return Found;
    }

    TReportedErrors Errors;
    std::shared_ptr<TSimulatedWaveBackend> Card;
    std::unique_ptr<TMain> Main;
};

// Readable failure messages for the toolkit's strings.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& Text, std::ostream* Out)
{
    *Out << '"' << Text.toStdString() << '"';
}
inline void PrintTo(const QStringList& Texts, std::ostream* Out)
{
    *Out << '{' << Texts.join(" | ").toStdString() << '}';
}
QT_END_NAMESPACE
