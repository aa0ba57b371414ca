#include "grid/core/HTMLHintWindow.h"

#include <versionhelpers.h>

#include "framework/Bitmap.h"
#include "framework/Codepage.h"
#include "grid/core/GridCellText.h"
#include "grid/core/HtmlRender.h"

String HintGridFontName;

namespace {

// The widest a hint text is laid out.
constexpr int HintLayoutWidth = 1008;

// A font like Base with the grid's font name, for wide text.
HFONT CreateWideHintFont(const TFont* Base)
{
    LOGFONTW LF{};
    GetObjectW(Base->Handle(), sizeof LF, &LF);
    if (!HintGridFontName.empty()) {
        const WideString Name = StrToWide(HintGridFontName);
        lstrcpynW(LF.lfFaceName, Name.c_str(), LF_FACESIZE);
    }
    return CreateFontIndirectW(&LF);
}

} // namespace

bool IsWideHintText(const String& Text) { return Text.rfind(WideTextMarker, 0) == 0; }

THTMLHintWindow::THTMLHintWindow(TComponent* AOwner) : THintWindow(AOwner) {}

void THTMLHintWindow::CreateParams(TCreateParams& Params)
{
    THintWindow::CreateParams(Params);
    Params.Style = WS_POPUP;
    if (IsWindowsXPOrGreater())
        Params.ClassStyle |= CS_DROPSHADOW;
}

TSize THTMLHintWindow::HintText(TCanvas* Cv, const String& Text, TRect R, bool Paint)
{
    if (IsWideHintText(Text)) {
        const WideString W = UnpackWideText(Text);
        HDC DC = Cv->Handle();
        HFONT Font = CreateWideHintFont(this->Font());
        HGDIOBJ Old = SelectObject(DC, Font);
        TRect M = R;
        DrawTextW(DC, W.c_str(), static_cast<int>(W.size()), &M, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
        if (Paint) {
            SetBkMode(DC, TRANSPARENT);
            SetTextColor(DC, ColorToRGB(this->Font()->Color()));
            DrawTextW(DC, W.c_str(), static_cast<int>(W.size()), &R, DT_NOPREFIX | DT_SINGLELINE);
        }
        SelectObject(DC, Old);
        DeleteObject(Font);
        Cv->Refresh();
        return TSize{M.right - M.left, M.bottom - M.top};
    }
    // Mini-HTML, without a picture container.
    Cv->Font()->Assign(Font());
    Cv->Brush()->SetStyle(TBrushStyle::bsClear);
    THtmlDrawParams Params;
    Params.MeasureOnly = !Paint;
    THtmlDrawResult Result;
    DrawHtmlText(Cv, Text, R, Params, Result);
    return TSize{Result.TextWidth, Result.TextHeight};
}

TRect THTMLHintWindow::CalcHintRect(int MaxWidth, const String& AHint, void*)
{
    TBitmap Scratch(1, 1);
    const TSize S = HintText(Scratch.Canvas(), AHint, TRect{0, 0, MaxWidth, 0}, false);
    return TRect{0, 0, S.cx, S.cy};
}

void THTMLHintWindow::ActivateHint(TRect Rect, const String& AHint)
{
    const bool Wide = IsWideHintText(AHint);
    FWideCaption = Wide ? UnpackWideText(AHint) : WideString();
    const TRect Size = CalcHintRect(HintLayoutWidth, AHint, nullptr);
    FTextWidth = Size.right;
    FTextHeight = Size.bottom;
    const int W = FTextWidth + (Wide ? 8 : 16);
    const int H = FTextHeight + 4;
    int X = Rect.left;
    int Y = Rect.top;
    MONITORINFO MI{};
    MI.cbSize = sizeof MI;
    if (GetMonitorInfoW(MonitorFromPoint(POINT{X, Y}, MONITOR_DEFAULTTONEAREST), &MI)) {
        if (X + W > MI.rcMonitor.right)
            X = MI.rcMonitor.right - 2 - W;
        if (Y + H > MI.rcMonitor.bottom)
            Y = MI.rcMonitor.bottom - 2 - H;
    }
    THintWindow::ActivateHint(TRect{X, Y, X + W, Y + H}, AHint);
}

void THTMLHintWindow::Paint()
{
    const TRect C = ClientRect();
    TCanvas* Cv = Canvas();
    Cv->Brush()->SetColor(Color());
    Cv->FillRect(C);
    Cv->Pen()->SetColor(cl3DLight);
    Cv->MoveTo(C.left, C.bottom - 2);
    Cv->LineTo(C.left, C.top);
    Cv->LineTo(C.right - 1, C.top);
    Cv->Pen()->SetColor(cl3DDkShadow);
    Cv->MoveTo(C.left, C.bottom - 1);
    Cv->LineTo(C.right - 1, C.bottom - 1);
    Cv->LineTo(C.right - 1, C.top - 1);

    TRect R = C;
    R.left += 4;
    R.right -= 4;
    R.top += (C.bottom - C.top - FTextHeight) / 2;
    R.bottom = R.top + FTextHeight + 8;
    HintText(Cv, Caption(), R, true);
}
