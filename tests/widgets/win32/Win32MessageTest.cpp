// The one window procedure of the front end's classes: messages reach the object behind a window
// only while it is routed there, and an error that leaves the object shows in a box owned by the
// top-level window instead of crossing the system's frames.
#include "Win32Message.h"

#include "Win32ErrorBox.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr wchar_t ClassName[] = L"CorvatoneMessageTest";
constexpr UINT Counted = WM_APP + 7;
constexpr UINT Raising = WM_APP + 8;
// Raises an error whose text is not valid UTF-8.
constexpr UINT RaisingBrokenText = WM_APP + 9;

struct TShownBox {
    HWND Owner;
    std::wstring Text;
};
std::vector<TShownBox> ShownBoxes;

void RecordBox(HWND Owner, const std::wstring&, const std::wstring& Text)
{
    ShownBoxes.push_back({ Owner, Text });
}

class TCountingTarget : public TWin32MessageTarget {
public:
    explicit TCountingTarget(HWND Window)
        : FWindow(Window)
    {
    }
    ~TCountingTarget() override { Attach(false); }
    void Attach(bool On) { Route(FWindow, On ? this : nullptr); }
    int Count = 0;

private:
    LRESULT HandleMessage(UINT Message, WPARAM W, LPARAM L) override
    {
        if (Message == Counted)
            return ++Count;
        if (Message == Raising)
            throw std::runtime_error("the target failed");
        if (Message == RaisingBrokenText)
            throw std::runtime_error("bad \xff\xfe text");
        return DefWindowProcW(FWindow, Message, W, L);
    }
    HWND FWindow;
};

class Win32MessageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const HINSTANCE Instance = GetModuleHandleW(nullptr);
        RegisterWindowClass(Instance, TWin32WindowClass{ ClassName });
        Parent = CreateWindowExW(
            0, ClassName, L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, Instance, nullptr);
        Child = CreateWindowExW(
            0, ClassName, L"", WS_CHILD, 0, 0, 10, 10, Parent, nullptr, Instance, nullptr);
        ASSERT_TRUE(Parent && Child);
        PreviousShower = SetErrorBoxShower(&RecordBox);
        ShownBoxes.clear();
    }
    void TearDown() override
    {
        SetErrorBoxShower(PreviousShower);
        DestroyWindow(Parent);
    }

    HWND Parent = nullptr;
    HWND Child = nullptr;
    TErrorBoxShower PreviousShower = nullptr;
};

} // namespace

TEST_F(Win32MessageTest, MessagesReachTheTargetOnlyWhileRouted)
{
    TCountingTarget Target(Child);
    EXPECT_EQ(SendMessageW(Child, Counted, 0, 0), 0);
    Target.Attach(true);
    EXPECT_EQ(SendMessageW(Child, Counted, 0, 0), 1);
    EXPECT_EQ(SendMessageW(Child, Counted, 0, 0), 2);
    // The system's default answers what the target passes on.
    SetWindowTextW(Child, L"named");
    wchar_t Text[16]{};
    EXPECT_EQ(GetWindowTextW(Child, Text, 16), 5);
    Target.Attach(false);
    EXPECT_EQ(SendMessageW(Child, Counted, 0, 0), 0);
    EXPECT_EQ(Target.Count, 2);
}

TEST_F(Win32MessageTest, AnErrorShowsInABoxOwnedByTheTopLevelWindow)
{
    TCountingTarget OnChild(Child);
    TCountingTarget OnParent(Parent);
    OnChild.Attach(true);
    OnParent.Attach(true);
    EXPECT_EQ(SendMessageW(Child, Raising, 0, 0), 0);
    EXPECT_EQ(SendMessageW(Parent, Raising, 0, 0), 0);
    ASSERT_EQ(ShownBoxes.size(), 2u);
    EXPECT_EQ(ShownBoxes[0].Owner, Parent);
    EXPECT_EQ(ShownBoxes[1].Owner, Parent);
    EXPECT_NE(ShownBoxes[0].Text.find(L"the target failed"), std::wstring::npos);
    // The window goes on answering after the error.
    EXPECT_EQ(SendMessageW(Child, Counted, 0, 0), 1);
}

// The box's text is made without raising again: bytes that are not UTF-8 show as replacement
// characters.
TEST_F(Win32MessageTest, AnErrorWhoseTextIsNotUtf8ShowsWithoutRaisingAgain)
{
    TCountingTarget Target(Child);
    Target.Attach(true);
    EXPECT_EQ(SendMessageW(Child, RaisingBrokenText, 0, 0), 0);
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_NE(ShownBoxes[0].Text.find(L"bad \uFFFD\uFFFD text"), std::wstring::npos)
        << std::string(ShownBoxes[0].Text.begin(), ShownBoxes[0].Text.end());
}
