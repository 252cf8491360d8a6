// The window's recording states and their transitions: Record, Pause and Stop in every state,
// the sink's end of a run, a run that fails, and reports of an earlier run that come late.
#include "RecordSettings.h"
#include "RecordingSupport.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>

namespace {

using TestSupport::WaitUntil;

// The worker's stop request, published for the test.
struct TSinkWorkerAccess : TMP3Out {
    using TACSOutput::Thread;
};
bool StopRequested(TMP3Out& Sink)
{
    return (Sink.*&TSinkWorkerAccess::Thread).StopRequest;
}

class RecordingStates : public TRecordingTest {
protected:
    // A recording that does not end by itself while the test looks at it.
    void StartLongRecording(const char* Name = "long.mp3")
    {
        OpenWithFile(FilePath(Name));
        Secs()->setValue(RecordSettings::MaxSeconds);
        PressRecord();
        ASSERT_EQ(Sink().Status(), osBusy);
    }
    void ExpectPausedLook()
    {
        EXPECT_TRUE(TMainTestAccess::Recording(Behaviour(*Main)));
        EXPECT_TRUE(TMainTestAccess::Paused(Behaviour(*Main)));
        EXPECT_EQ(StateText(), "Pause");
        EXPECT_TRUE(ShowsPicture(Control("RecB"), SkinFiles::RecBut));
        EXPECT_TRUE(ShowsPicture(Control("PauseB"), SkinFiles::PauseButOn));
        for (const char* Name : { "KBS", "SecCustom", "SecNoLimit", "Secs" })
            EXPECT_FALSE(Control(Name)->isEnabled()) << Name;
    }
    // The file holds every frame the source captured, and the encoder's tail.
    void ExpectCompleteFile(const QString& File)
    {
        const int64_t Captured = Source().Position / 4;
        const TMp3Decoded Decoded = DecodeMp3File(File.toStdString());
        ASSERT_TRUE(Decoded.Ok) << Decoded.Error;
        EXPECT_EQ(Decoded.SampleRate, 44100);
        EXPECT_EQ(Decoded.Channels, 2);
        EXPECT_GE(Decoded.Frames, Captured + EncoderDelay);
        EXPECT_LE(Decoded.Frames, Captured + DelayAndPaddingBound);
    }
};

TEST_F(RecordingStates, PauseAndStopWhileIdleOnlyResetThePictures)
{
    OpenWindow();
    PressPause();
    ExpectIdleLook("Status");
    EXPECT_EQ(Sink().Status(), osIdle);

    // Stop's release shows the idle pictures of all three buttons, whatever they showed.
    Control<TImage>("RecB")->SetPicture(QPixmap());
    Control<TImage>("PauseB")->SetPicture(QPixmap());
    QTest::mousePress(Control("StopB"), Qt::LeftButton, {}, { 5, 5 });
    EXPECT_TRUE(ShowsPicture(Control("StopB"), SkinFiles::StopButOn));
    QTest::mouseRelease(Control("StopB"), Qt::LeftButton, {}, { 5, 5 });
    EXPECT_TRUE(ShowsPicture(Control("StopB"), SkinFiles::StopBut));
    ExpectIdleLook("Status");
    EXPECT_EQ(Sink().Status(), osIdle);
    EXPECT_TRUE(Messages.Texts.isEmpty());
    EXPECT_TRUE(Errors.Messages.isEmpty());
}

TEST_F(RecordingStates, RecordDuringARecordingOrAPauseOnlyClampsTheDuration)
{
    StartLongRecording();
    ExpectRecordingLook();
    Secs()->setText("0");
    PressRecord();
    EXPECT_EQ(Secs()->text(), "5");
    ExpectRecordingLook();
    EXPECT_EQ(Source().RecTime, RecordSettings::MaxSeconds);

    PressPause();
    ExpectPausedLook();
    EXPECT_EQ(Sink().Status(), osPaused);
    Secs()->setText("20000");
    PressRecord();
    EXPECT_EQ(Secs()->text(), "10800");
    ExpectPausedLook();
    EXPECT_EQ(Sink().Status(), osPaused);
    EXPECT_TRUE(Messages.Texts.isEmpty());

    // The settings check still comes first: a sample rate changed meanwhile is refused.
    SRate()->setEditText("48000");
    PressRecord();
    EXPECT_EQ(Messages.Texts, QStringList{ "Invalid settings selected!" });
    ExpectPausedLook();
    EXPECT_TRUE(Errors.Messages.isEmpty()) << Errors.Messages.join('\n').toStdString();
}

TEST_F(RecordingStates, PauseResumesAndPauseThenStopEndsTheRunWithACompleteFile)
{
    StartLongRecording("paused.mp3");
    PressPause();
    ExpectPausedLook();
    EXPECT_EQ(Sink().Status(), osPaused);
    PressPause();
    ExpectRecordingLook();
    EXPECT_EQ(Sink().Status(), osBusy);

    PressPause();
    ClickStop();
    // The window is idle at once; the sink, resumed after the stop request, ends its run.
    ExpectIdleLook("Mp3 Done");
    EXPECT_TRUE(ShowsPicture(Control("StopB"), SkinFiles::StopBut));
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectIdleLook("MP3 Done");
    EXPECT_EQ(Sink().Status(), osIdle);
    ExpectCompleteFile(FilePath("paused.mp3"));
}

TEST_F(RecordingStates, RecordWhileTheStoppedRunStillEndsIsRefusedUntilItsEnd)
{
    StartLongRecording();
    // Held by the test so that the stopped run cannot end before the next Record press.
    Sink().Pause();
    ClickStop();
    ExpectIdleLook("Mp3 Done");
    ASSERT_EQ(Sink().Status(), osPaused);

    PressRecord();
    EXPECT_EQ(Errors.Messages, QStringList{ "Component is buisy" });
    ExpectRecordingLook();
    QCoreApplication::processEvents();
    ExpectRecordingLook();

    Sink().Resume();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectIdleLook("MP3 Done");
    ASSERT_TRUE(RecordToEnd("5")) << "the window can record again";
    ExpectRecording(FilePath("long.mp3"), 44100, 128, 5);
}

TEST_F(RecordingStates, LateEndOfAnEarlierRunDoesNotEndTheNewerOne)
{
    const QString File = FilePath("newer.mp3");
    OpenWithFile(File);
    Secs()->setText("5");
    PressRecord();
    // The first run's end is queued but not handled yet.
    ASSERT_TRUE(WaitUntil([&] { return TMainTestAccess::EndedRuns(Behaviour(*Main)) == 1; }));
    ExpectRecordingLook();
    ClickStop();
    ExpectIdleLook("Mp3 Done");

    Card->SetPacing(TSimulatedPacing::RealTime);
    PressRecord();
    ASSERT_EQ(Sink().Status(), osBusy);
    QCoreApplication::processEvents();
    ExpectRecordingLook();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Source().Position > 16384; }, EventBoundMs));
    ExpectRecordingLook();

    ClickStop();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    // The worker counts the end just after it has posted its report.
    EXPECT_TRUE(WaitUntil([&] { return TMainTestAccess::EndedRuns(Behaviour(*Main)) == 2; }));
    ExpectCompleteFile(File);
    EXPECT_TRUE(Errors.Messages.isEmpty()) << Errors.Messages.join('\n').toStdString();
}

// A large button's picture that can no longer be read ends the reaction at that step: Record
// changes nothing but the duration, Pause nothing, and Stop's release does not stop the sink.
TEST_F(RecordingStates, PictureThatCannotBeReadEndsThePressAtThatStep)
{
    QTemporaryDir SkinCopy;
    ASSERT_TRUE(SkinCopy.isValid());
    const QDir Skin(SkinCopy.filePath("Skin"));
    ASSERT_TRUE(QDir().mkpath(Skin.path()));
    for (const QString& File : QDir(SkinParent + "/Skin").entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(SkinParent + "/Skin/" + File, Skin.filePath(File)))
            << File.toStdString();
    auto Hide = [&](const char* File) {
        return QFile::rename(Skin.filePath(File), Skin.filePath(QString(File) + ".hidden"));
    };
    auto Restore = [&](const char* File) {
        return QFile::rename(Skin.filePath(QString(File) + ".hidden"), Skin.filePath(File));
    };
    OpenWindow(SkinCopy.path());
    ChooseFile(FilePath("pictures.mp3"));

    ASSERT_TRUE(Hide(SkinFiles::RecButOn));
    Secs()->setText("3");
    PressRecord();
    ASSERT_EQ(Errors.Messages.size(), 1);
    EXPECT_TRUE(Errors.Messages[0].contains(SkinFiles::RecButOn))
        << Errors.Messages[0].toStdString();
    EXPECT_EQ(Secs()->text(), "5");
    EXPECT_EQ(Sink().Status(), osIdle);
    EXPECT_TRUE(Sink().GetFileName().empty());
    ExpectIdleLook("Status");

    ASSERT_TRUE(Restore(SkinFiles::RecButOn));
    Secs()->setValue(RecordSettings::MaxSeconds);
    PressRecord();
    ASSERT_EQ(Sink().Status(), osBusy);
    ASSERT_TRUE(Hide(SkinFiles::PauseButOn));
    PressPause();
    EXPECT_EQ(Errors.Messages.size(), 2);
    EXPECT_EQ(Sink().Status(), osBusy);
    ExpectRecordingLook();

    ASSERT_TRUE(Hide(SkinFiles::StopBut));
    ClickStop();
    EXPECT_EQ(Errors.Messages.size(), 3);
    EXPECT_EQ(Sink().Status(), osBusy) << "the sink was asked to stop";
    EXPECT_FALSE(StopRequested(Sink()));
    EXPECT_TRUE(TMainTestAccess::Recording(Behaviour(*Main)));
    EXPECT_EQ(StateText(), "Record");

    ASSERT_TRUE(Restore(SkinFiles::StopBut));
    ClickStop();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    EXPECT_EQ(Errors.Messages.size(), 3);
}

TEST_F(RecordingStates, RunThatFailsShowsTheReasonAndReturnsToIdle)
{
    struct TCase {
        const char* What;
        QString File;
        TSimulatedFaults Faults;
        QString Reason; // part of the message
    };
    TSimulatedFaults OpenFails;
    OpenFails.OpenError = "the simulated device is in use";
    TSimulatedFaults FailsLater;
    FailsLater.FailAfter = 3;
    const QString Missing = FilePath("no-such-folder/take.mp3");
    const TCase Cases[] = {
        { "file cannot be created", Missing, {}, "no-such-folder" },
        { "device cannot be opened", FilePath("open.mp3"), OpenFails, "in use" },
        { "device fails", FilePath("fails.mp3"), FailsLater, "has failed" },
    };
    OpenWindow();
    for (const TCase& Case : Cases) {
        Messages.Clear();
        Card->SetFaults(Case.Faults);
        ChooseFile(Case.File);
        Secs()->setText("5");
        PressRecord();
        ASSERT_TRUE(AwaitStatus("Error")) << Case.What;
        EXPECT_EQ(Messages.Kinds, std::vector{ TMessageKind::mkError }) << Case.What;
        EXPECT_EQ(Messages.Titles, QStringList{ "Error" });
        ASSERT_EQ(Messages.Texts.size(), 1);
        EXPECT_TRUE(Messages.Texts[0].contains(Case.Reason)) << Messages.Texts[0].toStdString();
        ExpectIdleLook("Error");
        EXPECT_EQ(Sink().Status(), osIdle);
        EXPECT_EQ(Card->OpenDevices(), 0) << Case.What;
    }
    // Nothing of the failures stays behind.
    Card->SetFaults({});
    ChooseFile(FilePath("good.mp3"));
    ASSERT_TRUE(RecordToEnd("5"));
    ExpectRecording(FilePath("good.mp3"), 44100, 128, 5);
    EXPECT_TRUE(Errors.Messages.isEmpty()) << Errors.Messages.join('\n').toStdString();
}

} // namespace
