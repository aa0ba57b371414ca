// Filling the grid from a worksheet through the spreadsheet program's
// automation object ("excel.application"), late bound by name.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>

#include "framework/Codepage.h"
#include "framework/Screen.h"
#include "framework/StrUtils.h"
#include "grid/core/GridWorkbookAddress.h"
#include "grid/core/ProGrid.h"

namespace {

// An owned IDispatch reference.
class TDispatch {
public:
    TDispatch() = default;
    explicit TDispatch(IDispatch* D) : FDisp(D) {}
    ~TDispatch() { Reset(); }
    TDispatch(TDispatch&& O) noexcept : FDisp(O.FDisp) { O.FDisp = nullptr; }
    TDispatch& operator=(TDispatch&& O) noexcept
    {
        if (this != &O) {
            Reset();
            FDisp = O.FDisp;
            O.FDisp = nullptr;
        }
        return *this;
    }
    TDispatch(const TDispatch&) = delete;
    TDispatch& operator=(const TDispatch&) = delete;
    void Reset()
    {
        if (FDisp)
            FDisp->Release();
        FDisp = nullptr;
    }
    IDispatch* Get() const { return FDisp; }
    explicit operator bool() const { return FDisp != nullptr; }

private:
    IDispatch* FDisp = nullptr;
};

// A VARIANT cleared with the object.
class TVariant {
public:
    TVariant() { VariantInit(&V); }
    ~TVariant() { VariantClear(&V); }
    TVariant(const TVariant&) = delete;
    TVariant& operator=(const TVariant&) = delete;
    VARIANT V;
};

[[noreturn]] void RaiseOle(const char* What, HRESULT Hr, const EXCEPINFO*)
{
    char Code[16];
    std::snprintf(Code, sizeof Code, "%08lX", static_cast<unsigned long>(Hr));
    throw EProGridError(String("OLE error calling ") + What + " (" + Code + ")");
}

// Calls a member by name: Kind is DISPATCH_METHOD or DISPATCH_PROPERTYGET
// (both are asked for, as late binding does). Args are in call order; a
// named argument follows its name in Names.
void Call(IDispatch* Obj, const wchar_t* Name, WORD Kind, std::vector<VARIANT> Args, VARIANT* Result,
          const wchar_t* NamedArg = nullptr)
{
    LPOLESTR Names[2] = {const_cast<LPOLESTR>(Name), const_cast<LPOLESTR>(NamedArg)};
    DISPID Ids[2] = {DISPID_UNKNOWN, DISPID_UNKNOWN};
    const UINT NameCount = NamedArg ? 2 : 1;
    HRESULT Hr = Obj->GetIDsOfNames(IID_NULL, Names, NameCount, LOCALE_USER_DEFAULT, Ids);
    const String What = WideToStr(Name);
    if (FAILED(Hr))
        RaiseOle(What.c_str(), Hr, nullptr);
    // Arguments go in reverse order.
    std::vector<VARIANT> Reversed(Args.rbegin(), Args.rend());
    DISPPARAMS Params{};
    Params.cArgs = static_cast<UINT>(Reversed.size());
    Params.rgvarg = Reversed.empty() ? nullptr : Reversed.data();
    if (NamedArg) {
        Params.cNamedArgs = 1;
        Params.rgdispidNamedArgs = &Ids[1];
    }
    EXCEPINFO Info{};
    UINT ArgErr = 0;
    Hr = Obj->Invoke(Ids[0], IID_NULL, LOCALE_USER_DEFAULT, Kind | DISPATCH_METHOD,
                     &Params, Result, &Info, &ArgErr);
    if (FAILED(Hr)) {
        if (Info.pfnDeferredFillIn)
            Info.pfnDeferredFillIn(&Info);
        const bool Described = Info.bstrDescription != nullptr;
        const String Text = Described ? "OLE error calling " + What + ": " + WideToStr(Info.bstrDescription) : String();
        SysFreeString(Info.bstrDescription);
        SysFreeString(Info.bstrSource);
        SysFreeString(Info.bstrHelpFile);
        if (!Described)
            RaiseOle(What.c_str(), Hr, nullptr);
        throw EProGridError(Text);
    }
}

VARIANT BstrArg(const String& S)
{
    VARIANT V;
    VariantInit(&V);
    V.vt = VT_BSTR;
    V.bstrVal = SysAllocString(StrToWide(S).c_str());
    return V;
}

VARIANT IntArg(int I)
{
    VARIANT V;
    VariantInit(&V);
    V.vt = VT_I4;
    V.lVal = I;
    return V;
}

// A property or method result that is an object.
TDispatch DispatchObject(IDispatch* Obj, const wchar_t* Name, std::vector<VARIANT> Args = {})
{
    TVariant R;
    try {
        Call(Obj, Name, DISPATCH_PROPERTYGET, Args, &R.V);
    } catch (...) {
        for (VARIANT& A : Args)
            VariantClear(&A);
        throw;
    }
    for (VARIANT& A : Args)
        VariantClear(&A);
    if (R.V.vt != VT_DISPATCH || !R.V.pdispVal)
        throw EProGridError("OLE error calling " + WideToStr(Name) + ": no object");
    IDispatch* D = R.V.pdispVal;
    D->AddRef();
    return TDispatch(D);
}

// A result converted to text (empty for an empty value).
String DispatchText(IDispatch* Obj, const wchar_t* Name)
{
    TVariant R;
    Call(Obj, Name, DISPATCH_PROPERTYGET, {}, &R.V);
    if (R.V.vt == VT_EMPTY || R.V.vt == VT_NULL)
        return String();
    if (FAILED(VariantChangeType(&R.V, &R.V, 0, VT_BSTR)))
        return String();
    return WideToStr(R.V.bstrVal ? R.V.bstrVal : L"");
}

int DispatchInt(IDispatch* Obj, const wchar_t* Name)
{
    TVariant R;
    Call(Obj, Name, DISPATCH_PROPERTYGET, {}, &R.V);
    if (FAILED(VariantChangeType(&R.V, &R.V, 0, VT_I4)))
        throw EProGridError("OLE error calling " + WideToStr(Name) + ": no number");
    return R.V.lVal;
}

// What one value of the range gives a cell: false to leave the cell as it is.
bool CellValueText(VARIANT& V, String& Text)
{
    if (V.vt == VT_EMPTY || V.vt == VT_NULL) {
        Text.clear();
        return true;
    }
    if (V.vt == VT_ERROR || V.vt == VT_DISPATCH || V.vt == VT_UNKNOWN)
        return false;
    TVariant T;
    if (FAILED(VariantChangeType(&T.V, &V, 0, VT_BSTR)))
        return false;
    Text = WideToStr(T.V.bstrVal ? T.V.bstrVal : L"");
    return true;
}

// COM for the calling thread for as long as the object lives.
class TComScope {
public:
    TComScope() : FInit(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~TComScope()
    {
        if (FInit)
            CoUninitialize();
    }
    TComScope(const TComScope&) = delete;
    TComScope& operator=(const TComScope&) = delete;

private:
    bool FInit;
};

} // namespace

void TProStringGrid::ImportWorkbook(const String& FileName) { ReadWorkbook(FileName, String()); }

void TProStringGrid::ReadWorkbook(const String& FileName, const String& SheetName)
{
    TComScope Com;
    const TCursor OldCursor = Screen->Cursor();
    Screen->SetCursor(crHourGlass);
    CLSID Clsid{};
    IDispatch* Raw = nullptr;
    if (FAILED(CLSIDFromProgID(L"excel.application", &Clsid)) ||
        FAILED(CoCreateInstance(Clsid, nullptr, CLSCTX_SERVER, IID_IDispatch, reinterpret_cast<void**>(&Raw))) ||
        !Raw) {
        Screen->SetCursor(OldCursor);
        throw EProGridError("Excel OLE server not found");
    }
    TDispatch App(Raw);
    // Whatever happens from here: the server quits and is released, the
    // cursor comes back and the grid hears of its cells.
    const auto Finish = [&] {
        try {
            TVariant Ignored;
            Call(App.Get(), L"Quit", DISPATCH_METHOD, {}, &Ignored.V);
        } catch (const Exception&) {
            // a server that cannot quit is still released
        }
        App.Reset();
        Screen->SetCursor(OldCursor);
        CellsChanged(TRect{0, 0, ColCount(), RowCount()});
        AllCellsChanged();
    };
    try {
        TDispatch Books = DispatchObject(App.Get(), L"WorkBooks");
        TDispatch Book = DispatchObject(Books.Get(), L"Open", {BstrArg(FileName)});
        TDispatch Sheet;
        if (!SheetName.empty()) {
            TDispatch Sheets = DispatchObject(Book.Get(), L"Sheets");
            const int Count = DispatchInt(Sheets.Get(), L"Count");
            for (int i = 1; i <= Count; ++i) {
                TDispatch S = DispatchObject(Sheets.Get(), L"Item", {IntArg(i)});
                if (DispatchText(S.Get(), L"Name") == SheetName)
                    Sheet = std::move(S);
            }
            if (!Sheet) {
                Screen->SetCursor(OldCursor);
                throw EProGridError("Excel worksheet " + SheetName + " not found");
            }
        } else {
            Sheet = DispatchObject(App.Get(), L"ActiveSheet");
        }
        TDispatch Used = DispatchObject(Sheet.Get(), L"UsedRange");
        const TWorkbookRange R = ParseWorkbookAddress(DispatchText(Used.Get(), L"Address"));
        if (R.Valid()) {
            const int FixedC = TStringGrid::FixedCols();
            const int FixedR = TStringGrid::FixedRows();
            const int Cols = R.LastCol - R.FirstCol + 1;
            const int Rows = R.LastRow - R.FirstRow + 1;
            SetColCount(Cols);
            SetRowCount(Rows);
            if (FixedC < ColCount() && TStringGrid::FixedCols() != FixedC)
                SetFixedCols(FixedC);
            if (FixedR < RowCount() && TStringGrid::FixedRows() != FixedR)
                SetFixedRows(FixedR);
            const String Address = WorkbookColumnLetters(R.FirstCol) + IntToStr(R.FirstRow) + ":" +
                                   WorkbookColumnLetters(R.LastCol) + IntToStr(R.LastRow);
            TDispatch Range = DispatchObject(Sheet.Get(), L"Range", {BstrArg(Address)});
            TVariant Values;
            Call(Range.Get(), L"Value", DISPATCH_PROPERTYGET, {}, &Values.V);
            // A one-cell range gives one value rather than an array: it is
            // read as a 1 x 1 array. Cells the array does not reach are cleared.
            SAFEARRAY* Array = (Values.V.vt & VT_ARRAY) ? Values.V.parray : nullptr;
            LONG RowLo = 1, RowHi = 0, ColLo = 1, ColHi = 0;
            if (Array && SafeArrayGetDim(Array) == 2 && (Values.V.vt & VT_TYPEMASK) == VT_VARIANT) {
                SafeArrayGetLBound(Array, 1, &RowLo);
                SafeArrayGetUBound(Array, 1, &RowHi);
                SafeArrayGetLBound(Array, 2, &ColLo);
                SafeArrayGetUBound(Array, 2, &ColHi);
            }
            for (int i = 0; i < Rows; ++i)
                for (int j = 0; j < Cols; ++j) {
                    String Text;
                    bool Store = true;
                    if (Array) {
                        LONG Index[2] = {RowLo + i, ColLo + j};
                        if (Index[0] <= RowHi && Index[1] <= ColHi) {
                            TVariant Item;
                            if (SUCCEEDED(SafeArrayGetElement(Array, Index, &Item.V)))
                                Store = CellValueText(Item.V, Text);
                        }
                    } else if (i == 0 && j == 0) {
                        Store = CellValueText(Values.V, Text);
                    }
                    if (Store)
                        SetCellTextFromLoad(j, i, Text);
                }
        }
        VARIANT No;
        VariantInit(&No);
        No.vt = VT_BOOL;
        No.boolVal = VARIANT_FALSE;
        TVariant Ignored;
        Call(Book.Get(), L"Close", DISPATCH_METHOD, {No}, &Ignored.V, L"SaveChanges");
    } catch (...) {
        Finish();
        throw;
    }
    Finish();
}
