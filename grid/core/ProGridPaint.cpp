// The painter of one cell: colour resolution, the layers of a cell (fixed
// look, row indicator, modified mark, editor buttons, graphic, content,
// borders, look edges, tree lines, the user's draw events, focus) and the
// sort glyph.

#include <algorithm>

#include "framework/Codepage.h"
#include "grid/core/GridCellText.h"
#include "grid/core/GridDrawing.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/FooterPanel.h"
#include "grid/interaction/MouseActions.h"
#include "visuals/ProXPVS.h"

namespace {

constexpr TColor clHighlightColor = clHighlight;

void Line(TCanvas* C, int X1, int Y1, int X2, int Y2)
{
    C->MoveTo(X1, Y1);
    C->LineTo(X2, Y2);
}

TColor Darker(TColor Color) { return HalveColor(static_cast<TColor>(ColorToRGB(Color))); }

} // namespace

// ---------------------------------------------------------------------------
// Colour resolution

void TProStringGrid::ResolveCellColors(int ACol, int ARow, TGridDrawState& AState, bool Printing,
                                       bool SelectionColors, bool MapColumn, TBrush* ABrush, TFont* AFont,
                                       TResolvedCellColors& Colors)
{
    const int FCols = TStringGrid::FixedCols();
    const int FRows = TStringGrid::FixedRows();
    const bool FixedArea = ACol < FCols || ARow < FRows;
    // Printing takes the print settings' fonts unless they ask for the display fonts.
    const bool PrintFonts = Printing && !FPrintSettings->UseDisplayFont;
    TFont* const CellFixedFont = PrintFonts ? FPrintSettings->FixedFont() : FFixedFont.get();
    if (AFont)
        AFont->Assign(FixedArea ? CellFixedFont : PrintFonts ? FPrintSettings->Font() : Font());
    const int C = MapColumn ? DisplayToRealCol(ACol) : ACol;

    // The base grid's fill asks with the selection colours: a failing cell
    // hook there is counted and the cell drawn with what was resolved, so no
    // exception leaves the paint (and no error repeats on every repaint).
    auto PaintGuard = [&](auto&& Step) {
        if (!SelectionColors) {
            Step();
            return;
        }
        try {
            Step();
        } catch (const std::exception&) {
            ++FPaintFailures;
        }
    };

    // A cell that the fixed-cell hook calls fixed, or one in the fixed
    // columns or rows, is painted as fixed.
    const bool FixedCell = IsFixedCell(ACol, ARow) || FixedArea;
    TColor Brush = clNone;
    Colors.ColorTo = clNone;
    Colors.MirrorColor = clNone;
    Colors.MirrorColorTo = clNone;
    if (TCellProperties* Props = CellProperties(ACol, ARow)) {
        Brush = OwnBrushColor(Props, FixedCell ? static_cast<TGridDrawState>(gdFixed) : TGridDrawState{});
        if (AFont) {
            if (Props->FontColor != clNone)
                AFont->SetColor(Props->FontColor);
            if (!Props->FontStyle.Empty())
                AFont->SetStyle(Props->FontStyle);
            if (Props->FontSize != 0)
                AFont->SetSize(Props->FontSize);
            if (!Props->FontName.empty())
                AFont->SetName(Props->FontName);
        }
        Colors.WordWrap = Props->WordWrap();
        Colors.ColorTo = Props->BrushColorTo();
        Colors.GradientDirection = Props->GradientDirection;
    } else {
        Colors.WordWrap = FWordWrap;
    }
    if (AState & gdSelected)
        Colors.GradientDirection = GradientVertical;

    const bool RightFixed = C >= AllColCount() - FFixedRightCols || ACol >= ColCount() - FFixedRightCols;
    const bool Footer = ARow >= RowCount() - FFixedFooters;
    const bool Normal = !FixedArea && !RightFixed && !Footer;
    if (Brush == clNone) {
        Brush = Color();
        if (FBands->Active() && (FBands->Print() == Printing || !Printing) && Normal) {
            const int Period = FBands->Period();
            if (Period > 0)
                Brush = (ARow - FRows) % Period < FBands->PrimaryLength() ? FBands->PrimaryColor()
                                                                          : FBands->SecondaryColor();
        }
        if (!Normal)
            Brush = FixedColor();
    }
    if (FixedCell) {
        Brush = FixedColor();
        if (AFont)
            AFont->Assign(CellFixedFont);
        if (!Printing)
            AState |= gdFixed;
    }
    if (ABrush)
        ABrush->SetColor(Brush);
    if (ABrush && AFont)
        PaintGuard([&] { ApplyCellFontAndColor(ACol, ARow, AFont, ABrush, AState); });

    auto Select = [&]() {
        // No selection colour set: the system's highlight (clNone is no colour to fill with).
        if (ABrush)
            ABrush->SetColor(SelectionColor != clNone ? SelectionColor : clHighlightColor);
        Colors.ColorTo = SelectionColorTo;
        Colors.MirrorColor = SelectionMirrorColor;
        Colors.MirrorColorTo = SelectionMirrorColorTo;
        if (AFont && SelectionTextColor != clNone)
            AFont->SetColor(SelectionTextColor);
        AState |= gdSelected;
        Colors.GradientDirection = GradientVertical;
    };
    const bool Fixed = (AState & gdFixed) != 0;
    if (SelectionColors && !Printing && ShowSelection && !Fixed) {
        if (FMouseActions->DisjunctRowSelect()) {
            const int R = FMouseActions->RowSelectPersistent ? DisplayToRealRow(ARow) : ARow;
            if (IsRowSelected(R))
                Select();
            else
                AState &= ~static_cast<TGridDrawState>(gdSelected);
        } else if (FMouseActions->DisjunctColSelect()) {
            if (IsColSelected(C))
                Select();
            else
                AState &= ~static_cast<TGridDrawState>(gdSelected);
        } else if (IsCellSelected(ACol, ARow)) {
            Select();
        }
    }
    if (FMouseActions->DisjunctCellSelect() && !Fixed) {
        const int Key = ARow * 0x10000 + C;
        const bool Listed = FSelectedCells->HasValue(Key);
        if (Listed) {
            Select();
        } else if (ACol == Col() && ARow == Row()) {
            AState &= ~static_cast<TGridDrawState>(gdSelected);
            if (ABrush)
                ABrush->SetColor(Color());
            if (AFont)
                AFont->SetColor(Font()->Color());
        }
    }
    PaintGuard([&] {
        DoGetWordWrap(C, ARow, Colors.WordWrap);
        GetCellAlignment(C, ARow, Colors.HAlign, Colors.VAlign);
    });
}

// ---------------------------------------------------------------------------
// The layers of one cell

bool TProStringGrid::IsHoverFixedCell(int ACol, int ARow)
{
    switch (HoverFixedCells) {
    case hfNone: return false;
    case hfFixedRows: return ARow < TStringGrid::FixedRows();
    case hfFixedColumns: return ACol < TStringGrid::FixedCols();
    case hfAll: return ACol < TStringGrid::FixedCols() || ARow < TStringGrid::FixedRows();
    }
    return false;
}

void TProStringGrid::DrawFixedCellLook(TCanvas* ACanvas, int ACol, int ARow, TRect& R)
{
    if (Look == glVista) {
        R.left -= 1;
        R.top -= 1;
        R.bottom -= 1;
    }
    const TFixedGradient FG = FixedGradient();
    const bool Moving = GridState() == gsColMoving;
    const bool Hover = (IsHoverFixedCell(ACol, ARow) && HoverFixedCell.X == ACol && HoverFixedCell.Y == ARow && !Moving)
        || (Moving && MoveIndex() == ACol && ARow < TStringGrid::FixedRows());
    if (!Hover || IsDesigning()) {
        const int LastFixedCol = TStringGrid::FixedCols() - 1;
        const int LastFixedRow = TStringGrid::FixedRows() - 1;
        if (ActiveCellShow && ((ACol == LastFixedCol && ARow == Row()) || (ARow == LastFixedRow && ACol == Col()))) {
            DrawGradientBackground(ACanvas, R, ActiveCellColor, true, false, clNone, true, clNone, clNone,
                                   ActiveCellColorTo);
            return;
        }
        const bool SortHeader = FSortSettings->Column != -1 && FSortSettings->HeaderColor != clNone
            && ARow == LastFixedRow && DisplayToRealCol(ACol) == FSortSettings->Column
            && (ACol >= TStringGrid::FixedCols() || FSortSettings->FixedCols);
        if (SortHeader) {
            DrawGradientBackground(ACanvas, R, FSortSettings->HeaderColor, true, true, clNone, true,
                                   FSortSettings->HeaderMirrorColorTo, FSortSettings->HeaderMirrorColor,
                                   FSortSettings->HeaderColorTo);
            return;
        }
        DrawGradientBackground(ACanvas, R, FG.From, true, Look == glVista, Look == glVista ? clWhite : clNone, true,
                               FG.MirrorTo, FG.MirrorFrom, FG.To);
        return;
    }
    R.right += 1;
    R.bottom += 1;
    const bool Pressed = FixedCellPushed || Moving;
    auto PressedLook = [&](TRect P) {
        DrawGradientBackground(ACanvas, P, FG.DownFrom, true, false, FG.DownBorder, true, FG.DownMirrorTo,
                               FG.DownMirrorFrom, FG.DownTo);
    };
    auto HoverLook = [&](TRect P) {
        DrawGradientBackground(ACanvas, P, FG.HoverFrom, true, false, FG.HoverBorder, true, FG.HoverMirrorTo,
                               FG.HoverMirrorFrom, FG.HoverTo);
    };
    if (Pressed && FControlLook->FixedDropDownButton()) {
        TRect Strip = R;
        Strip.left = R.right - 16;
        TRect Body = R;
        Body.right = R.right - 16;
        if (FixedDropDownPushed) {
            PressedLook(Strip);
            HoverLook(Body);
        } else {
            PressedLook(Body);
            HoverLook(Strip);
        }
        // The separator takes the border colour of the button's own look.
        ACanvas->Pen()->SetColor(FixedDropDownPushed ? FG.DownBorder : FG.HoverBorder);
        Line(ACanvas, R.right - 16, R.top, R.right - 16, R.bottom);
        DrawSmallDownTriangle(ACanvas, R.right - 8, R.top + 8, clBlack);
        R.right -= 16;
    } else if (Pressed) {
        PressedLook(R);
    } else {
        HoverLook(R);
    }
}

void TProStringGrid::DrawGridCell(TCanvas* ACanvas, int ACol, TGridDrawState AState, TRect ARect, int ARow)
{
    // The footer panel hands its cells over on its own canvas, already placed
    // where a mirrored grid shows them: the cell is drawn through the panel's
    // canvas mirrored, at the rectangle it mirrors, so that its content is
    // mirrored as the grid's own cells are (the grid's canvas is mirrored by
    // its paint handling).
    if (FooterPainting && UseRightToLeftAlignment() && FFooterPanel && ACanvas->HandleAllocated()
        && (GetLayout(ACanvas->Handle()) & LAYOUT_RTL) == 0) {
        const TDCMirror Mirror(ACanvas->Handle(), true);
        const int W = FFooterPanel->ClientRect().right;
        DrawGridCell(ACanvas, ACol, AState, TRect{W - ARect.right, ARect.top, W - ARect.left, ARect.bottom}, ARow);
        return;
    }
    // Painting never lets an error out: a cell that fails is left as far as
    // it got, and the failure is counted instead of being reported on every
    // repaint.
    try {
        Ctl3D = !Flat;
        TRect R = ARect;
        const int C = DisplayToRealCol(ACol);
        TResolvedCellColors Colors;
        TGridDrawState State = AState;
        ResolveCellColors(ACol, ARow, State, false, false, true, ACanvas->Brush(), ACanvas->Font(), Colors);
        if (AState & gdSelected)
            State |= gdSelected;

        TCellVAlign GVA = vaTop;
        TCellHAlign GHA = haLeft;
        bool TextVisible = true;
        int GH = 0, GW = 0;
        TCellGraphic* G = GetCellGraphicInfo(C, ARow, GVA, GHA, TextVisible, GH, GW);
        if (C == 0 && IsNodeRow(ARow))
            GW = GetNodeLevel(ARow) * 12 + 4;

        if ((State & gdSelected) && !(State & gdFocused) && SelectionColor == clNone)
            ACanvas->Brush()->SetColor(clHighlightColor);
        if (ZoomLevel != 0)
            ACanvas->Font()->SetSize(ACanvas->Font()->Size() + ZoomLevel);
        const TColor KeepBrush = ACanvas->Brush()->Color();
        const TColor KeepFont = ACanvas->Font()->Color();

        const bool FixedCell = IsFixedCell(ACol, ARow) || ACol < TStringGrid::FixedCols()
            || ARow < TStringGrid::FixedRows();
        if (FixedCell && !Flat && (Look == glQJX || Look == glXP || Look == glVista))
            DrawFixedCellLook(ACanvas, ACol, ARow, R);

        int IndicatorShift = 0;
        if (ACol == 0 && ARow == Row() && TStringGrid::FixedCols() > 0 && !FRowIndicator->Empty()) {
            const int H = FRowIndicator->Height();
            int Y = R.top;
            if (VAlignment == vtaCenter)
                Y = R.top + (R.bottom - R.top - H) / 2;
            else if (VAlignment == vtaBottom)
                Y = R.bottom - H;
            FRowIndicator->SetTransparent(true);
            const TDCUnmirroredSpan Upright(ACanvas, true, R.left + 2, FRowIndicator->Width());
            ACanvas->Draw(R.left + 2, Y, FRowIndicator.get());
            IndicatorShift = FRowIndicator->Width() + 2;
            R.left += IndicatorShift;
        }

        if (FixedCell && !Flat && Look == glListView) {
            // The list view's header item when a theme is active (normal,
            // under the mouse, pressed), else a flat face with a white frame.
            HTHEME Theme = nullptr;
            if (FXPFlag && HandleAllocated() && ThemesAvailable())
                Theme = ThemeApi().OpenThemeData(Handle(), L"header");
            if (Theme) {
                InflateRect(&R, 1, 1);
                // Hot while the pointer is over the cell, pressed while it
                // carries the pressed look of a hovered header.
                const TGridCoord Here{ACol, ARow};
                const bool Over = FMouseInControl && FListViewHover == Here;
                const bool Down = Over && FixedCellPushed;
                const int HeaderState = Down ? 3 : Over ? 2 : 1;
                const RECT Part = R;
                ThemeApi().DrawThemeBackground(Theme, ACanvas->Handle(), 1, HeaderState, &Part, nullptr);
                ThemeApi().CloseThemeData(Theme);
                ACanvas->Refresh();
                ACanvas->Pen()->SetColor(clWhite);
                ACanvas->MoveTo(R.left, R.top);
                ACanvas->LineTo(R.right, R.top);
            } else {
                ACanvas->Brush()->SetColor(clBtnFace);
                ACanvas->Pen()->SetColor(clWhite);
                ACanvas->Rectangle(R.left - 1, R.top - 1, R.right + 1, R.bottom + 1);
            }
            ACanvas->Brush()->SetColor(KeepBrush);
        }

        if (ACol == 0 && FShowModified->Enabled && IsRowModified(ARow))
            FillRectColor(ACanvas, TRect{R.right - 4, R.top, R.right, R.bottom}, FShowModified->Color());

        const int KeepRight = R.right;
        if (!FixedCell) {
            if (FControlLook->DropDownAlwaysVisible() && HasComboBox(C, ARow)) {
                DrawComboButton(ACanvas, HandleAllocated() ? Handle() : nullptr, R, FXPFlag && FComCtl6);
                R.right -= 16;
            }
            if (FControlLook->SpinButtonsAlwaysVisible() && HasSpinEdit(C, ARow)) {
                DrawSpinButtons(ACanvas, HandleAllocated() ? Handle() : nullptr, R, FXPFlag && FComCtl6);
                R.right -= 16;
            }
        }

        ACanvas->Brush()->SetColor(KeepBrush);
        ACanvas->Font()->SetColor(KeepFont);
        // A cell drawer that paints the background goes under the content.
        if (IGridCellDrawer* D = CellDrawerOf(G); D && D->IsBackground()) {
            D->Draw(ACanvas, TRect{R.left - 1, R.top - 1, R.right + 1, R.bottom + 1}, C, ARow,
                    (State & gdSelected) != 0, this);
            ACanvas->Brush()->SetColor(KeepBrush);
            ACanvas->Font()->SetColor(KeepFont);
        }
        DrawCellContent(ACanvas, ACol, ARow, State, R);
        R.right = KeepRight;
        ACanvas->Brush()->SetColor(KeepBrush);
        ACanvas->Font()->SetColor(KeepFont);
        InflateRect(&R, 1, 1);

        DrawCellBorders(C, ARow, R);
        R.left -= IndicatorShift;

        if (FixedCell && !Flat)
            DrawLookEdges(ACanvas, ACol, ARow, R);

        if (C >= AllColCount() - FFixedRightCols && Flat && Look != glClassic) {
            ACanvas->Pen()->SetColor(0x808080);
            ACanvas->Pen()->SetWidth(1);
            if (HasOption(goFixedHorzLine)) {
                Line(ACanvas, R.left, R.top - 1, R.right, R.top - 1);
                Line(ACanvas, R.left, R.bottom, R.right, R.bottom);
            }
            if (HasOption(goFixedVertLine)) {
                Line(ACanvas, R.left - 1, R.top, R.left - 1, R.bottom);
                Line(ACanvas, R.right, R.top, R.right, R.bottom);
            }
        }

        if (C == 0 && ARow >= TStringGrid::FixedRows() && HasNodes() && FCellNode->ShowTree())
            DrawTreeLines(ACanvas, ARow, R);

        if (G && G->CellType != ctNone) {
            TAlignment HA = Colors.HAlign;
            DrawCellGraphic(ACanvas, R, G, C, ARow, State, HA, GW, GH);
        }

        if (OnDrawCell) {
            const TRect Inner{R.left + 1, R.top + 1, R.right - GridLineWidth(), R.bottom - GridLineWidth()};
            OnDrawCell(this, ACol, ARow, Inner, State);
        }
        if (OnCustomCellDraw)
            OnCustomCellDraw(this, ACanvas, C, ARow, State, R, false);

        if (!HideFocusRect && !HasOption(goRowSelect) && Focused()) {
            const TPoint Base = BaseCell(ACol, ARow);
            if (Base.x == Col() && Base.y == Row()) {
                TRect F = R;
                InflateRect(&F, GridLineWidth() - 1, GridLineWidth() - 1);
                F.right -= 1;
                F.bottom -= 1;
                ACanvas->Brush()->SetColor(Color());
                ACanvas->Font()->SetColor(Font()->Color());
                ACanvas->DrawFocusRect(F);
            }
        }
    } catch (const std::exception&) {
        ++FPaintFailures;
    }
}

void TProStringGrid::DrawLookEdges(TCanvas* ACanvas, int, int, TRect R)
{
    ACanvas->Pen()->SetWidth(1);
    switch (Look) {
    case glClassic: {
        RECT E = R;
        DrawEdge(ACanvas->Handle(), &E, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
        DrawEdge(ACanvas->Handle(), &E, BDR_RAISED, BF_RIGHT | BF_BOTTOM);
        ACanvas->Refresh();
        ACanvas->Pen()->SetColor(clBlack);
        Line(ACanvas, R.right - 1, R.top, R.right - 1, R.bottom);
        Line(ACanvas, R.left, R.bottom - 1, R.right, R.bottom - 1);
        break;
    }
    case glQJX:
    case glXP:
    case glSoft:
        InflateRect(&R, 1, 1);
        R.bottom -= 1;
        if (HasOption(goFixedHorzLine)) {
            ACanvas->Pen()->SetColor(Darker(FixedColor()));
            Line(ACanvas, R.left, R.bottom - 1, R.right - 1, R.bottom - 1);
            ACanvas->Pen()->SetColor(clWhite);
            Line(ACanvas, R.right, R.top + 1, R.left + 1, R.top + 1);
            Line(ACanvas, R.left + 1, R.top + 1, R.left + 1, R.bottom - 1);
        }
        if (Look == glSoft && HasOption(goFixedVertLine)) {
            ACanvas->Pen()->SetColor(Darker(FixedColor()));
            Line(ACanvas, R.right - 2, R.top, R.right - 2, R.bottom - 1);
            ACanvas->Pen()->SetColor(clWhite);
            Line(ACanvas, R.right - 1, R.top, R.right - 1, R.bottom - 1);
        }
        break;
    default:
        break;
    }
}

void TProStringGrid::DrawTreeLines(TCanvas* ACanvas, int ARow, TRect R)
{
    const int Indent = GetRowIndent(ARow);
    const int NI = FCellNode->NodeIndent();
    const int X = Indent + NI / 2 - NI + 2;
    const int Mid = (R.top + R.bottom) / 2;
    const int Level = HasCellProperties(0, ARow) ? CellProperties(0, ARow)->NodeLevel : 0;
    ACanvas->Pen()->SetColor(FCellNode->TreeColor());
    ACanvas->Pen()->SetWidth(1);
    if (Level > 0)
        Line(ACanvas, X, Mid, FCellNode->ShowTreeFull() ? Indent + R.right : Indent + 4, Mid);
    const int Next = ARow + 1;
    const bool NextExists = Next < RowCount() - FFixedFooters;
    const int NextLevel = NextExists && HasCellProperties(0, Next) ? CellProperties(0, Next)->NodeLevel : 0;
    if (!IsNodeRow(ARow)) {
        const bool Continues = NextExists && HasCellProperties(0, Next) && NextLevel >= Level;
        Line(ACanvas, X, R.top, X, Continues ? R.bottom + 4 : Mid);
    }
    if (HasCellProperties(0, ARow)) {
        for (int i = 1; i <= Level; ++i) {
            const int Xi = X - i * NI;
            if (NextExists && NextLevel > 0)
                Line(ACanvas, Xi, R.top, Xi, R.bottom + 4);
            else
                Line(ACanvas, Xi, R.top, Xi, Mid);
            if (i < Level)
                Line(ACanvas, Xi, Mid, Xi + NI, Mid);
        }
    }
    ACanvas->Pen()->SetStyle(TPenStyle::psSolid);
}

// ---------------------------------------------------------------------------
// The content layer

void TProStringGrid::DrawCellBackground(TCanvas* ACanvas, int ACol, int ARow, TRect R)
{
    TBitmap* Bmp = FBackGround->Bitmap();
    const bool Fixed = ACol < TStringGrid::FixedCols() || ARow < TStringGrid::FixedRows();
    const TBackGroundCells Cells = FBackGround->Cells();
    if ((Cells == bcNormal && Fixed) || (Cells == bcFixed && !Fixed))
        return;
    const TBackGroundDisplay D = FBackGround->Display();
    if (D == bdGradientHorz || D == bdGradientVert) {
        // This cell's share of one gradient over the whole client area.
        const TRect Client = ClientRect();
        const bool Horz = D == bdGradientHorz;
        const int Span = Horz ? Client.right : Client.bottom;
        const int A = Horz ? R.left : R.top;
        const int B = Horz ? R.right : R.bottom;
        const TColor From = BlendColorAt(FBackGround->Color(), FBackGround->ColorTo(), 0, A, Span);
        const TColor To = BlendColorAt(FBackGround->Color(), FBackGround->ColorTo(), 0, B, Span);
        DrawGradientRect(ACanvas, From, To, Horz, R, std::max(1, (B - A) / 2));
        return;
    }
    if (Bmp->Empty())
        return;
    const int BW = Bmp->Width(), BH = Bmp->Height();
    // The picture, or each tile, is drawn whole and clipped to the cell:
    // in a mirrored grid every one then shows the right way round at its
    // mirrored place, the cells' parts fitting together.
    HRGN Clip = CreateRectRgn(R.left, R.top, R.right, R.bottom);
    HDC DC = ACanvas->Handle();
    const int Saved = SaveDC(DC);
    ExtSelectClipRgn(DC, Clip, RGN_AND);
    if (D == bdFixed) {
        const int X = FBackGround->Left(), Y = FBackGround->Top();
        const TDCUnmirroredSpan Upright(ACanvas, true, X, BW);
        ACanvas->CopyRect(TRect{X, Y, X + BW, Y + BH}, Bmp->Canvas(), TRect{0, 0, BW, BH});
    } else {
        // Tiled: the tiling starts at the first (normal) column and row.
        const int FirstCol = Cells == bcNormal ? TStringGrid::FixedCols() : 0;
        const int FirstRow = Cells == bcNormal ? TStringGrid::FixedRows() : 0;
        const int Ox = (ACol > FirstCol ? SumColWidths(FirstCol, ACol - 1) + (ACol - FirstCol) * GridLineWidth() : 0)
            % BW;
        const int Oy = (ARow > FirstRow ? SumRowHeights(FirstRow, ARow - 1) + (ARow - FirstRow) * GridLineWidth() : 0)
            % BH;
        for (int Y = R.top - Oy; Y < R.bottom; Y += BH)
            for (int X = R.left - Ox; X < R.right; X += BW) {
                const TDCUnmirroredSpan Upright(ACanvas, true, X, BW);
                ACanvas->CopyRect(TRect{X, Y, X + BW, Y + BH}, Bmp->Canvas(), TRect{0, 0, BW, BH});
            }
    }
    RestoreDC(DC, Saved);
    DeleteObject(Clip);
    ACanvas->Refresh();
}

void TProStringGrid::DrawCellContent(TCanvas* ACanvas, int ACol, int ARow, TGridDrawState AState, TRect& R)
{
    const int C = DisplayToRealCol(ACol);
    const TColor KeepBrush = ACanvas->Brush()->Color();
    const TColor KeepFont = ACanvas->Font()->Color();
    const bool Fixed = (AState & gdFixed) != 0 || ACol < TStringGrid::FixedCols() || ARow < TStringGrid::FixedRows();
    const bool RowSel = HasOption(goRowSelect) && IsCellSelected(ACol, ARow);
    const bool Focus = (AState & gdFocused) != 0;
    const bool ShownSelected = ((AState & gdSelected) || RowSel) && (!Focus || HasOption(goDrawFocusSelected)) && !Fixed;
    if (ShownSelected) {
        if (ShowSelection) {
            if (SelectionColor != clNone)
                ACanvas->Brush()->SetColor(SelectionColor);
            if (SelectionTextColor != clNone)
                ACanvas->Font()->SetColor(SelectionTextColor);
        } else if (!Focused() || IsCheckBoxType(GetCellType(C, ARow))) {
            ACanvas->Brush()->SetColor(KeepBrush);
            ACanvas->Font()->SetColor(KeepFont);
        }
    }

    // (The display text, its formula value and the password mask are
    // taken by the text layer below, which draws them.)

    if (ARow == 0 && HasFixedDropDown(C, ARow))
        DrawResourceGlyph(ACanvas, FixedColor(), TRect{R.right - 16, R.top, R.right, R.bottom}, "PSGFILT");

    // In a disjunct row (column) selection only the listed rows (columns)
    // are shown selected: the others lose the colours of the range selection.
    bool DisjunctUnselected = false;
    if (!Fixed && FMouseActions->DisjunctRowSelect()) {
        const int SR = FMouseActions->RowSelectPersistent ? DisplayToRealRow(ARow) : ARow;
        DisjunctUnselected = !IsRowSelected(SR);
    } else if (!Fixed && FMouseActions->DisjunctColSelect()) {
        DisjunctUnselected = !IsColSelected(C);
    }
    if (DisjunctUnselected) {
        ACanvas->Brush()->SetColor(Color());
        ACanvas->Font()->SetColor(Font()->Color());
        TGridDrawState Plain = AState & ~static_cast<TGridDrawState>(gdSelected);
        ApplyCellFontAndColor(ACol, ARow, ACanvas->Font(), ACanvas->Brush(), Plain);
    }

    const TCellProperties* Props = CellProperties(ACol, ARow);
    const TCellType T = GetCellType(C, ARow);
    const bool OwnColour = Props && Props->BrushColor() != clNone;
    const bool InSelectionColour = ShowSelection && ShownSelected && !DisjunctUnselected;
    if (!InSelectionColour) {
        const TBackGroundDisplay D = FBackGround->Display();
        const bool Gradient = D == bdGradientHorz || D == bdGradientVert;
        if (Gradient && (!OwnColour || IsCheckBoxType(T) || T == ctRadio || T == ctButton))
            DrawCellBackground(ACanvas, ACol, ARow, TRect{R.left - 1, R.top - 1, R.right + 1, R.bottom + 1});
        else if (!Gradient && !FBackGround->Bitmap()->Empty() && !OwnColour)
            DrawCellBackground(ACanvas, ACol, ARow, TRect{R.left - 1, R.top - 1, R.right + 1, R.bottom + 1});
    }

    if (SelectionRectangle && !Fixed) {
        const TGridRect S = Selection();
        if (ACol >= S.Left && ACol <= S.Right && ARow >= S.Top && ARow <= S.Bottom) {
            TRect O{R.left - 1, R.top - 1, R.right + 1, R.bottom + 1};
            ACanvas->Pen()->SetColor(clBlack);
            ACanvas->Pen()->SetWidth(2);
            if (ACol == S.Left)
                Line(ACanvas, O.left + 1, O.top, O.left + 1, O.bottom);
            if (ACol == S.Right)
                Line(ACanvas, O.right - 1, O.top, O.right - 1, O.bottom);
            if (ARow == S.Top)
                Line(ACanvas, O.left, O.top + 1, O.right, O.top + 1);
            if (ARow == S.Bottom)
                Line(ACanvas, O.left, O.bottom - 1, O.right, O.bottom - 1);
            ACanvas->Pen()->SetWidth(1);
            if (SelectionResizer && ACol == S.Right && ARow == S.Bottom)
                FillRectColor(ACanvas, TRect{O.right - 4, O.bottom - 4, O.right, O.bottom}, clBlack);
        }
    }

    TCellVAlign GVA;
    TCellHAlign GHA;
    bool TextVisible = true;
    int GH = 0, GW = 0;
    TCellGraphic* G = GetCellGraphicInfo(C, ARow, GVA, GHA, TextVisible, GH, GW);
    FTextWidth = 0;
    if (TextVisible) {
        TAlignment HA = taLeftJustify;
        TVAlignment VA = VAlignment;
        GetCellAlignment(C, ARow, HA, VA);
        bool Wrap = Props ? Props->WordWrap() : FWordWrap;
        DoGetWordWrap(C, ARow, Wrap);
        ACanvas->Brush()->SetStyle(TBrushStyle::bsClear);
        DrawCellText(ACanvas, ACol, ARow, AState, R, HA, VA, Wrap, G, GW, GH);
        ACanvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    }
}

// ---------------------------------------------------------------------------
// Custom borders

void TProStringGrid::GetCellBorder(int ACol, int ARow, TPen* APen, unsigned& Borders)
{
    if (OnGetCellBorder)
        OnGetCellBorder(this, ARow, ACol, APen, Borders);
}

bool TProStringGrid::IsPasswordCell(int ACol, int ARow)
{
    bool IsPassword = false;
    DoIsPasswordCell(ACol, ARow, IsPassword);
    return IsPassword;
}

void TProStringGrid::DrawCellBorders(int ACol, int ARow, TRect Rect)
{
    if (!OnGetCellBorder && !OnGetCellBorderProp)
        return;
    TCanvas* Cv = Canvas();
    TPen Keep;
    Keep.Assign(Cv->Pen());
    unsigned Borders = 0;
    GetCellBorder(ACol, ARow, Cv->Pen(), Borders);
    TPen LeftPen, TopPen, RightPen, BottomPen;
    LeftPen.Assign(Cv->Pen());
    TopPen.Assign(Cv->Pen());
    RightPen.Assign(Cv->Pen());
    BottomPen.Assign(Cv->Pen());
    if (OnGetCellBorderProp)
        OnGetCellBorderProp(this, ARow, ACol, &LeftPen, &TopPen, &RightPen, &BottomPen);
    const int Half = (Cv->Pen()->Width() + 1) / 2;
    if (HasOption(goVertLine)) {
        Rect.left += Half;
        Rect.right -= Half;
    }
    if (HasOption(goHorzLine)) {
        Rect.top += Half;
        Rect.bottom -= Half;
    }
    const int LW = GridLineWidth();
    if (Borders & CellBorderBit(cbLeft)) {
        Cv->SetPen(&LeftPen);
        Line(Cv, Rect.left, Rect.top, Rect.left, Rect.bottom);
    }
    if (Borders & CellBorderBit(cbRight)) {
        Cv->SetPen(&RightPen);
        Line(Cv, Rect.right - 1, Rect.top, Rect.right - 1, Rect.bottom);
    }
    if (Borders & CellBorderBit(cbTop)) {
        Cv->SetPen(&TopPen);
        const int Y = LW == 0 ? Rect.top + 1 : Rect.top - LW;
        Line(Cv, Rect.left, Y, Rect.right, Y);
    }
    if (Borders & CellBorderBit(cbBottom)) {
        Cv->SetPen(&BottomPen);
        Line(Cv, Rect.left - LW - 1, Rect.bottom - 1, Rect.right, Rect.bottom - 1);
    }
    Cv->SetPen(&Keep);
}

// ---------------------------------------------------------------------------
// Sort glyph

void TProStringGrid::DrawSortGlyph(TCanvas* ACanvas, int ACol, int X, int Y)
{
    TSortSettings* S = FSortSettings.get();
    const int C = DisplayToRealCol(ACol);
    const int Index = FSortIndexes->FindSortColumn(C);
    if (S->IndexShow && Index >= 0) {
        ACanvas->Brush()->SetColor(S->IndexColor);
        ACanvas->Pen()->SetColor(clBlack);
        const bool Ascending = (static_cast<unsigned>(FSortIndexes->GetInteger(Index)) & 0x80000000u) != 0;
        const String Number = std::to_string(Index + 1);
        if (Ascending) {
            if (S->IndexUpGlyph()->Empty() || S->IndexDownGlyph()->Empty()) {
                ACanvas->Polygon({TPoint{X - 7, Y - 5}, TPoint{X + 7, Y - 5}, TPoint{X, Y + 8}});
            } else {
                const TDCUnmirroredSpan Upright(ACanvas, true, X - 7, S->IndexUpGlyph()->Width());
                ACanvas->Draw(X - 7, Y - 7, S->IndexUpGlyph());
            }
        } else {
            if (S->IndexUpGlyph()->Empty() || S->IndexDownGlyph()->Empty()) {
                ACanvas->Polygon({TPoint{X - 6, Y + 8}, TPoint{X + 6, Y + 8}, TPoint{X, Y - 4}});
            } else {
                const TDCUnmirroredSpan Upright(ACanvas, true, X - 7, S->IndexDownGlyph()->Width());
                ACanvas->Draw(X - 7, Y - 7, S->IndexDownGlyph());
            }
        }
        ACanvas->Brush()->SetStyle(TBrushStyle::bsClear);
        ACanvas->Font()->SetColor(clBlack);
        ACanvas->Font()->SetSize(6);
        ACanvas->TextOut(X - 2, Ascending ? Y - 4 : Y - 2, Number);
        ACanvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        return;
    }
    const bool Glyphs = !S->UpGlyph()->Empty() && !S->DownGlyph()->Empty();
    ACanvas->Pen()->SetWidth(1);
    if (S->Direction == sdDescending) {
        if (!Glyphs) {
            ACanvas->Pen()->SetColor(clWhite);
            ACanvas->MoveTo(X + 4, Y - 4);
            ACanvas->LineTo(X, Y + 4);
            ACanvas->Pen()->SetColor(0x808080);
            ACanvas->LineTo(X - 4, Y - 4);
            ACanvas->LineTo(X + 4, Y - 4);
        } else {
            S->DownGlyph()->SetTransparent(true);
            {
                const TDCUnmirroredSpan Upright(ACanvas, true, X - 4, S->DownGlyph()->Width());
                ACanvas->Draw(X - 4, Y - 4, S->DownGlyph());
            }
            ACanvas->Brush()->SetColor(FixedColor());
        }
    } else {
        if (!Glyphs) {
            ACanvas->Pen()->SetColor(clWhite);
            ACanvas->MoveTo(X - 4, Y + 4);
            ACanvas->LineTo(X + 4, Y + 4);
            ACanvas->LineTo(X, Y - 4);
            ACanvas->Pen()->SetColor(0x808080);
            ACanvas->LineTo(X - 4, Y + 4);
        } else {
            S->UpGlyph()->SetTransparent(true);
            {
                const TDCUnmirroredSpan Upright(ACanvas, true, X - 4, S->UpGlyph()->Width());
                ACanvas->Draw(X - 4, Y - 4, S->UpGlyph());
            }
        }
    }
}
