// The control adapter of a form provider: which controls it takes, which
// subclass each kind gets, and the life of its items.
#include "skin/windows/qCtrlAdapter.h"

#include <array>

#include "framework/Button.h"
#include "framework/CheckBox.h"
#include "framework/ComboBox.h"
#include "framework/ControlMessages.h"
#include "framework/CustomControl.h"
#include "framework/Edit.h"
#include "framework/Grids.h"
#include "framework/GroupBox.h"
#include "framework/Panel.h"
#include "framework/RadioButton.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qPropUtils.h"
#include "skin/engine/qSkinManager.h"
#include "skin/windows/qSkinProvider.h"
#include "skin/windows/zqBtnWnd.h"
#include "skin/windows/zqCheckBoxWnd.h"
#include "skin/windows/zqComboBoxWnd.h"
#include "skin/windows/zqGridWnd.h"
#include "skin/windows/zqGroupBoxWnd.h"
#include "skin/windows/zqSizerWnd.h"
#include "skin/windows/zqVirtualTreeViewWnd.h"

bool AdapterAdapting = false;

namespace {

// The control kind of an item's skin state: its default section is "EDIT".
constexpr int AdapterItemKind = 227;

// Controls of other libraries that take a subclass by their class name.
const std::array<const char*, 3> SynEditNames{"TSynEdit", "TSynMemo", "TDBSynEdit"};
const std::array<const char*, 4> RichViewNames{"TRichView", "TDBRichViewEdit", "TRichViewEdit", "TDBRichView"};
const std::array<const char*, 5> VirtualTreeNames{"TVirtualStringTree", "TVirtualDrawTree", "TEasyListview",
                                                  "TVirtualExplorerListview", "TVirtualExplorerTreeview"};

template <std::size_t N>
bool NameIn(const TObject* Object, const std::array<const char*, N>& Names)
{
    const String name = Object->ClassName();
    for (const char* n : Names)
        if (name == n)
            return true;
    return false;
}

// A grid of the extended kind: a custom control publishing "OptionsEh".
bool IsGridEh(const TControl* Control)
{
    return dynamic_cast<const TCustomControl*>(Control) != nullptr && HasPropByName(Control, "OptionsEh");
}

template <class T>
TzqMainWnd* MakeSubclass(HWND Handle, const String& Section, TqSkinManager* Manager, TqCommonData* Data)
{
    return TzqMainWnd::Create<T>(Handle, true, Section, Manager, Data);
}

// One row of the table that decides a control's subclass: the first row
// that matches wins.
struct TSubclassRow {
    bool (*Matches)(const TControl* Control);
    // The section the item's skin state takes; nullptr keeps the one set.
    const char* ItemSection;
    TzqMainWnd* (*Make)(HWND, const String&, TqSkinManager*, TqCommonData*);
    // The section name handed to the subclass.
    const char* SubclassSection;
};

template <class T>
bool Is(const TControl* Control)
{
    return dynamic_cast<const T*>(Control) != nullptr;
}

const TSubclassRow SubclassRows[] = {
    {Is<TCustomGrid>, nullptr, MakeSubclass<TzqGridWnd>, "EDIT"},
    {[](const TControl* C) { return C->ClassName() == "TBitBtn"; }, "BUTTON", MakeSubclass<TzqBitBtnWnd>, "BUTTON"},
    {Is<TButton>, "BUTTON", MakeSubclass<TzqBtnWnd>, "BUTTON"},
    {[](const TControl* C) { return Is<TCustomCheckBox>(C) || Is<TRadioButton>(C); }, "CHECKBOX",
     MakeSubclass<TzqCheckBoxWnd>, ""},
    {Is<TGroupBox>, "GROUPBOX", MakeSubclass<TzqGroupBoxWnd>, ""},
    {Is<TCustomComboBox>, nullptr, MakeSubclass<TzqComboBoxWnd>, "EDIT"},
    {Is<TCustomEdit>, nullptr, MakeSubclass<TzqEditWnd>, "EDIT"},
    {Is<TPanel>, "PANEL", MakeSubclass<TzqTransPanelWnd>, "PANEL"},
    {[](const TControl* C) { return NameIn(C, SynEditNames); }, nullptr, MakeSubclass<TzqEditWnd>, "EDIT"},
    {[](const TControl* C) { return NameIn(C, RichViewNames); }, nullptr, MakeSubclass<TzqGridWnd>, "EDIT"},
    {[](const TControl* C) { return NameIn(C, VirtualTreeNames); }, nullptr, MakeSubclass<TzqVirtualTreeViewWnd>,
     "EDIT"},
    {IsGridEh, nullptr, MakeSubclass<TzqGridEhWnd>, "EDIT"},
};

const TSubclassRow* RowOf(const TControl* Control)
{
    for (const TSubclassRow& row : SubclassRows)
        if (row.Matches(Control))
            return &row;
    return nullptr;
}

// Whether Control has a parent and skins itself (answers sub-command 7).
bool SkinsItself(TControl* Control)
{
    if (Control->Parent() == nullptr)
        return false;
    if (auto* windowed = dynamic_cast<TWinControl*>(Control))
        return ControlHandlesCommand(windowed, scmIsSkinned);
    TMessage message{SM_ZORVIKCMD, SkinCommandWParam(scmIsSkinned), 0, 0};
    Control->WindowProc(message);
    return message.LParam == 1;
}

// Raises a flag for a scope and puts back what it was.
class TFlagScope {
public:
    TFlagScope(bool& Flag, bool Value) : FFlag(Flag), FOld(Flag) { Flag = Value; }
    ~TFlagScope() { FFlag = FOld; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
    bool FOld;
};

}   // namespace

// ---- items ----

TzqAdapterItem::TzqAdapterItem(TzqCtrlAdapter* AAdapter) : Adapter(AAdapter)
{
    SkinData = std::make_unique<TqCommonData>(this, true);
    SkinData->ControlKind = AdapterItemKind;
}

TzqAdapterItem::~TzqAdapterItem()
{
    Subclass.reset();
    SkinData.reset();
}

void TzqAdapterItem::DoHook(TControl* AControl)
{
    auto* windowed = dynamic_cast<TWinControl*>(AControl);
    if (windowed == nullptr || !windowed->HandleAllocated() || SkinsItself(AControl))
        return;
    Control = AControl;
    const TSubclassRow* row = RowOf(AControl);
    // A row's own section is set while the state still belongs to the
    // item: the control is told of a new section only once it is hooked.
    if (row != nullptr && row->ItemSection != nullptr && AControl->Parent() != nullptr)
        SkinData->SetSkinSection(row->ItemSection);
    SkinData->OwnerControl = AControl;
    SkinData->OwnerObject = AControl;
    if (AControl->Parent() == nullptr || row == nullptr)
        return;
    Subclass.reset(
        row->Make(windowed->Handle(), row->SubclassSection, SkinData->GetSkinManager(), SkinData.get()));
}

// ---- the adapter ----

TzqCtrlAdapter::TzqCtrlAdapter(TqSkinProvider* AProvider) : Provider(AProvider) {}

TzqCtrlAdapter::~TzqCtrlAdapter()
{
    FWatches.clear();
    for (int i = Count() - 1; i >= 0; --i) {
        const TzqAdapterItem* item = Items[static_cast<std::size_t>(i)].get();
        if (!item->Subclass || item->Subclass->Detached)
            RemoveItem(i);
    }
    {
        TFlagScope clearing(AdapterClearing, !RestoreLook);
        while (!Items.empty())
            Items.pop_back();
    }
    if (RestoreLook)
        RestoreLabels();
}

bool TzqCtrlAdapter::IsControlAccepted(TControl* Control)
{
    if (Control == nullptr || Control->Parent() == nullptr)
        return false;
    if (Is<TCustomGrid>(Control) || Is<TButton>(Control) || Is<TCustomCheckBox>(Control) || Is<TGroupBox>(Control) ||
        Is<TRadioButton>(Control) || Is<TCustomComboBox>(Control) || Is<TCustomEdit>(Control))
        return true;
    if (NameIn(Control, SynEditNames) || NameIn(Control, RichViewNames) || NameIn(Control, VirtualTreeNames))
        return true;
    return IsGridEh(Control);
}

TzqAdapterItem* TzqCtrlAdapter::GetItem(int Index)
{
    return Index >= 0 && Index < Count() ? Items[static_cast<std::size_t>(Index)].get() : nullptr;
}

TzqAdapterItem* TzqCtrlAdapter::ItemOf(const TComponent* Control) const
{
    for (const auto& item : Items)
        if (item->Control == Control)
            return item.get();
    return nullptr;
}

void TzqCtrlAdapter::RemoveItem(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    // Taken out of the list first: freeing the subclass may send messages
    // that reach the adapter again.
    std::unique_ptr<TzqAdapterItem> item = std::move(Items[static_cast<std::size_t>(Index)]);
    Items.erase(Items.begin() + Index);
    item.reset();
}

void TzqCtrlAdapter::AddItemDefault(TControl* Control)
{
    AddItem(Control, DefaultSection);
}

void TzqCtrlAdapter::AddItem(TControl* Control, const String& Section)
{
    if (Control == nullptr || SkinsItself(Control))
        return;
    bool canBeAdded = true;
    String section = Section;
    if (Provider->OnSkinItem)
        Provider->OnSkinItem(Control, canBeAdded, section);
    if (!canBeAdded)
        return;
    TzqAdapterItem* item = ItemOf(Control);
    const bool isNew = item == nullptr;
    if (isNew) {
        Items.push_back(std::make_unique<TzqAdapterItem>(this));
        item = Items.back().get();
        item->Control = Control;
    }
    // No section: the item's kind gives it ("EDIT"); a section that no skin
    // has would leave the control hooked but painted by nothing.
    item->SkinData->SetSkinSection(section.empty() ? DefaultSectionOfKind(AdapterItemKind) : section);
    if (!isNew) {
        if (item->Subclass && item->Subclass->Detached) {
            // Its window went (re-created or destroyed): a new one is hooked.
            item->Subclass.reset();
            if (Control->Parent() != nullptr)
                item->DoHook(Control);
        }
        return;
    }
    if (Control->Parent() != nullptr)
        item->DoHook(Control);
    if (!item->Subclass) {
        Items.pop_back();
        return;
    }
    // A control not owned by the form tells the provider when it goes too.
    Provider->FreeNotification(Control);
}

void TzqCtrlAdapter::SendToItems(TMessage& Message)
{
    // Indexes are read again on each step: a receiver may change the list.
    for (std::size_t i = 0; i < Items.size(); ++i) {
        TzqAdapterItem* item = Items[i].get();
        if (!item->Subclass || item->Subclass->Detached || item->Control == nullptr ||
            item->Control->Parent() == nullptr)
            continue;
        try {
            SendMessageW(item->Subclass->WndHandle, Message.Msg, Message.WParam, Message.LParam);
        } catch (const Exception&) {
            // One control's failure does not keep the message from the others.
        }
    }
}

void TzqCtrlAdapter::ControlRemoved(TComponent* Control)
{
    for (int i = Count() - 1; i >= 0; --i) {
        TzqAdapterItem* item = Items[static_cast<std::size_t>(i)].get();
        if (item->Control != Control)
            continue;
        // The control is past its own destructors: its subclass lets go of
        // the window and touches nothing of the control.
        item->SkinData->OwnerControl = nullptr;
        item->SkinData->OwnerObject = nullptr;
        TFlagScope clearing(AdapterClearing, true);
        RemoveItem(i);
    }
    for (std::size_t i = FLabels.size(); i-- > 0;)
        if (FLabels[i].Label == Control)
            FLabels.erase(FLabels.begin() + static_cast<std::ptrdiff_t>(i));
    for (std::size_t i = FWatches.size(); i-- > 0;)
        if (FWatches[i].Container == Control)
            FWatches.erase(FWatches.begin() + static_cast<std::ptrdiff_t>(i));
}

void TzqCtrlAdapter::AdaptAll(TWinControl* Parent)
{
    if (AdapterAdapting)
        return;
    TqSkinManager* manager = Provider->SkinData()->GetSkinManager();
    if (manager == nullptr || (manager->SkinningRules & srThirdParty) == 0)
        return;
    if (Parent == nullptr)
        Parent = Provider->Form();
    if (Parent == nullptr)
        return;
    TFlagScope adapting(AdapterAdapting, true);
    AdaptChildren(Parent);
}

void TzqCtrlAdapter::AdaptChildren(TWinControl* Parent)
{
    // Bounds are read again on each step.
    for (int i = 0; i < Parent->ComponentCount(); ++i)
        AdaptOne(Parent->Components(i));
    for (int i = 0; i < Parent->ControlCount(); ++i)
        AdaptOne(Parent->Controls(i));
}

void TzqCtrlAdapter::AdaptOne(TComponent* Component)
{
    auto* windowed = dynamic_cast<TWinControl*>(Component);
    if (windowed != nullptr && IsControlAccepted(windowed))
        AddItem(windowed, "EDIT");
    else if (auto* label = dynamic_cast<TLabel*>(Component))
        SkinLabel(label);
    if (windowed != nullptr && windowed->HandleAllocated() && windowed->Parent() != nullptr &&
        !windowed->IsDestroying()) {
        WatchContainer(windowed);
        AdaptChildren(windowed);
    }
}

void TzqCtrlAdapter::WatchContainer(TWinControl* Container)
{
    for (const TContainerWatch& watch : FWatches)
        if (watch.Container == Container)
            return;
    TWindowHook hook = HookWindowProc(Container, [this, Container](TMessage& M, const TCallPrevious& Previous) {
        Previous(M);
        if (M.Msg == WM_PARENTNOTIFY && LOWORD(M.WParam) == WM_CREATE && !Container->IsDestroying())
            AdaptAll(Container);
        else if (M.Msg == CM_CONTROLLISTCHANGE && M.LParam != 0)
            if (auto* control = dynamic_cast<TWinControl*>(reinterpret_cast<TControl*>(M.WParam)))
                AddItemDefault(control);
    });
    FWatches.push_back(TContainerWatch{Container, std::move(hook)});
    Provider->FreeNotification(Container);
}

void TzqCtrlAdapter::SkinLabel(TCustomLabel* Label)
{
    bool known = false;
    for (const TLabelLook& look : FLabels)
        known = known || look.Label == Label;
    if (!known) {
        FLabels.push_back(TLabelLook{Label, Label->Transparent(), Label->Font()->Color(), Label->ParentFont()});
        Provider->FreeNotification(Label);
    }
    Label->SetTransparent(true);
    // $FF00FF is no colour: a skin without GLOBALINFO leaves the font alone.
    TqSkinManager* manager = TqSkinManager::DefaultManager();
    const TColor color = manager != nullptr ? manager->GetGlobalFontColor() : clFuchsia;
    if (color != clFuchsia)
        Label->Font()->SetColor(color);
}

void TzqCtrlAdapter::RestoreLabels()
{
    for (const TLabelLook& look : FLabels) {
        if (look.Label->IsDestroying())
            continue;
        look.Label->SetTransparent(look.Transparent);
        look.Label->Font()->SetColor(look.FontColor);
        look.Label->SetParentFont(look.ParentFont);
    }
    FLabels.clear();
}
