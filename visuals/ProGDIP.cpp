#include "visuals/ProGDIP.h"

#include <mutex>
#include <vector>

#include <gdiplus.h>

#include "framework/Codepage.h"

namespace G = Gdiplus;
namespace F = Gdiplus::DllExports;

namespace {

// Start-up state: the token stays until the process ends.
struct TGdiPlusRuntime {
    std::once_flag Once;
    ULONG_PTR Token = 0;
    bool Started = false;

    ~TGdiPlusRuntime()
    {
        // Program exit: the statics of the process end here, after every
        // wrapper of a paint is gone.
        if (Started)
            G::GdiplusShutdown(Token);
    }
};

TGdiPlusRuntime& Runtime()
{
    static TGdiPlusRuntime R;
    return R;
}

// Starts GDI+ when the program starts, so that its first paint finds it running.
const bool StartedAtLoad = StartGdiPlus();

template <class T>
T* Native(const TGdiplusBase* Object)
{
    return Object ? static_cast<T*>(Object->NativeHandle()) : nullptr;
}

} // namespace

bool StartGdiPlus()
{
    TGdiPlusRuntime& R = Runtime();
    std::call_once(R.Once, [&R] {
        G::GdiplusStartupInput Input;
        Input.GdiplusVersion = 1;
        Input.DebugEventCallback = nullptr;
        // No background thread: its hook would need calls nobody makes here.
        Input.SuppressBackgroundThread = TRUE;
        Input.SuppressExternalCodecs = FALSE;
        G::GdiplusStartupOutput Output{};
        R.Started = G::GdiplusStartup(&R.Token, &Input, &Output) == G::Ok;
    });
    return R.Started;
}

TGPPoint MakeGPPoint(int X, int Y)
{
    return TGPPoint{X, Y};
}

TGPRectF MakeGPRect(float X, float Y, float Width, float Height)
{
    return TGPRectF{X, Y, Width, Height};
}

TGPColor ColorToOpaqueARGB(TColor Color)
{
    const COLORREF C = ColorToRGB(Color);
    return 0xFF000000u | (static_cast<DWORD>(GetRValue(C)) << 16) | (static_cast<DWORD>(GetGValue(C)) << 8) |
           GetBValue(C);
}

// ---------------------------------------------------------------------------

void* TGdiplusBase::operator new(std::size_t Size) noexcept
{
    StartGdiPlus();
    void* P = F::GdipAlloc(Size);
    if (!P)
        P = F::GdipAlloc(Size);
    return P;
}

void TGdiplusBase::operator delete(void* Ptr) noexcept
{
    if (Ptr)
        F::GdipFree(Ptr);
}

TGPStatus TGdiplusBase::SetStatus(TGPStatus Status)
{
    if (Status != GPOk)
        FLastStatus = Status;
    return Status;
}

// ---------------------------------------------------------------------------

TGPGraphics::TGPGraphics(HDC DC)
{
    G::GpGraphics* G = nullptr;
    FLastStatus = F::GdipCreateFromHDC(DC, &G);
    FNative = G;
}

TGPGraphics::~TGPGraphics()
{
    F::GdipDeleteGraphics(Native<G::GpGraphics>(this));
}

TGPStatus TGPGraphics::SetTextRenderingHint(Integer Hint)
{
    return SetStatus(F::GdipSetTextRenderingHint(Native<G::GpGraphics>(this), static_cast<G::TextRenderingHint>(Hint)));
}

TGPStatus TGPGraphics::SetSmoothingMode(Integer Mode)
{
    return SetStatus(F::GdipSetSmoothingMode(Native<G::GpGraphics>(this), static_cast<G::SmoothingMode>(Mode)));
}

TGPStatus TGPGraphics::DrawPath(TGPPen* Pen, TGPGraphicsPath* Path)
{
    return SetStatus(F::GdipDrawPath(Native<G::GpGraphics>(this), Native<G::GpPen>(Pen), Native<G::GpPath>(Path)));
}

TGPStatus TGPGraphics::FillPath(TGPBrush* Brush, TGPGraphicsPath* Path)
{
    return SetStatus(F::GdipFillPath(Native<G::GpGraphics>(this), Native<G::GpBrush>(Brush), Native<G::GpPath>(Path)));
}

TGPStatus TGPGraphics::FillRectangle(TGPBrush* Brush, float X, float Y, float Width, float Height)
{
    return SetStatus(F::GdipFillRectangle(Native<G::GpGraphics>(this), Native<G::GpBrush>(Brush), X, Y, Width, Height));
}

TGPStatus TGPGraphics::FillRectangle(TGPBrush* Brush, const TGPRectF& Rect)
{
    return FillRectangle(Brush, Rect.X, Rect.Y, Rect.Width, Rect.Height);
}

TGPStatus TGPGraphics::DrawRectangle(TGPPen* Pen, float X, float Y, float Width, float Height)
{
    return SetStatus(F::GdipDrawRectangle(Native<G::GpGraphics>(this), Native<G::GpPen>(Pen), X, Y, Width, Height));
}

TGPStatus TGPGraphics::DrawString(const String& Text, Integer Length, TGPFont* Font, const TGPRectF& Layout,
                                  TGPStringFormat* Format, TGPBrush* Brush)
{
    // The system's code page (936, whatever the machine's ANSI page is), into
    // a zero-filled buffer with room for the end mark.
    std::vector<wchar_t> Wide(Text.size() + 1, L'\0');
    int N = 0;
    if (!Text.empty())
        N = MultiByteToWideChar(SystemCodePage, 0, Text.data(), static_cast<int>(Text.size()), Wide.data(),
                                static_cast<int>(Text.size()));
    if (Length < 0 || Length > N)
        Length = N;
    return DrawString(WideString(Wide.data(), static_cast<std::size_t>(N)), Length, Font, Layout, Format, Brush);
}

TGPStatus TGPGraphics::DrawString(const WideString& Text, Integer Length, TGPFont* Font, const TGPRectF& Layout,
                                  TGPStringFormat* Format, TGPBrush* Brush)
{
    if (Length < 0 || Length > static_cast<Integer>(Text.size()))
        Length = static_cast<Integer>(Text.size());
    const G::RectF R(Layout.X, Layout.Y, Layout.Width, Layout.Height);
    return SetStatus(F::GdipDrawString(Native<G::GpGraphics>(this), reinterpret_cast<const WCHAR*>(Text.c_str()),
                                       Length, Native<G::GpFont>(Font), &R, Native<G::GpStringFormat>(Format),
                                       Native<G::GpBrush>(Brush)));
}

TGPStatus TGPGraphics::MeasureString(const WideString& Text, Integer Length, TGPFont* Font, const TGPRectF& Layout,
                                     TGPStringFormat* Format, TGPRectF& Bounds, Integer* CodePointsFitted,
                                     Integer* LinesFilled)
{
    if (Length < 0 || Length > static_cast<Integer>(Text.size()))
        Length = static_cast<Integer>(Text.size());
    const G::RectF R(Layout.X, Layout.Y, Layout.Width, Layout.Height);
    G::RectF Out(0, 0, 0, 0);
    INT Fitted = 0, Lines = 0;
    const TGPStatus S = SetStatus(F::GdipMeasureString(Native<G::GpGraphics>(this),
                                                       reinterpret_cast<const WCHAR*>(Text.c_str()), Length,
                                                       Native<G::GpFont>(Font), &R, Native<G::GpStringFormat>(Format),
                                                       &Out, &Fitted, &Lines));
    Bounds = TGPRectF{Out.X, Out.Y, Out.Width, Out.Height};
    if (CodePointsFitted)
        *CodePointsFitted = Fitted;
    if (LinesFilled)
        *LinesFilled = Lines;
    return S;
}

TGPStatus TGPGraphics::DrawImage(TGPImage* Image, int X, int Y, int Width, int Height)
{
    return SetStatus(F::GdipDrawImageRect(Native<G::GpGraphics>(this), Native<G::GpImage>(Image),
                                          static_cast<float>(X), static_cast<float>(Y), static_cast<float>(Width),
                                          static_cast<float>(Height)));
}

TGPStatus TGPGraphics::SetClip(TGPRegion* Region, Integer CombineMode)
{
    return SetStatus(F::GdipSetClipRegion(Native<G::GpGraphics>(this), Native<G::GpRegion>(Region),
                                          static_cast<G::CombineMode>(CombineMode)));
}

TGPStatus TGPGraphics::ResetClip()
{
    return SetStatus(F::GdipResetClip(Native<G::GpGraphics>(this)));
}

TGPStatus TGPGraphics::TranslateTransform(float Dx, float Dy)
{
    return SetStatus(F::GdipTranslateWorldTransform(Native<G::GpGraphics>(this), Dx, Dy, G::MatrixOrderPrepend));
}

TGPStatus TGPGraphics::RotateTransform(float Angle)
{
    return SetStatus(F::GdipRotateWorldTransform(Native<G::GpGraphics>(this), Angle, G::MatrixOrderPrepend));
}

// ---------------------------------------------------------------------------

TGPPen::TGPPen(TGPColor Color, float Width)
{
    G::GpPen* P = nullptr;
    FLastStatus = F::GdipCreatePen1(Color, Width, G::UnitWorld, &P);
    FNative = P;
}

TGPPen::~TGPPen()
{
    F::GdipDeletePen(Native<G::GpPen>(this));
}

TGPStatus TGPPen::SetDashStyle(Integer Style)
{
    return SetStatus(F::GdipSetPenDashStyle(Native<G::GpPen>(this), static_cast<G::DashStyle>(Style)));
}

TGPBrush::~TGPBrush()
{
    F::GdipDeleteBrush(Native<G::GpBrush>(this));
}

TGPSolidBrush::TGPSolidBrush(TGPColor Color)
{
    G::GpSolidFill* B = nullptr;
    FLastStatus = F::GdipCreateSolidFill(Color, &B);
    FNative = B;
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& Rect, TGPColor Color1, TGPColor Color2, Integer Mode)
{
    const G::RectF R(Rect.X, Rect.Y, Rect.Width, Rect.Height);
    G::GpLineGradient* B = nullptr;
    FLastStatus = F::GdipCreateLineBrushFromRect(&R, Color1, Color2, static_cast<G::LinearGradientMode>(Mode),
                                                 G::WrapModeTile, &B);
    FNative = B;
}

TGPPathGradientBrush::TGPPathGradientBrush(TGPGraphicsPath* Path)
{
    G::GpPathGradient* B = nullptr;
    FLastStatus = F::GdipCreatePathGradientFromPath(Native<G::GpPath>(Path), &B);
    FNative = B;
}

TGPStatus TGPPathGradientBrush::SetCenterColor(TGPColor Color)
{
    SetStatus(F::GdipSetPathGradientCenterColor(Native<G::GpPathGradient>(this), Color));
    return FLastStatus;
}

Integer TGPPathGradientBrush::GetPointCount()
{
    INT Count = 0;
    SetStatus(F::GdipGetPathGradientPointCount(Native<G::GpPathGradient>(this), &Count));
    return Count;
}

TGPStatus TGPPathGradientBrush::SetSurroundColors(const TGPColor* Colors, Integer& Count)
{
    const Integer Points = GetPointCount();
    if (!Colors || Count > Points || Points <= 0)
        return SetStatus(GPInvalidParameter);
    INT N = Count;
    SetStatus(F::GdipSetPathGradientSurroundColorsWithCount(Native<G::GpPathGradient>(this),
                                                            const_cast<G::ARGB*>(Colors), &N));
    if (FLastStatus == GPOk)
        Count = N;
    return FLastStatus;
}

TGPStatus TGPPathGradientBrush::SetCenterPoint(const TGPPoint& Point)
{
    const G::Point P(Point.X, Point.Y);
    return SetStatus(F::GdipSetPathGradientCenterPointI(Native<G::GpPathGradient>(this), const_cast<G::Point*>(&P)));
}

// ---------------------------------------------------------------------------

TGPStringFormat::TGPStringFormat(Integer Flags, Word Language)
{
    G::GpStringFormat* S = nullptr;
    FLastStatus = F::GdipCreateStringFormat(Flags, Language, &S);
    FNative = S;
}

TGPStringFormat::~TGPStringFormat()
{
    F::GdipDeleteStringFormat(Native<G::GpStringFormat>(this));
}

TGPStatus TGPStringFormat::SetAlignment(Integer Align)
{
    return SetStatus(F::GdipSetStringFormatAlign(Native<G::GpStringFormat>(this), static_cast<G::StringAlignment>(Align)));
}

TGPStatus TGPStringFormat::SetLineAlignment(Integer Align)
{
    return SetStatus(
        F::GdipSetStringFormatLineAlign(Native<G::GpStringFormat>(this), static_cast<G::StringAlignment>(Align)));
}

TGPStatus TGPStringFormat::SetTrimming(Integer Trimming)
{
    return SetStatus(
        F::GdipSetStringFormatTrimming(Native<G::GpStringFormat>(this), static_cast<G::StringTrimming>(Trimming)));
}

TGPStatus TGPStringFormat::SetHotkeyPrefix(Integer Prefix)
{
    return SetStatus(F::GdipSetStringFormatHotkeyPrefix(Native<G::GpStringFormat>(this), Prefix));
}

TGPFontFamily::TGPFontFamily(const WideString& Name)
{
    G::GpFontFamily* F = nullptr;
    FLastStatus = F::GdipCreateFontFamilyFromName(reinterpret_cast<const WCHAR*>(Name.c_str()), nullptr, &F);
    FNative = F;
}

TGPFontFamily::~TGPFontFamily()
{
    F::GdipDeleteFontFamily(Native<G::GpFontFamily>(this));
}

std::unique_ptr<TGPFontFamily> CreateFontFamilyOrArial(const WideString& Name)
{
    std::unique_ptr<TGPFontFamily> Family(new TGPFontFamily(Name));
    if (!Family || !Family->NativeHandle() || Family->GetLastStatus() == GPFontFamilyNotFound ||
        Family->GetLastStatus() == GPFontStyleNotFound)
        Family.reset(new TGPFontFamily(L"Arial"));
    if (Family && !Family->NativeHandle())
        Family.reset();
    return Family;
}

TGPFont::TGPFont(TGPFontFamily* Family, float Size, Integer Style, Integer Unit)
{
    G::GpFont* Font = nullptr;
    FLastStatus = F::GdipCreateFont(Native<G::GpFontFamily>(Family), Size, Style, static_cast<G::Unit>(Unit), &Font);
    FNative = Font;
}

TGPFont::~TGPFont()
{
    F::GdipDeleteFont(Native<G::GpFont>(this));
}

// ---------------------------------------------------------------------------

TGPGraphicsPath::TGPGraphicsPath(Integer FillMode)
{
    G::GpPath* P = nullptr;
    FLastStatus = F::GdipCreatePath(static_cast<G::FillMode>(FillMode), &P);
    FNative = P;
}

TGPGraphicsPath::~TGPGraphicsPath()
{
    F::GdipDeletePath(Native<G::GpPath>(this));
}

TGPStatus TGPGraphicsPath::CloseFigure()
{
    return SetStatus(F::GdipClosePathFigure(Native<G::GpPath>(this)));
}

TGPStatus TGPGraphicsPath::AddLine(float X1, float Y1, float X2, float Y2)
{
    return SetStatus(F::GdipAddPathLine(Native<G::GpPath>(this), X1, Y1, X2, Y2));
}

TGPStatus TGPGraphicsPath::AddArc(float X, float Y, float Width, float Height, float StartAngle, float SweepAngle)
{
    return SetStatus(F::GdipAddPathArc(Native<G::GpPath>(this), X, Y, Width, Height, StartAngle, SweepAngle));
}

TGPStatus TGPGraphicsPath::AddEllipse(float X, float Y, float Width, float Height)
{
    return SetStatus(F::GdipAddPathEllipse(Native<G::GpPath>(this), X, Y, Width, Height));
}

TGPStatus TGPGraphicsPath::AddBezier(float X1, float Y1, float X2, float Y2, float X3, float Y3, float X4, float Y4)
{
    return SetStatus(F::GdipAddPathBezier(Native<G::GpPath>(this), X1, Y1, X2, Y2, X3, Y3, X4, Y4));
}

TGPStatus TGPGraphicsPath::AddBezier(const TGPPointF& P1, const TGPPointF& P2, const TGPPointF& P3, const TGPPointF& P4)
{
    return AddBezier(P1.X, P1.Y, P2.X, P2.Y, P3.X, P3.Y, P4.X, P4.Y);
}

TGPStatus TGPGraphicsPath::AddCurve(const TGPPoint* Points, Integer Count, float Tension)
{
    std::vector<G::Point> P;
    P.reserve(Count > 0 ? static_cast<std::size_t>(Count) : 0);
    for (Integer i = 0; i < Count; ++i)
        P.emplace_back(Points[i].X, Points[i].Y);
    return SetStatus(F::GdipAddPathCurve2I(Native<G::GpPath>(this), P.data(), Count, Tension));
}

TGPRegion::TGPRegion(TGPGraphicsPath* Path)
{
    G::GpRegion* R = nullptr;
    FLastStatus = F::GdipCreateRegionPath(Native<G::GpPath>(Path), &R);
    FNative = R;
}

TGPRegion::~TGPRegion()
{
    F::GdipDeleteRegion(Native<G::GpRegion>(this));
}

// ---------------------------------------------------------------------------

TGPImage::TGPImage(IStream* Stream, bool UseEmbeddedColorManagement)
{
    G::GpImage* I = nullptr;
    FLastStatus = UseEmbeddedColorManagement ? F::GdipLoadImageFromStreamICM(Stream, &I)
                                             : F::GdipLoadImageFromStream(Stream, &I);
    FNative = I;
}

TGPImage::~TGPImage()
{
    if (FNative)
        F::GdipDisposeImage(Native<G::GpImage>(this));
}

Integer TGPImage::GetFormat()
{
    GUID Format{};
    if (SetStatus(F::GdipGetImageRawFormat(Native<G::GpImage>(this), &Format)) != GPOk)
        return ifUndefined;
    // GDI+'s raw-format identifiers differ only in the first field:
    // b96b3caa (memory bitmap) to b96b3cb2 (EXIF), and b96b3cb5 (icon).
    static const unsigned long Firsts[] = {0xb96b3caa, 0xb96b3cab, 0xb96b3cac, 0xb96b3cad, 0xb96b3cae,
                                           0xb96b3caf, 0xb96b3cb0, 0xb96b3cb1, 0xb96b3cb2, 0xb96b3cb5};
    const GUID Tail = {0, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    for (std::size_t i = 0; i < std::size(Firsts); ++i) {
        GUID Known = Tail;
        Known.Data1 = Firsts[i];
        if (IsEqualGUID(Format, Known))
            return static_cast<Integer>(i + 1);
    }
    return ifUndefined;
}

Cardinal TGPImage::GetWidth()
{
    UINT W = 0;
    if (SetStatus(F::GdipGetImageWidth(Native<G::GpImage>(this), &W)) != GPOk)
        return 0;
    return W;
}

Cardinal TGPImage::GetHeight()
{
    UINT H = 0;
    if (SetStatus(F::GdipGetImageHeight(Native<G::GpImage>(this), &H)) != GPOk)
        return 0;
    return H;
}
