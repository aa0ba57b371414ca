// The floating footer's panel: painting in the three footer styles, the
// template expansion, and the hints and clicks over its columns.

#include <algorithm>

#include "framework/Codepage.h"
#include "framework/HintWindow.h"
#include "framework/StrUtils.h"
#include "grid/core/HtmlRender.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/FloatingFooter.h"
#include "grid/interaction/FooterPanel.h"

namespace {

constexpr TColor FrameGrey = static_cast<TColor>(0x808080);
constexpr TColor FrameWhite = static_cast<TColor>(0xFFFFFF);

void FillRectangle(TCanvas* C, TColor Color, const TRect& R)
{
    C->Brush()->SetStyle(TBrushStyle::bsSolid);
    C->Brush()->SetColor(Color);
    C->Pen()->SetColor(Color);
    C->Rectangle(R);
}

} // namespace

TFooterPanel::TFooterPanel(TComponent* AOwner) : TCustomPanel(AOwner), FGrid(dynamic_cast<TProStringGrid*>(AOwner))
{
    if (!FGrid)
        throw EComponentError("The footer panel belongs to a string grid");
    SetBevelOuter(bvNone);
}

void TFooterPanel::CreateWnd()
{
    TCustomPanel::CreateWnd();
    TFloatingFooter* F = FGrid->FloatingFooter();
    SetHeight(F->Visible() ? F->FooterHeight : 0);
}

void TFooterPanel::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_HINTSHOW) {
        auto* Info = reinterpret_cast<THintInfo*>(Message.LParam);
        Message.Result = CMHintShow(Info->CursorPos.x, Info->HintStr);
        return;
    }
    TCustomPanel::WndProc(Message);
    if (Message.Msg == CM_MOUSELEAVE)
        FHintColumn = -1;
}

void TFooterPanel::Resize()
{
    TCustomPanel::Resize();
    if (Visible())
        FGrid->FooterRoomChanged();
}

void TFooterPanel::VisibleChanged()
{
    TCustomPanel::VisibleChanged();
    FGrid->FooterRoomChanged();
}

int TFooterPanel::StripWidth() const
{
    int W = 0;
    for (int C = 0; C < FGrid->FixedCols(); ++C)
        W += FGrid->ColWidths(C);
    for (int C = FGrid->LeftCol(); C < FGrid->ColCount(); ++C)
        W += FGrid->ColWidths(C);
    return W;
}

bool TFooterPanel::Mirrored() const
{
    return UseRightToLeftAlignment();
}

TRect TFooterPanel::MirrorRect(const TRect& R) const
{
    if (!Mirrored())
        return R;
    const int W = ClientRect().right;
    return TRect{W - R.right, R.top, W - R.left, R.bottom};
}

int TFooterPanel::MirrorX(int X) const
{
    return Mirrored() ? ClientRect().right - 1 - X : X;
}

void TFooterPanel::MirroredLine(int X1, int Y1, int X2, int Y2)
{
    Canvas()->MoveTo(MirrorX(X1), Y1);
    Canvas()->LineTo(MirrorX(X2), Y2);
}

void TFooterPanel::FillSpare(int StripRight)
{
    const TRect Client = ClientRect();
    if (StripRight < Client.right)
        FillRectangle(Canvas(), FGrid->Color(),
                      MirrorRect(TRect{StripRight, Client.top, Client.right, Client.bottom}));
}

// The footer is laid out as for a left-to-right grid and drawn mirrored
// pixel for pixel when the grid is mirrored: the strip and the column lines
// from the right edge, the cells at their mirrored rectangles (MirrorRect).
void TFooterPanel::Paint()
{
    SetBiDiMode(FGrid->BiDiMode());
    int E;
    switch (FGrid->FloatingFooter()->FooterStyle()) {
    case fsFixedLastRow: E = PaintFixedLastRow(); break;
    case fsColumnPreview: E = PaintColumnPreview(); break;
    case fsCustomPreview: E = PaintCustomPreview(); break;
    default: E = Width(); break;
    }
    const TColor Border = FGrid->FloatingFooter()->BorderColor();
    if (Border != clNone) {
        Canvas()->Pen()->SetColor(Border);
        MirroredLine(0, 0, E, 0);
    }
}

int TFooterPanel::PaintFixedLastRow()
{
    TCanvas* C = Canvas();
    const TRect Client = ClientRect();
    const int W = StripWidth();
    FillRectangle(C, FGrid->FloatingFooter()->Color(), MirrorRect(TRect{Client.left, Client.top, W, Client.bottom}));
    FillSpare(W);

    const int L = FGrid->RowCount() - 1;
    std::vector<int> Columns;
    for (int Col = 0; Col < FGrid->FixedCols(); ++Col)
        Columns.push_back(Col);
    for (int Col = FGrid->LeftCol(); Col < FGrid->ColCount(); ++Col)
        Columns.push_back(Col);

    // Column lines.
    const bool Soft = FGrid->Look == glSoft && !FGrid->Flat;
    const bool VertLines = FGrid->HasOption(goFixedVertLine);
    const bool HorzLines = FGrid->HasOption(goFixedHorzLine);
    int X = 0;
    for (int Col : Columns) {
        C->Pen()->SetColor(FrameWhite);
        if (VertLines && Soft)
            MirroredLine(X, Client.bottom, X, Client.top);
        const int Start = X;
        X += FGrid->ColWidths(Col);
        if (HorzLines && Soft)
            MirroredLine(Start, Client.top, X - 1, Client.top);
        C->Pen()->SetColor(FrameGrey);
        if (VertLines)
            MirroredLine(X - 1, Client.top, X - 1, Client.bottom);
    }

    // Cells.
    TRect R = Client;
    FGrid->FooterPainting = true;
    for (int Col : Columns) {
        const bool Fixed = Col < FGrid->FixedCols();
        if (FGrid->IsMergedCell(Col, L))
            R.right = FGrid->MirroredRect(FGrid->MergedCellRect(Col, L)).right - 1;
        else
            R.right = R.left + FGrid->ColWidths(Col) - 1;
        const TRect Shown = MirrorRect(R);
        if (!Fixed) {
            const int RC = FGrid->RealColIndex(Col);
            if (FGrid->OnGetCellColor) {
                C->Brush()->SetColor(clNone);
                FGrid->OnGetCellColor(FGrid, L, RC, TGridDrawState{gdFixed}, C->Brush(), C->Font());
                if (C->Brush()->Color() != clNone)
                    C->Rectangle(Shown);
            }
            const TColor Brush = FGrid->GetCellBrushColor(RC, L);
            if (Brush != clNone) {
                C->Brush()->SetColor(Brush);
                C->Rectangle(Shown);
            }
        }
        if (FGrid->IsBaseCellAt(Col, L)) {
            if (!Fixed && FGrid->OnFooterPaint)
                FGrid->OnFooterPaint(this, Col, C, Shown);
            else
                FGrid->DrawGridCell(C, Col, TGridDrawState{gdFixed}, Shown, L);
        }
        R.left = R.right + 1;
    }
    FGrid->FooterPainting = false;
    return R.right;
}

TRect TFooterPanel::PaintPreviewStrip()
{
    TCanvas* C = Canvas();
    const TRect Client = ClientRect();
    const TRect S{Client.left, Client.top, StripWidth(), Client.bottom};
    C->Pen()->SetWidth(1);
    FillRectangle(C, FGrid->FloatingFooter()->Color(), MirrorRect(S));
    C->Pen()->SetColor(FrameGrey);
    MirroredLine(S.left, S.bottom, S.right - 1, S.bottom);
    C->LineTo(MirrorX(S.right - 1), S.top);
    C->Pen()->SetColor(FrameWhite);
    C->LineTo(MirrorX(S.left), S.top);
    C->LineTo(MirrorX(S.left), S.bottom);
    return S;
}

int TFooterPanel::PaintColumnPreview()
{
    const TRect S = PaintPreviewStrip();
    FGrid->FooterPainting = true;
    const TColor KeptText = FGrid->SelectionTextColor;
    FGrid->SelectionTextColor = 0;
    const int Column = FGrid->FloatingFooter()->Column();
    if (FGrid->OnFooterPaint)
        FGrid->OnFooterPaint(this, Column, Canvas(), MirrorRect(S));
    else if (Column >= 0 && Column < FGrid->ColCount())
        FGrid->DrawGridCell(Canvas(), Column, TGridDrawState{}, MirrorRect(S), FGrid->CurrentRow());
    FGrid->SelectionTextColor = KeptText;
    FillSpare(S.right);
    FGrid->FooterPainting = false;
    return ClientRect().right;
}

int TFooterPanel::PaintCustomPreview()
{
    const TRect Strip = PaintPreviewStrip();
    // The text reads as it is written: only its place is mirrored.
    TRect S = MirrorRect(Strip);
    const TColor KeptText = FGrid->SelectionTextColor;
    FGrid->SelectionTextColor = 0;
    const String Template = FGrid->FloatingFooter()->CustomTemplate();
    TCanvas* C = Canvas();
    C->Font()->Assign(FGrid->Font());
    C->Brush()->SetStyle(TBrushStyle::bsClear);
    if (IsDesigning())
        C->DrawTextRect(Template, S, 0);
    else {
        S.top += 2;
        THtmlDrawParams P;
        P.ImageList = FGrid->GridImages;
        P.HitX = 0;
        P.HitY = 0;
        P.FocusAnchor = -1;
        P.HoverAnchor = 0;
        P.ShadowOffset = 1;
        P.BlinkOn = false;
        P.WordWrap = !FGrid->EnhTextSize;
        P.ImageScale = 0;
        P.AnchorColor = FGrid->URLColor;
        P.ShadowColor = FrameGrey;
        P.PictureCache = FGrid->PictureCache();
        P.PictureContainer = FGrid->PictureContainer;
        P.Window = Handle();
        THtmlDrawResult Unused;
        DrawHtmlText(C, ExpandTemplate(Template), S, P, Unused);
        S.top -= 2;
    }
    C->Brush()->SetStyle(TBrushStyle::bsSolid);
    FGrid->SelectionTextColor = KeptText;
    FillSpare(Strip.right);
    return ClientRect().right;
}

String TFooterPanel::ExpandTemplate(const String& Template)
{
    String Result;
    String S = Template;
    size_t P;
    while ((P = S.find("<#")) != String::npos) {
        Result.append(S, 0, P);
        const size_t Q = S.find('>', P);
        if (Q == String::npos) {
            // An unclosed tag ends the expansion; it is shown as it stands.
            Result.append(S, P, String::npos);
            return Result;
        }
        const String Tag = S.substr(P + 2, Q - P - 2);
        S.erase(0, Q + 1);
        int N = 0;
        if (TryStrToInt(Tag, N) && N >= 0 && N < FGrid->ColCount())
            Result += FGrid->ReadCellText(N, FGrid->CurrentRow());
    }
    Result += S;
    return Result;
}

int TFooterPanel::ColumnWalk(int X) const
{
    int Sum = 0;
    int C = 0;
    while (Sum < X && C < FGrid->ColCount() && C < FGrid->FixedCols())
        Sum += FGrid->ColWidths(C++);
    // X lies over a fixed column: that column is the one reported.
    if (C > 0 && Sum >= X)
        return C;
    int J = FGrid->LeftCol();
    while (Sum < X && J < FGrid->ColCount())
        Sum += FGrid->ColWidths(J++);
    return J;
}

int TFooterPanel::CMHintShow(int X, String& HintStr)
{
    X = MirrorX(X);
    int J = ColumnWalk(X);
    int Sum = 0;
    for (int C = 0; C < FGrid->FixedCols(); ++C)
        Sum += FGrid->ColWidths(C);
    for (int C = FGrid->LeftCol(); C < FGrid->ColCount(); ++C)
        Sum += FGrid->ColWidths(C);
    if (J == FGrid->ColCount() && Sum < X)
        J = -1;
    if (FGrid->OnGridHint && J > 0)
        FGrid->OnGridHint(FGrid, FGrid->RowCount() - 1, J - 1, HintStr);
    FHintColumn = ShowHint() && J > 0 ? J - 1 : -1;
    return ShowHint() ? 0 : 1;
}

void TFooterPanel::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomPanel::MouseMove(Shift, X, Y);
    // The hint is asked for per column: a move onto another column cancels
    // the shown one so that the resting mouse asks again.
    HintMouseMove(this);
    const int J = ColumnWalk(MirrorX(X));
    if (ShowHint() && FHintColumn >= 0 && J - 1 != FHintColumn) {
        HintCancel();
        FHintColumn = J - 1;
    }
}

void TFooterPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomPanel::MouseUp(Button, Shift, X, Y);
    if (FGrid->OnClick)
        FGrid->OnClick(FGrid);
    if (FGrid->OnClickCell)
        FGrid->OnClickCell(FGrid, FGrid->RowCount() - 1, ColumnWalk(MirrorX(X)) - 1);
}

// ---------------------------------------------------------------------------
// The grid's side

TFooterPanel* TProStringGrid::FooterPanel()
{
    if (!FFooterPanel) {
        FFooterPanel = new TFooterPanel(this);   // owned by the grid
        FFooterPanel->SetVisible(false);
        FFooterPanel->SetHeight(0);
        FFooterPanel->SetParent(this);
        FFooterPanel->SetAlign(alBottom);
        FFooterPanel->SetShowHint(FFloatingFooter->ShowHint());
    }
    return FFooterPanel;
}

void TProStringGrid::RepaintFloatingFooter()
{
    if (FFooterPanel)
        FFooterPanel->Invalidate();
}
