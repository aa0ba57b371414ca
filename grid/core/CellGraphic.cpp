#include "grid/core/CellGraphic.h"

#include <algorithm>
#include <cmath>

TCellGraphic::~TCellGraphic()
{
    // The index list of ctImages is always the graphic's own; the other
    // objects only when the grid created them.
    bool OwnsBitmap = CellType == ctImages
        || (CellCreated
            && (CellType == ctBitmap || CellType == ctRadio || CellType == ctPicture
                || CellType == ctFilePicture || CellType == ctBitButton));
    if (OwnsBitmap)
        delete CellBitmap;
    if (CellCreated && CellType == ctIcon)
        delete CellIcon;
}

void TCellGraphic::Assign(const TPersistent* Source)
{
    auto* S = dynamic_cast<const TCellGraphic*>(Source);
    if (!S)
        return;
    CellType = S->CellType;
    CellVAlign = S->CellVAlign;
    CellHAlign = S->CellHAlign;
    CellIndex = S->CellIndex;
    CellTransparent = S->CellTransparent;
    CellCreated = S->CellCreated;
    CellBoolean = S->CellBoolean;
    CellAngle = S->CellAngle;
    CellValue = S->CellValue;
    CellErrFrom = S->CellErrFrom;
    CellErrLen = S->CellErrLen;
    CellText = S->CellText;
}

void TCellGraphic::SetCheckBox(bool State, bool Data, TCellVAlign VAlign)
{
    CellType = Data ? ctDataCheckBox : ctCheckBox;
    CellBoolean = State;
    CellHAlign = haBeforeText;
    CellTransparent = true;
    CellVAlign = VAlign;
}

TPoint TCellGraphic::GetPictureSize(int W, int H, int PicW, int PicH) const
{
    if (CellType != ctPicture && CellType != ctFilePicture)
        return Point(PicW, PicH);
    const int AW = W - CellIndex;
    const int AH = H - CellIndex;
    const int Mode = CellAngle & 0xFF;
    auto Fit = [&](bool CapAtOne) {
        double RW = PicW > 0 ? static_cast<double>(AW) / PicW : 1.0;
        double RH = PicH > 0 ? static_cast<double>(AH) / PicH : 1.0;
        if (CapAtOne) {
            RW = std::min(RW, 1.0);
            RH = std::min(RH, 1.0);
        }
        if (RW >= RH)
            return Point(static_cast<int>(std::lround(PicW * RH)), AH);
        return Point(AW, static_cast<int>(std::lround(PicH * RW)));
    };
    switch (Mode) {
    case 1:
        return Point(AW, AH);
    case 2:
        return Fit(false);
    case 3:
        return (PicW <= AW && PicH <= AH) ? Point(PicW, PicH) : Point(AW, AH);
    case 4:
        return (PicW <= AW && PicH <= AH) ? Point(PicW, PicH) : Fit(true);
    default:
        return Point(PicW, PicH);
    }
}

TCellNode::TCellNode() : FExpandGlyph(std::make_unique<TBitmap>()), FContractGlyph(std::make_unique<TBitmap>()) {}

TCellNode::~TCellNode() = default;

void TCellNode::SetExpandGlyph(const TBitmap* Value) { FExpandGlyph->Assign(Value); }

void TCellNode::SetContractGlyph(const TBitmap* Value) { FContractGlyph->Assign(Value); }

void TCellNode::Assign(const TPersistent* Source)
{
    auto* S = dynamic_cast<const TCellNode*>(Source);
    if (!S)
        return;
    Color = S->Color;
    NodeColor = S->NodeColor;
    ExpandOne = S->ExpandOne;
    FExpandGlyph->Assign(S->FExpandGlyph.get());
    FContractGlyph->Assign(S->FContractGlyph.get());
    FNodeType = S->FNodeType;
    FShowTree = S->FShowTree;
    FShowTreeFull = S->FShowTreeFull;
    FNodeIndent = S->FNodeIndent;
    FTreeColor = S->FTreeColor;
}
