// Shared pieces of the Qt window tests: access to the window's state, recorders of the errors and
// message boxes shown to the user, answers to the file-save dialog, and a window built on the
// simulated sound card with the build's skin.
#pragma once

#include "Dialogs.h"
#include "MainForm.h"
#include "MainTestAccess.h"
#include "SimulatedWaveDevice.h"

#include <QFileDialog>
#include <QStringList>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <vector>

// The folder that holds the build's Skin folder, as the executable's folder does.
inline const QString SkinParent = QStringLiteral(CORVATONE_SKIN_PARENT);

struct TMainFormTestAccess {
    static TMain& Main(TMainForm& Form) { return *Form.FMain; }
    static QTimer& Tim(TMainForm& Form) { return *Form.Tim; }
};

// The behaviour behind a Qt window.
inline TMain& Behaviour(TMainForm& Form)
{
    return TMainFormTestAccess::Main(Form);
}

// Records every error shown to the user while it lives, instead of a modal box.
class TReportedErrors {
public:
    TReportedErrors()
    {
        FPrevious = ErrorReporter.Replace([this](QWidget* Parent, const QString& Message) {
            Messages << Message;
            Parents << Parent;
        });
    }
    ~TReportedErrors() { ErrorReporter.Replace(std::move(FPrevious)); }
    TReportedErrors(const TReportedErrors&) = delete;
    TReportedErrors& operator=(const TReportedErrors&) = delete;

    QStringList Messages;
    // The parent of each report's box.
    QList<QWidget*> Parents;

private:
    TErrorReporter FPrevious;
};

// Records every message box shown while it lives, instead of showing it.
class TShownMessages {
public:
    TShownMessages()
    {
        FPrevious = MessageShower.Replace([this](QWidget*, const TMessage& Message) {
            Kinds.push_back(Message.Kind);
            Titles << QString::fromStdString(Message.Title);
            Texts << QString::fromStdString(Message.Text);
        });
    }
    ~TShownMessages() { MessageShower.Replace(std::move(FPrevious)); }
    TShownMessages(const TShownMessages&) = delete;
    TShownMessages& operator=(const TShownMessages&) = delete;

    void Clear()
    {
        Kinds.clear();
        Titles.clear();
        Texts.clear();
    }

    std::vector<TMessageKind> Kinds;
    QStringList Titles;
    QStringList Texts;

private:
    TMessageShower FPrevious;
};

// Answers the file-save dialog while it lives: with Answer, after handing the dialog to Inspect.
// Without one, a shown dialog fails the test (it would wait for a user).
class TSaveDialogAnswer {
public:
    TSaveDialogAnswer()
    {
        FPrevious = SaveDialogRunner.Replace([this](QFileDialog& Dialog) -> std::optional<QString> {
            ++Shown;
            if (Inspect)
                Inspect(Dialog);
            if (!Answer.has_value() && !Cancel)
                ADD_FAILURE() << "the file-save dialog was shown without an answer";
            return Answer;
        });
    }
    ~TSaveDialogAnswer() { SaveDialogRunner.Replace(std::move(FPrevious)); }
    TSaveDialogAnswer(const TSaveDialogAnswer&) = delete;
    TSaveDialogAnswer& operator=(const TSaveDialogAnswer&) = delete;

    std::optional<QString> Answer;
    bool Cancel = false; // answer nothing on purpose
    std::function<void(QFileDialog&)> Inspect;
    int Shown = 0;

private:
    TSaveDialogRunner FPrevious;
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

    TMainForm& OpenWindow(const QString& AppPath = SkinParent)
    {
        Main = std::make_unique<TMainForm>(AppPath);
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
    TShownMessages Messages;
    TSaveDialogAnswer SaveDialog;
    std::shared_ptr<TSimulatedWaveBackend> Card;
    std::unique_ptr<TMainForm> Main;
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
