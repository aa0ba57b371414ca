// The skinned system menu of a form: its items shown and enabled by the
// form's border style and state, the "Available skins" list (the current
// skin checked, a new column every 20 items, a choice changing the
// manager's skin) and the ways it opens (right click on the caption, the
// icon, Alt+Space).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../../support/TempDir.h"
#include "ProviderSupport.h"
#include "framework/StringList.h"

using namespace providertest;

namespace {

// The built Win32 menu of the last showing, as the test saw it.
struct TShownMenu {
    std::vector<gui::MenuEntry> Entries;
    std::vector<gui::MenuEntry> Skins;   // the items of the first entry's submenu
    std::vector<UINT> SkinTypes;         // their types (MFT_RADIOCHECK, MFT_MENUBREAK)
    int Shown = 0;
};

// Answers every pop-up menu with the item whose caption is Choose (none
// when empty), recording what was shown.
gui::PopupMenuAnswers Recorder(TShownMenu& Shown, std::string Choose = std::string())
{
    return gui::PopupMenuAnswers([&Shown, Choose](TPopupMenu*, HMENU Menu, int, int) -> UINT {
        ++Shown.Shown;
        Shown.Entries = gui::MenuEntries(Menu);
        Shown.Skins.clear();
        Shown.SkinTypes.clear();
        if (HMENU sub = GetSubMenu(Menu, 0)) {
            Shown.Skins = gui::MenuEntries(sub);
            for (int i = 0; i < GetMenuItemCount(sub); ++i) {
                MENUITEMINFOW info{};
                info.cbSize = sizeof(info);
                info.fMask = MIIM_FTYPE;
                GetMenuItemInfoW(sub, static_cast<UINT>(i), TRUE, &info);
                Shown.SkinTypes.push_back(info.fType);
            }
        }
        for (const auto& list : {Shown.Skins, Shown.Entries})
            for (const gui::MenuEntry& e : list)
                if (!Choose.empty() && e.Caption == Choose)
                    return e.Command;
        return 0;
    });
}

// The captions of the shown entries, with "(off)" after a greyed one.
std::string Describe(const std::vector<gui::MenuEntry>& Entries)
{
    std::string text;
    for (const gui::MenuEntry& e : Entries) {
        if (e.Caption.empty() && e.Command == 0)
            continue;   // separators
        text += e.Caption + (e.Grayed ? "(off)" : "") + " ";
    }
    return text;
}

// A right click on the middle of the caption.
void RightClickCaption(const TSkinnedForm& F)
{
    RECT w{};
    GetWindowRect(F.Wnd(), &w);
    const LPARAM at = MAKELPARAM(w.left + 120, w.top + F.Provider->FH() + F.Provider->CH() / 2);
    SendMessageW(F.Wnd(), WM_NCRBUTTONDOWN, HTCAPTION, at);
    SendMessageW(F.Wnd(), WM_NCRBUTTONUP, HTCAPTION, at);
}

}   // namespace

TEST(SystemMenu, ItemsFollowTheBorderStyleAndState)
{
    auto manager = ShippedManager("Basalt");
    struct TCase {
        const char* Name;
        TFormBorderStyle Style;
        TBorderIcons Icons;
        TWindowState State;
        const char* Items;
    };
    const TBorderIcons all = biSystemMenu | biMinimize | biMaximize;
    const TCase cases[] = {
        {"sizeable", bsSizeable, all, wsNormal, "Restore(off) Move Size Minimize Maximize Close\tAlt+F4 "},
        {"sizeable maximised", bsSizeable, all, wsMaximized,
         "Restore Move(off) Size Minimize Maximize(off) Close\tAlt+F4 "},
        {"single", bsSingle, all, wsNormal, "Restore(off) Move Size(off) Minimize Maximize Close\tAlt+F4 "},
        {"sizeable without minimise", bsSizeable, biSystemMenu | biMaximize, wsNormal,
         "Restore(off) Move Size Minimize(off) Maximize Close\tAlt+F4 "},
        // The programs' main windows: Move and Close only.
        {"dialog", bsDialog, all, wsNormal, "Move Close\tAlt+F4 "},
        {"tool window", bsToolWindow, all, wsNormal, "Move Close\tAlt+F4 "},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSkinnedForm f(c.Style, c.Icons);
        f.Provider->MakeSkinMenu = false;
        f.Form->SetWindowState(c.State);
        gui::PumpFor(60);
        TShownMenu shown;
        auto answers = Recorder(shown);
        RightClickCaption(f);
        ASSERT_EQ(1, shown.Shown) << "the skinned menu, never the platform's";
        EXPECT_EQ(c.Items, Describe(shown.Entries));
        f.Form->SetWindowState(wsNormal);
    }
}

TEST(SystemMenu, ItemsActOnTheForm)
{
    auto manager = ShippedManager("Clearwater");
    TSkinnedForm f(bsSizeable);
    f.Provider->MakeSkinMenu = false;
    {
        TShownMenu shown;
        auto answers = Recorder(shown, "Maximize");
        RightClickCaption(f);
        gui::PumpFor(40);
        EXPECT_TRUE(IsZoomed(f.Wnd()));
    }
    {
        TShownMenu shown;
        auto answers = Recorder(shown, "Restore");
        // Alt+Space opens it as well.
        SendMessageW(f.Wnd(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
        EXPECT_EQ(1, shown.Shown);
        gui::PumpFor(40);
        EXPECT_FALSE(IsZoomed(f.Wnd()));
    }
    {
        int closes = 0;
        f.Form->OnClose = [&](TObject*, TCloseAction& Action) {
            ++closes;
            Action = caHide;
        };
        TShownMenu shown;
        auto answers = Recorder(shown, "Close\tAlt+F4");
        // A press on the icon drops it below the icon.
        const TRect icon = f.Provider->TitleIconRect();
        RECT w{};
        GetWindowRect(f.Wnd(), &w);
        SendMessageW(f.Wnd(), WM_NCLBUTTONDOWN, HTSYSMENU, MAKELPARAM(w.left + icon.left + 2, w.top + icon.top + 2));
        EXPECT_EQ(1, shown.Shown);
        gui::PumpFor(40);
        EXPECT_EQ(1, closes);
    }
}

TEST(SystemMenu, TheSkinListChecksTheCurrentSkinAndChoosingOneAppliesIt)
{
    // A skin folder of the shipped packed skins (the kit's output folder
    // holds each skin twice, packed and as a folder).
    testfs::TempDir dir("skinlist");
    for (const char* name : {"Basalt", "Clearwater", "Heather", "Meadow", "Terracotta"})
        std::filesystem::copy_file(WinPath(std::string(SKIN_OUTPUT_DIR) + "/" + name + ".zvk"),
                                   dir / (std::string(name) + ".zvk"));
    auto manager = std::make_unique<TqSkinManager>(nullptr);
    manager->SetSkinDirectory(testfs::PathStr(dir.Path()) + "\\");
    manager->SetSkinName("Basalt");
    TSkinnedForm f(bsSizeable);
    {
        TShownMenu shown;
        auto answers = Recorder(shown, "Terracotta");
        RightClickCaption(f);
        ASSERT_FALSE(shown.Entries.empty());
        EXPECT_EQ("Available skins", shown.Entries.front().Caption);
        EXPECT_EQ("Basalt Clearwater Heather Meadow Terracotta ", Describe(shown.Skins));
        for (std::size_t i = 0; i < shown.Skins.size(); ++i) {
            EXPECT_EQ(shown.Skins[i].Caption == "Basalt", shown.Skins[i].Checked) << shown.Skins[i].Caption;
            EXPECT_NE(0u, shown.SkinTypes[i] & MFT_RADIOCHECK);
        }
        gui::PumpFor(60);
    }
    EXPECT_EQ("Terracotta", manager->SkinName());
    EXPECT_TRUE(f.Provider->SkinData()->IsSkinned());
    EXPECT_FALSE(f.Provider->SkinData()->BGChanged) << "the frame was painted again";
    {
        // The list is made again at each showing: one list, the new skin checked.
        TShownMenu shown;
        auto answers = Recorder(shown);
        RightClickCaption(f);
        int lists = 0;
        for (const gui::MenuEntry& e : shown.Entries)
            lists += e.Caption == "Available skins";
        EXPECT_EQ(1, lists);
        for (const gui::MenuEntry& e : shown.Skins)
            EXPECT_EQ(e.Caption == "Terracotta", e.Checked) << e.Caption;
        EXPECT_EQ(9u, shown.Entries.size()) << "the list, a separator, the six items and their separator";
    }
    // A caption with accelerator marks chooses the skin without them.
    auto* marked = new TMenuItem(f.Provider->SystemMenu());   // freed with the menu
    marked->Caption = "Clear&water";
    SkinMenuItemClick(marked);
    EXPECT_EQ("Clearwater", manager->SkinName());
}

TEST(SystemMenu, ASkinBothPackedAndAsAFolderIsListedOnce)
{
    testfs::TempDir dir("skinlist");
    const std::string kit = std::string(SKIN_OUTPUT_DIR) + "/";
    std::filesystem::copy_file(WinPath(kit + "Basalt.zvk"), dir / "Basalt.zvk");
    std::filesystem::copy(WinPath(kit + "Basalt"), dir / "Basalt", std::filesystem::copy_options::recursive);
    std::filesystem::copy_file(WinPath(kit + "Clearwater.zvk"), dir / "Clearwater.zvk");
    auto manager = std::make_unique<TqSkinManager>(nullptr);
    manager->SetSkinDirectory(testfs::PathStr(dir.Path()) + "\\");
    manager->SetSkinName("Basalt");
    TStringList all;
    String first;
    manager->ListAvailableSkins(&all, 2, first);
    ASSERT_EQ(3, all.Count()) << "the folder lists Basalt twice";
    TSkinnedForm f(bsSizeable);
    TShownMenu shown;
    auto answers = Recorder(shown);
    RightClickCaption(f);
    EXPECT_EQ("Basalt Clearwater ", Describe(shown.Skins));
    ASSERT_EQ(2u, shown.Skins.size());
    EXPECT_TRUE(shown.Skins[0].Checked);
    EXPECT_FALSE(shown.Skins[1].Checked);
}

TEST(SystemMenu, FortyFiveSkinsMakeColumnsOfTwentyTwentyAndFive)
{
    // A skin folder with Basalt and 44 more packed skins (only their names
    // are listed).
    testfs::TempDir dir("skinlist");
    std::filesystem::copy_file(WinPath(std::string(SKIN_OUTPUT_DIR) + "/Basalt.zvk"), dir / "Basalt.zvk");
    for (int i = 1; i <= 44; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Skin%02d.zvk", i);
        testfs::WriteBytes(dir / name, "not read");
    }
    auto manager = std::make_unique<TqSkinManager>(nullptr);
    manager->SetSkinDirectory(testfs::PathStr(dir.Path()) + "\\");
    manager->SetSkinName("Basalt");
    ASSERT_TRUE(manager->SkinData().Loaded);
    TSkinnedForm f(bsSizeable);
    TShownMenu shown;
    auto answers = Recorder(shown);
    RightClickCaption(f);
    ASSERT_EQ(45u, shown.Skins.size());
    for (std::size_t i = 0; i < shown.Skins.size(); ++i) {
        EXPECT_EQ(i == 20 || i == 40, (shown.SkinTypes[i] & MFT_MENUBREAK) != 0) << i;
        EXPECT_EQ(i == 0, shown.Skins[i].Checked) << shown.Skins[i].Caption;
    }
}
