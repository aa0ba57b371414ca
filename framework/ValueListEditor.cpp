#include "framework/ValueListEditor.h"

#include "framework/Edit.h"

TValueListEditor::TValueListEditor(TComponent* AOwner)
    : TCustomControl(AOwner), FStrings(std::make_unique<TStringList>()),
      FTitleCaptions(std::make_unique<TStringList>()), FEditor(new TEdit(this))
{
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 160, 120);
    FTitleCaptions->Add("Key");
    FTitleCaptions->Add("Value");
    FStrings->OnChange = [this](TObject*) {
        Invalidate();
        if (OnStringsChange)
            OnStringsChange(this);
    };
    FTitleCaptions->OnChange = [this](TObject*) { Invalidate(); };
    FEditor->SetParent(this);
    FEditor->SetVisible(false);
    FEditor->OnKeyDown = [this](TObject*, Word& Key, TShiftState) {
        if (Key == VK_RETURN) {
            Key = 0;
            CommitEdit();
        } else if (Key == VK_ESCAPE) {
            Key = 0;
            CancelEdit();
        }
    };
    FEditor->OnExit = [this](TObject*) { CommitEdit(); };
}

TValueListEditor::~TValueListEditor()
{
    Destroying();
    FStrings->OnChange = nullptr;
}

void TValueListEditor::SetValues(const String& Key, const String& Value)
{
    const int index = FStrings->IndexOfName(Key);
    if (index < 0)
        FStrings->Add(Key + "=" + Value);
    else
        FStrings->Put(index, Key + "=" + Value);   // an empty value keeps the row
}

void TValueListEditor::SetColWidths(int Col, int Width)
{
    FColWidths[Col == 0 ? 0 : 1] = Width;
    Invalidate();
}

void TValueListEditor::DrawCell(const TRect& R, const String& Text, bool Title)
{
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetColor(Title ? clBtnFace : Color());
    canvas->FillRect(R);
    canvas->Pen()->SetColor(clBtnShadow);
    canvas->Polyline({Point(R.left, R.bottom - 1), Point(R.right - 1, R.bottom - 1), Point(R.right - 1, R.top - 1)});
    TRect text = R;
    InflateRect(&text, -2, 0);
    canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    canvas->Font()->SetColor(EffectivelyEnabled() ? Font()->Color() : clGrayText);
    canvas->DrawTextRect(Text, text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
}

void TValueListEditor::Paint()
{
    const int keyWidth = FColWidths[0];
    const int valueWidth = FColWidths[1];
    const TRect client = ClientRect();
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(client);
    for (int row = 0; row < RowCount(); ++row) {
        const int top = row * DefaultRowHeight;
        if (top >= client.bottom)
            break;
        const bool title = row == 0;
        const String key = title ? (FTitleCaptions->Count() > 0 ? FTitleCaptions->Strings(0) : String()) : Keys(row);
        const String value =
            title ? (FTitleCaptions->Count() > 1 ? FTitleCaptions->Strings(1) : String()) : FStrings->ValueFromIndex(row - 1);
        DrawCell(Bounds(0, top, keyWidth, DefaultRowHeight), key, true);
        DrawCell(Bounds(keyWidth, top, valueWidth, DefaultRowHeight), value, title);
    }
}

void TValueListEditor::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    const int row = Y / DefaultRowHeight;
    if (Button == mbLeft && row >= 1 && row < RowCount() && X >= FColWidths[0] && X < FColWidths[0] + FColWidths[1])
        EditValue(row);
}

void TValueListEditor::EditValue(int Row)
{
    if (FEditing)
        CommitEdit();
    if (Row < 1 || Row >= RowCount())
        return;
    FEditRow = Row;
    FEditing = true;
    FEditor->SetBounds(FColWidths[0], Row * DefaultRowHeight, FColWidths[1], DefaultRowHeight);
    FEditor->SetText(FStrings->ValueFromIndex(Row - 1));
    FEditor->SetVisible(true);
    if (FEditor->CanFocus()) {
        FEditor->SetFocus();
        FEditor->SelectAll();
    }
}

void TValueListEditor::CommitEdit()
{
    if (!FEditing)
        return;
    FEditing = false;
    const String value = FEditor->Text();
    FEditor->SetVisible(false);
    if (FEditRow - 1 < FStrings->Count() && FStrings->ValueFromIndex(FEditRow - 1) != value) {
        // A row must keep its key even when its value is emptied.
        FStrings->Put(FEditRow - 1, FStrings->Names(FEditRow - 1) + "=" + value);
    }
}

void TValueListEditor::CancelEdit()
{
    if (!FEditing)
        return;
    FEditing = false;
    FEditor->SetVisible(false);
}
