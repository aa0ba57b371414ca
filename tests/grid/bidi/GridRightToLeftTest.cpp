// Right-to-left grids in real windows under Wine: every picture of a
// mirrored grid (plain, merged, check-box and node cells in several looks,
// the floating footer in each style) is its left-to-right picture mirrored
// pixel for pixel, apart from the texts, which keep their reading direction
// and are compared by where their ink lies, and the pictures in cells
// (bitmaps, image-list pictures, glyphs), which stand at their mirrored
// place the right way round; the mouse, the arrow keys, the
// node buttons, the editors and the search bar follow the mirrored layout.
// The framework's BiDiMode is checked here too: how a control takes its
// parent's mode and what the modes mean.

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "framework/Edit.h"
#include "framework/ImageList.h"
#include "framework/Panel.h"
#include "framework/Screen.h"
#include "grid/core/ProGrid.h"
#include "grid/core/ProGridLook.h"
#include "grid/core/HtmlRender.h"
#include "grid/interaction/FloatingFooter.h"
#include "grid/interaction/FooterPanel.h"
#include "grid/interaction/InplaceEditors.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/DragDropSettings.h"
#include "grid/core/ProObj.h"
#include "grid/interaction/Navigation.h"
#include "grid/interaction/SearchFooter.h"
#include "grid/interaction/SearchPanel.h"
#include "tests/support/GuiHarness.h"

namespace {

std::string ScreenshotPath(const std::string& Name)
{
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    const std::string Dir(Path);
    return Dir.substr(0, Dir.find_last_of('\\') + 1) + Name;
}

// The client area of a control as its paint handling draws it into a
// memory bitmap of the client's size.
std::unique_ptr<TBitmap> PaintClient(TWinControl* C)
{
    auto B = std::make_unique<TBitmap>(C->ClientWidth(), C->ClientHeight());
    C->Perform(WM_PAINT, reinterpret_cast<WPARAM>(B->Canvas()->Handle()), 0);
    GdiFlush();
    return B;
}

// Where B differs from A mirrored (B's pixel x against A's pixel W - 1 - x).
struct TMirrorDiff {
    int Count = 0;
    int X = -1;
    int Y = -1;
};

TMirrorDiff CompareMirrored(TBitmap* A, TBitmap* B)
{
    TMirrorDiff D;
    if (A->Width() != B->Width() || A->Height() != B->Height()) {
        D.Count = -1;
        return D;
    }
    const int W = A->Width();
    for (int Y = 0; Y < A->Height(); ++Y)
        for (int X = 0; X < W; ++X)
            if (gui::PixelAt(B, X, Y) != gui::PixelAt(A, W - 1 - X, Y)) {
                if (D.Count++ == 0)
                    D.X = X, D.Y = Y;
            }
    return D;
}

// The smallest rectangle inside R holding every pixel where With differs
// from Without: the ink of the texts; empty when there is none.
TRect InkBox(TBitmap* With, TBitmap* Without, const TRect& R)
{
    TRect Box{R.right, R.bottom, R.left, R.top};
    for (int Y = std::max<int>(0, R.top); Y < std::min<int>(With->Height(), R.bottom); ++Y)
        for (int X = std::max<int>(0, R.left); X < std::min<int>(With->Width(), R.right); ++X)
            if (gui::PixelAt(With, X, Y) != gui::PixelAt(Without, X, Y)) {
                Box.left = std::min<LONG>(Box.left, X);
                Box.top = std::min<LONG>(Box.top, Y);
                Box.right = std::max<LONG>(Box.right, X + 1);
                Box.bottom = std::max<LONG>(Box.bottom, Y + 1);
            }
    return Box.right > Box.left ? Box : TRect{0, 0, 0, 0};
}

bool Same(const TRect& A, const TRect& B) { return EqualRect(&A, &B) != FALSE; }

TRect Mirror(const TRect& R, int W) { return TRect{W - R.right, R.top, W - R.left, R.bottom}; }

std::string Describe(const TRect& R)
{
    return "(" + std::to_string(R.left) + "," + std::to_string(R.top) + ")-(" + std::to_string(R.right) + ","
        + std::to_string(R.bottom) + ")";
}

// The pictures of one control painted left to right and right to left,
// each without and with its texts.
struct TPictures {
    std::unique_ptr<TBitmap> Plain, PlainText, Mirrored, MirroredText;
};

// Checks that the right-to-left pictures are the left-to-right ones
// mirrored: without texts pixel for pixel, with texts by the ink box of
// every area in Areas (left-to-right coordinates), which must lie mirrored
// within a pixel or two (glyphs are not mirrored, so their bearings are not).
void ExpectMirrored(const char* What, const TPictures& P, const std::vector<TRect>& Areas)
{
    const TMirrorDiff D = CompareMirrored(P.Plain.get(), P.Mirrored.get());
    EXPECT_EQ(D.Count, 0) << What << ": first difference at (" << D.X << "," << D.Y << ")";
    const int W = P.Plain->Width();
    int Inked = 0;
    for (const TRect& A : Areas) {
        const TRect L = InkBox(P.PlainText.get(), P.Plain.get(), A);
        const TRect R = InkBox(P.MirroredText.get(), P.Mirrored.get(), Mirror(A, W));
        EXPECT_EQ(IsRectEmpty(&L), IsRectEmpty(&R)) << What << ": text in " << Describe(A);
        if (IsRectEmpty(&L) || IsRectEmpty(&R))
            continue;
        ++Inked;
        const TRect M = Mirror(L, W);
        EXPECT_NEAR(R.left, M.left, 2) << What << ": text " << Describe(R) << " for " << Describe(M);
        EXPECT_NEAR(R.right, M.right, 2) << What << ": text " << Describe(R) << " for " << Describe(M);
        EXPECT_EQ(R.top, M.top) << What << ": text " << Describe(R);
        EXPECT_EQ(R.bottom, M.bottom) << What << ": text " << Describe(R);
    }
    EXPECT_GT(Inked, 0) << What << ": no text was drawn";
}

// A picture that differs from its mirror image, every pixel unlike a cell's
// colours: a blue stripe at its left, red elsewhere, a green corner at its
// top right.
std::unique_ptr<TBitmap> AsymmetricPicture(int W, int H)
{
    auto B = std::make_unique<TBitmap>(W, H, TPixelFormat::pf24bit);
    TCanvas* C = B->Canvas();
    C->Brush()->SetColor(clRed);
    C->FillRect(TRect{0, 0, W, H});
    C->Brush()->SetColor(clBlue);
    C->FillRect(TRect{0, 0, W / 3, H});
    C->Brush()->SetColor(clLime);
    C->FillRect(TRect{W - 3, 0, W, 3});
    // Its corners at the left in a colour of their own, which glyphs drawn
    // transparently take as the transparent one.
    C->SetPixels(0, 0, clFuchsia);
    C->SetPixels(0, H - 1, clFuchsia);
    return B;
}

// Checks that the right-to-left pictures (Plain/Mirrored without the
// cells' pictures, PlainText/MirroredText with them) are the left-to-right
// ones mirrored, except that each cell's picture (where it changes the cell,
// in Areas, left-to-right coordinates) stands at its mirrored place the
// right way round.
// The box of the pixels in R coloured as AsymmetricPicture colours them
// (a transparently drawn one loses its corners): empty when there are none.
TRect PictureBox(TBitmap* B, const TRect& R)
{
    TRect Box{R.right, R.bottom, R.left, R.top};
    for (int Y = std::max<int>(0, R.top); Y < std::min<int>(B->Height(), R.bottom); ++Y)
        for (int X = std::max<int>(0, R.left); X < std::min<int>(B->Width(), R.right); ++X) {
            const COLORREF C = gui::PixelAt(B, X, Y);
            if (C == RGB(255, 0, 0) || C == RGB(0, 0, 255) || C == RGB(0, 255, 0)) {
                Box.left = std::min<LONG>(Box.left, X);
                Box.top = std::min<LONG>(Box.top, Y);
                Box.right = std::max<LONG>(Box.right, X + 1);
                Box.bottom = std::max<LONG>(Box.bottom, Y + 1);
            }
        }
    return Box.right > Box.left ? Box : TRect{0, 0, 0, 0};
}

// How a picture is found in a cell: by what it changes there, or (where
// the picture comes with lines that are not part of it) by its colours.
enum class TFind { Change, Colours };

void ExpectPicturesUnmirrored(const char* What, const TPictures& P, const std::vector<TRect>& Areas,
                              TFind Find = TFind::Change, bool Symmetric = false)
{
    const TMirrorDiff D = CompareMirrored(P.Plain.get(), P.Mirrored.get());
    EXPECT_EQ(D.Count, 0) << What << " without pictures: first difference at (" << D.X << "," << D.Y << ")";
    TBitmap* L = P.PlainText.get();
    TBitmap* R = P.MirroredText.get();
    const int W = L->Width();
    std::vector<TRect> Shown;
    for (const TRect& A : Areas) {
        const bool Change = Find == TFind::Change;
        const TRect LB = Change ? InkBox(L, P.Plain.get(), A) : PictureBox(L, A);
        const TRect RB = Change ? InkBox(R, P.Mirrored.get(), Mirror(A, W)) : PictureBox(R, Mirror(A, W));
        ASSERT_FALSE(IsRectEmpty(&LB)) << What << ": no picture in " << Describe(A);
        EXPECT_TRUE(Same(RB, Mirror(LB, W))) << What << ": picture at " << Describe(RB) << " for "
                                              << Describe(Mirror(LB, W));
        int Asymmetric = 0, Flipped = 0;
        for (int Y = LB.top; Y < LB.bottom; ++Y)
            for (int X = 0; X < LB.right - LB.left; ++X) {
                const COLORREF Was = gui::PixelAt(L, LB.left + X, Y);
                Asymmetric += Was != gui::PixelAt(L, LB.right - 1 - X, Y);
                Flipped += Was != gui::PixelAt(R, RB.left + X, Y);
            }
        // A symmetric glyph shows only its place.
        if (!Symmetric) {
            ASSERT_GT(Asymmetric, 0) << What << ": the picture in " << Describe(A) << " is its own mirror image";
        }
        EXPECT_EQ(Flipped, 0) << What << ": the picture in " << Describe(A) << " is not the right way round";
        Shown.push_back(RB);
    }
    // Outside the pictures everything is mirrored.
    int Other = 0;
    for (int Y = 0; Y < L->Height(); ++Y)
        for (int X = 0; X < W; ++X) {
            const POINT Pt{X, Y};
            bool InPicture = false;
            for (const TRect& B : Shown)
                InPicture = InPicture || PtInRect(&B, Pt);
            Other += !InPicture && gui::PixelAt(R, X, Y) != gui::PixelAt(L, W - 1 - X, Y);
        }
    EXPECT_EQ(Other, 0) << What << ": pixels outside the pictures are not mirrored";
}

// A grid that shows the filter drop-down glyph in the header of one column.
class TFilterGrid : public TProStringGrid {
public:
    using TProStringGrid::TProStringGrid;
    int FilterCol = -1;

protected:
    bool HasFixedDropDown(int ACol, int) override { return ACol == FilterCol; }
};

class GridRightToLeft : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 560, 400);
        G = new TFilterGrid(Form);
        G->SetParent(Form);
        G->SetBounds(8, 8, 420, 300);
        G->SetColCount(5);
        G->SetRowCount(8);
        G->SetFixedCols(1);
        G->SetFixedRows(1);
        G->SetDefaultColWidth(70);
        G->SetDefaultRowHeight(24);
        G->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect);
        G->HideFocusRect = true;
        Form->Show();
        gui::Settle();
    }
    void TearDown() override { delete Form; }

    // A fresh grid and form, set up by Setup.
    void Fresh(const std::function<void()>& Setup)
    {
        TearDown();
        SetUp();
        Setup();
    }

    // Every cell gets Text (an empty text clears it).
    void FillTexts(const String& Text)
    {
        for (int R = 0; R < G->RowCount(); ++R)
            for (int C = 0; C < G->ColCount(); ++C)
                G->SetCells(C, R, Text);
    }

    // The grid painted both ways, with and without texts; the grid is left
    // to right afterwards.
    TPictures PaintBothWays(TWinControl* Target, const std::function<void(bool)>& Texts)
    {
        TPictures P;
        Texts(false);
        P.Plain = PaintClient(Target);
        Texts(true);
        P.PlainText = PaintClient(Target);
        G->SetBiDiMode(bdRightToLeft);
        gui::Settle();
        Texts(false);
        P.Mirrored = PaintClient(Target);
        Texts(true);
        P.MirroredText = PaintClient(Target);
        G->SetBiDiMode(bdLeftToRight);
        gui::Settle();
        return P;
    }

    // The rectangles of the cells drawn, merged ranges whole, left to right.
    std::vector<TRect> CellAreas()
    {
        std::vector<TRect> Areas;
        for (int R = 0; R < G->RowCount(); ++R)
            for (int C = 0; C < G->ColCount(); ++C)
                if (G->IsBaseCellAt(C, R))
                    Areas.push_back(G->MergedCellRect(C, R));
        return Areas;
    }

    // A mouse message at a client point, with the cursor placed there
    // first, through the message loop.
    void Post(UINT Msg, WPARAM Keys, TPoint P)
    {
        const TPoint S = G->ClientToScreen(P);
        SetCursorPos(S.x, S.y);
        PostMessageW(G->Handle(), Msg, Keys, MAKELPARAM(P.x, P.y));
        gui::Settle();
    }
    // A left-to-right client point where the grid shows it now.
    TPoint At(TPoint P) { return TPoint{G->MirroredX(P.x), P.y}; }
    // A window's rectangle in the grid's client coordinates.
    TRect PlaceOf(TWinControl* W)
    {
        RECT R{};
        GetWindowRect(W->Handle(), &R);
        const TPoint O = G->ClientToScreen(TPoint{0, 0});
        return TRect{R.left - O.x, R.top - O.y, R.right - O.x, R.bottom - O.y};
    }

    TForm* Form = nullptr;
    TFilterGrid* G = nullptr;
};

} // namespace

// A control takes its parent's mode while ParentBiDiMode holds, also when
// the parent changes later; its own mode stops that until ParentBiDiMode is
// set again. The modes' meaning and the text flags they give.
TEST(BiDiMode, ParentModeAndFlags)
{
    TForm Form(Application);
    auto* Panel = new TPanel(&Form);
    Panel->SetParent(&Form);
    auto* Edit = new TEdit(&Form);
    Edit->SetParent(Panel);
    EXPECT_EQ(Edit->BiDiMode(), bdLeftToRight);
    EXPECT_TRUE(Edit->ParentBiDiMode());

    Form.SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(Panel->BiDiMode(), bdRightToLeft);
    EXPECT_EQ(Edit->BiDiMode(), bdRightToLeft) << "taken over through the panel";
    Edit->SetBiDiMode(bdRightToLeftReadingOnly);
    EXPECT_FALSE(Edit->ParentBiDiMode());
    Form.SetBiDiMode(bdLeftToRight);
    EXPECT_EQ(Panel->BiDiMode(), bdLeftToRight);
    EXPECT_EQ(Edit->BiDiMode(), bdRightToLeftReadingOnly) << "its own mode stays";
    Edit->SetParentBiDiMode(true);
    EXPECT_EQ(Edit->BiDiMode(), bdLeftToRight);

    auto* Late = new TEdit(&Form);
    Form.SetBiDiMode(bdRightToLeftNoAlign);
    Late->SetParent(&Form);
    EXPECT_EQ(Late->BiDiMode(), bdRightToLeftNoAlign) << "taken when parented";

    struct Case {
        TBiDiMode Mode;
        bool Alignment, Reading;
        UINT Left, Right, Center;
    };
    const Case Cases[] = {
        {bdLeftToRight, false, false, DT_LEFT, DT_RIGHT, DT_CENTER},
        {bdRightToLeft, true, true, DT_RIGHT | DT_RTLREADING, DT_LEFT | DT_RTLREADING, DT_CENTER | DT_RTLREADING},
        {bdRightToLeftNoAlign, false, true, DT_LEFT | DT_RTLREADING, DT_RIGHT | DT_RTLREADING,
         DT_CENTER | DT_RTLREADING},
        {bdRightToLeftReadingOnly, false, true, DT_LEFT | DT_RTLREADING, DT_RIGHT | DT_RTLREADING,
         DT_CENTER | DT_RTLREADING},
    };
    for (const Case& C : Cases) {
        Late->SetBiDiMode(C.Mode);
        EXPECT_EQ(Late->UseRightToLeftAlignment(), C.Alignment) << C.Mode;
        EXPECT_EQ(Late->UseRightToLeftReading(), C.Reading) << C.Mode;
        EXPECT_EQ(Late->DrawTextBiDiModeFlags(DT_LEFT | DT_SINGLELINE), C.Left | DT_SINGLELINE) << C.Mode;
        EXPECT_EQ(Late->DrawTextBiDiModeFlags(DT_RIGHT), C.Right) << C.Mode;
        EXPECT_EQ(Late->DrawTextBiDiModeFlags(DT_CENTER), C.Center) << C.Mode;
        EXPECT_EQ(Late->DrawTextBiDiModeFlagsReadingOnly(), C.Reading ? UINT(DT_RTLREADING) : 0u) << C.Mode;
    }
}

// Grids of several kinds: the mirrored picture is the plain one mirrored.
TEST_F(GridRightToLeft, CellPicturesAreMirrored)
{
    struct Case {
        const char* What;
        std::function<void()> Setup;
    };
    const Case Cases[] = {
        {"plain cells, XP look", [&] {
             G->SetSelection(TGridRect{2, 2, 3, 3});
             G->EnsureCellProperties(3, 5)->SetBrushColor(clYellow);
             G->EnsureCellProperties(2, 6)->Alignment = taRightJustify;
         }},
        {"classic look", [&] { G->SetLook(glClassic); }},
        {"soft look", [&] { G->SetLook(glSoft); }},
        {"merged cells", [&] {
             G->MergeCells(1, 2, 2, 2);
             G->MergeCells(2, 5, 3, 1);
             G->MergeCells(0, 6, 1, 2);
         }},
        {"check boxes", [&] {
             // Drawn, not pictures (which stay the right way round, below).
             G->ControlLook()->SetControlStyle(csOstrune);
             G->PutCheckBox(1, 1, true, false);
             G->PutCheckBox(2, 2, false, false);
             G->PutCheckBox(3, 3, true, false);
         }},
        {"nodes", [&] {
             G->CellNode()->SetNodeType(cn3D);   // drawn, not a picture
             G->CellNode()->SetShowTree(true);
             G->AddNode(1, 3);
             G->AddNode(5, 2);
         }},
    };
    int N = 0;
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        Fresh(C.Setup);
        const std::vector<TRect> Areas = CellAreas();
        const TPictures P = PaintBothWays(G, [&](bool Text) { FillTexts(Text ? "Ab" : ""); });
        ExpectMirrored(C.What, P, Areas);
        P.PlainText->SaveToFile(ScreenshotPath("grid-bidi-" + std::to_string(N) + "-ltr.bmp"));
        P.MirroredText->SaveToFile(ScreenshotPath("grid-bidi-" + std::to_string(N) + "-rtl.bmp"));
        ++N;
    }
}

// The pictures of cells and the glyphs the grid draws keep their pixels
// the right way round at their mirrored place: each picture painted
// right to left is the left-to-right one not mirrored, at the mirrored
// place, and all else is mirrored. Each case paints its cells without and
// with the picture.
TEST_F(GridRightToLeft, PicturesKeepTheirOrientation)
{
    const auto Picture = AsymmetricPicture(14, 12);
    const auto Other = AsymmetricPicture(12, 12);
    TImageList Images(nullptr);
    Images.SetSize(16, 16);
    Images.Add(AsymmetricPicture(16, 16).get(), nullptr);
    struct Case {
        const char* What;
        TGridCoord Cell;
        std::function<void()> Setup;
        std::function<void(bool)> Show;
        int Cols = 1;   // the picture may lie over this many cells from Cell on
        TFind Find = TFind::Change;
        bool Symmetric = false;
    };
    const TBitmap NoPicture;
    const auto Background = [&](int X, int Y) {
        G->BackGround()->SetDisplay(bdFixed);
        G->BackGround()->SetLeft(X);
        G->BackGround()->SetTop(Y);
    };
    const auto CheckBox = [&](bool With) {
        if (With)
            G->PutCheckBox(1, 2, true, false);
        else
            G->RemoveCellGraphic(1, 2);
    };
    const auto Graphic = [&](TGridCoord At, bool With, const std::function<void(TCellGraphic*)>& Make) {
        if (With)
            Make(G->NewCellGraphic(At.X, At.Y));
        else
            G->RemoveCellGraphic(At.X, At.Y);
    };
    const Case Cases[] = {
        {"cell bitmap", {2, 3}, [] {}, [&](bool With) {
             Graphic({2, 3}, With, [&](TCellGraphic* Gr) { Gr->CellType = ctBitmap; Gr->CellBitmap = Picture.get(); });
         }},
        {"transparent cell bitmap", {3, 2}, [] {}, [&](bool With) {
             Graphic({3, 2}, With, [&](TCellGraphic* Gr) {
                 Gr->CellType = ctBitmap;
                 Gr->CellBitmap = Picture.get();
                 Gr->CellTransparent = true;
             });
         }},
        {"image-list picture", {3, 4}, [&] { G->GridImages = &Images; }, [&](bool With) {
             Graphic({3, 4}, With, [&](TCellGraphic* Gr) { Gr->CellType = ctImageList; Gr->CellIndex = 0; });
         }},
        {"filter glyph", {2, 0}, [] {}, [&](bool With) { G->FilterCol = With ? 2 : -1; }, 1, TFind::Change, true},
        {"check box, glyph style", {1, 2}, [&] {
             G->ControlLook()->SetControlStyle(csGlyph);
             G->ControlLook()->SetCheckedGlyph(Other.get());
             G->ControlLook()->SetUnCheckedGlyph(Other.get());
         }, CheckBox},
        {"check box, XP style", {1, 2}, [] {}, CheckBox},
        {"node glyph", {0, 1}, [&] {
             G->CellNode()->SetNodeType(cnGlyph);
             G->CellNode()->SetExpandGlyph(Other.get());
             G->CellNode()->SetContractGlyph(Other.get());
         }, [&](bool With) {
             if (With)
                 G->AddNode(1, 3);
             else
                 G->RemoveNode(1);
         }, 1, TFind::Colours},
        {"sort glyph", {2, 0}, [&] {
             G->SortSettings()->SetUpGlyph(Other.get());
             G->SortSettings()->SetDownGlyph(Other.get());
             G->SortSettings()->Column = 2;
         }, [&](bool With) { G->SortSettings()->SetShow(With); }},
        {"background picture in a cell", {2, 2}, [&] {
             Background(G->CellRect(2, 2).left + 10, G->CellRect(2, 2).top + 4);
         }, [&](bool With) { G->BackGround()->SetBitmap(With ? Picture.get() : &NoPicture); }},
        {"background picture over two cells", {2, 2}, [&] {
             Background(G->CellRect(3, 2).left - 6, G->CellRect(2, 2).top + 4);
         }, [&](bool With) { G->BackGround()->SetBitmap(With ? Picture.get() : &NoPicture); }, 2},
    };
    int N = 0;
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        Fresh(C.Setup);
        const TPictures P = PaintBothWays(G, C.Show);
        const TRect First = G->CellRect(C.Cell.X, C.Cell.Y);
        const TRect Last = G->CellRect(C.Cell.X + C.Cols - 1, C.Cell.Y);
        ExpectPicturesUnmirrored(C.What, P, {TRect{First.left, First.top, Last.right, Last.bottom}}, C.Find,
                                 C.Symmetric);
        P.PlainText->SaveToFile(ScreenshotPath("grid-bidi-picture-" + std::to_string(N) + "-ltr.bmp"));
        P.MirroredText->SaveToFile(ScreenshotPath("grid-bidi-picture-" + std::to_string(N) + "-rtl.bmp"));
        ++N;
    }
}

// An image inside a link shows its ALT picture while the point is over it:
// on a mirrored canvas the image is looked up where it shows (its line read
// as written at the mirrored place), not where it would be unmirrored.
TEST(HtmlRightToLeft, AltPictureAtTheMirroredPoint)
{
    TImageList Images(nullptr);
    Images.SetSize(16, 16);
    for (TColor Colour : {clLime, clBlue}) {
        TBitmap Glyph(16, 16, TPixelFormat::pf24bit);
        Glyph.Canvas()->Brush()->SetColor(Colour);
        Glyph.Canvas()->FillRect(TRect{0, 0, 16, 16});
        Images.Add(&Glyph, nullptr);
    }
    const String Html = "go <A HREF=\"x\"><IMG SRC=\"IDX:0\" ALT=\"IDX:1\"></A>";
    const int W = 200;
    // Where the picture shows, device pixels, and what it shows there.
    const auto Shown = [&](bool Mirrored, int HitX) {
        TBitmap B(W, 30, TPixelFormat::pf24bit);
        B.Canvas()->Brush()->SetColor(clWhite);
        B.Canvas()->FillRect(TRect{0, 0, W, 30});
        const DWORD Layout = Mirrored ? LAYOUT_RTL : 0;
        SetLayout(B.Canvas()->Handle(), Layout);
        THtmlDrawParams P;
        P.ImageList = &Images;
        P.HitX = HitX;
        P.HitY = 5;
        THtmlDrawResult Out;
        DrawHtmlText(B.Canvas(), Html, TRect{0, 0, W, 30}, P, Out);
        SetLayout(B.Canvas()->Handle(), 0);
        GdiFlush();
        COLORREF Found = RGB(255, 255, 255);
        int Left = -1;
        for (int X = 0; X < W && Left < 0; ++X) {
            const COLORREF C = gui::PixelAt(&B, X, 5);
            if (C == RGB(0, 255, 0) || C == RGB(0, 0, 255))
                Left = X, Found = C;
        }
        return std::pair{Left, Found};
    };
    TBitmap Measure(1, 1);
    const int Go = Measure.Canvas()->TextWidth("go ");
    // Left to right the picture spans x 1 + Go .. 16 + Go.
    const auto [L, Plain] = Shown(false, -1);
    ASSERT_EQ(L, 1 + Go);
    EXPECT_EQ(Plain, RGB(0, 255, 0));
    EXPECT_EQ(Shown(false, L + 5).second, RGB(0, 0, 255)) << "hovered: the ALT picture";
    // Mirrored, the line shows read as written at the right end, the
    // picture last: at canvas x 1 .. 16 (device W - 17 .. W - 2).
    const auto [R, Mirrored] = Shown(true, -1);
    ASSERT_EQ(R, W - 17);
    EXPECT_EQ(Mirrored, RGB(0, 255, 0));
    EXPECT_EQ(Shown(true, 5), std::pair(R, RGB(0, 0, 255))) << "hovered where it shows: the ALT picture";
    EXPECT_EQ(Shown(true, L + 5), std::pair(R, RGB(0, 255, 0))) << "not where it would be unmirrored";
}

// The floating footer in each style: its strip, lines, cells and border
// line are mirrored with the grid; OnFooterPaint gets the cell's place as
// the panel shows it.
TEST_F(GridRightToLeft, FooterIsMirrored)
{
    struct Case {
        const char* What;
        TFooterStyle Style;
    };
    const Case Cases[] = {
        {"last row", fsFixedLastRow},
        {"column preview", fsColumnPreview},
        {"custom preview", fsCustomPreview},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        TearDown();
        SetUp();
        G->SetColCount(4);
        TFloatingFooter* F = G->FloatingFooter();
        F->SetFooterStyle(C.Style);
        F->SetColumn(2);
        F->SetCustomTemplate("<#1><#2>");
        F->SetBorderColor(clRed);
        F->SetColor(0xE0C0A0);
        F->SetVisible(true);
        G->SetRow(2);
        gui::Settle();
        TFooterPanel* Panel = G->FooterPanel();
        ASSERT_GT(Panel->ClientHeight(), 0);
        const int L = G->RowCount() - 1;
        const TPictures P = PaintBothWays(Panel, [&](bool Text) {
            for (int Col = 0; Col < G->ColCount(); ++Col) {
                G->SetCells(Col, L, Text ? "Ft" : "");
                G->SetCells(Col, 2, Text ? "Pv" : "");
            }
        });
        std::vector<TRect> Areas;
        int X = 0;
        for (int Col = 0; Col < G->ColCount(); ++Col) {
            Areas.push_back(TRect{X, 0, X + G->ColWidths(Col), Panel->ClientHeight()});
            X += G->ColWidths(Col);
        }
        if (C.Style == fsColumnPreview)
            Areas = {TRect{0, 0, X, Panel->ClientHeight()}};
        if (C.Style != fsCustomPreview) {
            ExpectMirrored(C.What, P, Areas);
            continue;
        }
        // The template's text is drawn as written, from the left of the
        // strip, which itself is mirrored.
        const int W = Panel->ClientWidth();
        const TMirrorDiff D = CompareMirrored(P.Plain.get(), P.Mirrored.get());
        EXPECT_EQ(D.Count, 0) << "first difference at (" << D.X << "," << D.Y << ")";
        const TRect Ink = InkBox(P.PlainText.get(), P.Plain.get(), TRect{0, 0, X, Panel->ClientHeight()});
        const TRect R = InkBox(P.MirroredText.get(), P.Mirrored.get(), TRect{W - X, 0, W, Panel->ClientHeight()});
        ASSERT_FALSE(IsRectEmpty(&Ink));
        EXPECT_TRUE(Same(R, TRect{Ink.left + W - X, Ink.top, Ink.right + W - X, Ink.bottom}))
            << Describe(R) << Describe(Ink);
    }

    // The rectangle the footer's paint event gets.
    G->FloatingFooter()->SetFooterStyle(fsFixedLastRow);
    std::vector<TRect> Painted;
    G->OnFooterPaint = [&](TObject*, int, TCanvas*, TRect R) { Painted.push_back(R); };
    G->SetBiDiMode(bdRightToLeft);
    PaintClient(G->FooterPanel());
    const int W = G->FooterPanel()->ClientWidth();
    ASSERT_EQ(Painted.size(), 3u) << "the three normal columns";
    EXPECT_EQ(Painted[0].right, W - 70) << "column 1 right of nothing but column 0";
    EXPECT_EQ(Painted[0].left, W - 139);
    EXPECT_EQ(G->FooterPanel()->MirrorRect(TRect{0, 0, 69, 5}).left, W - 69);
}

// The mouse finds the cell shown under it; CellRect tells where a cell
// shows; the arrows move the way they point, over merged ranges too.
TEST_F(GridRightToLeft, MouseAndArrowsFollowTheMirror)
{
    G->SetBiDiMode(bdRightToLeft);
    const int W = G->ClientWidth();
    // The grid draws its lines inside the cells: columns follow each other.
    EXPECT_TRUE(Same(G->CellRect(0, 0), TRect{W - 70, 0, W, 24})) << Describe(G->CellRect(0, 0));
    EXPECT_TRUE(Same(G->CellRect(2, 1), TRect{W - 210, 24, W - 140, 48})) << Describe(G->CellRect(2, 1));
    EXPECT_EQ(G->MouseCoord(W - 1, 30), (TGridCoord{0, 1}));
    EXPECT_EQ(G->MouseCoord(W - 71, 30), (TGridCoord{1, 1}));
    gui::ClickAt(G, W - 150, 40);
    EXPECT_EQ(G->Col(), 2);

    G->SetFocus();
    G->FocusCell(2, 2, true);
    struct Step {
        Word Key;
        int Col;
    };
    const Step Steps[] = {{VK_LEFT, 3}, {VK_LEFT, 4}, {VK_RIGHT, 3}, {VK_RIGHT, 2}, {VK_RIGHT, 1}};
    for (const Step& S : Steps) {
        G->Perform(WM_KEYDOWN, S.Key, 0);
        EXPECT_EQ(G->Col(), S.Col) << "after key " << S.Key;
    }

    // A merged range is left in the direction the arrow points.
    G->MergeCells(2, 4, 2, 1);
    G->FocusCell(2, 4, true);
    G->Perform(WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(G->Col(), 4);
    G->FocusCell(2, 4, true);
    G->Perform(WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(G->Col(), 1);
}

// Skipping fixed cells: under right-to-left reading Left looks for the next
// normal cell towards higher columns and Right towards lower ones.
TEST_F(GridRightToLeft, SkipFixedCellsSwapsLeftAndRight)
{
    G->SetColCount(7);
    G->Navigation()->SkipFixedCells = true;
    G->OnIsFixedCell = [](TObject*, int, int ACol, bool& IsFixed) { IsFixed = IsFixed || ACol == 3; };
    struct Case {
        TBiDiMode Mode;
        Word Key;
        int From, To;
    };
    const Case Cases[] = {
        {bdLeftToRight, VK_RIGHT, 2, 4},
        {bdLeftToRight, VK_LEFT, 4, 2},
        {bdRightToLeftReadingOnly, VK_LEFT, 2, 4},
        {bdRightToLeftReadingOnly, VK_RIGHT, 4, 2},
        {bdRightToLeft, VK_LEFT, 2, 4},
        {bdRightToLeft, VK_RIGHT, 4, 2},
    };
    G->SetFocus();
    for (const Case& C : Cases) {
        G->SetBiDiMode(C.Mode);
        G->FocusCell(C.From, 2, true);
        G->Perform(WM_KEYDOWN, C.Key, 0);
        EXPECT_EQ(G->Col(), C.To) << "mode " << C.Mode << " key " << C.Key;
    }
}

// A node button is found at the mirrored place, measured from the
// control's width less a shown vertical scroll bar; a click there folds
// the node.
TEST_F(GridRightToLeft, NodeButtonsAreMirrored)
{
    G->AddNode(1, 3);
    const int N = G->CellNode()->NodeIndent();
    G->SetBiDiMode(bdRightToLeft);
    const int W = G->Width();
    struct Case {
        int X;
        bool On;
    };
    const Case Cases[] = {
        {W - N - 2, true}, {W - N - 3, false}, {W - 1, true}, {W, false}, {W - N - 2 - 40, false},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(G->IsOnNodeButton(1, C.X), C.On) << "x " << C.X;

    // Rows that do not fit bring the vertical bar, which the test counts.
    G->SetRowCount(40);
    gui::Settle();
    ASSERT_LT(G->VisibleRowCount(), G->RowCount() - G->FixedRows());
    const int V = GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_TRUE(G->IsOnNodeButton(1, W - N - 2 - V));
    EXPECT_FALSE(G->IsOnNodeButton(1, W - N - 3 - V));

    // The box as painted sits in the right-most cell, near its right edge.
    const TRect Cell = G->CellRect(0, 1);
    const int X = Cell.right - N / 2 - 2;
    ASSERT_FALSE(G->IsNodeContracted(1));
    gui::ClickAt(G, X, (Cell.top + Cell.bottom) / 2);
    EXPECT_TRUE(G->IsNodeContracted(1)) << "click at x " << X;
}

// Sizing by dragging a border: in a mirrored grid the drag at the mirrored
// points gives the same sizes and sizing events, and the XOR line shows
// where the mirrored edge is (the left-to-right line mirrored): a column of
// the cells, a fixed column by the grid's own sizing, a row.
TEST_F(GridRightToLeft, SizingFollowsTheMirror)
{
    struct Case {
        const char* What;
        std::function<void()> Setup;
        TPoint From, To;   // left to right
        std::function<int()> Size;
    };
    const Case Cases[] = {
        {"column", [&] { G->SetOptions(G->Options() | goColSizing); }, {209, 10}, {239, 10},
         [&] { return G->ColWidths(2); }},
        {"fixed column", [&] { G->MouseActions()->SizeFixedCol = true; }, {70, 60}, {90, 60},
         [&] { return G->ColWidths(0); }},
        {"row", [&] { G->SetOptions(G->Options() | goRowSizing); }, {30, 47}, {30, 60},
         [&] { return G->RowHeights(1); }},
    };
    struct TDrag {
        TRect Line;
        std::vector<int> Events;
        int Size = 0;
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        const auto DragBorder = [&](TBiDiMode Mode) {
            TearDown();
            SetUp();
            C.Setup();
            G->SetBiDiMode(Mode);
            G->Invalidate();
            gui::Settle();
            TDrag D;
            // The sizes reported, each once however many movements the
            // system makes of a move.
            const auto Report = [&D](int Size) {
                if (D.Events.empty() || D.Events.back() != Size)
                    D.Events.push_back(Size);
            };
            G->OnColumnSizing = [Report](TObject*, int, int Size) { Report(Size); };
            G->OnRowSizing = [Report](TObject*, int, int Size) { Report(Size); };
            Post(WM_MOUSEMOVE, 0, At(C.From));
            const auto Before = gui::Capture(G->Handle());
            Post(WM_LBUTTONDOWN, MK_LBUTTON, At(C.From));
            Post(WM_MOUSEMOVE, MK_LBUTTON, At(C.To));
            const auto During = gui::Capture(G->Handle());
            D.Line = InkBox(During.get(), Before.get(), TRect{0, 0, During->Width(), During->Height()});
            Post(WM_LBUTTONUP, 0, At(C.To));
            D.Size = C.Size();
            return D;
        };
        const TDrag L = DragBorder(bdLeftToRight);
        const TDrag R = DragBorder(bdRightToLeft);
        const int W = G->ClientWidth();
        ASSERT_FALSE(IsRectEmpty(&L.Line)) << "no sizing line";
        EXPECT_TRUE(Same(R.Line, Mirror(L.Line, W))) << Describe(R.Line) << " for " << Describe(Mirror(L.Line, W));
        EXPECT_NE(L.Size, 0);
        EXPECT_EQ(R.Size, L.Size);
        EXPECT_FALSE(L.Events.empty());
        EXPECT_EQ(R.Events, L.Events);
    }
    EXPECT_EQ(G->ColWidths(2), 70) << "fresh grid";
}

// The fixed drop-down strip and the hover look: the hovered header, and
// the header with its strip held down, are painted mirrored (the strip at
// the cell's left); a press fires the drop-down event only on the strip,
// at the mirrored points.
TEST_F(GridRightToLeft, FixedDropDownStripAndHoverAreMirrored)
{
    G->HoverFixedCells = hfAll;
    G->ControlLook()->SetFixedDropDownButton(true);
    using S = TFixedGradientSlot;
    for (S Slot : {S::HoverFrom, S::HoverTo, S::HoverMirrorFrom, S::HoverMirrorTo})
        G->ControlLook()->SetGradientColor(Slot, 0x40C040);
    for (S Slot : {S::DownFrom, S::DownTo, S::DownMirrorFrom, S::DownMirrorTo})
        G->ControlLook()->SetGradientColor(Slot, 0x4040C0);
    G->ControlLook()->SetGradientColor(S::HoverBorder, 0x008080);
    G->ControlLook()->SetGradientColor(S::DownBorder, 0x800000);
    std::vector<int> Dropped;
    G->OnFixedDropDownClick = [&](TObject*, int ACol, int, TPopupMenu*&, bool&) { Dropped.push_back(ACol); };

    // Header 2 runs from x 140 to 210 left to right; its strip is x 195 to 209.
    struct TShots {
        std::unique_ptr<TBitmap> Hover, Held;
        std::vector<int> Dropped;
    };
    const auto Shoot = [&](TBiDiMode Mode) {
        G->SetBiDiMode(Mode);
        G->Invalidate();
        gui::Settle();
        Dropped.clear();
        TShots Shots;
        Post(WM_MOUSEMOVE, 0, At({170, 10}));
        Shots.Hover = PaintClient(G);
        Post(WM_LBUTTONDOWN, MK_LBUTTON, At({170, 10}));
        Post(WM_LBUTTONUP, 0, At({170, 10}));
        Post(WM_MOUSEMOVE, 0, At({205, 10}));
        Post(WM_LBUTTONDOWN, MK_LBUTTON, At({205, 10}));
        Shots.Held = PaintClient(G);
        Post(WM_LBUTTONUP, 0, At({205, 10}));
        Post(WM_MOUSEMOVE, 0, At({190, 10}));
        Post(WM_LBUTTONDOWN, MK_LBUTTON, At({190, 10}));
        Post(WM_LBUTTONUP, 0, At({190, 10}));
        Post(WM_MOUSEMOVE, 0, At({196, 10}));
        Post(WM_LBUTTONDOWN, MK_LBUTTON, At({196, 10}));
        Post(WM_LBUTTONUP, 0, At({196, 10}));
        Shots.Dropped = Dropped;
        return Shots;
    };
    const TShots L = Shoot(bdLeftToRight);
    const TShots R = Shoot(bdRightToLeft);
    EXPECT_EQ(L.Dropped, (std::vector<int>{2, 2})) << "the strip's two ends, not its outside";
    EXPECT_EQ(R.Dropped, L.Dropped);
    ASSERT_NE(gui::PixelAt(L.Hover.get(), 200, 12), gui::PixelAt(L.Held.get(), 200, 12)) << "no pressed strip";
    ASSERT_EQ(gui::PixelAt(L.Hover.get(), 170, 10), RGB(0x40, 0xC0, 0x40)) << "no hover look";
    for (const auto& [What, A, B] : {std::tuple{"hover", L.Hover.get(), R.Hover.get()},
                                     std::tuple{"strip held", L.Held.get(), R.Held.get()}}) {
        const TMirrorDiff D = CompareMirrored(A, B);
        EXPECT_EQ(D.Count, 0) << What << ": first difference at (" << D.X << "," << D.Y << ")";
    }
    R.Held->SaveToFile(ScreenshotPath("grid-bidi-dropdown-rtl.bmp"));
}

// Moving a column and a row by dragging its header: at the mirrored points
// the same move is made, and the target arrows and the picture of the moved
// cells stand mirrored, the picture showing the cells mirrored.
TEST_F(GridRightToLeft, MovingRowsAndColumnsIsMirrored)
{
    struct Case {
        const char* What;
        TGridOptions Option;
        TPoint From, To;   // left to right
        int FirstArrow;
        bool Sideways;   // the arrows point at the row from either side: mirrored, they change sides
        std::pair<int, int> Moved;
    };
    const Case Cases[] = {
        {"column", goColMoving, {175, 10}, {245, 10}, 0, false, {2, 3}},
        {"row", goRowMoving, {35, 60}, {35, 85}, 2, true, {2, 3}},
    };
    struct TMove {
        std::vector<TRect> Arrows;
        TRect PicturePlace;
        std::unique_ptr<TBitmap> Picture;
        std::vector<std::pair<int, int>> Moves;
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        const auto Move = [&](TBiDiMode Mode) {
            TearDown();
            SetUp();
            G->SetOptions(G->Options() | C.Option);
            G->EnsureCellProperties(2, 2)->SetBrushColor(clYellow);
            G->EnsureCellProperties(3, 0)->SetBrushColor(clAqua);
            G->SetBiDiMode(Mode);
            G->Invalidate();
            gui::Settle();
            TMove M;
            G->OnColumnMoved = [&](TObject*, int F, int T) { M.Moves.emplace_back(F, T); };
            G->OnRowMoved = [&](TObject*, int F, int T) { M.Moves.emplace_back(F, T); };
            Post(WM_MOUSEMOVE, 0, At(C.From));
            Post(WM_LBUTTONDOWN, MK_LBUTTON, At(C.From));
            Post(WM_MOUSEMOVE, MK_LBUTTON, At({C.From.x + 5, C.From.y + 3}));
            Post(WM_MOUSEMOVE, MK_LBUTTON, At(C.To));
            Post(WM_MOUSEMOVE, MK_LBUTTON, At({C.To.x + 2, C.To.y + 1}));
            for (int D = C.FirstArrow; D < C.FirstArrow + 2; ++D) {
                EXPECT_TRUE(G->MoveArrow(D)->Visible()) << "arrow " << D;
                M.Arrows.push_back(PlaceOf(G->MoveArrow(D)));
            }
            if (TForm* P = G->DragPicture()) {
                M.PicturePlace = PlaceOf(P);
                M.Picture = PaintClient(P);
            }
            if (Mode == bdRightToLeft)
                gui::SaveScreenshot(GetDesktopWindow(), ScreenshotPath(std::string("grid-bidi-moving-") + C.What + ".png"));
            Post(WM_LBUTTONUP, 0, At(C.To));
            return M;
        };
        const TMove L = Move(bdLeftToRight);
        const TMove R = Move(bdRightToLeft);
        const int W = G->ClientWidth();
        EXPECT_EQ(L.Moves, (std::vector<std::pair<int, int>>{C.Moved}));
        EXPECT_EQ(R.Moves, L.Moves);
        ASSERT_EQ(R.Arrows.size(), L.Arrows.size());
        for (std::size_t I = 0; I < L.Arrows.size(); ++I) {
            const TRect Want = Mirror(L.Arrows[C.Sideways ? 1 - I : I], W);
            EXPECT_TRUE(Same(R.Arrows[I], Want)) << "arrow " << I << " at " << Describe(R.Arrows[I]) << " for "
                                                 << Describe(Want);
        }
        ASSERT_TRUE(L.Picture && R.Picture) << "no drag picture";
        EXPECT_TRUE(Same(R.PicturePlace, Mirror(L.PicturePlace, W)))
            << Describe(R.PicturePlace) << " for " << Describe(Mirror(L.PicturePlace, W));
        const TMirrorDiff D = CompareMirrored(L.Picture.get(), R.Picture.get());
        EXPECT_EQ(D.Count, 0) << "picture: first difference at (" << D.X << "," << D.Y << ")";
    }
}

// HTML cells: each line of text, links and pictures of the grid's image
// list stands at its mirrored place, from the cell's right edge (the ink
// within 2 pixels of the mirrored place), and reads as written, the picture
// the right way round; the link is found where it shows: the pointer over
// it fires the anchor events and a click follows it, the place where it
// would be unmirrored does not.
TEST_F(GridRightToLeft, HtmlCellPiecesAreMirrored)
{
    TImageList Images(nullptr);
    Images.SetSize(16, 16);
    TBitmap Glyph(16, 16, TPixelFormat::pf24bit);
    Glyph.Canvas()->Brush()->SetColor(clRed);
    Glyph.Canvas()->FillRect(TRect{0, 0, 16, 16});
    Glyph.Canvas()->Brush()->SetColor(clBlue);
    Glyph.Canvas()->FillRect(TRect{0, 0, 5, 16});   // a blue stripe at its left
    Images.Add(&Glyph, nullptr);
    G->GridImages = &Images;
    G->SetColWidths(2, 160);
    const TRect LinkCell = G->CellRect(2, 3);
    const std::vector<std::pair<TGridCoord, String>> Texts = {
        {{2, 2}, "<P>Ab <B>cd</B></P>"},
        {{2, 3}, "<A href=\"go\">link</A>"},
        {{2, 4}, "<IMG src=\"idx:0\"> x"},
        {{3, 5}, "<P align=\"right\">ri</P>"},
    };
    std::vector<TRect> Areas;
    for (const auto& [Cell, Text] : Texts)
        Areas.push_back(G->CellRect(Cell.X, Cell.Y));
    const TPictures P = PaintBothWays(G, [&](bool With) {
        for (const auto& [Cell, Text] : Texts)
            G->SetCells(Cell.X, Cell.Y, With ? Text : String());
    });
    ExpectMirrored("html", P, Areas);
    P.MirroredText->SaveToFile(ScreenshotPath("grid-bidi-html-rtl.bmp"));

    // The picture line reads as written at its mirrored place: the picture
    // starts the ink both ways, blue stripe first (not mirrored).
    const int W = G->ClientWidth();
    const TRect L = InkBox(P.PlainText.get(), P.Plain.get(), Areas[2]);
    const TRect R = InkBox(P.MirroredText.get(), P.Mirrored.get(), Mirror(Areas[2], W));
    ASSERT_FALSE(IsRectEmpty(&L) || IsRectEmpty(&R));
    const int Y = L.top + 8;
    for (const auto& [What, B, Left] : {std::tuple{"left to right", P.PlainText.get(), L.left},
                                        std::tuple{"right to left", P.MirroredText.get(), R.left}}) {
        EXPECT_EQ(gui::PixelAt(B, Left + 1, Y), RGB(0, 0, 255)) << What;
        EXPECT_EQ(gui::PixelAt(B, Left + 10, Y), RGB(255, 0, 0)) << What;
        EXPECT_EQ(gui::PixelAt(B, Left + 15, Y), RGB(255, 0, 0)) << What;
    }

    // The link, at its ink, in the mirrored grid.
    G->SetBiDiMode(bdRightToLeft);
    G->SetCells(2, 3, Texts[1].second);
    gui::Settle();
    const TRect Link = InkBox(P.MirroredText.get(), P.Mirrored.get(), Mirror(LinkCell, W));
    ASSERT_FALSE(IsRectEmpty(&Link));
    std::vector<String> Entered, Clicked;
    int Exits = 0;
    G->OnAnchorEnter = [&](TObject*, int, int, const String& A) { Entered.push_back(A); };
    G->OnAnchorExit = [&](TObject*, int, int, const String&) { ++Exits; };
    G->OnAnchorClick = [&](TObject*, int, int, const String& A, bool& Auto) {
        Clicked.push_back(A);
        Auto = false;
    };
    const TPoint On{(Link.left + Link.right) / 2, (Link.top + Link.bottom) / 2};
    const TPoint Away{G->CellRect(2, 3).left + (Link.right - Link.left) / 2 + 2, On.y};   // where it would be unmirrored
    Post(WM_MOUSEMOVE, 0, Away);
    EXPECT_TRUE(Entered.empty()) << "no link at the unmirrored place";
    Post(WM_MOUSEMOVE, 0, On);
    EXPECT_EQ(Entered, std::vector<String>{"go"});
    EXPECT_EQ(G->Cursor(), crHandPoint);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, On);
    Post(WM_LBUTTONUP, 0, On);
    EXPECT_EQ(Clicked, std::vector<String>{"go"});
    Post(WM_MOUSEMOVE, 0, Away);
    EXPECT_EQ(Exits, 1);
}

// The editors open over the cell as it shows: the text edit one pixel in
// from the mirrored cell's left line, the special editors likewise.
TEST_F(GridRightToLeft, EditorsOpenOverTheMirroredCell)
{
    G->SetOptions(G->Options() | goEditing);
    G->SetBiDiMode(bdRightToLeft);
    G->SetFocus();
    G->FocusCell(2, 3, true);
    G->ShowEditor();
    gui::Settle();
    const TRect Cell = G->CellRect(2, 3);
    TWinControl* Edit = G->InplaceEditor();
    ASSERT_NE(Edit, nullptr);
    ASSERT_TRUE(Edit->Visible());
    EXPECT_EQ(Edit->Left(), Cell.left + 1);
    EXPECT_EQ(Edit->Top(), Cell.top);
    EXPECT_EQ(Edit->Width(), RectWidth(Cell) - 1);
    G->HideEditor();

    G->DefaultEditor = edSpinEdit;
    G->FocusCell(3, 4, true);
    G->ShowEditor();
    gui::Settle();
    TWinControl* Spin = G->EditState().Shown;
    ASSERT_NE(Spin, nullptr);
    const TRect SpinCell = G->CellRect(3, 4);
    EXPECT_EQ(Spin->Left(), SpinCell.left + 1);
    EXPECT_EQ(Spin->Width(), RectWidth(SpinCell) - 2) << "one pixel less, as the cell's left moved in";
}

// The system windows of the editors read right to left in a mirrored grid
// (right-aligned, scroll bar on the left) and left to right again once the
// grid is: each editor class over a system window class.
TEST_F(GridRightToLeft, SystemEditorsTakeTheReadingOrder)
{
    // The editor window: the child of the grid that holds the focus.
    const auto EditorStyle = [this]() -> LONG_PTR {
        HWND W = GetFocus();
        while (W != nullptr && GetParent(W) != G->Handle())
            W = GetParent(W);
        return W == nullptr ? -1 : GetWindowLongPtrW(W, GWL_EXSTYLE);
    };
    const std::pair<const char*, TEditorType> Types[] = {
        {"default edit", edNormal},          {"spin edit", edSpinEdit},   {"edit with button", edEditBtn},
        {"combo", edComboEdit},              {"unicode edit", edUniEdit}, {"unicode combo", edUniComboEdit},
        {"unicode memo", edUniMemo},         {"rich text", edRichEdit},
    };
    G->SetOptions(G->Options() | goEditing);
    for (const auto& [Name, Type] : Types) {
        G->DefaultEditor = Type;
        for (const TBiDiMode Mode : {bdRightToLeft, bdLeftToRight}) {
            const bool Rtl = Mode == bdRightToLeft;
            G->SetBiDiMode(Mode);
            G->SetFocus();
            G->FocusCell(2, 3, true);
            gui::Settle();
            gui::PressKey(VK_F2);
            const LONG_PTR Style = EditorStyle();
            ASSERT_NE(Style, -1) << Name << ": no editor has the focus";
            EXPECT_EQ((Style & WS_EX_RTLREADING) != 0, Rtl) << Name << (Rtl ? " mirrored" : " plain");
            EXPECT_EQ((Style & WS_EX_LEFTSCROLLBAR) != 0, Rtl) << Name << (Rtl ? " mirrored" : " plain");
            gui::PressKey(VK_ESCAPE);
            G->SetFocus();
            gui::Settle();
        }
    }
}

// The search bar lays its controls out from the right edge: the search
// edit ends 25 pixels from it, the buttons and the box follow leftwards;
// the buttons put their glyph right of the caption.
TEST_F(GridRightToLeft, SearchBarIsLaidOutFromTheRight)
{
    G->SearchFooter()->SetVisible(true);
    gui::Settle();
    TSearchPanel* P = G->SearchPanel();
    TBitmap Glyph(16, 16);
    Glyph.Canvas()->Brush()->SetColor(clWhite);
    Glyph.Canvas()->FillRect(TRect{0, 0, 16, 16});
    Glyph.Canvas()->Brush()->SetColor(clRed);
    Glyph.Canvas()->FillRect(TRect{3, 3, 13, 13});
    struct Placed {
        TControl* Control;
        int Left;
    };
    const std::vector<Placed> Controls = {{P->SearchEdit(), 25},     {P->FindNextButton(), 140},
                                          {P->FindPrevButton(), 235}, {P->HighlightButton(), 330},
                                          {P->CloseButton(), 5},      {P->MatchCaseBox(), 425}};
    for (const Placed& C : Controls)
        EXPECT_EQ(C.Control->Left(), C.Left) << C.Control->ClassName();

    G->SetBiDiMode(bdRightToLeft);
    gui::Settle();
    const int W = P->ClientWidth();
    EXPECT_EQ(P->BiDiMode(), bdRightToLeft);
    EXPECT_EQ(P->SearchEdit()->Left(), W - 110 - 25);
    for (const Placed& C : Controls)
        EXPECT_EQ(C.Control->Left(), W - C.Left - C.Control->Width()) << C.Control->ClassName();
    G->SearchFooter()->SetShowHighLight(false);
    EXPECT_EQ(P->MatchCaseBox()->Left(), W - 330 - P->MatchCaseBox()->Width());
    G->SearchFooter()->SetShowHighLight(true);

    // A glyph button puts its glyph right of its caption when it reads
    // right to left.
    auto* Button = new TProGridButton(Form);
    Button->SetParent(Form);
    Button->SetBounds(440, 20, 90, 23);
    Button->SetCaption("Next");
    Button->SetGlyph(&Glyph);
    auto GlyphSide = [&] {
        Button->Invalidate();
        gui::Settle();
        auto B = gui::CaptureControl(Button);
        int Coloured = 0, Sum = 0;
        for (int Y = 0; Y < B->Height(); ++Y)
            for (int X = 0; X < B->Width(); ++X)
                if (gui::PixelAt(B.get(), X, Y) == RGB(255, 0, 0))
                    ++Coloured, Sum += X;
        return Coloured == 0 ? -1 : Sum / Coloured;
    };
    const int LeftToRight = GlyphSide();
    Form->SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(Button->BiDiMode(), bdRightToLeft);
    const int RightToLeft = GlyphSide();
    ASSERT_GE(LeftToRight, 0);
    EXPECT_LT(LeftToRight, Button->Width() / 2);
    EXPECT_GT(RightToLeft, Button->Width() / 2);
    gui::SaveScreenshot(Form, ScreenshotPath("grid-bidi-search-bar.png"));
}
