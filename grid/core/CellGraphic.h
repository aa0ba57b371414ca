#pragma once
// The special content of a grid cell (check box, radio group, node, button,
// picture, progress bar, ...) and the grid's node settings.

#include <memory>

#include "framework/Bitmap.h"
#include "framework/Graphics.h"

class TCanvas;
class TProStringGrid;

// The drawer object of a ctInterface cell (held as the graphic's
// CellBitmap by a class that is also a TObject): it paints the cell itself,
// under the cell's content when IsBackground answers true, else over it.
class IGridCellDrawer {
public:
    virtual ~IGridCellDrawer() = default;
    virtual void Draw(TCanvas* Canvas, TRect R, int ACol, int ARow, bool Selected, TProStringGrid* Grid) = 0;
    virtual int GetWidth() = 0;
    virtual int GetHeight() = 0;
    virtual bool IsBackground() = 0;
};

enum TCellType {
    ctBitmap, ctIcon, ctNone, ctImageList, ctCheckBox, ctDataCheckBox, ctRotated, ctDataImage,
    ctNode, ctRadio, ctEmpty, ctImages, ctPicture, ctFilePicture, ctValue, ctProgress, ctComment,
    ctButton, ctBitButton, ctVirtCheckBox, ctRowCheckBox, ctProgressPie, ctSummary,
    ctRangeIndicator, ctXPProgress, ctInterface
};

enum TCellHAlign { haLeft, haRight, haCenter, haBeforeText, haAfterText, haFull };
enum TCellVAlign { vaTop, vaBottom, vaCenter, vaUnderText, vaAboveText, vaFull };

// True for the four check-box types.
inline bool IsCheckBoxType(TCellType T)
{
    return T == ctCheckBox || T == ctDataCheckBox || T == ctVirtCheckBox || T == ctRowCheckBox;
}

class TCellGraphic : public TPersistent {
public:
    TCellGraphic() = default;
    // Frees the objects the graphic owns: an image-index list always, a
    // bitmap, radio items, picture or icon when CellCreated.
    ~TCellGraphic() override;

    // Copies every published field (CellCreated too), no object reference
    // and not CellVar.
    void Assign(const TPersistent* Source) override;

    // Makes the graphic a check box (data or plain) with the given state.
    void SetCheckBox(bool State, bool Data, TCellVAlign VAlign);

    // For ctPicture and ctFilePicture: the size the picture takes in an
    // available area W x H by the stretch mode in CellAngle's low byte;
    // PicW x PicH is the picture's own size. Other types give (PicW, PicH).
    TPoint GetPictureSize(int W, int H, int PicW, int PicH) const;

    TCellType CellType = ctNone;
    TObject* CellBitmap = nullptr;
    TObject* CellIcon = nullptr;
    TCellVAlign CellVAlign = vaTop;
    TCellHAlign CellHAlign = haLeft;
    int CellIndex = 0;
    bool CellTransparent = false;
    bool CellCreated = false;
    bool CellBoolean = false;
    int CellAngle = 0;
    double CellValue = 0.0;
    int CellErrFrom = 0;
    int CellErrLen = 0;
    String CellText;
    int CellVar = 0;
};

// The drawer of a ctInterface graphic; null for other types or objects.
inline IGridCellDrawer* CellDrawerOf(const TCellGraphic* G)
{
    return G && G->CellType == ctInterface ? dynamic_cast<IGridCellDrawer*>(G->CellBitmap) : nullptr;
}

enum TNodeType { cnFlat, cn3D, cnGlyph, cnLeaf, cnXP };

// Look of the tree column (the grid's CellNode property). The setters of
// NodeType, ShowTree, ShowTreeFull, TreeColor and NodeIndent call OnChange
// (the grid repaints) when the value changes.
class TCellNode : public TPersistent {
public:
    TCellNode();
    ~TCellNode() override;

    // Copies every setting from another TCellNode; other sources are ignored.
    void Assign(const TPersistent* Source) override;

    TColor Color = clSilver;
    TColor NodeColor = clBlack;
    bool ExpandOne = false;
    TBitmap* ExpandGlyph() const { return FExpandGlyph.get(); }
    void SetExpandGlyph(const TBitmap* Value);
    TBitmap* ContractGlyph() const { return FContractGlyph.get(); }
    void SetContractGlyph(const TBitmap* Value);

    TNodeType NodeType() const { return FNodeType; }
    void SetNodeType(TNodeType Value) { Change(FNodeType, Value); }
    bool ShowTree() const { return FShowTree; }
    void SetShowTree(bool Value) { Change(FShowTree, Value); }
    bool ShowTreeFull() const { return FShowTreeFull; }
    void SetShowTreeFull(bool Value) { Change(FShowTreeFull, Value); }
    int NodeIndent() const { return FNodeIndent; }
    void SetNodeIndent(int Value) { Change(FNodeIndent, Value); }
    TColor TreeColor() const { return FTreeColor; }
    void SetTreeColor(TColor Value) { Change(FTreeColor, Value); }

    TNotifyEvent OnChange;

private:
    template <class T>
    void Change(T& Field, T Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        if (OnChange)
            OnChange(this);
    }

    TNodeType FNodeType = cnXP;
    bool FShowTree = true;
    bool FShowTreeFull = true;
    int FNodeIndent = 12;
    TColor FTreeColor = clGray;
    std::unique_ptr<TBitmap> FExpandGlyph;
    std::unique_ptr<TBitmap> FContractGlyph;
};
