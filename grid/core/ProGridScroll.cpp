// The painting frame around the cells (background beside and below them,
// the flat border) and scrolling: scroll messages with position hints and
// synchronous scrolling, proportional thumbs, comctl32 flat scroll bars,
// always-visible bars and the reaction to a new top-left cell.

#include <algorithm>
#include <cmath>
#include <string>

#include "grid/core/GridDrawing.h"
#include "grid/core/HTMLHintWindow.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/FooterPanel.h"
#include "grid/interaction/SearchPanel.h"

#include <commctrl.h>

namespace {

// A comctl32 flat scroll bar entry point, looked up by name at each call;
// nullptr when the module or the function is missing.
template <class F>
F FlatSB(const char* Name)
{
    HMODULE M = GetModuleHandleW(L"comctl32.dll");
    return M ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(M, Name))) : nullptr;
}

using TInitFlatSB = BOOL(WINAPI*)(HWND);
using TUninitFlatSB = HRESULT(WINAPI*)(HWND);
using TSetScrollProp = BOOL(WINAPI*)(HWND, UINT, INT_PTR, BOOL);
using TSetScrollInfo = int(WINAPI*)(HWND, int, LPSCROLLINFO, BOOL);
using TShowScrollBar = BOOL(WINAPI*)(HWND, int, BOOL);

// Sets a bar's range, page and position when one of them differs from what
// the bar has: each setting redraws the bar, which a themed bar does whole.
void SetScrollInfoIfChanged(HWND Wnd, int Bar, SCROLLINFO& SI)
{
    SCROLLINFO Now{};
    Now.cbSize = sizeof Now;
    Now.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (GetScrollInfo(Wnd, Bar, &Now) && Now.nMin == SI.nMin && Now.nMax == SI.nMax && Now.nPage == SI.nPage
        && Now.nPos == SI.nPos)
        return;
    SetScrollInfo(Wnd, Bar, &SI, TRUE);
}

} // namespace

// ---------------------------------------------------------------------------
// Scroll bar settings

void TProStringGrid::SetScrollBarAlways(TScrollBarAlways Value)
{
    ScrollBarAlways = Value;
    UpdateScrollRange();
    UpdateScrollBarVisibility(true);
}

bool TProStringGrid::KeepScrollBar(bool Horz) const
{
    return ScrollBarAlways == saBoth || ScrollBarAlways == (Horz ? saHorz : saVert);
}

void TProStringGrid::SetScrollType(TScrollType Value)
{
    if (Value == ScrollType)
        return;
    ScrollType = Value;
    if (!HandleAllocated())
        return;
    if (Value == ssNormal) {
        if (auto Un = FlatSB<TUninitFlatSB>("UninitializeFlatSB"))
            Un(Handle());
        FFlatBarsActive = false;
    } else if (auto Init = FlatSB<TInitFlatSB>("InitializeFlatSB")) {
        FFlatBarsActive = Init(Handle()) != FALSE;
    }
    UpdateFlatScrollBars();
}

void TProStringGrid::UpdateFlatScrollBars()
{
    if (!FFlatBarsActive || !HandleAllocated())
        return;
    auto Prop = FlatSB<TSetScrollProp>("FlatSB_SetScrollProp");
    auto Info = FlatSB<TSetScrollInfo>("FlatSB_SetScrollInfo");
    auto Show = FlatSB<TShowScrollBar>("FlatSB_ShowScrollBar");
    if (!Prop || !Info || !Show)
        return;
    const int Mode = ScrollType == ssFlat ? FSB_FLAT_MODE : ScrollType == ssEncarta ? FSB_ENCARTA_MODE : FSB_REGULAR_MODE;
    Prop(Handle(), WSB_PROP_VSTYLE, Mode, TRUE);
    Prop(Handle(), WSB_PROP_HSTYLE, Mode, TRUE);
    if (ScrollColor != clNone) {
        Prop(Handle(), WSB_PROP_HBKGCOLOR, static_cast<INT_PTR>(ColorToRGB(ScrollColor)), TRUE);
        Prop(Handle(), WSB_PROP_VBKGCOLOR, static_cast<INT_PTR>(ColorToRGB(ScrollColor)), TRUE);
    }
    Prop(Handle(), WSB_PROP_CXVSCROLL, ScrollWidth, TRUE);
    Prop(Handle(), WSB_PROP_CYHSCROLL, ScrollWidth, TRUE);
    const TScrollStyle Bars = ScrollBars();
    auto Apply = [&](int Bar, bool Scrolls, bool Allowed) {
        if (!Allowed)
            return;
        if (Scrolls) {
            SCROLLINFO SI{};
            SI.cbSize = sizeof SI;
            SI.fMask = SIF_ALL;
            GetScrollInfo(Handle(), Bar, &SI);
            Info(Handle(), Bar, &SI, TRUE);
        }
        Show(Handle(), Bar, Scrolls ? TRUE : FALSE);
    };
    Apply(SB_VERT, VisibleRowCount() + TStringGrid::FixedRows() < RowCount(), Bars == ssVertical || Bars == ssBoth);
    Apply(SB_HORZ, VisibleColCount() + TStringGrid::FixedCols() < ColCount(), Bars == ssHorizontal || Bars == ssBoth);
}

void TProStringGrid::SetScrollProportional(bool Value)
{
    ScrollProportional = Value;
    if (!Value && FFlatBarsActive && ScrollType == ssNormal && HandleAllocated()) {
        if (auto Un = FlatSB<TUninitFlatSB>("UninitializeFlatSB"))
            Un(Handle());
        FFlatBarsActive = false;
        SCROLLINFO SI{};
        SI.cbSize = sizeof SI;
        SI.fMask = SIF_PAGE;
        SI.nPage = 0;
        SetScrollInfo(Handle(), SB_HORZ, &SI, TRUE);
        SetScrollInfo(Handle(), SB_VERT, &SI, TRUE);
    }
    UpdateHorzScrollProportion();
    UpdateVertScrollProportion();
}

// ---------------------------------------------------------------------------
// Proportional thumbs: the window's range is 0 .. 127 for the position, and
// a page of nMax - 126 makes the thumb as long as the visible share.

void TProStringGrid::UpdateHorzScrollProportion()
{
    if (IsLoading() || IsDesigning() || !ScrollProportional || !HandleAllocated())
        return;
    const int G = GridLineWidth();
    int F = G, T = G, L = G;
    for (int i = 0; i < ColCount(); ++i) {
        if (i < TStringGrid::FixedCols())
            F += G + ColWidths(i);
        else
            T += G + ColWidths(i);
        if (i >= TStringGrid::FixedCols() && i < LeftCol())
            L += G + ColWidths(i);
    }
    const int W = ClientWidth();
    if (T <= 0)
        return;
    const float Ratio = static_cast<float>(W - F) / static_cast<float>(T);
    if (Ratio < 0.9999f) {
        SCROLLINFO SI{};
        SI.cbSize = sizeof SI;
        SI.fMask = SIF_ALL;
        GetScrollInfo(Handle(), SB_HORZ, &SI);
        SI.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        SI.nMin = 0;
        SI.nMax = static_cast<int>(std::trunc((Ratio + 127) / (1 - Ratio)));
        SI.nPage = static_cast<UINT>(std::max(0, SI.nMax - 126));
        if (W < T)
            SI.nPos = static_cast<int>(std::trunc(static_cast<double>(L) / (T - W) * 128));
        SetScrollInfoIfChanged(Handle(), SB_HORZ, SI);
        UpdateFlatScrollBars();
    }
    if (ScrollBarAlways != saHorz && ScrollBarAlways != saBoth) {
        const int All = SumColWidths(0, ColCount() - 1);
        const bool Allowed = ScrollBars() == ssHorizontal || ScrollBars() == ssBoth;
        if (!(All >= Width() && Allowed))
            ShowScrollBar(Handle(), SB_HORZ, FALSE);
    }
}

void TProStringGrid::UpdateVertScrollProportion()
{
    if (IsLoading() || IsDesigning() || !ScrollProportional || !HandleAllocated())
        return;
    const int G = GridLineWidth();
    int F = G;
    for (int i = 0; i < TStringGrid::FixedRows(); ++i)
        F += G + RowHeights(i);
    // Sums through the grid's cumulative tables: no walk over every row.
    const int Fixed = TStringGrid::FixedRows();
    const int T = G + (RowCount() > Fixed ? SumRowHeights(Fixed, RowCount() - 1) + (RowCount() - Fixed) * G : 0);
    const int L = G + (TopRow() > Fixed ? SumRowHeights(Fixed, TopRow() - 1) + (TopRow() - Fixed) * G : 0);
    const int H = CellArea().bottom;
    if (T <= 0)
        return;
    const float Ratio = static_cast<float>(H - F) / static_cast<float>(T);
    if (Ratio >= 0.9999f)
        return;
    SCROLLINFO SI{};
    SI.cbSize = sizeof SI;
    SI.fMask = SIF_ALL;
    GetScrollInfo(Handle(), SB_VERT, &SI);
    SI.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    SI.nMin = 0;
    SI.nMax = static_cast<int>(std::trunc((Ratio + 127) / (1 - Ratio)));
    SI.nPage = static_cast<UINT>(std::max(0, SI.nMax - 126));
    SI.nPos = H < T ? static_cast<int>(std::trunc(static_cast<double>(L) / (T - H) * 128)) : 127;
    SetScrollInfoIfChanged(Handle(), SB_VERT, SI);
    UpdateFlatScrollBars();
}

// ---------------------------------------------------------------------------
// Scroll messages

String TProStringGrid::ScrollHintText(bool Horz, int ThumbPos)
{
    const int Fixed = Horz ? TStringGrid::FixedCols() : TStringGrid::FixedRows();
    const int Count = Horz ? ColCount() - VisibleColCount() - Fixed : RowCount() - VisibleRowCount() - Fixed;
    const int I = MulDiv(ThumbPos, Count, GridScrollMax);
    String Text = (Horz ? "Col : " : "Row : ") + std::to_string(I + Fixed);
    if (OnScrollHint)
        OnScrollHint(this, I + Fixed, Text);
    return Text;
}

// The position hint: measured at most 100 pixels wide, in HintColor, its
// top-left 10 pixels right of the cursor.
void TProStringGrid::ShowScrollHint(const String& Text)
{
    if (!FScrollHintWindow)
        FScrollHintWindow = std::make_unique<THTMLHintWindow>(nullptr);
    FScrollHintWindow->SetColor(HintColor);
    TRect R = FScrollHintWindow->CalcHintRect(100, Text, nullptr);
    POINT P{};
    GetCursorPos(&P);
    OffsetRect(&R, P.x + 10, P.y);
    FScrollHintWindow->ActivateHint(R, Text);
}

void TProStringGrid::HideScrollHint()
{
    if (FScrollHintWindow)
        FScrollHintWindow->ReleaseHandle();
}

void TProStringGrid::HandleScroll(TMessage& Message, bool Horz)
{
    const int Code = LOWORD(Message.WParam);
    const int Pos = static_cast<short>(HIWORD(Message.WParam));
    const bool Hints = ScrollHints == shBoth || (Horz ? ScrollHints == shHorizontal : ScrollHints == shVertical);
    if (Hints && Code == SB_ENDSCROLL)
        HideScrollHint();
    if (Hints && Code == SB_THUMBTRACK) {
        LastScrollHint = ScrollHintText(Horz, Pos);
        ShowScrollHint(LastScrollHint);
    }
    if (Code == SB_THUMBTRACK && ScrollSynch) {
        const int Fixed = Horz ? TStringGrid::FixedCols() : TStringGrid::FixedRows();
        const int Count = Horz ? ColCount() - VisibleColCount() - Fixed : RowCount() - VisibleRowCount() - Fixed;
        const int I = MulDiv(Pos, Count, GridScrollMax);
        if (Horz)
            SetLeftCol(std::clamp(I + Fixed, Fixed, std::max(Fixed, MaxLeftCol())));
        else
            SetTopRow(std::clamp(I + Fixed, Fixed, std::max(Fixed, MaxTopRow())));
        return;
    }
    TBaseGrid::WndProc(Message);
    UpdateFlatScrollBars();
    if (Horz)
        RepaintFloatingFooter();
}

void TProStringGrid::TopLeftChanged()
{
    TBaseGrid::TopLeftChanged();
    if (SelectionRectangle && Selection().Bottom > Selection().Top)
        Invalidate();
    const TBackGroundDisplay D = FBackGround->Display();
    if ((D == bdGradientHorz || D == bdGradientVert) && FBackGround->ColorTo() != clNone)
        Invalidate();
    // A background picture is placed by the window, not by the cells: the
    // pixels a scroll shifts would carry it along.
    if (!FBackGround->Bitmap()->Empty())
        Invalidate();
    UpdateFlatScrollBars();
    UpdateHorzScrollProportion();
    UpdateVertScrollProportion();
    RepaintFloatingFooter();
}

// The cells end where the strips along the bottom edge begin: a shown
// search bar and, above it, a shown floating footer. The visible rows, the
// scroll range, the hit tests, the painting and the scrolling that keeps
// the current row in view all count without them, so that the last row
// can scroll fully above them.
TRect TProStringGrid::CellArea() const
{
    TRect R = TBaseGrid::CellArea();
    for (const TControl* Strip : {static_cast<const TControl*>(FSearchPanel), static_cast<const TControl*>(FFooterPanel)})
        if (Strip != nullptr && Strip->Visible())
            R.bottom = std::max(R.top, R.bottom - Strip->Height());
    return R;
}

// A footer showing the last row as fixed cells shows it in its own strip:
// the rows stop scrolling once the row before it is whole above the strip.
int TProStringGrid::RowsShownOutsideCells() const
{
    return HideLastRow && FFooterPanel != nullptr && FFooterPanel->Visible() ? 1 : 0;
}

int TProStringGrid::HeightAboveFooters() const
{
    return Height() - (ClientRect().bottom - CellArea().bottom);
}

// A footer strip took or gave back its room (shown, hidden, resized or
// switched to or from showing the last row).
void TProStringGrid::FooterRoomChanged()
{
    if (HandleAllocated() && !IsDestroying())
        CellAreaChanged();
}

// ---------------------------------------------------------------------------
// Frame painting

void TProStringGrid::PaintBackgroundOutsideCells(TCanvas* ACanvas)
{
    const TBackGroundDisplay D = FBackGround->Display();
    const bool Gradient = D == bdGradientHorz || D == bdGradientVert;
    if (Gradient && FBackGround->ColorTo() == clNone)
        return;
    if (!Gradient && FBackGround->Bitmap()->Empty())
        return;
    TGridDrawInfo Info;
    CalcDrawInfo(Info);
    const TRect Client = CellArea();
    HRGN Area = CreateRectRgn(0, 0, 0, 0);
    if (Info.Horz.GridBoundary < Client.right) {
        HRGN Strip = CreateRectRgn(Info.Horz.GridBoundary, 0, Client.right, Client.bottom);
        CombineRgn(Area, Area, Strip, RGN_OR);
        DeleteObject(Strip);
    }
    if (Info.Vert.GridBoundary < Client.bottom) {
        HRGN Strip = CreateRectRgn(0, Info.Vert.GridBoundary, Client.right, Client.bottom);
        CombineRgn(Area, Area, Strip, RGN_OR);
        DeleteObject(Strip);
    }
    HDC DC = ACanvas->Handle();
    const int Saved = SaveDC(DC);
    ExtSelectClipRgn(DC, Area, RGN_AND);
    if (Gradient) {
        DrawGradientRect(ACanvas, FBackGround->Color(), FBackGround->ColorTo(), D == bdGradientHorz, Client, 128);
    } else {
        // Right way round at the mirrored place, as in the cells.
        TBitmap* B = FBackGround->Bitmap();
        if (D == bdFixed) {
            const TDCUnmirroredSpan Upright(ACanvas, true, FBackGround->Left(), B->Width());
            ACanvas->Draw(FBackGround->Left(), FBackGround->Top(), B);
        } else if (FBackGround->Cells() != bcFixed) {
            // Tiles meant for the normal cells start at the first normal
            // cell, moved by the cell margin of 2; tiles meant for the fixed
            // cells only leave the empty area bare.
            TPoint Origin{Client.left, Client.top};
            if (FBackGround->Cells() == bcNormal)
                Origin = TPoint{Info.Horz.FixedBoundary + 2, Info.Vert.FixedBoundary + 2};
            for (int Y = Origin.y - 1; Y < Client.bottom; Y += B->Height())
                for (int X = Origin.x - 1; X < Client.right; X += B->Width()) {
                    const TDCUnmirroredSpan Upright(ACanvas, true, X, B->Width());
                    ACanvas->Draw(X, Y, B);
                }
        }
    }
    RestoreDC(DC, Saved);
    DeleteObject(Area);
    ACanvas->Refresh();
}

void TProStringGrid::PaintFlatBorder()
{
    if (!HandleAllocated() || Flat || BorderStyle() != bsSingle || FUpdateCount > 0)
        return;
    if (Look != glSoft && Look != glQJX && Look != glXP && Look != glListView && Look != glVista)
        return;
    HDC DC = GetWindowDC(Handle());
    if (!DC)
        return;
    const int W = Width(), H = Height();
    auto Frame = [&](int L, int T, int R, int B, COLORREF C) {
        HBRUSH Br = CreateSolidBrush(C);
        RECT Rc{L, T, R, B};
        FrameRect(DC, &Rc, Br);
        DeleteObject(Br);
    };
    Frame(1, 1, W - 1, H - 1, FXPFlag ? 0xB99D7F : 0x808080);
    const TColor ParentColor = Parent() ? Parent()->Color() : clBtnFace;
    Frame(0, 0, W, H, ColorToRGB(ParentColor));
    ReleaseDC(Handle(), DC);
}
