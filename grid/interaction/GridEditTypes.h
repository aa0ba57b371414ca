#pragma once
// The editing state of a string grid and the event types of its editing:
// which editor is open, the guards that keep validation and write-back from
// re-entering, and the texts validation compares against.

#include <functional>

#include "framework/Control.h"
#include "grid/core/BaseGrid.h"
#include "grid/core/GridDateUtils.h"

class TEditLink;
class TProInplaceEdit;
class TGridSpin;
class TGridCombo;
class TGridEditBtn;
class TGridCheckBox;
class TGridDatePicker;
class TGridButton;
class TGridUnitEditBtn;
class TGridUniEdit;
class TGridUniCombo;
class TGridUniEditBtn;
class TGridUniMemo;
class TProDateTimePicker;
class TGridTransEdit;
class TControlEdit;
class TControlCombo;
class TProRichEdit;
class TStrings;

// True for the editors of their own (combo, spin, date, button and the
// others); false for the in-place edit's types and edNone.
bool IsSpecialEditor(TEditorType T);

using TGetEditorTypeEvent = std::function<void(TObject* Sender, int ACol, int ARow, TEditorType& AEditor)>;
using THasEditorButtonEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& Has)>;
using THasComboBoxEvent = THasEditorButtonEvent;
using THasSpinEditEvent = THasEditorButtonEvent;
using TIsPasswordCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& IsPassword)>;
using TCellValidateEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value, bool& Valid)>;
using TCellValidateWideEvent = std::function<void(TObject* Sender, int ACol, int ARow, WideString& Value, bool& Valid)>;
using TEditCellDoneEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TEditChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, const String& Value)>;
using TComboChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AItemIndex, const String& ASelection)>;
using TComboObjectChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AItemIndex,
                                                   const String& ASelection, TObject* AObject)>;
using TClickCellEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TEllipsClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& S)>;
using TWideEllipsClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, WideString& S)>;
using TSpinClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AValue, bool UpDown)>;
using TFloatSpinClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, double AValue, bool UpDown)>;
using TDateSpinClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, TDateTime AValue, bool UpDown)>;
using TDateTimeChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, TDateTime ADateTime)>;
using TClipboardEvent = std::function<void(TObject* Sender, bool& Allow)>;
using TClipboardBeforePasteCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value,
                                                          bool& Allow)>;
using TGetEditorPropEvent = std::function<void(TObject* Sender, int ACol, int ARow, TEditLink* AEditLink)>;
using TGetEditWideTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, WideString& Value)>;
using TSetEditWideTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, const WideString& Value)>;
using TCustomStrToDateEvent = std::function<void(TObject* Sender, const String& Value, TDateTime& ADate)>;
using TEndRowSizeEvent = std::function<void(TObject* Sender, int ARow)>;
using TControlComboListEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, const String& CtrlID, const String& CtrlType,
                       const String& CtrlVal, TStrings* Values, bool& Edit, int& DropCount)>;
using TControlEditDoneEvent = std::function<void(TObject* Sender, int ARow, int ACol, const String& CtrlID,
                                                 const String& CtrlType, const String& CtrlVal)>;

// Sizing of the current cell while its text is typed.
struct TSizeWhileTyping {
    bool Height = false;
    bool Width = false;
};

// The grid's editing state (one edit at a time).
struct TGridEditState {
    TEditorType InUse = edNormal;        // the editor type of the current edit
    bool Active = false;                 // an edit with that editor is open
    bool SpecialShown = false;           // a special editor was shown during the edit
    bool Started = false;                // an editor opened; validation runs only then
    bool Validating = false;             // validation runs
    bool Committing = false;             // the special editor's value is being written back
    bool Showing = false;                // a special editor is being shown (its focus moves are no exit)
    bool ForwardingStart = false;        // the grid hands the character that opened the editor on
    bool Loading = false;                // text goes into the default editor
    bool Accepted = false;               // the last validation accepted the value
    bool DefaultUsed = false;            // the default editor opened at least once
    bool Suspended = false;              // goEditing taken off for a read-only current cell
    bool PopupClosed = false;            // the edit link's popup closed; skip the next focus gain
    char StartKey = 0;                   // the character that started the edit
    String TextBefore;                   // the raw text of the cell when the edit began
    int EditCol = -1;                    // the edited cell (display column) and row
    int EditRow = -1;
    String EditRaw;                      // its raw text, the comparison base of validation
    WideString EditWide;                 // its wide text
    String LastEditText;                 // the value last validated
    WideString LastWideText;             // the wide text a Unicode editor left when it lost the focus
    TWinControl* Shown = nullptr;        // the special editor shown now
    TEditLink* Link = nullptr;           // the custom editor link (not owned)
    bool CaretRequest = false;           // a click with CaretPositioning opened the editor: the
                                         // caret goes under the mouse when the editor takes the focus
    bool SpinStepPending = false;        // a click on a cell's spin buttons started the edit
    bool SpinStepUp = false;

    // The editor controls, owned by the grid as components; created on first use.
    TProInplaceEdit* Inplace = nullptr;
    TGridSpin* Spin = nullptr;
    TGridCombo* Combo = nullptr;
    TGridEditBtn* EditBtn = nullptr;
    TGridCheckBox* CheckBox = nullptr;
    TGridDatePicker* DatePicker = nullptr;
    TGridButton* Button = nullptr;
    TGridUnitEditBtn* UnitEditBtn = nullptr;
    TGridUniEdit* UniEdit = nullptr;
    TGridUniCombo* UniCombo = nullptr;
    TGridUniEditBtn* UniEditBtn = nullptr;
    TGridUniMemo* UniMemo = nullptr;
    TProDateTimePicker* DateTimePicker = nullptr;
    TGridTransEdit* TransEdit = nullptr;
    TControlEdit* ControlEdit = nullptr;
    TControlCombo* ControlCombo = nullptr;
    TProRichEdit* RichEditor = nullptr;

    // The open form control of a cell's HTML text.
    int CtrlCol = -1;
    int CtrlRow = -1;
    String CtrlID;
    String CtrlType;
    bool CtrlOpen = false;    // set when a form-control editor opened, never cleared
};
