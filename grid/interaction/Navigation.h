#pragma once
// The grid's keyboard options (its Navigation property). The options only
// hold their values here; the key handling reads them.

#include "framework/Object.h"

enum TAdvanceDirection { adLeftRight, adTopBottom };
enum TInsertPosition { pInsertBefore, pInsertAfter };
enum THomeEndAction { heFirstLastColumn, heFirstLastRow };

class TNavigation : public TPersistent {
public:
    TNavigation() = default;

    // Copies every option of another TNavigation without firing OnChange;
    // other sources are ignored.
    void Assign(const TPersistent* Source) override;

    bool AllowInsertRow = false;
    bool AllowDeleteRow = false;
    bool AlwaysEdit = false;
    bool AdvanceOnEnter = false;
    bool AdvanceInsert = false;
    bool AutoGotoWhenSorted = false;
    bool AutoGotoIncremental = false;
    bool AutoComboDropSize = false;
    bool AllowClipboardShortCuts = false;
    bool AllowCtrlEnter = true;
    bool AllowSmartClipboard = false;
    bool AllowRTFClipboard = false;
    bool AllowFmtClipboard = false;
    bool AllowClipboardAlways = false;
    bool AllowClipboardRowGrow = true;
    bool AllowClipboardColGrow = true;
    bool AdvanceAuto = false;
    bool AppendOnArrowDown = false;
    bool EditSelectAll = true;
    TInsertPosition InsertPosition = pInsertBefore;
    bool CursorWalkEditor = false;
    bool CursorWalkAlwaysEdit = true;
    bool MoveRowOnSort = false;
    bool MoveScrollOnly = false;
    bool ImproveMaskSel = false;
    bool LeftRightRowSelect = true;
    bool CopyHTMLTagsToClipboard = true;
    bool KeepHorizScroll = false;
    bool LineFeedOnEnter = false;
    THomeEndAction HomeEndKey = heFirstLastColumn;
    bool SkipFixedCells = true;
    bool TabToNextAtEnd = false;
    TAdvanceDirection TabAdvanceDirection = adLeftRight;

    TAdvanceDirection AdvanceDirection() const { return FAdvanceDirection; }
    // Fires OnChange when the value changes.
    void SetAdvanceDirection(TAdvanceDirection Value);

    TNotifyEvent OnChange;

private:
    TAdvanceDirection FAdvanceDirection = adLeftRight;
};
