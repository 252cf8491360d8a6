#include "DesktopIdentity.h"

#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <gtest/gtest.h>

// The program carries every size of the theme's icon, pixel for pixel the installed pictures,
// and names its desktop entry, which is also the icon's name.
TEST(DesktopIdentity, SetsTheEntryNameAndTheThemeIconAsWindowIcon)
{
    ApplyDesktopIdentity();
    EXPECT_EQ(QGuiApplication::desktopFileName(), "org.corvatone.Corvatone");
    const QIcon Icon = QGuiApplication::windowIcon();
    ASSERT_FALSE(Icon.isNull());
    for (int Size : { 16, 22, 24, 32, 48, 64, 128, 256 }) {
        SCOPED_TRACE(Size);
        EXPECT_TRUE(Icon.availableSizes().contains(QSize(Size, Size)));
        const QImage Installed(QStringLiteral(CORVATONE_ICON_THEME "/%1x%1/apps/%2.png")
                                   .arg(Size)
                                   .arg(DesktopEntryName));
        ASSERT_FALSE(Installed.isNull());
        const QImage Shown = Icon.pixmap(Size, Size).toImage();
        EXPECT_EQ(Shown.convertToFormat(QImage::Format_ARGB32),
            Installed.convertToFormat(QImage::Format_ARGB32));
    }
}
