// TEditLink: an outside editor control in the grid's editing flow, shown in
// place over the cell.
#include "grid/interaction/EditLink.h"

#include "framework/Codepage.h"
#include "framework/Application.h"
#include "grid/core/ProGrid.h"

TEditLink::TEditLink(TComponent* AOwner) : TComponent(AOwner) {}

bool TEditLink::IsExitKey(Word Key) const
{
    switch (Key) {
    case VK_TAB: return true;
    case VK_RETURN: return !WantKeyReturn;
    case VK_ESCAPE: return !WantKeyEscape;
    case VK_PRIOR:
    case VK_NEXT: return !WantKeyPriorNext;
    case VK_END: return !WantKeyHomeEnd;
    case VK_LEFT:
    case VK_RIGHT: return !WantKeyLeftRight;
    case VK_UP:
    case VK_DOWN: return !WantKeyUpDown;
    default: return false;
    }
}

void TEditLink::EditKeyDown(Word& Key, TShiftState Shift)
{
    if (FGrid == nullptr || !IsExitKey(Key))
        return;
    TGridEditState& S = FGrid->EditState();
    if (Key == VK_ESCAPE)
        SetEditorValue(S.TextBefore);
    if (FForcedExit && FGrid->CanFocus())
        FGrid->SetFocus();
    FGrid->CommitEditor(FGrid->Col(), FGrid->Row());
    S.Active = false;
    FGrid->SelectCell(FGrid->Col(), FGrid->Row());
    if (!S.Accepted) {
        // The value was refused: the editor opens again on the cell.
        S.Accepted = true;
        FGrid->ShowInplaceEdit(FGrid->Col(), FGrid->Row());
        return;
    }
    const Word K = Key;
    if (K == VK_RETURN) {
        Key = 0;
        if (FGrid->CanFocus())
            FGrid->SetFocus();
        FGrid->AdvanceAfterEdit(FGrid->Col(), FGrid->Row(), true, false, (Shift & ssShift) != 0);
        return;
    }
    if (K == VK_ESCAPE) {
        Key = 0;
        if (FGrid->CanFocus())
            FGrid->SetFocus();
        return;
    }
    FForcedExit = true;
    if (TWinControl* C = GetEditControl())
        C->SetEnabled(false);
    if (FGrid->CanFocus())
        FGrid->SetFocus();
    if (K == VK_TAB || K == VK_LEFT || K == VK_RIGHT || K == VK_UP || K == VK_DOWN) {
        Word G = K;
        FGrid->GridKeyDown(G, Shift);
    }
    FForcedExit = false;
    Key = 0;
}

// The control keeps the characters, and with goTabs the Tab and arrow keys,
// that a dialog would otherwise take.
void TEditLink::ControlMessage(TMessage& Message, const TCallPrevious& Previous)
{
    Previous(Message);
    if (Message.Msg == WM_GETDLGCODE) {
        Message.Result |= DLGC_WANTCHARS;
        if (FGrid != nullptr && FGrid->HasOption(goTabs))
            Message.Result |= DLGC_WANTTAB | DLGC_WANTARROWS;
    }
}

void TEditLink::SetFocus(bool Value)
{
    TWinControl* C = GetEditControl();
    if (Value && C != nullptr) {
        C->SetVisible(true);
        C->SetEnabled(true);
        if (EditStyle == esInplace && !FControlHook.Installed()) {
            FHookedWnd = C->Handle();
            FControlHook = HookWndProc(FHookedWnd, [this](TMessage& Message, const TCallPrevious& Previous) {
                ControlMessage(Message, Previous);
            });
        }
    }
    if (Value && C != nullptr && C->CanFocus())
        C->SetFocus();
    else if (!Value && FGrid != nullptr && FGrid->CanFocus())
        FGrid->SetFocus();
}

void TEditLink::SetRect(const TRect& R)
{
    TWinControl* C = GetEditControl();
    if (C == nullptr || FGrid == nullptr)
        return;
    const int Line = FGrid->GridLineWidth();
    C->SetBounds(R.left, R.top, RectWidth(R) - Line, RectHeight(R) - Line);
}

void TEditLink::SetVisible(bool Value)
{
    if (TWinControl* C = GetEditControl())
        C->SetVisible(Value);
}

void TEditLink::RestoreControlProc()
{
    if (FControlHook.Installed()) {
        FControlHook.Remove();
        ShowWindow(FHookedWnd, SW_HIDE);
    }
    FHookedWnd = nullptr;
}

void TEditLink::ShowInGrid(TProStringGrid* AGrid, int ACol, int ARow, const TRect& R, TColor AColor, TFont* AFont,
                           const String& Text, char StartKey)
{
    FGrid = AGrid;
    FEditCol = ACol;
    FEditRow = ARow;
    if (EditStyle == esPopup) {
        if (AutoPopupWidth)
            PopupWidth = RectWidth(R);
        if (FPopupForm == nullptr) {
            if (TComponent* Old = Application->FindComponent("gridform"))
                delete Old;
            FPopupForm = new TForm(Application);
            FPopupForm->SetName("gridform");
            FPopupForm->SetBorderStyle(bsNone);
            FPopupForm->OnDeactivate = [this](TObject* Sender) { PopupDeactivate(Sender); };
        }
        TPoint At{PopupLeft, PopupTop};
        if (PopupLeft == -1 || PopupTop == -1) {
            POINT P{R.left, R.top};
            ClientToScreen(AGrid->Handle(), &P);
            At = TPoint{P.x, P.y};
        }
        FPopupForm->SetBounds(At.x, At.y, 0, 0);
        FPopupForm->Show();
        SetWindowPos(FPopupForm->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        FPopupForm->SetBounds(At.x, At.y, PopupWidth, PopupHeight);
        if (GetEditControl() == nullptr)
            CreateEditor(FPopupForm);
        SetRect(TRect{0, 0, PopupWidth, PopupHeight});
    } else {
        if (GetEditControl() == nullptr)
            CreateEditor(AGrid);
        SetRect(R);
    }
    SetVisible(true);
    SetCellProps(AColor, AFont);
    SetProperties();
    if (AGrid->OnGetEditorProp)
        AGrid->OnGetEditorProp(AGrid, ACol, ARow, this);
    SetEditorValue(Text);
    SetFocus(true);
    TWinControl* C = GetEditControl();
    if (C != nullptr && StartKey != 0 && C->HandleAllocated()) {
        wchar_t W = 0;
        if (ByteToWide(StartKey, W))
            PostMessageW(C->Handle(), WM_CHAR, W, 0);
    }
    AGrid->EditState().Active = true;
    AGrid->EditState().Shown = C;
}

void TEditLink::CommitDone()
{
    if (EditStyle == esInplace)
        SetVisible(false);
    RestoreControlProc();
}

void TEditLink::WriteCellValue(const String& Value)
{
    if (FGrid != nullptr)
        FGrid->SetCellFromEditor(FGrid->RealColIndex(FGrid->Col()), FGrid->Row(), Value);
}

void TEditLink::EndLinkEdit()
{
    String V;
    GetEditorValue(V);
    WriteCellValue(V);
    if (FGrid != nullptr)
        FGrid->EndCellEdit();
    RestoreControlProc();
}

void TEditLink::EndPopupEdit()
{
    EndLinkEdit();
    if (EditStyle == esPopup && FPopupForm != nullptr) {
        DestroyEditor();
        FPopupForm->Hide();
    }
}

void TEditLink::PopupDeactivate(TObject*)
{
    if (FGrid == nullptr || !FGrid->EditState().Active)
        return;
    // The value is the popup editor's own: the grid's default editor holds
    // the text of some earlier edit, which would overwrite what was typed.
    if (FForcedExit) {
        String V;
        GetEditorValue(V);
        WriteCellValue(V);
        return;
    }
    // The focus that comes back to the grid as the popup closes is no new
    // entry; the grid skips that one focus gain.
    FGrid->EditState().PopupClosed = true;
    EndPopupEdit();
}
