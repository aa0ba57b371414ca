#include "grid/interaction/HTMLSettings.h"

#include "grid/core/ProObj.h"

THTMLSettings::THTMLSettings() : FColWidths(std::make_unique<TIntList>(0, 0)) {}

THTMLSettings::~THTMLSettings() = default;

void THTMLSettings::Assign(const TPersistent* Source)
{
    auto* S = dynamic_cast<const THTMLSettings*>(Source);
    if (!S)
        return;
    BorderSize = S->BorderSize;
    CellSpacing = S->CellSpacing;
    CellPadding = S->CellPadding;
    SaveColor = S->SaveColor;
    SaveFonts = S->SaveFonts;
    FooterFile = S->FooterFile;
    HeaderFile = S->HeaderFile;
    TableStyle = S->TableStyle;
    PrefixTag = S->PrefixTag;
    SuffixTag = S->SuffixTag;
    Width = S->Width;
    XHTML = S->XHTML;
    ConvertSpecialChars = S->ConvertSpecialChars;
    AutoPreview = S->AutoPreview;
    NonBreakingText = S->NonBreakingText;
}
