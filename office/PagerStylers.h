#pragma once
// The styler of office pagers: the look a pager takes its tab font, glow
// button look and corner rounding from. A styler keeps the pagers that use it
// and tells them of every change; a styler and its pagers forget each other
// whichever of them is freed first.

#include <memory>
#include <vector>

#include "framework/Component.h"
#include "framework/Graphics.h"
#include "office/GlowButtonAppearance.h"

class TProOfficePager;

class TCustomProOfficePagerStyler : public TComponent {
public:
    explicit TCustomProOfficePagerStyler(TComponent* AOwner);
    ~TCustomProOfficePagerStyler() override;

    void Assign(const TPersistent* Source) override;

    // The font tabs are measured and drawn with.
    TFont* TabFont() const { return FTabFont.get(); }
    TGlowButtonAppearance* GlowButtonAppearance() const { return FGlowButtonAppearance.get(); }
    bool RoundedCorners() const { return FRoundedCorners; }
    void SetRoundedCorners(bool Value);

    void RegisterPager(TProOfficePager* Pager);
    void UnregisterPager(TProOfficePager* Pager);
    int PagerCount() const { return static_cast<int>(FPagers.size()); }

protected:
    // Tells every pager of a change of the given kind (1 tabs, 2 pages,
    // 3 corners, 4 glow buttons).
    void Change(int Kind);

private:
    std::unique_ptr<TFont> FTabFont;
    std::unique_ptr<TGlowButtonAppearance> FGlowButtonAppearance;
    bool FRoundedCorners = true;
    std::vector<TProOfficePager*> FPagers;   // observed, not owned
};
