// The skinned window menu of a form, its visibility and enabling rules (the
// title buttons follow them too), and its list of skins to choose from.
#include <set>

#include "framework/Application.h"
#include "framework/StringList.h"
#include "skin/engine/qSkinManager.h"
#include "skin/windows/qSkinProvider.h"

namespace {

// The menu's texts.
const char* const SRestore = "Restore";
const char* const SMove = "Move";
const char* const SSize = "Size";
const char* const SMinimize = "Minimize";
const char* const SMaximize = "Maximize";
const char* const SClose = "Close";
const char* const SAvailableSkins = "Available skins";

const char* const SkinItemName = "SkinSelectItem";
// Items of the skin list per column.
constexpr int SkinsPerColumn = 20;

}   // namespace

TqSystemMenu::TqSystemMenu(TqSkinProvider* AProvider, TCustomForm* AForm)
    : TPopupMenu(nullptr), FProvider(AProvider), FForm(AForm)
{
    ItemRestore = NewMenuItem(this, "ItemRestore", SRestore, [this](TObject*) {
        SysCommand(SC_RESTORE);
        UpdateItems();
    });
    ItemMove = NewMenuItem(this, "ItemMove", SMove, [this](TObject*) { SysCommand(SC_MOVE); });
    ItemSize = NewMenuItem(this, "ItemSize", SSize, [this](TObject*) { SysCommand(SC_SIZE); });
    ItemMinimize = NewMenuItem(this, "ItemMinimize", SMinimize, [this](TObject*) {
        // The framework's application has no window of its own to minimise:
        // the main form is minimised like any other.
        SysCommand(SC_MINIMIZE);
        if (Application->MainForm == FForm)
            UpdateItems();
    });
    ItemMaximize = NewMenuItem(this, "ItemMaximize", SMaximize, [this](TObject*) {
        SysCommand(SC_MAXIMIZE);
        UpdateItems();
    });
    NewMenuItem(this, "", "-", nullptr);
    ItemClose = NewMenuItem(this, "ItemClose", SClose, [this](TObject*) { SysCommand(SC_CLOSE); });
    ItemClose->ShortCut = scAlt | VK_F4;
}

void TqSystemMenu::SysCommand(WPARAM Command)
{
    if (FForm->HandleAllocated())
        SendMessageW(FForm->Handle(), WM_SYSCOMMAND, Command, 0);
}

bool TqSystemMenu::Iconic() const
{
    return FForm->HandleAllocated() && IsIconic(FForm->Handle());
}

bool TqSystemMenu::SingleOrSizeable() const
{
    return FForm->BorderStyle() == bsSingle || FForm->BorderStyle() == bsSizeable;
}

bool TqSystemMenu::CloseVisible() const
{
    return Has(biSystemMenu);
}

bool TqSystemMenu::MaxVisible() const
{
    return Iconic() || (SingleOrSizeable() && Has(biSystemMenu) && Has(biMaximize));
}

bool TqSystemMenu::MinVisible() const
{
    return Iconic() || (Has(biSystemMenu) && FForm->BorderStyle() == bsSizeable) ||
           (Has(biSystemMenu) && FForm->BorderStyle() == bsSingle && Has(biMinimize));
}

bool TqSystemMenu::RestoreVisible() const
{
    return Has(biSystemMenu) && SingleOrSizeable();
}

bool TqSystemMenu::SizeVisible() const
{
    return SingleOrSizeable();
}

bool TqSystemMenu::MaxEnabled() const
{
    return Has(biMaximize) && FForm->WindowState() != wsMaximized && SingleOrSizeable();
}

bool TqSystemMenu::MinEnabled() const
{
    return Has(biMinimize) && FForm->WindowState() != wsMinimized;
}

bool TqSystemMenu::RestoreEnabled() const
{
    return FForm->WindowState() == wsMinimized || (Has(biMaximize) && FForm->WindowState() != wsNormal);
}

bool TqSystemMenu::MoveEnabled() const
{
    return FForm->WindowState() != wsMaximized;
}

bool TqSystemMenu::SizeEnabled() const
{
    return FForm->BorderStyle() != bsSingle && !Iconic();
}

void TqSystemMenu::UpdateItems()
{
    if (FForm == nullptr)
        return;
    try {
        ItemRestore->Visible = RestoreVisible();
        ItemMove->Visible = true;
        ItemSize->Visible = SizeVisible();
        ItemMinimize->Visible = MinVisible();
        ItemMaximize->Visible = MaxVisible();
        ItemClose->Visible = CloseVisible();
        ItemRestore->Enabled = RestoreEnabled();
        ItemMove->Enabled = MoveEnabled();
        ItemSize->Enabled = SizeEnabled();
        ItemMinimize->Enabled = MinEnabled();
        ItemMaximize->Enabled = MaxEnabled();
        ItemClose->Enabled = true;
    } catch (const Exception&) {
        // A form whose state cannot be read keeps the items as they were.
    }
}

void TqSkinProvider::DropSysMenu(int X, int Y)
{
    TqSystemMenu* menu = FSystemMenu.get();
    if (menu == nullptr)
        return;
    if (MakeSkinMenu) {
        TMenuItem* root = menu->Items();
        if (root->Count() > 0 && root->Items(0)->Name() == SkinItemName) {
            // The skin list is made afresh at every showing.
            std::unique_ptr<TMenuItem> old(root->Items(0));
            while (old->Count() > 0) {
                const std::unique_ptr<TMenuItem> item(old->Items(old->Count() - 1));
                old->Remove(item.get());
            }
            root->Remove(old.get());
        }
        AddSkinListSubmenu(menu);
    }
    menu->UpdateItems();
    // The menu belongs to the active window, the form being clicked.
    menu->Popup(X, Y);
}

void AddSkinListSubmenu(TqSystemMenu* Menu)
{
    TqSkinManager* manager = Menu->Provider()->SkinData()->GetSkinManager();
    if (manager == nullptr)
        return;
    TStringList skins;
    String first;
    manager->ListAvailableSkins(&skins, 2, first);
    if (skins.Count() == 0)
        return;
    TMenuItem* root = Menu->Items();
    auto* parent = new TMenuItem(Menu);
    parent->Caption = SAvailableSkins;
    parent->SetName(SkinItemName);
    root->Insert(0, parent);
    if (root->Count() < 2 || !root->Items(1)->IsLine()) {
        auto* line = new TMenuItem(Menu);
        line->Caption = "-";
        root->Insert(1, line);
    }
    // A skin both packed and as a folder (or also stored) is listed once:
    // its name loads the same skin whichever entry is chosen.
    std::set<String> listed;
    for (int k = 0; k < skins.Count(); ++k) {
        if (!listed.insert(skins.Strings(k)).second)
            continue;
        const int i = parent->Count();
        auto* item = new TMenuItem(Menu);
        item->Caption = skins.Strings(k);
        item->OnClick = [](TObject* Sender) { SkinMenuItemClick(Sender); };
        item->SetName(String(SkinItemName) + std::to_string(i));
        item->RadioItem = true;
        item->Checked = item->Caption == manager->SkinName();
        if (i > 0 && i % SkinsPerColumn == 0)
            item->Break = TMenuBreak::mbBreak;
        parent->Add(item);
    }
}

void SkinMenuItemClick(TObject* Item)
{
    auto* item = dynamic_cast<TMenuItem*>(Item);
    auto* menu = item != nullptr ? dynamic_cast<TqSystemMenu*>(item->Owner()) : nullptr;
    if (menu == nullptr)
        return;
    TqSkinManager* manager = menu->Provider()->SkinData()->GetSkinManager();
    if (manager == nullptr)
        return;
    String name;
    for (char c : item->Caption)
        if (c != '&')
            name += c;
    manager->SetSkinName(name);
}
