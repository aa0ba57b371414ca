// Tab and page appearances, the styler holder and the office styler's
// presets, and the pager's internal styler.

#include <gtest/gtest.h>

#include "office/PagerStylers.h"
#include "office/ProOfficePager.h"

namespace {

TEST(TabAppearances, NotificationRules)
{
    int Changes = 0;
    TGradientBackground G;
    G.OnChange = [&](TObject*) { ++Changes; };
    G.SetSteps(G.Steps());   // unchanged, still notifies
    EXPECT_EQ(Changes, 1);
    TVistaBackground V;
    V.OnChange = [&](TObject*) { ++Changes; };
    V.SetSteps(V.Steps());
    EXPECT_EQ(Changes, 1);
    V.SetColor(0x123456);
    EXPECT_EQ(Changes, 2);
    // Another class leaves a gradient background as it was.
    G.Assign(&V);
    EXPECT_EQ(G.Color(), 0xFFFFFFu);
    EXPECT_EQ(Changes, 2);

    TTabAppearance A, B;
    EXPECT_EQ(A.BackGround()->Color(), 0xFFFFFFu);
    EXPECT_EQ(A.BackGround()->ColorTo(), static_cast<TColor>(0xFF00000F));
    EXPECT_EQ(A.BackGround()->Direction(), gdHorizontal);
    EXPECT_EQ(A.BackGround()->Steps(), 64);
    EXPECT_EQ(A.Font()->Name(), "Tahoma");
    B.SetColor(1);
    B.SetColorHot(2);
    B.SetTextColor(3);
    B.SetTextColorHot(4);
    B.SetBorderColorDown(5);
    B.ShadowColor = 6;
    B.BackGround()->SetColor(7);
    int TabChanges = 0;
    A.OnChange = [&](TObject*) { ++TabChanges; };
    A.Assign(&B);
    EXPECT_EQ(TabChanges, 2);   // TextColor and TextColorHot only
    EXPECT_EQ(A.Color(), 1u);
    EXPECT_EQ(A.ColorHot(), 2u);
    EXPECT_EQ(A.TextColorHot(), 4u);
    EXPECT_EQ(A.BorderColorDown(), 5u);
    EXPECT_EQ(A.ShadowColor, 6u);
    EXPECT_EQ(A.BackGround()->Color(), 7u);
    // A change of the owned background is the appearance's change.
    A.BackGround()->SetSteps(10);
    EXPECT_EQ(TabChanges, 3);
}

TEST(OfficeStyler, PresetsAndBorderBlend)
{
    TProOfficePagerOfficeStyler S(nullptr);
    EXPECT_EQ(S.Style(), psOffice2003Blue);
    EXPECT_EQ(S.TabAppearance()->BackGround()->Color(), 0xE4AE88u);
    EXPECT_EQ(S.PageAppearance()->BorderColor(), 0xE3B28Du);
    EXPECT_TRUE(S.RoundedCorners());

    S.SetStyle(psOffice2007Luna);
    const TTabAppearance* T = S.TabAppearance();
    EXPECT_EQ(T->TextColor(), 0x8B4215u);
    EXPECT_EQ(T->BackGround()->Color(), 0xFFDBBFu);
    EXPECT_EQ(T->BackGround()->ColorTo(), clNoneColor);
    EXPECT_EQ(T->GradientHot(), ggRadial);
    EXPECT_EQ(T->BorderColorHot, 0xEABC99u);
    EXPECT_EQ(T->BorderColor(), clNoneColor);
    EXPECT_EQ(T->TextColorDisabled(), 0x808080u);
    EXPECT_EQ(S.PageAppearance()->Color(), 0xFAF1E9u);
    EXPECT_EQ(S.PageAppearance()->ColorMirrorTo(), 0xFFF2E7u);

    S.SetStyle(psOffice2003Classic);
    EXPECT_EQ(S.BorderBlend(), 80);
    S.SetStyle(psWindowsXP);
    EXPECT_EQ(S.BorderBlend(), 50);
    EXPECT_FALSE(S.RoundedCorners());
    S.SetStyle(psOffice2007Obsidian);
    EXPECT_EQ(S.TabAppearance()->BackGround()->Direction(), gdVertical);

    // psCustom changes no colour.
    const TColor Before = S.PageAppearance()->Color();
    S.SetStyle(psCustom);
    EXPECT_EQ(S.PageAppearance()->Color(), Before);
}

TEST(OfficeStyler, PagersAreToldOfChanges)
{
    auto* Pager = new TProOfficePager(nullptr);
    TProOfficePagerOfficeStyler S(nullptr);
    Pager->SetProOfficePagerStyler(&S);
    EXPECT_EQ(S.PagerCount(), 1);
    S.SetStyle(psOffice2007Silver);
    EXPECT_EQ(Pager->CurrentStyler()->TabAppearance()->TextColor(), 0x5C534Cu);
    delete Pager;
    EXPECT_EQ(S.PagerCount(), 0);
}

// The styler's glow-button looks are its own: the silver and olive presets
// give hot, down and checked sets unlike the glow button's own presets, the
// border of the checked set is written by some presets only, and every
// gradient but the disabled set's becomes vertical.
TEST(OfficeStyler, GlowButtonLooksOfThePresets)
{
    TProOfficePagerOfficeStyler S(nullptr);
    TGlowButtonAppearance* G = S.GlowButtonAppearance();
    G->SetBorderColorChecked(static_cast<TColor>(0x123456));
    G->SetGradientDisabled(ggRadial);
    G->SetGradientChecked(ggRadial);
    S.SetStyle(psOffice2003Silver);
    EXPECT_EQ(G->Color(), 0xEDD4C0u);
    EXPECT_EQ(G->ColorMirror(), 0xEDD4C0u);
    EXPECT_EQ(G->ColorHot(), 0xCCF4FFu);
    EXPECT_EQ(G->ColorMirrorHotTo(), 0x91D0FFu);
    EXPECT_EQ(G->ColorDown(), 0x4E91FEu);
    EXPECT_EQ(G->ColorMirrorDownTo(), 0x91D3FFu);
    EXPECT_EQ(G->ColorMirrorCheckedTo(), 0x91D3FFu);
    EXPECT_EQ(G->BorderColorChecked(), 0x123456u);
    EXPECT_EQ(G->GradientChecked(), ggVertical);
    EXPECT_EQ(G->GradientDisabled(), ggRadial);
    S.SetStyle(psOffice2003Olive);
    EXPECT_EQ(G->ColorHotTo(), 0xCCF4FFu);
    EXPECT_EQ(G->ColorChecked(), 0x4E91FEu);
    S.SetStyle(psOffice2007Luna);
    EXPECT_EQ(G->ColorHot(), 0xEBFDFFu);
    EXPECT_EQ(G->BorderColorChecked(), 0x45667Bu);
    S.SetStyle(psWindowsXP);
    EXPECT_EQ(G->BorderColorHot(), static_cast<TColor>(0xFF00000D));
    EXPECT_EQ(G->BorderColorChecked(), 0x000000u);
}

TEST(OfficeStyler, InternalStylerHasTheLunaLook)
{
    TProOfficePager Pager(nullptr);
    TCustomProOfficePagerStyler* S = Pager.InternalStyler();
    EXPECT_EQ(Pager.CurrentStyler(), S);
    EXPECT_EQ(S->TabAppearance()->TextColor(), 0x8B4215u);
    EXPECT_EQ(S->TabAppearance()->BackGround()->Color(), 0xFFDBBFu);
    EXPECT_EQ(S->PageAppearance()->BorderColor(), 0xE3B28Du);
    EXPECT_EQ(S->BorderBlend(), 50);
    // The glow-button look is not copied: the default stays.
    TGlowButtonAppearance Default;
    EXPECT_EQ(S->GlowButtonAppearance()->Color(), Default.Color());
}

} // namespace
