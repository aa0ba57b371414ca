// Drops on a grid in a real window through its drop target, the dragged
// text of a grid, and real drags with the system's drag loop: between two
// grids, and inside one grid with row insertion and removal.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "framework/Codepage.h"
#include "framework/Form.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/DragDropSettings.h"
#include "grid/interaction/GridDragDrop.h"
#include "grid/interaction/MouseActions.h"
#include "tests/support/GuiHarness.h"

namespace {

class GridDrop : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 900, 420);
        A = MakeGrid(8);
        B = MakeGrid(450);
        Form->Show();
        gui::Settle();
    }
    void TearDown() override { delete Form; }

    TProStringGrid* MakeGrid(int Left)
    {
        auto* G = new TProStringGrid(Form);
        G->SetParent(Form);
        G->SetBounds(Left, 8, 420, 360);
        G->SetColCount(5);
        G->SetRowCount(10);
        G->SetDefaultColWidth(70);
        G->SetDefaultRowHeight(22);
        // Drops paste like the clipboard does: into editable cells.
        G->SetOptions(G->Options() | goEditing);
        for (int R = 1; R < 10; ++R)
            for (int C = 1; C < 5; ++C)
                G->SetCells(C, R, String(1, static_cast<char>('a' + C - 1)) + std::to_string(R));
        return G;
    }
    // The screen point in the middle of a cell.
    TPoint CellPoint(TProStringGrid* G, int ACol, int ARow)
    {
        const TRect R = G->CellRect(ACol, ARow);
        return G->ClientToScreen(TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2});
    }
    std::string RowText(TProStringGrid* G, int ARow)
    {
        std::string S;
        for (int C = 1; C < G->ColCount(); ++C)
            S += (C > 1 ? "," : "") + G->Cells(C, ARow);
        return S;
    }

    TForm* Form = nullptr;
    TProStringGrid* A = nullptr;
    TProStringGrid* B = nullptr;
};

void MouseInput(DWORD Flags, TPoint Screen)
{
    INPUT In{};
    In.type = INPUT_MOUSE;
    In.mi.dx = MulDiv(Screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    In.mi.dy = MulDiv(Screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    In.mi.dwFlags = Flags | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &In, sizeof In);
}

// A helper thread that (pressing the left button over From first when
// asked) moves the mouse to To in steps and releases it; should the drag
// loop not have ended (Done) ten seconds later, Escape ends it.
std::thread MouseMover(TPoint From, TPoint To, bool Press, std::atomic<bool>& Done)
{
    return std::thread([From, To, Press, &Done] {
        if (Press)
            MouseInput(MOUSEEVENTF_LEFTDOWN, From);
        Sleep(300);
        for (int I = 1; I <= 10; ++I) {
            MouseInput(MOUSEEVENTF_MOVE,
                       TPoint{From.x + (To.x - From.x) * I / 10, From.y + (To.y - From.y) * I / 10});
            Sleep(60);
        }
        Sleep(200);
        MouseInput(MOUSEEVENTF_LEFTUP, To);
        for (int I = 0; I < 200 && !Done; ++I)
            Sleep(50);
        if (!Done) {
            INPUT K{};
            K.type = INPUT_KEYBOARD;
            K.ki.wVk = VK_ESCAPE;
            SendInput(1, &K, sizeof K);
            K.ki.dwFlags = KEYEVENTF_KEYUP;
            SendInput(1, &K, sizeof K);
        }
    });
}

// Presses the left button over From, runs the grid's drag from there and,
// from a helper thread, moves the mouse to To in steps and releases it.
// Returns whether the drag ran; the helper always releases the button.
bool RealDrag(TProStringGrid* Source, TPoint From, TPoint To, const std::function<void()>& BeforeDrag = {})
{
    MouseInput(MOUSEEVENTF_MOVE, From);
    gui::PumpFor(50);
    MouseInput(MOUSEEVENTF_LEFTDOWN, From);
    gui::PumpFor(100);
    if (BeforeDrag)
        BeforeDrag();
    std::atomic<bool> Done{false};
    std::thread Mover = MouseMover(From, To, false, Done);
    const TPoint Client = Source->ScreenToClient(From);
    const bool Ran = Source->StartOleDrag(Client.x, Client.y);
    Done = true;
    Mover.join();
    gui::Settle();
    return Ran;
}

} // namespace

TEST_F(GridDrop, RegisteringAndRevokingTheDropTarget)
{
    EXPECT_FALSE(A->OleDropTargetRegistered());
    A->DragDropSettings()->SetOleDropTarget(true);
    EXPECT_TRUE(A->OleDropTargetRegistered());
    ASSERT_NE(A->OleDropTargetObject(), nullptr);
    // The window is taken: a second registration fails.
    EXPECT_EQ(RegisterDragDrop(A->Handle(), A->OleDropTargetObject()), DRAGDROP_E_ALREADYREGISTERED);
    A->DragDropSettings()->SetOleDropTarget(false);
    EXPECT_FALSE(A->OleDropTargetRegistered());
    EXPECT_EQ(A->OleDropTargetObject(), nullptr);
    EXPECT_EQ(RevokeDragDrop(A->Handle()), DRAGDROP_E_NOTREGISTERED);

    // A grid without a window registers nothing and leaves the flag false.
    auto* Loose = new TProStringGrid(nullptr);
    Loose->DragDropSettings()->SetOleDropTarget(true);
    EXPECT_FALSE(Loose->OleDropTargetRegistered());
    delete Loose;
}

TEST_F(GridDrop, DroppedLinesAreInsertedPastedAndSelected)
{
    B->DragDropSettings()->OleInsertRows = true;
    B->DragDropSettings()->SetOleDropTarget(true);
    TGridDropTarget* T = B->OleDropTargetObject();
    ASSERT_NE(T, nullptr);
    std::vector<std::string> Events;
    TGridRect Dropped{};
    B->OnOleDrop = [&](TObject*, int R, int C, const String& Data, bool&) {
        Events.push_back("drop " + std::to_string(R) + "," + std::to_string(C) + " " + Data);
    };
    B->OnOleDropped = [&](TObject*, const TGridRect& Rect) {
        Events.push_back("dropped");
        Dropped = Rect;
    };
    T->TextDropped(CellPoint(B, 2, 3), "x1\ty1\r\nx2\ty2\r\nx3\ty3");
    ASSERT_EQ(Events.size(), 2u);
    EXPECT_EQ(Events[0], "drop 3,2 x1\ty1\r\nx2\ty2\r\nx3\ty3");
    EXPECT_EQ(B->RowCount(), 13);
    EXPECT_EQ(RowText(B, 2), "a2,b2,c2,d2");
    EXPECT_EQ(RowText(B, 3), ",x1,y1,");
    EXPECT_EQ(RowText(B, 5), ",x3,y3,");
    EXPECT_EQ(RowText(B, 6), "a3,b3,c3,d3") << "the rows below moved down by three";
    EXPECT_EQ(Dropped, (TGridRect{2, 3, 3, 5}));
    EXPECT_EQ(B->Selection(), (TGridRect{2, 3, 3, 5}));

    // A drop the event refuses changes no cell, and OnOleDropped still fires.
    Events.clear();
    B->OnOleDrop = [&](TObject*, int, int, const String&, bool& Allow) { Allow = false; };
    T->TextDropped(CellPoint(B, 1, 1), "zz");
    EXPECT_EQ(Events, std::vector<std::string>{"dropped"});
    EXPECT_EQ(B->Cells(1, 1), "a1");
    EXPECT_EQ(B->RowCount(), 13);
}

TEST_F(GridDrop, DraggingOverShowsTheArrowAndRefusesFixedRows)
{
    B->DragDropSettings()->SetOleDropTarget(true);
    TGridDropTarget* T = B->OleDropTargetObject();
    bool Allow = true;
    T->DraggingOver(CellPoint(B, 2, 4), Allow, ofText);
    EXPECT_TRUE(Allow);
    TArrowWindow* Right = B->DropArrow(2);
    EXPECT_TRUE(Right->Visible());
    const TPoint Corner = B->ClientToScreen(TPoint{B->CellRect(2, 4).left, B->CellRect(2, 4).top});
    EXPECT_EQ(Right->Left(), Corner.x - 10);
    EXPECT_EQ(Right->Top(), Corner.y);

    Allow = true;
    T->DraggingOver(CellPoint(B, 2, 0), Allow, ofText);
    EXPECT_FALSE(Allow) << "text is not dropped on the header";
    EXPECT_FALSE(Right->Visible());

    // A column goes over the header only, and the event sees the cell.
    int SeenRow = -2, SeenCol = -2;
    B->OnOleDragOver = [&](TObject*, int R, int C, bool&) { SeenRow = R, SeenCol = C; };
    Allow = true;
    T->DraggingOver(CellPoint(B, 3, 0), Allow, ofColumn);
    EXPECT_TRUE(Allow);
    EXPECT_EQ(SeenRow, 0);
    EXPECT_EQ(SeenCol, 3);
    EXPECT_TRUE(B->DropArrow(0)->Visible());
    EXPECT_TRUE(B->DropArrow(1)->Visible());
    T->DragLeft();
    EXPECT_FALSE(B->DropArrow(0)->Visible());
    EXPECT_FALSE(B->DropArrow(1)->Visible());

    int DroppedCol = -1;
    B->OnOleDropCol = [&](TObject*, int, int, int Col) { DroppedCol = Col; };
    T->ColumnDropped(CellPoint(B, 3, 0), 2);
    EXPECT_EQ(DroppedCol, 2);
    EXPECT_EQ(B->Cells(2, 1), "b1") << "the grid moves nothing itself";
}

TEST_F(GridDrop, OnlyASingleDroppedFileIsHandled)
{
    B->DragDropSettings()->SetOleDropTarget(true);
    TGridDropTarget* T = B->OleDropTargetObject();
    std::vector<std::string> Files;
    B->OnOleDropFile = [&](TObject*, int, int, const String& Name, bool& Allow) {
        Files.push_back(Name);
        Allow = false;
    };
    TStringList Two;
    Two.Add("C:\\a.txt");
    Two.Add("C:\\b.txt");
    T->FilesDropped(CellPoint(B, 1, 1), &Two);
    EXPECT_TRUE(Files.empty());
    TStringList One;
    One.Add("C:\\a.txt");
    T->FilesDropped(CellPoint(B, 1, 1), &One);
    EXPECT_EQ(Files, std::vector<std::string>{"C:\\a.txt"});
}

TEST_F(GridDrop, ADroppedCSVFileIsLoadedAfterOnOleDropAllowsIt)
{
    wchar_t Dir[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, Dir);
    const std::wstring Path = std::wstring(Dir) + L"dropped.csv";
    HANDLE F = CreateFileW(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(F, INVALID_HANDLE_VALUE);
    const char Csv[] = "alpha;beta\r\ngamma;delta\r\n";
    DWORD Written = 0;
    WriteFile(F, Csv, sizeof Csv - 1, &Written, nullptr);
    CloseHandle(F);
    const String Name = WideToStr(Path);

    B->DragDropSettings()->SetOleDropTarget(true);
    TGridDropTarget* T = B->OleDropTargetObject();
    std::vector<std::string> Events;
    bool AllowLoad = false;
    B->OnOleDrop = [&](TObject*, int R, int C, const String& Data, bool& Allow) {
        Events.push_back(std::to_string(R) + "," + std::to_string(C) + " " + Data);
        Allow = AllowLoad;
    };
    TStringList One;
    One.Add(Name);
    T->FilesDropped(CellPoint(B, 1, 1), &One);
    EXPECT_EQ(Events, std::vector<std::string>{"-1,-1 " + Name});
    EXPECT_EQ(B->Cells(1, 1), "a1") << "a refused load changes nothing";

    AllowLoad = true;
    T->FilesDropped(CellPoint(B, 1, 1), &One);
    bool Alpha = false, Delta = false;
    for (int R = 0; R < B->RowCount(); ++R)
        for (int C = 0; C < B->ColCount(); ++C) {
            Alpha = Alpha || B->Cells(C, R) == "alpha";
            Delta = Delta || B->Cells(C, R) == "delta";
        }
    EXPECT_TRUE(Alpha && Delta) << "the file's fields are in the grid";
    DeleteFileW(Path.c_str());
}

TEST_F(GridDrop, DragTextOfRangesRowsAndDisjunctRows)
{
    A->SetSelection(TGridRect{2, 3, 3, 4});
    EXPECT_EQ(A->GetDragText(), "b3\tc3\r\nb4\tc4");
    A->SetOptions(A->Options() | goRowSelect);
    A->DragDropSettings()->OleEntireRows = true;
    A->SetSelection(TGridRect{1, 2, 4, 2});
    EXPECT_EQ(A->GetDragText(), "\ta2\tb2\tc2\td2");
    A->DragDropSettings()->OleEntireRows = false;
    A->SetOptions(A->Options() & ~static_cast<TGridOptions>(goRowSelect));
    A->MouseActions()->SetDisjunctRowSelect(true);
    A->SetRowSelected(2, true);
    A->SetRowSelected(5, true);
    A->SetSelection(TGridRect{1, 2, 2, 2});
    EXPECT_EQ(A->GetDragText(), "a2\tb2\r\na5\tb5") << "no line end after the last row";
    // Rich text goes out as its plain text.
    A->SetCells(1, 5, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 bold \\b x\\b0}");
    EXPECT_EQ(A->GetDragText(), "a2\tb2\r\nbold x\tb5");
}

TEST_F(GridDrop, RealDragMovesCellsBetweenTwoGrids)
{
    A->DragDropSettings()->OleDropSource = true;
    B->DragDropSettings()->SetOleDropTarget(true);
    std::vector<std::string> Events;
    A->OnOleDragStart = [&](TObject*, int R, int C) {
        Events.push_back("start " + std::to_string(R) + "," + std::to_string(C));
    };
    int Effect = -1;
    A->OnOleDragStop = [&](TObject*, int E) { Effect = E; };
    B->OnOleDropped = [&](TObject*, const TGridRect&) { Events.push_back("dropped"); };
    const bool Ran = RealDrag(A, CellPoint(A, 2, 2), CellPoint(B, 1, 6),
                              [&] { A->SetSelection(TGridRect{2, 2, 3, 3}); });
    ASSERT_TRUE(Ran);
    ASSERT_EQ(Events.size(), 2u) << "the drop did not arrive";
    EXPECT_EQ(Events[0], "start 2,2");
    EXPECT_EQ(Effect, DROPEFFECT_MOVE);
    EXPECT_EQ(RowText(B, 6), "b2,c2,c6,d6");
    EXPECT_EQ(RowText(B, 7), "b3,c3,c7,d7");
    EXPECT_EQ(RowText(A, 2), "a2,,,d2") << "a move clears the source cells";
    EXPECT_EQ(RowText(A, 3), "a3,,,d3");
}

// The pressed cell travels as rich text too; a cell of wide text goes in
// converted, since its raw bytes (here "|\\", NUL, "a{\\") end at the NUL.
TEST_F(GridDrop, RealDragOfAWideCellIntoARichTextTargetKeepsItsText)
{
    const WideString W = L"a\x7B5C";
    A->WriteWideCellText(2, 2, W);
    A->DragDropSettings()->OleDropSource = true;
    B->DragDropSettings()->SetOleDropTarget(true);
    B->DragDropSettings()->SetOleDropRTF(true);
    const bool Ran = RealDrag(A, CellPoint(A, 2, 2), CellPoint(B, 1, 6),
                              [&] { A->SetSelection(TGridRect{2, 2, 2, 2}); });
    B->DragDropSettings()->SetOleDropRTF(false);
    ASSERT_TRUE(Ran);
    EXPECT_EQ(B->Cells(1, 6), WideToStr(W));
}

TEST_F(GridDrop, RealMoveInsideOneGridRemovesExactlyTheSourceRows)
{
    A->SetOptions(A->Options() | goRowSelect);
    A->DragDropSettings()->OleDropSource = true;
    A->DragDropSettings()->OleInsertRows = true;
    A->DragDropSettings()->OleRemoveRows = true;
    A->DragDropSettings()->SetOleDropTarget(true);
    // Rows 2..4 dropped on row 3, inside themselves: the copies are
    // inserted at row 3, then the three source rows are removed.
    const bool Ran = RealDrag(A, CellPoint(A, 2, 2), CellPoint(A, 2, 3),
                              [&] { A->SetSelection(TGridRect{1, 2, 4, 4}); });
    ASSERT_TRUE(Ran);
    ASSERT_EQ(A->RowCount(), 10);
    const char* Expected[] = {"a1,b1,c1,d1", "a2,b2,c2,d2", "a3,b3,c3,d3", "a4,b4,c4,d4", "a5,b5,c5,d5"};
    for (int I = 0; I < 5; ++I)
        EXPECT_EQ(RowText(A, I + 1), Expected[I]) << "row " << I + 1;

    // Rows 6..7 dropped on row 2, above them.
    const bool Ran2 = RealDrag(A, CellPoint(A, 2, 6), CellPoint(A, 2, 2),
                               [&] { A->SetSelection(TGridRect{1, 6, 4, 7}); });
    ASSERT_TRUE(Ran2);
    ASSERT_EQ(A->RowCount(), 10);
    const char* Expected2[] = {"a1,b1,c1,d1", "a6,b6,c6,d6", "a7,b7,c7,d7", "a2,b2,c2,d2", "a3,b3,c3,d3",
                               "a4,b4,c4,d4", "a5,b5,c5,d5", "a8,b8,c8,d8"};
    for (int I = 0; I < 8; ++I)
        EXPECT_EQ(RowText(A, I + 1), Expected2[I]) << "row " << I + 1;
}

// The header drag button stands at the drag's start point, as wide as the
// column and as high as row 0, in the fixed gradient of the grid's look.
TEST_F(GridDrop, HeaderDragButtonTakesTheLooksColours)
{
    A->SetRowHeights(0, 30);
    A->SetCells(2, 0, "Head");
    A->FixedGradientFrom = 0x111111;
    A->FixedGradientTo = 0x222222;
    A->FixedGradientMirrorFrom = 0x333333;
    A->FixedGradientMirrorTo = 0x444444;
    struct Case {
        TGridLook Look;
        TColor From, To, MirrorFrom, MirrorTo;
    };
    const Case Cases[] = {{glXP, 0x111111, 0x222222, clNone, clNone},
                          {glQJX, 0x111111, 0x222222, clNone, clNone},
                          {glVista, 0x111111, 0x222222, 0x333333, 0x444444},
                          {glStandard, clNone, clNone, clNone, clNone},
                          {glListView, clNone, clNone, clNone, clNone}};
    for (const Case& C : Cases) {
        A->Look = C.Look;
        A->ShowHeaderDragButton(2, 0, TPoint{300, 200});
        TPopupButton* B = A->HeaderDragButton();
        EXPECT_EQ(B->ColorFrom(), C.From) << C.Look;
        EXPECT_EQ(B->ColorTo(), C.To) << C.Look;
        EXPECT_EQ(B->ColorMirrorFrom(), C.MirrorFrom) << C.Look;
        EXPECT_EQ(B->ColorMirrorTo(), C.MirrorTo) << C.Look;
    }
    TPopupButton* B = A->HeaderDragButton();
    EXPECT_TRUE(B->Visible());
    EXPECT_EQ(B->Caption(), "Head");
    RECT R{};
    GetWindowRect(B->Handle(), &R);
    EXPECT_EQ(R.left, 300);
    EXPECT_EQ(R.top, 200);
    EXPECT_EQ(R.right - R.left, A->ColWidths(2));
    EXPECT_EQ(R.bottom - R.top, 30);
    EXPECT_NE(GetWindowLongPtrW(B->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << "it stays above other windows";
    B->SetVisible(false);
}

// After a move out of the grid with disjunct row selection, the marked
// rows are removed (row removal on) or their cells cleared, not the
// rectangle of the selection.
TEST_F(GridDrop, MovedDisjunctRowsAreRemovedOrCleared)
{
    A->MouseActions()->SetDisjunctRowSelect(true);
    A->SetRowSelected(2, true);
    A->SetRowSelected(5, true);
    A->SetSelection(TGridRect{1, 2, 2, 2});
    A->DragSourceRect = A->Selection();
    A->RemoveDraggedCells();
    EXPECT_EQ(RowText(A, 2), ",,,");
    EXPECT_EQ(RowText(A, 5), ",,,");
    EXPECT_EQ(RowText(A, 3), "a3,b3,c3,d3");

    A->SetOptions(A->Options() | goRowSelect);
    A->DragDropSettings()->OleRemoveRows = true;
    A->ClearRowSelection();
    A->SetRowSelected(3, true);
    A->SetRowSelected(7, true);
    A->DragSourceRect = TGridRect{1, 3, 4, 3};
    A->RemoveDraggedCells();
    EXPECT_EQ(A->RowCount(), 8) << "both marked rows are gone";
    EXPECT_EQ(RowText(A, 3), "a4,b4,c4,d4");
    EXPECT_EQ(RowText(A, 6), "a8,b8,c8,d8");
    EXPECT_EQ(RowText(A, 2), ",,,") << "rows outside the marks stay";
}

// The grid's own mouse handling starts the drag: a press on the selected
// cell and moves of up to 3 pixels start nothing, a longer move drags the
// cell out with its picture following the cursor at (4, 4).
TEST_F(GridDrop, MousePressOnTheSelectionStartsTheDragPastThreePixels)
{
    // A press on an editable grid edits; the source grid is read-only.
    A->SetOptions(A->Options() & ~static_cast<TGridOptions>(goEditing));
    A->DragDropSettings()->OleDropSource = true;
    B->DragDropSettings()->SetOleDropTarget(true);
    int Starts = 0;
    A->OnOleDragStart = [&](TObject*, int, int) { ++Starts; };
    int Effect = -1;
    A->OnOleDragStop = [&](TObject*, int E) { Effect = E; };
    // Where the picture stood against the cursor while over the target.
    std::vector<TPoint> Offsets;
    TRect PictureRect{};
    B->OnOleDragOver = [&](TObject*, int, int, bool&) {
        TForm* F = A->DragPicture();
        if (!F || !IsWindowVisible(F->Handle()))
            return;
        RECT R{};
        GetWindowRect(F->Handle(), &R);
        POINT C{};
        GetCursorPos(&C);
        Offsets.push_back(TPoint{R.left - C.x, R.top - C.y});
        PictureRect = TRect{R.left, R.top, R.right, R.bottom};
    };

    const TPoint From = CellPoint(A, 2, 2);
    A->SetSelection(TGridRect{2, 2, 2, 2});
    MouseInput(MOUSEEVENTF_MOVE, From);
    gui::PumpFor(50);
    MouseInput(MOUSEEVENTF_LEFTDOWN, From);
    gui::PumpFor(100);
    POINT Pressed{};
    GetCursorPos(&Pressed);
    const TPoint Client = A->ScreenToClient(TPoint{Pressed.x, Pressed.y});
    for (const TPoint D : {TPoint{3, 0}, TPoint{0, 3}, TPoint{-3, -3}, TPoint{3, 3}}) {
        SendMessageW(A->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(Client.x + D.x, Client.y + D.y));
        gui::PumpFor(20);
    }
    MouseInput(MOUSEEVENTF_LEFTUP, From);
    gui::PumpFor(100);
    EXPECT_EQ(Starts, 0) << "3 pixels start no drag";

    // The next press must not make a double click with the last one.
    gui::PumpFor(GetDoubleClickTime() + 100);
    A->SetSelection(TGridRect{2, 2, 2, 2});
    const TPoint To = CellPoint(B, 1, 6);
    std::atomic<bool> Done{false};
    std::thread Mover = MouseMover(From, To, true, Done);
    gui::PumpUntil([&] { return Effect != -1; }, 10000);
    Done = true;
    Mover.join();
    gui::Settle();
    EXPECT_EQ(Starts, 1);
    ASSERT_EQ(Effect, DROPEFFECT_MOVE) << "the drop did not arrive";
    EXPECT_EQ(RowText(B, 6), "b2,b6,c6,d6");
    EXPECT_EQ(RowText(A, 2), "a2,,c2,d2");
    ASSERT_FALSE(Offsets.empty()) << "no drag picture over the target";
    EXPECT_TRUE(std::any_of(Offsets.begin(), Offsets.end(), [](TPoint P) { return P.x == 4 && P.y == 4; }))
        << "the picture follows the cursor at (4, 4)";
    const TRect Cell = A->CellRect(2, 2);
    EXPECT_EQ(PictureRect.right - PictureRect.left, Cell.right - Cell.left + 1) << "the dragged cell is pictured";
    EXPECT_EQ(PictureRect.bottom - PictureRect.top, Cell.bottom - Cell.top + 1);
    EXPECT_EQ(A->DragPicture(), nullptr) << "the picture is freed with the drop";
}

TEST_F(GridDrop, MousePressOnASelectionOfFourCellsDragsThemAll)
{
    A->SetOptions(A->Options() & ~static_cast<TGridOptions>(goEditing));
    A->DragDropSettings()->OleDropSource = true;
    B->DragDropSettings()->SetOleDropTarget(true);
    int MouseDowns = 0;
    A->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++MouseDowns; };
    TGridRect AtStart{};
    A->OnOleDragStart = [&](TObject*, int, int) { AtStart = A->Selection(); };
    int Effect = -1;
    A->OnOleDragStop = [&](TObject*, int E) { Effect = E; };

    // The press lands on the top-left cell of the 2 x 2 selection; it must
    // not shrink the selection to that cell.
    A->SetSelection(TGridRect{2, 2, 3, 3});
    const TPoint From = CellPoint(A, 2, 2);
    MouseInput(MOUSEEVENTF_MOVE, From);
    gui::PumpFor(50);
    std::atomic<bool> Done{false};
    std::thread Mover = MouseMover(From, CellPoint(B, 1, 6), true, Done);
    gui::PumpUntil([&] { return Effect != -1; }, 10000);
    Done = true;
    Mover.join();
    gui::Settle();
    ASSERT_EQ(Effect, DROPEFFECT_MOVE) << "the drop did not arrive";
    EXPECT_EQ(MouseDowns, 1) << "the press fires OnMouseDown";
    EXPECT_EQ(AtStart.Left, 2);
    EXPECT_EQ(AtStart.Top, 2);
    EXPECT_EQ(AtStart.Right, 3);
    EXPECT_EQ(AtStart.Bottom, 3);
    EXPECT_EQ(RowText(B, 6), "b2,c2,c6,d6");
    EXPECT_EQ(RowText(B, 7), "b3,c3,c7,d7");
    EXPECT_EQ(RowText(A, 2), "a2,,,d2");
    EXPECT_EQ(RowText(A, 3), "a3,,,d3");
}
