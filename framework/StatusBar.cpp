#include "framework/StatusBar.h"

#include <algorithm>

#include <commctrl.h>

#include "framework/Codepage.h"
#include "framework/CommonControls.h"
#include "framework/Exception.h"
#include "framework/StrUtils.h"

void TStatusPanel::SetText(const String& Value)
{
    FText = Value;
    FBar->UpdateParts();
}

void TStatusPanel::SetWidth(int Value)
{
    FWidth = Value;
    FBar->UpdateParts();
}

int TStatusPanel::Index() const
{
    for (int i = 0; i < FBar->Panels()->Count(); ++i)
        if (FBar->Panels()->Items(i) == this)
            return i;
    return -1;
}

TStatusPanel* TStatusPanels::Add()
{
    FItems.push_back(std::make_unique<TStatusPanel>(FBar));
    FBar->UpdateParts();
    return FItems.back().get();
}

void TStatusPanels::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
}

TStatusPanel* TStatusPanels::Items(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<std::size_t>(Index)].get();
}

void TStatusPanels::Delete(int Index)
{
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
    FBar->UpdateParts();
}

void TStatusPanels::Clear()
{
    FItems.clear();
    FBar->UpdateParts();
}

TStatusBar::TStatusBar(TComponent* AOwner)
    : TWinControl(AOwner), FPanels(std::make_unique<TStatusPanels>(this))
{
    SetParentColor(true);
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

// The bar takes the place its Align gives it, not the one the window
// class would choose.
void TStatusBar::CreateParams(TCreateParams& Params)
{
    InitCommonControlClasses(ICC_BAR_CLASSES);
    TWinControl::CreateParams(Params);
    Params.SysClassName = STATUSCLASSNAMEW;
    Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
}

void TStatusBar::CreateWnd()
{
    TWinControl::CreateWnd();
    UpdateParts();
}

void TStatusBar::FontChanged()
{
    TWinControl::FontChanged();
    SetHeight(std::max(19, -Font()->Height() + 8));
}

void TStatusBar::SetSimplePanel(bool Value)
{
    FSimplePanel = Value;
    UpdateParts();
}

void TStatusBar::SetSimpleText(const String& Value)
{
    FSimpleText = Value;
    UpdateParts();
}

void TStatusBar::UpdateParts()
{
    if (!HandleAllocated())
        return;
    HWND wnd = Handle();
    SendMessageW(wnd, SB_SIMPLE, FSimplePanel ? TRUE : FALSE, 0);
    if (FSimplePanel) {
        SendMessageW(wnd, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(StrToWide(FSimpleText).c_str()));
        return;
    }
    // Right edges; the last part reaches the end of the bar.
    std::vector<int> edges;
    int right = 0;
    for (int i = 0; i < FPanels->Count(); ++i) {
        right += FPanels->Items(i)->Width();
        edges.push_back(i + 1 == FPanels->Count() ? -1 : right);
    }
    if (edges.empty())
        edges.push_back(-1);
    SendMessageW(wnd, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (int i = 0; i < FPanels->Count(); ++i)
        SendMessageW(wnd, SB_SETTEXTW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(StrToWide(FPanels->Items(i)->Text()).c_str()));
}

String TStatusBar::PartText(int Part)
{
    HWND wnd = Handle();
    const auto length = LOWORD(SendMessageW(wnd, SB_GETTEXTLENGTHW, static_cast<WPARAM>(Part), 0));
    WideString text(length + 1u, L'\0');
    SendMessageW(wnd, SB_GETTEXTW, static_cast<WPARAM>(Part), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return WideToStr(text);
}
