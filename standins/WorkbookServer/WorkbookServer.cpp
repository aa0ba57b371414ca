// WorkbookServer.dll: our own in-process automation server that stands in
// for a spreadsheet program on machines without one. It answers, through
// IDispatch by name, the calls the grid's workbook import makes:
//   Application: WorkBooks, ActiveSheet, Quit
//   WorkBooks:   Open(file name)
//   Workbook:    Sheets, ActiveSheet, Close(SaveChanges:=...)
//   Sheets:      Count, Item(index)
//   Worksheet:   Name, UsedRange, Range(address)
//   Range:       Address, Value
// A workbook is a text file of our own, one statement a line:
//   sheet <name>          starts a sheet
//   active                makes the current sheet the active one
//   used <address>        what UsedRange.Address answers ("$B$2:$D$4")
//   <cell> s <text>       a text value   (cell as "B2")
//   <cell> n <number>     a number value
//   <cell> e              an error value
// Every call is appended to "<workbook>.calls" (one name a line), so a test
// can see exactly what was asked.

#include <windows.h>
#include <oleauto.h>

#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// {5C7B2A10-9E3D-4B8F-A6C1-23D4E5F60718}
const CLSID CLSID_WorkbookServer = {0x5c7b2a10, 0x9e3d, 0x4b8f, {0xa6, 0xc1, 0x23, 0xd4, 0xe5, 0xf6, 0x07, 0x18}};

LONG ObjectCount = 0;

struct TCellValue {
    char Kind = 's';   // s, n or e
    std::wstring Text;
    double Number = 0;
};

struct TSheet {
    std::wstring Name;
    std::wstring Used;
    std::map<std::pair<int, int>, TCellValue> Cells;   // (row, column), 1-based
};

struct TBook {
    std::string Path;
    std::vector<TSheet> Sheets;
    int Active = 0;
    void Log(const std::string& Call) const
    {
        std::ofstream(Path + ".calls", std::ios::app | std::ios::binary) << Call << "\n";
    }
};

std::wstring Widen(const std::string& S)
{
    const int N = MultiByteToWideChar(CP_UTF8, 0, S.data(), static_cast<int>(S.size()), nullptr, 0);
    std::wstring W(static_cast<std::size_t>(N), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, S.data(), static_cast<int>(S.size()), W.data(), N);
    return W;
}

std::string Narrow(const std::wstring& W)
{
    const int N = WideCharToMultiByte(CP_UTF8, 0, W.data(), static_cast<int>(W.size()), nullptr, 0, nullptr, nullptr);
    std::string S(static_cast<std::size_t>(N), '\0');
    WideCharToMultiByte(CP_UTF8, 0, W.data(), static_cast<int>(W.size()), S.data(), N, nullptr, nullptr);
    return S;
}

// "B2" or "$B$2" into a 1-based (row, column); false when it is no cell.
bool ParseCell(std::wstring S, int& Row, int& Col)
{
    std::wstring Clean;
    for (wchar_t C : S)
        if (C != L'$')
            Clean += C;
    Row = Col = 0;
    std::size_t i = 0;
    while (i < Clean.size() && iswalpha(Clean[i]))
        Col = Col * 26 + (towupper(Clean[i++]) - L'A' + 1);
    if (i == 0 || i == Clean.size())
        return false;
    for (; i < Clean.size(); ++i) {
        if (!iswdigit(Clean[i]))
            return false;
        Row = Row * 10 + (Clean[i] - L'0');
    }
    return Row > 0 && Col > 0;
}

std::shared_ptr<TBook> LoadBook(const std::wstring& FileName)
{
    auto Book = std::make_shared<TBook>();
    Book->Path = Narrow(FileName);
    std::ifstream In(FileName.c_str());
    if (!In)
        return nullptr;
    std::string Line;
    while (std::getline(In, Line)) {
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        if (Line.empty())
            continue;
        std::istringstream Words(Line);
        std::string First;
        Words >> First;
        std::string Rest;
        std::getline(Words, Rest);
        if (!Rest.empty() && Rest[0] == ' ')
            Rest.erase(0, 1);
        if (First == "sheet") {
            Book->Sheets.push_back(TSheet{Widen(Rest), L"", {}});
            continue;
        }
        if (Book->Sheets.empty())
            continue;
        TSheet& Sheet = Book->Sheets.back();
        if (First == "active") {
            Book->Active = static_cast<int>(Book->Sheets.size()) - 1;
        } else if (First == "used") {
            Sheet.Used = Widen(Rest);
        } else {
            int R = 0, C = 0;
            if (!ParseCell(Widen(First), R, C) || Rest.empty())
                continue;
            TCellValue V;
            V.Kind = Rest[0];
            const std::string Value = Rest.size() > 2 ? Rest.substr(2) : std::string();
            if (V.Kind == 'n')
                V.Number = std::stod(Value);
            else
                V.Text = Widen(Value);
            Sheet.Cells[{R, C}] = V;
        }
    }
    return Book;
}

enum class TKind { Application, Workbooks, Workbook, Sheets, Worksheet, Range };

// The names every object answers, with their dispatch identifiers.
const std::pair<const wchar_t*, DISPID> Names[] = {
    {L"WorkBooks", 1}, {L"ActiveSheet", 2}, {L"Quit", 3},    {L"Open", 4},     {L"Sheets", 5},
    {L"Close", 6},     {L"Count", 7},       {L"Item", 8},    {L"Name", 9},     {L"UsedRange", 10},
    {L"Range", 11},    {L"Address", 12},    {L"Value", 13},  {L"SaveChanges", 100},
};

class TObjectBase : public IDispatch {
public:
    TObjectBase(TKind Kind, std::shared_ptr<TBook> Book, int Sheet = 0, std::wstring Address = L"")
        : FKind(Kind), FBook(std::move(Book)), FSheet(Sheet), FAddress(std::move(Address))
    {
        InterlockedIncrement(&ObjectCount);
    }
    virtual ~TObjectBase() { InterlockedDecrement(&ObjectCount); }

    STDMETHODIMP QueryInterface(REFIID Iid, void** Out) override
    {
        if (Iid == IID_IUnknown || Iid == IID_IDispatch) {
            *Out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *Out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&FRefs)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG N = InterlockedDecrement(&FRefs);
        if (N == 0)
            delete this;
        return static_cast<ULONG>(N);
    }
    STDMETHODIMP GetTypeInfoCount(UINT* Count) override
    {
        *Count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* Wanted, UINT Count, LCID, DISPID* Ids) override
    {
        HRESULT Hr = S_OK;
        for (UINT i = 0; i < Count; ++i) {
            Ids[i] = DISPID_UNKNOWN;
            for (const auto& [Name, Id] : Names)
                if (_wcsicmp(Name, Wanted[i]) == 0)
                    Ids[i] = Id;
            if (Ids[i] == DISPID_UNKNOWN)
                Hr = DISP_E_UNKNOWNNAME;
        }
        return Hr;
    }
    STDMETHODIMP Invoke(DISPID Id, REFIID, LCID, WORD, DISPPARAMS* Params, VARIANT* Result, EXCEPINFO* Info,
                        UINT*) override
    {
        VARIANT Dummy;
        VariantInit(&Dummy);
        if (!Result)
            Result = &Dummy;
        VariantInit(Result);
        HRESULT Hr = Dispatch(Id, Params, Result, Info);
        VariantClear(&Dummy);
        return Hr;
    }

private:
    HRESULT Object(VARIANT* Result, TObjectBase* Obj)
    {
        Result->vt = VT_DISPATCH;
        Result->pdispVal = Obj;
        return S_OK;
    }
    static HRESULT Fail(EXCEPINFO* Info, const wchar_t* Text)
    {
        if (Info) {
            *Info = EXCEPINFO{};
            Info->bstrDescription = SysAllocString(Text);
            Info->scode = E_FAIL;
        }
        return DISP_E_EXCEPTION;
    }
    // The positional argument Index (0 = first in call order).
    static VARIANT* Arg(DISPPARAMS* P, UINT Index)
    {
        const UINT Positional = P->cArgs - P->cNamedArgs;
        if (Index >= Positional)
            return nullptr;
        return &P->rgvarg[P->cArgs - 1 - Index];
    }
    TSheet& Sheet() { return FBook->Sheets[static_cast<std::size_t>(FSheet)]; }

    HRESULT Dispatch(DISPID Id, DISPPARAMS* P, VARIANT* Result, EXCEPINFO* Info)
    {
        switch (FKind) {
        case TKind::Application:
            if (Id == 1) {
                Log("Application.WorkBooks");
                return Object(Result, new TObjectBase(TKind::Workbooks, nullptr));
            }
            if (Id == 2) {
                Log("Application.ActiveSheet");
                if (!CurrentBook() || CurrentBook()->Sheets.empty())
                    return Fail(Info, L"No active sheet");
                return Object(Result, new TObjectBase(TKind::Worksheet, CurrentBook(), CurrentBook()->Active));
            }
            if (Id == 3) {
                Log("Application.Quit");
                return S_OK;
            }
            break;
        case TKind::Workbooks:
            if (Id == 4) {
                VARIANT* Name = Arg(P, 0);
                VARIANT Text;
                VariantInit(&Text);
                if (!Name || FAILED(VariantChangeType(&Text, Name, 0, VT_BSTR)))
                    return DISP_E_TYPEMISMATCH;
                auto Book = LoadBook(Text.bstrVal);
                VariantClear(&Text);
                if (!Book)
                    return Fail(Info, L"The workbook cannot be opened");
                CurrentBook() = Book;
                Log("WorkBooks.Open");
                return Object(Result, new TObjectBase(TKind::Workbook, Book));
            }
            break;
        case TKind::Workbook:
            if (Id == 5) {
                Log("Workbook.Sheets");
                return Object(Result, new TObjectBase(TKind::Sheets, FBook));
            }
            if (Id == 2) {
                Log("Workbook.ActiveSheet");
                return Object(Result, new TObjectBase(TKind::Worksheet, FBook, FBook->Active));
            }
            if (Id == 6) {
                bool Save = true;
                for (UINT i = 0; i < P->cNamedArgs; ++i)
                    if (P->rgdispidNamedArgs[i] == 100) {
                        VARIANT B;
                        VariantInit(&B);
                        if (SUCCEEDED(VariantChangeType(&B, &P->rgvarg[i], 0, VT_BOOL)))
                            Save = B.boolVal != VARIANT_FALSE;
                    }
                Log(Save ? "Workbook.Close SaveChanges=true" : "Workbook.Close SaveChanges=false");
                return S_OK;
            }
            break;
        case TKind::Sheets:
            if (Id == 7) {
                Log("Sheets.Count");
                Result->vt = VT_I4;
                Result->lVal = static_cast<LONG>(FBook->Sheets.size());
                return S_OK;
            }
            if (Id == 8 || Id == DISPID_VALUE) {
                VARIANT* Index = Arg(P, 0);
                VARIANT I;
                VariantInit(&I);
                if (!Index || FAILED(VariantChangeType(&I, Index, 0, VT_I4)))
                    return DISP_E_TYPEMISMATCH;
                if (I.lVal < 1 || I.lVal > static_cast<LONG>(FBook->Sheets.size()))
                    return DISP_E_BADINDEX;
                Log("Sheets.Item");
                return Object(Result, new TObjectBase(TKind::Worksheet, FBook, I.lVal - 1));
            }
            break;
        case TKind::Worksheet:
            if (Id == 9) {
                Log("Worksheet.Name");
                Result->vt = VT_BSTR;
                Result->bstrVal = SysAllocString(Sheet().Name.c_str());
                return S_OK;
            }
            if (Id == 10) {
                Log("Worksheet.UsedRange");
                return Object(Result, new TObjectBase(TKind::Range, FBook, FSheet, Sheet().Used));
            }
            if (Id == 11) {
                VARIANT* A = Arg(P, 0);
                VARIANT Text;
                VariantInit(&Text);
                if (!A || FAILED(VariantChangeType(&Text, A, 0, VT_BSTR)))
                    return DISP_E_TYPEMISMATCH;
                Log("Worksheet.Range " + Narrow(Text.bstrVal));
                auto* R = new TObjectBase(TKind::Range, FBook, FSheet, Text.bstrVal);
                VariantClear(&Text);
                return Object(Result, R);
            }
            break;
        case TKind::Range:
            if (Id == 12) {
                Log("Range.Address");
                Result->vt = VT_BSTR;
                Result->bstrVal = SysAllocString(FAddress.c_str());
                return S_OK;
            }
            if (Id == 13 || Id == DISPID_VALUE) {
                Log("Range.Value");
                return RangeValue(Result, Info);
            }
            break;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    void CellVariant(int Row, int Col, VARIANT* V)
    {
        VariantInit(V);
        const auto It = Sheet().Cells.find({Row, Col});
        if (It == Sheet().Cells.end())
            return;
        if (It->second.Kind == 'n') {
            V->vt = VT_R8;
            V->dblVal = It->second.Number;
        } else if (It->second.Kind == 'e') {
            V->vt = VT_ERROR;
            V->scode = static_cast<SCODE>(0x800A07E7);
        } else {
            V->vt = VT_BSTR;
            V->bstrVal = SysAllocString(It->second.Text.c_str());
        }
    }

    // One cell gives its value; a larger range a 1-based rows x columns array.
    HRESULT RangeValue(VARIANT* Result, EXCEPINFO* Info)
    {
        const std::size_t Colon = FAddress.find(L':');
        int R1, C1, R2, C2;
        if (!ParseCell(FAddress.substr(0, Colon), R1, C1) ||
            !ParseCell(Colon == std::wstring::npos ? FAddress : FAddress.substr(Colon + 1), R2, C2) || R2 < R1 ||
            C2 < C1)
            return Fail(Info, L"Bad range");
        if (R1 == R2 && C1 == C2) {
            CellVariant(R1, C1, Result);
            return S_OK;
        }
        SAFEARRAYBOUND Bounds[2] = {{static_cast<ULONG>(R2 - R1 + 1), 1}, {static_cast<ULONG>(C2 - C1 + 1), 1}};
        SAFEARRAY* A = SafeArrayCreate(VT_VARIANT, 2, Bounds);
        if (!A)
            return E_OUTOFMEMORY;
        for (int R = R1; R <= R2; ++R)
            for (int C = C1; C <= C2; ++C) {
                VARIANT V;
                CellVariant(R, C, &V);
                LONG Index[2] = {R - R1 + 1, C - C1 + 1};
                SafeArrayPutElement(A, Index, &V);
                VariantClear(&V);
            }
        Result->vt = VT_ARRAY | VT_VARIANT;
        Result->parray = A;
        return S_OK;
    }

    void Log(const std::string& Call)
    {
        if (FBook)
            FBook->Log(Call);
        else if (CurrentBook())
            CurrentBook()->Log(Call);
    }
    // The workbook opened last in this process: the application's active one.
    static std::shared_ptr<TBook>& CurrentBook()
    {
        static std::shared_ptr<TBook> Book;
        return Book;
    }

    LONG FRefs = 1;
    TKind FKind;
    std::shared_ptr<TBook> FBook;
    int FSheet;
    std::wstring FAddress;
};

class TFactory : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID Iid, void** Out) override
    {
        if (Iid == IID_IUnknown || Iid == IID_IClassFactory) {
            *Out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *Out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* Outer, REFIID Iid, void** Out) override
    {
        *Out = nullptr;
        if (Outer)
            return CLASS_E_NOAGGREGATION;
        auto* App = new TObjectBase(TKind::Application, nullptr);
        const HRESULT Hr = App->QueryInterface(Iid, Out);
        App->Release();
        return Hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

TFactory Factory;

} // namespace

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID Clsid, REFIID Iid, void** Out)
{
    if (Clsid != CLSID_WorkbookServer)
        return CLASS_E_CLASSNOTAVAILABLE;
    return Factory.QueryInterface(Iid, Out);
}

extern "C" HRESULT __stdcall DllCanUnloadNow() { return ObjectCount == 0 ? S_OK : S_FALSE; }
