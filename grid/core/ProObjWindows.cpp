// The move-target arrow windows and the header drag button.
#include "grid/core/ProObj.h"

#include "grid/core/GridDrawing.h"

// ---- TArrowWindow -----------------------------------------------------------

TArrowWindow::TArrowWindow(TWinControl* Grid, int Direction) : TPanel(Grid), FDirection(Direction)
{
    SetVisible(false);
    SetBevelOuter(bvNone);
    SetColor(clLime);
    SetBounds(0, 0, 11, 11);
    SetParent(Grid);
}

std::vector<TPoint> TArrowWindow::ArrowPoints(int Direction)
{
    switch (Direction) {
    case 0: return {{5, 0}, {10, 5}, {7, 5}, {7, 9}, {3, 9}, {3, 5}, {0, 5}};
    case 1: return {{3, 0}, {7, 0}, {7, 4}, {9, 4}, {5, 8}, {1, 4}, {3, 4}};
    case 2: return {{0, 3}, {0, 7}, {4, 7}, {4, 10}, {8, 5}, {4, 0}, {4, 3}};
    case 3: return {{0, 5}, {4, 10}, {4, 7}, {8, 7}, {8, 3}, {4, 3}, {4, 0}};
    default: return {};
    }
}

void TArrowWindow::CreateParams(TCreateParams& Params)
{
    TPanel::CreateParams(Params);
    Params.Style = WS_POPUP | (Params.Style & WS_VISIBLE);
    // A popup's parent is its owner window; it is placed in screen coordinates.
    Params.WndParent = Parent() ? Parent()->Handle() : nullptr;
    Params.Menu = nullptr;  // a popup has no child identifier
}

void TArrowWindow::CreateWnd()
{
    TPanel::CreateWnd();
    const std::vector<TPoint> points = ArrowPoints(FDirection);
    if (points.empty())
        return;
    HRGN region = CreatePolygonRgn(points.data(), static_cast<int>(points.size()), WINDING);
    // The window owns the region from here on.
    if (region && !SetWindowRgn(Handle(), region, TRUE))
        DeleteObject(region);
}

void TArrowWindow::Paint()
{
    Canvas()->Brush()->SetStyle(TBrushStyle::bsSolid);
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

// ---- TPopupButton -----------------------------------------------------------

TPopupButton::TPopupButton(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetColor(clBtnFace);
    SetDoubleBuffered(true);
}

void TPopupButton::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_DISABLED | WS_BORDER | (Params.Style & WS_VISIBLE);
    Params.ClassStyle |= CS_SAVEBITS;
    Params.WndParent = Parent() ? Parent()->Handle() : nullptr;
    Params.Menu = nullptr;  // a popup has no child identifier
}

void TPopupButton::CreateWnd()
{
    TCustomControl::CreateWnd();
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TPopupButton::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    if (!FFlat) {
        // The raised 3D frame: white on the top and left, grey on the bottom and right.
        c->Pen()->SetWidth(1);
        c->Pen()->SetColor(clWhite);
        c->Polyline({Point(r.left, r.bottom - 1), Point(r.left, r.top), Point(r.right - 1, r.top)});
        c->Pen()->SetColor(clGray);
        c->Polyline({Point(r.right - 1, r.top), Point(r.right - 1, r.bottom - 1), Point(r.left - 1, r.bottom - 1)});
        InflateRect(&r, -1, -1);
    }
    DrawGradientBackground(c, r, FColorFrom, true, false, clNone, true, FColorMirrorTo, FColorMirrorFrom, FColorTo);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->Font()->Assign(Font());
    TRect t = r;
    c->DrawTextRect(Caption(), t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}
