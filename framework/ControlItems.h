#pragma once
// The Items of a list box or combo box: a string list kept in the control
// object and mirrored into its window, so that the items survive the
// window's re-creation and can be filled before the window exists.

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
