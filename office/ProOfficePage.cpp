// A page of the office pager: its link to the pager, the tab properties and
// their effect on the pager, and the parent rules.

#include "office/ProOfficePage.h"

#include "office/ProOfficePager.h"

TProOfficePage::TProOfficePage(TComponent* AOwner)
    : TCustomControl(AOwner), FOfficeHint(std::make_unique<TProHintInfo>()),
      FPicture(std::make_unique<TGdiPlusPicture>()), FDisabledPicture(std::make_unique<TGdiPlusPicture>()),
      FTabAppearance(std::make_unique<TTabAppearance>()), FPageAppearance(std::make_unique<TVistaBackground>())
{
    FTabAppearance->OnChange = [this](TObject*) {
        RepaintPager();
        Invalidate();
    };
    FPageAppearance->OnChange = [this](TObject*) { Invalidate(); };
    ControlStyle = (ControlStyle | csAcceptsControls) & ~csOpaque;
    SetDoubleBuffered(true);
    FPicture->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
    FDisabledPicture->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
}

TProOfficePage::~TProOfficePage()
{
    Destroying();
    if (FPager)
        FPager->RemoveProPage(this);
}

void TProOfficePage::SetPager(TProOfficePager* Value)
{
    if (Value == FPager)
        return;
    if (FPager)
        FPager->RemoveProPage(this);
    if (Value)
        Value->AddProPage(this);   // parents the page and sets the link
}

int TProOfficePage::PageIndex() const
{
    return FPager ? FPager->IndexOfPage(this) : -1;
}

void TProOfficePage::SetPageIndex(int Value)
{
    if (!FPager || Value < 0 || Value >= FPager->ProPageCount())
        return;
    FPager->MoveProPage(PageIndex(), Value);
    FPager->Invalidate();
    Invalidate();
}

void TProOfficePage::SetParent(TWinControl* AParent)
{
    auto* AsPage = dynamic_cast<TProOfficePage*>(AParent);
    auto* AsPager = dynamic_cast<TProOfficePager*>(AParent);
    if ((AsPage || AsPager) && !FSettingParent && FPager) {
        TProOfficePager* Target = AsPager ? AsPager : AsPage->Pager();
        if (Target != FPager) {
            FSettingParent = true;
            try {
                SetPager(Target);
            } catch (...) {
                FSettingParent = false;
                throw;
            }
            FSettingParent = false;
            if (!Target || Target->IndexOfPage(this) < 0)
                throw Exception("Invalid Parent");
        }
        if (AsPage) {
            const int I = PageIndex();
            const int J = FPager ? FPager->IndexOfPage(AsPage) : -1;
            if (I < 0 || J < 0)
                throw Exception("Invalid Parent " + std::to_string(I) + ":" + std::to_string(J));
            FPager->MoveProPage(I, J);
            AParent = FPager;
        }
        FPager->Invalidate();
        Invalidate();
    }
    TCustomControl::SetParent(AParent);
}

TRect TProOfficePage::ClientRect() const
{
    TRect R = TCustomControl::ClientRect();
    return Rect(R.left + 2, R.top + 2, R.right - 2, R.bottom - 2);
}

void TProOfficePage::VisibleChanged()
{
    TCustomControl::VisibleChanged();
    const bool Now = Showing();
    if (Now && !FWasShowing && OnShow)
        OnShow(this);
    FWasShowing = Now;
}

// The tab shows whether the page is enabled (grey caption, the disabled
// picture or images, which may differ in size), so the pager measures and
// paints its tabs again.
void TProOfficePage::EnabledChanged()
{
    TCustomControl::EnabledChanged();
    if (FPager) {
        FPager->UpdateTabScroller();
        FPager->Invalidate();
    }
}

void TProOfficePage::RepaintPager()
{
    if (FPager)
        FPager->Invalidate();
}

void TProOfficePage::PictureChanged(TObject*)
{
    RepaintPager();
    Invalidate();
}

void TProOfficePage::SetCaption(const String& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    Invalidate();
    if (FPager) {
        FPager->Invalidate();
        if (FPager->CloseOnTab() && FPager->ActivePage() == this)
            FPager->LayoutButtons();
        FPager->UpdateTabScroller();
    }
}

void TProOfficePage::SetWideCaption(const WideString& Value)
{
    if (FWideCaption == Value)
        return;
    FWideCaption = Value;
    Invalidate();
    if (FPager && FCaption.empty()) {
        FPager->Invalidate();
        if (FPager->CloseOnTab() && FPager->ActivePage() == this)
            FPager->LayoutButtons();
        FPager->UpdateTabScroller();
    }
}

void TProOfficePage::SetTabVisible(bool Value)
{
    if (FTabVisible == Value)
        return;
    FTabVisible = Value;
    if (FPager) {
        if (FPager->CloseOnTab())
            FPager->LayoutButtons();
        FPager->RepaintActivePage();
        FPager->Invalidate();
        FPager->UpdateTabScroller();
    }
    Invalidate();
}

void TProOfficePage::SetTabEnabled(bool Value)
{
    if (FTabEnabled == Value)
        return;
    FTabEnabled = Value;
    Invalidate();
    RepaintPager();
}

void TProOfficePage::SetImageIndex(int Value)
{
    FImageIndex = Value;
    RepaintPager();
}

void TProOfficePage::SetShowClose(bool Value)
{
    if (FShowClose == Value)
        return;
    FShowClose = Value;
    if (FPager) {
        FPager->LayoutButtons();
        FPager->Invalidate();
    }
    Invalidate();
}

void TProOfficePage::SetUseTabAppearance(bool Value)
{
    if (FUseTabAppearance == Value)
        return;
    FUseTabAppearance = Value;
    RepaintPager();
    Invalidate();
}

void TProOfficePage::SetUsePageAppearance(bool Value)
{
    if (FUsePageAppearance == Value)
        return;
    FUsePageAppearance = Value;
    Invalidate();
}
