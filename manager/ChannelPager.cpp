#include "manager/ChannelPager.h"

#include <commctrl.h>

#include "framework/Codepage.h"
#include "framework/CommonControls.h"

TChannelPage::TChannelPage(TComponent* AOwner) : TCustomPanel(AOwner)
{
    SetBevelOuter(bvNone);
    SetVisible(false);
}

int TChannelPage::PageIndex() const
{
    if (FPager == nullptr)
        return -1;
    for (int i = 0; i < FPager->PageCount(); ++i)
        if (FPager->Pages(i) == this)
            return i;
    return -1;
}

TChannelPager::TChannelPager(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
}

TChannelPage* TChannelPager::AddPage(const String& Caption)
{
    auto* page = new TChannelPage(Owner() != nullptr ? Owner() : this);   // freed with the form
    page->Caption = Caption;
    page->FPager = this;
    page->SetParent(this);
    FPages.push_back(page);
    if (HandleAllocated()) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        WideString text = StrToWide(Caption);
        item.pszText = text.data();
        SendMessageW(Handle(), TCM_INSERTITEMW, FPages.size() - 1, reinterpret_cast<LPARAM>(&item));
    }
    if (FActivePageIndex < 0)
        SetActivePageIndex(0);
    else
        Realign();
    return page;
}

void TChannelPager::SetActivePageIndex(int Value)
{
    FActivePageIndex = Value >= 0 && Value < PageCount() ? Value : -1;
    if (HandleAllocated())
        SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(FActivePageIndex), 0);
    ShowActivePage();
}

TChannelPage* TChannelPager::ActivePage() const
{
    return FActivePageIndex >= 0 ? Pages(FActivePageIndex) : nullptr;
}

void TChannelPager::ShowActivePage()
{
    Realign();
    for (int i = 0; i < PageCount(); ++i)
        if (i != FActivePageIndex)
            Pages(i)->SetVisible(false);
    if (TChannelPage* page = ActivePage()) {
        page->SetVisible(true);
        page->BringToFront();
    }
}

void TChannelPager::CreateParams(TCreateParams& Params)
{
    InitCommonControlClasses(ICC_TAB_CLASSES);
    TWinControl::CreateParams(Params);
    Params.SysClassName = WC_TABCONTROLW;
    Params.Style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
}

void TChannelPager::CreateWnd()
{
    TWinControl::CreateWnd();
    // The tabs live in the object; a new window gets them again.
    for (int i = 0; i < PageCount(); ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        WideString text = StrToWide(Pages(i)->Caption);
        item.pszText = text.data();
        SendMessageW(Handle(), TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(FActivePageIndex), 0);
    Realign();
}

void TChannelPager::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_NOTIFY: CNNotify(Message); break;
    default: TWinControl::WndProc(Message); break;
    }
}

void TChannelPager::CNNotify(TMessage& Message)
{
    const auto* header = reinterpret_cast<const NMHDR*>(Message.LParam);
    Message.Result = 0;
    if (header->code != static_cast<UINT>(TCN_SELCHANGE))
        return;
    const int index = static_cast<int>(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0));
    if (index == FActivePageIndex)
        return;
    FActivePageIndex = index >= 0 && index < PageCount() ? index : -1;
    ShowActivePage();
    if (OnChange)
        OnChange(this);
}

// The area under the tabs: the tab control's display rectangle when there
// is a window, otherwise the client area less a row of tabs.
TRect TChannelPager::PageRect()
{
    TRect r = ClientRect();
    if (!HandleAllocated()) {
        r.top += 24;
        r.left += 2;
        r.right -= 2;
        r.bottom -= 2;
        return r;
    }
    SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

void TChannelPager::AlignControls(TRect& Rect)
{
    const TRect page = PageRect();
    for (TChannelPage* p : FPages)
        p->SetBounds(page.left, page.top, page.right - page.left, page.bottom - page.top);
    TWinControl::AlignControls(Rect);
}
