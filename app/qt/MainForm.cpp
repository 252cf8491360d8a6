#include "MainForm.h"

#include "ControlInput.h"
#include "DesktopIdentity.h"
#include "Dialogs.h"
#include "FormDescription.h"
#include "GradBtn.h"
#include "HandlerGuard.h"
#include "SessionEnd.h"
#include "TFlatProgressBarUnit.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QWindow>
#include <optional>
#include <stdexcept>

namespace {

// A picture as the Qt front end holds it.
struct TQtPicture : TPicture {
    explicit TQtPicture(QPixmap APixmap)
        : Pixmap(std::move(APixmap))
    {
    }
    QPixmap Pixmap;
};

// Gives the window the activation back when its box or dialog has closed, and with it the focus
// to the control that had it: without a window manager nothing else would.
struct TActivationReturn {
    QWidget& Window;
    ~TActivationReturn()
    {
        if (Window.isVisible() && !Window.isMinimized())
            Window.activateWindow();
    }
};

} // namespace

TMainForm::TMainForm(const QString& AppPathForTests)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
    , FAppPathForTests(AppPathForTests)
{
    FControls = BuildForm(*this);
    setFixedSize(size());
    setWindowIcon(QApplication::windowIcon());
    Tim = new QTimer(this);
    FInput = new TControlInput(*this, FEvents);
    ConnectEvents();
    // Centred on the primary screen where the window places itself; the compositor's choice
    // elsewhere.
    const QScreen* Screen = QGuiApplication::primaryScreen();
    if (!CompositorPlacesWindows(QGuiApplication::platformName()) && Screen) {
        QRect Frame = geometry();
        Frame.moveCenter(Screen->availableGeometry().center());
        move(Frame.topLeft());
    }
    FMain = std::make_unique<TMain>(*this);
    FEvents.Attach(FMain.get());
}

TMainForm::~TMainForm()
{
    // The behaviour still uses the window while it ends a run and destroys the sink.
    FEvents.Attach(nullptr);
    FMain.reset();
}

void TMainForm::ConnectEvents()
{
    for (int Index = 0; Index < ControlCount; ++Index) {
        const auto Control = static_cast<TControl>(Index);
        QWidget* Found = Widget(Control);
        if (Form::ReportsMouse(Form::Spec(Control))) {
            // The image controls and the input chooser: pressed and clicked as buttons are.
            FInput->Watch(Found, Control);
        } else if (auto* Radio = qobject_cast<QRadioButton*>(Found)) {
            connect(
                Radio, &QRadioButton::clicked, this, [this, Control] { FEvents.Click(Control); });
        } else if (auto* Button = qobject_cast<TGradBtn*>(Found)) {
            connect(Button, &TGradBtn::OnClick, this, [this, Control] { FEvents.Click(Control); });
        } else if (auto* Box = qobject_cast<QComboBox*>(Found)) {
            connect(
                Box, &QComboBox::currentTextChanged, this, [this, Control](const QString& Text) {
                    FEvents.Change(Control, Text.toStdString());
                });
        }
    }
    connect(Tim, &QTimer::timeout, this, [this] { FEvents.Tick(); });
    // The behaviour finishes the recording and closes the window, and every event loop ends, a
    // modal box's or dialog's too, so that the program ends.
    new TSessionEnd(this, [this] {
        FEvents.EndSession();
        QCoreApplication::exit(0);
    });
}

void TMainForm::closeEvent(QCloseEvent* Event)
{
    if (FEvents.CloseQuery())
        Event->accept();
    else
        Event->ignore();
}

// ---- Controls

template <typename T> T* TMainForm::As(TControl Control) const
{
    T* Found = qobject_cast<T*>(Widget(Control));
    if (!Found)
        throw std::logic_error(std::string("Control ") + ControlName(Control)
            + " is not of the kind the operation needs");
    return Found;
}

std::string TMainForm::Text(TControl Control) const
{
    QWidget* Found = Widget(Control);
    if (auto* Box = qobject_cast<QComboBox*>(Found))
        return Box->currentText().toStdString();
    if (auto* Spin = qobject_cast<TSpinEdit*>(Found))
        return Spin->text().toStdString();
    if (auto* Edit = qobject_cast<QLineEdit*>(Found))
        return Edit->text().toStdString();
    return As<QLabel>(Control)->text().toStdString();
}

void TMainForm::SetText(TControl Control, const std::string& Text)
{
    QWidget* Found = Widget(Control);
    if (auto* Box = qobject_cast<QComboBox*>(Found))
        Box->setEditText(QString::fromStdString(Text));
    else if (auto* Spin = qobject_cast<TSpinEdit*>(Found))
        Spin->setText(QString::fromStdString(Text));
    else if (auto* Edit = qobject_cast<QLineEdit*>(Found))
        Edit->setText(QString::fromStdString(Text));
    else
        As<QLabel>(Control)->setText(QString::fromStdString(Text));
    TellTextChanged(*Found, Control);
}

std::vector<std::string> TMainForm::Items(TControl Control) const
{
    const QComboBox* Box = As<QComboBox>(Control);
    std::vector<std::string> Result;
    for (int Index = 0; Index < Box->count(); ++Index)
        Result.push_back(Box->itemText(Index).toStdString());
    return Result;
}

void TMainForm::SetItems(TControl Control, const std::vector<std::string>& Items)
{
    QComboBox* Box = As<QComboBox>(Control);
    Box->clear();
    for (const std::string& Item : Items)
        Box->addItem(QString::fromStdString(Item));
}

bool TMainForm::Checked(TControl Control) const
{
    return As<QRadioButton>(Control)->isChecked();
}

void TMainForm::SetChecked(TControl Control)
{
    // setChecked reports no click: only the user's clicks reach the behaviour.
    As<QRadioButton>(Control)->setChecked(true);
}

void TMainForm::SetEnabled(TControl Control, bool Enabled)
{
    Widget(Control)->setEnabled(Enabled);
}

void TMainForm::SetPosition(TControl Control, int Position)
{
    TFlatProgressBar* Bar = As<TFlatProgressBar>(Control);
    const int Before = Bar->Position();
    Bar->setPosition(Position);
    if (Bar->Position() != Before)
        TellValueChanged(*Bar, Bar->Position());
}

TColor TMainForm::ElementColor(TControl Control) const
{
    return As<TFlatProgressBar>(Control)->ColorElement();
}

void TMainForm::SetElementColor(TControl Control, TColor Color)
{
    As<TFlatProgressBar>(Control)->setColorElement(Color);
}

void TMainForm::SetHint(TControl Control, const std::string& Hint)
{
    Widget(Control)->setToolTip(QString::fromStdString(Hint));
}

std::shared_ptr<TPicture> TMainForm::ReadPicture(const std::string& FileName)
{
    return std::make_shared<TQtPicture>(ReadPixmap(FileName));
}

void TMainForm::ShowPicture(TControl Control, const TPicture* Picture)
{
    const auto* Shown = static_cast<const TQtPicture*>(Picture);
    As<TImage>(Control)->SetPicture(Shown ? Shown->Pixmap : QPixmap());
}

// ---- Dialogs

void TMainForm::ShowMessage(const TMessage& Message)
{
    const TActivationReturn Return{ *this };
    MessageShower(this, Message);
}

bool TMainForm::Ask(const TQuestion& Question)
{
    const TActivationReturn Return{ *this };
    return QuestionAsker(this, Question);
}

std::optional<std::string> TMainForm::RunSaveDialog(const TSaveDialogSpec& Spec)
{
    if (!SaveMp3) {
        SaveMp3 = new QFileDialog(this);
        SaveMp3->setObjectName("SaveMp3");
    }
    SaveMp3->setWindowTitle(QString::fromStdString(Spec.Title));
    SaveMp3->setAcceptMode(QFileDialog::AcceptSave);
    SaveMp3->setFileMode(QFileDialog::AnyFile);
    SaveMp3->setNameFilter(
        QString::fromStdString(Spec.FilterName + " (" + Spec.FilterPattern + ")"));
    SaveMp3->setDefaultSuffix(QString::fromStdString(Spec.DefaultExtension));
    SaveMp3->setOption(QFileDialog::DontConfirmOverwrite, !Spec.ConfirmOverwrite);
    SaveMp3->setSizeGripEnabled(Spec.Resizable);
    if (!Spec.Folder.empty())
        SaveMp3->setDirectory(QString::fromStdString(Spec.Folder));
    const TActivationReturn Return{ *this };
    if (const std::optional<QString> Path = SaveDialogRunner(*SaveMp3))
        return Path->toStdString();
    return std::nullopt;
}

std::optional<int> TMainForm::RunMenu(const TMenuSpec& Spec)
{
    QMenu Menu(this);
    Menu.setObjectName("PopupMenu");
    // One group: the check marks show as the one choice among the entries.
    auto* Group = new QActionGroup(&Menu);
    for (size_t Index = 0; Index < Spec.Entries.size(); ++Index) {
        QAction* Action = Menu.addAction(QString::fromStdString(Spec.Entries[Index]));
        Action->setCheckable(true);
        Action->setChecked(static_cast<int>(Index) == Spec.Checked);
        Group->addAction(Action);
    }
    if (Spec.Checked >= 0 && Spec.Checked < static_cast<int>(Spec.Entries.size()))
        Menu.setActiveAction(Menu.actions().at(Spec.Checked));
    const QWidget* Below = Widget(Spec.Below);
    return PopupMenuRunner(Menu, Below->mapToGlobal(QPoint(0, Below->height())));
}

void TMainForm::ReportError(const std::string& Message)
{
    const TActivationReturn Return{ *this };
    // A box over the hidden window (an error at start-up) would have no taskbar entry of its
    // own and could hide behind other windows: until the window shows, the box has no parent.
    ErrorReporter(isVisible() ? this : nullptr, QString::fromStdString(Message));
}

// ---- The window

std::string TMainForm::ApplicationFolder() const
{
    const QString Folder
        = FAppPathForTests.isEmpty() ? QCoreApplication::applicationDirPath() : FAppPathForTests;
    return Folder.toStdString();
}

bool TMainForm::StartSystemMove()
{
    QWindow* Handle = windowHandle();
    return Handle && SystemMoveRequest(*Handle);
}

void TMainForm::Post(std::function<void()> Call)
{
    // Queued calls die with the window.
    QMetaObject::invokeMethod(this, std::move(Call), Qt::QueuedConnection);
}

int RunCorvatone(int& Argc, char** Argv, const TStartOptions& Options)
{
    std::optional<QApplication> OwnApplication;
    if (!QApplication::instance())
        OwnApplication.emplace(Argc, Argv);
    ApplyDesktopIdentity();

    std::unique_ptr<TMainForm> Main;
    try {
        Main = std::make_unique<TMainForm>(Options.AppPathForTests);
    } catch (const std::exception& E) {
        ErrorReporter(nullptr, QString::fromStdString(E.what()));
        return 1;
    }
    Main->show();
    if (Options.OnShown)
        RunGuarded(*Main, [&] { Options.OnShown(*Main); });
    return QApplication::exec();
}
