#pragma once
// The skinned panel: the framework's panel whose face, caption and the
// owner's drawing (OnPaint) are composed in a cache bitmap from its skin
// section, over the parent's image where the section is transparent, with
// its window-less children drawn into the same picture. With no skin it is
// the framework's panel, or only what OnPaint draws when that is set.
// GUI thread only.

#include <functional>
#include <memory>

#include "framework/Panel.h"
#include "skin/engine/qCommonData.h"

// Paints over a control on Canvas.
using TPaintEvent = std::function<void(TObject* Sender, TCanvas* Canvas)>;

class TqPanel : public TPanel {
public:
    explicit TqPanel(TComponent* AOwner);
    ~TqPanel() override;

    TqCommonData* SkinData() const { return FSkinData.get(); }
    // Paints over the panel; while the panel is skinned on the cache's canvas.
    TPaintEvent OnPaint;

    // The cache (rebuilt when needed) onto DC, or onto the control canvas
    // when DC is none; RepaintChildren asks the child controls to finish
    // pending updates afterwards.
    virtual void PaintSkin(HDC DC, bool RepaintChildren);

protected:
    void Loaded() override;
    void Paint() override;
    void WndProc(TMessage& Message) override;

private:
    // Whether the skin command was answered here (never passed on then).
    bool SkinCommand(TMessage& Message);
    void SkinnedMessage(TMessage& Message);
    void UnskinnedMessage(TMessage& Message);
    void PaintMessage(TMessage& Message);
    void PrepareCache();

    std::unique_ptr<TqCommonData> FSkinData;
};
