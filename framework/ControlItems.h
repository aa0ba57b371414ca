#pragma once
// The Items of a list box or combo box: a string list kept in the control
// object and mirrored into its window, so that the items survive the
// window's re-creation and can be filled before the window exists.

#include <functional>
#include <vector>

#include <windows.h>

#include "framework/StringList.h"

class TWinControl;

// The window messages of one kind of list window.
struct TListMessages {
    UINT AddString;
    UINT InsertString;
    UINT DeleteString;
    UINT ResetContent;
};

// Where S goes among Count items in order (Item reads them): after the
// last one that is not greater, compared without regard to case as the
// system's sorted lists compare.
int SortedListPosition(const WideString& S, int Count, const std::function<WideString(int)>& Item);

extern const TListMessages ListBoxMessages;
extern const TListMessages ComboBoxMessages;

class TControlItems : public TStrings {
public:
    TControlItems(TWinControl* Control, const TListMessages& Messages) : FControl(Control), FMessages(Messages) {}

    int Count() const override { return static_cast<int>(FItems.size()); }
    String Strings(int Index) const override;
    void Put(int Index, const String& S) override;
    TObject* Objects(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    void Insert(int Index, const String& S) override;
    void InsertObject(int Index, const String& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    // Case-sensitive, as the lists compare their items.
    int IndexOf(const String& S) const override;
    // With Sorted, an added item goes to its place in order.
    int AddObject(const String& S, TObject* AObject) override;
    int Add(const String& S) override { return AddObject(S, nullptr); }
    // Puts the items in order (the window is filled again).
    void Sort();
    bool Sorted = false;

    // Fills a newly created window with the items.
    void FillWindow(HWND Wnd) const;

    // Fired after every change of the items (a combo box sizes its list).
    TNotifyEvent OnChange;

protected:
    int CompareStrings(const String& S1, const String& S2) const override;

private:
    struct TItem {
        String Text;
        TObject* Object = nullptr;
    };
    void CheckIndex(int Index) const;
    HWND Window() const;

    TWinControl* FControl;
    const TListMessages& FMessages;
    std::vector<TItem> FItems;
};
