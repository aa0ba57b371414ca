#include "framework/ControlItems.h"

#include "framework/Codepage.h"
#include "framework/WinControl.h"

const TListMessages ListBoxMessages{LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT};
const TListMessages ComboBoxMessages{CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT};

void TControlItems::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index);
}

HWND TControlItems::Window() const
{
    return FControl->HandleAllocated() ? FControl->Handle() : nullptr;
}

String TControlItems::Strings(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<std::size_t>(Index)].Text;
}

void TControlItems::Put(int Index, const String& S)
{
    CheckIndex(Index);
    TObject* object = FItems[static_cast<std::size_t>(Index)].Object;
    Delete(Index);
    InsertObject(Index, S, object);
}

TObject* TControlItems::Objects(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<std::size_t>(Index)].Object;
}

void TControlItems::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index);
    FItems[static_cast<std::size_t>(Index)].Object = AObject;
}

void TControlItems::Insert(int Index, const String& S)
{
    InsertObject(Index, S, nullptr);
}

void TControlItems::InsertObject(int Index, const String& S, TObject* AObject)
{
    if (Index < 0 || Index > Count())
        RaiseIndexError(Index);
    FItems.insert(FItems.begin() + Index, TItem{S, AObject});
    if (HWND wnd = Window())
        SendMessageW(wnd, FMessages.InsertString, static_cast<WPARAM>(Index),
                     reinterpret_cast<LPARAM>(StrToWide(S).c_str()));
    if (OnChange)
        OnChange(this);
}

void TControlItems::Delete(int Index)
{
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
    if (HWND wnd = Window())
        SendMessageW(wnd, FMessages.DeleteString, static_cast<WPARAM>(Index), 0);
    if (OnChange)
        OnChange(this);
}

void TControlItems::Clear()
{
    FItems.clear();
    if (HWND wnd = Window())
        SendMessageW(wnd, FMessages.ResetContent, 0, 0);
    if (OnChange)
        OnChange(this);
}

int TControlItems::IndexOf(const String& S) const
{
    for (std::size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].Text == S)
            return static_cast<int>(i);
    return -1;
}

int TControlItems::CompareStrings(const String& S1, const String& S2) const
{
    return S1.compare(S2);
}

int SortedListPosition(const WideString& S, int Count, const std::function<WideString(int)>& Item)
{
    int Lo = 0;
    int Hi = Count;
    while (Lo < Hi) {
        const int Mid = (Lo + Hi) / 2;
        const WideString M = Item(Mid);
        const int Order = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, M.c_str(), static_cast<int>(M.size()),
                                         S.c_str(), static_cast<int>(S.size()));
        if (Order == CSTR_GREATER_THAN)
            Hi = Mid;
        else
            Lo = Mid + 1;
    }
    return Lo;
}

int TControlItems::AddObject(const String& S, TObject* AObject)
{
    const int Index = Sorted ? SortedListPosition(StrToWide(S), Count(),
                                                  [this](int I) { return StrToWide(FItems[static_cast<std::size_t>(I)].Text); })
                             : Count();
    InsertObject(Index, S, AObject);
    return Index;
}

void TControlItems::Sort()
{
    std::vector<TItem> Items;
    Items.swap(FItems);
    for (TItem& Item : Items) {
        const WideString W = StrToWide(Item.Text);
        const int At = SortedListPosition(W, Count(), [this](int I) { return StrToWide(FItems[static_cast<std::size_t>(I)].Text); });
        FItems.insert(FItems.begin() + At, std::move(Item));
    }
    if (HWND wnd = Window())
        FillWindow(wnd);
    if (OnChange)
        OnChange(this);
}

void TControlItems::FillWindow(HWND Wnd) const
{
    SendMessageW(Wnd, FMessages.ResetContent, 0, 0);
    for (const TItem& item : FItems)
        SendMessageW(Wnd, FMessages.AddString, 0, reinterpret_cast<LPARAM>(StrToWide(item.Text).c_str()));
}
