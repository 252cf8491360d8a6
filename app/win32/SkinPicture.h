// A skin picture held as a GDI bitmap: the five PNG pictures read with libpng (their alpha kept,
// premultiplied, so that they blend over what lies behind them), the six BMP pictures with the
// system's loader (opaque).
//
// GUI thread: the pictures are GDI objects of the GUI thread's window. The readers block while
// they read the file.
#pragma once

#include "Win32Api.h"

#include <memory>
#include <string>

class TSkinPicture {
public:
    // Takes ownership of Bitmap, a 32-bit top-down DIB section when HasAlpha.
    TSkinPicture(HBITMAP Bitmap, int Width, int Height, bool HasAlpha);
    ~TSkinPicture();
    TSkinPicture(const TSkinPicture&) = delete;
    TSkinPicture& operator=(const TSkinPicture&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool HasAlpha() const { return FHasAlpha; }
    HBITMAP Bitmap() const { return FBitmap; }

    // Draws the picture with its top-left corner at (X, Y) of Dc, blended by its alpha.
    void Draw(HDC Dc, int X, int Y) const;

private:
    HBITMAP FBitmap;
    int FWidth;
    int FHeight;
    bool FHasAlpha;
};

// Both raise std::runtime_error "Cannot read image file <path>: <reason>" when the file is
// missing or is not a picture of its kind.
std::unique_ptr<TSkinPicture> ReadPngPicture(const std::wstring& Path);
std::unique_ptr<TSkinPicture> ReadBmpPicture(const std::wstring& Path);
