// Animation settings: defaults, and the process-wide button event set that
// only the default manager's settings change.
#include <gtest/gtest.h>

#include "skin/engine/qAnimEffects.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"

TEST(AnimEffects, DefaultsAndTheProcessWideButtonEvents)
{
    auto first = std::make_unique<TqSkinManager>(nullptr);
    auto second = std::make_unique<TqSkinManager>(nullptr);
    ASSERT_TRUE(first->IsDefault());
    TzqAnimEffects* effects = second->AnimEffects();
    EXPECT_EQ(second.get(), effects->Manager());
    EXPECT_EQ(100, effects->DialogShow()->Time);
    EXPECT_EQ(0, effects->FormShow()->Time);
    EXPECT_EQ(0, effects->PageChange()->Time);
    EXPECT_EQ(100, effects->SkinChanging()->Time);
    for (TzqFormAnimation* a : {static_cast<TzqFormAnimation*>(effects->DialogShow()),
                                static_cast<TzqFormAnimation*>(effects->FormShow()),
                                static_cast<TzqFormAnimation*>(effects->PageChange()),
                                static_cast<TzqFormAnimation*>(effects->SkinChanging())})
        EXPECT_TRUE(a->Active);
    EXPECT_EQ(AllButtonEvents, effects->Buttons()->Events());

    // Not the default manager: the shared set, and so its own getter, stay.
    second->AnimEffects()->Buttons()->SetEvents(0);
    EXPECT_EQ(AllButtonEvents, ButtonEvents);
    EXPECT_EQ(AllButtonEvents, second->AnimEffects()->Buttons()->Events());
    // The default manager's set is every manager's answer.
    first->AnimEffects()->Buttons()->SetEvents(1u << beMouseEnter);
    EXPECT_EQ(1u << beMouseEnter, second->AnimEffects()->Buttons()->Events());
    EXPECT_EQ(1u << beMouseEnter, first->AnimEffects()->Buttons()->Events());
    first->AnimEffects()->Buttons()->SetEvents(AllButtonEvents);
}

TEST(AnimEffects, VisualStylesEntryIsBoundAtStart)
{
    // Wine's visual-styles library exports SetWindowTheme.
    ASSERT_NE(nullptr, SetWindowThemeEntry);
    HWND wnd = CreateWindowExW(0, L"BUTTON", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(S_OK, SetWindowThemeEntry(wnd, L" ", L" "));
    DestroyWindow(wnd);
}
