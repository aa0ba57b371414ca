// HTML cells of a real grid under Wine: painted through the mini-HTML
// renderer (colours and tags, not the raw text), sized by it, and a
// screenshot of a demonstration grid.
#include <gtest/gtest.h>

#include "grid/core/HtmlRender.h"
#include "grid/core/ProGrid.h"
#include "tests/support/GuiHarness.h"

namespace {

std::string ScreenshotPath(const std::string& Name)
{
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    const std::string Dir(Path);
    return Dir.substr(0, Dir.find_last_of('\\') + 1) + Name;
}

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

class HtmlGridCells : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 640, 330);
        Form->SetCaption("HTML cells");
        G = new TProStringGrid(Form);
        G->SetParent(Form);
        G->SetBounds(4, 4, 612, 280);
        G->SetColCount(3);
        G->SetRowCount(6);
        G->SetFixedCols(1);
        G->SetFixedRows(1);
        G->SetColWidths(0, 60);
        G->SetColWidths(1, 240);
        G->SetColWidths(2, 300);
        G->SetDefaultRowHeight(24);
        G->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine);
        G->Font()->SetQuality(TFontQuality::fqNonAntialiased);
        Form->Show();
        gui::Settle();
    }
    void TearDown() override { delete Form; }

    TForm* Form = nullptr;
    TProStringGrid* G = nullptr;
};

TEST_F(HtmlGridCells, CellsArePaintedByTheRendererAndSizedByIt)
{
    G->SetCells(1, 1, "<B>Bold</B> and <FONT COLOR=\"clred\">red</FONT>");
    G->SetCells(1, 2, "plain <b>text</b>");
    G->SetCells(2, 2, "plain text");
    auto B = PaintGrid(G);
    const TRect Cell = G->CellRect(1, 1);
    EXPECT_GT(CountColour(B.get(), Cell, RGB(255, 0, 0)), 10) << "the FONT colour";

    // The tags are not shown: the HTML cell's ink equals that of the same
    // words drawn as plain text, except for the bold word.
    const TRect A = G->CellRect(1, 2), P = G->CellRect(2, 2);
    auto InkOf = [&](const TRect& R, int Width) {
        return gui::CountPixelsNot(B.get(), Rect(R.left + 1, R.top + 1, R.left + Width, R.bottom - 1),
                                   gui::PixelAt(B.get(), R.right - 3, R.top + 3));
    };
    const int PlainInk = InkOf(P, 200);
    const int HtmlInk = InkOf(A, 200);
    EXPECT_GT(HtmlInk, PlainInk) << "bold text has more ink";
    EXPECT_LT(HtmlInk, PlainInk * 2) << "no tag characters drawn";

    // Auto-size: the renderer's measure plus the margins.
    THtmlDrawResult M;
    {
        TBitmap Scratch(1, 1);
        Scratch.Canvas()->Font()->Assign(G->Font());
        M = MeasureHtmlText(Scratch.Canvas(), "plain <b>text</b>", Rect(0, 0, 65535, 65535));
    }
    const TPoint Size = G->GetCellTextSize(1, 2, false);
    EXPECT_EQ(Size.x, M.TextWidth + 2 * 2 + 2);
    EXPECT_EQ(Size.y, M.TextHeight + 2 * 2 + 2);
}

TEST_F(HtmlGridCells, DemonstrationScreenshot)
{
    G->SetCells(1, 0, "<B>Mini-HTML</B>");
    G->SetCells(2, 0, "<I>Form controls</I>");
    G->SetCells(1, 1, "<B>Bold</B>, <I>italic</I>, <U>under</U> and <S>struck</S>");
    G->SetCells(2, 1, "<B>Check</B> <CONTROL TYPE=\"CHECK\" ID=\"c\" WIDTH=\"16\" VALUE=\"TRUE\"> "
                      "<CONTROL TYPE=\"EDIT\" ID=\"e\" WIDTH=\"80\" VALUE=\"edit me\">");
    G->SetCells(1, 2, "<FONT COLOR=\"clred\">red</FONT> <FONT COLOR=\"#008000\">green</FONT> "
                      "<FONT BGCOLOR=\"clyellow\">marked</FONT> x<SUP>2</SUP> H<SUB>2</SUB>O");
    G->SetCells(2, 2, "<B>Pick</B> <CONTROL TYPE=\"COMBO\" ID=\"k\" WIDTH=\"90\" VALUE=\"combo\"> "
                      "<CONTROL TYPE=\"BUTTON\" ID=\"b\" WIDTH=\"60\" VALUE=\"Button\">");
    G->SetCells(1, 3, "A link: <A HREF=\"http://example.invalid\">click here</A> &amp; &permil;");
    G->SetCells(2, 3, "<B>Radio</B> <CONTROL TYPE=\"RADIO\" ID=\"r\" WIDTH=\"16\" VALUE=\"true\"> "
                      "<CONTROL TYPE=\"PASSWORD\" ID=\"p\" WIDTH=\"70\" VALUE=\"secret\">");
    G->SetCells(1, 4, "<FONT SIZE=\"4\" FACE=\"Arial\">Bigger</FONT> <SHAD>shadow</SHAD> <E>error</E>");
    G->SetCells(2, 4, "<HI>highlighted</HI> <P ALIGN=\"RIGHT\">right aligned</P>");
    G->SetRowHeights(2, 30);
    G->SetRowHeights(3, 26);
    G->SetRowHeights(4, 30);
    G->Invalidate();
    gui::Settle();
    gui::SaveScreenshot(Form, ScreenshotPath("html_cells.png"));
    auto B = PaintGrid(G);
    EXPECT_GT(CountColour(B.get(), G->CellRect(1, 3), RGB(0, 0, 255)), 10) << "the link colour";
    EXPECT_GT(CountColour(B.get(), G->CellRect(1, 2), RGB(255, 255, 0)), 10) << "the marked background";
}

} // namespace
