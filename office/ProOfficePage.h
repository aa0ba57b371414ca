#pragma once
// One page of the office pager: a container for the page's controls that
// carries what its tab shows (caption, pictures, hint, close wish, enabled
// and visible flags) and keeps itself registered with its pager.

#include <memory>

#include "framework/CustomControl.h"
#include "framework/Timer.h"
#include "office/ProGlowButton.h"
#include "office/TabAppearance.h"
#include "visuals/GdiPlusPicture.h"
#include "visuals/ProHintInfo.h"

class TProOfficePager;

class TProOfficePage : public TCustomControl {
public:
    explicit TProOfficePage(TComponent* AOwner);
    ~TProOfficePage() override;

    TProOfficePager* Pager() const { return FPager; }
    void SetPager(TProOfficePager* Value);
    int PageIndex() const;
    void SetPageIndex(int Value);

    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    const WideString& WideCaption() const { return FWideCaption; }
    void SetWideCaption(const WideString& Value);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    bool TabEnabled() const { return FTabEnabled; }
    void SetTabEnabled(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool ShowClose() const { return FShowClose; }
    void SetShowClose(bool Value);
    const String& TabHint() const { return FTabHint; }
    void SetTabHint(const String& Value) { FTabHint = Value; }
    TProHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(const TProHintInfo* Value) { FOfficeHint->Assign(Value); }
    TGdiPlusPicture* Picture() const { return FPicture.get(); }
    void SetPicture(const TGdiPlusPicture* Value) { FPicture->Assign(Value); }
    TGdiPlusPicture* DisabledPicture() const { return FDisabledPicture.get(); }
    void SetDisabledPicture(const TGdiPlusPicture* Value) { FDisabledPicture->Assign(Value); }
    TShortCutHintPos ShortCutHintPos() const { return FShortCutHintPos; }
    void SetShortCutHintPos(TShortCutHintPos Value) { FShortCutHintPos = Value; }
    const String& ShortCutHint() const { return FShortCutHint; }
    void SetShortCutHint(const String& Value) { FShortCutHint = Value; }
    bool UseTabAppearance() const { return FUseTabAppearance; }
    void SetUseTabAppearance(bool Value);
    bool UsePageAppearance() const { return FUsePageAppearance; }
    void SetUsePageAppearance(bool Value);
    // The page's own looks, used instead of the styler's while the flags
    // above are on.
    TTabAppearance* TabAppearance() const { return FTabAppearance.get(); }
    void SetTabAppearance(const TTabAppearance* Value) { FTabAppearance->Assign(Value); }
    TVistaBackground* PageAppearance() const { return FPageAppearance.get(); }
    void SetPageAppearance(const TVistaBackground* Value) { FPageAppearance->Assign(Value); }

    // The page's children sit 2 pixels inside its edges.
    TRect ClientRect() const override;
    void SetParent(TWinControl* AParent) override;

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    void VisibleChanged() override;
    void EnabledChanged() override;
    void Paint() override;

private:
    friend class TProOfficePager;

    void RepaintPager();
    void PictureChanged(TObject* Sender);

    TProOfficePager* FPager = nullptr;
    String FCaption;
    WideString FWideCaption;
    bool FTabVisible = true;
    bool FTabEnabled = true;
    int FImageIndex = -1;
    bool FShowClose = true;
    String FTabHint;
    std::unique_ptr<TProHintInfo> FOfficeHint;
    std::unique_ptr<TGdiPlusPicture> FPicture;
    std::unique_ptr<TGdiPlusPicture> FDisabledPicture;
    bool FSettingParent = false;   // guards the parent change
    TShortCutHintPos FShortCutHintPos = shpTop;
    String FShortCutHint;
    bool FUseTabAppearance = false;
    bool FUsePageAppearance = false;
    std::unique_ptr<TTabAppearance> FTabAppearance;
    std::unique_ptr<TVistaBackground> FPageAppearance;
    bool FWasShowing = false;

    // Hover and click glow, driven by the pager: a 50 ms timer while a fade
    // runs (stopped, not freed, when it ends, as a tick cannot free its own
    // timer), the step (+20 or -20), the levels in percent and the mode
    // (0 hover fade, 1 click flash, 2 finished).
    std::unique_ptr<TTimer> FGlowTimer;
    int FGlowStep = 0;
    int FHoverGlow = 0;
    int FFlashGlow = 0;
    Byte FGlowMode = 0;

public:
    bool GlowRunning() const { return FGlowTimer && FGlowTimer->Enabled(); }
    int HoverGlow() const { return FHoverGlow; }
    int FlashGlow() const { return FFlashGlow; }
    int GlowMode() const { return FGlowMode; }
};
