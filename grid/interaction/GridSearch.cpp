// Text search in the grid, the search footer's handling, the highlighting
// of matches and the incremental search in a sorted column.

#include <algorithm>

#include "framework/Codepage.h"
#include "framework/StrUtils.h"
#include "grid/core/HtmlStrip.h"
#include "grid/core/HtmlTextRoutines.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/SearchFooter.h"
#include "grid/interaction/SearchPanel.h"

namespace {

// The search text of the running search, as CellMatchesSearch compares it
// (upper-cased unless the search is case sensitive).
String& CurrentSearchText()
{
    static String Text;
    return Text;
}

// Upper case by the locale's rules, through the wide form of the text.
String LocaleUpper(const String& S)
{
    WideString W = StrToWide(S);
    if (!W.empty())
        CharUpperBuffW(W.data(), static_cast<DWORD>(W.size()));
    return WideToStr(W);
}

} // namespace

// ---------------------------------------------------------------------------
// Searching

TGridCoord TProStringGrid::SearchFrom(TGridCoord Start, const String& Text, TGridCoord& Found, TFindParams Options)
{
    ReportProgress(0, 0);
    SearchCells(Start, Text, Found, Options);
    ReportProgress(Found.X < 0 ? 2 : 4, 0);
    return Found;
}

TGridCoord TProStringGrid::SearchCells(TGridCoord Start, const String& Text, TGridCoord& Found, TFindParams Options)
{
    Found = TGridCoord{-1, -1};
    SearchOptions = Options;
    CurrentSearchText() = (Options & soCaseSensitive) ? Text : LocaleUpper(Text);
    const int FixedC = FixedCols();
    const int FixedR = FixedRows();
    if (FixedC >= ColCount() || FixedR >= RowCount())
        return Found;
    int C1 = FixedC;
    int C2 = ColCount() - FixedRightCols() - 1;
    const int R1 = FixedR;
    int R2 = RowCount() - FixedFooters() - 1;
    // With nodes the range reaches as far as the hidden rows, but never
    // beyond the grid's last row.
    if (HasNodes())
        R2 = std::min(R2 + HiddenRowCount(), RowCount() - 1);
    if (C2 < C1 || R2 < R1)
        return Found;
    const bool Back = (Options & soBackward) != 0;
    int C;
    int R;
    if (Start.X == -1 && Start.Y == -1) {
        C = Back ? C2 : C1;
        R = Back ? R2 : R1;
    } else if (!Back) {
        if (Start.Y >= R1 && Start.Y < R2 && Start.X >= C1) {
            C = Start.X;
            R = Start.Y + 1;
        } else if (Start.X >= C1) {
            C = Start.X + 1;
            R = R1;
        } else {
            C = C1;
            R = R1;
        }
    } else {
        if (Start.Y > R1 && Start.Y <= R2 && Start.X <= C2) {
            C = Start.X;
            R = Start.Y - 1;
        } else if (Start.X <= C2) {
            C = Start.X - 1;
            R = R2;
        } else {
            C = C2;
            R = R2;
        }
    }
    if (Options & soPresetColumn) {
        if (PresetSearchColumn >= 0 && PresetSearchColumn < ColCount())
            C = C1 = C2 = PresetSearchColumn;
    } else if (Options & soCurrentColOnly)
        C = C1 = C2 = Col();
    while (C >= C1 && C <= C2) {
        while (R >= R1 && R <= R2) {
            ReportProgress(1, R);
            if (CellMatchesSearch(C, R)) {
                Found = TGridCoord{C, R};
                LastFoundCell = Found;
                if (Options & soSelectFound) {
                    if (FMouseActions->DisjunctRowSelect()) {
                        ClearRowSelection();
                        SetRowSelected(R, true);
                    } else {
                        SetCurrentRow(R);
                        SetCol(C);
                    }
                }
                return Found;
            }
            R += Back ? -1 : 1;
        }
        R = Back ? R2 : R1;
        C += Back ? -1 : 1;
    }
    return Found;
}

bool TProStringGrid::CellMatchesSearch(int ACol, int ARow)
{
    String S = ReadCellText(RealColIndex(ACol), ARow);
    if (!(SearchOptions & soCaseSensitive))
        S = LocaleUpper(S);
    if (SearchOptions & soPlainText)
        S = HtmlToPlainText(S);
    const String& Find = CurrentSearchText();
    if (Find == "\"\"")
        return S.empty();
    const size_t P = S.find(Find);
    if (SearchOptions & soAtStart)
        return P == 0;
    return P != String::npos;
}

void TProStringGrid::DoSearchFooterAction(const String& Value, int ACol, int ARow, TSearchAction Action)
{
    if (OnSearchFooterAction)
        OnSearchFooterAction(this, Value, ACol, ARow, Action);
}

namespace {

// The options of a search from the footer, built fresh each time.
TFindParams FooterSearchOptions(TProStringGrid* Grid)
{
    TSearchPanel* Panel = Grid->SearchPanel();
    TSearchFooter* F = Grid->SearchFooter();
    TFindParams O = soSelectFound;
    if (Panel->HighlightButton()->Down())
        O |= soPlainText;
    if (Panel->MatchCaseBox()->Checked())
        O |= soCaseSensitive;
    if (F->SearchActiveColumnOnly())
        O |= soCurrentColOnly;
    if (F->SearchMatchStart())
        O |= soAtStart;
    if (F->SearchColumn() >= 0 && F->SearchColumn() < Grid->ColCount()) {
        O |= soPresetColumn;
        Grid->PresetSearchColumn = F->SearchColumn();
    }
    return O;
}

// Keeps the current row clear of the search bar.
void KeepRowAboveBar(TProStringGrid* Grid)
{
    if (Grid->Row() > Grid->TopRow() + Grid->VisibleRowCount() - 2
        && Grid->VisibleRowCount() + Grid->FixedRows() < Grid->RowCount())
        Grid->SetTopRow(std::min(Grid->TopRow() + 2, Grid->RowCount() - 1));
}

} // namespace

void TProStringGrid::SearchEditChanged(const String& Value)
{
    bool DefaultSearch = true;
    if (OnSearchEditChange)
        OnSearchEditChange(this, Value, DefaultSearch);
    if (!DefaultSearch || !FSearchFooter->AutoSearch)
        return;
    TRetEdit* Edit = SearchPanel()->SearchEdit();
    if (!Value.empty()) {
        TGridCoord Found;
        LastFoundCell = SearchFrom(TGridCoord{-1, -1}, Value, Found, FooterSearchOptions(this));
        DoSearchFooterAction(Value, LastFoundCell.X, LastFoundCell.Y, saFindFirst);
        if (LastFoundCell.X < 0) {
            Edit->SetColor(clRed);
            RemoveHighlights(false);
        } else {
            Edit->SetColor(clWindow);
            ScrollToCell(LastFoundCell.X, LastFoundCell.Y);
            RemoveHighlights(false);
            if (SearchPanel()->HighlightButton()->Down())
                HighlightMatches(false, false, Value);
        }
    } else {
        Edit->SetColor(clWindow);
        RemoveHighlights(false);
    }
    KeepRowAboveBar(this);
}

void TProStringGrid::SearchFooterFindNext()
{
    const String Text = SearchPanel()->SearchEdit()->Text();
    if (!FSearchFooter->AutoSearch) {
        if (Text != FSearchFooter->LastSearch)
            LastFoundCell = TGridCoord{-1, -1};
        FSearchFooter->LastSearch = Text;
    }
    TGridCoord Found;
    LastFoundCell = SearchFrom(LastFoundCell, Text, Found, FooterSearchOptions(this));
    if (LastFoundCell.X >= 0)
        ScrollToCell(LastFoundCell.X, LastFoundCell.Y);
    KeepRowAboveBar(this);
    DoSearchFooterAction(Text, LastFoundCell.X, LastFoundCell.Y, saFindNext);
}

void TProStringGrid::SearchFooterFindPrevious()
{
    const String Text = SearchPanel()->SearchEdit()->Text();
    if (!FSearchFooter->AutoSearch) {
        if (Text != FSearchFooter->LastSearch)
            LastFoundCell = TGridCoord{-1, -1};
        FSearchFooter->LastSearch = Text;
    }
    TGridCoord Found;
    LastFoundCell = SearchFrom(LastFoundCell, Text, Found, FooterSearchOptions(this) | soBackward);
    KeepRowAboveBar(this);
    if (LastFoundCell.X >= 0)
        ScrollToCell(LastFoundCell.X, LastFoundCell.Y);
    DoSearchFooterAction(Text, LastFoundCell.X, LastFoundCell.Y, saFindPrevious);
}

void TProStringGrid::SearchFooterHighlight()
{
    if (SearchPanel()->HighlightButton()->Down())
        HighlightMatches(false, false, SearchPanel()->SearchEdit()->Text());
    else
        RemoveHighlights(false);
}

void TProStringGrid::SearchFooterClose()
{
    if (OnSearchFooterClose)
        OnSearchFooterClose(this);
    FSearchFooter->SetVisible(false);
}

// ---------------------------------------------------------------------------
// The panel

TSearchPanel* TProStringGrid::SearchPanel()
{
    if (!FSearchPanel) {
        FSearchPanel = new TSearchPanel(this);   // owned by the grid
        FSearchPanel->SetVisible(false);
        FSearchPanel->SetHeight(0);
        FSearchPanel->SetParent(this);
        FSearchPanel->SetAlign(alBottom);
        FSearchPanel->OnFindNext = [this](TObject*) { SearchFooterFindNext(); };
        FSearchPanel->OnFindPrevious = [this](TObject*) { SearchFooterFindPrevious(); };
        FSearchPanel->OnEditChange = [this](TObject*) { SearchEditChanged(FSearchPanel->SearchEdit()->Text()); };
        FSearchPanel->OnClose = [this](TObject*) { SearchFooterClose(); };
        FSearchPanel->OnHighlight = [this](TObject*) { SearchFooterHighlight(); };
    }
    return FSearchPanel;
}

void TProStringGrid::UpdateSearchPanel()
{
    TSearchFooter* F = FSearchFooter.get();
    // Nothing to show and nothing made yet: the panel waits for its first use.
    if (!FSearchPanel && !F->Visible())
        return;
    TSearchPanel* P = SearchPanel();
    const TRect AreaBefore = CellArea();
    if (P->HighlightButton()->Down() && P->Visible() && !F->Visible())
        RemoveHighlights(false);
    P->SetColor(F->Color());
    P->SetColorTo(F->ColorTo());
    P->SetVisible(F->Visible());
    P->FindNextButton()->SetCaption(F->FindNextCaption());
    P->FindPrevButton()->SetCaption(F->FindPrevCaption());
    P->MatchCaseBox()->SetCaption(F->MatchCaseCaption());
    P->HighlightButton()->SetCaption(F->HighLightCaption());
    const std::pair<TProGridButton*, String> Hints[] = {{P->CloseButton(), F->HintClose()},
                                                         {P->FindNextButton(), F->HintFindNext()},
                                                         {P->FindPrevButton(), F->HintFindPrev()},
                                                         {P->HighlightButton(), F->HintHighlight()}};
    for (const auto& [Button, Hint] : Hints) {
        Button->SetHint(Hint);
        Button->SetShowHint(!Hint.empty());
    }
    P->Font()->Assign(F->Font());
    TProGridButton* Buttons[] = {P->FindNextButton(), P->FindPrevButton(), P->HighlightButton()};
    for (TProGridButton* B : Buttons) {
        if (AutoThemeAdapt) {
            B->SetAutoThemeAdapt(true);
            B->SetFlat(true);
        } else if (ControlLook()->ControlStyle() == csFlat)
            B->SetFlat(true);
        else if (ControlLook()->ControlStyle() == csWinXP) {
            B->SetAutoXPStyle(true);
            B->SetFlat(false);
        } else if (ControlLook()->ControlStyle() == csClassic) {
            B->SetAutoXPStyle(false);
            B->SetFlat(false);
        }
    }
    P->HighlightButton()->SetVisible(F->ShowHighLight());
    P->CloseButton()->SetVisible(F->ShowClose());
    P->MatchCaseBox()->SetVisible(F->ShowMatchCase());
    P->FindPrevButton()->SetVisible(F->ShowFindPrev());
    P->FindNextButton()->SetVisible(F->ShowFindNext());
    TCheckBox* Box = P->MatchCaseBox();
    Box->SetBounds(Box->Left(), Box->Top(), Box->Width(), F->ShowMatchCase() ? 17 : 0);
    P->SetControlLeft(Box, F->ShowHighLight() ? 425 : 330);
    for (TProGridButton* B : Buttons)
        B->SetBounds(B->Left(), B->Top(), B->Width(), B->Visible() ? 23 : 0);
    P->SetHeight(F->Visible() ? 32 : 0);
    if (CellArea().bottom != AreaBefore.bottom)
        CellAreaChanged();
}

// ---------------------------------------------------------------------------
// Highlighting

void TProStringGrid::HighlightMatches(bool WholeGrid, bool CaseSensitive, const String& Text)
{
    const int C1 = WholeGrid ? 0 : FixedCols();
    const int C2 = WholeGrid ? ColCount() - 1 : ColCount() - FixedRightCols() - 1 + HiddenColCount();
    const int R1 = WholeGrid ? 0 : FixedRows();
    const int R2 = WholeGrid ? RowCount() - 1 : RowCount() - FixedFooters() - 1;
    for (int R = R1; R <= R2; ++R)
        for (int C = C1; C <= std::min(C2, ColCount() - 1); ++C) {
            const String S = ReadCellText(C, R);
            const String H = HighlightHtmlText(S, Text, "hi", CaseSensitive);
            if (H != S) {
                WriteCellText(C, R, H);
                SearchHighlights.emplace_back(S, H);
            }
        }
}

void TProStringGrid::RemoveHighlights(bool WholeGrid)
{
    const int C1 = WholeGrid ? 0 : FixedCols();
    const int C2 = WholeGrid ? ColCount() - 1 : ColCount() - FixedRightCols() - 1 + HiddenColCount();
    const int R1 = WholeGrid ? 0 : FixedRows();
    const int R2 = WholeGrid ? RowCount() - 1 : RowCount() - FixedFooters() - 1;
    for (int R = R1; R <= R2; ++R)
        for (int C = C1; C <= std::min(C2, ColCount() - 1); ++C) {
            if (SearchHighlights.empty())
                return;
            // Found by text, not by place: rows may have moved since.
            const String S = ReadCellText(C, R);
            const auto It = std::find_if(SearchHighlights.begin(), SearchHighlights.end(),
                                         [&](const std::pair<String, String>& E) { return E.second == S; });
            if (It != SearchHighlights.end()) {
                WriteCellText(C, R, It->first);
                SearchHighlights.erase(It);
            }
        }
    SearchHighlights.clear();
}

// ---------------------------------------------------------------------------
// Incremental search in the sorted column

int TProStringGrid::FindSortedPrefixRow(const String& Text)
{
    if (RowCount() < 2)
        return -1;
    int C;
    if (!SortSettings()->Show)
        C = FixedCols();
    else if (SortSettings()->IndexShow)
        C = SortIndexes()->Count() > 0 ? SortIndexes()->GetSortColumn(0) : FixedCols();
    else
        C = SortSettings()->Column;
    if (C < 0 || C >= ColCount())
        return -1;
    for (int R = FixedRows(); R < RowCount(); ++R) {
        const String Plain = HtmlToPlainText(ReadCellText(C, R)).substr(0, Text.size());
        if (LocaleUpper(Plain) == Text)
            return R;
    }
    return -1;
}
