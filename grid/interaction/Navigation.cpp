#include "grid/interaction/Navigation.h"

void TNavigation::Assign(const TPersistent* Source)
{
    auto* S = dynamic_cast<const TNavigation*>(Source);
    if (!S)
        return;
    TNotifyEvent Keep = OnChange;
    AllowInsertRow = S->AllowInsertRow;
    AllowDeleteRow = S->AllowDeleteRow;
    AlwaysEdit = S->AlwaysEdit;
    AdvanceOnEnter = S->AdvanceOnEnter;
    AdvanceInsert = S->AdvanceInsert;
    AutoGotoWhenSorted = S->AutoGotoWhenSorted;
    AutoGotoIncremental = S->AutoGotoIncremental;
    AutoComboDropSize = S->AutoComboDropSize;
    FAdvanceDirection = S->FAdvanceDirection;
    AllowClipboardShortCuts = S->AllowClipboardShortCuts;
    AllowCtrlEnter = S->AllowCtrlEnter;
    AllowSmartClipboard = S->AllowSmartClipboard;
    AllowRTFClipboard = S->AllowRTFClipboard;
    AllowFmtClipboard = S->AllowFmtClipboard;
    AllowClipboardAlways = S->AllowClipboardAlways;
    AllowClipboardRowGrow = S->AllowClipboardRowGrow;
    AllowClipboardColGrow = S->AllowClipboardColGrow;
    AdvanceAuto = S->AdvanceAuto;
    AppendOnArrowDown = S->AppendOnArrowDown;
    EditSelectAll = S->EditSelectAll;
    InsertPosition = S->InsertPosition;
    CursorWalkEditor = S->CursorWalkEditor;
    CursorWalkAlwaysEdit = S->CursorWalkAlwaysEdit;
    MoveRowOnSort = S->MoveRowOnSort;
    MoveScrollOnly = S->MoveScrollOnly;
    ImproveMaskSel = S->ImproveMaskSel;
    LeftRightRowSelect = S->LeftRightRowSelect;
    CopyHTMLTagsToClipboard = S->CopyHTMLTagsToClipboard;
    KeepHorizScroll = S->KeepHorizScroll;
    LineFeedOnEnter = S->LineFeedOnEnter;
    HomeEndKey = S->HomeEndKey;
    SkipFixedCells = S->SkipFixedCells;
    TabToNextAtEnd = S->TabToNextAtEnd;
    TabAdvanceDirection = S->TabAdvanceDirection;
    OnChange = Keep;
}

void TNavigation::SetAdvanceDirection(TAdvanceDirection Value)
{
    if (Value == FAdvanceDirection)
        return;
    FAdvanceDirection = Value;
    if (OnChange)
        OnChange(this);
}
