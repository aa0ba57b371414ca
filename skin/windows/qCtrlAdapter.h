#pragma once
// The control adapter of a form provider: it finds the plain controls of a
// skinned form (edits, combo boxes, buttons, check boxes, group boxes,
// grids, and a few controls of other libraries known by class name) and
// gives each one an item with its own skin state and a window subclass of
// the right class, which from then on paints the control from the skin.
//
// Lifetime: the provider owns the adapter, the adapter its items, an item
// its skin state and its subclass. A subclass comes off its control's
// WindowProc through the framework's hook mechanism when the item is freed,
// in any order with the other links of the control; a control that goes
// away takes its item with it (the provider is told of its removal). The
// labels the adapter made transparent get their own look back when the
// adapter is freed while the form stays. The links it puts on containers
// to hear of their new children go with the adapter.
//
// GUI thread only.

#include <memory>
#include <vector>

#include "framework/Label.h"
#include "framework/WinControl.h"
#include "framework/WindowHooks.h"
#include "skin/engine/qCommonData.h"
#include "skin/windows/zqMainWnd.h"

class TqSkinProvider;
class TzqCtrlAdapter;

class TzqAdapterItem : public TPersistent {
public:
    explicit TzqAdapterItem(TzqCtrlAdapter* AAdapter);
    // The subclass goes first (its window unhooked), then the skin state.
    ~TzqAdapterItem() override;

    // Attaches the subclass of Control's kind (the table in the .cpp);
    // nothing without a window, or for a control that skins itself.
    virtual void DoHook(TControl* AControl);

    TControl* Control = nullptr;
    std::unique_ptr<TqCommonData> SkinData;
    TzqCtrlAdapter* Adapter;
    TzqMainWndPtr<> Subclass;
};

using TzqAdapterItems = std::vector<std::unique_ptr<TzqAdapterItem>>;

class TzqCtrlAdapter : public TPersistent {
public:
    explicit TzqCtrlAdapter(TqSkinProvider* AProvider);
    // Items whose subclass is gone first, then the rest from the last to the
    // first. Unless RestoreLook is set, AdapterClearing is raised meanwhile:
    // the form is going, and its windows' look is left alone (a skin being
    // removed still restores it). The labels' look comes back.
    ~TzqCtrlAdapter() override;

    // Adapts the children of Parent (the provider's form when nullptr),
    // through the components it owns and the controls it holds, down the
    // tree of windowed controls that have a window.
    void AdaptAll(TWinControl* Parent = nullptr);
    virtual bool IsControlAccepted(TControl* Control);
    virtual TzqAdapterItem* GetItem(int Index);
    // AddItem with DefaultSection.
    virtual void AddItemDefault(TControl* Control);
    virtual void AddItem(TControl* Control, const String& Section);
    virtual void RemoveItem(int Index);
    int Count() const { return static_cast<int>(Items.size()); }
    // The item of Control, or nullptr.
    TzqAdapterItem* ItemOf(const TComponent* Control) const;
    // Sends Message to the window of every item whose subclass is attached
    // and whose control has a parent; a receiver's exception is ignored.
    void SendToItems(TMessage& Message);
    // Control is going away: its item (with the subclass) is freed, and a
    // label is forgotten.
    void ControlRemoved(TComponent* Control);

    TqSkinProvider* Provider;
    TzqAdapterItems Items;
    String DefaultSection;
    // Set by the provider when the form stays: the skin is removed from it,
    // or the provider goes before the form; every control gets its own look
    // back when the adapter is freed.
    bool RestoreLook = false;

private:
    void AdaptChildren(TWinControl* Parent);
    void AdaptOne(TComponent* Component);
    // Transparent, in the skin's global font colour; the label's own values
    // are kept the first time.
    void SkinLabel(TCustomLabel* Label);
    void RestoreLabels();
    // The form hears of the windows made in it only from its direct
    // children (Wine sends WM_PARENTNOTIFY to the parent alone): every
    // windowed container the adapter walks through gets a link that adapts
    // what is made or put in it later.
    void WatchContainer(TWinControl* Container);

    struct TContainerWatch {
        TWinControl* Container;
        TWindowHook Hook;
    };
    std::vector<TContainerWatch> FWatches;

    struct TLabelLook {
        TCustomLabel* Label;
        bool Transparent;
        TColor FontColor;
        bool ParentFont;
    };
    std::vector<TLabelLook> FLabels;
};

// Raised while an AdaptAll runs (it does not run nested).
extern bool AdapterAdapting;
