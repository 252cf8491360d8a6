#include "QtCanvas.h"
#include "WidgetTestSupport.h"

#include <QPalette>
#include <gtest/gtest.h>

TEST(SystemColors, ResolveThroughTheApplicationPalette)
{
    WidgetTest::App();
    const QPalette Saved = QGuiApplication::palette();
    EXPECT_EQ(ColorToRGB(RGB(1, 2, 3) | 0x12000000u), RGB(1, 2, 3));
    const TColor Tooltip = ColorToRGB(clInfoBk);
    EXPECT_GT(GetRValue(Tooltip), 200);
    EXPECT_GT(GetGValue(Tooltip), 200);
    EXPECT_LT(GetBValue(Tooltip), GetRValue(Tooltip)) << "tooltip background is light yellow";

    QPalette Changed = Saved;
    Changed.setColor(QPalette::Active, QPalette::ToolTipBase, QColor(10, 20, 30));
    Changed.setColor(QPalette::Active, QPalette::Highlight, QColor(40, 50, 60));
    Changed.setColor(QPalette::Disabled, QPalette::Text, QColor(70, 80, 90));
    QApplication::setPalette(Changed);
    EXPECT_EQ(ColorToRGB(clInfoBk), RGB(10, 20, 30));
    EXPECT_EQ(ColorToRGB(clBackground), RGB(40, 50, 60));
    EXPECT_EQ(ColorToRGB(clGrayText), RGB(70, 80, 90));
    EXPECT_EQ(ToQColor(clGrayText), QColor(70, 80, 90));
    QApplication::setPalette(Saved);
}
