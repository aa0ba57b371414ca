#pragma once
// Skinned push buttons (TzqBtnWnd) and buttons that show a bitmap
// (TzqBitBtnWnd): the window is drawn wholly from its cache, the button
// section over the parent's cached background with the caption, the focus
// frame and the glyph, mixed with the parent's background when disabled.

#include "skin/engine/qCommonData.h"
#include "skin/engine/qMaskData.h"
#include "skin/windows/zqMainWnd.h"

class TzqBtnWnd : public TzqMainWnd {
public:
    void SubclassWndProc(TMessage& Message) override;

    // 2 pushed, 0 disabled, 1 focused, hovered or default, else 0.
    int ButtonState();
    // Rebuilds the whole cache.
    void PrepareCache();

protected:
    // Caption and focus frame into the cache.
    virtual void PaintCaption();
    // The glyph into the cache (nothing for a plain push button).
    virtual void PaintGlyph() {}
    // Width and height of the glyph (width 0: none).
    virtual TSize GlyphSize() { return TSize{0, 0}; }
    virtual void DrawCaptionText(TRect R, UINT Flags);
    virtual TRect CaptionRect();
    virtual int CaptionWidthLimit();
    TSize CaptionSize();

    // The window's style and whether it is pushed.
    bool Pushed();
    UINT CaptionFlags();

private:
    void Paint(TMessage& Message);
    void Inherited(TMessage& Message) { TzqMainWnd::SubclassWndProc(Message); }
    void Wrapped(TMessage& Message);
    void Repaint();
};

class TzqBitBtnWnd : public TzqBtnWnd {
protected:
    void PaintGlyph() override;
    TSize GlyphSize() override;
    TRect CaptionRect() override;
    int CaptionWidthLimit() override;

private:
    HBITMAP Image();
};
