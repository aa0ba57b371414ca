#pragma once
// Skinned static texts (TzqStaticWnd), icon statics (TzqIconWnd) and link
// windows (TzqLinkWnd): the section over the parent's background, then the
// text in the system's message font, the icon, or (for a link) the
// window's own drawing.

#include "skin/windows/zqGdiCache.h"
#include "skin/engine/qCommonData.h"
#include "skin/engine/qMaskData.h"
#include "skin/windows/zqMainWnd.h"

class TzqStaticWnd : public TzqMainWnd {
public:
    void SubclassWndProc(TMessage& Message) override;
    // The window's own content into the cache.
    virtual void PaintText();

protected:
    void Inherited(TMessage& Message) { TzqMainWnd::SubclassWndProc(Message); }
    void Paint(TMessage& Message);

private:
    // The system's message font, made once per setting and freed with the object.
    TzqMessageFont FFont;
};

class TzqIconWnd : public TzqStaticWnd {
public:
    void PaintText() override;
};

class TzqLinkWnd : public TzqStaticWnd {
public:
    void SubclassWndProc(TMessage& Message) override;
    void PaintText() override {}
};
