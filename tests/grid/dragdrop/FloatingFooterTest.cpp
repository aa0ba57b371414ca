// The floating footer: what its settings do to the grid, the template of
// the custom preview, hints and clicks over its columns, and its painting.

#include <gtest/gtest.h>

#include "framework/Bitmap.h"
#include "framework/Form.h"
#include "framework/HintWindow.h"
#include "framework/Stream.h"
#include "grid/core/PictureContainer.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/FloatingFooter.h"
#include "grid/interaction/FooterPanel.h"
#include "tests/support/GuiHarness.h"

namespace {

std::string BesideExe(const std::string& Name)
{
    char Path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    const std::string Dir = Path;
    return Dir.substr(0, Dir.find_last_of('\\') + 1) + Name;
}

class Footer : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(60, 60, 560, 300);
        G = new TProStringGrid(Form);
        G->SetParent(Form);
        G->SetBounds(8, 8, 520, 240);
        G->SetColCount(5);
        G->SetRowCount(8);
        G->SetDefaultColWidth(80);
        G->SetDefaultRowHeight(20);
        for (int R = 0; R < 8; ++R)
            for (int C = 0; C < 5; ++C)
                G->SetCells(C, R, "c" + std::to_string(C) + "r" + std::to_string(R));
        Form->Show();
        gui::Settle();
        F = G->FloatingFooter();
        P = G->FooterPanel();
    }
    void TearDown() override { delete Form; }

    TForm* Form = nullptr;
    TProStringGrid* G = nullptr;
    TFloatingFooter* F = nullptr;
    TFooterPanel* P = nullptr;
};

} // namespace

TEST_F(Footer, VisibleAndStyleActOnTheGrid)
{
    F->SetVisible(true);
    EXPECT_EQ(P->Height(), 19);
    EXPECT_TRUE(P->Visible());
    EXPECT_EQ(G->FixedFooters(), 1);
    EXPECT_TRUE(G->HideLastRow);
    // The default row height is the footer's height: a shown strip follows.
    G->SetDefaultRowHeight(26);
    EXPECT_EQ(P->Height(), 26);
    G->SetDefaultRowHeight(20);
    EXPECT_EQ(P->Height(), 20);
    F->SetFooterStyle(fsColumnPreview);
    EXPECT_FALSE(G->HideLastRow);
    EXPECT_EQ(G->FixedFooters(), 1) << "only Visible writes FixedFooters";
    F->SetVisible(false);
    EXPECT_EQ(P->Height(), 0);
    EXPECT_EQ(G->FixedFooters(), 0);
    EXPECT_FALSE(G->HideLastRow);
    F->SetVisible(true);
    EXPECT_EQ(G->FixedFooters(), 0);
    EXPECT_FALSE(G->HideLastRow);

    // Assign makes the target visible through the setter but keeps its
    // own border colour and its panel's ShowHint.
    TProStringGrid Other(Form);
    Other.SetParent(Form);
    Other.FloatingFooter()->SetBorderColor(clRed);
    F->SetBorderColor(clBlue);
    F->SetShowHint(true);
    F->SetFooterStyle(fsFixedLastRow);
    Other.FloatingFooter()->Assign(F);
    EXPECT_TRUE(Other.FloatingFooter()->Visible());
    EXPECT_EQ(Other.FixedFooters(), 1);
    EXPECT_TRUE(Other.HideLastRow);
    EXPECT_EQ(Other.FloatingFooter()->BorderColor(), clRed);
    EXPECT_TRUE(Other.FloatingFooter()->ShowHint());
    EXPECT_FALSE(Other.FooterPanel()->ShowHint());
}

TEST_F(Footer, TemplateExpansion)
{
    G->SetRow(3);
    struct Case {
        const char* Template;
        const char* Shown;
    } Cases[] = {
        {"plain text", "plain text"},
        {"<#1> and <#2>", "c1r3 and c2r3"},
        {"<b><#4></b>!", "<b>c4r3</b>!"},
        {"a<#x>b", "ab"},
        {"<#99>|", "|"},
        {"x <#2", "x <#2"},
        {"<#1> <#", "c1r3 <#"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(P->ExpandTemplate(C.Template), C.Shown) << C.Template;
}

TEST_F(Footer, HintsAndClicksReportTheColumnUnderTheMouse)
{
    G->SetColCount(9);
    G->SetFixedCols(1);
    G->SetLeftCol(2);
    ASSERT_EQ(G->LeftCol(), 2);
    F->SetVisible(true);
    gui::Settle();
    std::vector<std::string> Hints;
    G->OnGridHint = [&](TObject*, int R, int C, String& H) {
        Hints.push_back(std::to_string(R) + "," + std::to_string(C));
        H = "col " + std::to_string(C);
    };
    String Hint;
    // ShowHint off: no hint, yet the event runs.
    EXPECT_EQ(P->CMHintShow(100, Hint), 1);
    EXPECT_EQ(P->HintColumn(), -1);
    F->SetShowHint(true);
    EXPECT_EQ(P->CMHintShow(100, Hint), 0);
    EXPECT_EQ(P->HintColumn(), 2) << "x 100 lies over the first scrolled column, column 2";
    EXPECT_EQ(Hint, "col 2");
    EXPECT_EQ(P->CMHintShow(40, Hint), 0);
    EXPECT_EQ(P->HintColumn(), 0) << "over the fixed column that column is reported";
    EXPECT_EQ(P->CMHintShow(1000, Hint), 0);
    EXPECT_EQ(P->HintColumn(), -1) << "right of the last column";
    const std::vector<std::string> Expected = {"7,2", "7,2", "7,0"};
    EXPECT_EQ(Hints, Expected);

    // The hint machinery asks the panel for the column under the mouse.
    const TPoint Over = P->ClientToScreen(TPoint{250, 5});
    SetCursorPos(Over.x, Over.y);
    THintWindow* Shown = HintShowNow(P);
    ASSERT_NE(Shown, nullptr);
    EXPECT_EQ(Shown->Caption(), "col 4");
    EXPECT_EQ(P->HintColumn(), 4);
    HintCancel();

    std::vector<std::string> Clicks;
    G->OnClick = [&](TObject*) { Clicks.push_back("click"); };
    G->OnClickCell = [&](TObject*, int R, int C) {
        Clicks.push_back("cell " + std::to_string(R) + "," + std::to_string(C));
    };
    gui::ClickAt(P, 170, 5);
    gui::ClickAt(P, 10, 5);
    const std::vector<std::string> ExpectedClicks = {"click", "cell 7,3", "click", "cell 7,0"};
    EXPECT_EQ(Clicks, ExpectedClicks);
}

TEST_F(Footer, PaintsTheLastRowAsFixedCellsAndThePreviews)
{
    G->SetFixedCols(1);
    G->SetCellBrushColor(2, 7, clYellow);
    F->SetColor(clLime);
    F->SetBorderColor(clRed);
    F->SetVisible(true);
    gui::Settle();
    gui::SaveScreenshot(Form, BesideExe("floating-footer-last-row.png"));
    auto Shot = gui::CaptureControl(P);
    EXPECT_EQ(gui::PixelAt(Shot.get(), 200, 0), static_cast<COLORREF>(clRed)) << "the border line";
    EXPECT_EQ(gui::PixelAt(Shot.get(), 440, 0), GetSysColor(COLOR_WINDOW)) << "no line past the columns";

    // With OnFooterPaint the application paints the normal cells; the cell's
    // own colour was filled in before, and a cell covered by a merged range
    // is left out while its base cell gets the merged width.
    G->MergeCells(3, 7, 2, 1);
    std::vector<std::string> Painted;
    G->OnFooterPaint = [&](TObject* Sender, int Col, TCanvas*, TRect R) {
        EXPECT_EQ(Sender, P);
        Painted.push_back(std::to_string(Col) + ":" + std::to_string(R.left) + "-" + std::to_string(R.right));
    };
    P->Invalidate();
    gui::Settle();
    Shot = gui::CaptureControl(P);
    EXPECT_EQ(gui::PixelAt(Shot.get(), 2 * 80 + 4, 5), static_cast<COLORREF>(clYellow)) << "the cell's own colour";
    const std::vector<std::string> ExpectedPaint = {"1:80-159", "2:160-239", "3:240-399"};
    EXPECT_EQ(Painted, ExpectedPaint);
    G->OnFooterPaint = nullptr;

    F->SetFooterStyle(fsCustomPreview);
    F->SetCustomTemplate("Row <b><#1></b> of <#2>");
    G->SetRow(2);
    gui::Settle();
    gui::SaveScreenshot(Form, BesideExe("floating-footer-custom.png"));
    Shot = gui::CaptureControl(P);
    const int Lime = gui::CountPixelsNot(Shot.get(), TRect{4, 3, 200, P->Height() - 2}, clLime);
    EXPECT_GT(Lime, 20) << "template text drawn on the footer colour";

    // Right of the columns the panel shows the grid's colour.
    G->SetColor(clAqua);
    gui::Settle();
    Shot = gui::CaptureControl(P);
    EXPECT_EQ(gui::PixelAt(Shot.get(), P->Width() - 3, 8), static_cast<COLORREF>(clAqua));
}

TEST_F(Footer, CustomPreviewShowsPicturesOfTheGridsContainer)
{
    // A 12 x 12 blue picture named "dot" in the grid's picture container.
    TBitmap Bmp(12, 12, TPixelFormat::pf24bit);
    Bmp.Canvas()->Brush()->SetColor(clBlue);
    Bmp.Canvas()->FillRect(TRect{0, 0, 12, 12});
    const String Bytes = Bmp.SaveToBytes();
    auto* Container = new TPictureContainer(Form);
    TPictureItem* Item = Container->Items()->Add();
    Item->SetName("dot");
    TMemoryStream S;
    S.WriteBuffer(Bytes.data(), static_cast<Integer>(Bytes.size()));
    S.SetPosition(0);
    Item->Picture()->LoadFromStream(&S);
    G->PictureContainer = Container;

    F->SetFooterStyle(fsCustomPreview);
    F->SetCustomTemplate("<IMG SRC=\"dot\"> <#1>");
    F->SetVisible(true);
    gui::Settle();
    gui::SaveScreenshot(Form, BesideExe("floating-footer-picture.png"));
    auto Shot = gui::CaptureControl(P);
    const int All = P->Width() * P->Height();
    const int NotBlue = gui::CountPixelsNot(Shot.get(), TRect{0, 0, P->Width(), P->Height()}, clBlue);
    EXPECT_GE(All - NotBlue, 60) << "the picture drawn in the strip";
    G->PictureContainer = nullptr;
}

namespace {

// A grid that records the footer calculations asked of it.
class TCountingGrid : public TProStringGrid {
public:
    using TProStringGrid::TProStringGrid;
    void CalcFooter(int ACol) override { Calculated.push_back(ACol); }
    std::vector<int> Calculated;
};

} // namespace

TEST(FooterCalculation, ChangeNotificationsReachCalcFooterAndChangeNoCell)
{
    TCountingGrid G(nullptr);
    G.SetColCount(3);
    G.SetRowCount(3);
    G.SetCells(1, 1, "x");
    bool Fired = false;
    G.OnFooterCalc = [&](TObject*, int, int, String&) { Fired = true; };
    G.FloatingFooter()->OnCalcFooter = [&](TObject*, int, int, String&) { Fired = true; };
    G.Calculated.clear();
    G.RecalcFooterColumn(2);
    G.CellChanged(1);
    G.CellsChanged(TRect{0, 0, 2, 2});
    EXPECT_EQ(G.Calculated, (std::vector<int>{2, 1, -1}));

    TProStringGrid Plain(nullptr);
    Plain.SetColCount(3);
    Plain.SetRowCount(3);
    Plain.SetCells(1, 1, "x");
    Plain.OnFooterCalc = G.OnFooterCalc;
    Plain.RecalcFooterColumn(1);
    Plain.CalcFooter(-1);
    EXPECT_EQ(Plain.Cells(1, 1), "x");
    EXPECT_FALSE(Fired);
}
