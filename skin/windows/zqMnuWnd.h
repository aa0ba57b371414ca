#pragma once
// The popup-menu window subclass: attached to every "#32768" window, it
// paints the window's frame and the background around the items from the
// skin while the menu painter is drawing that popup's items (the painter's
// measuring flag is raised), and passes everything on otherwise. It answers
// the skin command itself (no sub-command reaches the window's own
// procedure) and frees itself when its window is destroyed, releasing the
// painter's shared menu background and lowering the measuring flag.
//
// It is a scroll subclass (attached with its bars, made with the frame-refresh
// flag off): every message it does not take itself goes to the scroll
// subclass's handling.
//
// GUI thread only.

#include "skin/windows/zqScrollWnd.h"

class TzqMnuWnd : public TzqScrollWnd {
public:
    // 1 once the menu painter reported the popup's border painted while
    // the window was visible; 0 at creation and after each erase done here.
    int BorderPainted = 0;

    void SubclassWndProc(TMessage& Message) override;
    // Builds the skin state's cache bitmap of the whole window when stale.
    void PrepareCache();

protected:
    friend class TzqMainWnd;
    TzqMnuWnd() = default;
    void Setup(HWND Handle, bool ScrollFlag, const String& Section, TqSkinManager* AManager,
               TqCommonData* ASkinData) override;

private:
    void Destroyed(TMessage& Message);
    void SkinCommandOfMenu(TMessage& Message);
    void EraseBackground(TMessage& Message);
    void PaintFrame();
};
