#pragma once
// List boxes (the system's LISTBOX class) with single selection. Choosing an
// item fires OnClick; a double click OnDblClick.

#include "framework/ControlItems.h"
#include "framework/WinControl.h"

class TCustomListBox : public TWinControl {
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(const TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex() const;
    void SetItemIndex(int Value);
    void Clear() { FItems->Clear(); }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& Message) override;

private:
    void CNCommand(TMessage& Message);

    std::unique_ptr<TControlItems> FItems;
    int FItemIndex = -1;   // while there is no window
};

class TListBox : public TCustomListBox {
public:
    using TCustomListBox::TCustomListBox;
};
