#include "manager/UEdit.h"

#include "framework/Dialogs.h"
#include "framework/NewControl.h"
#include "framework/StrUtils.h"
#include "manager/URedEdit.h"

namespace vantrel {

TForm1* Form1 = nullptr;

namespace {

constexpr TColor ByteNumberColor = 0xFF0000;   // blue

unsigned ReadWord(const String& Record, std::size_t Offset)
{
    return static_cast<Byte>(Record[Offset]) | (static_cast<unsigned>(static_cast<Byte>(Record[Offset + 1])) << 8);
}

// A cell's number: an empty cell is 0; other text that is not a number
// raises EConvertError.
Integer CellNumber(const String& Text, bool Hex)
{
    if (Text.empty())
        return 0;
    return StrToInt(Hex ? "$" + Text : Text);
}

} // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner)
{
    Form1 = this;
    SetCaption("Form1");
    SetBorderStyle(bsDialog);
    SetClientSize(818, 501);
    Position = poMainFormCenter;
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);

    GroupBox1 = NewControl<TGroupBox>(this, this, 2, 2, 814, 74, "特征表");
    ProStringGrid1 = NewControl<TProStringGrid>(this, GroupBox1, 2, 16, 810, 52);
    ProStringGrid1->SetFixedRows(0);
    ProStringGrid1->SetFixedCols(0);
    ProStringGrid1->SetColCount(8);
    ProStringGrid1->SetRowCount(2);
    ProStringGrid1->SetDefaultColWidth(100);
    ProStringGrid1->SetDefaultRowHeight(23);
    ProStringGrid1->SetScrollBars(ssNone);
    ProStringGrid1->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goEditing);
    ProStringGrid1->OnCanEditCell = [this](TObject* Sender, int ARow, int ACol, bool& CanEdit) {
        ProStringGrid1CanEditCell(Sender, ARow, ACol, CanEdit);
    };

    GroupBox2 = NewControl<TGroupBox>(this, this, 2, 80, 814, 380, "码");
    ProStringGrid2 = NewControl<TProStringGrid>(this, GroupBox2, 2, 16, 810, 360);
    ProStringGrid2->SetFixedRows(0);
    ProStringGrid2->SetFixedCols(0);
    ProStringGrid2->SetColCount(32);
    ProStringGrid2->SetRowCount(16);
    ProStringGrid2->SetDefaultColWidth(25);
    ProStringGrid2->SetDefaultRowHeight(20);
    ProStringGrid2->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goEditing);
    ProStringGrid2->OnCanEditCell = [this](TObject* Sender, int ARow, int ACol, bool& CanEdit) {
        ProStringGrid2CanEditCell(Sender, ARow, ACol, CanEdit);
    };
    ProStringGrid2->OnKeyPress = [this](TObject* Sender, char& Key) { ProStringGrid2KeyPress(Sender, Key); };

    Button1 = NewControl<TButton>(this, this, 566, 468, 75, 25, "测试");
    Button1->OnClick = [this](TObject* Sender) { Button1Click(Sender); };
    Button2 = NewControl<TButton>(this, this, 651, 468, 75, 25, "保存");
    Button2->ModalResult = mrOk;
    Button3 = NewControl<TButton>(this, this, 736, 468, 75, 25, "关闭");
    Button3->ModalResult = mrCancel;
    Button3->Cancel = true;

    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    BeginLoading();
    EndLoading();
}

TForm1::~TForm1()
{
    DestroyForm();
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::FormCreate(TObject*)
{
    InitCodeGrid();
}

void TForm1::InitCodeGrid()
{
    for (int n = 0; n < EditedCodeBytes; ++n) {
        const int col = CodeCellCol(n) - 1;
        ProStringGrid2->WriteCellText(col, CodeCellRow(n), IntToStr(n));
        ProStringGrid2->EnsureCellProperties(col, CodeCellRow(n))->FontColor = ByteNumberColor;
    }
}

void TForm1::LoadCode(const String& Record)
{
    FRecord = Record;
    if (FRecord.size() < CodeOffset) {
        ShowMessage("无效数据");
        return;
    }
    for (int row = 0; row < 2; ++row)
        for (int i = 0; i < 8; ++i)
            ProStringGrid1->WriteCellText(i, row, IntToStr(ReadWord(FRecord, FeatureOffset + 16 * row + 2 * i)));
    for (int n = 0; n < EditedCodeBytes; ++n) {
        const std::size_t offset = CodeOffset + static_cast<std::size_t>(n);
        const String text = offset < FRecord.size() ? IntToHex(static_cast<Byte>(FRecord[offset]), 2) : String("0");
        ProStringGrid2->WriteCellText(CodeCellCol(n), CodeCellRow(n), text);
    }
}

String TForm1::StoreCode()
{
    if (FRecord.size() < CodeOffset)
        return FRecord;
    String record = FRecord;
    for (int row = 0; row < 2; ++row)
        for (int i = 0; i < 8; ++i) {
            const auto value = static_cast<unsigned>(CellNumber(ProStringGrid1->ReadCellText(i, row), false));
            const std::size_t offset = FeatureOffset + 16 * row + 2 * i;
            record[offset] = static_cast<char>(value & 0xFF);
            record[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
        }
    for (int n = 0; n < EditedCodeBytes; ++n) {
        const std::size_t offset = CodeOffset + static_cast<std::size_t>(n);
        if (offset >= record.size())
            break;
        const auto value = CellNumber(ProStringGrid2->ReadCellText(CodeCellCol(n), CodeCellRow(n)), true);
        record[offset] = static_cast<char>(value & 0xFF);
    }
    FRecord = record;
    return FRecord;
}

void TForm1::ProStringGrid1CanEditCell(TObject*, int, int, bool& CanEdit)
{
    CanEdit = true;
}

void TForm1::ProStringGrid2CanEditCell(TObject*, int, int ACol, bool& CanEdit)
{
    CanEdit = ACol % 2 == 1;
}

// A code cell takes at most two hexadecimal digits; backspace always works.
void TForm1::ProStringGrid2KeyPress(TObject*, char& Key)
{
    if (Key == '\b')
        return;
    const int row = ProStringGrid2->CurrentRow();
    const int col = ProStringGrid2->Col();
    if (row < 0 || col < 0)
        return;
    const bool hexDigit = (Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'F') || (Key >= 'a' && Key <= 'f');
    if (ProStringGrid2->ReadCellText(col, row).size() >= 2 || !hexDigit)
        Key = 0;
}

void TForm1::Button1Click(TObject*)
{
    if (FmMain != nullptr)
        FmMain->TestEditedCode();
}

} // namespace vantrel
