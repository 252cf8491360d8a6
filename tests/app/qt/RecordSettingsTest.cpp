// The settings of a recording as the Record press takes them: the duration's clamp, the
// sample-rate and bit-rate lists and their check, the output file and the file-save dialog.
#include "RecordingSupport.h"

namespace {

class RecordSettings : public TRecordingTest { };

TEST_F(RecordSettings, DurationIsClampedOrReadAsFiveAndRecordedSoLong)
{
    struct TCase {
        const char* Typed;
        const char* Shown;
    };
    const QString File = FilePath("duration.mp3");
    OpenWithFile(File);
    for (const TCase& Case : { TCase{ "0", "5" }, TCase{ "-3", "5" }, TCase{ "abc", "abc" } }) {
        ASSERT_TRUE(RecordToEnd(Case.Typed)) << Case.Typed;
        EXPECT_EQ(Secs()->text(), Case.Shown);
        EXPECT_EQ(Source().RecTime, 5) << Case.Typed;
        ExpectRecording(File, 44100, 128, 5);
    }
    EXPECT_TRUE(Messages.Texts.isEmpty()) << Messages.Texts.join('\n').toStdString();
}

TEST_F(RecordSettings, DurationAboveThreeHoursShowsAndRecordsTheLongest)
{
    OpenWithFile(FilePath("long.mp3"));
    Secs()->setText("20000");
    PressRecord();
    EXPECT_EQ(Secs()->text(), "10800");
    EXPECT_EQ(Source().RecTime, 10800);
    EXPECT_EQ(Source().Size, 10800 * 44100 * 4);
    ClickStop();
    EXPECT_TRUE(AwaitStatus("MP3 Done"));
}

TEST_F(RecordSettings, TextsThatAreNotEntriesOfTheirListsAreRefused)
{
    struct TCase {
        const char* SampleRate;
        const char* BitRate;
    };
    OpenWithFile(FilePath("refused.mp3"));
    for (const TCase& Case : { TCase{ "22050", "320" }, TCase{ "48000", "128" },
             TCase{ "44100", "128 " }, TCase{ " 44100", "128" }, TCase{ "44100", "" } }) {
        Messages.Clear();
        SRate()->setEditText(Case.SampleRate);
        KBS()->setEditText(Case.BitRate);
        Secs()->setText("3");
        PressRecord();
        EXPECT_EQ(Messages.Titles, QStringList{ "Error" })
            << Case.SampleRate << "/" << Case.BitRate;
        EXPECT_EQ(Messages.Texts, QStringList{ "Invalid settings selected!" });
        EXPECT_EQ(Messages.Kinds, std::vector{ TMessageKind::mkError });
        // Only the duration's clamp has happened.
        EXPECT_EQ(Secs()->text(), "5");
        EXPECT_EQ(Sink().Status(), osIdle);
        ExpectIdleLook("Status");
    }
}

// The lists are the program's own: a text typed and confirmed with Enter is still not an entry.
TEST_F(RecordSettings, TypedTextConfirmedWithEnterDoesNotJoinTheList)
{
    struct TCase {
        const char* Box;
        const char* Typed;
    };
    OpenWithFile(FilePath("typed.mp3"));
    const QStringList SampleRates = ListOf(SRate());
    const QStringList BitRates = ListOf(KBS());
    for (const TCase& Case : { TCase{ "SRate", "48000" }, TCase{ "KBS", "100" } }) {
        Messages.Clear();
        SRate()->setCurrentText("44100");
        KBS()->setCurrentText("128");
        QLineEdit* Edit = Control<QComboBox>(Case.Box)->lineEdit();
        Edit->clear();
        QTest::keyClicks(Edit, Case.Typed);
        QTest::keyClick(Edit, Qt::Key_Return);
        EXPECT_EQ(ListOf(SRate()), SampleRates) << Case.Typed;
        EXPECT_EQ(ListOf(KBS()), BitRates) << Case.Typed;
        PressRecord();
        EXPECT_EQ(Messages.Texts, QStringList{ "Invalid settings selected!" }) << Case.Typed;
        EXPECT_EQ(Sink().Status(), osIdle);
        ExpectIdleLook("Status");
    }
    EXPECT_TRUE(Errors.Messages.isEmpty()) << Errors.Messages.join('\n').toStdString();
}

TEST_F(RecordSettings, ChosenBitRateAndSampleRateReachTheFile)
{
    struct TCase {
        const char* SampleRate;
        const char* BitRate;
        int Kbps;
        TMP3BitRate BitRateValue;
    };
    const QString File = FilePath("rates.mp3");
    OpenWithFile(File);
    for (const TCase& Case : { TCase{ "44100", "192", 192, br192 },
             TCase{ "22050", "96", 96, br96 }, TCase{ "44100", "320", 320, br320 } }) {
        SRate()->setCurrentText(Case.SampleRate);
        KBS()->setCurrentText(Case.BitRate);
        ASSERT_TRUE(RecordToEnd("5")) << Case.BitRate;
        EXPECT_EQ(Sink().GetBitRate(), Case.BitRateValue);
        ExpectRecording(File, QString(Case.SampleRate).toLong(), Case.Kbps, 5);
    }
}

TEST_F(RecordSettings, SaveAsRunsTheDialogOfTheFormAndTakesOnlyAConfirmedFile)
{
    OpenWindow();
    QFileDialog* Seen = nullptr;
    SaveDialog.Inspect = [&](QFileDialog& Dialog) {
        Seen = &Dialog;
        EXPECT_EQ(Dialog.objectName(), "SaveMp3");
        EXPECT_EQ(Dialog.windowTitle(), "Choose folder to save");
        EXPECT_EQ(Dialog.nameFilters(), QStringList{ "Mp3 Files (*.mp3)" });
        EXPECT_EQ(Dialog.defaultSuffix(), "mp3");
        EXPECT_EQ(Dialog.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_FALSE(Dialog.testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_TRUE(Dialog.isSizeGripEnabled());
    };
    auto* DirOut = Control<QLineEdit>("DirOut");
    ChooseFile(FilePath("first.mp3"));
    EXPECT_EQ(DirOut->text(), FilePath("first.mp3"));
    SaveDialog.Cancel = true;
    QTest::mouseClick(Control("SaveAs"), Qt::LeftButton);
    EXPECT_EQ(DirOut->text(), FilePath("first.mp3"));
    EXPECT_EQ(SaveDialog.Shown, 2);
    // The dialog is one component of the window, kept from one use to the next.
    EXPECT_EQ(Main->findChildren<QFileDialog*>().size(), 1);
    EXPECT_EQ(Main->findChild<QFileDialog*>(), Seen);
}

// Recording again without choosing a new file replaces the file; a file chosen during a
// recording is used from the next one on.
TEST_F(RecordSettings, RecordingAgainReplacesTheFileAndAFileChosenMeanwhileIsTheNextOnes)
{
    const QString First = FilePath("first.mp3");
    const QString Second = FilePath("second.mp3");
    OpenWithFile(First);
    ASSERT_TRUE(RecordToEnd("10"));
    ExpectRecording(First, 44100, 128, 10);
    ASSERT_TRUE(RecordToEnd("5"));
    ExpectRecording(First, 44100, 128, 5);

    Secs()->setText("5");
    PressRecord();
    ChooseFile(Second);
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    EXPECT_FALSE(QFile::exists(Second));
    ASSERT_TRUE(RecordToEnd("5"));
    ExpectRecording(Second, 44100, 128, 5);
}

} // namespace
