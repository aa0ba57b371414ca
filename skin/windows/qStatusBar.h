#pragma once
// The skinned status bar: the framework's status bar whose every pixel comes
// from a cache bitmap painted from its skin section (background and border,
// each panel framed by the section's panel mask or parted by a divider, the
// texts in the section's font colours, the size grip from the skin). With
// no skin it is the framework's status bar. GUI thread only.

#include <memory>

#include "framework/StatusBar.h"
#include "skin/engine/qCommonData.h"

class TqStatusBar : public TStatusBar {
public:
    explicit TqStatusBar(TComponent* AOwner);
    ~TqStatusBar() override;

    TqCommonData* SkinData() const { return FSkinData.get(); }
    // The grip in the bottom-right corner (the window class's own grip when
    // not skinned, the skin's grip image when skinned).
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);

    // The skinned paint: the cache (rebuilt when needed) onto DC, or onto
    // the window's client DC when DC is none.
    void PaintSkinned(HDC DC);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

private:
    // Whether the skin command was answered here.
    bool SkinCommand(TMessage& Message);
    // The framework's handling, then what follows it for a skinned bar.
    void CommonPath(TMessage& Message);
    void PrepareCache();
    void PaintPanels();
    void PaintPanel(TRect P, const String& Text, bool Last);
    void PaintDivider(TRect P);
    void PaintSizeGrip();
    // The cache onto DC over the whole bar, leaving out the child windows,
    // then the window-less children over it.
    void CopyCache(HDC DC);

    std::unique_ptr<TqCommonData> FSkinData;
    bool FSizeGrip = false;
};
