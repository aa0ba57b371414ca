#pragma once
// The channel pager of the main window: one tab per channel ("通道一" ...
// "通道八") over a page that holds the channel's table. The user picks a
// channel by clicking its tab; ActivePageIndex names the active page, which
// every channel operation takes as the current channel.
//
// A tab strip of the common controls with plain pages: the office pager
// with its styled tabs takes its place later, keeping ActivePageIndex and
// the pages as the window uses them.

#include <vector>

#include "framework/Panel.h"

class TChannelPager;

// One page: a plain panel that the pager shows when its tab is active.
class TChannelPage : public TCustomPanel {
public:
    explicit TChannelPage(TComponent* AOwner);

    // The text of the page's tab.
    String Caption;
    int PageIndex() const;
    TChannelPager* Pager() const { return FPager; }

private:
    friend class TChannelPager;
    TChannelPager* FPager = nullptr;
};

class TChannelPager : public TWinControl {
public:
    explicit TChannelPager(TComponent* AOwner);

    // Adds a page with its tab caption; the pager is its parent. The first
    // page added becomes the active one.
    TChannelPage* AddPage(const String& Caption);
    int PageCount() const { return static_cast<int>(FPages.size()); }
    TChannelPage* Pages(int Index) const { return FPages.at(static_cast<std::size_t>(Index)); }

    // The index of the active page (0-based, in page order), -1 when there
    // is none. Reading it has no side effect.
    int ActivePageIndex() const { return FActivePageIndex; }
    // Shows the page of that index; an index out of range leaves no page active.
    void SetActivePageIndex(int Value);
    TChannelPage* ActivePage() const;

    // Fired after the user picked another tab.
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void AlignControls(TRect& Rect) override;

private:
    void CNNotify(TMessage& Message);
    void ShowActivePage();
    TRect PageRect();

    std::vector<TChannelPage*> FPages;   // observed: owned by the pager's owner
    int FActivePageIndex = -1;
};
