#pragma once
// Event types of the grid's mouse handling: clicks on cells and their
// controls, header sorting, node buttons, links and the selection resizer.

#include <functional>

#include "framework/Grids.h"

class TPopupMenu;

using TCanClickCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& Allow)>;
using TCheckBoxClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool State)>;
using TRadioClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AIdx)>;
using TButtonClickEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TAnchorClickEvent = std::function<void(TObject* Sender, int ARow, int ACol, const String& Anchor, bool& AutoHandle)>;
using TAnchorEvent = std::function<void(TObject* Sender, int ARow, int ACol, const String& Anchor)>;
using TControlClickEvent = std::function<void(TObject* Sender, int ARow, int ACol, const String& CtrlID,
                                              const String& CtrlType, const String& CtrlVal)>;
using TNodeAllowEvent = std::function<void(TObject* Sender, int ARow, int ARowReal, bool& Allow)>;
using TNodeEvent = std::function<void(TObject* Sender, int ARow, int ARowReal)>;
using TClickSortEvent = std::function<void(TObject* Sender, int ACol)>;
using TCanSortEvent = std::function<void(TObject* Sender, int ACol, bool& DoSort)>;
// A press on a fixed cell's drop-down button: AMenu is the menu to show
// (none shows nothing); KeepFixedCellHighlighted keeps the cell's hover look
// until the next press on the grid.
using TFixedDropDownClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, TPopupMenu*& AMenu,
                                                    bool& KeepFixedCellHighlighted)>;
using TSelectionResizeEvent =
    std::function<void(TObject* Sender, const TGridRect& OrigSelection, const TGridRect& NewSelection)>;

// Whether a link of a cell may be handed to the shell by the grid itself:
// only web and mail addresses (http:, https:, mailto:, any letter case).
// Cell texts come from files, the clipboard and drops, so anything else (a
// file, a program, another scheme) is left to the application's anchor event.
bool IsShellSafeAnchor(const String& Anchor);
