// Cell graphics: the placement of a cell's graphic, painting by cell type,
// check boxes and radio groups in every control style, tree nodes, and the
// size a graphic adds for auto-sizing.

#include <algorithm>
#include <cmath>

#include "framework/Graphic.h"
#include "framework/ImageList.h"
#include "grid/core/GridDrawing.h"
#include "grid/core/ProGrid.h"
#include "visuals/ProXPVS.h"

namespace {

const TCellGraphicColors& ColorsOf(const TCellGraphic* G)
{
    static const TCellGraphicColors Defaults;
    const auto* C = G ? dynamic_cast<const TCellGraphicColors*>(G->CellBitmap) : nullptr;
    return C ? *C : Defaults;
}

TColor Invert(TColor C) { return static_cast<TColor>(ColorToRGB(C) ^ 0xFFFFFF); }

// A themed part when the theme is there; false when it is not, so the caller
// draws the classic look instead.
bool DrawThemed(HWND Wnd, HDC DC, const wchar_t* Class, int Part, int State, RECT R)
{
    if (!ThemesAvailable())
        return false;
    const TProThemeSlots& Api = ThemeApi();
    HTHEME Theme = Api.OpenThemeData(Wnd, Class);
    if (!Theme)
        return false;
    Api.DrawThemeBackground(Theme, DC, Part, State, &R, nullptr);
    Api.CloseThemeData(Theme);
    return true;
}

// The picture of a ctIcon or ctPicture cell's object: a holder or a
// graphic itself.
TGraphic* GraphicOf(TObject* Obj)
{
    if (auto* P = dynamic_cast<TPicture*>(Obj))
        return P->Graphic();
    return dynamic_cast<TGraphic*>(Obj);
}

} // namespace

// ---------------------------------------------------------------------------
// Information and placement

TCellGraphic* TProStringGrid::GetCellGraphicInfo(int ACol, int ARow, TCellVAlign& VAlign, TCellHAlign& HAlign,
                                                 bool& TextVisible, int& Height, int& Width)
{
    VAlign = vaTop;
    HAlign = haLeft;
    TextVisible = true;
    Height = Width = 0;
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G)
        return nullptr;
    VAlign = G->CellVAlign;
    HAlign = G->CellHAlign;
    switch (G->CellType) {
    case ctBitmap:
        if (auto* B = dynamic_cast<TBitmap*>(G->CellBitmap)) {
            Width = B->Width();
            Height = B->Height();
        }
        break;
    case ctIcon:
        if (TGraphic* I = GraphicOf(G->CellIcon)) {
            Width = I->Width();
            Height = I->Height();
        }
        break;
    case ctImageList:
    case ctDataImage:
        if (GridImages) {
            Width = GridImages->Width();
            Height = GridImages->Height();
        }
        break;
    case ctImages:
        if (auto* L = dynamic_cast<TIntList*>(G->CellBitmap); L && GridImages) {
            Width = GridImages->Width() * (G->CellBoolean ? L->Count() : 1);
            Height = GridImages->Height() * (G->CellBoolean ? 1 : L->Count());
        }
        break;
    case ctPicture:
    case ctFilePicture: {
        int PW = 0, PH = 0;
        if (G->CellType == ctPicture) {
            if (TGraphic* P = GraphicOf(G->CellBitmap)) {
                PW = P->Width();
                PH = P->Height();
            }
        } else if (auto* F = dynamic_cast<TFilePicture*>(G->CellBitmap)) {
            PW = F->Width();
            PH = F->Height();
        }
        // The size the picture takes in this cell by its stretch mode.
        const TPoint S = G->GetPictureSize(ColWidths(ACol), RowHeights(ARow), PW, PH);
        Width = std::max<int>(0, S.x);
        Height = std::max<int>(0, S.y);
        break;
    }
    case ctInterface:
        if (IGridCellDrawer* D = CellDrawerOf(G)) {
            Width = D->GetWidth();
            Height = D->GetHeight();
        }
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
        Width = Height = FControlLook->CheckSize();
        break;
    case ctButton:
    case ctBitButton:
        Width = G->CellIndex & 0xFFFF;
        Height = (G->CellIndex >> 16) & 0xFFFF;
        break;
    case ctProgressPie:
        Width = Height = 20;
        break;
    default:
        break;
    }
    switch (G->CellType) {
    case ctDataImage:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctRotated:
    case ctRadio:
    case ctProgress:
    case ctRangeIndicator:
    case ctXPProgress:
        TextVisible = false;
        break;
    default:
        break;
    }
    return G;
}

TRect TProStringGrid::PlaceGraphic(TRect R, TCellHAlign HA, TCellVAlign VA, TAlignment TextAlign, int W, int H, int T)
{
    const int RW = R.right - R.left, RH = R.bottom - R.top;
    TRect P = R;
    switch (HA) {
    case haLeft: P.left = R.left + 1; break;
    case haRight: P.left = R.right - 1 - W; break;
    case haCenter: P.left = W < RW ? R.left + (RW - W) / 2 : R.left + 1; break;
    case haBeforeText:
        if (TextAlign == taLeftJustify)
            P.left = R.left + 1;
        else if (TextAlign == taRightJustify)
            P.left = R.right - T - W;
        else
            P.left = std::max(R.left + 1, R.left + (RW - T - W) / 2);
        break;
    case haAfterText:
        if (TextAlign == taLeftJustify)
            P.left = R.left + T;
        else if (TextAlign == taRightJustify)
            P.left = R.right - W - 1;
        else
            P.left = R.left + T + (RW - T - W) / 2;
        break;
    case haFull: break;
    }
    if (HA != haFull)
        P.right = P.left + W;
    switch (VA) {
    case vaTop:
    case vaAboveText: P.top = R.top + 1; break;
    case vaBottom: P.top = R.bottom - 1 - H; break;
    case vaCenter: P.top = H < RH ? R.top + (RH - H) / 2 : R.top + 1; break;
    case vaUnderText: P.top = R.bottom - H; break;
    case vaFull: break;
    }
    if (VA != vaFull)
        P.bottom = P.top + H;
    return P;
}

// ---------------------------------------------------------------------------
// Painting by cell type

void TProStringGrid::DrawCellGraphic(TCanvas* ACanvas, TRect R, TCellGraphic* G, int ACol, int ARow,
                                     TGridDrawState AState, TAlignment TextAlign, int GW, int GH)
{
    const TCellType T = G->CellType;
    if (T == ctNode) {
        DrawNode(ACanvas, R, ARow);
        return;
    }
    const bool Bars = T == ctProgress || T == ctRangeIndicator || T == ctXPProgress;
    if (!Bars)
        InflateRect(&R, -1, -1);
    const int TW = FTextWidth;
    const bool Selected = (AState & gdSelected) != 0;
    TCellVAlign VA = G->CellVAlign;
    if (IsCheckBoxType(T) && HasCellProperties(ACol, ARow)) {
        const TVAlignment CV = CellProperties(ACol, ARow)->VAlignment();
        if (CV != VAlignment)
            VA = CV == vtaTop ? vaTop : CV == vtaCenter ? vaCenter : vaBottom;
    }
    switch (T) {
    case ctBitmap: {
        auto* B = dynamic_cast<TBitmap*>(G->CellBitmap);
        if (!B || B->Empty())
            break;
        const TRect P = PlaceGraphic(R, G->CellHAlign, VA, TextAlign, GW, GH, TW);
        if (G->CellTransparent) {
            const TColor Back = ShowSelection && Selected ? SelectionColor : ACanvas->Brush()->Color();
            DrawGlyphOnColor(ACanvas, B, Back, P);
        } else {
            const TDCUnmirroredSpan Upright(ACanvas, true, P.left, B->Width());
            ACanvas->Draw(P.left, P.top, B);
        }
        break;
    }
    case ctIcon:
        if (TGraphic* I = GraphicOf(G->CellIcon); I && !I->Empty()) {
            const TRect P = PlaceGraphic(R, G->CellHAlign, VA, TextAlign, GW, GH, TW);
            const TDCUnmirroredSpan Upright(ACanvas, true, P.left, I->Width());
            I->Draw(ACanvas, TRect{P.left, P.top, P.left + I->Width(), P.top + I->Height()});
        }
        break;
    case ctImages:
        if (auto* L = dynamic_cast<TIntList*>(G->CellBitmap); L && GridImages) {
            const TRect P = PlaceGraphic(R, G->CellHAlign, VA, TextAlign, GW, GH, TW);
            int X = P.left;
            int Y = P.top;
            for (int I = 0; I < L->Count(); ++I) {
                const int Index = L->GetInteger(I);
                if (Index >= 0 && Index < GridImages->Count()) {
                    const TDCUnmirroredSpan Upright(ACanvas, true, X, GridImages->Width());
                    GridImages->Draw(ACanvas, X, Y, Index);
                }
                if (G->CellBoolean)
                    X += GridImages->Width();
                else
                    Y += GridImages->Height();
            }
        }
        break;
    case ctPicture:
        if (TGraphic* Pic = GraphicOf(G->CellBitmap); Pic && !Pic->Empty()) {
            const TRect P = PlaceGraphic(R, G->CellHAlign, VA, TextAlign, GW, GH, TW);
            const TDCUnmirroredSpan Upright(ACanvas, true, P.left, (G->CellAngle & 0xFF) != 0 ? GW : Pic->Width());
            if ((G->CellAngle & 0xFF) != 0)
                Pic->Draw(ACanvas, TRect{P.left, P.top, P.left + GW, P.top + GH});
            else
                Pic->Draw(ACanvas, TRect{P.left, P.top, P.left + Pic->Width(), P.top + Pic->Height()});
        }
        break;
    case ctFilePicture:
        if (auto* F = dynamic_cast<TFilePicture*>(G->CellBitmap)) {
            const TRect P = PlaceGraphic(R, G->CellHAlign, VA, TextAlign, GW, GH, TW);
            const TDCUnmirroredSpan Upright(ACanvas, true, P.left, GW);
            F->Draw(ACanvas, TRect{P.left, P.top, P.left + GW, P.top + GH});
        }
        break;
    case ctInterface:
        // A background drawer painted before the content.
        if (IGridCellDrawer* D = CellDrawerOf(G); D && !D->IsBackground())
            D->Draw(ACanvas, TRect{R.left - 1, R.top - 1, R.right, R.bottom}, ACol, ARow, Selected, this);
        break;
    case ctImageList:
    case ctDataImage:
        if (GridImages) {
            int Index = G->CellIndex;
            if (T == ctDataImage)
                Index = GetCellInt(ACol, ARow) + G->CellIndex;
            if (Index >= 0 && Index < GridImages->Count()) {
                const TRect P = PlaceGraphic(R, G->CellHAlign, VA, TextAlign, GW, GH, TW);
                const TDCUnmirroredSpan Upright(ACanvas, true, P.left, GridImages->Width());
                GridImages->Draw(ACanvas, P.left, P.top, Index);
            }
        }
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox: {
        const int W = FControlLook->CheckSize();
        const int RW = std::max(0, static_cast<int>(R.right - R.left));
        int X;
        if (TextAlign == taRightJustify)
            X = T == ctCheckBox ? R.right - TW - W - 1 : R.right - W - 1;
        else if (TextAlign == taCenter)
            X = T == ctCheckBox && TW > 0 ? R.left + (RW - TW) / 2 - W : R.left + (RW - W) / 2;
        else
            X = R.left + 1;
        X = std::max<int>(X, R.left + 1);
        const TRect P = PlaceGraphic(R, haLeft, VA, TextAlign, W, W, 0);
        bool Checked = G->CellBoolean;
        if (T == ctDataCheckBox || T == ctVirtCheckBox) {
            String True;
            GetCheckTrue(ACol, ARow, True);
            if (True.empty())
                True = CheckTrue;
            Checked = ReadCellText(ACol, ARow) == True;
        }
        const bool Enabled = CanEditCell(ACol, ARow, true);
        DrawCheckGlyph(ACanvas, TRect{X, P.top, X + W, P.top + W}, Checked, Enabled, FControlLook->ControlStyle());
        break;
    }
    case ctRotated: {
        TAlignment HA = taLeftJustify;
        TVAlignment VAl = VAlignment;
        GetCellAlignment(ACol, ARow, HA, VAl);
        ACanvas->Brush()->SetStyle(TBrushStyle::bsClear);
        DrawRotatedText(ACanvas, R, G->CellAngle, VAl, HA, ReadCellText(ACol, ARow));
        ACanvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        break;
    }
    case ctRadio: {
        auto* Items = dynamic_cast<TStrings*>(G->CellBitmap);
        if (Items)
            DrawRadioGroup(ACanvas, R, false, 1.0, FControlLook->ControlStyle(), ARow, ACol, Selected, Items,
                           !CanEditCell(ACol, ARow, true), G->CellBoolean, G->CellIndex);
        break;
    }
    case ctProgress: {
        const double Value = GetCellFloat(ACol, ARow);
        const TCellGraphicColors& GC = ColorsOf(G);
        TRect P = R;
        if ((FControlLook->ControlStyle() == csWinXP || FControlLook->ControlStyle() == csTheme) && FXPFlag
            && FControlLook->ProgressXP() && HandleAllocated()) {
            InflateRect(&P, -FControlLook->ProgressMarginX(), -FControlLook->ProgressMarginY());
            if (DrawThemed(Handle(), ACanvas->Handle(), L"Progress", 1, 1, P)) {
                InflateRect(&P, -2, -2);
                const double V = std::clamp(Value, 0.0, 100.0);
                P.right = P.left + static_cast<int>(V * (P.right - P.left) / 100);
                DrawThemed(Handle(), ACanvas->Handle(), L"Progress", 3, 1, P);
                ACanvas->Refresh();
                break;
            }
        }
        InflateRect(&P, -2, -2);
        const TColor TextC = G->CellBoolean ? GC.TextColor : Invert(GC.Color);
        const TColor TextTo = G->CellBoolean ? GC.TextColorTo : Invert(GC.ColorTo);
        DrawProgressBar(ACanvas, P, GC.Color, false, FControlLook->ProgressBorderColor(), "", 100, 0,
                        FControlLook->ProgressMarginY(), FControlLook->ProgressMarginX(), Value, TextTo, GC.ColorTo,
                        TextC);
        break;
    }
    case ctComment:
        if (FControlLook->CommentColor() != clNone) {
            const auto* Own = dynamic_cast<const TCellGraphicColors*>(G->CellBitmap);
            const TColor C = Own && Own->Color != clNone ? Own->Color : FControlLook->CommentColor();
            ACanvas->Brush()->SetColor(C);
            ACanvas->Pen()->SetColor(C);
            ACanvas->Polygon({TPoint{R.right - 7, R.top + 1}, TPoint{R.right - 2, R.top + 1},
                              TPoint{R.right - 2, R.top + 6}});
            ACanvas->Brush()->SetColor(Color());
        }
        break;
    case ctButton:
    case ctBitButton: {
        const int W = G->CellIndex & 0xFFFF, H = (G->CellIndex >> 16) & 0xFFFF;
        TRect P = PlaceGraphic(R, G->CellHAlign, VA, TextAlign, W, H, TW);
        const TRect Cell = MirroredRect(CellRect(RealToDisplayCol(ACol), ARow));
        G->CellValue = static_cast<double>(((P.top - Cell.top) << 16) | ((P.left - Cell.left) & 0xFFFF));
        const bool Enabled = FControlLook->NoDisabledButtonLook() || CanEditCell(ACol, ARow, true);
        const bool Down = G->CellBoolean;
        bool Done = false;
        if (FXPFlag && HandleAllocated())
            Done = DrawThemed(Handle(), ACanvas->Handle(), L"button", 1, !Enabled ? 4 : Down ? 3 : 1, P);
        if (!Done) {
            RECT F = P;
            UINT S = DFCS_BUTTONPUSH | (FControlLook->FlatButton() ? DFCS_FLAT : 0) | (Down ? DFCS_PUSHED : 0)
                | (Enabled ? 0 : DFCS_INACTIVE);
            DrawFrameControl(ACanvas->Handle(), &F, DFC_BUTTON, S);
        }
        ACanvas->Refresh();
        InflateRect(&P, Down ? -3 : -2, Down ? -3 : -2);
        ACanvas->Brush()->SetStyle(TBrushStyle::bsClear);
        ACanvas->Font()->SetColor(Enabled ? clBtnText : clGrayText);
        ACanvas->DrawTextRect(G->CellText, P, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        ACanvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        break;
    }
    case ctProgressPie: {
        const TRect P = PlaceGraphic(R, G->CellHAlign, VA, TextAlign, 20, 20, TW);
        DrawProgressPie(ACanvas, P, ColorsOf(G).Color, false, G->CellValue);
        break;
    }
    case ctRangeIndicator: {
        TRect P = R;
        InflateRect(&P, -FControlLook->ProgressMarginX(), -FControlLook->ProgressMarginY());
        DrawRangeIndicator(ACanvas, P, GetCellInt(ACol, ARow), clGreen, clRed, true, std::max(1, G->CellIndex));
        break;
    }
    case ctXPProgress: {
        TRect P = R;
        InflateRect(&P, -FControlLook->ProgressMarginX(), -FControlLook->ProgressMarginY());
        P.right -= 1;
        P.bottom -= 1;
        TLevelProgressAppearance A;
        FProgressAppearance->Fill(A);
        if (A.UnCompleteColor == clNone)
            A.UnCompleteColor = ACanvas->Brush()->Color();
        ACanvas->Font()->SetColor(FProgressAppearance->CompleteFontColor());
        // The graphic's limits: CellIndex the minimum, CellAngle the maximum
        // (0 meaning 100); an empty range shows 0 %. The value counts from the
        // minimum, so the minimum itself shows 0 % and the maximum 100 %.
        const int Min = G->CellIndex;
        const int Max = G->CellAngle != 0 ? G->CellAngle : 100;
        const int Range = Max - Min;
        const int Perc =
            Range == 0 ? 0 : static_cast<int>(std::lround((GetCellInt(ACol, ARow) - Min) * 100.0 / Range));
        DrawLevelProgressBar(ACanvas, P, std::clamp(Perc, 0, 100), A);
        break;
    }
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Check boxes and radio buttons

void TProStringGrid::DrawCheckGlyph(TCanvas* ACanvas, TRect R, bool Checked, bool Enabled, TGridControlStyle Style)
{
    if (FControlLook->NoDisabledCheckRadioLook() || FControlLook->CheckAlwaysActive())
        Enabled = true;
    if (Style == csTheme && !FXPFlag)
        Style = csClassic;
    const int S = FControlLook->CheckSize();
    const TColor Back = ACanvas->Brush()->Color();
    switch (Style) {
    case csClassic:
    case csFlat: {
        RECT B{R.left + (R.right - R.left - S) / 2, R.top + (R.bottom - R.top - S) / 2, 0, 0};
        B.right = B.left + S;
        B.bottom = B.top + S;
        UINT St = DFCS_BUTTONCHECK | (Checked ? DFCS_CHECKED : 0) | (Style == csFlat ? DFCS_FLAT : 0)
            | (Enabled ? 0 : DFCS_INACTIVE);
        DrawFrameControl(ACanvas->Handle(), &B, DFC_BUTTON, St);
        ACanvas->Refresh();
        break;
    }
    case csWinXP:
        DrawResourceGlyph(ACanvas, Back, R, Checked ? (Enabled ? "PSGCHK05" : "PSGCHK07") : (Enabled ? "PSGCHK06" : "PSGCHK08"));
        break;
    case csQJX:
        DrawResourceGlyph(ACanvas, Back, R, Checked ? (Enabled ? "PSGCHK01" : "PSGCHK03") : (Enabled ? "PSGCHK02" : "PSGCHK04"));
        break;
    case csOstrune: {
        ACanvas->Brush()->SetColor(Enabled ? clBtnFace : clBtnShadow);
        ACanvas->Pen()->SetColor(clBtnFace);
        ACanvas->Rectangle(R);
        ACanvas->Pen()->SetColor(clBtnHighlight);
        ACanvas->MoveTo(R.left, R.bottom - 1);
        ACanvas->LineTo(R.left, R.top);
        ACanvas->LineTo(R.right - 1, R.top);
        ACanvas->Pen()->SetColor(clBtnShadow);
        ACanvas->LineTo(R.right - 1, R.bottom - 1);
        ACanvas->LineTo(R.left, R.bottom - 1);
        if (Checked) {
            ACanvas->Pen()->SetColor(Enabled ? FControlLook->Color() : 0x808080);
            const int Mid = (R.top + R.bottom) / 2;
            for (int i = 2; i <= 3; ++i) {
                ACanvas->MoveTo(R.left + i, Mid);
                ACanvas->LineTo(R.left + i, R.bottom - 3);
            }
            ACanvas->MoveTo(R.left + 2, R.bottom - 3);
            ACanvas->LineTo(R.right - 2, R.top + 3);
            ACanvas->MoveTo(R.left + 3, R.bottom - 3);
            ACanvas->LineTo(R.right - 1, R.top + 3);
        }
        ACanvas->Brush()->SetColor(Back);
        break;
    }
    case csGlyph: {
        TBitmap* B = Checked ? FControlLook->CheckedGlyph() : FControlLook->UnCheckedGlyph();
        if (!B->Empty())
            DrawGlyphOnColor(ACanvas, B, Back, R);
        break;
    }
    case csTheme: {
        RECT B{R.left, R.top, R.left + S, R.top + S};
        const int State = Checked ? (Enabled ? 5 : 8) : (Enabled ? 1 : 4);
        if (!DrawThemed(HandleAllocated() ? Handle() : nullptr, ACanvas->Handle(), L"button", 3, State, B)) {
            UINT St = DFCS_BUTTONCHECK | (Checked ? DFCS_CHECKED : 0) | (Enabled ? 0 : DFCS_INACTIVE);
            DrawFrameControl(ACanvas->Handle(), &B, DFC_BUTTON, St);
        }
        ACanvas->Refresh();
        break;
    }
    }
}

void TProStringGrid::DrawRadioGroup(TCanvas* ACanvas, TRect R, bool Reverse, double, TGridControlStyle Style, int ARow,
                                    int ACol, bool Selected, TStrings* Items, bool Disabled, bool Horizontal, int Index)
{
    if (FControlLook->NoDisabledCheckRadioLook() || FControlLook->RadioAlwaysActive())
        Disabled = false;
    if (Style == csTheme && !FXPFlag)
        Style = csClassic;
    const bool Classic = Style == csClassic || Style == csFlat;
    const int RS = FControlLook->RadioSize();
    const int S = Classic ? RS : 16;
    const TColor Back = ACanvas->Brush()->Color();
    const String CellText = ReadCellText(ACol, ARow);
    ACanvas->Brush()->SetStyle(TBrushStyle::bsClear);
    if (Selected && ShowSelection && SelectionTextColor != clNone)
        ACanvas->Font()->SetColor(SelectionTextColor);
    const int LineH = Classic ? ACanvas->TextHeight("gh") : std::max(16, ACanvas->TextHeight("gh"));
    const bool BitmapStyle = Style == csWinXP || Style == csQJX || Style == csGlyph;

    auto Button = [&](int X, int Y, bool On) {
        switch (Style) {
        case csClassic:
        case csFlat: {
            const int Size = Style == csFlat ? RS + 2 : RS;
            RECT B{X, Y, X + Size, Y + Size};
            DrawFrameControl(ACanvas->Handle(), &B, DFC_BUTTON,
                             DFCS_BUTTONRADIO | (On ? DFCS_CHECKED : 0) | (Style == csFlat ? DFCS_FLAT : 0)
                                 | (Disabled ? DFCS_INACTIVE : 0));
            ACanvas->Refresh();
            break;
        }
        case csOstrune: {
            ACanvas->Brush()->SetStyle(TBrushStyle::bsSolid);
            ACanvas->Brush()->SetColor(clBtnFace);
            ACanvas->Pen()->SetColor(clBtnFace);
            ACanvas->Polygon({TPoint{X + 2, Y + 8}, TPoint{X + 8, Y + 2}, TPoint{X + 14, Y + 8}, TPoint{X + 8, Y + 14}});
            ACanvas->Pen()->SetColor(On ? 0x808080 : clWhite);
            ACanvas->MoveTo(X + 2, Y + 8);
            ACanvas->LineTo(X + 8, Y + 2);
            ACanvas->LineTo(X + 14, Y + 8);
            ACanvas->Pen()->SetColor(On ? clWhite : 0x808080);
            ACanvas->LineTo(X + 8, Y + 14);
            ACanvas->LineTo(X + 2, Y + 8);
            if (On) {
                ACanvas->Brush()->SetColor(FControlLook->Color());
                ACanvas->Pen()->SetColor(FControlLook->Color());
                ACanvas->Polygon({TPoint{X + 6, Y + 8}, TPoint{X + 8, Y + 6}, TPoint{X + 10, Y + 8}, TPoint{X + 8, Y + 10}});
            }
            ACanvas->Brush()->SetStyle(TBrushStyle::bsClear);
            break;
        }
        case csTheme: {
            RECT B{X, Y, X + 16, Y + 16};
            DrawThemed(HandleAllocated() ? Handle() : nullptr, ACanvas->Handle(), L"button", 2,
                       On ? (Disabled ? 8 : 5) : (Disabled ? 4 : 1), B);
            ACanvas->Refresh();
            break;
        }
        case csWinXP:
            DrawResourceGlyph(ACanvas, Back, TRect{X, Y, X + 16, Y + 16},
                              On ? (Disabled ? "PSGRAD07" : "PSGRAD05") : (Disabled ? "PSGRAD08" : "PSGRAD06"));
            break;
        case csQJX:
            DrawResourceGlyph(ACanvas, Back, TRect{X, Y, X + 16, Y + 16},
                              On ? (Disabled ? "PSGRAD03" : "PSGRAD01") : (Disabled ? "PSGRAD04" : "PSGRAD02"));
            break;
        case csGlyph: {
            TBitmap* B = On ? FControlLook->RadioOnGlyph() : FControlLook->RadioOffGlyph();
            if (!B->Empty())
                DrawGlyphOnColor(ACanvas, B, Back, TRect{X, Y, X + B->Width(), Y + B->Height()});
            break;
        }
        }
    };

    int CaptionsBefore = 0;
    for (int i = 1; i <= Items->Count(); ++i) {
        const String Caption = Items->Strings(i - 1);
        const bool On = Index == -1 ? Caption == CellText : i == Index + 1;
        if (Horizontal) {
            const int X = R.left + 2 + (i - 1) * S + CaptionsBefore;
            const int Y = R.top + (R.bottom - R.top - S) / 2;
            Button(X, Y, On);
            ACanvas->Brush()->SetStyle(TBrushStyle::bsClear);
            ACanvas->TextOut(X + S, BitmapStyle ? Y + 1 : Y - 2, Caption);
            CaptionsBefore += ACanvas->TextWidth(Caption);
        } else {
            const int Offset = (i - 1) * LineH;
            const int Y = R.top + 2 + (Reverse ? -Offset : Offset);
            if (Caption.empty()) {
                Button(R.left + (R.right - R.left - S) / 2, Y, On);
                continue;
            }
            Button(R.left + 2, Y, On);
            const int TX = Classic ? R.left + 2 + RS + 4 : (Style == csOstrune || Style == csTheme) ? R.left + 20
                                                                                                    : R.left + 18;
            ACanvas->Brush()->SetStyle(TBrushStyle::bsClear);
            ACanvas->TextOut(TX, BitmapStyle ? Y + 1 : Y - 2, Caption);
        }
    }
    ACanvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    ACanvas->Brush()->SetColor(Back);
}

// ---------------------------------------------------------------------------
// Nodes

void TProStringGrid::DrawNode(TCanvas* ACanvas, TRect R, int ARow)
{
    const int NI = FCellNode->NodeIndent();
    const int Indent = GetRowIndent(ARow);
    const int X0 = Indent - NI;
    const int H = R.bottom - R.top;
    const bool Contracted = IsNodeContracted(ARow);
    if (FCellNode->ShowTree() && ARow >= TStringGrid::FixedRows()) {
        ACanvas->Pen()->SetColor(FCellNode->TreeColor());
        const int X = X0 + NI / 2 + 2;
        if (ARow + 1 < RowCount() && GetRowIndent(ARow + 1) > 0
            && (!Contracted || GetRowIndent(ARow + 1) >= Indent)) {
            ACanvas->MoveTo(X, R.top + 6);
            ACanvas->LineTo(X, R.bottom);
        }
        if (ARow - 1 >= TStringGrid::FixedRows() && GetRowIndent(ARow - 1) >= Indent && Indent > 0) {
            ACanvas->MoveTo(X, R.top);
            ACanvas->LineTo(X, R.top + 6);
        }
    }
    const int BoxX = R.left + Indent - NI / 2 - 4;
    TColor Back = ACanvas->Brush()->Color();
    if (Back == clNone)
        Back = TStringGrid::FixedCols() > 0 ? FixedColor() : Color();
    switch (FCellNode->NodeType()) {
    case cnLeaf:
        DrawResourceGlyph(ACanvas, Back, TRect{BoxX, R.top + (H - 12) / 2, BoxX + 16, R.top + (H - 12) / 2 + 16},
                          Contracted ? "PSGLEAFCLOSE" : "PSGLEAFOPEN");
        return;
    case cnXP:
        DrawResourceGlyph(ACanvas, Back, TRect{BoxX + 4, R.top + (H - 10) / 2, BoxX + 13, R.top + (H - 10) / 2 + 9},
                          Contracted ? "XPNODEC" : "XPNODEO");
        return;
    case cnGlyph:
        if (!FCellNode->ExpandGlyph()->Empty() && !FCellNode->ContractGlyph()->Empty()) {
            TBitmap* B = Contracted ? FCellNode->ContractGlyph() : FCellNode->ExpandGlyph();
            const int Y = R.top + (H - B->Height()) / 2;
            DrawGlyphOnColor(ACanvas, B, Back, TRect{BoxX, Y, BoxX + B->Width(), Y + B->Height()});
            return;
        }
        break;
    case cn3D: {
        FillRectColor(ACanvas, TRect{BoxX, R.top, R.right, R.bottom}, FCellNode->Color);
        ACanvas->Pen()->SetColor(clWhite);
        ACanvas->MoveTo(BoxX, R.bottom - 1);
        ACanvas->LineTo(BoxX, R.top);
        ACanvas->LineTo(R.right - 1, R.top);
        ACanvas->Pen()->SetColor(clGray);
        ACanvas->LineTo(R.right - 1, R.bottom - 1);
        ACanvas->LineTo(BoxX, R.bottom - 1);
        break;
    }
    default:
        break;
    }
    const int BX = BoxX + 4, BY = R.top + (H - 8) / 2;
    if (FCellNode->NodeType() == cnFlat) {
        ACanvas->Brush()->SetColor(FCellNode->Color);
        ACanvas->Pen()->SetColor(FCellNode->NodeColor);
        ACanvas->Rectangle(BX - 1, BY - 1, BX + 9, BY + 9);
        ACanvas->MoveTo(BX + 1, BY + 3);
        ACanvas->LineTo(BX + 7, BY + 3);
        if (Contracted) {
            ACanvas->MoveTo(BX + 3, BY + 1);
            ACanvas->LineTo(BX + 3, BY + 7);
        }
    } else {
        FillRectColor(ACanvas, TRect{BX, BY, BX + 8, BY + 8}, FCellNode->Color);
        RECT E{BX, BY, BX + 8, BY + 8};
        DrawEdge(ACanvas->Handle(), &E, Contracted ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_SOFT);
        ACanvas->Refresh();
    }
    ACanvas->Brush()->SetColor(Back);
}

// ---------------------------------------------------------------------------
// Size for auto-sizing

TPoint TProStringGrid::GetCellGraphicSize(int ACol, int ARow)
{
    TCellVAlign VA;
    TCellHAlign HA;
    bool TV;
    int H = 0, W = 0;
    TCellGraphic* G = GetCellGraphicInfo(ACol, ARow, VA, HA, TV, H, W);
    if (!G)
        return TPoint{0, 0};
    const bool HasText = !ReadCellText(ACol, ARow).empty();
    TPoint Size{0, 0};
    switch (G->CellType) {
    case ctBitmap:
    case ctIcon:
    case ctImageList:
        if (HA == haBeforeText || HA == haAfterText || !HasText)
            Size.x = W;
        if (VA == vaUnderText || VA == vaAboveText || !HasText || G->CellType == ctIcon)
            Size.y = H;
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
        Size = TPoint{FControlLook->CheckSize(), FControlLook->CheckSize()};
        break;
    case ctRadio:
        if (auto* Items = dynamic_cast<TStrings*>(G->CellBitmap)) {
            TCanvas* Cv = Canvas();
            TBitmap Scratch(1, 1);
            TCanvas* M = HandleAllocated() ? Cv : Scratch.Canvas();
            M->Font()->Assign(Font());
            const int TH = M->TextHeight("gh");
            if (G->CellBoolean) {
                for (int i = 0; i < Items->Count(); ++i)
                    Size.x += M->TextWidth(Items->Strings(i)) + 12;
                Size.y = TH;
            } else {
                int Widest = 0;
                for (int i = 0; i < Items->Count(); ++i)
                    Widest = std::max(Widest, M->TextWidth(Items->Strings(i)));
                Size = TPoint{std::max(12, Widest + 12), TH * Items->Count()};
            }
        }
        break;
    case ctButton:
    case ctBitButton:
        Size = TPoint{W, H};
        if (HasText) {
            if (HA == haCenter)
                Size.x = 0;
            if (VA != vaUnderText && VA != vaAboveText)
                Size.y = 0;
        }
        break;
    case ctProgressPie:
        Size = TPoint{20, 20};
        break;
    case ctImages:
    case ctPicture:
    case ctFilePicture:
    case ctInterface:
        Size = TPoint{W, H};
        break;
    default:
        break;
    }
    return Size;
}
