#pragma once
// Single-line edit boxes (the system's EDIT class). OnChange fires whenever
// the text changes, by typing or by code.

#include "framework/WinControl.h"

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);

    // The most characters the box takes; 0 for no limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);

    // Selection in characters (UTF-16 units) of the window's text.
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    void SelectAll();
    void Clear() { SetText(String()); }

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // The window takes the new reading order's styles.
    void BiDiModeChanged() override;
    void WndProc(TMessage& Message) override;
    virtual void Change();

private:
    void CNCommand(TMessage& Message);

    int FMaxLength = 0;
    bool FReadOnly = false;
};

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
};
