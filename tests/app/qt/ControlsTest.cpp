// The window's own controls and helpers: the image control's picture, the
// whole-number spin box and the error report.
#include "AppTestSupport.h"
#include "Dialogs.h"
#include "FormWidgets.h"

#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <stdexcept>

namespace {

class ImageControl : public testing::Test {
protected:
    void SetUp() override
    {
        Form.resize(200, 100);
        Left.setGeometry(10, 10, 40, 30);
        Right.setGeometry(100, 10, 40, 30);
        Form.show();
    }
    QWidget Form;
    TImage Left{ &Form };
    TImage Right{ &Form };
};

TEST_F(ImageControl, SizesItselfToItsPictureAndKeepsItsPlaceWithout)
{
    EXPECT_FALSE(Left.HasPicture());
    EXPECT_EQ(Left.size(), QSize(40, 30));
    QPixmap Picture(51, 31);
    Picture.fill(Qt::red);
    Left.SetPicture(Picture);
    EXPECT_EQ(Left.geometry(), QRect(10, 10, 51, 31));
    Left.SetPicture(QPixmap());
    EXPECT_EQ(Left.size(), QSize(51, 31));

    Right.setAutoSize(false);
    Right.SetPicture(Picture);
    EXPECT_EQ(Right.size(), QSize(40, 30));
}

TEST_F(ImageControl, ReadsBmpAndPngAndNamesAFileItCannotRead)
{
    QTemporaryDir Folder;
    QImage Image(20, 12, QImage::Format_RGB32);
    Image.fill(QColor(10, 20, 30));
    ASSERT_TRUE(Image.save(Folder.filePath("a.bmp")));
    ASSERT_TRUE(Image.save(Folder.filePath("a.png")));
    Left.SetPicture(ReadPixmap(Folder.filePath("a.bmp").toStdString()));
    EXPECT_EQ(Left.size(), QSize(20, 12));
    Right.SetPicture(ReadPixmap(Folder.filePath("a.png").toStdString()));
    EXPECT_EQ(Right.size(), QSize(20, 12));

    const std::string Missing = Folder.filePath("gone.bmp").toStdString();
    try {
        ReadPixmap(Missing);
        FAIL() << "no error for a missing file";
    } catch (const std::runtime_error& E) {
        EXPECT_EQ(std::string(E.what()).rfind("Cannot read image file " + Missing + ": ", 0), 0u)
            << E.what();
    }
    // A text file named as a picture: refused too, not shown as an empty picture.
    QFile Text(Folder.filePath("b.png"));
    ASSERT_TRUE(Text.open(QIODevice::WriteOnly));
    Text.write("not a picture");
    Text.close();
    EXPECT_THROW(ReadPixmap(Folder.filePath("b.png").toStdString()), std::runtime_error);
    EXPECT_TRUE(Left.HasPicture());
}

TEST_F(ImageControl, TransparentDropsTheBottomLeftColourOfAPictureWithoutAlpha)
{
    QImage Image(4, 4, QImage::Format_RGB32);
    Image.fill(Qt::green);
    Image.setPixel(1, 1, qRgb(200, 0, 0));
    Form.setStyleSheet("background: blue");
    Left.setTransparent(true);
    Left.SetPicture(QPixmap::fromImage(Image));
    const QImage Drawn = Form.grab(QRect(10, 10, 4, 4)).toImage();
    EXPECT_EQ(QColor(Drawn.pixel(1, 1)), QColor(200, 0, 0));
    EXPECT_EQ(QColor(Drawn.pixel(3, 3)), QColor(Qt::blue));
}

TEST(SpinEdit, ValueIsTheShownWholeNumberOrTheMinimum)
{
    TSpinEdit Secs;
    Secs.setMinValue(5);
    Secs.setMaxValue(10800);
    Secs.setIncrement(5);
    Secs.setValue(10800);
    EXPECT_EQ(Secs.text(), "10800");

    Secs.setText("");
    QTest::keyClicks(&Secs, "abc");
    EXPECT_EQ(Secs.text(), "abc");
    EXPECT_EQ(Secs.Value(), 5);
    QTest::keyClicks(&Secs, "\b\b\b-3");
    EXPECT_EQ(Secs.Value(), -3); // the value is what it shows; its user clamps it
    Secs.setText("20000");
    EXPECT_EQ(Secs.Value(), 20000);
    Secs.setText("12.5");
    EXPECT_EQ(Secs.Value(), 5);
}

TEST(SpinEdit, ArrowsStepByTheIncrementWithinTheRange)
{
    TSpinEdit Secs;
    Secs.setMinValue(5);
    Secs.setMaxValue(10800);
    Secs.setIncrement(5);
    Secs.setValue(10795);
    Secs.stepBy(1);
    EXPECT_EQ(Secs.Value(), 10800);
    Secs.stepBy(1);
    EXPECT_EQ(Secs.Value(), 10800);
    Secs.setValue(8);
    Secs.stepBy(-1);
    EXPECT_EQ(Secs.Value(), 5);
    Secs.setText("abc");
    Secs.stepBy(1);
    EXPECT_EQ(Secs.text(), "10");
    QTest::keyClick(&Secs, Qt::Key_Up);
    EXPECT_EQ(Secs.Value(), 15);
    Secs.setValue(20000);
    EXPECT_EQ(Secs.text(), "10800");
    Secs.setEnabled(false);
    EXPECT_EQ(Secs.stepEnabled(), QAbstractSpinBox::StepNone);
}

TEST(ErrorReports, TheDefaultReportIsAnErrorBoxTitledAsEveryErrorBox)
{
    QString Title;
    QString Text;
    QTimer::singleShot(0, [&] {
        for (QWidget* Widget : QApplication::topLevelWidgets())
            if (auto* Box = qobject_cast<QMessageBox*>(Widget)) {
                Title = Box->windowTitle();
                Text = Box->text();
                Box->accept();
            }
    });
    ErrorReporter(nullptr, "Cannot read image file /x/Skin/CloseB.png: File not found");
    EXPECT_EQ(Title, "Error");
    EXPECT_EQ(Text, "Cannot read image file /x/Skin/CloseB.png: File not found");
}

// Tests put back what they replaced: a replacement handed back empty, or an empty one kept, would
// leave the window without its box, dialog or menu.
TEST(Replaceable, HandsOutTheDefaultAndAnEmptyReplacementPutsItBack)
{
    TReplaceable<std::function<int(int)>> Call{ [](int Value) { return Value + 1; } };
    EXPECT_EQ(Call(1), 2);
    const std::function<int(int)> Default = Call.Replace([](int Value) { return Value * 10; });
    EXPECT_EQ(Call(2), 20);
    ASSERT_TRUE(Default);
    EXPECT_EQ(Default(5), 6);
    const std::function<int(int)> Replacement = Call.Replace({});
    ASSERT_TRUE(Replacement);
    EXPECT_EQ(Replacement(3), 30);
    EXPECT_EQ(Call(3), 4);
}

} // namespace
