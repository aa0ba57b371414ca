// The virtual-tree member on a small control that publishes what such a
// tree of another library has: text colours in a "VETColors" object, a
// "Header" with its options, and the header-drawing events.
#include "ControlsHarness.h"
#include "framework/CustomControl.h"
#include "framework/PropertyRegistry.h"
#include "skin/engine/qPropUtils.h"
#include "skin/windows/zqVirtualTreeViewWnd.h"

using namespace skincontrols;

namespace {

class TTreeColors : public TPersistent {
public:
    TColor Compressed = clBlue, File = clWindowText, Folder = clMaroon;
};

class TTreeHeader : public TPersistent {
public:
    Int64 Options = 2;   // hoVisible
    Int64 Height = 20;
    Int64 SortDirection = 0;
};

class TPublishingTree : public TCustomControl {
public:
    explicit TPublishingTree(TComponent* AOwner) : TCustomControl(AOwner) {}
    TTreeColors Colors;
    TTreeHeader Header;
    TzqAdvancedHeaderDrawEvent OnAdvancedHeaderDraw;
    TzqHeaderDrawQueryElementsEvent OnHeaderDrawQueryElements;

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TCustomControl::CreateParams(Params);
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    }
};

template <class T, class Get, class Set>
void PublishOrd(const char* Name, Get G, Set S)
{
    TPropInfo info;
    info.Name = Name;
    info.Kind = TPropKind::Ordinal;
    info.GetOrd = [G](TObject* Obj) { return static_cast<Int64>(G(static_cast<T*>(Obj))); };
    info.SetOrd = [S](TObject* Obj, Int64 V) { S(static_cast<T*>(Obj), V); };
    RegisterPublishedProperty<T>(std::move(info));
}

template <class Event, class Member>
void PublishEvent(const char* Name, Member M)
{
    TPropInfo info;
    info.Name = Name;
    info.Kind = TPropKind::Method;
    info.MethodAssigned = [M](TObject* Obj) { return static_cast<bool>(static_cast<TPublishingTree*>(Obj)->*M); };
    info.SetMethod = [M](TObject* Obj, const std::any& Handler) {
        auto* tree = static_cast<TPublishingTree*>(Obj);
        tree->*M = Handler.has_value() ? std::any_cast<Event>(Handler) : Event();
    };
    RegisterPublishedProperty<TPublishingTree>(std::move(info));
}

const bool Published = [] {
    PublishOrd<TTreeColors>("CompressedTextColor", [](TTreeColors* C) { return C->Compressed; },
                            [](TTreeColors* C, Int64 V) { C->Compressed = static_cast<TColor>(V); });
    PublishOrd<TTreeColors>("FileTextColor", [](TTreeColors* C) { return C->File; },
                            [](TTreeColors* C, Int64 V) { C->File = static_cast<TColor>(V); });
    PublishOrd<TTreeColors>("FolderTextColor", [](TTreeColors* C) { return C->Folder; },
                            [](TTreeColors* C, Int64 V) { C->Folder = static_cast<TColor>(V); });
    TPropInfo options;
    options.Name = "Options";
    options.Kind = TPropKind::Set;
    options.ElementNames = {"hoOwnerDraw", "hoVisible"};
    options.GetOrd = [](TObject* Obj) { return static_cast<TTreeHeader*>(Obj)->Options; };
    options.SetOrd = [](TObject* Obj, Int64 V) { static_cast<TTreeHeader*>(Obj)->Options = V; };
    RegisterPublishedProperty<TTreeHeader>(std::move(options));
    PublishOrd<TTreeHeader>("Height", [](TTreeHeader* H) { return H->Height; },
                            [](TTreeHeader* H, Int64 V) { H->Height = V; });
    PublishOrd<TTreeHeader>("SortDirection", [](TTreeHeader* H) { return H->SortDirection; },
                            [](TTreeHeader* H, Int64 V) { H->SortDirection = V; });
    for (const char* name : {"VETColors", "Header"}) {
        TPropInfo object;
        object.Name = name;
        object.Kind = TPropKind::Object;
        const bool colors = std::string(name) == "VETColors";
        object.GetObjectProp = [colors](TObject* Obj) -> TObject* {
            auto* tree = static_cast<TPublishingTree*>(Obj);
            return colors ? static_cast<TObject*>(&tree->Colors) : static_cast<TObject*>(&tree->Header);
        };
        RegisterPublishedProperty<TPublishingTree>(std::move(object));
    }
    PublishEvent<TzqAdvancedHeaderDrawEvent>("OnAdvancedHeaderDraw", &TPublishingTree::OnAdvancedHeaderDraw);
    PublishEvent<TzqHeaderDrawQueryElementsEvent>("OnHeaderDrawQueryElements",
                                                  &TPublishingTree::OnHeaderDrawQueryElements);
    return true;
}();

TEST(VirtualTreeSkin, ColoursOptionsAndHeaderEventsFollowTheSkinAndComeBack)
{
    auto manager = ShippedManager("Clearwater");
    TForm form(nullptr);
    form.SetBounds(40, 40, 300, 240);
    form.Show();
    auto* tree = new TPublishingTree(&form);
    tree->SetParent(&form);
    tree->SetBounds(10, 10, 200, 150);
    TqCommonData data(tree, true);
    data.SetSkinSection("EDIT");
    TzqMainWndPtr<TzqVirtualTreeViewWnd> object(
        TzqMainWnd::Create<TzqVirtualTreeViewWnd>(tree->Handle(), true, "EDIT", manager.get(), &data));
    EXPECT_EQ(clBlue, object->SavedCompressedTextColor);
    EXPECT_FALSE(object->SavedHeaderOwnerDraw);
    object->ApplySkinColors();
    const TqGeneralData& edit = manager->Skin().Sections[manager->FindSectionIndex("EDIT")];
    EXPECT_EQ(edit.HotFontColor, tree->Colors.Compressed);
    EXPECT_EQ(edit.HotFontColor, tree->Colors.File);
    EXPECT_EQ(edit.HotFontColor, tree->Colors.Folder);
    EXPECT_EQ(3, tree->Header.Options);
    ASSERT_TRUE(tree->OnHeaderDrawQueryElements);
    ASSERT_TRUE(tree->OnAdvancedHeaderDraw);
    TzqHeaderPaintInfo info;
    unsigned elements = 0;
    tree->OnHeaderDrawQueryElements(info, elements);
    EXPECT_EQ(27u, elements);
    // The painter draws the column from the skin's column-header section.
    TBitmap target(120, 20, TPixelFormat::pf24bit);
    paint_probe::Clear(target, 0x00FF00FF);
    info.TargetCanvas = target.Canvas();
    info.PaintRectangle = Rect(0, 0, 120, 20);
    info.Column = 0;
    tree->OnAdvancedHeaderDraw(info, hpeBackground);
    EXPECT_GT(paint_probe::InkCount(target, 0x00FF00FF), 120 * 20 / 2);
    // The room after the last column takes the section's colour.
    info.Column = -1;
    paint_probe::Clear(target, 0x00FF00FF);
    tree->OnAdvancedHeaderDraw(info, hpeBackground);
    const int header = manager->FindSectionIndex("COLHEADER");
    EXPECT_TRUE(Near(static_cast<TColor>(ColorToRGB(manager->Skin().Sections[header].Color)),
                     paint_probe::PixelAt(target, 60, 10), 0));

    object->RestoreOriginalColors();
    EXPECT_EQ(clBlue, tree->Colors.Compressed);
    EXPECT_EQ(clMaroon, tree->Colors.Folder);
    EXPECT_EQ(2, tree->Header.Options);
    EXPECT_FALSE(tree->OnAdvancedHeaderDraw);
    EXPECT_FALSE(tree->OnHeaderDrawQueryElements);

    // Handlers of the control's own are kept.
    bool ownCalled = false;
    tree->OnAdvancedHeaderDraw = [&](TzqHeaderPaintInfo&, unsigned) { ownCalled = true; };
    object->ApplySkinColors();
    object->RestoreOriginalColors();
    ASSERT_TRUE(tree->OnAdvancedHeaderDraw);
    tree->OnAdvancedHeaderDraw(info, 0);
    EXPECT_TRUE(ownCalled);
    object.reset();
}

}   // namespace
