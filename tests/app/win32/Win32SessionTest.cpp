// The session's messages on the Win32 window with the recorder's behaviour: an idle recorder lets
// the session end at once; an end that another program cancelled changes nothing; a real end
// closes the window, so that the message loop ends the program. (A recording finished before the
// answer is exe-under-wine's check, on the program itself.)
#include "Corvat.h"
#include "SimulatedWaveDevice.h"
#include "Win32MainForm.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

class Win32Session : public testing::Test {
protected:
    void SetUp() override
    {
        auto Card
            = std::make_shared<TSimulatedWaveBackend>(std::vector<TSimulatedDeviceSpec>{ {} });
        UseWaveBackend(Card);
        Window = std::make_unique<TWin32MainForm>(GetModuleHandleW(nullptr), CORVATONE_APP_DIR);
        Main = std::make_unique<TMain>(*Window);
        Window->Attach(Main.get());
        Window->Show(SW_SHOWNORMAL);
    }
    void TearDown() override
    {
        if (Window)
            Window->Attach(nullptr);
        Main.reset();
        Window.reset();
    }
    LRESULT Send(UINT Message, WPARAM W, LPARAM L)
    {
        return SendMessageW(Window->Handle(), Message, W, L);
    }
    // Whether the window has asked the message loop to end (its close was taken).
    static bool QuitPosted()
    {
        MSG Message{};
        return PeekMessageW(&Message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    std::unique_ptr<TWin32MainForm> Window;
    std::unique_ptr<TMain> Main;
};

} // namespace

TEST_F(Win32Session, AnIdleRecorderLetsTheSessionEndAndOnlyARealEndClosesTheWindow)
{
    EXPECT_EQ(Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_EQ(Send(WM_QUERYENDSESSION, 0, 0), TRUE);
    Send(WM_ENDSESSION, FALSE, 0);
    EXPECT_FALSE(QuitPosted()) << "a cancelled end closed the window";
    Send(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(QuitPosted()) << "the session's end left the window open";
}

// Without the behaviour the window refuses every close, and the session may end.
TEST(Win32SessionWithoutBehaviour, TheSessionMayEndAndNothingCloses)
{
    TWin32MainForm Window(GetModuleHandleW(nullptr), CORVATONE_APP_DIR);
    EXPECT_EQ(SendMessageW(Window.Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageW(Window.Handle(), WM_ENDSESSION, TRUE, 0);
    SendMessageW(Window.Handle(), WM_CLOSE, 0, 0);
    MSG Message{};
    EXPECT_FALSE(PeekMessageW(&Message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}
