#pragma once
// The strip that shows the grid's floating footer: the last row as fixed
// cells, one column of the current row, or a template filled from the
// current row. It answers hints and clicks for the column under the mouse.

#include "framework/Panel.h"

class TProStringGrid;

class TFooterPanel : public TCustomPanel {
public:
    // AOwner must be the grid.
    explicit TFooterPanel(TComponent* AOwner);

    int HintColumn() const { return FHintColumn; }
    // The template with every <#n> replaced by the text of column n in the
    // current row.
    String ExpandTemplate(const String& Template);
    // The answer to a hint request at client x X: 0 shows the hint (with
    // HintStr as the grid's OnGridHint left it), 1 shows none.
    int CMHintShow(int X, String& HintStr);
    // A rectangle of the footer laid out from the left as the panel shows
    // it: mirrored across the client width when the grid is mirrored
    // (right-to-left alignment), else R itself.
    TRect MirrorRect(const TRect& R) const;

protected:
    void CreateWnd() override;
    void Paint() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WndProc(TMessage& Message) override;
    // The grid's rows take or give back the panel's room.
    void Resize() override;
    void VisibleChanged() override;

private:
    int PaintFixedLastRow();
    int PaintColumnPreview();
    int PaintCustomPreview();
    // The strip (the columns' width from the left) and the rest of the client area.
    int StripWidth() const;
    // Whether the panel draws mirrored: it takes the grid's BiDiMode.
    bool Mirrored() const;
    // Pixel column X of a left-to-right footer as the panel shows it.
    int MirrorX(int X) const;
    // A line of a left-to-right footer (the end point excluded), drawn mirrored when Mirrored.
    void MirroredLine(int X1, int Y1, int X2, int Y2);
    // J of the column walk: one past the column under client x X.
    int ColumnWalk(int X) const;
    // Frames the preview strip and returns it.
    TRect PaintPreviewStrip();
    void FillSpare(int StripRight);

    TProStringGrid* FGrid;
    int FHintColumn = -1;
};
