#include "skin/windows/zqListViewWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"

namespace {

constexpr UINT HeaderItemMask = HDI_TEXT | HDI_FORMAT | HDI_LPARAM | HDI_IMAGE;
constexpr int HeaderTextLength = 129;

bool HasHeaderButtons(HWND Header) { return (GetWindowLongPtrW(Header, GWL_STYLE) & HDS_BUTTONS) != 0; }

}   // namespace

void TzqListViewWnd::Setup(HWND Handle, bool ScrollFlag, const String& Section, TqSkinManager* AManager,
                           TqCommonData* ASkinData)
{
    TzqEditWnd::Setup(Handle, ScrollFlag, Section, AManager, ASkinData);
    if (Handle == nullptr)
        return;
    DownColumn = -1;
    if (HWND header = FindWindowExW(Handle, nullptr, WC_HEADERW, nullptr); header != nullptr)
        HookHeader(header);
}

bool TzqListViewWnd::ReportView() { return SendMessageW(WndHandle, LVM_GETVIEW, 0, 0) == LV_VIEW_DETAILS; }

void TzqListViewWnd::HookHeader(HWND Header)
{
    UnhookHeader();
    HeaderWnd = Header;
    FHeaderHook = HookWndProc(Header, [this](TMessage& M, const TCallPrevious& Previous) { HeaderProc(M, Previous); });
}

void TzqListViewWnd::UnhookHeader()
{
    FHeaderHook.Remove();
    HeaderWnd = nullptr;
}

void TzqListViewWnd::SaveOriginalColors()
{
    TzqEditWnd::SaveOriginalColors();
    if (WndHandle == nullptr)
        return;
    FSavedBk = static_cast<COLORREF>(SendMessageW(WndHandle, LVM_GETBKCOLOR, 0, 0));
    FSavedTextBk = static_cast<COLORREF>(SendMessageW(WndHandle, LVM_GETTEXTBKCOLOR, 0, 0));
    FSavedText = static_cast<COLORREF>(SendMessageW(WndHandle, LVM_GETTEXTCOLOR, 0, 0));
    FColorsSaved = true;
}

void TzqListViewWnd::RestoreOriginalColors()
{
    UnhookHeader();
    TzqEditWnd::RestoreOriginalColors();
    // The list's own colours come back with its native look.
    if (FColorsSaved && IsWindow(WndHandle)) {
        SendMessageW(WndHandle, LVM_SETBKCOLOR, 0, FSavedBk);
        SendMessageW(WndHandle, LVM_SETTEXTBKCOLOR, 0, FSavedTextBk);
        SendMessageW(WndHandle, LVM_SETTEXTCOLOR, 0, FSavedText);
    }
}

void TzqListViewWnd::ApplySkinColors()
{
    TzqEditWnd::ApplySkinColors();
    TqSkinManager* manager = SkinData->SkinManager();
    COLORREF back = ColorToRGB(clWindow);
    COLORREF text = ColorToRGB(clWindowText);
    if (!InDialog && manager != nullptr && manager->IsValidSkinIndex(SkinData->SkinIndex)) {
        const TqGeneralData& section = manager->Skin().Sections[SkinData->SkinIndex];
        back = ColorToRGB(section.Color);
        text = ColorToRGB(section.FontColor);
    }
    SendMessageW(WndHandle, LVM_SETBKCOLOR, 0, back);
    SendMessageW(WndHandle, LVM_SETTEXTBKCOLOR, 0, back);
    SendMessageW(WndHandle, LVM_SETTEXTCOLOR, 0, text);
    if (!HeaderWnd)
        if (HWND header = FindWindowExW(WndHandle, nullptr, WC_HEADERW, nullptr); header != nullptr)
            HookHeader(header);
}

void TzqListViewWnd::PaintHeaderItem(HDC DC, int Index, TRect R, bool WithText)
{
    const int w = R.right - R.left;
    const int h = R.bottom - R.top;
    if (w <= 0 || h <= 0)
        return;
    TqSkinManager* manager = SkinData->SkinManager();
    String name = "COLHEADER";
    int section = manager->FindSectionIndex(name);
    if (!manager->IsValidSkinIndex(section)) {
        name = "BUTTON";
        section = manager->FindSectionIndex(name);
    }
    const bool pressed = WithText && Index == DownColumn;
    const int state = pressed ? 2 : 0;
    auto bmp = NewBitmap24(w, h);
    PaintSectionByIndexes(section, manager->FindMaskIndex(section, name, "BORDERSMASK"),
                          manager->FindMaskIndex(section, name, "PATTERN"),
                          manager->FindMaskIndex(section, name, "HOTPATTERN"), manager, bmp.get(), Point(0, 0),
                          Rect(0, 0, w, h), state, true, EmptyCacheInfo, name);
    if (WithText) {
        wchar_t text[HeaderTextLength]{};
        HDITEMW item{};
        item.mask = HeaderItemMask;
        item.pszText = text;
        item.cchTextMax = HeaderTextLength;
        SendMessageW(HeaderWnd, HDM_GETITEMW, Index, reinterpret_cast<LPARAM>(&item));
        TCanvas* canvas = bmp->Canvas();
        if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(WndHandle, WM_GETFONT, 0, 0)); font != nullptr)
            canvas->Font()->SetHandle(font);
        const String caption = WideToStr(WideString(text));
        TRect r{4 + (pressed ? 1 : 0), pressed ? 1 : 0, w - 8, h + (pressed ? 1 : 0)};
        // The sort arrow: 6 pixels right of the text, centred vertically.
        const char* arrowSection = (item.fmt & HDF_SORTDOWN) != 0 ? "SCROLLBTNBOTTOM"
                                   : (item.fmt & HDF_SORTUP) != 0   ? "SCROLLBTNTOP"
                                                                    : nullptr;
        int arrowIndex = -1, aw = 0, ah = 0;
        if (arrowSection != nullptr) {
            const int s = manager->FindSectionIndex(arrowSection);
            arrowIndex = manager->FindMaskIndex(s, arrowSection, "GLYPHMASK");
            if (manager->IsValidMaskIndex(arrowIndex))
                manager->Skin().GetMaskFrameSize(arrowIndex, aw, ah);
            else
                arrowIndex = -1;
        }
        const int reserved = arrowIndex >= 0 ? aw + 6 : 0;
        const int textWidth = canvas->TextWidth(caption) + 5;
        int left = r.left;
        if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT)
            left = std::max<int>(r.left, r.right - reserved - textWidth);
        else if ((item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER)
            left = std::max<int>(r.left, r.left + (r.right - r.left - textWidth - reserved) / 2);
        TRect textRect{left, r.top, std::min<int>(r.right - reserved, left + textWidth), r.bottom};
        DrawSectionText(canvas, caption, IsWindowEnabled(WndHandle) != 0, manager, pressed, section,
                        DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_END_ELLIPSIS, textRect);
        if (arrowIndex >= 0)
            DrawMaskGlyph(bmp.get(), Point(textRect.right + 6, (h - ah) / 2), 0, manager->Skin().Masks[arrowIndex], 1);
    }
    BitBlt(DC, R.left, R.top, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TzqListViewWnd::PaintHeader(HDC DC)
{
    const int count = static_cast<int>(SendMessageW(HeaderWnd, HDM_GETITEMCOUNT, 0, 0));
    std::vector<int> order(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        order[static_cast<std::size_t>(i)] = i;
    if (count > 0 && (GetWindowLongPtrW(HeaderWnd, GWL_STYLE) & HDS_DRAGDROP) != 0)
        SendMessageW(HeaderWnd, HDM_GETORDERARRAY, count, reinterpret_cast<LPARAM>(order.data()));
    RECT client{};
    GetClientRect(HeaderWnd, &client);
    int right = 0;
    for (int index : order) {
        RECT r{};
        if (!SendMessageW(HeaderWnd, HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)) || IsRectEmpty(&r))
            continue;
        PaintHeaderItem(DC, index, r, true);
        right = std::max<int>(right, r.right);
    }
    // The room right of the last column looks like a column without text.
    if (right < client.right)
        PaintHeaderItem(DC, -1, TRect{right, 0, client.right, client.bottom}, false);
}

void TzqListViewWnd::HeaderProc(TMessage& Message, const TCallPrevious& Previous)
{
    try {
        if (!BarsSkinned() || !ReportView()) {
            Previous(Message);
            return;
        }
        const bool buttons = HasHeaderButtons(HeaderWnd);
        switch (Message.Msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps{};
            HDC dc = Message.WParam != 0 ? reinterpret_cast<HDC>(Message.WParam) : BeginPaint(HeaderWnd, &ps);
            PaintHeader(dc);
            if (Message.WParam == 0)
                EndPaint(HeaderWnd, &ps);
            Message.Result = 0;
            return;
        }
        case WM_ERASEBKGND: Message.Result = 1; return;
        case WM_WINDOWPOSCHANGING:
            if (IsWindowVisible(WndHandle))
                SendMessageW(WndHandle, WM_NCPAINT, 1, 0);
            break;
        case WM_NCDESTROY: {
            HWND header = HeaderWnd;
            Previous(Message);
            if (header == HeaderWnd)
                HeaderWnd = nullptr;
            return;
        }
        case WM_LBUTTONUP:
            if (buttons)
                DownColumn = -1;
            break;
        default: break;
        }
        Previous(Message);
        if (Message.Msg == WM_LBUTTONDOWN && buttons) {
            HDHITTESTINFO hit{};
            hit.pt = POINT{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
            const int item = static_cast<int>(SendMessageW(HeaderWnd, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
            DownColumn = (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) != 0 ? -1 : item;
            InvalidateRect(HeaderWnd, nullptr, FALSE);
        }
    } catch (...) {
        Application->HandleException(nullptr);
    }
}

void TzqListViewWnd::ThumbScroll(TMessage& Message)
{
    const int code = LOWORD(Message.WParam);
    const int position = static_cast<short>(HIWORD(Message.WParam));
    const int delta = position - ScrollTracking.LastTrackPos;
    if (Message.Msg == WM_HSCROLL) {
        SendMessageW(WndHandle, LVM_SCROLL, delta, 0);
    } else if (delta != 0) {
        int row = 0;
        if (ReportView()) {
            RECT item{LVIR_BOUNDS, 0, 0, 0};
            if (SendMessageW(WndHandle, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)))
                row = item.bottom - item.top;
        }
        SendMessageW(WndHandle, LVM_SCROLL, 0, delta * std::max(1, row));
    }
    (void)code;
    Message.Result = 0;
}

void TzqListViewWnd::SubclassWndProc(TMessage& Message)
{
    if (!HorzBar || !VertBar || !BarsSkinned()) {
        TzqEditWnd::SubclassWndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case SM_ZORVIKCMD:
        if (SkinSubCommand(Message.WParam) == scmRefresh &&
            reinterpret_cast<TqSkinManager*>(Message.LParam) == Manager) {
            TzqEditWnd::SubclassWndProc(Message);
            if (HeaderWnd != nullptr)
                RedrawWindow(HeaderWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            return;
        }
        break;
    case WM_HSCROLL:
        if (LOWORD(Message.WParam) == SB_THUMBTRACK) {
            ThumbScroll(Message);
            return;
        }
        break;
    case WM_VSCROLL:
        if (LOWORD(Message.WParam) != SB_THUMBTRACK) {
            CallPrevWndProc(Message);
            return;
        }
        ThumbScroll(Message);
        return;
    default: break;
    }
    TzqEditWnd::SubclassWndProc(Message);
    switch (Message.Msg) {
    case WM_STYLECHANGED: {
        // The skinned bars keep the scroll-bar bits out of the style, and
        // the list puts them back at every scroll update: a change of only
        // those bits is theirs, and refreshing on it would start the game
        // again.
        const auto* change = reinterpret_cast<const STYLESTRUCT*>(Message.LParam);
        if (Message.WParam == static_cast<WPARAM>(GWL_STYLE) &&
            ((change->styleOld ^ change->styleNew) & ~static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL)) == 0)
            break;
        RefreshScrollBars(this, true);
        break;
    }
    case LVM_ARRANGE: RefreshScrollBars(this, true); break;
    case WM_LBUTTONUP: ReleaseCapture(); break;
    case WM_PARENTNOTIFY:
        if (LOWORD(Message.WParam) == WM_CREATE || LOWORD(Message.WParam) == WM_DESTROY) {
            HWND child = reinterpret_cast<HWND>(Message.LParam);
            wchar_t name[96]{};
            GetClassNameW(child, name, 96);
            if (lstrcmpiW(name, WC_HEADERW) == 0) {
                UnhookHeader();
                if (LOWORD(Message.WParam) == WM_CREATE)
                    HookHeader(child);
            }
        }
        break;
    case WM_PRINT:
        if (Message.WParam != 0 && ReportView() && HeaderWnd != nullptr) {
            HDC dc = reinterpret_cast<HDC>(Message.WParam);
            const int saved = SaveDC(dc);
            OffsetViewportOrgEx(dc, FrameLeft, FrameLeft, nullptr);
            const TPoint client = ClientPart();
            IntersectClipRect(dc, 0, 0, client.x, client.y);
            PaintHeader(dc);
            RestoreDC(dc, saved);
        }
        break;
    default: break;
    }
}
