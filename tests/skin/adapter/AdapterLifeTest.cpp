// The life of the control adapter's items on a skinned form: controls added
// later, re-created, moved in from another form or announced by a skinned
// control get their subclass; a control freed while skinned takes its item
// along; the provider going before its form, or while the form is being
// destroyed, leaves no window calling a freed subclass; a skin change
// reaches every adapted control.
#include "AdapterSupport.h"
#include "skin/windows/zqEditWnd.h"

using namespace adaptertest;

namespace {

// Whether the control's WindowProc chain still holds a subclass: a
// subclass answers sub-command 7 there, a plain control does not.
bool ChainAnswersSkinned(TWinControl* Control)
{
    TMessage message{SM_ZORVIKCMD, SkinCommandWParam(scmIsSkinned), 0, 0};
    Control->WindowProc(message);
    return message.LParam == 1;
}

class AdapterLife : public ::testing::Test {
protected:
    void SetUp() override
    {
        Manager = ShippedManager("Basalt");
        ASSERT_TRUE(Manager->SkinData().Loaded);
        G = std::make_unique<TGalleryForm>();
        G->Show();
        G->SkinWith(Manager.get());
        ASSERT_NE(nullptr, Adapter());
    }
    void TearDown() override
    {
        G.reset();
        Manager.reset();
    }
    TzqCtrlAdapter* Adapter() const { return G->Provider->Adapter(); }

    std::unique_ptr<TqSkinManager> Manager;
    std::unique_ptr<TGalleryForm> G;
};

}   // namespace

TEST_F(AdapterLife, AControlAddedLaterGetsItsSubclass)
{
    const int before = Adapter()->Count();
    auto* edit = G->Add<TEdit>(430, 300, 200, 24);
    auto* button = G->Add<TButton>(430, 330, 90, 28);
    button->SetCaption("Later");
    // One deeper down: its creation reaches the form through the group box.
    auto* nested = new TCheckBox(G->Form.get());
    nested->SetParent(G->Group);
    nested->SetBounds(10, 52, 150, 20);
    nested->SetCaption("Nested");
    gui::Settle();
    EXPECT_EQ("TzqEditWnd", SubclassClass(edit->Handle()));
    EXPECT_EQ("TzqBtnWnd", SubclassClass(button->Handle()));
    EXPECT_EQ("TzqCheckBoxWnd", SubclassClass(nested->Handle()));
    ASSERT_NE(nullptr, Adapter()->ItemOf(edit));
    EXPECT_EQ("EDIT", Adapter()->ItemOf(edit)->SkinData->SkinSection());
    EXPECT_EQ("BUTTON", Adapter()->ItemOf(button)->SkinData->SkinSection());
    EXPECT_EQ(before + 3, Adapter()->Count());
}

TEST_F(AdapterLife, ARecreatedWindowGetsANewSubclassAndTheOldOneIsGone)
{
    const HWND old = G->Edit->Handle();
    TzqAdapterItem* item = Adapter()->ItemOf(G->Edit);
    ASSERT_NE(nullptr, item);
    const int count = Adapter()->Count();
    G->Edit->RecreateWnd();
    gui::Settle();
    const HWND now = G->Edit->Handle();
    ASSERT_NE(old, now);
    EXPECT_EQ("TzqEditWnd", SubclassClass(now));
    EXPECT_EQ(item, Adapter()->ItemOf(G->Edit)) << "the item stays, its subclass is new";
    EXPECT_EQ(item->Subclass.get(), SubclassOf(now));
    EXPECT_FALSE(item->Subclass->Detached);
    EXPECT_EQ(count, Adapter()->Count());
    // The new window paints from the skin: its frame is the section's.
    EXPECT_TRUE(item->SkinData->IsSkinned());
    SetWindowTextW(now, L"10.0.0.1");
    EXPECT_EQ("10.0.0.1", G->Edit->Text());
}

TEST_F(AdapterLife, AControlMovedInWithItsWindowIsAdaptedWithTheEditSection)
{
    // Moved in, a control brings its window along: no window creation tells
    // the form, the control-list notification does.
    TForm other(Application);
    other.SetBounds(700, 60, 300, 200);
    auto* edit = new TEdit(&other);
    edit->SetParent(&other);
    edit->SetBounds(10, 10, 200, 24);
    auto* button = new TButton(&other);
    button->SetParent(&other);
    button->SetBounds(10, 40, 90, 28);
    other.Show();
    gui::Settle();
    ASSERT_TRUE(edit->HandleAllocated());
    edit->SetParent(G->Form.get());
    button->SetParent(G->Form.get());
    edit->SetBounds(430, 300, 200, 24);
    button->SetBounds(430, 330, 90, 28);
    gui::Settle();
    EXPECT_EQ("TzqEditWnd", SubclassClass(edit->Handle()));
    EXPECT_EQ("TzqBtnWnd", SubclassClass(button->Handle()));
    ASSERT_NE(nullptr, Adapter()->ItemOf(edit));
    EXPECT_EQ("EDIT", Adapter()->ItemOf(edit)->SkinData->SkinSection());
    EXPECT_TRUE(Adapter()->ItemOf(edit)->SkinData->IsSkinned());
    delete edit;
    delete button;
}

TEST_F(AdapterLife, AControlFreedWhileSkinnedTakesItsItemAlong)
{
    const int count = Adapter()->Count();
    // One owned by the form, one owned by nothing.
    auto* loose = new TEdit(nullptr);
    loose->SetParent(G->Form.get());
    loose->SetBounds(430, 300, 200, 24);
    gui::Settle();
    ASSERT_NE(nullptr, Adapter()->ItemOf(loose));
    ASSERT_EQ(count + 1, Adapter()->Count());
    TEdit* owned = G->Edit;
    G->Edit = nullptr;
    delete owned;
    delete loose;
    gui::Settle();
    EXPECT_EQ(nullptr, Adapter()->ItemOf(owned));
    EXPECT_EQ(nullptr, Adapter()->ItemOf(loose));
    EXPECT_EQ(count - 1, Adapter()->Count());
    // The rest follow skin changes and the removal as before.
    Manager->SetSkinName("Terracotta");
    gui::PumpFor(40);
    EXPECT_EQ("TzqEditWnd", SubclassClass(G->Memo->Handle()));
    Manager->SetActive(false);
    gui::PumpFor(40);
    EXPECT_EQ(nullptr, SubclassOf(G->Memo));
}

TEST_F(AdapterLife, TheProviderGoingBeforeItsFormGivesEveryControlItsLookBack)
{
    TzqMainWnd* subclass = SubclassOf(G->Edit);
    ASSERT_NE(nullptr, subclass);
    const TColor skinned = G->Edit->Color();
    delete G->Provider;
    G->Provider = nullptr;
    gui::Settle();
    for (HWND wnd : G->Windows())
        EXPECT_EQ(nullptr, SubclassOf(wnd));
    for (TWinControl* c : std::initializer_list<TWinControl*>{G->Edit, G->Memo, G->Combo, G->Button, G->Check,
                                                             G->Radio, G->Group, G->GroupEdit, G->Grid})
        EXPECT_FALSE(ChainAnswersSkinned(c)) << c->ClassName();
    EXPECT_NE(skinned, G->Edit->Color()) << "the edit's own colour is back";
    EXPECT_EQ(clWindow, G->Edit->Color());
    EXPECT_FALSE(G->Label->Transparent());
    // The controls work on.
    SetWindowTextW(G->Edit->Handle(), L"10.0.0.2");
    EXPECT_EQ("10.0.0.2", G->Edit->Text());
    G->Button->Perform(WM_PAINT);
}

TEST_F(AdapterLife, AProviderFreedWhileItsFormIsDestroyedUnhooksTheLiveWindows)
{
    // The form is being destroyed, its windows still live: the adapter lets
    // go of every window without restoring looks that go with the form.
    bool unhooked = false;
    bool propertyGone = false;
    TEdit* edit = G->Edit;
    G->Form->OnDestroy = [&](TObject*) {
        ASSERT_TRUE(edit->HandleAllocated());
        const HWND wnd = edit->Handle();
        ASSERT_NE(nullptr, GetSubclassObject(wnd));
        delete G->Provider;
        G->Provider = nullptr;
        propertyGone = GetSubclassObject(wnd) == nullptr;
        unhooked = !ChainAnswersSkinned(edit);
        SendMessageW(wnd, WM_PAINT, 0, 0);
    };
    G->Form.reset();
    EXPECT_TRUE(propertyGone);
    EXPECT_TRUE(unhooked) << "no window calls a freed subclass";
}

TEST_F(AdapterLife, TheAnnouncementOfASkinnedControlAdaptsWhatItHolds)
{
    // Sub-command 25 names a control whose children are adapted.
    TzqCtrlAdapter* adapter = Adapter();
    int index = -1;
    for (int i = 0; i < adapter->Count(); ++i)
        if (adapter->GetItem(i)->Control == G->GroupEdit)
            index = i;
    ASSERT_GE(index, 0);
    adapter->RemoveItem(index);
    EXPECT_EQ(nullptr, adapter->GetItem(adapter->Count()));
    ASSERT_EQ(nullptr, SubclassOf(G->GroupEdit)) << "a freed item's window is unhooked";
    SendSkinCommand(G->Form->Handle(), scmAdaptControl, reinterpret_cast<LPARAM>(static_cast<TControl*>(G->Group)));
    EXPECT_EQ("TzqEditWnd", SubclassClass(G->GroupEdit->Handle()));
    EXPECT_NE(nullptr, adapter->ItemOf(G->GroupEdit));
}

TEST_F(AdapterLife, ASkinChangeReachesEveryAdaptedControl)
{
    TzqAdapterItem* edit = Adapter()->ItemOf(G->Edit);
    TzqMainWnd* subclass = edit->Subclass.get();
    auto basalt = Print(G->Edit->Handle());
    Manager->SetSkinName("Terracotta");
    gui::PumpFor(60);
    EXPECT_EQ(subclass, SubclassOf(G->Edit)) << "the subclass stays";
    EXPECT_EQ(Manager->FindSectionIndex("EDIT"), edit->SkinData->SkinIndex);
    auto terracotta = Print(G->Edit->Handle());
    EXPECT_GT(PixelsDiffering(basalt.get(), terracotta.get()), 0);
    // The same picture as an edit skinned under that skin from the start.
    TGalleryForm fresh(60, 520);
    fresh.Show();
    fresh.SkinWith(Manager.get());
    EXPECT_EQ(0, PixelsDiffering(terracotta.get(), Print(fresh.Edit->Handle()).get()));
}

TEST_F(AdapterLife, OtherLinksOfAControlKeepWorkingInEitherOrderWithItsSubclass)
{
    // A link installed after the subclass outlives it, and one installed
    // before it goes while the subclass stays.
    int seenAfter = 0;
    TWindowHook later = HookWindowProc(G->Edit, [&](TMessage& M, const TCallPrevious& Previous) {
        seenAfter += M.Msg == WM_SETTEXT ? 1 : 0;
        Previous(M);
    });
    Manager->SetActive(false);
    gui::PumpFor(40);
    EXPECT_EQ(nullptr, SubclassOf(G->Edit));
    SetWindowTextW(G->Edit->Handle(), L"after the skin");
    EXPECT_EQ("after the skin", G->Edit->Text());
    EXPECT_EQ(1, seenAfter);

    // Skinned again: the subclass is now the newer link; the older one goes first.
    Manager->SetActive(true);
    gui::PumpFor(40);
    ASSERT_EQ("TzqEditWnd", SubclassClass(G->Edit->Handle()));
    later.Remove();
    EXPECT_TRUE(ChainAnswersSkinned(G->Edit));
    SetWindowTextW(G->Edit->Handle(), L"skinned");
    EXPECT_EQ("skinned", G->Edit->Text());
    EXPECT_EQ(1, seenAfter);
    Manager->SetActive(false);
    gui::PumpFor(40);
    EXPECT_FALSE(ChainAnswersSkinned(G->Edit));
}

TEST_F(AdapterLife, TheGridsCellEditorMadeLaterIsAnEditOfTheSkinnedForm)
{
    TProStringGrid* grid = G->Grid;
    grid->SetOptions(grid->Options() | goEditing);
    grid->SetCol(1);
    grid->SetRow(2);
    grid->SetFocus();
    grid->SetEditorMode(true);
    gui::Settle();
    TInplaceEdit* editor = grid->InplaceEditor();
    ASSERT_NE(nullptr, editor);
    ASSERT_TRUE(editor->HandleAllocated());
    EXPECT_EQ("TzqEditWnd", SubclassClass(editor->Handle()));
    SetWindowTextW(editor->Handle(), L"42");
    gui::Settle();
    gui::SaveScreenshot(G->Form.get(), ScreenshotPath("adapter-grid-editor.png"));
    grid->SetEditorMode(false);
    gui::Settle();
    EXPECT_EQ("42", grid->Cells(1, 2));
}
