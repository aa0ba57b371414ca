#pragma once
// Stylers of office pagers: the tab look, page look, glow-button look,
// corner rounding and border blend that pagers paint with. A styler keeps
// the pagers that use it and tells them of every change; a styler and its
// pagers forget each other whichever of them is freed first. The office
// styler adds ten named colour presets.

#include <memory>
#include <vector>

#include "framework/Component.h"
#include "framework/WinControl.h"
#include "office/GlowButtonAppearance.h"
#include "office/TabAppearance.h"
#include "visuals/ComponentStyle.h"

class TProOfficePager;

class TCustomProOfficePagerStyler : public TComponent {
public:
    explicit TCustomProOfficePagerStyler(TComponent* AOwner);
    ~TCustomProOfficePagerStyler() override;

    // Tab and page appearance and RoundedCorners; not the glow-button look
    // or BorderBlend.
    void Assign(const TPersistent* Source) override;

    TTabAppearance* TabAppearance() const { return FTabAppearance.get(); }
    void SetTabAppearance(const TTabAppearance* Value) { FTabAppearance->Assign(Value); }
    TVistaBackground* PageAppearance() const { return FPageAppearance.get(); }
    void SetPageAppearance(const TVistaBackground* Value) { FPageAppearance->Assign(Value); }
    TGlowButtonAppearance* GlowButtonAppearance() const { return FGlowButtonAppearance.get(); }
    void SetGlowButtonAppearance(const TGlowButtonAppearance* Value) { FGlowButtonAppearance->Assign(Value); }
    // The font tabs are measured and drawn with.
    TFont* TabFont() const { return FTabAppearance->Font(); }
    bool RoundedCorners() const { return FRoundedCorners; }
    // Stores without comparing and tells the pagers.
    void SetRoundedCorners(bool Value);
    int BorderBlend() const { return FBorderBlend; }
    void SetBorderBlend(int Value) { FBorderBlend = Value; }

    void AddPager(TProOfficePager* Pager);
    void RemovePager(TProOfficePager* Pager);
    int PagerCount() const { return static_cast<int>(FPagers.size()); }

protected:
    // Tells every pager of a change: 1 tabs, 2 pages, 3 corners, 4 glow buttons.
    void Change(int Kind);

private:
    std::unique_ptr<TTabAppearance> FTabAppearance;
    std::unique_ptr<TVistaBackground> FPageAppearance;
    std::unique_ptr<TGlowButtonAppearance> FGlowButtonAppearance;
    bool FRoundedCorners = true;
    int FBorderBlend = 50;
    std::vector<TProOfficePager*> FPagers;   // observed, not owned
};

enum TOfficePagerStyle : Byte {
    psOffice2003Blue, psOffice2003Silver, psOffice2003Olive, psOffice2003Classic, psOffice2007Luna,
    psOffice2007Obsidian, psWindowsXP, psWhidbey, psCustom, psOffice2007Silver,
};

// A hidden window that tells of changes of the desktop's visual style.
class TNotifierWindow : public TWinControl {
public:
    explicit TNotifierWindow(TComponent* AOwner);
    TNotifyEvent OnThemeChange;

protected:
    void WndProc(TMessage& Message) override;
};

// The desktop's colour scheme: 1 blue ("NormalColor"), 2 olive
// ("HomeStead"), 3 silver ("Metallic"), 0 for any other or without visual
// styles.
int CurrentColorScheme();

class TProOfficePagerOfficeStyler : public TCustomProOfficePagerStyler,
                                    public TComponentStyleUnknown<IComponentStyle> {
public:
    // Applies psOffice2003Blue in full.
    explicit TProOfficePagerOfficeStyler(TComponent* AOwner);

    TOfficePagerStyle Style() const { return FStyle; }
    // Writes the preset's colours (nothing for psCustom or values above 9),
    // then tells the pagers of a page change.
    void SetStyle(TOfficePagerStyle Value);

    // With AutoThemeAdapt the style follows the desktop's colour scheme
    // after loading and on every change of visual style.
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value) { FAutoThemeAdapt = Value; }
    void ThemeChanged(TObject* Sender = nullptr);
    TNotifierWindow* NotifierWindow() const { return FNotifier; }

    void Loaded() override;

    void STDMETHODCALLTYPE SetComponentStyle(TComponentStylePreset AStyle) override
    {
        SetStyle(static_cast<TOfficePagerStyle>(AStyle));
    }

private:
    void ApplyPreset(int Column);

    TOfficePagerStyle FStyle = psOffice2003Blue;
    bool FAutoThemeAdapt = false;
    TNotifierWindow* FNotifier = nullptr;   // owned as a component
};
