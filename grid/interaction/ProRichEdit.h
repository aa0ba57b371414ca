#pragma once
// TProRichEdit: the grid's rich-text control. As the formatter it records
// the size its text asks for (ReqWidth, ReqHeight); as the editor of
// rich-text cells it grows the row while the user types (with the grid's
// SizeWhileTyping.Height), hands Up and Down on to the grid, and ends the
// edit when the focus goes back to the grid.

#include "framework/WinControl.h"

class TProStringGrid;

class TProRichEdit : public TWinControl {
public:
    explicit TProRichEdit(TComponent* AOwner);

    TProStringGrid* const Grid;
    int ReqWidth = 0;
    int ReqHeight = 0;
    // The editor of rich-text cells (else the formatter, which only records sizes).
    bool IsEditor = false;

    void ResetWindow();
    void LockResize() { ++FLock; }
    void UnlockResize() { if (FLock > 0) --FLock; }
    // The control's contents from rich text (RTF bytes), and back.
    void LoadRichText(const String& Rtf);
    String SaveRichText();
    void ClearText();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    void RequestResize(const RECT& R);
    int FLock = 0;
};

// The text of a cell as RTF for the editor; rich text passes unchanged, other
// text becomes plain RTF.
String CellTextAsRtf(const String& Text);
