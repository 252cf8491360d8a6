// The window's behaviour driven only through its handlers, where the scenarios that every window
// runs (scenarios/) do not reach: the skin folder's name and a picture missing later in the
// start.
#include "WindowTestSupport.h"

namespace {

class WindowStart : public TWindowTest { };

TEST_F(WindowStart, SkinFolderWithTrailingSeparatorsGivesOneSeparatorBeforeTheFileNames)
{
    Window->FolderForSkin = "/corvatone//";
    Open();
    EXPECT_EQ((*Window)[TControl::CloseB].Picture, "/corvatone/Skin/CloseB.png");
    EXPECT_EQ((*Window)[TControl::StopB].Picture, "/corvatone/Skin/StopBut.bmp");
}

TEST_F(WindowStart, UnreadablePictureEndsTheStartThereAndTheCloseButtonStillCloses)
{
    Window->Unreadable = { SkinFiles::PauseBut };
    Window->Open();
    ASSERT_EQ(Window->Errors.size(), 1u);
    EXPECT_NE(Window->Errors[0].find("Skin/PauseBut.bmp"), std::string::npos) << Window->Errors[0];
    EXPECT_TRUE(Shows(TControl::RecB, SkinFiles::RecBut));
    EXPECT_TRUE((*Window)[TControl::PauseB].Picture.empty());
    EXPECT_TRUE((*Window)[TControl::StopB].Picture.empty());
    EXPECT_EQ((*Window)[TControl::LabDev].Text, "Unknown");

    Window->Unreadable = { SkinFiles::CloseB };
    EXPECT_FALSE(Main().FormCloseQuery());
    ClickClose();
    EXPECT_TRUE(Window->Closed);
    EXPECT_EQ(Window->Errors.size(), 1u);
}

} // namespace
