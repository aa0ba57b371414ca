#pragma once
#ifndef _WIN32
// The host tree has no GDI: its stand-in has the same names.
#include "framework/HostGraphics.h"
#else
// Colours, fonts, pens, brushes and the canvas: the drawing layer over GDI.
//
// Fonts, pens and brushes describe a GDI object and create it on first use
// (Handle); a change drops the object, fires OnChange, and the next use
// creates a new one. A GDI object is shared between its maker and every
// canvas that has it selected into a DC, so it is deleted only once nothing
// holds it: a font may change or be freed while a canvas still has its old
// object selected.
//
// Text is 8-bit code page 936 text and is always drawn through the W
// functions of GDI, converted at that one point by StrToWide.

#include <initializer_list>
#include <memory>
#include <span>

#include <windows.h>
// TCanvas::TextOut takes 936 text; GDI's function is called as TextOutW.
#undef TextOut

#include "framework/Exception.h"
#include "framework/Object.h"

FRAMEWORK_EXCEPTION(EInvalidGraphic, Exception);
FRAMEWORK_EXCEPTION(EOutOfResources, Exception);

// The state of an owner-drawn item (a menu item, a list or combo box item),
// from the ODS_* flags of its DRAWITEMSTRUCT.
enum TOwnerDrawStateFlag : unsigned {
    odSelected = 1, odGrayed = 2, odDisabled = 4, odChecked = 8, odFocused = 16, odDefault = 32,
    odHotLight = 64, odInactive = 128, odNoAccel = 256, odNoFocusRect = 512,
    odComboBoxEdit = 1024   // the item shown in a closed combo box
};
using TOwnerDrawState = unsigned;
TOwnerDrawState OwnerDrawStateOf(UINT ItemState);

class TBitmap;

// ---------------------------------------------------------------------------
// Geometry: the Win32 structures themselves, so they pass straight to GDI.

using TRect = RECT;
using TPoint = POINT;
using TSize = SIZE;

constexpr TRect Rect(int Left, int Top, int Right, int Bottom) { return TRect{Left, Top, Right, Bottom}; }
constexpr TRect Bounds(int Left, int Top, int Width, int Height) { return TRect{Left, Top, Left + Width, Top + Height}; }
constexpr TPoint Point(int X, int Y) { return TPoint{X, Y}; }
constexpr int RectWidth(const TRect& R) { return R.right - R.left; }
constexpr int RectHeight(const TRect& R) { return R.bottom - R.top; }

// ---------------------------------------------------------------------------
// Colours. A TColor holds blue, green and red in its three low bytes (red
// lowest, as a COLORREF). A high byte of 0xFF marks a system colour whose low
// byte is a COLOR_ index; clNone and clDefault are markers, not colours.

using TColor = Integer;

constexpr TColor SystemColor(int Index) { return static_cast<TColor>(0xFF000000u | static_cast<unsigned>(Index)); }
constexpr TColor RGBToColor(Byte R, Byte G, Byte B) { return static_cast<TColor>(R | (G << 8) | (B << 16)); }
constexpr bool IsSystemColor(TColor Color) { return (static_cast<unsigned>(Color) & 0xFF000000u) == 0xFF000000u; }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = clSilver;
constexpr TColor clDkGray = clGray;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SystemColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SystemColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SystemColor(COLOR_MENU);
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SystemColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SystemColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SystemColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SystemColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SystemColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SystemColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SystemColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SystemColor(COLOR_INFOBK);
constexpr TColor clHotLight = SystemColor(COLOR_HOTLIGHT);
constexpr TColor clGradientActiveCaption = SystemColor(COLOR_GRADIENTACTIVECAPTION);
constexpr TColor clGradientInactiveCaption = SystemColor(COLOR_GRADIENTINACTIVECAPTION);
constexpr TColor clMenuHighlight = SystemColor(COLOR_MENUHILIGHT);
constexpr TColor clMenuBar = SystemColor(COLOR_MENUBAR);

// The COLORREF that Color stands for: a system colour is looked up with
// GetSysColor; any other value keeps its three low bytes (so clNone gives
// white and clDefault black).
COLORREF ColorToRGB(TColor Color);

// ---------------------------------------------------------------------------
// Shared GDI objects.

// A GDI object handle shared by its maker and the canvases that have it
// selected; the last holder to let go deletes it (stock objects are never
// deleted).
using TSharedGdiObject = std::shared_ptr<void>;

// Takes ownership of Object: it is deleted with DeleteObject when the last
// holder lets go. A null Object raises EOutOfResources naming What.
TSharedGdiObject ShareGdiObject(HGDIOBJ Object, const char* What);
// A stock object (GetStockObject), never deleted.
TSharedGdiObject ShareStockObject(int Index);

// A memory DC (CreateCompatibleDC) with a bitmap selected while it lives,
// deleted with the object; it holds a share of the bitmap, which therefore
// outlives the selection.
class TMemoryDC {
public:
    explicit TMemoryDC(TSharedGdiObject Bitmap, HDC Like = nullptr);
    ~TMemoryDC();
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    HDC Handle() const { return FDC; }

private:
    TSharedGdiObject FBitmap;   // declared first: released after the DC is gone
    HDC FDC;
    HGDIOBJ FOld = nullptr;
};

// Mirrors a DC across its width while it lives (SetLayout with LAYOUT_RTL):
// what is drawn lands at the mirrored place, bitmaps and frame controls
// mirrored, while text keeps its reading direction. The layout the DC had
// comes back at the end. Does nothing when Mirror is false or the DC is
// mirrored already.
class TDCMirror {
public:
    TDCMirror(HDC DC, bool Mirror);
    ~TDCMirror();
    TDCMirror(const TDCMirror&) = delete;
    TDCMirror& operator=(const TDCMirror&) = delete;

private:
    HDC FDC;
    DWORD FLayout = 0;
    bool FMirrored = false;
};

// Keeps pictures drawn on a mirrored DC (LAYOUT_RTL) the right way round
// while it lives: their place is mirrored, their pixels are not
// (LAYOUT_BITMAPORIENTATIONPRESERVED). On any other DC it does nothing.
class TDCBitmapOrientation {
public:
    explicit TDCBitmapOrientation(HDC DC);
    ~TDCBitmapOrientation();
    TDCBitmapOrientation(const TDCBitmapOrientation&) = delete;
    TDCBitmapOrientation& operator=(const TDCBitmapOrientation&) = delete;

private:
    HDC FDC;
    DWORD FLayout = 0;
    bool FChanged = false;
};

// Logical pixels per inch of the screen (vertical), which relates a font's
// Size in points to its Height in pixels.
int ScreenPixelsPerInch();

// ---------------------------------------------------------------------------
// Fonts.

enum class TFontStyle : Byte { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of font styles.
class TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(std::initializer_list<TFontStyle> Styles)
    {
        for (TFontStyle S : Styles)
            Include(S);
    }

    constexpr bool Contains(TFontStyle S) const { return (FBits & Bit(S)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TFontStyles& Include(TFontStyle S) { FBits |= Bit(S); return *this; }
    constexpr TFontStyles& Exclude(TFontStyle S) { FBits &= static_cast<Byte>(~Bit(S)); return *this; }

    // Union, difference and intersection.
    constexpr TFontStyles operator+(TFontStyles O) const { return FromBits(FBits | O.FBits); }
    constexpr TFontStyles operator-(TFontStyles O) const { return FromBits(FBits & ~O.FBits); }
    constexpr TFontStyles operator*(TFontStyles O) const { return FromBits(FBits & O.FBits); }
    constexpr bool operator==(const TFontStyles&) const = default;

private:
    static constexpr Byte Bit(TFontStyle S) { return static_cast<Byte>(1u << static_cast<unsigned>(S)); }
    static constexpr TFontStyles FromBits(unsigned Bits)
    {
        TFontStyles R;
        R.FBits = static_cast<Byte>(Bits);
        return R;
    }

    Byte FBits = 0;
};

enum class TFontPitch { fpDefault, fpVariable, fpFixed };
// How glyph edges are drawn; fqNonAntialiased gives exact two-colour text.
enum class TFontQuality { fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType };
using TFontCharset = Byte;

// The face used by new fonts: the first installed of a list of faces that
// have Chinese glyphs, found once per run (936 text).
const String& DefaultFontName();
// Whether a font family of this name (936 text) is installed.
bool FontFamilyInstalled(const String& Name);

class TFont : public TPersistent {
public:
    // DefaultFontName, 9 points, no style, clWindowText, DEFAULT_CHARSET.
    TFont();
    ~TFont() override;

    // Copies every property of another TFont and fires OnChange once, unless
    // they are all equal already (then the handle stays too).
    void Assign(const TPersistent* Source) override;

    const String& Name() const { return FName; }
    void SetName(const String& Value);
    // Size in points; Height in pixels, negative for the character height
    // (without internal leading), positive for the cell height.
    int Size() const;
    void SetSize(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    TFontQuality Quality() const { return FQuality; }
    void SetQuality(TFontQuality Value);
    // Angle of the text base line in tenths of a degree, anticlockwise.
    int Orientation() const { return FOrientation; }
    void SetOrientation(int Value);

    // The HFONT of the current description, created with CreateFontIndirectW
    // on first use. It stays valid until the next change or the font's end.
    HFONT Handle() const;
    // Takes the description of Font (which stays the caller's); fires OnChange.
    void SetHandle(HFONT Font);
    const TSharedGdiObject& SharedHandle() const;
    // The description from which Handle is created.
    LOGFONTW LogFont() const;

    TNotifyEvent OnChange;

private:
    // Drops the handle when the change affects it, then fires OnChange.
    void Changed(bool HandleChanged);

    String FName;
    int FHeight;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = TFontPitch::fpDefault;
    TFontQuality FQuality = TFontQuality::fqDefault;
    int FOrientation = 0;
    mutable TSharedGdiObject FHandle;
};

// ---------------------------------------------------------------------------
// Pens.

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// Raster operation of the pen and of filled shapes (SetROP2).
enum class TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

class TPen : public TPersistent {
public:
    // Black, 1 pixel, solid, pmCopy.
    TPen() = default;
    ~TPen() override = default;

    void Assign(const TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    // Mode is applied by the canvas (SetROP2); it is not part of the handle.
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);

    // The HPEN of the current description, created on first use (psClear
    // gives the stock null pen).
    HPEN Handle() const;
    const TSharedGdiObject& SharedHandle() const;

    TNotifyEvent OnChange;

private:
    void Changed(bool HandleChanged);

    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = TPenStyle::psSolid;
    TPenMode FMode = TPenMode::pmCopy;
    mutable TSharedGdiObject FHandle;
};

// ---------------------------------------------------------------------------
// Brushes.

// The hatch styles draw lines in Color over what is below; bsClear fills
// nothing. Scoped, as bsHorizontal/bsVertical also name other enumerations.
enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TPersistent {
public:
    // White, solid.
    TBrush() = default;
    ~TBrush() override = default;

    void Assign(const TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    // A pattern bitmap that replaces Color and Style while set. The brush
    // only observes it: the pattern is copied when the handle is created, so
    // the bitmap must live until then (or be reset to nullptr).
    TBitmap* Bitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* Value);

    HBRUSH Handle() const;
    const TSharedGdiObject& SharedHandle() const;

    TNotifyEvent OnChange;

private:
    void Changed();

    TColor FColor = clWhite;
    TBrushStyle FStyle = TBrushStyle::bsSolid;
    TBitmap* FBitmap = nullptr;
    mutable TSharedGdiObject FHandle;
};

// ---------------------------------------------------------------------------
// Canvases.

// A drawing surface over a device context. Taking a DC saves its state
// (SaveDC) and letting it go restores it (RestoreDC), so whatever the canvas
// selected is deselected and the DC is handed back as it came. Before each
// drawing call the canvas selects its Font, Pen and Brush when their GDI
// objects differ from those selected, and keeps the selected objects alive
// until they are deselected.
//
// The base class draws on a DC given with SetHandle, which stays the
// giver's. Subclasses that obtain their own DC override CreateHandle (called
// when Handle is needed and there is none) and DestroyHandle (which gives
// the DC back: EndPaint, ReleaseDC, DeleteDC), and call FreeHandle in their
// own destructor.
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;

    // The DC; CreateHandle obtains one when there is none (the base class
    // raises EInvalidOperation: it only draws on a DC it is given).
    HDC Handle();
    // Draws on Value from now on (after letting go of the current DC);
    // nullptr just lets go. Value stays the caller's.
    void SetHandle(HDC Value);
    bool HandleAllocated() const { return FHandle != nullptr; }
    // Restores the DC's state, drops the selected objects and, for a DC the
    // canvas obtained itself, gives it back.
    void FreeHandle();
    // Forgets what is selected, so that the next drawing call selects Font,
    // Pen and Brush again (after code selected objects into Handle directly).
    void Refresh();

    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(const TPen* Value) { FPen->Assign(Value); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(const TBrush* Value) { FBrush->Assign(Value); }
    // Raster operation of Draw, StretchDraw and CopyRect (SRCCOPY).
    DWORD CopyMode() const { return FCopyMode; }
    void SetCopyMode(DWORD Value) { FCopyMode = Value; }

    TPoint PenPos();
    void SetPenPos(TPoint Value) { MoveTo(Value.x, Value.y); }
    void MoveTo(int X, int Y);
    // A line with the pen from PenPos to (X, Y), excluding that end point.
    void LineTo(int X, int Y);

    // Outlined with the pen and filled with the brush; right and bottom
    // edges excluded, as in GDI.
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.left, R.top, R.right, R.bottom); }
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.left, R.top, R.right, R.bottom); }
    // X3, Y3: width and height of the corner ellipse.
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Polygon(std::span<const TPoint> Points);
    void Polygon(std::initializer_list<TPoint> Points) { Polygon(std::span<const TPoint>(Points.begin(), Points.size())); }
    // Lines with the pen through the points, not closed, nothing filled.
    void Polyline(std::span<const TPoint> Points);
    void Polyline(std::initializer_list<TPoint> Points) { Polyline(std::span<const TPoint>(Points.begin(), Points.size())); }

    // With the brush only.
    void FillRect(const TRect& R);
    // A one-pixel frame inside R in the brush.
    void FrameRect(const TRect& R);
    // The dotted focus frame (drawn by XOR, so a second call removes it).
    void DrawFocusRect(const TRect& R);

    // Text with the font at (X, Y) (its top-left); the character cells are
    // filled with the brush colour when the brush is solid (bsSolid without
    // a bitmap), left alone otherwise.
    void TextOut(int X, int Y, const String& Text);
    void TextOut(int X, int Y, const WideString& Text);
    // Text at (X, Y) clipped to R; with a solid brush R is filled with the
    // brush colour first.
    void TextRect(const TRect& R, int X, int Y, const String& Text);
    TSize TextExtent(const String& Text);
    TSize TextExtent(const WideString& Text);
    int TextWidth(const String& Text) { return TextExtent(Text).cx; }
    int TextHeight(const String& Text) { return TextExtent(Text).cy; }
    // DrawTextW with DT_ flags; with DT_CALCRECT, R receives the size the
    // text needs. Returns the height of the text.
    int DrawTextRect(const String& Text, TRect& R, UINT Format);
    int DrawTextRect(const WideString& Text, TRect& R, UINT Format);

    // The bitmap at (X, Y) at its own size; a Transparent bitmap leaves the
    // pixels of its transparent colour unpainted.
    void Draw(int X, int Y, TBitmap* Graphic);
    // The bitmap stretched into R.
    void StretchDraw(const TRect& R, TBitmap* Graphic);
    // SourceRect of Source into Dest, stretched when the sizes differ, with CopyMode.
    void CopyRect(const TRect& Dest, TCanvas* Source, const TRect& SourceRect);

    // GetPixel / SetPixel; a point outside the clipping gives -1.
    TColor Pixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Value);
    TRect ClipRect();

protected:
    // Obtains a DC and hands it to AttachHandle; the base class raises.
    virtual void CreateHandle();
    // Gives back a DC that CreateHandle obtained; the base does nothing.
    virtual void DestroyHandle(HDC DC);
    // Starts drawing on DC; Owned marks a DC that DestroyHandle gives back.
    void AttachHandle(HDC DC, bool Owned);

private:
    enum TRequire : unsigned { rqFont = 1, rqPen = 2, rqBrush = 4 };
    // The DC, with the objects and DC settings that the call needs.
    HDC Prepared(unsigned Needs);
    void SelectShared(const TSharedGdiObject& Object, TSharedGdiObject& Selected);
    bool SolidBrush() const;
    void Deselect();

    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    DWORD FCopyMode = SRCCOPY;

    HDC FHandle = nullptr;
    bool FOwnsHandle = false;
    int FSavedState = 0;
    TSharedGdiObject FSelectedFont;
    TSharedGdiObject FSelectedPen;
    TSharedGdiObject FSelectedBrush;
};

// The canvas of one WM_PAINT: BeginPaint when made, EndPaint when freed.
class TPaintCanvas : public TCanvas {
public:
    explicit TPaintCanvas(HWND Wnd);
    ~TPaintCanvas() override;

    const PAINTSTRUCT& PaintStruct() const { return FPaint; }
    // The rectangle that needs painting.
    const TRect& PaintRect() const { return FPaint.rcPaint; }

protected:
    void CreateHandle() override;
    void DestroyHandle(HDC DC) override;

private:
    HWND FWnd;
    PAINTSTRUCT FPaint{};
};

// A canvas over a window's client area, obtained with GetDC when first
// needed and given back with ReleaseDC by FreeHandle or when freed.
class TWindowCanvas : public TCanvas {
public:
    explicit TWindowCanvas(HWND Wnd);
    ~TWindowCanvas() override;

    HWND Window() const { return FWnd; }

protected:
    void CreateHandle() override;
    void DestroyHandle(HDC DC) override;

private:
    HWND FWnd;
};
#endif
