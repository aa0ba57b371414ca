// The in-place editor: TInplaceEdit, and the grid's side of it (opening,
// placing, writing back, closing).
#include "framework/Grids.h"

#include "framework/Codepage.h"

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomEdit(AOwner)
{
    SetVisible(false);
    SetTabStop(false);
}

void TInplaceEdit::SetParent(TWinControl* AParent)
{
    TCustomEdit::SetParent(AParent);
    FGrid = dynamic_cast<TCustomGrid*>(AParent);
}

void TInplaceEdit::CreateParams(TCreateParams& Params)
{
    TCustomEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE | ES_AUTOHSCROLL;
    Params.Style &= ~static_cast<DWORD>(WS_BORDER | WS_VISIBLE | WS_TABSTOP);
    Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

void TInplaceEdit::UpdateContents()
{
    if (FGrid == nullptr)
        return;
    const TGridCoord cell = FGrid->FEditCell.X >= 0 ? FGrid->FEditCell : TGridCoord{FGrid->Col(), FGrid->Row()};
    const String text = FGrid->GetEditText(cell.X, cell.Y);
    FLoading = true;
    try {
        SetMaxLength(FGrid->GetEditLimit());
        SetText(text);
    } catch (...) {
        FLoading = false;
        throw;
    }
    FLoading = false;
    FOriginalText = text;
}

void TInplaceEdit::Move(const TRect& Loc)
{
    UpdateLoc(Loc);
    SetVisible(true);
}

void TInplaceEdit::UpdateLoc(const TRect& Loc)
{
    SetBounds(Loc.left, Loc.top, RectWidth(Loc), RectHeight(Loc));
}

void TInplaceEdit::Hide()
{
    SetVisible(false);
}

void TInplaceEdit::Deselect()
{
    if (!HandleAllocated())
        return;
    const auto length = static_cast<int>(GetWindowTextLengthW(Handle()));
    SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(length), length);
}

void TInplaceEdit::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomEdit::KeyDown(Key, Shift);
    if (Key == 0 || FGrid == nullptr)
        return;
    bool forward = false;
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_RETURN:
    case VK_ESCAPE: forward = true; break;
    case VK_TAB: forward = FGrid->HasOption(goTabs); break;
    default: break;
    }
    if (forward) {
        FGrid->KeyDown(Key, Shift);
        Key = 0;
    }
}

void TInplaceEdit::KeyPress(char& Key)
{
    if (Key == '\r' || Key == '\x1b' || Key == '\t') {
        Key = 0;
        return;
    }
    TCustomEdit::KeyPress(Key);
}

bool TInplaceEdit::WantsSpecialKey(Word Key)
{
    if (Key == VK_RETURN || Key == VK_ESCAPE)
        return true;
    if (Key == VK_TAB)
        return FGrid != nullptr && FGrid->HasOption(goTabs);
    return TCustomEdit::WantsSpecialKey(Key);
}

void TInplaceEdit::Change()
{
    TCustomEdit::Change();
    if (!FLoading && FGrid != nullptr && FGrid->FEditorMode)
        FGrid->SetEditText(FGrid->FEditCell.X, FGrid->FEditCell.Y, Text());
}

void TInplaceEdit::DoEnter()
{
    if (FGrid != nullptr && !FGrid->FFocusInside)
        FGrid->Perform(CM_ENTER);
    TCustomEdit::DoEnter();
}

void TInplaceEdit::DoExit()
{
    TCustomEdit::DoExit();
    if (FGrid == nullptr)
        return;
    if (FGrid->FFocusInside && !FGrid->ContainsFocus())
        FGrid->Perform(CM_EXIT);
    else
        FGrid->EditorFocusLeft();
}

// --- The grid's side ------------------------------------------------------

TInplaceEdit* TCustomGrid::CreateEditor()
{
    return new TInplaceEdit(this);
}

bool TCustomGrid::CanEditShow()
{
    return (FOptions & (goEditing | goRowSelect)) == goEditing && HandleAllocated() && !IsDestroying() &&
           FCurrent.X >= FFixedCols && FCurrent.Y >= FFixedRows && FCurrent.X < FColCount && FCurrent.Y < FRowCount;
}

String TCustomGrid::GetEditText(int, int)
{
    return String();
}

void TCustomGrid::SetEditText(int, int, const String&) {}

int TCustomGrid::GetEditLimit()
{
    return 0;
}

void TCustomGrid::SetEditorMode(bool Value)
{
    if (Value)
        ShowEditor();
    else
        HideEditor();
}

void TCustomGrid::ShowEditor()
{
    if (FEditorMode || !CanEditShow())
        return;
    if (FInplaceEdit == nullptr) {
        FInplaceEdit = CreateEditor();
        FInplaceEdit->SetParent(this);
    }
    ClampInView(FCurrent.X, FCurrent.Y);
    FEditCell = FCurrent;
    FEditorMode = true;
    FInplaceEdit->UpdateContents();
    UpdateEditorPlace();
    if (Focused() && FInplaceEdit->CanFocus())
        FInplaceEdit->SetFocus();
    FInplaceEdit->SelectAll();
    InvalidateCell(FEditCell.X, FEditCell.Y);
}

void TCustomGrid::ShowEditorChar(char Ch)
{
    ShowEditor();
    if (!FEditorMode || FInplaceEdit == nullptr || !FInplaceEdit->HandleAllocated())
        return;
    FInplaceEdit->SelectAll();
    SendCharToEditor(Ch);
}

// The character as typed when it is the one the last WM_CHAR brought (so
// that a double-byte character arrives whole), else its 936 byte.
void TCustomGrid::SendCharToEditor(char Ch)
{
    wchar_t unit = 0;
    const String typed = FLastCharUnit != 0 ? WideToStr(WideString(1, FLastCharUnit)) : String();
    if (!typed.empty() && typed[0] == Ch)
        unit = FLastCharUnit;
    else if (!ByteToWide(Ch, unit))
        return;
    SendMessageW(FInplaceEdit->Handle(), WM_CHAR, unit, 0);
}

void TCustomGrid::HideEditor()
{
    if (!FEditorMode)
        return;
    FEditorMode = false;
    const TGridCoord cell = FEditCell;
    bool hadFocus = false;
    if (FInplaceEdit != nullptr) {
        hadFocus = FInplaceEdit->Focused();
        if (FInplaceEdit->HandleAllocated() && !IsDestroying())
            SetEditText(cell.X, cell.Y, FInplaceEdit->Text());
        FInplaceEdit->Hide();
    }
    FEditCell = TGridCoord{-1, -1};
    if (hadFocus && CanFocus())
        SetFocus();
    InvalidateCell(cell.X, cell.Y);
}

// Esc: the text goes back to what the edit began with, then the edit closes.
void TCustomGrid::CancelEditor()
{
    if (!FEditorMode || FInplaceEdit == nullptr)
        return;
    FInplaceEdit->SetText(FInplaceEdit->OriginalText());
    HideEditor();
}

void TCustomGrid::InvalidateEditor()
{
    if (!FEditorMode || FInplaceEdit == nullptr)
        return;
    FInplaceEdit->UpdateContents();
    UpdateEditorPlace();
}

void TCustomGrid::EditedCellWritten(int ACol, int ARow)
{
    if (!FEditorMode || FInplaceEdit == nullptr || FInplaceEdit->FLoading || ACol != FEditCell.X
        || ARow != FEditCell.Y)
        return;
    const String Text = GetEditText(ACol, ARow);
    if (Text == FInplaceEdit->Text())
        return;
    FInplaceEdit->FLoading = true;
    try {
        FInplaceEdit->SetText(Text);
    } catch (...) {
        FInplaceEdit->FLoading = false;
        throw;
    }
    FInplaceEdit->FLoading = false;
}

// Puts an open editor over its cell, or hides its window while the cell is
// scrolled out of view (the edit stays open).
void TCustomGrid::UpdateEditorPlace()
{
    if (!FEditorMode || FInplaceEdit == nullptr)
        return;
    const TRect r = CellRect(FEditCell.X, FEditCell.Y);
    if (r.right <= r.left || r.bottom <= r.top)
        FInplaceEdit->Hide();
    else
        FInplaceEdit->Move(r);
}
