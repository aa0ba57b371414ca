#pragma once
// The code editor: one slot's code record as numbers, edited in place. The
// feature table shows the record's two rows of eight 16-bit words in
// decimal; the code grid shows the first 256 code bytes in hexadecimal,
// each value column beside a blue column of the byte numbers. The editor
// never changes a record's length. Cells are edited with the grids' own
// in-place editing: OnCanEditCell says which cells open the editor, and
// OnKeyPress sees every key typed into it.
//
// Record layout: 16-bit length, one byte left alone, the two feature rows
// (8 little-endian words each), then the code bytes.

#include "framework/Button.h"
#include "framework/Form.h"
#include "framework/GroupBox.h"
#include "grid/core/ProGrid.h"

namespace vantrel {

// Offsets of the record fields the editor shows.
constexpr std::size_t FeatureOffset = 3;
constexpr std::size_t CodeOffset = 35;
constexpr int EditedCodeBytes = 256;

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* AOwner);
    ~TForm1() override;

    void InitCodeGrid();
    // Shows Record in the grids; a record too short to hold the feature
    // table is refused with a message and the grids keep what they showed.
    void LoadCode(const String& Record);
    // The record with the grids' values written in (the feature cells in
    // decimal, the code cells in hexadecimal; an empty cell is 0, only the
    // low 16 or 8 bits are kept). Raises EConvertError for a cell that is
    // not a number, leaving the record being edited as it was.
    String StoreCode();
    const String& EditedRecord() const { return FRecord; }

    void FormCreate(TObject* Sender);
    void ProStringGrid1CanEditCell(TObject* Sender, int ARow, int ACol, bool& CanEdit);
    void ProStringGrid2CanEditCell(TObject* Sender, int ARow, int ACol, bool& CanEdit);
    void ProStringGrid2KeyPress(TObject* Sender, char& Key);
    void Button1Click(TObject* Sender);

    TGroupBox* GroupBox1;
    TProStringGrid* ProStringGrid1;
    TGroupBox* GroupBox2;
    TProStringGrid* ProStringGrid2;
    TButton* Button1;
    TButton* Button2;
    TButton* Button3;

private:
    String FRecord;
};

extern TForm1* Form1;

// The cell of the code grid that shows code byte N (0 to 255).
inline int CodeCellCol(int N) { return (N / 16) * 2 + 1; }
inline int CodeCellRow(int N) { return N % 16; }

} // namespace vantrel
