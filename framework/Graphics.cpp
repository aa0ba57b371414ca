#include "framework/Graphics.h"

#include <algorithm>
#include <array>
#include <cwchar>
#include <mutex>
#include <utility>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/Codepage.h"

// ---------------------------------------------------------------------------
// Colours and shared objects

COLORREF ColorToRGB(TColor Color)
{
    const auto value = static_cast<unsigned>(Color);
    if (IsSystemColor(Color))
        return GetSysColor(static_cast<int>(value & 0xFFu));
    return value & 0x00FFFFFFu;
}

TSharedGdiObject ShareGdiObject(HGDIOBJ Object, const char* What)
{
    if (Object == nullptr)
        throw EOutOfResources(String("Cannot create ") + What);
    return TSharedGdiObject(Object, [](void* O) { DeleteObject(O); });
}

TSharedGdiObject ShareStockObject(int Index)
{
    return TSharedGdiObject(GetStockObject(Index), [](void*) {});
}

namespace {

// Pens and solid brushes made recently, by their look: a painter that
// switches between a few colours for every cell of a paint reuses the same
// objects instead of making and deleting one per switch. The store keeps
// a bounded number; an object still held elsewhere lives on when it leaves.
class TGdiObjectStore {
public:
    template <class TMake>
    TSharedGdiObject Get(unsigned long long Key, TMake Make)
    {
        std::lock_guard<std::mutex> lock(FLock);
        for (const auto& entry : FEntries)
            if (entry.first == Key)
                return entry.second;
        TSharedGdiObject object = Make();
        if (FEntries.size() >= Capacity)
            FEntries.erase(FEntries.begin());
        FEntries.emplace_back(Key, object);
        return object;
    }

private:
    static constexpr std::size_t Capacity = 32;
    std::mutex FLock;
    std::vector<std::pair<unsigned long long, TSharedGdiObject>> FEntries;
};

TGdiObjectStore& PenStore()
{
    static TGdiObjectStore store;
    return store;
}

TGdiObjectStore& BrushStore()
{
    static TGdiObjectStore store;
    return store;
}

} // namespace

TMemoryDC::TMemoryDC(TSharedGdiObject Bitmap, HDC Like) : FBitmap(std::move(Bitmap)), FDC(CreateCompatibleDC(Like))
{
    if (FDC == nullptr)
        throw EOutOfResources("Cannot create a memory device context");
    FOld = SelectObject(FDC, FBitmap.get());
}

TMemoryDC::~TMemoryDC()
{
    SelectObject(FDC, FOld);
    DeleteDC(FDC);
}

int ScreenPixelsPerInch()
{
    static const int ppi = [] {
        HDC dc = GetDC(nullptr);
        const int v = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
        if (dc != nullptr)
            ReleaseDC(nullptr, dc);
        return v > 0 ? v : 96;
    }();
    return ppi;
}

// ---------------------------------------------------------------------------
// Font faces

namespace {

int CALLBACK NoteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM Found)
{
    *reinterpret_cast<bool*>(Found) = true;
    return 0;   // one is enough
}

void CopyFaceName(WCHAR (&Face)[LF_FACESIZE], const String& Name)
{
    const WideString w = StrToWide(Name);
    const std::size_t n = std::min<std::size_t>(w.size(), LF_FACESIZE - 1);
    std::wmemcpy(Face, w.data(), n);
    Face[n] = L'\0';
}

String StockFontFace(int Index)
{
    LOGFONTW lf{};
    if (GetObjectW(GetStockObject(Index), sizeof lf, &lf) == 0)
        return String();
    return WideToStr(lf.lfFaceName);
}

} // namespace

bool FontFamilyInstalled(const String& Name)
{
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    CopyFaceName(lf.lfFaceName, Name);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &lf, NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

const String& DefaultFontName()
{
    // Faces with Chinese glyphs: those of Chinese Windows first, then those
    // that fontconfig offers to Wine on Linux.
    static const String name = [] {
        for (const char* face : {"Microsoft YaHei", "微软雅黑", "SimSun", "宋体",
                                 "WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC"}) {
            if (FontFamilyInstalled(face))
                return String(face);
        }
        const String gui = StockFontFace(DEFAULT_GUI_FONT);
        return gui.empty() ? String("SimSun") : gui;
    }();
    return name;
}

// ---------------------------------------------------------------------------
// TFont

TFont::TFont()
    : FName(DefaultFontName()), FHeight(-MulDiv(9, ScreenPixelsPerInch(), 72))
{
}

TFont::~TFont() = default;

void TFont::Assign(const TPersistent* Source)
{
    const auto* f = dynamic_cast<const TFont*>(Source);
    if (f == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    // Controls copy their font into the canvas for every paint: an equal
    // font keeps its handle and fires nothing.
    const bool sameHandle = FName == f->FName && FHeight == f->FHeight && FStyle == f->FStyle &&
                            FCharset == f->FCharset && FPitch == f->FPitch && FQuality == f->FQuality &&
                            FOrientation == f->FOrientation;
    if (sameHandle && FColor == f->FColor)
        return;
    FName = f->FName;
    FHeight = f->FHeight;
    FStyle = f->FStyle;
    FColor = f->FColor;
    FCharset = f->FCharset;
    FPitch = f->FPitch;
    FQuality = f->FQuality;
    FOrientation = f->FOrientation;
    Changed(!sameHandle);
    // A copy draws with the source's font object: a canvas that takes a
    // control's fonts in turn for every cell selects the same few objects
    // instead of making a new one at each change.
    if (!sameHandle)
        FHandle = f->SharedHandle();
}

void TFont::Changed(bool HandleChanged)
{
    if (HandleChanged)
        FHandle.reset();
    if (OnChange)
        OnChange(this);
}

void TFont::SetName(const String& Value)
{
    if (Value == FName || Value.empty())
        return;
    FName = Value;
    Changed(true);
}

int TFont::Size() const { return -MulDiv(FHeight, 72, ScreenPixelsPerInch()); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, ScreenPixelsPerInch(), 72)); }

void TFont::SetHeight(int Value)
{
    if (Value == FHeight)
        return;
    FHeight = Value;
    Changed(true);
}

void TFont::SetStyle(TFontStyles Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed(true);
}

void TFont::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed(false);   // the colour is the canvas's text colour, not part of the HFONT
}

void TFont::SetCharset(TFontCharset Value)
{
    if (Value == FCharset)
        return;
    FCharset = Value;
    Changed(true);
}

void TFont::SetPitch(TFontPitch Value)
{
    if (Value == FPitch)
        return;
    FPitch = Value;
    Changed(true);
}

void TFont::SetQuality(TFontQuality Value)
{
    if (Value == FQuality)
        return;
    FQuality = Value;
    Changed(true);
}

void TFont::SetOrientation(int Value)
{
    if (Value == FOrientation)
        return;
    FOrientation = Value;
    Changed(true);
}

LOGFONTW TFont::LogFont() const
{
    static constexpr std::array<BYTE, 6> qualities = {
        DEFAULT_QUALITY, DRAFT_QUALITY, PROOF_QUALITY,
        NONANTIALIASED_QUALITY, ANTIALIASED_QUALITY, CLEARTYPE_QUALITY};
    static constexpr std::array<BYTE, 3> pitches = {DEFAULT_PITCH, VARIABLE_PITCH, FIXED_PITCH};

    LOGFONTW lf{};
    lf.lfHeight = FHeight;
    lf.lfEscapement = FOrientation;
    lf.lfOrientation = FOrientation;
    lf.lfWeight = FStyle.Contains(TFontStyle::fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = FStyle.Contains(TFontStyle::fsItalic);
    lf.lfUnderline = FStyle.Contains(TFontStyle::fsUnderline);
    lf.lfStrikeOut = FStyle.Contains(TFontStyle::fsStrikeOut);
    lf.lfCharSet = FCharset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = qualities[static_cast<std::size_t>(FQuality)];
    lf.lfPitchAndFamily = pitches[static_cast<std::size_t>(FPitch)] | FF_DONTCARE;
    CopyFaceName(lf.lfFaceName, FName);
    return lf;
}

const TSharedGdiObject& TFont::SharedHandle() const
{
    if (!FHandle) {
        const LOGFONTW lf = LogFont();
        FHandle = ShareGdiObject(CreateFontIndirectW(&lf), "a font");
    }
    return FHandle;
}

HFONT TFont::Handle() const { return static_cast<HFONT>(SharedHandle().get()); }

void TFont::SetHandle(HFONT Font)
{
    LOGFONTW lf{};
    if (Font == nullptr || GetObjectW(Font, sizeof lf, &lf) == 0)
        throw EInvalidGraphic("Not a font handle");
    FName = WideToStr(lf.lfFaceName);
    FHeight = lf.lfHeight;
    FStyle = TFontStyles();
    if (lf.lfWeight >= FW_BOLD)
        FStyle.Include(TFontStyle::fsBold);
    if (lf.lfItalic)
        FStyle.Include(TFontStyle::fsItalic);
    if (lf.lfUnderline)
        FStyle.Include(TFontStyle::fsUnderline);
    if (lf.lfStrikeOut)
        FStyle.Include(TFontStyle::fsStrikeOut);
    FCharset = lf.lfCharSet;
    switch (lf.lfPitchAndFamily & 3) {
    case VARIABLE_PITCH: FPitch = TFontPitch::fpVariable; break;
    case FIXED_PITCH: FPitch = TFontPitch::fpFixed; break;
    default: FPitch = TFontPitch::fpDefault; break;
    }
    switch (lf.lfQuality) {
    case DRAFT_QUALITY: FQuality = TFontQuality::fqDraft; break;
    case PROOF_QUALITY: FQuality = TFontQuality::fqProof; break;
    case NONANTIALIASED_QUALITY: FQuality = TFontQuality::fqNonAntialiased; break;
    case ANTIALIASED_QUALITY: FQuality = TFontQuality::fqAntialiased; break;
    case CLEARTYPE_QUALITY: FQuality = TFontQuality::fqClearType; break;
    default: FQuality = TFontQuality::fqDefault; break;
    }
    FOrientation = lf.lfEscapement;
    Changed(true);
}

// ---------------------------------------------------------------------------
// TPen

void TPen::Assign(const TPersistent* Source)
{
    const auto* p = dynamic_cast<const TPen*>(Source);
    if (p == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    const bool sameHandle = FColor == p->FColor && FWidth == p->FWidth && FStyle == p->FStyle;
    if (sameHandle && FMode == p->FMode)
        return;
    FColor = p->FColor;
    FWidth = p->FWidth;
    FStyle = p->FStyle;
    FMode = p->FMode;
    Changed(!sameHandle);
}

void TPen::Changed(bool HandleChanged)
{
    if (HandleChanged)
        FHandle.reset();
    if (OnChange)
        OnChange(this);
}

void TPen::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed(true);
}

void TPen::SetWidth(int Value)
{
    if (Value == FWidth)
        return;
    FWidth = Value;
    Changed(true);
}

void TPen::SetStyle(TPenStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed(true);
}

void TPen::SetMode(TPenMode Value)
{
    if (Value == FMode)
        return;
    FMode = Value;
    Changed(false);
}

const TSharedGdiObject& TPen::SharedHandle() const
{
    static constexpr std::array<int, 7> styles = {
        PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    if (!FHandle) {
        if (FStyle == TPenStyle::psClear) {
            FHandle = ShareStockObject(NULL_PEN);
        } else {
            const COLORREF rgb = ColorToRGB(FColor);
            const int style = styles[static_cast<std::size_t>(FStyle)];
            const unsigned long long key = (static_cast<unsigned long long>(static_cast<unsigned>(FWidth)) << 32) |
                                           (static_cast<unsigned long long>(style) << 24) | rgb;
            FHandle = PenStore().Get(key, [&] { return ShareGdiObject(CreatePen(style, FWidth, rgb), "a pen"); });
        }
    }
    return FHandle;
}

HPEN TPen::Handle() const { return static_cast<HPEN>(SharedHandle().get()); }

// ---------------------------------------------------------------------------
// TBrush

void TBrush::Assign(const TPersistent* Source)
{
    const auto* b = dynamic_cast<const TBrush*>(Source);
    if (b == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (FColor == b->FColor && FStyle == b->FStyle && FBitmap == b->FBitmap)
        return;
    FColor = b->FColor;
    FStyle = b->FStyle;
    FBitmap = b->FBitmap;
    Changed();
}

void TBrush::Changed()
{
    FHandle.reset();
    if (OnChange)
        OnChange(this);
}

void TBrush::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TBrush::SetBitmap(TBitmap* Value)
{
    if (Value == FBitmap)
        return;
    FBitmap = Value;
    Changed();
}

const TSharedGdiObject& TBrush::SharedHandle() const
{
    static constexpr std::array<int, 6> hatches = {
        HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
    if (!FHandle) {
        const COLORREF rgb = ColorToRGB(FColor);
        if (FBitmap != nullptr && !FBitmap->Empty())
            FHandle = ShareGdiObject(CreatePatternBrush(FBitmap->Handle()), "a pattern brush");
        else if (FStyle == TBrushStyle::bsClear)
            FHandle = ShareStockObject(NULL_BRUSH);
        else if (FStyle == TBrushStyle::bsSolid)
            FHandle = BrushStore().Get(rgb, [&] { return ShareGdiObject(CreateSolidBrush(rgb), "a brush"); });
        else
            FHandle = ShareGdiObject(
                CreateHatchBrush(hatches[static_cast<std::size_t>(FStyle) - 2], rgb), "a hatch brush");
    }
    return FHandle;
}

HBRUSH TBrush::Handle() const { return static_cast<HBRUSH>(SharedHandle().get()); }

// ---------------------------------------------------------------------------
// TCanvas

namespace {

int Rop2Of(TPenMode Mode)
{
    static constexpr std::array<int, 16> rops = {
        R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
        R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN, R2_MASKPEN, R2_NOTMASKPEN,
        R2_XORPEN, R2_NOTXORPEN};
    return rops[static_cast<std::size_t>(Mode)];
}

int Length(const WideString& Text) { return static_cast<int>(Text.size()); }

} // namespace

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>())
{
}

TCanvas::~TCanvas() { FreeHandle(); }

HDC TCanvas::Handle()
{
    if (FHandle == nullptr)
        CreateHandle();
    return FHandle;
}

void TCanvas::SetHandle(HDC Value)
{
    if (Value == FHandle)
        return;
    FreeHandle();
    if (Value != nullptr)
        AttachHandle(Value, false);
}

void TCanvas::CreateHandle()
{
    throw EInvalidOperation("Canvas does not allow drawing");
}

void TCanvas::DestroyHandle(HDC) {}

void TCanvas::AttachHandle(HDC DC, bool Owned)
{
    FHandle = DC;
    FOwnsHandle = Owned;
    FSavedState = SaveDC(DC);
}

void TCanvas::FreeHandle()
{
    if (FHandle == nullptr)
        return;
    HDC dc = FHandle;
    // RestoreDC selects the DC's own objects again; only then may ours go.
    if (FSavedState != 0)
        RestoreDC(dc, FSavedState);
    else
        Deselect();
    FSelectedFont.reset();
    FSelectedPen.reset();
    FSelectedBrush.reset();
    FHandle = nullptr;
    FSavedState = 0;
    const bool owned = FOwnsHandle;
    FOwnsHandle = false;
    if (owned)
        DestroyHandle(dc);
}

void TCanvas::Deselect()
{
    if (FHandle == nullptr)
        return;
    if (FSelectedFont)
        SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
    if (FSelectedPen)
        SelectObject(FHandle, GetStockObject(BLACK_PEN));
    if (FSelectedBrush)
        SelectObject(FHandle, GetStockObject(WHITE_BRUSH));
}

void TCanvas::Refresh()
{
    Deselect();
    FSelectedFont.reset();
    FSelectedPen.reset();
    FSelectedBrush.reset();
}

void TCanvas::SelectShared(const TSharedGdiObject& Object, TSharedGdiObject& Selected)
{
    if (Object == Selected)
        return;
    SelectObject(FHandle, Object.get());
    Selected = Object;   // the object selected before is let go only now, deselected
}

HDC TCanvas::Prepared(unsigned Needs)
{
    HDC dc = Handle();
    if (Needs & rqFont) {
        SelectShared(FFont->SharedHandle(), FSelectedFont);
        SetTextColor(dc, ColorToRGB(FFont->Color()));
    }
    if (Needs & rqPen) {
        SelectShared(FPen->SharedHandle(), FSelectedPen);
        SetROP2(dc, Rop2Of(FPen->Mode()));
    }
    if (Needs & rqBrush) {
        SelectShared(FBrush->SharedHandle(), FSelectedBrush);
        // Text is drawn over the brush colour only with a solid brush; a
        // hatch brush leaves its gaps alone.
        SetBkColor(dc, ColorToRGB(FBrush->Color()));
        SetBkMode(dc, SolidBrush() ? OPAQUE : TRANSPARENT);
    }
    return dc;
}

bool TCanvas::SolidBrush() const
{
    return FBrush->Style() == TBrushStyle::bsSolid && FBrush->Bitmap() == nullptr;
}

TPoint TCanvas::PenPos()
{
    TPoint p{};
    GetCurrentPositionEx(Handle(), &p);
    return p;
}

void TCanvas::MoveTo(int X, int Y) { MoveToEx(Handle(), X, Y, nullptr); }

void TCanvas::LineTo(int X, int Y) { ::LineTo(Prepared(rqPen), X, Y); }

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2)
{
    ::Rectangle(Prepared(rqPen | rqBrush), X1, Y1, X2, Y2);
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2)
{
    ::Ellipse(Prepared(rqPen | rqBrush), X1, Y1, X2, Y2);
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    ::RoundRect(Prepared(rqPen | rqBrush), X1, Y1, X2, Y2, X3, Y3);
}

void TCanvas::Polygon(std::span<const TPoint> Points)
{
    if (!Points.empty())
        ::Polygon(Prepared(rqPen | rqBrush), Points.data(), static_cast<int>(Points.size()));
}

void TCanvas::Polyline(std::span<const TPoint> Points)
{
    if (!Points.empty())
        ::Polyline(Prepared(rqPen), Points.data(), static_cast<int>(Points.size()));
}

void TCanvas::FillRect(const TRect& R) { ::FillRect(Prepared(rqBrush), &R, FBrush->Handle()); }

void TCanvas::FrameRect(const TRect& R) { ::FrameRect(Prepared(rqBrush), &R, FBrush->Handle()); }

void TCanvas::DrawFocusRect(const TRect& R) { ::DrawFocusRect(Handle(), &R); }

void TCanvas::TextOut(int X, int Y, const String& Text) { TextOut(X, Y, StrToWide(Text)); }

void TCanvas::TextOut(int X, int Y, const WideString& Text)
{
    TextOutW(Prepared(rqFont | rqBrush), X, Y, Text.data(), Length(Text));
}

void TCanvas::TextRect(const TRect& R, int X, int Y, const String& Text)
{
    const WideString w = StrToWide(Text);
    HDC dc = Prepared(rqFont | rqBrush);
    UINT options = ETO_CLIPPED;
    if (SolidBrush())
        options |= ETO_OPAQUE;
    ExtTextOutW(dc, X, Y, options, &R, w.data(), static_cast<UINT>(w.size()), nullptr);
}

TSize TCanvas::TextExtent(const String& Text) { return TextExtent(StrToWide(Text)); }

TSize TCanvas::TextExtent(const WideString& Text)
{
    TSize size{};
    GetTextExtentPoint32W(Prepared(rqFont), Text.data(), Length(Text), &size);
    return size;
}

int TCanvas::DrawTextRect(const String& Text, TRect& R, UINT Format)
{
    return DrawTextRect(StrToWide(Text), R, Format);
}

int TCanvas::DrawTextRect(const WideString& Text, TRect& R, UINT Format)
{
    // DrawTextW may write into the text with DT_MODIFYSTRING; the caller's
    // text is const, so that flag is dropped.
    WideString buffer = Text;
    return DrawTextW(Prepared(rqFont | rqBrush), buffer.data(), Length(buffer), &R, Format & ~UINT(DT_MODIFYSTRING));
}

void TCanvas::Draw(int X, int Y, TBitmap* Graphic)
{
    if (Graphic != nullptr && !Graphic->Empty())
        StretchDraw(Bounds(X, Y, Graphic->Width(), Graphic->Height()), Graphic);
}

void TCanvas::StretchDraw(const TRect& R, TBitmap* Graphic)
{
    if (Graphic == nullptr || Graphic->Empty())
        return;
    HDC dc = Handle();
    const int w = Graphic->Width();
    const int h = Graphic->Height();
    SetStretchBltMode(dc, COLORONCOLOR);
    if (!Graphic->Transparent()) {
        StretchBlt(dc, R.left, R.top, RectWidth(R), RectHeight(R), Graphic->Canvas()->Handle(), 0, 0, w, h,
                   FCopyMode);
        return;
    }
    // The mask is 1 where the picture has its transparent colour; then
    // dest ^= pic, dest &= mask, dest ^= pic leaves the destination where the
    // mask is 1 and gives the picture elsewhere.
    TMemoryDC mask(Graphic->CreateMask(Graphic->TransparentColor()), dc);
    // A monochrome source draws its 1 bits in the background colour and its
    // 0 bits in the text colour.
    HDC src = Graphic->Canvas()->Handle();
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    StretchBlt(dc, R.left, R.top, RectWidth(R), RectHeight(R), src, 0, 0, w, h, SRCINVERT);
    StretchBlt(dc, R.left, R.top, RectWidth(R), RectHeight(R), mask.Handle(), 0, 0, w, h, SRCAND);
    StretchBlt(dc, R.left, R.top, RectWidth(R), RectHeight(R), src, 0, 0, w, h, SRCINVERT);
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Source, const TRect& SourceRect)
{
    HDC dc = Handle();
    HDC src = Source->Handle();
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, Dest.left, Dest.top, RectWidth(Dest), RectHeight(Dest),
               src, SourceRect.left, SourceRect.top, RectWidth(SourceRect), RectHeight(SourceRect), FCopyMode);
}

TColor TCanvas::Pixels(int X, int Y) { return static_cast<TColor>(GetPixel(Handle(), X, Y)); }

void TCanvas::SetPixels(int X, int Y, TColor Value) { SetPixel(Handle(), X, Y, ColorToRGB(Value)); }

TDCMirror::TDCMirror(HDC DC, bool Mirror) : FDC(DC)
{
    if (!Mirror || DC == nullptr)
        return;
    FLayout = GetLayout(DC);
    if (FLayout == GDI_ERROR || (FLayout & LAYOUT_RTL) != 0)
        return;
    FMirrored = SetLayout(DC, FLayout | LAYOUT_RTL) != GDI_ERROR;
}

TDCMirror::~TDCMirror()
{
    if (FMirrored)
        SetLayout(FDC, FLayout);
}

TDCBitmapOrientation::TDCBitmapOrientation(HDC DC) : FDC(DC)
{
    if (DC == nullptr)
        return;
    FLayout = GetLayout(DC);
    if (FLayout == GDI_ERROR || (FLayout & LAYOUT_RTL) == 0 || (FLayout & LAYOUT_BITMAPORIENTATIONPRESERVED) != 0)
        return;
    FChanged = SetLayout(DC, FLayout | LAYOUT_BITMAPORIENTATIONPRESERVED) != GDI_ERROR;
}

TDCBitmapOrientation::~TDCBitmapOrientation()
{
    if (FChanged)
        SetLayout(FDC, FLayout);
}

TRect TCanvas::ClipRect()
{
    TRect r{};
    GetClipBox(Handle(), &r);
    return r;
}

// ---------------------------------------------------------------------------
// TPaintCanvas, TWindowCanvas

TPaintCanvas::TPaintCanvas(HWND Wnd) : FWnd(Wnd)
{
    HDC dc = BeginPaint(Wnd, &FPaint);
    if (dc == nullptr)
        throw EOutOfResources("BeginPaint failed");
    AttachHandle(dc, true);
}

TPaintCanvas::~TPaintCanvas() { FreeHandle(); }

void TPaintCanvas::CreateHandle()
{
    throw EInvalidOperation("The painting of this canvas has ended");
}

void TPaintCanvas::DestroyHandle(HDC) { EndPaint(FWnd, &FPaint); }

TWindowCanvas::TWindowCanvas(HWND Wnd) : FWnd(Wnd) {}

TWindowCanvas::~TWindowCanvas() { FreeHandle(); }

void TWindowCanvas::CreateHandle()
{
    HDC dc = GetDC(FWnd);
    if (dc == nullptr)
        throw EOutOfResources("GetDC failed");
    AttachHandle(dc, true);
}

void TWindowCanvas::DestroyHandle(HDC DC) { ReleaseDC(FWnd, DC); }

TOwnerDrawState OwnerDrawStateOf(UINT ItemState)
{
    static const std::pair<UINT, TOwnerDrawState> map[] = {
        {ODS_SELECTED, odSelected}, {ODS_GRAYED, odGrayed},     {ODS_DISABLED, odDisabled},
        {ODS_CHECKED, odChecked},   {ODS_FOCUS, odFocused},     {ODS_DEFAULT, odDefault},
        {ODS_HOTLIGHT, odHotLight}, {ODS_INACTIVE, odInactive}, {ODS_NOACCEL, odNoAccel},
        {ODS_NOFOCUSRECT, odNoFocusRect}, {ODS_COMBOBOXEDIT, odComboBoxEdit}};
    TOwnerDrawState state = 0;
    for (const auto& [flag, od] : map)
        if ((ItemState & flag) != 0)
            state |= od;
    return state;
}
