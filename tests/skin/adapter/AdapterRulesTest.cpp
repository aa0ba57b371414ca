// Which controls the adapter takes and how: the controls of other libraries
// known by class name or by a published property, a glyph button before a
// plain button, controls that skin themselves left alone, the form's
// OnSkinItem refusing a control or choosing its section, and a manager
// without third-party skinning taking none.
#include <functional>

#include "AdapterSupport.h"
#include "framework/CustomControl.h"
#include "framework/PropertyRegistry.h"
#include "skin/windows/qLabelFX.h"

using namespace adaptertest;

// Controls of other libraries, as the adapter knows them: by their class
// names only.
class TSynEdit : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
};
class TRichView : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
};
class TVirtualStringTree : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
};
// A grid of the extended kind publishes "OptionsEh".
class TExtendedGrid : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    Int64 Options = 0;
};
// A control of no known kind.
class TOtherLibraryControl : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
};
// An edit that skins itself, as the skin library's own controls do: it
// answers sub-command 7.
class TSelfSkinnedEdit : public TEdit {
public:
    using TEdit::TEdit;

protected:
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == SM_ZORVIKCMD && SkinSubCommand(Message.WParam) == scmIsSkinned) {
            Message.LParam = Message.Result = 1;
            return;
        }
        TEdit::WndProc(Message);
    }
};
class TBitBtn : public TButton {
public:
    using TButton::TButton;
};

namespace {

const bool OptionsPublished = [] {
    TPropInfo info;
    info.Name = "OptionsEh";
    info.Kind = TPropKind::Ordinal;
    info.GetOrd = [](TObject* Obj) { return static_cast<TExtendedGrid*>(Obj)->Options; };
    info.SetOrd = [](TObject* Obj, Int64 V) { static_cast<TExtendedGrid*>(Obj)->Options = V; };
    RegisterPublishedProperty<TExtendedGrid>(std::move(info));
    return true;
}();

struct TRuleRow {
    const char* Name;
    std::function<TWinControl*(TGalleryForm&)> Make;
    const char* Subclass;
    const char* Section;   // nullptr: no item
};

TEST(AdapterRules, ControlsOfOtherLibrariesAndGlyphButtonsGetTheirSubclass)
{
    ASSERT_TRUE(OptionsPublished);
    const std::vector<TRuleRow> rows{
        {"TSynEdit", [](TGalleryForm& g) { return g.Add<TSynEdit>(430, 300, 100, 40); }, "TzqEditWnd", "EDIT"},
        {"TRichView", [](TGalleryForm& g) { return g.Add<TRichView>(540, 300, 100, 40); }, "TzqGridWnd", "EDIT"},
        {"TVirtualStringTree", [](TGalleryForm& g) { return g.Add<TVirtualStringTree>(430, 350, 100, 40); },
         "TzqVirtualTreeViewWnd", "EDIT"},
        {"OptionsEh", [](TGalleryForm& g) { return g.Add<TExtendedGrid>(540, 350, 100, 40); }, "TzqGridEhWnd",
         "EDIT"},
        {"TBitBtn",
         [](TGalleryForm& g) {
             auto* b = g.Add<TBitBtn>(430, 400, 90, 28);
             b->SetCaption("Glyph");
             return b;
         },
         "TzqBitBtnWnd", "BUTTON"},
        {"unknown", [](TGalleryForm& g) { return g.Add<TOtherLibraryControl>(540, 400, 100, 28); }, "none", nullptr},
        // A control skinned by its own class answers sub-command 7 and is
        // never wrapped a second time.
        {"self-skinned edit", [](TGalleryForm& g) { return g.Add<TSelfSkinnedEdit>(430, 10, 200, 24); }, "none",
         nullptr},
    };
    auto manager = ShippedManager("Clearwater");
    TGalleryForm g;
    std::vector<TWinControl*> controls;
    for (const TRuleRow& row : rows)
        controls.push_back(row.Make(g));
    // The skin library's own label is no TLabel: it is left alone.
    auto* fx = new TqLabelFX(g.Form.get());
    fx->SetParent(g.Form.get());
    fx->SetBounds(540, 440, 100, 18);
    fx->SetCaption("Shadowed");
    const TColor fxColor = fx->Font()->Color();
    g.Show();
    g.SkinWith(manager.get());
    EXPECT_FALSE(fx->Transparent());
    EXPECT_EQ(fxColor, fx->Font()->Color());
    EXPECT_TRUE(g.Label->Transparent());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].Name);
        EXPECT_EQ(rows[i].Subclass, SubclassClass(controls[i]->Handle()));
        TzqAdapterItem* item = g.Provider->Adapter()->ItemOf(controls[i]);
        if (rows[i].Section == nullptr) {
            EXPECT_EQ(nullptr, item);
            continue;
        }
        ASSERT_NE(nullptr, item);
        EXPECT_EQ(rows[i].Section, item->SkinData->SkinSection());
    }
    EXPECT_TRUE(WindowHandlesCommand(controls.back()->Handle(), scmIsSkinned)) << "it skins itself";
}

TEST(AdapterRules, OnSkinItemRefusesAControlOrChoosesItsSection)
{
    auto manager = ShippedManager("Basalt");
    TGalleryForm g;
    g.Show();
    g.Provider = new TqSkinProvider(g.Form.get());
    std::vector<String> asked;
    g.Provider->OnSkinItem = [&](TComponent* Item, bool& CanBeAdded, String& Section) {
        asked.push_back(Item->ClassName());
        EXPECT_EQ("EDIT", Section);
        if (Item == g.Check)
            CanBeAdded = false;
        else if (Item == g.Edit || Item == g.Grid || Item == g.Button)
            Section = "PANEL";
    };
    SendSkinCommand(g.Form->Handle(), scmRefresh, reinterpret_cast<LPARAM>(manager.get()));
    gui::PumpFor(40);
    TzqCtrlAdapter* adapter = g.Provider->Adapter();
    EXPECT_EQ("none", SubclassClass(g.Check->Handle()));
    EXPECT_EQ(nullptr, adapter->ItemOf(g.Check));
    EXPECT_EQ("TzqCheckBoxWnd", SubclassClass(g.Radio->Handle()));
    // An edit and a grid take the chosen section; a row with a section of
    // its own overrides it.
    EXPECT_EQ("PANEL", adapter->ItemOf(g.Edit)->SkinData->SkinSection());
    EXPECT_EQ("PANEL", adapter->ItemOf(g.Grid)->SkinData->SkinSection());
    EXPECT_EQ("BUTTON", adapter->ItemOf(g.Button)->SkinData->SkinSection());
    EXPECT_EQ("EDIT", adapter->ItemOf(g.Memo)->SkinData->SkinSection());
    EXPECT_NE(std::find(asked.begin(), asked.end(), String("TCheckBox")), asked.end());
    // The handler is asked again at the next adaptation, and the refused
    // control stays refused.
    asked.clear();
    SendSkinCommand(g.Form->Handle(), scmRefresh, reinterpret_cast<LPARAM>(manager.get()));
    ASSERT_FALSE(asked.empty());
    for (const String& name : asked)
        EXPECT_EQ("TCheckBox", name) << "the adapted ones answer for themselves";
    EXPECT_EQ("none", SubclassClass(g.Check->Handle()));
}

TEST(AdapterRules, WithoutThirdPartySkinningNoControlIsWrapped)
{
    auto manager = ShippedManager("Terracotta");
    manager->SkinningRules &= ~static_cast<TzqSkinningRules>(srThirdParty);
    TGalleryForm g;
    g.Show();
    const TColor labelColor = g.Label->Font()->Color();
    g.SkinWith(manager.get());
    ASSERT_NE(nullptr, g.Provider->Adapter());
    EXPECT_EQ(0, g.Provider->Adapter()->Count());
    for (HWND wnd : g.Windows())
        EXPECT_EQ(nullptr, SubclassOf(wnd));
    EXPECT_FALSE(g.Label->Transparent());
    EXPECT_EQ(labelColor, g.Label->Font()->Color());
    EXPECT_EQ(0, GetWindowLongPtrW(g.Form->Handle(), GWL_STYLE) & WS_SYSMENU) << "the form itself is skinned";
}

}   // namespace
