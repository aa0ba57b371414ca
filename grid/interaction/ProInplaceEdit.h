#pragma once
// TProInplaceEdit: the edit box in which a cell of the string grid is typed
// for the plain text editor types. Beyond the grid base's in-place edit it
// filters characters by editor type, limits the length, guards the
// clipboard, completes from the grid's lookup list, and validates the value
// through the grid when it is left by Enter, Tab, cursor keys or focus loss.

#include "framework/Grids.h"

class TProStringGrid;

// The message an editor posts to itself to put its caret under the mouse
// once the grid has finished showing it (showing selects its text).
UINT CaretToMouseMessage();
// The character of the edit field under the mouse pointer; -1 when the
// pointer is outside the window Bounds or over no character.
int CharUnderMouse(HWND Field, HWND Bounds);

class TProInplaceEdit : public TInplaceEdit {
public:
    explicit TProInplaceEdit(TComponent* AOwner);

    // The most characters the edit takes; 0 or less for no limit.
    int LengthLimit = 0;
    // Right-aligned text; setting it recreates the window.
    bool VAlign() const { return FVAlign; }
    void SetVAlign(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

    TProStringGrid* ProGrid() const;
    // Completes the text from the grid's lookup items after a key release.
    void LookupComplete();
    // The text with Pasted in place of the selection (or at the caret), and
    // the selection to restore afterwards (start and length, in characters).
    WideString MergePastedText(const WideString& Pasted, int& SelStartAfter, int& SelLenAfter);
    void UpdateContents() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void UpdateLoc(const TRect& Loc) override;
    void Change() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    bool WantsSpecialKey(Word Key) override;
    void DoExit() override;
    void WndProc(TMessage& Message) override;

private:
    void WMClipboard(TMessage& Message);
    void WMPaste(TMessage& Message);
    void WMChar(TMessage& Message);
    bool FilterChar(wchar_t& Ch);
    void WMKeyDown(TMessage& Message);
    void WMKeyUp(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void RestoreAfterRefusal();
    bool WriteAndValidate();
    int CaretPos();
    int TextLength();
    WideString SelectedWide();

    bool FVAlign = false;
    bool FWordWrap = false;
    bool FLookupAllowed = true;
    bool FWalked = false;
    int FCaretAtKeyMsg = 0;
    int FCaretAtKeyStep = 0;
    int FEditCol = -1;
    int FEditRow = -1;
};
