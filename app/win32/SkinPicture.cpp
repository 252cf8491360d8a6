#include "SkinPicture.h"

#include "CornerTransparency.h"
#include "GdiCanvas.h"
#include "Win32Text.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <png.h>
#include <stdexcept>

namespace {

// Larger pictures are refused before any memory is taken for them: a broken header could
// otherwise ask for gigabytes.
constexpr png_uint_32 LargestSide = 8192;

[[noreturn]] void Refuse(const std::wstring& Path, const std::string& Reason)
{
    throw std::runtime_error("Cannot read image file " + Utf8FromWide(Path) + ": " + Reason);
}

struct TFileCloser {
    void operator()(FILE* File) const { std::fclose(File); }
};

// A 32-bit top-down DIB section of Width x Height; Bits receives its pixels.
HBITMAP CreateTopDownBitmap(int Width, int Height, void** Bits)
{
    const BITMAPINFO Info = TopDownBitmapInfo(Width, Height);
    return CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, Bits, nullptr, 0);
}

// AlphaBlend takes colours already multiplied by their alpha.
void Premultiply(uint8_t* Pixels, size_t Count)
{
    for (size_t Index = 0; Index < Count; ++Index, Pixels += 4) {
        const unsigned Alpha = Pixels[3];
        for (int Channel = 0; Channel < 3; ++Channel)
            Pixels[Channel] = static_cast<uint8_t>((Pixels[Channel] * Alpha + 127) / 255);
    }
}

// png_image frees what it holds when it goes out of scope, on every path.
struct TPngImage {
    png_image Image{};
    TPngImage() { Image.version = PNG_IMAGE_VERSION; }
    ~TPngImage() { png_image_free(&Image); }
};

} // namespace

TSkinPicture::TSkinPicture(HBITMAP Bitmap, int Width, int Height, bool HasAlpha)
    : FBitmap(Bitmap)
    , FWidth(Width)
    , FHeight(Height)
    , FHasAlpha(HasAlpha)
{
}

TSkinPicture::~TSkinPicture()
{
    DeleteObject(FBitmap);
}

void TSkinPicture::Draw(HDC Dc, int X, int Y) const
{
    HDC Source = CreateCompatibleDC(Dc);
    HGDIOBJ Previous = SelectObject(Source, FBitmap);
    if (FHasAlpha) {
        const BLENDFUNCTION Blend{ AC_SRC_OVER, 0, 255, AC_SRC_ALPHA };
        AlphaBlend(Dc, X, Y, FWidth, FHeight, Source, 0, 0, FWidth, FHeight, Blend);
    } else {
        BitBlt(Dc, X, Y, FWidth, FHeight, Source, 0, 0, SRCCOPY);
    }
    SelectObject(Source, Previous);
    DeleteDC(Source);
}

std::unique_ptr<TSkinPicture> TSkinPicture::WithoutCornerColour() const
{
    const auto Refuse = [this](const char* What, DWORD Code) {
        throw std::runtime_error("Cannot " + std::string(What) + " a picture of "
            + std::to_string(FWidth) + " x " + std::to_string(FHeight)
            + " pixels: " + SystemErrorText(Code));
    };
    void* Bits = nullptr;
    HBITMAP Bitmap = CreateTopDownBitmap(FWidth, FHeight, &Bits);
    if (!Bitmap)
        Refuse("make the transparent copy of", GetLastError());
    auto Copy = std::make_unique<TSkinPicture>(Bitmap, FWidth, FHeight, true);
    // Whatever the picture's own format, the system converts it to the copy's 32 bits.
    HDC Source = CreateCompatibleDC(nullptr);
    HDC Target = CreateCompatibleDC(nullptr);
    HGDIOBJ PreviousSource = SelectObject(Source, FBitmap);
    HGDIOBJ PreviousTarget = SelectObject(Target, Bitmap);
    const bool Copied = BitBlt(Target, 0, 0, FWidth, FHeight, Source, 0, 0, SRCCOPY);
    const DWORD Code = Copied ? 0 : GetLastError();
    SelectObject(Target, PreviousTarget);
    SelectObject(Source, PreviousSource);
    DeleteDC(Target);
    DeleteDC(Source);
    if (!Copied)
        Refuse("copy the pixels of", Code);
    GdiFlush();
    ClearCornerColour(static_cast<uint32_t*>(Bits), FWidth, FHeight, FWidth * 4);
    return Copy;
}

std::unique_ptr<TSkinPicture> ReadPngPicture(const std::wstring& Path)
{
    std::unique_ptr<FILE, TFileCloser> File(_wfopen(Path.c_str(), L"rb"));
    if (!File)
        Refuse(Path, std::strerror(errno));
    TPngImage Png;
    if (!png_image_begin_read_from_stdio(&Png.Image, File.get()))
        Refuse(Path, Png.Image.message);
    if (Png.Image.width == 0 || Png.Image.height == 0 || Png.Image.width > LargestSide
        || Png.Image.height > LargestSide)
        Refuse(Path, "picture size out of range");
    // The file's own format tells its alpha: an alpha channel or a transparent colour (tRNS).
    const bool HasAlpha = (Png.Image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    Png.Image.format = PNG_FORMAT_BGRA;
    const int Width = static_cast<int>(Png.Image.width);
    const int Height = static_cast<int>(Png.Image.height);
    void* Bits = nullptr;
    HBITMAP Bitmap = CreateTopDownBitmap(Width, Height, &Bits);
    if (!Bitmap)
        Refuse(Path, SystemErrorText(GetLastError()));
    auto Picture = std::make_unique<TSkinPicture>(Bitmap, Width, Height, HasAlpha);
    if (!png_image_finish_read(&Png.Image, nullptr, Bits, Width * 4, nullptr))
        Refuse(Path, Png.Image.message);
    GdiFlush();
    Premultiply(static_cast<uint8_t*>(Bits), static_cast<size_t>(Width) * Height);
    return Picture;
}

std::unique_ptr<TSkinPicture> ReadBmpPicture(const std::wstring& Path)
{
    // The loader knows only the bitmap's file format; it says nothing more than that it failed.
    HANDLE Loaded = LoadImageW(
        nullptr, Path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!Loaded) {
        const DWORD Code = GetLastError();
        if (GetFileAttributesW(Path.c_str()) == INVALID_FILE_ATTRIBUTES)
            Refuse(Path, SystemErrorText(GetLastError()));
        Refuse(Path, Code != 0 ? SystemErrorText(Code) : "not a bitmap file");
    }
    HBITMAP Bitmap = static_cast<HBITMAP>(Loaded);
    BITMAP Info{};
    GetObjectW(Bitmap, sizeof(Info), &Info);
    return std::make_unique<TSkinPicture>(Bitmap, Info.bmWidth, Info.bmHeight, false);
}
