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

protected:
    void CreateWnd() override;
    void Paint() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WndProc(TMessage& Message) override;

private:
    int PaintFixedLastRow();
    int PaintColumnPreview();
    int PaintCustomPreview();
    // The strip (the columns' width from the left) and the rest of the client area.
    int StripWidth() const;
    // J of the column walk: one past the column under client x X.
    int ColumnWalk(int X) const;
    // Frames the preview strip and returns it.
    TRect PaintPreviewStrip();
    void FillSpare(int StripRight);

    TProStringGrid* FGrid;
    int FHintColumn = -1;
};
