// Text between UTF-8 and UTF-16: the file names of the save dialog reach the shared code intact.
#include "Win32Text.h"

#include "Win32Api.h"

#include <gtest/gtest.h>
#include <stdexcept>

TEST(Win32Text, NonAsciiFileNamesSurviveTheRoundTrip)
{
    const std::string Utf8 = "C:\\\xD0\x97\xD0\xB0\xD0\xBF\xD0\xB8\xD1\x81\xD0\xB8\\\xC3\x9C"
                             "n\xC3\xAF"
                             "c\xC3\xB6"
                             "d\xC3\xA9 \xE2\x98\x83 \xF0\x9F\x8E\xB5.mp3";
    const std::wstring Wide = WideFromUtf8(Utf8);
    EXPECT_EQ(Wide,
        L"C:\\\u0417\u0430\u043F\u0438\u0441\u0438\\\u00DCn\u00EFc\u00F6d\u00E9 "
        L"\u2603 \U0001F3B5.mp3");
    EXPECT_EQ(Utf8FromWide(Wide), Utf8);
    EXPECT_EQ(WideFromUtf8(""), L"");
    EXPECT_EQ(Utf8FromWide(L""), "");
}

TEST(Win32Text, BrokenTextIsRefusedRatherThanGuessed)
{
    EXPECT_THROW(WideFromUtf8("abc\xFF"), std::runtime_error);
    EXPECT_THROW(WideFromUtf8("\xC3"), std::runtime_error);
    EXPECT_THROW(Utf8FromWide(std::wstring(1, wchar_t(0xD800))), std::runtime_error);
    // What is only shown keeps the readable part and marks the rest.
    EXPECT_EQ(DisplayText("abc\xFF"), L"abc\uFFFD");
}

TEST(Win32Text, SystemErrorsReadAsTextWithoutTheirLineEnd)
{
    const std::string Text = SystemErrorText(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(Text.empty());
    EXPECT_NE(Text.back(), '\n');
    EXPECT_EQ(SystemErrorText(0xFFFFFFF0u).rfind("error ", 0), 0u);
}
