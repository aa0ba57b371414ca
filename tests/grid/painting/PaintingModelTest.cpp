// The grid's painting settings and layout rules without a window: rotated
// text start points, graphic placement, colour presets and schemes, looks,
// bands, progress appearance, column widths in INI files and the registry,
// alignment, float formatting and the save hook.

#include <gtest/gtest.h>

#include "framework/IniFile.h"
#include "framework/Stream.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/SearchFooter.h"
#include "tests/support/TempDir.h"

namespace {

std::unique_ptr<TProStringGrid> MakeGrid(int Cols, int Rows, int FixedCols = 0, int FixedRows = 0)
{
    auto G = std::make_unique<TProStringGrid>(nullptr);
    G->SetColCount(Cols);
    G->SetRowCount(Rows);
    G->SetFixedCols(FixedCols);
    G->SetFixedRows(FixedRows);
    return G;
}

TColor Rgb(TColor C) { return static_cast<TColor>(ColorToRGB(C)); }

TEST(RotatedTextLayout, StartPointsPerQuadrant)
{
    // A 100 x 60 cell, a text 40 wide and 10 high; the layout works in the
    // cell shrunk by 2: (2, 2) - (98, 58), 96 x 56.
    const TRect R{0, 0, 100, 60};
    const TSize T{40, 10};
    struct Case {
        int Angle;
        TAlignment H;
        TVAlignment V;
        TPoint Expected;
    };
    const Case Cases[] = {
        {0, taLeftJustify, vtaTop, {2, 2}},          // cW 40, sW 0, cH 10, sH 0
        {0, taRightJustify, vtaBottom, {58, 48}},
        {0, taCenter, vtaCenter, {30, 25}},          // 2 + (96 - 40) / 2; 2 - (10 - 56) / 2
        {90, taLeftJustify, vtaTop, {2, 42}},        // cW 0, sW 40, cH 0, sH 10: bottom-left start
        {90, taRightJustify, vtaBottom, {88, 58}},
        {180, taLeftJustify, vtaTop, {42, 12}},      // cW 40, cH 10: start at the far corner
        {180, taRightJustify, vtaBottom, {98, 58}},
        {270, taLeftJustify, vtaTop, {12, 2}},       // sH 10, sW 40
        {270, taRightJustify, vtaBottom, {98, 18}},
        {300, taLeftJustify, vtaTop, {2 + 8, 2}},    // A > 270: R.left + sH (sH = |trunc(sin 300 x 10)| = 8)
    };
    for (const Case& C : Cases) {
        const TPoint P = TProStringGrid::LayoutRotatedText(R, C.Angle, C.V, C.H, T);
        EXPECT_EQ(P.x, C.Expected.x) << "angle " << C.Angle << " h " << C.H << " v " << C.V;
        EXPECT_EQ(P.y, C.Expected.y) << "angle " << C.Angle << " h " << C.H << " v " << C.V;
    }
}

TEST(GraphicPlacement, BesideTheTextAndInTheCell)
{
    // The cell rectangle after the 1-pixel shrink: (10, 20) - (110, 60).
    const TRect R{10, 20, 110, 60};
    struct Case {
        TCellHAlign H;
        TCellVAlign V;
        TAlignment Text;
        int T;  // measured text width + 2
        TRect Expected;
    };
    const Case Cases[] = {
        {haLeft, vaTop, taLeftJustify, 0, {11, 21, 27, 37}},
        {haRight, vaBottom, taLeftJustify, 0, {93, 43, 109, 59}},
        {haCenter, vaCenter, taLeftJustify, 0, {52, 32, 68, 48}},
        {haBeforeText, vaTop, taRightJustify, 30, {64, 21, 80, 37}},   // R.right - T - W
        {haBeforeText, vaTop, taCenter, 30, {37, 21, 53, 37}},         // R.left + (100 - 30 - 16) / 2
        {haAfterText, vaTop, taLeftJustify, 30, {40, 21, 56, 37}},     // R.left + T
        {haAfterText, vaUnderText, taRightJustify, 30, {93, 44, 109, 60}},
        {haFull, vaFull, taLeftJustify, 0, {10, 20, 110, 60}},
    };
    for (const Case& C : Cases) {
        const TRect P = TProStringGrid::PlaceGraphic(R, C.H, C.V, C.Text, 16, 16, C.T);
        EXPECT_TRUE(P.left == C.Expected.left && P.top == C.Expected.top && P.right == C.Expected.right
                    && P.bottom == C.Expected.bottom)
            << "h " << C.H << " v " << C.V << " text " << C.Text << ": got " << P.left << "," << P.top << ","
            << P.right << "," << P.bottom;
    }
}

TEST(ColourPresets, TableOfFixedActiveLineAndSelectionColours)
{
    struct Case {
        TComponentStylePreset Preset;
        TColor FixedFrom, FixedTo, Active, ActiveTo, Line, FixedLine, Selection;
        bool ControlLookSet;
    };
    const Case Cases[] = {
        {tsOffice2003Blue, 0xFCE1CB, 0xE0A57D, 0x94E6FB, 0x1595EE, 0xC0C0C0, 0x808080, 0xEACAB6, true},
        {tsOffice2003Classic, 0xFFFFFF, 0xCCD4D8, 0xD8D5D4, 0xD8D5D4, 0xC0C0C0, 0x808080, 0xEACAB6, false},
        {tsOffice2007Luna, 0xFBF9F6, 0xE8DBD2, 0x9DD8F9, 0x5EC1F1, 0xE5D7D0, 0x808080, 0x5EC1F1, true},
        {tsWindowsXP, Rgb(clBtnFace), Rgb(clBtnFace), clBtnFace, clBtnFace, 0xC0C0C0, 0x808080, clHighlight, false},
        {tsWhidbey, 0xFFFFFF, Rgb(clBtnFace), 0x94E6FB, 0x1595EE, 0xC0C0C0, 0x808080, clHighlight, false},
        {tsOffice2007Silver, 0xF3F3F1, 0xCAC9C8, 0x99CCFF, 0x699CFF, 0xE5D7D0, 0x808080, 0x95C7F5, true},
        {tsWindowsVista, 0xFFFFFF, 0xFFFFFF, clBtnFace, clBtnFace, 0xC0C0C0, 0xD4D2D1, 0xEACAB6, false},
    };
    for (const Case& C : Cases) {
        auto G = MakeGrid(3, 3, 1, 1);
        G->SelectionTextColor = clRed;
        G->SetComponentStyle(C.Preset);
        SCOPED_TRACE(static_cast<int>(C.Preset));
        EXPECT_EQ(G->FixedGradientFrom, C.FixedFrom);
        EXPECT_EQ(G->FixedGradientTo, C.FixedTo);
        EXPECT_EQ(G->ActiveCellColor, C.Active);
        EXPECT_EQ(G->ActiveCellColorTo, C.ActiveTo);
        EXPECT_EQ(G->GridLineColor(), C.Line);
        EXPECT_EQ(G->GridFixedLineColor(), C.FixedLine);
        EXPECT_EQ(G->SelectionColor, C.Selection);
        EXPECT_EQ(G->SelectionTextColor, C.Preset == tsWindowsVista ? clWhite : clBlack);
        // Presets 3, 6, 7 and 10 leave the published pair at clNone while
        // the working copy shows the preset.
        EXPECT_EQ(G->ControlLook()->FixedGradientFrom() != clNone, C.ControlLookSet);
    }
}

TEST(ColourPresets, VistaSetsHoverDownAndSortHeaderColours)
{
    auto G = MakeGrid(3, 3, 1, 1);
    G->SetLook(glVista);
    const TFixedGradient F = G->FixedGradient();
    EXPECT_EQ(F.MirrorFrom, 0xFAF8F7);
    EXPECT_EQ(F.MirrorTo, 0xF4F2F1);
    EXPECT_EQ(F.HoverFrom, 0xFFF7E3);
    EXPECT_EQ(F.HoverBorder, 0xE3C993);
    EXPECT_EQ(F.DownMirrorTo, 0xF5D18A);
    EXPECT_EQ(F.DownBorder, 0xAE904F);
    EXPECT_EQ(G->SortSettings()->HeaderColor, 0xFCF9F2);
    EXPECT_EQ(G->SortSettings()->HeaderMirrorColorTo, 0xF6ECD8);
    EXPECT_EQ(G->ControlLook()->FixedGradientFrom(), clNone);
}

TEST(ColourPresets, CustomOnlyResetsTheSelectionTextColour)
{
    auto G = MakeGrid(3, 3, 1, 1);
    G->SetComponentStyle(tsOffice2003Olive);
    const TColor From = G->FixedGradientFrom;
    G->SelectionTextColor = clRed;
    G->SetComponentStyle(tsCustom);
    EXPECT_EQ(G->SelectionTextColor, clBlack);
    EXPECT_EQ(G->FixedGradientFrom, From);
}

TEST(Looks, SameLookDoesNothingAndClassicResetsTheGradient)
{
    auto G = MakeGrid(3, 3, 1, 1);
    G->FixedGradientFrom = 0x123456;
    G->SetLook(glXP);  // the current look
    EXPECT_EQ(G->FixedGradientFrom, 0x123456);
    G->SetLook(glClassic);
    EXPECT_EQ(G->FixedGradientFrom, clWhite);
    EXPECT_EQ(G->FixedGradientTo, Rgb(clBtnFace));
    EXPECT_EQ(G->FixedGradientMirrorFrom, clNone);
    EXPECT_EQ(G->GridFixedLineColor(), clGray);
}

TEST(Looks, ControlLookGradientSettersWriteTheWorkingCopy)
{
    auto G = MakeGrid(3, 3, 1, 1);
    G->ControlLook()->SetFixedGradientFrom(clBtnFace);  // converted to RGB in the copy
    EXPECT_EQ(G->FixedGradientFrom, Rgb(clBtnFace));
    G->ControlLook()->SetGradientColor(TFixedGradientSlot::HoverBorder, clBtnShadow);  // unconverted
    EXPECT_EQ(G->FixedGradient().HoverBorder, clBtnShadow);
    G->ControlLook()->SetFixedGradientFrom(clNone);  // only the property
    EXPECT_EQ(G->FixedGradientFrom, Rgb(clBtnFace));
    EXPECT_EQ(G->ControlLook()->FixedGradientFrom(), clNone);
}

TEST(ColourSchemes, UnknownSchemeGivesTheNoThemeColours)
{
    struct Case {
        int Scheme;
        TColor From, To, Active;
    };
    const Case Cases[] = {
        {0, clWhite, Rgb(clBtnFace), clWhite},
        {1, 0xFCE1CB, 0xE0A57D, 0x94E6FB},
        {2, 0xCFF0EA, 0x8CC0B1, 0x94E6FB},
        {3, 0xECE2E1, 0xB39698, 0x94E6FB},
        {4, clWhite, clWhite, 0x94E6FB},
        {7, clWhite, Rgb(clBtnFace), clWhite},
    };
    for (const Case& C : Cases) {
        auto G = MakeGrid(3, 3, 1, 1);
        G->ApplyThemeColorScheme(C.Scheme);
        EXPECT_EQ(G->FixedGradientFrom, C.From) << C.Scheme;
        EXPECT_EQ(G->FixedGradientTo, C.To) << C.Scheme;
        EXPECT_EQ(G->ActiveCellColor, C.Active) << C.Scheme;
    }
}

TEST(DisplaySettings, BandsCopiedFromAnotherGridKeepThePeriod)
{
    auto A = MakeGrid(3, 3);
    auto B = MakeGrid(3, 3);
    A->Bands()->SetPrimaryLength(2);
    A->Bands()->SetSecondaryLength(3);
    A->Bands()->SetActive(true);
    B->Bands()->Assign(A->Bands());
    EXPECT_EQ(B->Bands()->Period(), 5);
    EXPECT_TRUE(B->Bands()->Active());
}

TEST(DisplaySettings, ProgressAppearanceDefaultsAndOneChangePerAssign)
{
    TGridProgressAppearance A, B;
    EXPECT_EQ(A.Level2Color(), 0x53A9FF);
    EXPECT_EQ(A.Steps(), 11);
    EXPECT_EQ(A.UnCompleteColor(), clNone);
    int Changes = 0;
    B.OnChange = [&](TObject*) { ++Changes; };
    B.SetSteps(11);  // unchanged: no event
    EXPECT_EQ(Changes, 0);
    A.SetSteps(5);
    A.SetLevel0Color(clBlue);
    B.Assign(&A);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(B.Steps(), 5);
    EXPECT_EQ(B.Level0Color(), clBlue);
}

TEST(DisplaySettings, PrintSettingsDefaultsCopiesAndPrintFonts)
{
    TPrintSettings P;
    EXPECT_EQ(P.Borders, pbSingle);
    EXPECT_TRUE(P.Centered);
    EXPECT_EQ(P.PageNumSep, "/");
    EXPECT_EQ(P.DateFormat, "dd/mm/yyyy");
    EXPECT_EQ(P.FitToPage, fpNever);
    EXPECT_EQ(P.Time, ppNone);
    EXPECT_TRUE(P.UseDisplayFont);

    // Another grid's settings are copied by value, the fonts and title lines
    // into the grid's own objects.
    auto Source = MakeGrid(3, 3, 1, 1);
    auto G = MakeGrid(3, 3, 1, 1);
    Source->PrintSettings()->Borders = pbNoborder;
    Source->PrintSettings()->Centered = false;
    Source->PrintSettings()->TitleLines()->Add("Channels");
    Source->PrintSettings()->Font()->SetName("Courier New");
    Source->PrintSettings()->FixedFont()->SetSize(17);
    Source->PrintSettings()->UseDisplayFont = false;
    G->Assign(Source.get());
    TPrintSettings* Copy = G->PrintSettings();
    EXPECT_NE(Copy, Source->PrintSettings());
    EXPECT_EQ(Copy->Borders, pbNoborder);
    EXPECT_FALSE(Copy->Centered);
    ASSERT_EQ(Copy->TitleLines()->Count(), 1);
    EXPECT_EQ(Copy->TitleLines()->Strings(0), "Channels");
    EXPECT_NE(Copy->Font(), Source->PrintSettings()->Font());
    EXPECT_EQ(Copy->Font()->Name(), "Courier New");

    // Colours resolved for printing take the print fonts unless the display
    // fonts are asked for.
    G->Font()->SetName("Arial");
    struct Case {
        bool Printing, UseDisplayFont;
        int Col, Row;
        const char* ExpectedName;
        int ExpectedSize;
    };
    const int FixedSize = G->FixedFont()->Size();
    const Case Cases[] = {
        {true, false, 1, 1, "Courier New", 0},
        {true, false, 0, 1, nullptr, 17},
        {true, true, 1, 1, "Arial", 0},
        {false, false, 0, 1, nullptr, FixedSize},
    };
    for (const Case& C : Cases) {
        Copy->UseDisplayFont = C.UseDisplayFont;
        TBrush Brush;
        TFont Font;
        TGridDrawState State{};
        TResolvedCellColors Colors;
        G->ResolveCellColors(C.Col, C.Row, State, C.Printing, false, false, &Brush, &Font, Colors);
        if (C.ExpectedName)
            EXPECT_EQ(Font.Name(), C.ExpectedName) << C.Col << "," << C.Row << " printing " << C.Printing;
        else
            EXPECT_EQ(Font.Size(), C.ExpectedSize) << C.Col << "," << C.Row << " printing " << C.Printing;
    }
}

TEST(ColumnSizes, IniFileHoldsColNValuesAndLoadsThemBack)
{
    testfs::TempDir Dir("colsizes");
    const String File = testfs::PathStr(Dir / "grid.ini");
    auto G = MakeGrid(3, 2);
    G->SetColWidths(0, 40);
    G->SetColWidths(1, 55);
    G->SetColWidths(2, 70);
    G->ColumnSize()->Location = clIniFile;
    G->ColumnSize()->Key = File;
    G->ColumnSize()->Section = "Widths";
    G->SaveColumnSizes();
    TIniFile Ini(File);
    EXPECT_EQ(Ini.ReadInteger("Widths", "Col0", -1), 40);
    EXPECT_EQ(Ini.ReadInteger("Widths", "Col1", -1), 55);
    EXPECT_EQ(Ini.ReadInteger("Widths", "Col2", -1), 70);

    auto H = MakeGrid(3, 2);
    H->ColumnSize()->Location = clIniFile;
    H->ColumnSize()->Key = File;
    H->ColumnSize()->Section = "Widths";
    H->LoadColumnSizes();
    EXPECT_EQ(H->ColWidths(1), 55);
    EXPECT_EQ(H->ColWidths(2), 70);
}

TEST(ColumnSizes, SaveSetWritesTheWidthsWhenTheGridIsFreed)
{
    testfs::TempDir Dir("colsizes");
    const String File = testfs::PathStr(Dir / "grid.ini");
    {
        auto G = MakeGrid(2, 2);
        G->SetColWidths(1, 93);
        G->ColumnSize()->Save = true;
        G->ColumnSize()->Location = clIniFile;
        G->ColumnSize()->Key = File;
        G->ColumnSize()->Section = "S";
    }
    EXPECT_EQ(TIniFile(File).ReadInteger("S", "Col1", -1), 93);
}

TEST(ColumnSizes, EmptySectionNeitherSavesNorLoads)
{
    testfs::TempDir Dir("colsizes");
    const String File = testfs::PathStr(Dir / "grid.ini");
    auto G = MakeGrid(3, 2);
    G->ColumnSize()->Location = clIniFile;
    G->ColumnSize()->Key = File;
    G->SaveColumnSizes();
    EXPECT_FALSE(std::filesystem::exists(Dir / "grid.ini"));
}

TEST(ColumnSizes, RegistryRoundTrip)
{
    const String Key = "Software\\IrExtenderTests\\GridPainting";
    auto G = MakeGrid(2, 2);
    G->SetColWidths(0, 31);
    G->SetColWidths(1, 77);
    G->ColumnSize()->Key = Key;
    G->ColumnSize()->Section = "Cols";
    G->SaveColumnSizes();
    auto H = MakeGrid(2, 2);
    H->ColumnSize()->Key = Key;
    H->ColumnSize()->Section = "Cols";
    H->LoadColumnSizes();
    EXPECT_EQ(H->ColWidths(0), 31);
    EXPECT_EQ(H->ColWidths(1), 77);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\IrExtenderTests");
}

// One rule decides a cell's own background for the colour resolution and
// for the cell-colour hook: a brush colour that is set colours a cell of any
// type; a fixed cell keeps FixedColor; the header of the current row shows
// ActiveCellColor with ActiveCellShow.
TEST(CellColours, OwnBrushColourByCellTypeThroughBothPaths)
{
    auto G = MakeGrid(6, 6, 1, 1);
    G->SetFixedColor(clSilver);
    G->SetColor(clWindow);
    G->SetActiveCellShow(true);
    G->ActiveCellColor = clYellow;
    G->SetRow(4);
    G->SetCol(1);
    const TColor Own = clAqua;
    auto Graphic = [&](int C, int R, TCellType T) { G->NewCellGraphic(C, R)->CellType = T; };
    G->SetCells(1, 1, "text");
    G->PutCheckBox(2, 1, true, false);
    Graphic(3, 1, ctButton);
    Graphic(4, 1, ctPicture);
    G->MergeCells(1, 2, 2, 2);
    G->SetCells(0, 3, "fixed");
    const struct { const char* Name; int Col, Row; TColor Expected; } Cases[] = {
        {"text", 1, 1, Own},
        {"check box", 2, 1, Own},
        {"button", 3, 1, Own},
        {"picture", 4, 1, Own},
        {"merged base", 1, 2, Own},
        {"fixed", 0, 3, clSilver},
        {"header of the current row", 0, 4, clYellow},
    };
    for (const auto& C : Cases)
        G->EnsureCellProperties(C.Col, C.Row)->SetBrushColor(Own);
    for (const auto& C : Cases) {
        TGridDrawState State = 0;
        TBrush Brush;
        TFont Font;
        TResolvedCellColors Colors;
        G->ResolveCellColors(C.Col, C.Row, State, false, false, true, &Brush, &Font, Colors);
        EXPECT_EQ(Brush.Color(), C.Expected) << C.Name << ": resolved";
        // The hook alone, from the colour the cell had before it.
        TBrush Hooked;
        Hooked.SetColor((State & gdFixed) ? clSilver : clWindow);
        G->ApplyCellFontAndColor(C.Col, C.Row, &Font, &Hooked, State);
        EXPECT_EQ(Hooked.Color(), C.Expected) << C.Name << ": cell-colour hook";
    }
}

TEST(CellText, AutoNumAlignAndPropertiesAlignment)
{
    auto G = MakeGrid(3, 3);
    G->AutoNumAlign = true;
    G->SetCells(0, 0, "123");
    G->SetCells(1, 0, "abc");
    G->SetCells(2, 0, "1.5e3");
    TAlignment H;
    TVAlignment V;
    G->GetCellAlignment(0, 0, H, V);
    EXPECT_EQ(H, taRightJustify);
    G->GetCellAlignment(1, 0, H, V);
    EXPECT_EQ(H, taLeftJustify);
    G->GetCellAlignment(2, 0, H, V);
    EXPECT_EQ(H, taRightJustify);
    // A number cell with properties takes the properties' alignment.
    G->EnsureCellProperties(0, 0)->Alignment = taCenter;
    G->GetCellAlignment(0, 0, H, V);
    EXPECT_EQ(H, taCenter);
}

TEST(CellText, FloatFormatCases)
{
    auto G = MakeGrid(2, 2);
    struct Case {
        const char* Text;
        bool IsFloat;
        const char* Format;
        const char* Expected;
    };
    const Case Cases[] = {
        {"3.14159", true, "%.2f", "3.14"},
        {"3.14159", false, "%.2f", "3.14159"},   // IsFloat cleared: raw text
        {"42", true, "%05d", "00042"},
        {"2.5", true, "%d", "2.5"},               // an integer format of a decimal number fails: raw text
        {"abc", true, "%.2f", "abc"},             // not a number: no event, raw text
        // The conversion decides which value is formatted ...
        {"255", true, "%x", "ff"},
        {"3", true, "%.1f dB", "3.0 dB"},
        // ... and a format that does not take one number leaves the raw text.
        {"7", true, "%s", "7"},
        {"7", true, "%d of %d", "7"},
    };
    for (const Case& C : Cases) {
        G->SetCells(1, 1, C.Text);
        G->OnGetFloatFormat = [&](TObject*, int, int, bool& IsFloat, String& Format) {
            IsFloat = C.IsFloat;
            Format = C.Format;
        };
        String Out;
        G->GetFloatFormattedText(1, 1, Out);
        EXPECT_EQ(Out, C.Expected) << C.Text << " " << C.Format;
    }
}

// The display hook runs once for each text a user sees or a file receives:
// a wrapping hook shows its value wrapped once, painted and saved alike.
TEST(CellText, DisplayHookRunsOncePerShownOrSavedText)
{
    auto G = MakeGrid(4, 6, 0, 1);
    int Calls = 0;
    G->OnGetDisplText = [&](TObject*, int, int, String& V) {
        ++Calls;
        V = "<" + V + ">";
    };
    G->OnGetFloatFormat = [](TObject*, int, int, bool& IsFloat, String& Format) {
        IsFloat = true;
        Format = "%.1f";
    };
    G->SetCells(1, 1, "x");
    G->SetCells(2, 1, "2.5");
    const struct { const char* Name; int Col; const char* Shown; } Cells[] = {
        {"plain cell", 1, "<x>"},
        {"number cell with a format", 2, "<2.5>"},
    };
    for (const auto& C : Cells) {
        String Shown;
        Calls = 0;
        G->GetFloatFormattedText(C.Col, 1, Shown);
        EXPECT_EQ(Shown, C.Shown) << C.Name << ": painted";
        EXPECT_EQ(Calls, 1) << C.Name << ": painted";
        String Saved;
        Calls = 0;
        G->GetCellTextForSave(C.Col, 1, Saved);
        EXPECT_EQ(Saved, C.Shown) << C.Name << ": saved";
        EXPECT_EQ(Calls, 1) << C.Name << ": saved";
    }

    // A saved file holds each text wrapped once.
    testfs::TempDir Dir("displhook");
    const auto Path = Dir.Path() / "cells.txt";
    {
        TFileStream F(testfs::PathStr(Path), fmCreate);
        G->WriteGridTextStream(&F);
    }
    const std::string File = testfs::ReadBytes(Path);
    EXPECT_NE(File.find("1,1,<x>\r\n"), std::string::npos) << File;
    EXPECT_EQ(File.find("<<"), std::string::npos) << File;

    // A group header shows its count once.
    auto H = MakeGrid(3, 5, 0, 1);
    for (int R = 1; R <= 4; ++R)
        H->SetCells(1, R, R <= 3 ? "A" : "B");
    H->Grouping()->ShowGroupCount = true;
    H->Group(1);
    ASSERT_TRUE(H->IsNodeRow(1));
    String Header;
    H->GetFloatFormattedText(1, 1, Header);
    EXPECT_EQ(Header, "A (3)");
}

TEST(CellText, SaveHookGivesCheckTextsAndRtfPlainText)
{
    auto G = MakeGrid(2, 2);
    G->PutCheckBox(0, 0, true, false);
    String S;
    G->GetCellTextForSave(0, 0, S);
    EXPECT_EQ(S, G->CheckTrue);
    G->SetCells(1, 0, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Hello \\b world\\b0\\par}");
    G->GetCellTextForSave(1, 0, S);
    EXPECT_EQ(S, "Hello world");
    G->OnLoadCell = [](TObject*, int, int, String& V) { V = "[" + V + "]"; };
    G->SetCellTextFromLoad(1, 1, "x");
    EXPECT_EQ(G->Cells(1, 1), "[x]");
}

} // namespace
