#include "GradBtn.h"
#include "TFlatProgressBarUnit.h"
#include "WidgetTestSupport.h"
#include "ui_WidgetForm.h"

#include <gtest/gtest.h>

// The window sets the widgets up from a form: geometry first, then the published properties.
TEST(WidgetForm, PropertiesFromAFormKeepTheirSizes)
{
    WidgetTest::App();
    QWidget Form;
    Ui::WidgetForm Ui;
    Ui.setupUi(&Form);

    EXPECT_EQ(Ui.Indicator->size(), QSize(17, 97)) << "loading a vertical bar swaps nothing";
    EXPECT_EQ(Ui.Indicator->Orientation(), pbVertical);
    EXPECT_EQ(Ui.Indicator->ColorElement(), clBackground);
    EXPECT_TRUE(Ui.Indicator->Smooth());
    EXPECT_EQ(Ui.Progres->size(), QSize(147, 16));
    EXPECT_EQ(Ui.Progres->Step(), 1);

    EXPECT_EQ(Ui.SaveAs->Caption(), QStringLiteral("Save as"));
    EXPECT_EQ(Ui.SaveAs->GradientStyle(), gsVertical);
    EXPECT_EQ(Ui.SaveAs->BeginColor(), RGB(206, 206, 206));
    EXPECT_EQ(Ui.SaveAs->EndColor(), RGB(95, 95, 95));
    EXPECT_EQ(Ui.SaveAs->TextStyle(), tsInset);
    EXPECT_EQ(Ui.SaveAs->TextShadeType(), stHeavy);
    EXPECT_EQ(Ui.SaveAs->Presets(), None);

    // Once the window is shown, Orientation exchanges width and height again.
    Form.show();
    Ui.Indicator->setOrientation(pbHorizontal);
    EXPECT_EQ(Ui.Indicator->size(), QSize(97, 17));
}
