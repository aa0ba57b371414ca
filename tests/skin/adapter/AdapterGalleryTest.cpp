// The test form with one of every standard control under each shipped skin:
// each control carries the subclass of its kind with its section, the
// controls the adapter does not take carry none, the screen shows the skin
// (screenshots in build/screenshots), and removing the skin gives every
// control its own picture back, with the GDI objects flat over repeated
// skinning and removal.
#include <functional>

#include "AdapterSupport.h"
#include "../../graphics/PaintProbe.h"

using namespace adaptertest;

namespace {

struct TKindRow {
    const char* Name;
    std::function<HWND(TGalleryForm&)> Window;
    std::function<TComponent*(TGalleryForm&)> Control;   // nullptr: a system window without a control
    const char* Subclass;                                 // the exact class, "none" for no subclass
    const char* Section;                                  // of the item's skin state; nullptr: no item
};

const std::vector<TKindRow>& KindTable()
{
    static const std::vector<TKindRow> rows{
        {"edit", [](TGalleryForm& g) { return g.Edit->Handle(); }, [](TGalleryForm& g) { return g.Edit; },
         "TzqEditWnd", "EDIT"},
        {"memo", [](TGalleryForm& g) { return g.Memo->Handle(); }, [](TGalleryForm& g) { return g.Memo; },
         "TzqEditWnd", "EDIT"},
        {"combo box", [](TGalleryForm& g) { return g.Combo->Handle(); }, [](TGalleryForm& g) { return g.Combo; },
         "TzqComboBoxWnd", "EDIT"},
        {"button", [](TGalleryForm& g) { return g.Button->Handle(); }, [](TGalleryForm& g) { return g.Button; },
         "TzqBtnWnd", "BUTTON"},
        {"check box", [](TGalleryForm& g) { return g.Check->Handle(); }, [](TGalleryForm& g) { return g.Check; },
         "TzqCheckBoxWnd", "CHECKBOX"},
        {"radio button", [](TGalleryForm& g) { return g.Radio->Handle(); }, [](TGalleryForm& g) { return g.Radio; },
         "TzqCheckBoxWnd", "CHECKBOX"},
        {"group box", [](TGalleryForm& g) { return g.Group->Handle(); }, [](TGalleryForm& g) { return g.Group; },
         "TzqGroupBoxWnd", "GROUPBOX"},
        {"edit in the group box", [](TGalleryForm& g) { return g.GroupEdit->Handle(); },
         [](TGalleryForm& g) { return g.GroupEdit; }, "TzqEditWnd", "EDIT"},
        {"button on the panel", [](TGalleryForm& g) { return g.PanelButton->Handle(); },
         [](TGalleryForm& g) { return g.PanelButton; }, "TzqBtnWnd", "BUTTON"},
        {"string grid", [](TGalleryForm& g) { return g.Grid->Handle(); }, [](TGalleryForm& g) { return g.Grid; },
         "TzqGridWnd", "EDIT"},
        // Not taken: the list box and the tool bar are no kind of the
        // table, a panel comes only through the control-list notification,
        // and system windows without a control are the dialog skinning's.
        {"list box", [](TGalleryForm& g) { return g.List->Handle(); }, [](TGalleryForm& g) { return g.List; }, "none",
         nullptr},
        {"tool bar", [](TGalleryForm& g) { return g.Tools->Handle(); }, [](TGalleryForm& g) { return g.Tools; },
         "none", nullptr},
        {"panel", [](TGalleryForm& g) { return g.Panel->Handle(); }, [](TGalleryForm& g) { return g.Panel; }, "none",
         nullptr},
        {"up-down", [](TGalleryForm& g) { return g.Spin; }, nullptr, "none", nullptr},
        {"list view", [](TGalleryForm& g) { return g.ListView; }, nullptr, "none", nullptr},
        {"tree view", [](TGalleryForm& g) { return g.Tree; }, nullptr, "none", nullptr},
    };
    return rows;
}

}   // namespace

TEST(AdapterGallery, EachControlCarriesTheSubclassOfItsKindUnderEachSkin)
{
    for (const String& skin : ShippedSkins()) {
        SCOPED_TRACE(skin);
        auto manager = ShippedManager(skin);
        ASSERT_TRUE(manager->SkinData().Loaded);
        TGalleryForm g;
        g.Show();
        g.SkinWith(manager.get());
        TzqCtrlAdapter* adapter = g.Provider->Adapter();
        ASSERT_NE(nullptr, adapter);
        int withItems = 0;
        for (const TKindRow& row : KindTable()) {
            SCOPED_TRACE(row.Name);
            const HWND wnd = row.Window(g);
            ASSERT_TRUE(IsWindow(wnd));
            EXPECT_EQ(row.Subclass, SubclassClass(wnd));
            if (row.Control == nullptr)
                continue;
            TzqAdapterItem* item = adapter->ItemOf(row.Control(g));
            if (row.Section == nullptr) {
                EXPECT_EQ(nullptr, item);
                continue;
            }
            ASSERT_NE(nullptr, item);
            ++withItems;
            EXPECT_EQ(String(row.Section), item->SkinData->SkinSection());
            EXPECT_EQ(row.Control(g), item->SkinData->OwnerControl) << "the state belongs to the control";
            EXPECT_EQ(item->Subclass.get(), SubclassOf(wnd));
            EXPECT_TRUE(item->SkinData->IsSkinned());
        }
        EXPECT_EQ(withItems, adapter->Count()) << "one item per adapted control, none for the others";
        // The label is drawn over the skinned background in the skin's text colour.
        EXPECT_TRUE(g.Label->Transparent());
        EXPECT_EQ(manager->GetGlobalFontColor(), g.Label->Font()->Color());
        gui::SaveScreenshot(g.Form.get(), ScreenshotPath("adapter-" + std::string(skin.c_str()) + ".png"));
    }
}

TEST(AdapterGallery, RemovingTheSkinGivesEveryControlItsOwnPictureBack)
{
    auto manager = ShippedManager("Clearwater");
    manager->SetActive(false);
    TGalleryForm g;
    g.Show();
    const std::vector<HWND> windows = g.Windows();
    std::vector<std::unique_ptr<TBitmap>> printed, shown;
    for (HWND wnd : windows) {
        printed.push_back(Print(wnd));
        shown.push_back(ScreenOf(wnd));
    }
    const TColor labelColor = g.Label->Font()->Color();
    auto client = gui::Capture(g.Form->Handle());

    manager->SetActive(true);
    g.SkinWith(manager.get());
    ASSERT_NE(nullptr, g.Provider->Adapter());
    int changed = 0;
    for (std::size_t i = 0; i < windows.size(); ++i)
        changed += PixelsDiffering(printed[i].get(), Print(windows[i]).get()) > 0 ? 1 : 0;
    EXPECT_GE(changed, 8) << "the skin shows on the adapted controls";

    manager->SetActive(false);
    gui::PumpFor(80);
    EXPECT_EQ(nullptr, g.Provider->Adapter());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        char name[64]{};
        GetClassNameA(windows[i], name, 64);
        SCOPED_TRACE(name);
        EXPECT_EQ(nullptr, SubclassOf(windows[i]));
        EXPECT_EQ(0, PixelsDiffering(printed[i].get(), Print(windows[i]).get())) << "WM_PRINT";
        EXPECT_EQ(0, PixelsDiffering(shown[i].get(), ScreenOf(windows[i]).get())) << "screen";
    }
    EXPECT_FALSE(g.Label->Transparent());
    EXPECT_EQ(labelColor, g.Label->Font()->Color());
    EXPECT_TRUE(g.Label->ParentFont());
    EXPECT_EQ(0, PixelsDiffering(client.get(), gui::Capture(g.Form->Handle()).get())) << "the whole client area";
    gui::SaveScreenshot(g.Form.get(), ScreenshotPath("adapter-removed.png"));
}

TEST(AdapterGallery, GdiObjectsStayFlatOverRepeatedSkinningAndRemoval)
{
    auto manager = ShippedManager("Terracotta");
    TGalleryForm g;
    g.Show();
    g.SkinWith(manager.get());
    const auto cycle = [&] {
        manager->SetActive(false);
        gui::PumpFor(20);
        manager->SetActive(true);
        gui::PumpFor(20);
    };
    cycle();
    ASSERT_NE(nullptr, g.Provider->Adapter());
    const int before = paint_probe::GdiObjectCount();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 15; ++i)
        cycle();
    ASSERT_NE(nullptr, g.Provider->Adapter()) << "skinned again after each removal";
    EXPECT_EQ("TzqEditWnd", SubclassClass(g.Edit->Handle()));
    EXPECT_EQ(before, paint_probe::GdiObjectCount());
}

TEST(AdapterGallery, ALabelOnTheSkinnedFormShowsInTheSkinsTextColourAndFollowsItsCaption)
{
    auto manager = ShippedManager("Basalt");
    TGalleryForm g;
    g.Show();
    const auto labelPixels = [&](COLORREF Colour) {
        auto client = gui::Capture(g.Form->Handle());
        const TRect r = g.Label->BoundsRect();
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += gui::PixelAt(client.get(), x, y) == Colour ? 1 : 0;
        return n;
    };
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    ASSERT_GT(labelPixels(face), 0) << "the native label shows the platform's face";
    g.SkinWith(manager.get());
    const COLORREF text = ColorToRGB(manager->GetGlobalFontColor());
    EXPECT_EQ(0, labelPixels(face)) << "transparent over the skinned background";
    const int before = labelPixels(text);
    EXPECT_GT(before, 0) << "in the skin's text colour";
    g.Label->SetCaption("Channel 3 of 8: sent.");
    gui::PumpFor(40);
    EXPECT_NE(before, labelPixels(text)) << "the new caption shows";
}
