// A skin picture held as a GDI bitmap: PNG pictures read with libpng (their alpha kept,
// premultiplied, so that they blend over what lies behind them), BMP pictures with the system's
// loader (opaque). A picture without alpha of its own shown on a transparent image control is
// drawn through a copy without its bottom-left colour (CornerTransparency.h).
//
// GUI thread: the pictures are GDI objects of the GUI thread's window. The readers block while
// they read the file.
#pragma once

#include "Win32Api.h"

#include <memory>
#include <string>

class TSkinPicture {
public:
    // Takes ownership of Bitmap. HasAlpha: the picture has alpha of its own (a PNG with an alpha
    // channel or a transparent colour), and Bitmap is a 32-bit top-down DIB section of
    // premultiplied colours, drawn by its alpha; otherwise any bitmap, copied as it is.
    TSkinPicture(HBITMAP Bitmap, int Width, int Height, bool HasAlpha);
    ~TSkinPicture();
    TSkinPicture(const TSkinPicture&) = delete;
    TSkinPicture& operator=(const TSkinPicture&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool HasAlpha() const { return FHasAlpha; }
    HBITMAP Bitmap() const { return FBitmap; }

    // Draws the picture with its top-left corner at (X, Y) of Dc: blended by its alpha, or opaque.
    void Draw(HDC Dc, int X, int Y) const;
    // A blended copy in which the pixels of the bottom-left pixel's colour are transparent and
    // the others opaque; this picture is left as it is. Raises std::runtime_error when the
    // system refuses the copy's bitmap.
    std::unique_ptr<TSkinPicture> WithoutCornerColour() const;

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
