#include "GdiCanvas.h"

#include "Utf8.h"
#include "Win32Text.h"

#include <stdexcept>

namespace {

RECT ToRect(const TRect& R)
{
    return RECT{ R.Left, R.Top, R.Right, R.Bottom };
}

// Selects an object into a device context for one scope.
class TSelection {
public:
    TSelection(HDC Dc, HGDIOBJ Object)
        : FDc(Dc)
        , FPrevious(SelectObject(Dc, Object))
    {
    }
    ~TSelection() { SelectObject(FDc, FPrevious); }
    TSelection(const TSelection&) = delete;
    TSelection& operator=(const TSelection&) = delete;

private:
    HDC FDc;
    HGDIOBJ FPrevious;
};

// The number of UTF-16 units that the first Bytes bytes of Text take.
size_t WideLength(const std::string& Text, size_t Bytes)
{
    return WideFromUtf8(std::string_view(Text).substr(0, Bytes)).size();
}

} // namespace

TSystemPalette Win32SystemPalette()
{
    TSystemPalette Palette{};
    for (size_t Index = 0; Index < Palette.size(); ++Index)
        Palette[Index] = GetSysColor(static_cast<int>(Index));
    return Palette;
}

COLORREF ColorRefOf(TColor Color)
{
    // TColor keeps red in the low byte, as COLORREF does.
    return IsSystemColor(Color) ? GetSysColor(SystemColorIndex(Color)) : Color;
}

HFONT CreateGdiFont(const TFont& Font)
{
    LOGFONTW Log{};
    // A negative height asks for the character height, not the cell height.
    Log.lfHeight = -Font.PixelSize;
    Log.lfWeight = Font.Weight;
    Log.lfItalic = Font.Italic;
    Log.lfUnderline = Font.Underline;
    Log.lfStrikeOut = Font.StrikeOut;
    Log.lfCharSet = DEFAULT_CHARSET;
    Log.lfOutPrecision = OUT_DEFAULT_PRECIS;
    Log.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    Log.lfQuality = Font.Antialiased ? DEFAULT_QUALITY : NONANTIALIASED_QUALITY;
    Log.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::wstring Family = WideFromUtf8(Font.Family);
    lstrcpynW(Log.lfFaceName, Family.c_str(), LF_FACESIZE);
    HFONT Created = CreateFontIndirectW(&Log);
    if (!Created)
        throw std::runtime_error("Cannot create the font " + Font.Family);
    return Created;
}

TGdiFonts::~TGdiFonts()
{
    for (auto& [Font, Handle] : FFonts)
        DeleteObject(Handle);
}

HFONT TGdiFonts::Get(const TFont& Font)
{
    for (const auto& [Known, Handle] : FFonts)
        if (Known == Font)
            return Handle;
    HFONT Handle = CreateGdiFont(Font);
    FFonts.emplace_back(Font, Handle);
    return Handle;
}

TGdiCanvas::TGdiCanvas(HDC Dc, TGdiFonts& Fonts)
    : FDc(Dc)
    , FFonts(Fonts)
{
}

void TGdiCanvas::FillRect(const TRect& R, TColor Color)
{
    if (R.Empty())
        return;
    const RECT Area = ToRect(R);
    SetDCBrushColor(FDc, Color);
    ::FillRect(FDc, &Area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void TGdiCanvas::FrameRect(const TRect& R, TColor Color)
{
    if (R.Empty())
        return;
    const RECT Area = ToRect(R);
    SetDCBrushColor(FDc, Color);
    ::FrameRect(FDc, &Area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void TGdiCanvas::FillEllipse(const TRect& Bounds, TColor Color)
{
    if (Bounds.Empty())
        return;
    SetDCBrushColor(FDc, Color);
    TSelection Brush(FDc, GetStockObject(DC_BRUSH));
    TSelection Pen(FDc, GetStockObject(NULL_PEN));
    // Without a pen GDI fills the inside only, never past the right and bottom edges.
    Ellipse(FDc, Bounds.Left, Bounds.Top, Bounds.Right, Bounds.Bottom);
}

void TGdiCanvas::DrawFocusRect(const TRect& R)
{
    if (R.Empty())
        return;
    const RECT Area = ToRect(R);
    // The dots are the exclusive or of the text and background colours; black on white gives
    // the plain inversion.
    const COLORREF Text = SetTextColor(FDc, RGB(0, 0, 0));
    const COLORREF Back = SetBkColor(FDc, RGB(255, 255, 255));
    ::DrawFocusRect(FDc, &Area);
    SetTextColor(FDc, Text);
    SetBkColor(FDc, Back);
}

TSize TGdiCanvas::TextExtent(const std::string& Text, const TFont& Font)
{
    TSelection Selected(FDc, FFonts.Get(Font));
    const std::wstring Wide = WideFromUtf8(Text);
    SIZE Extent{};
    GetTextExtentPoint32W(FDc, Wide.c_str(), static_cast<int>(Wide.size()), &Extent);
    TEXTMETRICW Metrics{};
    GetTextMetricsW(FDc, &Metrics);
    return TSize{ Extent.cx, Metrics.tmHeight };
}

void TGdiCanvas::TextOut(
    TPoint At, const std::string& Text, int UnderlineAt, const TFont& Font, TColor Color)
{
    TSelection Selected(FDc, FFonts.Get(Font));
    const std::wstring Wide = WideFromUtf8(Text);
    const int Mode = SetBkMode(FDc, TRANSPARENT);
    const COLORREF PreviousColor = SetTextColor(FDc, Color);
    const UINT Align = SetTextAlign(FDc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    ExtTextOutW(FDc, At.X, At.Y, 0, nullptr, Wide.c_str(), static_cast<UINT>(Wide.size()), nullptr);
    if (UnderlineAt >= 0 && static_cast<size_t>(UnderlineAt) < Text.size()) {
        const size_t Start = static_cast<size_t>(UnderlineAt);
        const size_t Bytes = Utf8SequenceLength(static_cast<unsigned char>(Text[Start]));
        const size_t From = WideLength(Text, Start);
        Underline(At, Wide, From, WideLength(Text, Start + Bytes) - From, Color);
    }
    SetTextAlign(FDc, Align);
    SetTextColor(FDc, PreviousColor);
    SetBkMode(FDc, Mode);
}

void TGdiCanvas::Underline(
    TPoint At, const std::wstring& Wide, size_t From, size_t Count, TColor Color)
{
    // Where the font puts its own underline, as the system draws an accelerator's.
    SIZE Before{};
    SIZE Through{};
    GetTextExtentPoint32W(FDc, Wide.c_str(), static_cast<int>(From), &Before);
    GetTextExtentPoint32W(FDc, Wide.c_str(), static_cast<int>(From + Count), &Through);
    TEXTMETRICW Metrics{};
    GetTextMetricsW(FDc, &Metrics);
    int Top = At.Y + Metrics.tmAscent + 1;
    int Thickness = 1;
    OUTLINETEXTMETRICW Outline{};
    Outline.otmSize = sizeof(Outline);
    if (GetOutlineTextMetricsW(FDc, sizeof(Outline), &Outline) != 0) {
        Top = At.Y + Metrics.tmAscent - Outline.otmsUnderscorePosition;
        Thickness
            = Outline.otmsUnderscoreSize > 1 ? static_cast<int>(Outline.otmsUnderscoreSize) : 1;
    }
    FillRect(TRect{ At.X + Before.cx, Top, At.X + Through.cx, Top + Thickness }, Color);
}

BITMAPINFO TopDownBitmapInfo(int Width, int Height)
{
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof(Info.bmiHeader);
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = -Height;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    Info.bmiHeader.biCompression = BI_RGB;
    return Info;
}
