#pragma once
// The grid's drop target and drop source: cells, columns, text, rich text,
// files and links dropped on the grid, and the selection or a header
// column dragged out of it.

#include "grid/interaction/psgdd.h"

class TProStringGrid;

class TGridDropTarget : public TPSGDropTarget {
public:
    explicit TGridDropTarget(TProStringGrid* AGrid) : FGrid(AGrid) {}

    // The calls of the drop handling, public so that a caller holding the
    // target can drive it like the system does.
    void TextDropped(TPoint P, const String& Text) override;
    void ColumnDropped(TPoint P, int Column) override;
    void RichTextDropped(TPoint P, const String& Text) override;
    void FilesDropped(TPoint P, TStrings* Names) override;
    void URLDropped(TPoint P, const String& URL) override;
    void DraggingOver(TPoint P, bool& Allow, Byte Formats) override;
    void DragLeft() override;

private:
    void HideArrows();

    TProStringGrid* FGrid;
    DWORD FLastScrollTick = 0;
};

class TGridDropSource : public TPSGDropSource {
public:
    explicit TGridDropSource(TProStringGrid* AGrid) : FGrid(AGrid) {}

    // The last effect the target reported that was a copy or a move.
    DWORD LastEffect() const { return FLastEffect; }

protected:
    void EffectChanged(DWORD Effect) override;
    void DragMoved() override;
    void DragReleased() override;

private:
    TProStringGrid* FGrid;
    DWORD FLastEffect = DROPEFFECT_NONE;
};

// The plain text of a cell in rich text format: control words and the
// font, colour and style tables taken out.
String RichTextToPlain(const String& Rtf);
