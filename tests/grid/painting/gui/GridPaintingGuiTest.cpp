// The grid's painting in real windows under Wine: cells painted into
// memory bitmaps through WM_PAINT and read back pixel by pixel (colour
// precedence, glyph placement, the look of fixed cells, modified marks,
// sort glyphs, graphic cells), the channel table as the user sees it, the
// update bracket, scroll bars, and screenshots of every cell type and look.

#include <cstdlib>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include <vector>

#include "framework/Graphic.h"
#include "framework/ImageList.h"
#include "grid/core/GridDrawing.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/FloatingFooter.h"
#include "grid/interaction/FooterPanel.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/SearchFooter.h"
#include "grid/interaction/SearchPanel.h"
#include "tests/support/GuiHarness.h"
#include "visuals/ProXPVS.h"

namespace {

COLORREF Rgb(TColor C) { return ColorToRGB(C); }

std::string ScreenshotPath(const std::string& Name)
{
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    const std::string Dir(Path);
    return Dir.substr(0, Dir.find_last_of('\\') + 1) + Name;
}

// The grid's client area as its paint handling draws it into a memory bitmap.
std::unique_ptr<TBitmap> PaintGrid(TProStringGrid* G)
{
    auto B = std::make_unique<TBitmap>(G->ClientWidth(), G->ClientHeight());
    G->Perform(WM_PAINT, reinterpret_cast<WPARAM>(B->Canvas()->Handle()), 0);
    GdiFlush();
    return B;
}

int CountColour(TBitmap* B, const TRect& R, COLORREF C)
{
    int N = 0;
    for (int Y = std::max<int>(0, R.top); Y < std::min<int>(B->Height(), R.bottom); ++Y)
        for (int X = std::max<int>(0, R.left); X < std::min<int>(B->Width(), R.right); ++X)
            N += gui::PixelAt(B, X, Y) == C;
    return N;
}

class GridPainting : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 640, 420);
        G = new TProStringGrid(Form);
        G->SetParent(Form);
        G->SetBounds(4, 4, 600, 360);
        G->SetColCount(5);
        G->SetRowCount(8);
        G->SetFixedCols(1);
        G->SetFixedRows(1);
        G->SetDefaultColWidth(80);
        G->SetDefaultRowHeight(24);
        G->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect);
        Form->Show();
        gui::Settle();
    }
    void TearDown() override { delete Form; }

    TForm* Form = nullptr;
    TProStringGrid* G = nullptr;
};

// The setters of the painting values store and ask for a repaint; those
// that repaint only on a change leave a validated window alone when the
// value stays; VAlignment waits while updates are held; URL colour and
// style repaint only while links are shown.
TEST_F(GridPainting, PaintingSettersRepaint)
{
    TFont Bold;
    Bold.SetStyle(TFontStyles{TFontStyle::fsBold});
    TBackGround Picture;
    Picture.SetDisplay(bdGradientVert);
    struct Case {
        const char* What;
        std::function<void()> Set;
        bool Repaints;
    };
    const Case Cases[] = {
        {"SelectionColor", [&] { G->SetSelectionColor(0x00123456); }, true},
        {"SelectionColor unchanged", [&] { G->SetSelectionColor(0x00123456); }, false},
        {"SelectionColorTo", [&] { G->SetSelectionColorTo(0x00654321); }, true},
        {"SelectionMirrorColor", [&] { G->SetSelectionMirrorColor(0x00111111); }, true},
        {"SelectionMirrorColorTo", [&] { G->SetSelectionMirrorColorTo(0x00222222); }, true},
        {"SelectionTextColor", [&] { G->SetSelectionTextColor(clRed); }, true},
        {"SelectionTextColor unchanged", [&] { G->SetSelectionTextColor(clRed); }, false},
        {"SelectionRectangle", [&] { G->SetSelectionRectangle(true); }, true},
        {"SelectionResizer", [&] { G->SetSelectionResizer(true); }, true},
        {"ShowSelection", [&] { G->SetShowSelection(!G->ShowSelection); }, true},
        {"ActiveCellShow", [&] { G->SetActiveCellShow(true); }, true},
        {"ActiveCellColor", [&] { G->SetActiveCellColor(clBlue); }, true},
        {"ActiveCellColorTo", [&] { G->SetActiveCellColorTo(clAqua); }, true},
        {"ActiveCellFont", [&] { G->SetActiveCellFont(&Bold); }, true},
        {"BackGround", [&] { G->SetBackGround(&Picture); }, true},
        {"Flat", [&] { G->SetFlat(true); }, true},
        {"VAlignment", [&] { G->SetVAlignment(vtaCenter); }, true},
        {"URLShow", [&] { G->SetURLShow(true); }, true},
        {"URLColor while shown", [&] { G->SetURLColor(clGreen); }, true},
        {"URLFull while shown", [&] { G->SetURLFull(true); }, true},
        {"URLShow off", [&] { G->SetURLShow(false); }, true},
        {"URLColor while hidden", [&] { G->SetURLColor(clMaroon); }, false},
        {"URLFull while hidden", [&] { G->SetURLFull(false); }, false},
        {"VAlignment while updates are held", [&] {
             G->BeginUpdate();
             G->SetVAlignment(vtaBottom);
             ValidateRect(G->Handle(), nullptr);
             G->EndUpdate();
             ValidateRect(G->Handle(), nullptr);
         },
         false},
    };
    for (const Case& C : Cases) {
        UpdateWindow(G->Handle());
        ASSERT_FALSE(GetUpdateRect(G->Handle(), nullptr, FALSE)) << C.What;
        C.Set();
        EXPECT_EQ(GetUpdateRect(G->Handle(), nullptr, FALSE) != FALSE, C.Repaints) << C.What;
    }
    EXPECT_EQ(G->SelectionColor, 0x00123456);
    EXPECT_EQ(G->VAlignment, vtaBottom);
    EXPECT_EQ(G->URLColor, clMaroon);
    EXPECT_TRUE(G->ActiveCellFont()->Style().Contains(TFontStyle::fsBold));
    EXPECT_EQ(G->BackGround()->Display(), bdGradientVert);
}

// A graphic of one colour and a given size that fills what it is asked to.
class TSolidGraphic : public TGraphic {
public:
    TSolidGraphic(int W, int H, TColor C) : FW(W), FH(H), FColor(C) {}
    void Draw(TCanvas* Canvas, const TRect& Rect) override
    {
        Canvas->Brush()->SetColor(FColor);
        Canvas->FillRect(Rect);
    }
    bool Empty() const override { return false; }
    int Width() const override { return FW; }
    int Height() const override { return FH; }
    void SetWidth(int V) override { FW = V; }
    void SetHeight(int V) override { FH = V; }
    void LoadFromStream(TStream*) override {}
    void SaveToStream(TStream*) override {}
    void ReadData(TStream*) override {}
    void WriteData(TStream*) override {}

private:
    int FW, FH;
    TColor FColor;
};

// A cell drawer filling the rectangle it gets, under or over the content.
class TFillDrawer : public TObject, public IGridCellDrawer {
public:
    TFillDrawer(TColor C, bool Background) : FColor(C), FBackground(Background) {}
    void Draw(TCanvas* Canvas, TRect R, int ACol, int ARow, bool, TProStringGrid*) override
    {
        Calls.push_back({ACol, ARow});
        Canvas->Brush()->SetColor(FColor);
        Canvas->FillRect(R);
    }
    int GetWidth() override { return 30; }
    int GetHeight() override { return 12; }
    bool IsBackground() override { return FBackground; }
    std::vector<std::pair<int, int>> Calls;

private:
    TColor FColor;
    bool FBackground;
};

// The smallest rectangle holding every pixel of colour C inside R (empty
// when there is none).
TRect BoundsOf(TBitmap* B, const TRect& R, COLORREF C)
{
    TRect Box{R.right, R.bottom, R.left, R.top};
    for (int Y = R.top; Y < R.bottom; ++Y)
        for (int X = R.left; X < R.right; ++X)
            if (gui::PixelAt(B, X, Y) == C) {
                Box.left = std::min<LONG>(Box.left, X);
                Box.top = std::min<LONG>(Box.top, Y);
                Box.right = std::max<LONG>(Box.right, X + 1);
                Box.bottom = std::max<LONG>(Box.bottom, Y + 1);
            }
    return Box.right > Box.left ? Box : TRect{0, 0, 0, 0};
}

// Icons, pictures (as they are, fitted into the cell less a margin,
// stretched), pictures kept as files, image index lists along a row and
// down a column, and cell drawers under and over the text: each placed at
// the cell's top left at the size its type gives, also to auto-sizing.
TEST_F(GridPainting, PictureIconImageListAndDrawerCells)
{
    TImageList Images(nullptr);
    Images.SetSize(8, 8);
    TBitmap Strip(16, 8);
    Strip.Canvas()->Brush()->SetColor(clBlue);
    Strip.Canvas()->FillRect(TRect{0, 0, 8, 8});
    Strip.Canvas()->Brush()->SetColor(clYellow);
    Strip.Canvas()->FillRect(TRect{8, 0, 16, 8});
    Images.Add(&Strip, nullptr);
    G->GridImages = &Images;

    const std::string File = ScreenshotPath("cellpicture.bmp");
    {
        TBitmap Pic(12, 10, TPixelFormat::pf24bit);
        Pic.Canvas()->Brush()->SetColor(clFuchsia);
        Pic.Canvas()->FillRect(TRect{0, 0, 12, 10});
        Pic.SaveToFile(File);
    }
    auto Drawer = std::make_unique<TFillDrawer>(clTeal, false);
    auto Under = std::make_unique<TFillDrawer>(clOlive, true);

    struct Case {
        const char* What;
        int Col, Row;
        std::function<void(TCellGraphic*)> Make;
        COLORREF Colour;
        int W, H;   // the painted size of that colour
        int SizeW = -1; // the size for auto-sizing when it differs
    };
    const Case Cases[] = {
        {"icon", 1, 1, [](TCellGraphic* Gr) { Gr->CellType = ctIcon; Gr->CellIcon = new TSolidGraphic(16, 16, clRed); Gr->CellCreated = true; },
         0x0000FF, 16, 16},
        {"picture as it is", 2, 1, [](TCellGraphic* Gr) {
             auto* P = new TPicture;
             P->SetGraphic(std::make_unique<TSolidGraphic>(10, 6, clLime));
             Gr->CellType = ctPicture; Gr->CellBitmap = P; Gr->CellCreated = true; },
         0x00FF00, 10, 6},
        {"picture fitted less a margin", 3, 1, [](TCellGraphic* Gr) {
             auto* P = new TPicture;
             P->SetGraphic(std::make_unique<TSolidGraphic>(10, 10, clLime));
             Gr->CellType = ctPicture; Gr->CellBitmap = P; Gr->CellCreated = true;
             Gr->CellAngle = 2; Gr->CellIndex = 8; },
         0x00FF00, 16, 16},
        {"file picture", 4, 1, [&](TCellGraphic* Gr) {
             auto* F = new TFilePicture;
             F->SetFilename(File);
             Gr->CellType = ctFilePicture; Gr->CellBitmap = F; Gr->CellCreated = true; },
         0xFF00FF, 12, 10},
        {"images along the row", 1, 2, [](TCellGraphic* Gr) {
             auto* L = new TIntList(0, 0);
             L->Add(0); L->Add(1); L->Add(0); L->Add(7);
             Gr->CellType = ctImages; Gr->CellBitmap = L; Gr->CellBoolean = true; },
         0xFF0000, 24, 8, 32},
        {"images down the column", 2, 2, [](TCellGraphic* Gr) {
             auto* L = new TIntList(0, 0);
             L->Add(1); L->Add(1);
             Gr->CellType = ctImages; Gr->CellBitmap = L; },
         0x00FFFF, 8, 16},
        {"drawer over the text", 3, 2, [&](TCellGraphic* Gr) { Gr->CellType = ctInterface; Gr->CellBitmap = Drawer.get(); },
         0x808000, 0, 0},
        {"drawer under the text", 4, 2, [&](TCellGraphic* Gr) { Gr->CellType = ctInterface; Gr->CellBitmap = Under.get(); },
         0x008080, 0, 0},
    };
    for (const Case& C : Cases)
        C.Make(G->NewCellGraphic(C.Col, C.Row));
    G->SetCells(3, 2, "WWW");
    G->SetCells(4, 2, "WWW");
    G->Invalidate();
    gui::Settle();
    gui::SaveScreenshot(Form, ScreenshotPath("grid-painting-picture-cells.png"));
    Drawer->Calls.clear();
    Under->Calls.clear();
    auto B = PaintGrid(G);
    for (const Case& C : Cases) {
        const TRect Cell = G->CellRect(C.Col, C.Row);
        const TRect Box = BoundsOf(B.get(), Cell, C.Colour);
        if (C.W == 0) {
            // A drawer fills the whole cell inside the grid lines.
            EXPECT_LE(Box.left, Cell.left + 1) << C.What;
            EXPECT_GE(Box.right, Cell.right - 2) << C.What;
            EXPECT_GE(Box.bottom - Box.top, Cell.bottom - Cell.top - 2) << C.What;
            continue;
        }
        EXPECT_EQ(Box.right - Box.left, C.W) << C.What;
        EXPECT_EQ(Box.bottom - Box.top, C.H) << C.What;
        EXPECT_LE(Box.left - Cell.left, 4) << C.What;
        EXPECT_LE(Box.top - Cell.top, 4) << C.What;
        const TPoint Size = G->GetCellGraphicSize(C.Col, C.Row);
        EXPECT_EQ(Size.x, C.SizeW >= 0 ? C.SizeW : C.W) << C.What;
        EXPECT_EQ(Size.y, C.H) << C.What;
    }
    // The images of the row: blue, yellow, blue; the index 7 is not there
    // and draws nothing, though it counts for the size.
    const TRect Row = BoundsOf(B.get(), G->CellRect(1, 2), 0xFF0000);
    EXPECT_EQ(gui::PixelAt(B.get(), Row.left + 12, Row.top + 4), 0x00FFFFu);
    // Over the text the drawer hides it; under it the text shows.
    EXPECT_EQ(CountColour(B.get(), G->CellRect(3, 2), 0x000000), 0);
    EXPECT_GT(CountColour(B.get(), G->CellRect(4, 2), 0x000000), 0);
    EXPECT_EQ(Drawer->Calls, (std::vector<std::pair<int, int>>{{3, 2}}));
    EXPECT_EQ(Under->Calls, (std::vector<std::pair<int, int>>{{4, 2}}));
    // A drawer's size is its own, text or not.
    EXPECT_EQ(G->GetCellGraphicSize(3, 2).x, 30);
    EXPECT_EQ(G->GetCellGraphicSize(3, 2).y, 12);
    G->RemoveCellGraphic(3, 2);
    G->RemoveCellGraphic(4, 2);
    G->GridImages = nullptr;
    std::filesystem::remove(File);
}

TEST_F(GridPainting, ColourPrecedenceOfFixedBandsOwnColourAndSelection)
{
    G->SetLook(glStandard);
    G->SetFixedColor(0x00C0C0C0);
    G->Bands()->SetPrimaryColor(0x00E0FFE0);
    G->Bands()->SetSecondaryColor(0x00FFE0E0);
    G->Bands()->SetActive(true);
    G->SelectionColor = 0x00B6CAEA;
    G->EnsureCellProperties(3, 2)->SetBrushColor(0x00A0A0FF);
    G->SelectCellRange(1, 2, 4, 4);  // current cell (1, 4) stays focused-unfocused: the grid has no focus
    auto B = PaintGrid(G);
    struct Case {
        int Col, Row;
        COLORREF Expected;
        const char* What;
    };
    const Case Cases[] = {
        {0, 2, 0xC0C0C0, "fixed column"},
        {2, 0, 0xC0C0C0, "fixed row"},
        {2, 1, 0xE0FFE0, "band: first normal row is primary"},
        {4, 2, 0xFFE0E0, "band: second normal row is secondary"},
        {3, 2, 0xA0A0FF, "own brush colour inside the bands"},
        {1, 4, 0xB6CAEA, "selected cell"},
        {2, 4, 0xB6CAEA, "selected cell"},
    };
    for (const Case& C : Cases) {
        const TRect R = G->CellRect(C.Col, C.Row);
        EXPECT_EQ(gui::PixelAt(B.get(), R.left + 3, R.bottom - 3), C.Expected)
            << C.What << " at " << C.Col << "," << C.Row;
    }
    // With no selection colour the selection falls back to the highlight colour.
    G->SelectionColor = clNone;
    B = PaintGrid(G);
    const TRect R = G->CellRect(2, 4);
    EXPECT_EQ(gui::PixelAt(B.get(), R.left + 3, R.bottom - 3), Rgb(clHighlight));
    // A fixed cell with its own brush colour is painted in FixedColor.
    G->EnsureCellProperties(0, 5)->SetBrushColor(clRed);
    B = PaintGrid(G);
    const TRect F = G->CellRect(0, 5);
    EXPECT_EQ(gui::PixelAt(B.get(), F.left + 3, F.bottom - 3), 0xC0C0C0u);
}

TEST_F(GridPainting, GridLinesAtTheCellEdges)
{
    G->SetLook(glStandard);
    G->SetGridLineColor(0x00123456);
    auto B = PaintGrid(G);
    const TRect R = G->CellRect(2, 3);
    // The cell rectangle holds its lines: the last column and row of pixels.
    EXPECT_EQ(gui::PixelAt(B.get(), R.right - 1, (R.top + R.bottom) / 2), 0x123456u) << "vertical line";
    EXPECT_EQ(gui::PixelAt(B.get(), (R.left + R.right) / 2, R.bottom - 1), 0x123456u) << "horizontal line";
    EXPECT_NE(gui::PixelAt(B.get(), R.right - 2, (R.top + R.bottom) / 2), 0x123456u);
    EXPECT_NE(gui::PixelAt(B.get(), (R.left + R.right) / 2, R.bottom - 2), 0x123456u);
}

TEST_F(GridPainting, CheckGlyphPlacementAndStyles)
{
    // An editing grid draws its check boxes enabled.
    G->SetOptions(G->Options() | goEditing);
    G->PutCheckBox(2, 2, true, false);
    G->PutCheckBox(3, 2, false, false);
    struct Case {
        TGridControlStyle Style;
        int Size;
    };
    for (const Case& S : {Case{csWinXP, 16}, Case{csQJX, 20}}) {
        G->ControlLook()->SetControlStyle(S.Style);
        auto B = PaintGrid(G);
        const TRect On = G->CellRect(2, 2);
        const TRect Off = G->CellRect(3, 2);
        // The glyph's top-left corner is 2 pixels inside the cell (the cell
        // less one pixel, then one more); its mark is green.
        const COLORREF Green = RGB(33, 161, 33);
        const TRect OnGlyph{On.left + 2, On.top + 2, On.left + 2 + S.Size, On.top + 2 + S.Size};
        EXPECT_GT(CountColour(B.get(), OnGlyph, Green), 8) << "style " << S.Style;
        EXPECT_EQ(CountColour(B.get(), TRect{OnGlyph.right, On.top, On.right, On.bottom}, Green), 0)
            << "nothing right of the glyph, style " << S.Style;
        const TRect OffGlyph{Off.left + 2, Off.top + 2, Off.left + 2 + S.Size, Off.top + 2 + S.Size};
        EXPECT_EQ(CountColour(B.get(), OffGlyph, Green), 0) << "style " << S.Style;
        EXPECT_GT(CountColour(B.get(), OffGlyph, RGB(28, 81, 128)), 8) << "frame of the unchecked box, style " << S.Style;
    }
}

TEST_F(GridPainting, ModifiedMarkIsAFourPixelBarAtTheRightOfColumnZero)
{
    G->SetLook(glStandard);
    G->ShowModified()->Enabled = true;
    G->ShowModified()->SetColor(0x0000FFFF);
    G->SetRowModified(3, true);
    auto B = PaintGrid(G);
    const TRect R = G->CellRect(0, 3);
    const int Y = (R.top + R.bottom) / 2;
    // The painter's rectangle of a fixed cell ends one pixel inside the
    // cell rectangle (its line); the bar takes its last 4 pixels.
    for (int X = R.right - 5; X < R.right - 1; ++X)
        EXPECT_EQ(gui::PixelAt(B.get(), X, Y), 0x00FFFFu) << "x " << X;
    EXPECT_NE(gui::PixelAt(B.get(), R.right - 6, Y), 0x00FFFFu);
    const TRect Other = G->CellRect(0, 4);
    EXPECT_NE(gui::PixelAt(B.get(), Other.right - 2, (Other.top + Other.bottom) / 2), 0x00FFFFu);
}

TEST_F(GridPainting, SortGlyphArrows)
{
    TBitmap B(40, 40);
    B.Canvas()->Brush()->SetColor(clBlack);
    B.Canvas()->FillRect(TRect{0, 0, 40, 40});
    G->SortSettings()->Direction = sdAscending;
    G->DrawSortGlyph(B.Canvas(), 1, 20, 20);
    GdiFlush();
    // Ascending: white base from (16, 24) to (24, 24), gray edge back up-left.
    EXPECT_EQ(gui::PixelAt(&B, 16, 24), 0xFFFFFFu);
    EXPECT_EQ(gui::PixelAt(&B, 23, 24), 0xFFFFFFu);
    EXPECT_EQ(gui::PixelAt(&B, 18, 20), 0x808080u);
    TBitmap D(40, 40);
    D.Canvas()->Brush()->SetColor(clBlack);
    D.Canvas()->FillRect(TRect{0, 0, 40, 40});
    G->SortSettings()->Direction = sdDescending;
    G->DrawSortGlyph(D.Canvas(), 1, 20, 20);
    GdiFlush();
    // Descending: white from (24, 16) down to (20, 24), gray top edge.
    EXPECT_EQ(gui::PixelAt(&D, 24, 16), 0xFFFFFFu);
    EXPECT_EQ(gui::PixelAt(&D, 18, 16), 0x808080u);
}

TEST_F(GridPainting, FixedCellGradientsOfTheLooks)
{
    G->SetCells(2, 0, "");
    G->SetFixedColor(clBtnFace);
    // XP: the mirrored gradient from white (top) to the button face (bottom).
    G->SetLook(glQJX);
    G->SetLook(glXP);
    auto B = PaintGrid(G);
    const TRect R = G->CellRect(2, 0);
    const COLORREF Top = gui::PixelAt(B.get(), (R.left + R.right) / 2, R.top + 3);
    const COLORREF Bottom = gui::PixelAt(B.get(), (R.left + R.right) / 2, R.bottom - 4);
    EXPECT_GT(GetRValue(Top) + GetGValue(Top) + GetBValue(Top), GetRValue(Bottom) + GetGValue(Bottom) + GetBValue(Bottom))
        << "lighter at the top";
    EXPECT_GE(GetRValue(Top), 240);
    // XP edges: a white line one pixel inside the top edge.
    EXPECT_EQ(gui::PixelAt(B.get(), (R.left + R.right) / 2, R.top + 1), 0xFFFFFFu);
    // Classic: black lines along the right and bottom edge one pixel inside.
    G->SetLook(glClassic);
    B = PaintGrid(G);
    EXPECT_EQ(gui::PixelAt(B.get(), R.right - 1 + 1 - 1, (R.top + R.bottom) / 2), 0u);
    // Standard: a flat fill in the fixed colour.
    G->SetLook(glStandard);
    B = PaintGrid(G);
    EXPECT_EQ(gui::PixelAt(B.get(), (R.left + R.right) / 2, R.top + 3), Rgb(clBtnFace));
    // List view: the theme's header item under a white top line, or without
    // an active theme a button face framed in white; never the fixed colour.
    const bool Themed = ThemesAvailable() && ThemeApi().IsThemeActive && ThemeApi().IsThemeActive();
    G->SetFixedColor(0x00A0A0A0);
    G->SetLook(glListView);
    B = PaintGrid(G);
    EXPECT_NE(gui::PixelAt(B.get(), (R.left + R.right) / 2, R.top + 5), 0xA0A0A0u);
    if (!Themed) {
        EXPECT_EQ(gui::PixelAt(B.get(), (R.left + R.right) / 2, R.top + 5), Rgb(clBtnFace));
    }
    EXPECT_GT(CountColour(B.get(), TRect{R.left, R.top, R.right, R.top + 2}, 0xFFFFFF), (R.right - R.left) / 2);
    G->SetFixedColor(clBtnFace);
    // Flat turns every look-specific effect off.
    G->SetLook(glXP);
    G->Flat = true;
    B = PaintGrid(G);
    EXPECT_EQ(gui::PixelAt(B.get(), (R.left + R.right) / 2, R.top + 3), Rgb(clBtnFace));
}

TEST_F(GridPainting, GraphicCellsDrawTheirBarsAndHalves)
{
    G->SetLook(glStandard);
    // Range indicator: a positive value fills the right half only.
    TCellGraphic* Range = G->NewCellGraphic(2, 2);
    Range->CellType = ctRangeIndicator;
    Range->CellIndex = 100;
    G->SetCells(2, 2, "50");
    // Level progress with an empty range draws 0 % instead of dividing by zero.
    TCellGraphic* Xp = G->NewCellGraphic(3, 2);
    Xp->CellType = ctXPProgress;
    Xp->CellIndex = 100;
    Xp->CellAngle = 100;
    G->SetCells(3, 2, "40");
    // A range indicator with an empty range still draws its positive half.
    TCellGraphic* NoRange = G->NewCellGraphic(2, 3);
    NoRange->CellType = ctRangeIndicator;
    NoRange->CellIndex = 0;
    G->SetCells(2, 3, "5");
    // A progress pie at 50 %.
    TCellGraphic* Pie = G->NewCellGraphic(4, 2);
    Pie->CellType = ctProgressPie;
    Pie->CellValue = 50;
    Pie->CellHAlign = haLeft;
    auto B = PaintGrid(G);
    EXPECT_EQ(G->PaintFailures(), 0);
    const TRect R = G->CellRect(2, 2);
    const int Mid = (R.left + R.right) / 2;
    EXPECT_GT(CountColour(B.get(), TRect{Mid + 1, R.top, R.right, R.bottom}, Rgb(clGreen)), 20);
    EXPECT_EQ(CountColour(B.get(), TRect{R.left, R.top, Mid - 1, R.bottom}, Rgb(clGreen)), 0);
    const TRect E = G->CellRect(2, 3);
    EXPECT_GT(CountColour(B.get(), TRect{(E.left + E.right) / 2 + 1, E.top, E.right, E.bottom}, Rgb(clGreen)), 20);
    const TRect P = G->CellRect(4, 2);
    const TRect PieBox{P.left + 2, P.top + 2, P.left + 22, P.top + 22};
    const int Filled = CountColour(B.get(), PieBox, Rgb(clNavy));
    EXPECT_GT(Filled, 60) << "half of a 20 x 20 pie";
    EXPECT_LT(Filled, 240);
}

// A level bar's value counts from its minimum: 50 in 50..150 looks like 0 in
// 0..100, and 100 in 50..150 like 50 in 0..100.
TEST_F(GridPainting, LevelBarsCountFromTheirMinimum)
{
    G->SetLook(glStandard);
    const struct {
        int Col, Min, Max;
        const char* Value;
    } Bars[] = {{1, 50, 150, "50"}, {2, 0, 100, "0"}, {3, 50, 150, "100"}, {4, 0, 100, "50"}};
    for (const auto& Bar : Bars) {
        TCellGraphic* Gr = G->NewCellGraphic(Bar.Col, 4);
        Gr->CellType = ctXPProgress;
        Gr->CellIndex = Bar.Min;
        Gr->CellAngle = Bar.Max;
        G->SetCells(Bar.Col, 4, Bar.Value);
    }
    auto B = PaintGrid(G);
    ASSERT_EQ(G->PaintFailures(), 0);
    // Pixels of a cell's inside, relative to the cell.
    auto Inside = [&](int Col) {
        const TRect R = G->CellRect(Col, 4);
        std::vector<COLORREF> Pixels;
        for (int Y = R.top + 2; Y < R.bottom - 2; ++Y)
            for (int X = R.left + 2; X < R.left + 40 && X < R.right - 2; ++X)
                Pixels.push_back(gui::PixelAt(B.get(), X, Y));
        return Pixels;
    };
    EXPECT_TRUE(Inside(1) == Inside(2)) << "the minimum shows 0 %";
    EXPECT_TRUE(Inside(3) == Inside(4)) << "the middle of the range shows 50 %";
    EXPECT_FALSE(Inside(2) == Inside(4)) << "0 % and 50 % differ";
}

// Rich text is formatted by the hidden rich edit with its own colours and
// size; inside the selection (not the current cell) it takes the selection
// text colour unless SelectionRTFKeep asks to keep it.
TEST_F(GridPainting, RichTextCellsKeepTheirFormatting)
{
    G->SetLook(glStandard);
    G->SetDefaultRowHeight(40);
    G->SelectionColor = 0x00FFFFFF;
    G->SelectionTextColor = clLime;
    const String Rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
                       "\\f0\\fs40\\cf1 MMMM\\par}";
    G->SetCells(2, 2, Rtf);
    G->SetCells(2, 5, Rtf);
    G->SelectCellRange(1, 3, 5, 6);  // the current cell is (3, 6)
    struct Case {
        int Row;
        bool Keep;
        COLORREF Shown, Absent;
        const char* What;
    };
    const Case Cases[] = {
        {2, false, 0x0000FF, Rgb(clBlack), "unselected: the text's own red"},
        {5, false, Rgb(clLime), 0x0000FF, "selected: selection text colour"},
        {5, true, 0x0000FF, Rgb(clLime), "selected with SelectionRTFKeep: own red"},
    };
    for (const Case& C : Cases) {
        G->SelectionRTFKeep = C.Keep;
        auto B = PaintGrid(G);
        EXPECT_EQ(G->PaintFailures(), 0) << C.What;
        const TRect R = G->CellRect(2, C.Row);
        // A 20-point line of M's covers far more than a plain 8-point line would.
        EXPECT_GT(CountColour(B.get(), R, C.Shown), 150) << C.What;
        EXPECT_EQ(CountColour(B.get(), R, C.Absent), 0) << C.What;
    }
    // Auto-sizing measures the formatted text: two 20-point lines ask for
    // more than twice the height of one plain line.
    G->SetCells(3, 3, "{\\rtf1\\ansi\\fs40 MM\\par MM\\par}");
    G->SetCells(4, 3, "MM");
    const TPoint Rich = G->GetCellTextSize(3, 3, false);
    const TPoint Plain = G->GetCellTextSize(4, 3, false);
    EXPECT_GT(Rich.y, 2 * Plain.y) << Rich.y << " vs " << Plain.y;
    G->Invalidate();
    gui::Settle();
    gui::SaveScreenshot(Form, ScreenshotPath("grid-painting-rich-text.png"));
}

// In disjunct row (column) selection only the rows (columns) picked are
// drawn selected, whatever the range selection covers.
TEST_F(GridPainting, DisjunctSelectionShowsOnlyThePickedRowsOrColumns)
{
    G->SetLook(glStandard);
    G->SelectionColor = 0x00B6CAEA;
    G->SelectionTextColor = clRed;
    G->Font()->SetColor(clBlack);
    G->Font()->SetSize(14);
    for (int C = 1; C < 5; ++C)
        for (int R = 1; R < 5; ++R)
            G->SetCells(C, R, "MMM");
    G->SelectCellRange(1, 4, 2, 4);  // the range covers rows 2 to 4; the current cell is (4, 4)
    struct Case {
        bool Rows;
        int Picked;
        bool RowSelect;
        const char* What;
    };
    const Case Cases[] = {{true, 3, false, "disjunct rows: row 3 picked"},
                          {false, 2, false, "disjunct columns: column 2 picked"},
                          {true, 3, true, "disjunct rows with goRowSelect: row 3 picked"}};
    const TGridOptions Plain = G->Options();
    for (const Case& K : Cases) {
        G->SetOptions(K.RowSelect ? Plain | goRowSelect : Plain);
        G->SelectCellRange(1, 4, 2, 4);
        G->MouseActions()->SetDisjunctRowSelect(K.Rows);
        G->MouseActions()->SetDisjunctColSelect(!K.Rows);
        if (K.Rows)
            G->SetRowSelected(K.Picked, true);
        else
            G->SetColSelected(K.Picked, true);
        auto B = PaintGrid(G);
        const TRect Picked = K.Rows ? G->CellRect(2, 3) : G->CellRect(2, 2);
        const TRect Other = K.Rows ? G->CellRect(2, 2) : G->CellRect(3, 2);
        EXPECT_EQ(gui::PixelAt(B.get(), Picked.right - 3, Picked.bottom - 3), 0xB6CAEAu) << K.What;
        EXPECT_GT(CountColour(B.get(), Picked, Rgb(clRed)), 10) << K.What;
        EXPECT_EQ(gui::PixelAt(B.get(), Other.right - 3, Other.bottom - 3), Rgb(clWindow)) << K.What;
        EXPECT_EQ(CountColour(B.get(), Other, Rgb(clRed)), 0) << K.What;
        EXPECT_GT(CountColour(B.get(), Other, Rgb(clBlack)), 10) << K.What;
    }
}

TEST_F(GridPainting, AFailingDrawEventNeverEscapesPainting)
{
    struct Case {
        const char* What;
        std::function<void(int& Calls)> Hook;
    };
    const Case Cases[] = {
        {"OnCustomCellDraw",
         [&](int& Calls) {
             G->OnCustomCellDraw = [&Calls](TObject*, TCanvas*, int, int, TGridDrawState, TRect, bool) {
                 ++Calls;
                 throw Exception("draw failed");
             };
         }},
        {"OnGetCellColor",
         [&](int& Calls) {
             G->OnGetCellColor = [&Calls](TObject*, int, int, TGridDrawState, TBrush*, TFont*) {
                 ++Calls;
                 throw Exception("colour failed");
             };
         }},
        {"OnGetAlignment",
         [&](int& Calls) {
             G->OnGetAlignment = [&Calls](TObject*, int, int, TAlignment&, TVAlignment&) {
                 ++Calls;
                 throw Exception("alignment failed");
             };
         }},
    };
    for (const Case& C : Cases) {
        G->OnCustomCellDraw = nullptr;
        G->OnGetCellColor = nullptr;
        G->OnGetAlignment = nullptr;
        int Calls = 0;
        C.Hook(Calls);
        const int Before = G->PaintFailures();
        EXPECT_NO_THROW(PaintGrid(G)) << C.What;
        EXPECT_GT(Calls, 0) << C.What;
        EXPECT_GT(G->PaintFailures(), Before) << C.What;
        // The message loop's paint ends too: the window is left validated, so
        // the failure does not come back on every repaint.
        InvalidateRect(G->Handle(), nullptr, FALSE);
        EXPECT_NO_THROW(UpdateWindow(G->Handle())) << C.What;
        EXPECT_FALSE(GetUpdateRect(G->Handle(), nullptr, FALSE)) << C.What;
    }
    G->OnCustomCellDraw = nullptr;
    G->OnGetCellColor = nullptr;
    G->OnGetAlignment = nullptr;
}

TEST_F(GridPainting, PaintRequestWhileUpdatesAreHeldValidatesTheWindow)
{
    G->BeginUpdate();
    InvalidateRect(G->Handle(), nullptr, FALSE);
    UpdateWindow(G->Handle());
    EXPECT_FALSE(GetUpdateRect(G->Handle(), nullptr, FALSE));
    G->EndUpdate();
}

TEST_F(GridPainting, MultilineCellsChangeOnlyTheirOwnGrid)
{
    auto* Other = new TProStringGrid(Form);
    Other->SetParent(Form);
    Other->SetBounds(4, 300, 200, 60);
    G->Multilinecells = true;
    G->SetCells(2, 2, "a");
    PaintGrid(G);
    PaintGrid(Other);
    EXPECT_EQ(G->SingleLineFlag(), 0u);
    EXPECT_EQ(Other->SingleLineFlag(), static_cast<UINT>(DT_SINGLELINE));
}

TEST_F(GridPainting, ScrollBarAlwaysShowsADisabledBarWhenEverythingFits)
{
    G->SetRowCount(3);
    G->SetScrollBarAlways(saVert);
    gui::Settle();
    EXPECT_TRUE(GetWindowLongW(G->Handle(), GWL_STYLE) & WS_VSCROLL);
    SCROLLBARINFO Info{};
    Info.cbSize = sizeof Info;
    ASSERT_TRUE(GetScrollBarInfo(G->Handle(), OBJID_VSCROLL, &Info));
    EXPECT_TRUE((Info.rgstate[1] & STATE_SYSTEM_UNAVAILABLE) && (Info.rgstate[5] & STATE_SYSTEM_UNAVAILABLE))
        << "both arrows disabled: states " << Info.rgstate[0] << " " << Info.rgstate[1] << " " << Info.rgstate[5];
    G->SetScrollBarAlways(saNone);
    G->UpdateScrollBarVisibility(true);
    gui::Settle();
    EXPECT_FALSE(GetWindowLongW(G->Handle(), GWL_STYLE) & WS_VSCROLL);
}

TEST_F(GridPainting, ProportionalThumbMatchesTheVisibleShare)
{
    G->SetRowCount(201);
    G->SetScrollProportional(true);
    gui::Settle();
    G->UpdateVertScrollProportion();
    SCROLLINFO SI{sizeof SI, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(G->Handle(), SB_VERT, &SI));
    const int Line = G->GridLineWidth();
    const int F = Line + G->RowHeights(0) + Line;
    const int T = Line + 200 * (24 + Line);
    const float Ratio = static_cast<float>(G->ClientHeight() - F) / static_cast<float>(T);
    const int Max = static_cast<int>((Ratio + 127) / (1 - Ratio));
    EXPECT_EQ(SI.nMax, Max);
    EXPECT_EQ(static_cast<int>(SI.nPage), Max - 126);
    EXPECT_EQ(SI.nPos, 0);
    EXPECT_EQ(G->ScrollHintText(false, 127), "Row : " + std::to_string(200 - G->VisibleRowCount() + 1));
}

// The empty area right of the last column shows the background tiles: laid
// from the client's corner for all cells, from the first normal cell moved
// by the cell margin for normal cells only, not at all for fixed cells
// only; shown floating footer and search bars keep their strips free of
// them.
TEST_F(GridPainting, BackgroundTilesOutsideTheCells)
{
    const COLORREF Mark = RGB(255, 0, 0);
    const COLORREF Fill = RGB(0, 0, 255);
    TBitmap Tile(8, 8);
    Tile.Canvas()->Brush()->SetColor(static_cast<TColor>(Fill));
    Tile.Canvas()->FillRect(Rect(0, 0, 8, 8));
    Tile.Canvas()->SetPixels(0, 0, static_cast<TColor>(Mark));
    G->BackGround()->SetBitmap(&Tile);
    G->BackGround()->SetDisplay(bdTile);
    const TRect First = G->CellRect(1, 1);
    const int StripLeft = G->CellRect(4, 1).right + G->GridLineWidth();
    const int W = G->ClientWidth();
    const int H = G->ClientHeight();
    ASSERT_LT(StripLeft + 40, W);
    // Tiles are laid from one pixel above and left of the origin.
    const auto Marked = [](int X, int Origin) { return ((X - Origin + 1) % 8 + 8) % 8 == 0; };

    struct Case {
        const char* Name;
        TBackGroundCells Cells;
        int OriginX, OriginY;
    };
    for (const Case& C : {Case{"all cells", bcAll, 0, 0},
                          Case{"normal cells", bcNormal, First.left + 2, First.top + 2}}) {
        G->BackGround()->SetCells(C.Cells);
        const auto B = PaintGrid(G);
        int Marks = 0;
        int Wrong = 0;
        for (int Y = 0; Y < H; ++Y)
            for (int X = StripLeft; X < W; ++X) {
                const COLORREF P = gui::PixelAt(B.get(), X, Y);
                const bool Tiled = Y >= C.OriginY - 1;
                Marks += P == Mark;
                if (Tiled)
                    Wrong += (P == Mark) != (Marked(X, C.OriginX) && Marked(Y, C.OriginY)) || (P != Mark && P != Fill);
                else
                    Wrong += P == Mark || P == Fill;
            }
        EXPECT_GT(Marks, 100) << C.Name;
        EXPECT_EQ(Wrong, 0) << C.Name;
    }
    G->BackGround()->SetCells(bcFixed);
    auto B = PaintGrid(G);
    const TRect Strip = Rect(StripLeft, 0, W, H);
    EXPECT_EQ(CountColour(B.get(), Strip, Mark) + CountColour(B.get(), Strip, Fill), 0) << "fixed cells only";

    G->BackGround()->SetCells(bcAll);
    G->FloatingFooter()->SetVisible(true);
    G->SearchFooter()->SetVisible(true);
    gui::Settle();
    const int Bars = std::min(G->FooterPanel()->Top(), G->SearchPanel()->Top());
    ASSERT_GT(G->FooterPanel()->Height(), 0);
    ASSERT_EQ(Bars, H - 32 - G->FooterPanel()->Height());
    B = PaintGrid(G);
    EXPECT_GT(CountColour(B.get(), Rect(StripLeft, 0, W, Bars), Fill), 0);
    const TRect Under = Rect(StripLeft, Bars, W, H);
    EXPECT_EQ(CountColour(B.get(), Under, Mark) + CountColour(B.get(), Under, Fill), 0) << "under the footers";
    G->BackGround()->SetCells(bcNormal);
    gui::Settle();
    gui::SaveScreenshot(Form, ScreenshotPath("grid-painting-background-outside.png"));
}

// Dragging the thumb with scroll hints shows the row or column in a hint
// window 10 pixels right of the cursor, in HintColor, with the text the
// hook gives; the end of the scroll hides it; a direction without hints
// shows none.
TEST_F(GridPainting, ScrollHintWindowFollowsTheThumbDrag)
{
    G->SetRowCount(201);
    G->SetColCount(40);
    G->HintColor = 0x00C0FFFF;
    G->ScrollHints = shVertical;
    gui::Settle();
    SetCursorPos(300, 200);
    G->Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 64), 0);
    EXPECT_EQ(G->ScrollHintWindow(), nullptr) << "horizontal drag without horizontal hints";

    G->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 127), 0);
    THintWindow* W = G->ScrollHintWindow();
    ASSERT_NE(W, nullptr);
    ASSERT_TRUE(W->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(W->Handle()));
    const String Expected = "Row : " + std::to_string(200 - G->VisibleRowCount() + 1);
    EXPECT_EQ(W->Caption(), Expected);
    EXPECT_EQ(W->Color(), 0x00C0FFFF);
    POINT P{};
    GetCursorPos(&P);
    RECT WR{};
    GetWindowRect(W->Handle(), &WR);
    EXPECT_EQ(WR.left, P.x + 10);
    EXPECT_EQ(WR.top, P.y);

    G->OnScrollHint = [](TObject*, int ARow, String& Text) { Text = "at " + std::to_string(ARow); };
    G->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
    EXPECT_EQ(G->ScrollHintWindow(), W);
    EXPECT_EQ(W->Caption(), "at 1");
    G->Perform(WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    EXPECT_FALSE(IsWindowVisible(W->Handle()));
}

// ---------------------------------------------------------------------------
// As the user sees it

TEST(GridPaintingScreens, ChannelTableWithCheckBoxesRedNumbersAndSelection)
{
    auto* Form = new TForm(Application);
    Form->SetBounds(60, 60, 780, 500);
    auto* G = new TProStringGrid(Form);
    G->SetParent(Form);
    G->SetBounds(8, 8, 740, 440);
    G->SetColCount(10);
    G->SetRowCount(20);
    G->SetFixedCols(0);
    G->SetFixedRows(0);
    const int Widths[] = {42, 120, 42, 120, 42, 120, 42, 120, 42, 119};
    for (int C = 0; C < 10; ++C)
        G->SetColWidths(C, Widths[C]);
    G->SetDefaultRowHeight(20);
    G->SetWordWrap(false);
    G->Font()->SetName("Tahoma");
    G->Font()->SetHeight(-11);
    G->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect);
    for (int K = 0; K < 5; ++K)
        for (int R = 0; R < 20; ++R) {
            char Num[4];
            std::snprintf(Num, sizeof Num, "%02d", K * 20 + R);
            G->WriteCellText(2 * K, R, Num);
            G->PutCheckBox(2 * K, R, false, false);
            G->GetCellGraphic(2 * K, R)->CellHAlign = haBeforeText;
        }
    for (int Slot : {0, 3, 45}) {
        G->ChangeCheckBoxState((Slot / 20) * 2, Slot % 20, true);
        G->EnsureCellProperties((Slot / 20) * 2, Slot % 20)->FontColor = 255;
        G->WriteCellText((Slot / 20) * 2 + 1, Slot % 20, "Code " + std::to_string(Slot));
    }
    G->SelectCellRange(3, 3, 5, 8);
    Form->Show();
    gui::Settle();
    auto B = PaintGrid(G);
    gui::SaveScreenshot(Form, ScreenshotPath("grid-painting-channel-table.png"));
    const TRect Cell = G->CellRect(0, 0);
    // The check box sits before "00", drawn disabled (the table does not
    // edit): the checked box of slot 0 differs from the unchecked one of
    // slot 1 in the left part of the cell, and red text pixels lie to its
    // right.
    const int Glyph = 2 + 16;
    EXPECT_EQ(CountColour(B.get(), TRect{Cell.left, Cell.top, Cell.left + Glyph, Cell.bottom}, RGB(33, 161, 33)), 0)
        << "no enabled check mark";
    const TRect Unchecked = G->CellRect(0, 1);
    int Differing = 0;
    for (int Y = 0; Y < Cell.bottom - Cell.top; ++Y)
        for (int X = 0; X < Glyph; ++X)
            Differing += gui::PixelAt(B.get(), Cell.left + X, Cell.top + Y)
                         != gui::PixelAt(B.get(), Unchecked.left + X, Unchecked.top + Y);
    EXPECT_GT(Differing, 5) << "the checked box shows its mark";
    int Red = 0;
    for (int Y = Cell.top; Y < Cell.bottom; ++Y)
        for (int X = Cell.left + Glyph; X < Cell.right; ++X) {
            const COLORREF P = gui::PixelAt(B.get(), X, Y);
            Red += GetRValue(P) > GetGValue(P) + 60 && GetRValue(P) > GetBValue(P) + 60;
        }
    EXPECT_GT(Red, 5) << "red number beside the box";
    const TRect Sel = G->CellRect(3, 6);
    EXPECT_EQ(gui::PixelAt(B.get(), Sel.right - 3, Sel.bottom - 3), Rgb(G->SelectionColor));
    delete Form;
}

// Every cell type in every look, one screenshot per look.
TEST(GridPaintingScreens, DemonstrationGridOfEveryCellTypeAndLook)
{
    auto* Form = new TForm(Application);
    Form->SetBounds(20, 20, 900, 560);
    auto* G = new TProStringGrid(Form);
    G->SetParent(Form);
    G->SetBounds(8, 8, 870, 500);
    G->SetColCount(6);
    G->SetRowCount(14);
    G->SetFixedCols(1);
    G->SetFixedRows(1);
    G->SetDefaultColWidth(140);
    G->SetColWidths(0, 110);
    G->SetDefaultRowHeight(30);
    G->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect);
    const char* Heads[] = {"Kind", "Plain", "Graphic", "Styles", "More", "Colours"};
    for (int C = 0; C < 6; ++C)
        G->SetCells(C, 0, Heads[C]);
    G->SortSettings()->Show = true;
    G->SortSettings()->Column = 1;
    int Row = 1;
    auto Label = [&](const char* Text) { G->SetCells(0, Row, Text); };
    Label("Text");
    G->SetCells(1, Row, "Left text");
    G->SetCells(2, Row, "12345.67");
    G->EnsureCellProperties(2, Row)->Alignment = taRightJustify;
    G->SetCells(3, Row, "Centred");
    G->EnsureCellProperties(3, Row)->Alignment = taCenter;
    G->SetCells(4, Row, "http://example.invalid/x");
    G->URLShow = true;
    G->SetCells(5, Row, "Own colour");
    G->EnsureCellProperties(5, Row)->SetBrushColor(0x00C0FFFF);
    ++Row;
    Label("Check boxes");
    const TGridControlStyle Styles[] = {csClassic, csFlat, csWinXP, csOstrune, csQJX};
    for (int C = 1; C < 6; ++C) {
        G->PutCheckBox(C, Row, C % 2 == 1, false);
        G->SetCells(C, Row, "Check");
        G->GetCellGraphic(C, Row)->CellHAlign = haBeforeText;
    }
    ++Row;
    Label("Radio");
    for (int C = 1; C < 6; ++C) {
        TCellGraphic* Gr = G->NewCellGraphic(C, Row);
        Gr->CellType = ctRadio;
        auto* Items = new TStringList();
        Items->Add("A");
        Items->Add("B");
        Items->Add("C");
        Gr->CellBitmap = Items;
        Gr->CellCreated = true;
        Gr->CellBoolean = true;
        Gr->CellIndex = C % 3;
    }
    ++Row;
    Label("Progress");
    for (int C = 1; C < 6; ++C) {
        TCellGraphic* Gr = G->NewCellGraphic(C, Row);
        Gr->CellType = C < 3 ? ctProgress : C == 3 ? ctXPProgress : C == 4 ? ctProgressPie : ctRangeIndicator;
        Gr->CellValue = 65;
        Gr->CellIndex = C == 5 ? 100 : 0;
        Gr->CellHAlign = haCenter;
        Gr->CellVAlign = vaCenter;
        G->SetCells(C, Row, C == 5 ? "-40" : std::to_string(20 * C));
    }
    ++Row;
    Label("Button");
    for (int C = 1; C < 3; ++C) {
        TCellGraphic* Gr = G->NewCellGraphic(C, Row);
        Gr->CellType = ctButton;
        Gr->CellIndex = (22 << 16) | 90;
        Gr->CellText = C == 1 ? "Send" : "Read";
        Gr->CellHAlign = haCenter;
        Gr->CellVAlign = vaCenter;
    }
    TCellGraphic* Comment = G->NewCellGraphic(3, Row);
    Comment->CellType = ctComment;
    G->SetCells(3, Row, "Comment");
    TCellGraphic* Rot = G->NewCellGraphic(4, Row);
    Rot->CellType = ctRotated;
    Rot->CellAngle = 20;
    G->SetCells(4, Row, "Rotated");
    G->MergeCells(5, Row, 1, 2);
    G->SetCells(5, Row, "Merged 2 rows");
    ++Row;
    Label("Wide");
    G->WriteWideCellText(1, Row, L"\x8bfb\x53d6 \x00e9t\x00e9");
    G->SetCells(2, Row, "{\\rtf1 Rich \\b text\\b0}");
    G->SetCells(3, Row, "<b>HTML</b> text");
    ++Row;
    Label("Bands");
    G->Bands()->SetActive(true);
    ++Row;
    ++Row;
    G->ShowModified()->Enabled = true;
    G->SetRowModified(Row, true);
    G->SelectCellRange(1, 3, Row, Row + 1);
    G->SelectionRectangle = true;
    G->SelectionResizer = true;

    Form->Show();
    gui::Settle();
    const struct {
        TGridLook Look;
        TComponentStylePreset Preset;
        const char* Name;
    } Looks[] = {
        {glStandard, tsCustom, "standard"}, {glSoft, tsCustom, "soft"},       {glClassic, tsCustom, "classic"},
        {glQJX, tsOffice2003Blue, "qjx"},   {glXP, tsOffice2007Luna, "xp"},   {glListView, tsCustom, "listview"},
        {glVista, tsWindowsVista, "vista"},
    };
    for (const auto& L : Looks) {
        G->SetLook(L.Look);
        if (L.Preset != tsCustom)
            G->SetComponentStyle(L.Preset);
        for (int C = 1; C < 6; ++C)
            if (TCellGraphic* Gr = G->GetCellGraphic(C, 2))
                (void)Gr;
        G->ControlLook()->SetControlStyle(Styles[static_cast<int>(L.Look) % 5]);
        G->Invalidate();
        gui::Settle();
        auto B = PaintGrid(G);
        EXPECT_EQ(G->PaintFailures(), 0) << L.Name;
        gui::SaveScreenshot(Form, ScreenshotPath(std::string("grid-painting-look-") + L.Name + ".png"));
    }
    delete Form;
}

} // namespace
