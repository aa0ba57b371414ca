// Filling the grid from a delimited text file: the delimiter is guessed from
// the first two lines, each line becomes one row from column 0 on.
#include <algorithm>
#include <climits>
#include <cmath>

#include "framework/Stream.h"
#include "framework/StrUtils.h"
#include "grid/core/GridCsvReader.h"
#include "grid/core/GridLimits.h"
#include "grid/core/GridTextEscapes.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/FloatingFooter.h"

namespace {

// The lines of an open file, read a block at a time from its start. Lines
// end at CR, LF or CR LF; a line end at the very end brings no empty line
// after it. Only a block and the current line are held, never the file.
class TFileLines {
public:
    explicit TFileLines(TStream* Stream) : FStream(Stream) { FStream->SetPosition(0); }

    // The next line into Line; false at the end of the file.
    bool Next(String& Line)
    {
        for (;;) {
            const std::size_t End = FBuffer.find_first_of("\r\n", std::max(FPos, FScanned));
            // A CR that ends the buffer may have its LF in the next block.
            if (End != String::npos && (End + 1 < FBuffer.size() || FBuffer[End] == '\n' || FAtEnd)) {
                Line.assign(FBuffer, FPos, End - FPos);
                FPos = End + 1;
                FScanned = 0;
                if (FBuffer[End] == '\r' && FPos < FBuffer.size() && FBuffer[FPos] == '\n')
                    ++FPos;
                return true;
            }
            if (FAtEnd) {
                if (FPos >= FBuffer.size())
                    return false;
                Line.assign(FBuffer, FPos, String::npos);
                FPos = FBuffer.size();
                return true;
            }
            // A long line is searched for its end once, and moved once.
            FBuffer.erase(0, FPos);
            FPos = 0;
            const std::size_t Old = FBuffer.size();
            FScanned = Old > 0 && FBuffer[Old - 1] == '\r' ? Old - 1 : Old;
            FBuffer.resize(Old + Block);
            const Integer Got = FStream->Read(FBuffer.data() + Old, static_cast<Integer>(Block));
            FBuffer.resize(Old + static_cast<std::size_t>(std::max<Integer>(Got, 0)));
            FAtEnd = Got <= 0;
        }
    }

private:
    static constexpr std::size_t Block = 64 * 1024;
    TStream* FStream;
    String FBuffer;
    std::size_t FPos = 0;
    std::size_t FScanned = 0;   // where the search for a line end goes on
    bool FAtEnd = false;
};

} // namespace

void TProStringGrid::ImportCSVFile(const String& FileName, int MaxRows) { ReadCSVFile(FileName, false, MaxRows); }

void TProStringGrid::ReadCSVFile(const String& FileName, bool Append, int MaxRows)
{
    // The file is read twice, a block at a time: once to check it, once to
    // fill the cells. It stays open, closed to writers, in between.
    TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);   // raises before anything changes

    // Only a footer shown in the fixed-last-row style owns a row of the grid;
    // the preview styles paint over the rows and take none, so there the
    // last imported line must stay where it is.
    const bool FooterRow = FFloatingFooter && FFloatingFooter->Visible() &&
                           FFloatingFooter->FooterStyle() == fsFixedLastRow && FixedFooters() > 0;
    const int FirstRow = Append ? (FooterRow ? RowCount() - 1 : RowCount()) : 0;

    // The whole file is split and checked against the grid's limits before
    // anything of the grid changes: a file the grid cannot hold leaves it as
    // it was. The delimiter is guessed from the first two lines as read.
    String First, Second, Line;
    Int64 LineTotal = 0;
    std::size_t MaxFields = 0;
    char Delimiter = 0;
    const auto CheckLine = [&](String L) {
        if (OemConvert)
            OemTextToAnsi(L);
        MaxFields = std::max(MaxFields, SplitCsvLine(L, Delimiter).size());
    };
    for (TFileLines Lines(&File); Lines.Next(Line);) {
        ++LineTotal;
        if (LineTotal == 1) {
            First = Line;
            continue;
        }
        if (LineTotal == 2) {
            // The delimiter is known from here on; the first line waited for it.
            Second = Line;
            Delimiter = GuessCsvDelimiter(First, Second);
            CheckLine(First);
        }
        if (MaxRows <= 0 || LineTotal <= MaxRows)
            CheckLine(Line);
    }
    if (LineTotal < 2) {
        Delimiter = GuessCsvDelimiter(First, Second);
        if (LineTotal == 1)
            CheckLine(First);
    }
    const int LineCount = static_cast<int>(std::min<Int64>(LineTotal, INT_MAX));
    const int ToRead = MaxRows > 0 ? std::min(MaxRows, LineCount) : LineCount;
    Int64 NeededRows = Int64{FirstRow} + ToRead + FixedFooters();
    if (OnFileProgress)
        NeededRows = std::max<Int64>(NeededRows, LineTotal + (Append ? RowCount() : FixedFooters()));
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
    TFileLines Lines(&File);
    for (int I = 0; I < ToRead && Lines.Next(Line); ++I) {
        if (OemConvert)
            OemTextToAnsi(Line);
        const std::vector<String> Fields = SplitCsvLine(Line, Delimiter);
        // The row's storage grows once for the fields that hold a text.
        ExpectRowCells(R, static_cast<int>(std::count_if(Fields.begin(), Fields.end(),
                                                         [](const String& F) { return !F.empty(); })));
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
    ExpectRowCells(-1, 0);

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
