#include "Win32Text.h"

#include "Win32Api.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace {

int CheckedLength(size_t Length)
{
    if (Length > static_cast<size_t>(std::numeric_limits<int>::max()))
        throw std::runtime_error("Text too long to convert");
    return static_cast<int>(Length);
}

} // namespace

std::wstring WideFromUtf8(std::string_view Text)
{
    if (Text.empty())
        return {};
    const int Length = CheckedLength(Text.size());
    const int Needed
        = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, Text.data(), Length, nullptr, 0);
    if (Needed <= 0)
        throw std::runtime_error("Text is not valid UTF-8");
    std::wstring Wide(static_cast<size_t>(Needed), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, Text.data(), Length, Wide.data(), Needed);
    return Wide;
}

std::wstring DisplayText(std::string_view Text)
{
    if (Text.empty() || Text.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return {};
    const int Length = static_cast<int>(Text.size());
    const int Needed = MultiByteToWideChar(CP_UTF8, 0, Text.data(), Length, nullptr, 0);
    std::wstring Wide(static_cast<size_t>(std::max(Needed, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, Text.data(), Length, Wide.data(), Needed);
    return Wide;
}

std::string Utf8FromWide(std::wstring_view Text)
{
    if (Text.empty())
        return {};
    const int Length = CheckedLength(Text.size());
    const int Needed = WideCharToMultiByte(
        CP_UTF8, WC_ERR_INVALID_CHARS, Text.data(), Length, nullptr, 0, nullptr, nullptr);
    if (Needed <= 0)
        throw std::runtime_error("Text is not valid UTF-16");
    std::string Narrow(static_cast<size_t>(Needed), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, Text.data(), Length, Narrow.data(), Needed,
        nullptr, nullptr);
    return Narrow;
}

std::string SystemErrorText(unsigned long Code)
{
    wchar_t* Buffer = nullptr;
    const DWORD Length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, Code, 0, reinterpret_cast<wchar_t*>(&Buffer), 0, nullptr);
    std::wstring Text = Length > 0 ? std::wstring(Buffer, Length) : std::wstring();
    LocalFree(Buffer);
    while (!Text.empty() && (Text.back() == L'\n' || Text.back() == L'\r' || Text.back() == L'.'))
        Text.pop_back();
    if (Text.empty())
        return "error " + std::to_string(Code);
    return Utf8FromWide(Text);
}
