#pragma once
// A two-column key/value table: a title row, then one row per "key=value"
// line of Strings. Keys are read-only; clicking a value opens an edit box
// over it, and Enter or leaving the box stores the value (Esc drops it).

#include "framework/CustomControl.h"
#include "framework/StringList.h"

class TEdit;

class TValueListEditor : public TCustomControl {
public:
    explicit TValueListEditor(TComponent* AOwner);
    ~TValueListEditor() override;

    // The rows as "key=value" lines.
    TStrings* Strings() const { return FStrings.get(); }
    void SetStrings(const TStrings* Value) { FStrings->Assign(Value); }
    // The captions of the key and value columns.
    TStrings* TitleCaptions() const { return FTitleCaptions.get(); }

    // Rows including the title row; data row r (from 1) is line r - 1.
    int RowCount() const { return FStrings->Count() + 1; }
    String Keys(int Row) const { return FStrings->Names(Row - 1); }
    // The value of the first row with this key; setting a key that is not
    // there adds a row.
    String Values(const String& Key) const { return FStrings->Values(Key); }
    void SetValues(const String& Key, const String& Value);

    int ColWidths(int Col) const { return FColWidths[Col == 0 ? 0 : 1]; }
    void SetColWidths(int Col, int Width);
    int DefaultRowHeight = 18;

    // Opens the edit box over the value of a data row (from 1).
    void EditValue(int Row);
    // The edit box while a value is being edited, else nullptr.
    TEdit* InplaceEditor() const { return FEditing ? FEditor : nullptr; }
    void CommitEdit();
    void CancelEdit();

    TNotifyEvent OnStringsChange;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void DrawCell(const TRect& R, const String& Text, bool Title);

    std::unique_ptr<TStringList> FStrings;
    std::unique_ptr<TStringList> FTitleCaptions;
    int FColWidths[2] = {56, 101};
    TEdit* FEditor;   // owned by this control
    int FEditRow = 0;
    bool FEditing = false;
};
