// Filling the grid from a delimited text file: the delimiter is guessed from
// the first two lines, each line becomes one row from column 0 on.
#include <cmath>

#include "grid/core/GridCsvReader.h"
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
    std::vector<String> FooterTexts;
    int R = 0;
    if (Append) {
        R = RowCount();
        if (FooterRow) {
            const int Last = RowCount() - 1;
            for (int C = 0; C < AllColCount(); ++C)
                FooterTexts.push_back(Cells(C, Last));
            DropRowCells(Last);
            R = Last;
        }
    }

    const String First = Lines.Count() > 0 ? Lines.Strings(0) : String();
    const String Second = Lines.Count() > 1 ? Lines.Strings(1) : String();
    const char Delimiter = GuessCsvDelimiter(First, Second);

    const int LineCount = Lines.Count();
    if (OnFileProgress)
        ChangeRowCount(std::max(1, LineCount + (Append ? RowCount() : FixedFooters())));

    int LastProgress = -1;
    int Read = 0;
    Lines.Reset();
    while (!Lines.AtEnd() && (MaxRows <= 0 || Read < MaxRows)) {
        String Line = Lines.ReadLine();
        ++Read;
        if (OemConvert)
            OemTextToAnsi(Line);
        if (R >= RowCount() - FixedFooters())
            ChangeRowCount(R + 1000);
        const std::vector<String> Fields = SplitCsvLine(Line, Delimiter);
        // The grid widens before a field lands beyond its last column.
        if (static_cast<int>(Fields.size()) > ColCount())
            SetColCount(static_cast<int>(Fields.size()));
        for (std::size_t C = 0; C < Fields.size(); ++C)
            SetCellTextFromLoad(static_cast<int>(C), R, Fields[C]);
        ++R;
        if (OnFileProgress) {
            const int P = static_cast<int>(std::nearbyint(static_cast<double>(Read) / LineCount * 100.0));
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
