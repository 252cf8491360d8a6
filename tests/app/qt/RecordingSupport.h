// The window recording for real: a fixture with the simulated card flat out, a folder for the
// files, the presses on the window's buttons, the looks of its recording states, and the checks
// of a recorded file.
#pragma once

#include "AppTestSupport.h"
#include "FormWidgets.h"
#include "Mp3Check.h"
#include "SkinFiles.h"
#include "TFlatProgressBarUnit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

// A complete file decodes (without gapless trimming) to the encoder's delay of 576 + 529 frames,
// every frame fed in, and the padding of its last MP3 frame; delay and padding stay under three
// MP3 frames of 1152. A file without the encoder's flush lacks the frames it still held.
inline constexpr int64_t EncoderDelay = 576 + 529;
inline constexpr int64_t DelayAndPaddingBound = 3 * 1152;
// The source may deliver one 16384-byte buffer beyond the duration: 4096 frames of 16-bit stereo.
inline constexpr int64_t OneBufferFrames = 16384 / 4;
inline constexpr int EventBoundMs = 30000;

inline bool ShowsPicture(QWidget* Control, const char* SkinFile)
{
    const QImage Expected = QImage(SkinParent + "/Skin/" + SkinFile)
                                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return static_cast<TImage*>(Control)->Picture().toImage().convertToFormat(
               QImage::Format_ARGB32_Premultiplied)
        == Expected;
}

class TRecordingTest : public TWindowTest {
protected:
    void SetUp() override
    {
        TWindowTest::SetUp();
        Card->SetPacing(TSimulatedPacing::FlatOut);
        ASSERT_TRUE(Folder.isValid());
    }

    QString FilePath(const char* Name) const { return Folder.filePath(Name); }

    // Opens the window and chooses File through Save as.
    TMainForm& OpenWithFile(const QString& File)
    {
        TMainForm& Window = OpenWindow();
        ChooseFile(File);
        return Window;
    }
    void ChooseFile(const QString& File)
    {
        SaveDialog.Answer = File;
        QTest::mouseClick(Control("SaveAs"), Qt::LeftButton);
        SaveDialog.Answer.reset();
    }

    void PressRecord() { QTest::mousePress(Control("RecB"), Qt::LeftButton, {}, { 5, 5 }); }
    void PressPause() { QTest::mousePress(Control("PauseB"), Qt::LeftButton, {}, { 5, 5 }); }
    void ClickStop() { QTest::mouseClick(Control("StopB"), Qt::LeftButton, {}, { 5, 5 }); }
    void ClickRadio(const char* Name) { QTest::mouseClick(Control(Name), Qt::LeftButton); }

    // Handles the window's events until the status panel shows Text.
    bool AwaitStatus(const QString& Text)
    {
        return QTest::qWaitFor([&] { return StateText() == Text; }, EventBoundMs);
    }
    // Records Seconds (as typed into Secs) and awaits the sink's end of the run.
    bool RecordToEnd(const QString& SecsText)
    {
        Secs()->setText(SecsText);
        PressRecord();
        return AwaitStatus("MP3 Done");
    }

    TMP3Out& Sink() { return TMainTestAccess::MP3Out(Behaviour(*Main)); }
    TAudioIn& Source() { return TMainTestAccess::AudIn(Behaviour(*Main)); }
    QString StateText() { return Control<QLabel>("State")->text(); }
    TSpinEdit* Secs() { return Control<TSpinEdit>("Secs"); }
    QComboBox* KBS() { return Control<QComboBox>("KBS"); }
    QComboBox* SRate() { return Control<QComboBox>("SRate"); }
    TFlatProgressBar* Progres() { return Control<TFlatProgressBar>("Progres"); }
    TFlatProgressBar* Indicator() { return Control<TFlatProgressBar>("Indicator"); }

    QStringList ListOf(QComboBox* Box)
    {
        QStringList Items;
        for (int Index = 0; Index < Box->count(); ++Index)
            Items << Box->itemText(Index);
        return Items;
    }

    // The idle state's look, with Status on the panel.
    void ExpectIdleLook(const QString& Status)
    {
        EXPECT_FALSE(TMainTestAccess::Recording(Behaviour(*Main)));
        EXPECT_FALSE(TMainTestAccess::Paused(Behaviour(*Main)));
        EXPECT_EQ(StateText(), Status);
        EXPECT_TRUE(ShowsPicture(Control("RecB"), SkinFiles::RecBut));
        EXPECT_TRUE(ShowsPicture(Control("PauseB"), SkinFiles::PauseBut));
        EXPECT_EQ(Progres()->Position(), 0);
        for (const char* Name : { "KBS", "SecCustom", "SecNoLimit" })
            EXPECT_TRUE(Control(Name)->isEnabled()) << Name;
        EXPECT_EQ(Secs()->isEnabled(), Control<QRadioButton>("SecCustom")->isChecked());
    }
    void ExpectRecordingLook()
    {
        EXPECT_TRUE(TMainTestAccess::Recording(Behaviour(*Main)));
        EXPECT_FALSE(TMainTestAccess::Paused(Behaviour(*Main)));
        EXPECT_EQ(StateText(), "Record");
        EXPECT_TRUE(ShowsPicture(Control("RecB"), SkinFiles::RecButOn));
        EXPECT_TRUE(ShowsPicture(Control("PauseB"), SkinFiles::PauseBut));
        for (const char* Name : { "KBS", "SecCustom", "SecNoLimit", "Secs" })
            EXPECT_FALSE(Control(Name)->isEnabled()) << Name;
        EXPECT_TRUE(Control("SRate")->isEnabled());
        EXPECT_TRUE(Control("SaveAs")->isEnabled());
    }

    // File holds Seconds of two-channel sound at Rate, every frame at Kbps.
    void ExpectRecording(const QString& File, long Rate, int Kbps, int64_t Seconds)
    {
        const TMp3Decoded Decoded = DecodeMp3File(File.toStdString());
        ASSERT_TRUE(Decoded.Ok) << Decoded.Error;
        EXPECT_EQ(Decoded.SampleRate, Rate);
        EXPECT_EQ(Decoded.Channels, 2);
        std::vector<int> BitRates;
        for (const auto& [FrameKbps, Count] : Decoded.FramesByBitRate)
            BitRates.push_back(FrameKbps);
        EXPECT_EQ(BitRates, std::vector<int>{ Kbps }) << "bit rates in the frame headers";
        EXPECT_GE(Decoded.Frames, Rate * Seconds + EncoderDelay);
        EXPECT_LE(Decoded.Frames, Rate * Seconds + OneBufferFrames + DelayAndPaddingBound);
    }

    QTemporaryDir Folder;
};
