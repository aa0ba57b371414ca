// Filling the grid from a delimited text file: the delimiter is guessed from
// the first two lines, each line becomes one row from column 0 on.
#include <algorithm>
#include <cmath>

#include "framework/StrUtils.h"
#include "grid/core/GridCsvReader.h"
#include "grid/core/GridLimits.h"
#include "grid/core/GridTextEscapes.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/FloatingFooter.h"

void TProStringGrid::ImportCSVFile(const String& FileName, int MaxRows) { ReadCSVFile(FileName, false, MaxRows); }

void TProStringGrid::ReadCSVFile(const String& FileName, bool Append, int MaxRows)
{
    TFileStringList Lines;
    Lines.LoadFromFile(FileName);   // raises before anything changes

    // Only a footer shown in the fixed-last-row style owns a row of the grid;
    // the preview styles paint over the rows and take none, so there the
    // last imported line must stay where it is.
    const bool FooterRow = FFloatingFooter && FFloatingFooter->Visible() &&
                           FFloatingFooter->FooterStyle() == fsFixedLastRow && FixedFooters() > 0;
    const int FirstRow = Append ? (FooterRow ? RowCount() - 1 : RowCount()) : 0;

    const String First = Lines.Count() > 0 ? Lines.Strings(0) : String();
    const String Second = Lines.Count() > 1 ? Lines.Strings(1) : String();
    const char Delimiter = GuessCsvDelimiter(First, Second);

    // The whole file is split and checked against the grid's limits before
    // anything of the grid changes: a file the grid cannot hold leaves it as
    // it was.
    const int LineCount = Lines.Count();
    const int ToRead = MaxRows > 0 ? std::min(MaxRows, LineCount) : LineCount;
    std::size_t MaxFields = 0;
    for (int I = 0; I < ToRead; ++I) {
        if (OemConvert) {
            String Line = Lines.Strings(I);
            OemTextToAnsi(Line);
            Lines.Put(I, Line);
        }
        MaxFields = std::max(MaxFields, SplitCsvLine(Lines.Strings(I), Delimiter).size());
    }
    Int64 NeededRows = Int64{FirstRow} + ToRead + FixedFooters();
    if (OnFileProgress)
        NeededRows = std::max<Int64>(NeededRows, Int64{LineCount} + (Append ? RowCount() : FixedFooters()));
    CheckGridCounts(std::max<Int64>(ColCount(), static_cast<Int64>(MaxFields)), NeededRows,
                    "CSV file " + QuotedExcerpt(FileName));

    std::vector<String> FooterTexts;
    if (Append && FooterRow) {
        const int Last = RowCount() - 1;
        for (int C = 0; C < AllColCount(); ++C)
            FooterTexts.push_back(Cells(C, Last));
        DropRowCells(Last);
    }
    if (OnFileProgress)
        ChangeRowCount(std::max(1, LineCount + (Append ? RowCount() : FixedFooters())));
    // The counts are raised once to what the lines need.
    if (static_cast<int>(MaxFields) > ColCount())
        SetColCount(static_cast<int>(MaxFields));
    if (FirstRow + ToRead > RowCount() - FixedFooters())
        ChangeRowCount(FirstRow + ToRead + FixedFooters());

    int LastProgress = -1;
    int R = FirstRow;
    for (int I = 0; I < ToRead; ++I) {
        const std::vector<String> Fields = SplitCsvLine(Lines.Strings(I), Delimiter);
        // The line is no longer needed: its memory goes before the cells take theirs.
        Lines.Put(I, String());
        for (std::size_t C = 0; C < Fields.size(); ++C)
            SetCellTextFromLoad(static_cast<int>(C), R, Fields[C]);
        ++R;
        if (OnFileProgress) {
            const int P = static_cast<int>(std::nearbyint(static_cast<double>(I + 1) / LineCount * 100.0));
            if (P != LastProgress) {
                LastProgress = P;
                OnFileProgress(this, static_cast<short>(P));
            }
        }
    }

    ChangeRowCount(std::max(1, R + FixedFooters()));
    NormalRowCount = RowCount();
    if (FooterRow) {
        const int Last = RowCount() - 1;
        for (int C = 0; C < AllColCount(); ++C)
            SetCells(C, Last, C < static_cast<int>(FooterTexts.size()) ? FooterTexts[static_cast<std::size_t>(C)]
                                                                      : String());
    }
    RowsChanged();
    CellsChanged(TRect{0, 0, ColCount(), RowCount()});
    AllCellsChanged();
}
