// TProStringGrid: cell hints (comments, anchor titles, cell texts that do
// not fit), the HTML hint window, balloon tooltips, the picture container
// link and the date picker's change notification.
#include "grid/core/ProGrid.h"

#include <algorithm>

#include <commctrl.h>

#include "framework/Codepage.h"
#include "framework/CommonControls.h"
#include "framework/HintWindow.h"
#include "framework/Menus.h"
#include "grid/core/GridCellText.h"
#include "grid/core/HTMLHintWindow.h"
#include "grid/core/HtmlRender.h"
#include "grid/core/HtmlStrip.h"
#include "grid/core/PictureContainer.h"
#include "grid/interaction/FloatingFooter.h"

namespace {

constexpr int BalloonTextLimit = 1024;
constexpr int BalloonTitleLimit = 100;

// The plain text of a cell for a balloon.
String BalloonCellText(const String& Text, bool EnableHTML)
{
    switch (GetCellTextKind(Text, EnableHTML)) {
    case ctkHtml: return HtmlToPlainText(Text);
    case ctkWide: return WideToStr(UnpackWideText(Text));
    case ctkRtf: return RtfPlainText(Text);
    default: return Text;
    }
}

} // namespace

String BalloonText(const String& Text)
{
    const std::size_t First = Text.find_first_not_of("\t\r\n");
    String S = First == String::npos ? String() : Text.substr(First);
    std::replace(S.begin(), S.end(), '\t', ' ');
    if (static_cast<int>(S.size()) > BalloonTextLimit)
        S = S.substr(0, BalloonTextLimit - 3) + "...";
    return S;
}

String BalloonTitle(const String& Title)
{
    if (static_cast<int>(Title.size()) > BalloonTitleLimit)
        return Title.substr(0, BalloonTitleLimit - 3) + "...";
    return Title;
}

std::unique_ptr<TBalloonSettings> TProStringGrid::NewBalloonSettings()
{
    auto B = std::make_unique<TBalloonSettings>();
    B->OnEnableChange = [this](TObject* Sender) { BalloonEnableChanged(Sender); };
    return B;
}

// ---------------------------------------------------------------------------
// The picture container link

void TProStringGrid::Notification(TComponent* AComponent, TOperation Operation)
{
    TBaseGrid::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == PictureContainer)
        PictureContainer = nullptr;
    if (Operation == TOperation::opRemove && AComponent == FFixedDropDownMenu)
        FFixedDropDownMenu = nullptr;
    if (Operation == TOperation::opRemove && FHookedForm && AComponent == FHookedForm)
        UnhookOwnerFormResize(false);
}

// ---------------------------------------------------------------------------
// Messages

bool TProStringGrid::HintMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOUSEMOVE: HintMouseMoved(); return false;
    case CM_HINTSHOW: CMHintShow(Message); return true;
    case WM_NOTIFY: return WMNotifyHint(Message);
    default: return false;
    }
}

// A hint or balloon of one cell closes when the pointer moves to another.
void TProStringGrid::HintMouseMoved()
{
    POINT P;
    GetCursorPos(&P);
    ::ScreenToClient(Handle(), &P);
    int ACol = -1, ARow = -1;
    MouseToCell(P.x, P.y, ACol, ARow);
    if (FLastHintCell.X >= 0 && FLastHintCell.Y >= 0 && (FLastHintCell.X != ACol || FLastHintCell.Y != ARow)) {
        HintCancel();
        FLastHintCell = TGridCoord{-1, -1};
    }
    if (FBalloon->Enable() && FTooltipWnd && (FLastBalloonCell.X != ACol || FLastBalloonCell.Y != ARow)) {
        SendMessageW(FTooltipWnd, TTM_POP, 0, 0);
        FLastBalloonCell = TGridCoord{-1, -1};
    }
    if (ShowHint())
        HintMouseMove(this);
}

void TProStringGrid::CMHintShow(TMessage& Message)
{
    auto* Info = reinterpret_cast<THintInfo*>(Message.LParam);
    GetCellHint(Info->CursorPos, Info->HintPos, Info->HintWindowClass, Info->HintColor, Info->HintStr);
    Message.Result = 0;
}

bool TProStringGrid::WMNotifyHint(TMessage& Message)
{
    auto* Header = reinterpret_cast<NMHDR*>(Message.LParam);
    switch (static_cast<int>(Header->code)) {
    case -520:   // TTN_GETDISPINFOA
    case -530:   // TTN_GETDISPINFOW
        // Only the balloon's own tooltip is answered here.
        if (Header->hwndFrom != FTooltipWnd || !FTooltipWnd)
            return false;
        if (FBalloon->Enable())
            BalloonDispInfo(reinterpret_cast<tagNMTTDISPINFOW*>(Header), static_cast<int>(Header->code) == -530);
        return true;
    case -521:   // TTN_SHOW
    case -522:   // TTN_POP
        return true;
    case -759: { // DTN_DATETIMECHANGE: reported, then handled as usual
        const auto* Change = reinterpret_cast<NMDATETIMECHANGE*>(Header);
        if (OnDateTimeChange) {
            double Value = 0;
            const SYSTEMTIME& St = Change->st;
            if (St.wYear != 0 && St.wMonth != 0 && St.wDay != 0) {
                SYSTEMTIME Copy = St;
                SystemTimeToVariantTime(&Copy, &Value);
            }
            OnDateTimeChange(this, Col(), Row(), Value);
        }
        return false;
    }
    default: return false;
    }
}

// ---------------------------------------------------------------------------
// Cell hints

// A cell's text as a hint: wide text as stored (the hint window decodes
// it), HTML as it stands with HTMLHint, otherwise reduced to plain text.
String TProStringGrid::HintCellText(int RealCol, int ARow)
{
    const String Text = ReadCellText(RealCol, ARow);
    if (HTMLHint || GetCellTextKind(Text, false) == ctkWide)
        return Text;
    return HtmlToPlainText(Text);
}

void TProStringGrid::GetCellHint(TPoint CursorPos, TPoint& HintPos, THintWindowClass& HintWinClass,
                                 TColor& AHintColor, String& HintStr)
{
    AHintColor = HintColor;
    int ACol = -1, ARow = -1;
    MouseToCell(CursorPos.x, CursorPos.y, ACol, ARow);
    HintGridFontName = Font()->Name();
    if (ACol < 0 || ARow < 0)
        return;

    FLastHintCell = TGridCoord{ACol, ARow};
    const TRect R = CellRect(ACol, ARow);
    const int RCol = RealColIndex(ACol);
    TPoint Pos{R.left, R.bottom + 6};
    String Comment;
    if (GetCellComment(ACol, ARow, Comment)) {
        HintStr = Comment;
        Pos = TPoint{R.right, R.top};
    }

    const String Text = ReadCellText(RCol, ARow);
    if (AnchorHint && EnableHTML && GetCellTextKind(Text, true) == ctkHtml) {
        String Anchor, Title;
        if (AnchorAt(ACol, ARow, CursorPos, Anchor, Title)) {
            String Shown = Title.empty() ? Anchor : Title;
            if (OnAnchorHint)
                OnAnchorHint(this, ARow, ACol, Shown);
            HintStr = Shown;
            Pos = TPoint{CursorPos.x + 8, CursorPos.y - 16};
        }
    }

    const bool NormalCell = ACol >= TStringGrid::FixedCols() && ARow >= TStringGrid::FixedRows() &&
                            ACol < ColCount() - FixedRightCols() && ARow < RowCount() - FixedFooters();
    if (HintShowCells && NormalCell) {
        Pos.y = R.top;
        HintStr = HintCellText(RCol, ARow);
    }

    const TPoint Size = GetCellTextSize(RCol, ARow, true);
    if (HintShowLargeText && (ColWidths(ACol) < Size.x || RowHeights(ARow) < Size.y))
        HintStr = HintCellText(RCol, ARow);

    const bool FooterRow = FFloatingFooter->Visible() && ARow == RowCount() - 1;
    if (!FooterRow) {
        WideString Wide;
        DoGridHint(ACol, ARow, HintStr, Wide);
    }

    if (IsWideHintText(HintStr) || GetCellTextKind(HintStr, true) == ctkHtml)
        HintWinClass = &CreateHintWindow<THTMLHintWindow>;
    POINT P{Pos.x, Pos.y};
    ::ClientToScreen(Handle(), &P);
    HintPos = TPoint{P.x, P.y};
}

// The anchor of an HTML cell under the point (client coordinates). The
// layout is hit-tested as painted (see MirroredX); the rectangles found
// come back in client coordinates.
bool TProStringGrid::AnchorAt(int ACol, int ARow, TPoint P, String& Anchor, String& Title, THtmlDrawResult* Found)
{
    const String Text = ReadCellText(RealColIndex(ACol), ARow);
    // The rectangle the cell's HTML is painted in: the cell less its text
    // margins (2 pixels each way), its left edge one pixel further left.
    TRect R = MirroredRect(CellRect(ACol, ARow));
    R.left += 2 - 1;
    R.right -= 2;
    R.top += 2;
    THtmlDrawParams Params;
    Params.HitX = MirroredX(P.x);
    Params.Mirrored = UseRightToLeftAlignment();
    Params.HitY = P.y;
    Params.HitTestOnly = true;
    Params.PictureCache = PictureCache();
    Params.PictureContainer = PictureContainer;
    Params.ImageList = GridImages;
    Params.AnchorColor = URLColor;
    THtmlDrawResult Result;
    // The cell's own font, grown by the zoom level, as the cell is painted.
    TGridDrawState State = 0;
    TResolvedCellColors Colors;
    TBrush CellBrush;
    TFont CellFont;
    ResolveCellColors(ACol, ARow, State, false, false, true, &CellBrush, &CellFont, Colors);
    if (ZoomLevel != 0)
        CellFont.SetSize(CellFont.Size() + ZoomLevel);
    TBitmap Scratch(1, 1);
    TCanvas* Cv = Canvas()->HandleAllocated() ? Canvas() : Scratch.Canvas();
    TFont Keep;
    Keep.Assign(Cv->Font());
    Cv->Font()->Assign(&CellFont);
    const bool Hit = DrawHtmlText(Cv, Text, R, Params, Result);
    Cv->Font()->Assign(&Keep);
    if (Found) {
        *Found = Result;
        Found->AnchorRect = MirroredRect(Result.AnchorRect);
        Found->ControlRect = MirroredRect(Result.ControlRect);
    }
    if (!Hit)
        return false;
    Anchor = Result.HitAnchor;
    Title = Result.AnchorTitle;
    return !Anchor.empty();
}

// ---------------------------------------------------------------------------
// Balloons

void TProStringGrid::SetupBalloon()
{
    if (FTooltipWnd || (!HandleAllocated() && !Parent()))
        return;
    InitCommonControlClasses(ICC_WIN95_CLASSES);
    FTooltipWnd = CreateWindowExW(0, L"Tooltips_Class32", nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!FTooltipWnd)
        return;
    SetWindowPos(FTooltipWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TOOLINFOW Tool{};
    Tool.cbSize = sizeof Tool;
    Tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    Tool.hwnd = Handle();
    Tool.uId = reinterpret_cast<UINT_PTR>(Handle());
    GetClientRect(Handle(), &Tool.rect);
    Tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(FTooltipWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&Tool));
    SendMessageW(FTooltipWnd, TTM_SETTITLEW, 3, reinterpret_cast<LPARAM>(L"ToolTipText"));
    if (FBalloon->InitialDelay != -1)
        SendMessageW(FTooltipWnd, TTM_SETDELAYTIME, TTDT_INITIAL, FBalloon->InitialDelay);
    if (FBalloon->ReshowDelay != -1)
        SendMessageW(FTooltipWnd, TTM_SETDELAYTIME, TTDT_RESHOW, FBalloon->ReshowDelay);
    if (FBalloon->AutoHideDelay != -1)
        SendMessageW(FTooltipWnd, TTM_SETDELAYTIME, TTDT_AUTOPOP, FBalloon->AutoHideDelay);
    if (FBalloon->Transparency != 0) {
        using TSetLayered = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
        auto SetLayered = reinterpret_cast<TSetLayered>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetLayeredWindowAttributes")));
        if (SetLayered) {
            SetWindowLongPtrW(FTooltipWnd, GWL_EXSTYLE, GetWindowLongPtrW(FTooltipWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
            SetLayered(FTooltipWnd, 0, static_cast<BYTE>(255 - FBalloon->Transparency), LWA_ALPHA);
        }
    }
}

void TProStringGrid::DestroyBalloon()
{
    if (FTooltipWnd) {
        DestroyWindow(FTooltipWnd);
        FTooltipWnd = nullptr;
    }
}

void TProStringGrid::BalloonEnableChanged(TObject*)
{
    if (IsLoading())
        return;
    if (FBalloon->Enable())
        SetupBalloon();
    else
        DestroyBalloon();
}

void TProStringGrid::BalloonDispInfo(tagNMTTDISPINFOW* Info, bool WideNotify)
{
    POINT P;
    GetCursorPos(&P);
    ::ScreenToClient(Handle(), &P);
    int ACol = -1, ARow = -1;
    MouseToCell(P.x, P.y, ACol, ARow);
    String Text;
    if (ACol >= 0 && ARow >= 0)
        Text = BalloonCellText(ReadCellText(RealColIndex(ACol), ARow), EnableHTML);
    Text = BalloonText(Text);
    String Title;
    int Icon = 1;
    if (Title.empty())
        Title = " ";
    if (OnCellBalloon)
        OnCellBalloon(this, ACol, ARow, Title, Text, Icon);
    FLastBalloonCell = TGridCoord{ACol, ARow};

    // The tooltip reads the text from the grid's buffer; a text the event
    // made longer than the buffer is cut to it.
    if (WideNotify) {
        WideString W = StrToWide(Text);
        if (W.size() >= FBalloonTextW.size())
            W.resize(FBalloonTextW.size() - 1);
        std::copy(W.begin(), W.end(), FBalloonTextW.begin());
        FBalloonTextW[W.size()] = 0;
        Info->lpszText = FBalloonTextW.data();
    } else {
        if (Text.size() >= FBalloonTextA.size())
            Text.resize(FBalloonTextA.size() - 1);
        std::copy(Text.begin(), Text.end(), FBalloonTextA.begin());
        FBalloonTextA[Text.size()] = 0;
        reinterpret_cast<NMTTDISPINFOA*>(Info)->lpszText = FBalloonTextA.data();
    }
    Title = BalloonTitle(Title);
    FLastBalloonTitle = Title;
    if (FBalloon->TextColor != clNone)
        SendMessageW(FTooltipWnd, TTM_SETTIPTEXTCOLOR, ColorToRGB(FBalloon->TextColor), 0);
    if (FBalloon->BackgroundColor != clNone)
        SendMessageW(FTooltipWnd, TTM_SETTIPBKCOLOR, ColorToRGB(FBalloon->BackgroundColor), 0);
    if (Icon < 0 || Icon > 3)
        Icon = 0;
    const WideString WTitle = StrToWide(Title);
    SendMessageW(FTooltipWnd, TTM_SETTITLEW, static_cast<WPARAM>(Icon), reinterpret_cast<LPARAM>(WTitle.c_str()));
}
