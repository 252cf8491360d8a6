// Pictures for the Win32 window's tests: PNG and BMP files written in the test's folder, and the
// pixels of a bitmap or of a window's client area read back through the system as 0xAARRGGBB
// (a 32-bit DIB's layout), top row first.
#pragma once

#include "GdiCanvas.h"
#include "Win32Api.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <png.h>
#include <string>
#include <vector>

// A PNG of Width x Height in libpng's Format (PNG_FORMAT_RGBA, PNG_FORMAT_RGB, ...), with Bytes
// as that format lays them out, written by libpng through a wide file name. A colour-mapped
// format takes its palette from Colours.
inline void WritePng(const std::wstring& Path, int Width, int Height,
    const std::vector<uint8_t>& Bytes, png_uint_32 Format = PNG_FORMAT_RGBA,
    const std::vector<uint8_t>& Colours = {})
{
    std::filesystem::create_directories(std::filesystem::path(Path).parent_path());
    FILE* File = _wfopen(Path.c_str(), L"wb");
    ASSERT_NE(File, nullptr);
    png_image Image{};
    Image.version = PNG_IMAGE_VERSION;
    Image.width = static_cast<png_uint_32>(Width);
    Image.height = static_cast<png_uint_32>(Height);
    Image.format = Format;
    Image.colormap_entries = static_cast<png_uint_32>(
        Colours.size() / PNG_IMAGE_SAMPLE_CHANNELS(Format & ~PNG_FORMAT_FLAG_COLORMAP));
    const bool Written = png_image_write_to_stdio(
        &Image, File, 0, Bytes.data(), 0, Colours.empty() ? nullptr : Colours.data());
    std::fclose(File);
    ASSERT_TRUE(Written) << Image.message;
}

inline void WriteBytes(const std::wstring& Path, const std::vector<uint8_t>& Bytes)
{
    FILE* File = _wfopen(Path.c_str(), L"wb");
    ASSERT_NE(File, nullptr);
    std::fwrite(Bytes.data(), 1, Bytes.size(), File);
    std::fclose(File);
}

// A 24-bit bottom-up BMP of Width x Height; Rgb holds 0xRRGGBB per pixel, top row first.
inline std::vector<uint8_t> Bmp(int Width, int Height, const std::vector<uint32_t>& Rgb)
{
    const int Row = (Width * 3 + 3) / 4 * 4;
    const uint32_t PixelBytes = static_cast<uint32_t>(Row * Height);
    std::vector<uint8_t> Bytes;
    const auto Put = [&](uint32_t Value, int Count) {
        for (int Index = 0; Index < Count; ++Index)
            Bytes.push_back(static_cast<uint8_t>(Value >> (8 * Index)));
    };
    Bytes.push_back('B');
    Bytes.push_back('M');
    Put(54 + PixelBytes, 4);
    Put(0, 4);
    Put(54, 4);
    Put(40, 4);
    Put(static_cast<uint32_t>(Width), 4);
    Put(static_cast<uint32_t>(Height), 4);
    Put(1, 2);
    Put(24, 2);
    Put(0, 4);
    Put(PixelBytes, 4);
    Put(2835, 4);
    Put(2835, 4);
    Put(0, 4);
    Put(0, 4);
    for (int Y = Height - 1; Y >= 0; --Y) {
        for (int X = 0; X < Width; ++X)
            Put(Rgb[static_cast<size_t>(Y * Width + X)], 3);
        Bytes.resize(Bytes.size() + static_cast<size_t>(Row - Width * 3));
    }
    return Bytes;
}

// The bitmap's pixels; it must not be selected into a device context.
inline std::vector<uint32_t> BitmapPixels(HBITMAP Bitmap, int Width, int Height)
{
    BITMAPINFO Info = TopDownBitmapInfo(Width, Height);
    std::vector<uint32_t> Pixels(static_cast<size_t>(Width * Height));
    HDC Screen = GetDC(nullptr);
    const int Rows = GetDIBits(
        Screen, Bitmap, 0, static_cast<UINT>(Height), Pixels.data(), &Info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, Screen);
    EXPECT_EQ(Rows, Height) << "GetDIBits";
    return Pixels;
}

// What the window's client area shows now, as the system composed it for the screen.
inline std::vector<uint32_t> ClientPixels(HWND Window, int Width, int Height)
{
    HDC WindowDc = GetDC(Window);
    HDC Copy = CreateCompatibleDC(WindowDc);
    HBITMAP Bitmap = CreateCompatibleBitmap(WindowDc, Width, Height);
    HGDIOBJ Previous = SelectObject(Copy, Bitmap);
    EXPECT_TRUE(BitBlt(Copy, 0, 0, Width, Height, WindowDc, 0, 0, SRCCOPY)) << "BitBlt";
    SelectObject(Copy, Previous);
    DeleteDC(Copy);
    ReleaseDC(Window, WindowDc);
    std::vector<uint32_t> Pixels = BitmapPixels(Bitmap, Width, Height);
    DeleteObject(Bitmap);
    return Pixels;
}
