// Cell graphics: check boxes, radio groups, buttons and the other special
// contents of cells, and the typed cell values.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "framework/Codepage.h"
#include "grid/core/GridCellText.h"
#include "grid/core/GridNumberText.h"
#include "grid/core/ProGrid.h"
#include "grid/core/ProGridLook.h"

#include <oleauto.h>
#include "grid/interaction/MouseActions.h"

namespace {

String Trimmed(const String& S)
{
    std::size_t B = 0;
    std::size_t E = S.size();
    while (B < E && (S[B] == ' ' || S[B] == '\t'))
        ++B;
    while (E > B && (S[E - 1] == ' ' || S[E - 1] == '\t'))
        --E;
    return S.substr(B, E - B);
}

} // namespace

// ---------------------------------------------------------------------------
// Graphics

TCellGraphic* TProStringGrid::GetCellGraphic(int ACol, int ARow)
{
    TObject* Obj = ACol >= 0 && ARow >= 0 ? GetCellObjectRaw(ACol, ARow) : nullptr;
    if (ACol == 0 && FMouseActions->HotmailRowSelect() && (!Obj || dynamic_cast<TCellProperties*>(Obj))) {
        FRowCheckGraphic->CellType = ctRowCheckBox;
        FRowCheckGraphic->CellTransparent = FControlLook && FControlLook->ControlStyle() == csFlat;
        FRowCheckGraphic->CellBoolean = ARow >= 0 && ARow < RowCount() + HiddenRowCount() && IsRowSelected(ARow);
        return FRowCheckGraphic.get();
    }
    auto* Props = dynamic_cast<TCellProperties*>(Obj);
    return Props ? Props->GraphicObject : nullptr;
}

TCellType TProStringGrid::GetCellType(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return ctEmpty;
    if (ACol == 0 && FMouseActions->HotmailRowSelect())
        return ctRowCheckBox;
    TCellGraphic* G = GetCellGraphicObject(ACol, ARow);
    return G ? G->CellType : ctEmpty;
}

TCellGraphic* TProStringGrid::NewCellGraphic(int ACol, int ARow)
{
    if (TCellProperties* Props = CellProperties(ACol, ARow)) {
        TCellGraphic* Old = Props->GraphicObject;
        Props->GraphicObject = nullptr;
        if (Old && Old != FRowCheckGraphic.get() && Old->CellType != ctVirtCheckBox)
            delete Old;
    }
    auto* G = new TCellGraphic();
    SetCellGraphicObject(ACol, ARow, G);
    if (FHiddenColCount > 0 && RealToDisplayCol(ACol) != ACol)
        RepaintCell(RealToDisplayCol(ACol), ARow);
    return G;
}

bool TProStringGrid::RemoveCellGraphic(int ACol, int ARow)
{
    TCellProperties* Props = CellProperties(ACol, ARow);
    if (!Props || !Props->GraphicObject)
        return false;
    TCellGraphic* G = Props->GraphicObject;
    Props->GraphicObject = nullptr;
    if (G->CellType != ctVirtCheckBox && G->CellType != ctRowCheckBox && G != FRowCheckGraphic.get())
        delete G;
    RepaintCell(ACol, ARow);
    return true;
}

bool TProStringGrid::RemoveCellGraphicOfType(int ACol, int ARow, TCellType AType)
{
    if (GetCellType(ACol, ARow) != AType)
        return false;
    return RemoveCellGraphic(ACol, ARow);
}

// ---------------------------------------------------------------------------
// Check boxes

void TProStringGrid::PutCheckBox(int ACol, int ARow, bool State, bool Data)
{
    TCellGraphic* G = NewCellGraphic(ACol, ARow);
    const TCellVAlign V = VAlignment == vtaCenter ? vaCenter : VAlignment == vtaBottom ? vaBottom : vaTop;
    G->SetCheckBox(State, Data, V);
    if (Data)
        WriteCellText(ACol, ARow, State ? CheckTrue : CheckFalse);
}

bool TProStringGrid::GetCheckBoxState(int ACol, int ARow, bool& State)
{
    TCellGraphic* G = nullptr;
    if (ACol == 0 && FMouseActions->HotmailRowSelect())
        G = GetCellGraphic(ACol, ARow);
    else if (auto* Props = dynamic_cast<TCellProperties*>(GetRealCellObject(ACol, ARow)))
        G = Props->GraphicObject;
    if (!G || !IsCheckBoxType(G->CellType))
        return false;
    switch (G->CellType) {
    case ctCheckBox:
        State = G->CellBoolean;
        break;
    case ctRowCheckBox:
        State = IsRowSelected(ARow);
        break;
    default: {
        String True;
        GetCheckTrue(ACol, ARow, True);
        State = ReadRealCellText(ACol, ARow) == True;
        break;
    }
    }
    return true;
}

bool TProStringGrid::ChangeCheckBoxState(int ACol, int ARow, bool State)
{
    TCellGraphic* G = nullptr;
    if (ACol == 0 && FMouseActions->HotmailRowSelect())
        G = GetCellGraphic(ACol, ARow);
    else if (auto* Props = dynamic_cast<TCellProperties*>(GetRealCellObject(ACol, ARow)))
        G = Props->GraphicObject;
    if (!G || !IsCheckBoxType(G->CellType))
        return false;
    switch (G->CellType) {
    case ctCheckBox:
        G->CellBoolean = State;
        if (!IsHiddenRow(ARow))
            RepaintCell(RealToDisplayCol(ACol), RealToDisplayRow(ARow));
        break;
    case ctRowCheckBox:
        SetRowSelected(ARow, State);
        break;
    default: {
        // A data check box keeps its state in the text of its own (real) row,
        // which is stored data while the row is hidden.
        String Text;
        if (State)
            GetCheckTrue(ACol, ARow, Text);
        else
            GetCheckFalse(ACol, ARow, Text);
        WriteRealCellText(ACol, ARow, Text);
        break;
    }
    }
    return true;
}

bool TProStringGrid::ToggleCheckBox(int ACol, int ARow, bool Interactive)
{
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G || !IsCheckBoxType(G->CellType))
        return false;
    if (Interactive && !FControlLook->CheckAlwaysActive() && !CanEditCell(ACol, ARow, true))
        return false;
    String True;
    String False;
    GetCheckTrue(ACol, ARow, True);
    GetCheckFalse(ACol, ARow, False);
    bool NowChecked;
    if (G->CellType == ctCheckBox) {
        G->CellBoolean = !G->CellBoolean;
        NowChecked = G->CellBoolean;
    } else if (G->CellType == ctRowCheckBox) {
        NowChecked = !IsRowSelected(ARow);
        SetRowSelected(ARow, NowChecked);
    } else {
        NowChecked = ReadCellText(ACol, ARow) != True;
        WriteCellText(ACol, ARow, NowChecked ? True : False);
    }
    RepaintCell(RealToDisplayCol(ACol), ARow);
    // The record says what the box went from and to, for every kind of box.
    if (UndoRedo()) {
        if (NowChecked)
            UndoRedo()->AddChange(ACol, ARow, False, True);
        else
            UndoRedo()->AddChange(ACol, ARow, True, False);
    }
    return true;
}

void TProStringGrid::CheckAllInColumn(int ACol)
{
    for (int R = TStringGrid::FixedRows(); R < RowCount(); ++R)
        ChangeCheckBoxState(ACol, R, true);
}

void TProStringGrid::UncheckAllInColumn(int ACol)
{
    for (int R = TStringGrid::FixedRows(); R < RowCount(); ++R)
        ChangeCheckBoxState(ACol, R, false);
}

bool TProStringGrid::HasCheckBox(int ACol, int ARow)
{
    const TPoint B = BaseCell(ACol, ARow);
    return IsCheckBoxType(GetCellType(B.x, B.y));
}

bool TProStringGrid::HasClickControl(int ACol, int ARow)
{
    const TPoint B = BaseCell(ACol, ARow);
    const TCellType T = GetCellType(B.x, B.y);
    return IsCheckBoxType(T) || T == ctRadio || T == ctButton;
}

bool TProStringGrid::PtInCheckBox(int ACol, int ARow, int X, int Y)
{
    // The cell itself must hold the box, not only its merged base.
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G || !IsCheckBoxType(G->CellType))
        return false;
    if (!FMouseActions->PreciseCheckBoxCheck)
        return true;
    const int Size = FControlLook->CheckSize();
    // The box is placed as painted: in the coordinates of the (mirrored) canvas.
    const TRect R = MirroredRect(MergedCellRect(RealToDisplayCol(ACol), ARow));
    if (UseRightToLeftAlignment())
        X = ClientWidth() - 1 - X;
    int Top = R.top + 2;
    if (G->CellVAlign == vaBottom)
        Top = R.bottom - Size - 2;
    else if (G->CellVAlign == vaCenter)
        Top = R.top + (R.bottom - R.top - Size) / 2;
    TAlignment HAlign = taLeftJustify;
    TVAlignment VAlign = vtaTop;
    GetCellAlignment(ACol, ARow, HAlign, VAlign);
    int Left = R.left + 2;
    if (HAlign == taRightJustify)
        Left = R.right - Size - 2;
    else if (HAlign == taCenter)
        Left = R.left + (R.right - R.left - Size) / 2;
    return X >= Left && X < Left + Size && Y >= Top && Y < Top + Size;
}

// ---------------------------------------------------------------------------
// Radio groups and buttons

bool TProStringGrid::GetRadioIndex(int ACol, int ARow, int& Index)
{
    TCellGraphic* G = GetCellGraphicObject(ACol, ARow);
    if (!G)
        return false;
    Index = G->CellIndex;
    return G->CellType == ctRadio;
}

TStrings* TProStringGrid::GetRadioItems(int ACol, int ARow)
{
    const TPoint B = BaseCell(ACol, ARow);
    TCellGraphic* G = GetCellGraphicObject(B.x, B.y);
    if (!G || G->CellType != ctRadio)
        return nullptr;
    return dynamic_cast<TStrings*>(G->CellBitmap);
}

bool TProStringGrid::IsRadioCell(int ACol, int ARow)
{
    const TPoint B = BaseCell(ACol, ARow);
    return GetCellType(B.x, B.y) == ctRadio;
}

bool TProStringGrid::CycleRadioItem(int ACol, int ARow, bool Interactive)
{
    TCellGraphic* G = GetCellGraphicObject(ACol, ARow);
    if (!G || G->CellType != ctRadio)
        return false;
    if (Interactive && !FControlLook->RadioAlwaysActive() && !CanEditCell(ACol, ARow, true))
        return false;
    auto* Items = dynamic_cast<TStrings*>(G->CellBitmap);
    if (!Items || Items->Count() == 0)
        return false;
    int Next = G->CellIndex < 0 ? Items->IndexOf(ReadCellText(ACol, ARow)) + 1 : G->CellIndex + 1;
    if (Next >= Items->Count())
        Next = 0;
    if (G->CellIndex >= 0)
        G->CellIndex = Next;
    G->CellVar = Next;
    WriteCellText(ACol, ARow, Items->Strings(Next));
    return false;
}

bool TProStringGrid::IsButtonCell(int ACol, int ARow)
{
    const TPoint B = BaseCell(ACol, ARow);
    const TCellType T = GetCellType(B.x, B.y);
    return T == ctButton || T == ctBitButton;
}

void TProStringGrid::SetCellButtonDown(int ACol, int ARow, bool Down)
{
    TCellGraphic* G = GetCellGraphicObject(DisplayToRealCol(ACol), ARow);
    if (!G)
        return;
    G->CellBoolean = Down;
    RepaintCell(ACol, ARow);
}

TRect TProStringGrid::GetCellButtonRect(int ACol, int ARow)
{
    // The offset was taken while painting, on the (mirrored) canvas.
    const TRect Cell = MirroredRect(MergedCellRect(ACol, ARow));
    TCellGraphic* G = GetCellGraphicObject(DisplayToRealCol(ACol), ARow);
    if (!G)
        return TRect{0, 0, 0, 0};
    const int Offset = static_cast<int>(G->CellValue + (G->CellValue < 0 ? -0.5 : 0.5));
    const int OX = static_cast<short>(Offset & 0xFFFF);
    const int OY = static_cast<short>((Offset >> 16) & 0xFFFF);
    const int W = G->CellIndex & 0xFFFF;
    const int H = (G->CellIndex >> 16) & 0xFFFF;
    TRect R{Cell.left + OX, Cell.top + OY, Cell.left + OX + W, Cell.top + OY + H};
    if (G->CellVAlign == vaFull) {
        R.top = Cell.top;
        R.bottom = Cell.bottom;
    }
    if (G->CellHAlign == haFull) {
        R.left = Cell.left;
        R.right = Cell.right;
    }
    return MirroredRect(R);
}

bool TProStringGrid::GetCellComment(int ACol, int ARow, String& Comment)
{
    TCellGraphic* G = GetCellGraphicObject(ACol, ARow);
    if (!G || G->CellType != ctComment)
        return false;
    Comment = G->CellText;
    return true;
}

void TProStringGrid::GetCellErrorRange(int ACol, int ARow, int& From, int& Len)
{
    TCellGraphic* G = GetCellGraphicObject(ACol, ARow);
    From = G ? G->CellErrFrom : 0;
    Len = G ? G->CellErrLen : 0;
}

bool TProStringGrid::GetRotatedAngle(int ACol, int ARow, int& Angle)
{
    TCellGraphic* G = GetCellGraphicObject(ACol, ARow);
    if (!G || G->CellType != ctRotated)
        return false;
    Angle = G->CellAngle;
    return true;
}

TIntList* TProStringGrid::GetCellImageList(int ACol, int ARow)
{
    TCellGraphic* G = GetCellGraphicObject(ACol, ARow);
    if (!G || G->CellType != ctImages)
        return nullptr;
    return dynamic_cast<TIntList*>(G->CellBitmap);
}

Int64 TProStringGrid::GetCellImageKey(int ACol, int ARow)
{
    TCellGraphic* G = GetCellGraphicObject(ACol, ARow);
    if (!G)
        return -1;
    switch (G->CellType) {
    case ctBitmap:
        return static_cast<Int64>(reinterpret_cast<INT_PTR>(G->CellBitmap));
    case ctIcon:
        return static_cast<Int64>(reinterpret_cast<INT_PTR>(G->CellIcon));
    case ctImageList:
        return G->CellIndex;
    default:
        return -1;
    }
}

// ---------------------------------------------------------------------------
// Typed values

void TProStringGrid::SetCellInt(int ACol, int ARow, int Value) { WriteCellText(ACol, ARow, std::to_string(Value)); }

int TProStringGrid::GetCellInt(int ACol, int ARow)
{
    const String S = Trimmed(ReadCellText(ACol, ARow));
    if (S.empty() || S == "-")
        return 0;
    char* End = nullptr;
    errno = 0;
    const long long V = std::strtoll(S.c_str(), &End, 10);
    if (End == S.c_str() || *End != '\0' || errno == ERANGE || V < INT32_MIN || V > INT32_MAX)
        throw EProGridError("Cell does not contain integer value");
    return static_cast<int>(V);
}

void TProStringGrid::SetCellFloat(int ACol, int ARow, double Value)
{
    if (FormatArgKind(FloatFormat) != fakFloat)
        throw EProGridError("Format '" + FloatFormat + "' invalid or incompatible with argument");
    char Buf[512];
    const int N = std::snprintf(Buf, sizeof Buf, FloatFormat.c_str(), Value);
    WriteCellText(ACol, ARow, N < 0 ? String() : String(Buf, static_cast<std::size_t>(std::min<int>(N, sizeof Buf - 1))));
}

namespace {
double ParseCellFloat(const String& Text)
{
    const String S = ExtractNumberText(Text);
    if (S.empty() || S == "-")
        return 0.0;
    char* End = nullptr;
    const double V = std::strtod(S.c_str(), &End);
    if (End == S.c_str() || *End != '\0')
        throw EProGridError("Cell does not contain a float value");
    return V;
}
} // namespace

double TProStringGrid::GetCellFloat(int ACol, int ARow)
{
    const String Text = Trimmed(ReadCellText(ACol, ARow));
    if (Text.empty() || Text == "-")
        return 0.0;
    return ParseCellFloat(Text);
}

double TProStringGrid::GetRealCellFloat(int ACol, int ARow)
{
    const String Text = Trimmed(ReadRealCellText(ACol, ARow));
    if (Text.empty() || Text == "-")
        return 0.0;
    return ParseCellFloat(Text);
}

void TProStringGrid::SetCellDate(int ACol, int ARow, double Value)
{
    SYSTEMTIME St{};
    wchar_t Buf[80] = L"";
    if (VariantTimeToSystemTime(Value, &St))
        GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &St, nullptr, Buf, 80);
    WriteCellText(ACol, ARow, WideToStr(Buf));
}

WideString TProStringGrid::ReadWideCellText(int ACol, int ARow) { return UnpackWideText(ReadCellText(ACol, ARow)); }

void TProStringGrid::WriteWideCellText(int ACol, int ARow, const WideString& Value)
{
    SetCellTextRaw(ACol, ARow, PackWideText(Value));
}
