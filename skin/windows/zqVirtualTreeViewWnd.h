#pragma once
// Skinned virtual tree controls of another library, found by their
// published properties: their text colours and header options are reached
// by name, and their column header is painted from the skin through the
// header-drawing events the control publishes.

#include <functional>

#include "skin/windows/zqEditWnd.h"

class TCanvas;

// The parts of a header column a painter is asked for (bits of Elements).
enum : unsigned {
    hpeBackground = 1,
    hpeDropMark = 2,
    hpeHeaderGlyph = 4,
    hpeSortGlyph = 8,
    hpeText = 16,
};

// One column of the header to paint (Column -1: the room after the last).
struct TzqHeaderPaintInfo {
    TCanvas* TargetCanvas = nullptr;
    TRect PaintRectangle{};
    int Column = -1;
    String Text;
    bool IsHoverIndex = false;
    bool IsDownIndex = false;
    bool ShowSortGlyph = false;
    TPoint SortGlyphPos{};
};

// The handler types of the events "OnAdvancedHeaderDraw" and
// "OnHeaderDrawQueryElements".
using TzqAdvancedHeaderDrawEvent = std::function<void(TzqHeaderPaintInfo& Info, unsigned Elements)>;
using TzqHeaderDrawQueryElementsEvent = std::function<void(TzqHeaderPaintInfo& Info, unsigned& Elements)>;

class TzqVirtualTreeViewWnd : public TzqEditWnd {
public:
    void SaveOriginalColors() override;
    void RestoreOriginalColors() override;
    void ApplySkinColors() override;
    void SubclassWndProc(TMessage& Message) override;

    TColor SavedCompressedTextColor = 0x1FFFFFFF;
    TColor SavedFileTextColor = 0x1FFFFFFF;
    TColor SavedFolderTextColor = 0x1FFFFFFF;
    bool SavedHeaderOwnerDraw = false;

    // The header painter handed to the control.
    void PaintHeaderColumn(TzqHeaderPaintInfo& Info, unsigned Elements);

private:
    TObject* Tree() const;
    TObject* Header() const;
    void SetTextColors(TColor Compressed, TColor File, TColor Folder);
    void PaintOverFrame(HDC DC) override;
    void Print(TMessage& Message);

    bool FDrawEventSet = false;
    bool FQueryEventSet = false;
};
