// Workbook import end to end against our stand-in automation server
// (WorkbookServer.dll beside this program), registered in the classes root of
// the test Wine prefix for the test's duration and removed after it.

#include <gtest/gtest.h>

#include <windows.h>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Form.h"
#include "grid/core/GridWorkbookAddress.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/DragDropSettings.h"
#include "grid/interaction/GridDragDrop.h"
#include "tests/support/TempDir.h"

namespace {

const wchar_t* const ServerClsid = L"{5C7B2A10-9E3D-4B8F-A6C1-23D4E5F60718}";
const wchar_t* const ProgIdKey = L"excel.application";

std::wstring ClsidKey() { return std::wstring(L"CLSID\\") + ServerClsid; }

void SetKeyValue(const std::wstring& Key, const wchar_t* Name, const std::wstring& Value)
{
    HKEY H = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, Key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &H, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(H, Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                   static_cast<DWORD>((Value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(H);
}

void Unregister()
{
    RegDeleteTreeW(HKEY_CLASSES_ROOT, ProgIdKey);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, ClsidKey().c_str());
}

void Register()
{
    wchar_t Exe[MAX_PATH];
    GetModuleFileNameW(nullptr, Exe, MAX_PATH);
    std::wstring Dll = Exe;
    Dll = Dll.substr(0, Dll.find_last_of(L"\\/") + 1) + L"WorkbookServer.dll";
    ASSERT_NE(GetFileAttributesW(Dll.c_str()), INVALID_FILE_ATTRIBUTES) << "the server beside the tests";
    SetKeyValue(std::wstring(ProgIdKey) + L"\\CLSID", nullptr, ServerClsid);
    SetKeyValue(ClsidKey() + L"\\InprocServer32", nullptr, Dll);
    SetKeyValue(ClsidKey() + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
}

std::unique_ptr<TProStringGrid> MakeGrid()
{
    auto G = std::make_unique<TProStringGrid>(nullptr);
    G->SetColCount(2);
    G->SetRowCount(2);
    G->SetFixedCols(0);
    G->SetFixedRows(0);
    return G;
}

const char* const Book =
    "sheet One\n"
    "used $A$1:$B$2\n"
    "A1 s first\n"
    "B2 n 7\n"
    "sheet Two\n"
    "active\n"
    "used $C$3:$E$5\n"
    "C3 s top left\n"
    "D3 n 42.5\n"
    "E3 e\n"
    "C5 s bottom\n"
    "E5 n -3\n"
    "sheet Rows\n"
    "used $2:$3\n"
    "A2 s a2\n"
    "C3 s c3\n"
    "sheet Single\n"
    "used $C$3\n"
    "C3 s alone\n"
    "sheet Wide\n"
    "used $AAA$1:$AAB$1\n"
    "AAA1 s x\n"
    "AAB1 s y\n";

class GridWorkbook : public ::testing::Test {
protected:
    void SetUp() override
    {
        Register();
        testfs::WriteBytes(Dir / "book.xls", Book);
        File = testfs::PathStr(Dir / "book.xls");
    }
    void TearDown() override { Unregister(); }
    std::string Calls() { return testfs::ReadBytes(Dir / "book.xls.calls"); }

    testfs::TempDir Dir{"gridbook"};
    String File;
};

TEST_F(GridWorkbook, ActiveSheetFromItsUsedRange)
{
    auto G = MakeGrid();
    G->SetCells(1, 1, "stale");   // D4 of the sheet holds nothing
    G->ImportWorkbook(File);
    ASSERT_EQ(G->ColCount(), 3);
    ASSERT_EQ(G->RowCount(), 3);
    EXPECT_EQ(G->Cells(0, 0), "top left");
    EXPECT_EQ(G->Cells(1, 0), "42.5");
    EXPECT_EQ(G->Cells(0, 2), "bottom");
    EXPECT_EQ(G->Cells(2, 2), "-3");
    EXPECT_EQ(G->Cells(1, 1), "") << "a cell without value is cleared";
    const std::string C = Calls();
    EXPECT_NE(C.find("Worksheet.Range C3:E5"), std::string::npos) << C;
    EXPECT_NE(C.find("Workbook.Close SaveChanges=false\nApplication.Quit"), std::string::npos) << C;
}

TEST_F(GridWorkbook, ErrorValuesLeaveTheCell)
{
    auto G = MakeGrid();
    G->SetColCount(3);
    G->SetRowCount(3);
    G->SetCells(2, 0, "before");
    G->ImportWorkbook(File);
    EXPECT_EQ(G->Cells(2, 0), "before");
}

TEST_F(GridWorkbook, SheetsByName)
{
    struct Case {
        const char* Sheet;
        int Cols;
        int Rows;
        int Col;
        int Row;
        const char* Text;
    };
    const Case Cases[] = {
        {"One", 2, 2, 1, 1, "7"},
        {"Rows", 256, 2, 2, 1, "c3"},     // whole rows: 256 columns
        {"Single", 1, 1, 0, 0, "alone"},  // one cell: read as 1 x 1 from that cell
        {"Wide", 2, 1, 1, 0, "y"},        // three-letter columns
    };
    for (const Case& C : Cases) {
        auto G = MakeGrid();
        G->ReadWorkbook(File, C.Sheet);
        EXPECT_EQ(G->ColCount(), C.Cols) << C.Sheet;
        EXPECT_EQ(G->RowCount(), C.Rows) << C.Sheet;
        EXPECT_EQ(G->Cells(C.Col, C.Row), C.Text) << C.Sheet;
    }
}

TEST_F(GridWorkbook, MissingSheetIsReportedAndTheServerQuits)
{
    auto G = MakeGrid();
    G->SetCells(0, 0, "kept");
    try {
        G->ReadWorkbook(File, "Nope");
        FAIL() << "no error";
    } catch (const EProGridError& E) {
        EXPECT_EQ(E.Message, "Excel worksheet Nope not found");
    }
    EXPECT_EQ(G->Cells(0, 0), "kept");
    const std::string C = Calls();
    EXPECT_NE(C.find("Application.Quit"), std::string::npos) << C;
    EXPECT_EQ(C.find("Workbook.Close"), std::string::npos) << C;
}

TEST_F(GridWorkbook, ADroppedWorkbookIsImportedFromItsActiveSheet)
{
    TForm* Form = new TForm(Application);
    auto* G = new TProStringGrid(Form);
    G->SetParent(Form);
    G->SetBounds(0, 0, 300, 200);
    G->SetColCount(2);
    G->SetRowCount(2);
    G->SetCells(0, 0, "old");
    G->DragDropSettings()->SetOleDropTarget(true);
    TGridDropTarget* T = G->OleDropTargetObject();
    ASSERT_NE(T, nullptr);
    std::vector<std::string> Seen;
    bool Allow = false;
    G->OnOleDrop = [&](TObject*, int R, int C, const String& Data, bool& A) {
        Seen.push_back(std::to_string(R) + "," + std::to_string(C) + " " + Data);
        A = Allow;
    };
    TStringList One;
    One.Add(File);
    T->FilesDropped(G->ClientToScreen(TPoint{5, 5}), &One);
    EXPECT_EQ(Seen, std::vector<std::string>{"-1,-1 " + File});
    EXPECT_EQ(G->Cells(0, 0), "old") << "a refused import changes nothing";

    Allow = true;
    T->FilesDropped(G->ClientToScreen(TPoint{5, 5}), &One);
    EXPECT_EQ(G->ColCount(), 3);
    EXPECT_EQ(G->RowCount(), 3);
    EXPECT_EQ(G->Cells(0, 0), "top left");
    EXPECT_EQ(G->Cells(2, 2), "-3");
    delete Form;
}

TEST(GridWorkbookServer, MissingServerIsReported)
{
    Unregister();
    auto G = MakeGrid();
    try {
        G->ImportWorkbook("C:\\none.xls");
        FAIL() << "no error";
    } catch (const EProGridError& E) {
        EXPECT_EQ(E.Message, "Excel OLE server not found");
    }
}

TEST(GridWorkbookAddress, Parsing)
{
    struct Case {
        const char* Address;
        int C1, C2, R1, R2;
    };
    const Case Cases[] = {
        {"$B$2:$F$40", 2, 6, 2, 40}, {"$C$3", 3, 3, 3, 3},        {"$3:$7", 1, 256, 3, 7},
        {"$Z$1:$AA$2", 26, 27, 1, 2}, {"$AAA$1:$AAB$9", 703, 704, 1, 9}, {"$A:$C", 1, 3, -1, -1},
    };
    for (const Case& C : Cases) {
        const TWorkbookRange R = ParseWorkbookAddress(C.Address);
        EXPECT_EQ(R.FirstCol, C.C1) << C.Address;
        EXPECT_EQ(R.LastCol, C.C2) << C.Address;
        EXPECT_EQ(R.FirstRow, C.R1) << C.Address;
        EXPECT_EQ(R.LastRow, C.R2) << C.Address;
    }
    EXPECT_EQ(WorkbookColumnLetters(1), "A");
    EXPECT_EQ(WorkbookColumnLetters(26), "Z");
    EXPECT_EQ(WorkbookColumnLetters(27), "AA");
    EXPECT_EQ(WorkbookColumnLetters(702), "ZZ");
    EXPECT_EQ(WorkbookColumnLetters(703), "AAA");
}

} // namespace
