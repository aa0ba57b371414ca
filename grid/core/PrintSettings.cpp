#include "grid/core/PrintSettings.h"

TPrintSettings::TPrintSettings() = default;

void TPrintSettings::Assign(const TPersistent* Source)
{
    const auto* S = dynamic_cast<const TPrintSettings*>(Source);
    if (!S) {
        TPersistent::Assign(Source);
        return;
    }
    Time = S->Time;
    Date = S->Date;
    PageNr = S->PageNr;
    Title = S->Title;
    PageNumSep = S->PageNumSep;
    DateFormat = S->DateFormat;
    TitleText = S->TitleText;
    FTitleLines->Assign(S->FTitleLines.get());
    FFont->Assign(S->FFont.get());
    FHeaderFont->Assign(S->FHeaderFont.get());
    FFooterFont->Assign(S->FFooterFont.get());
    FFixedFont->Assign(S->FFixedFont.get());
    Borders = S->Borders;
    BorderStyle = S->BorderStyle;
    Centered = S->Centered;
    RepeatFixedRows = S->RepeatFixedRows;
    RepeatFixedCols = S->RepeatFixedCols;
    FooterSize = S->FooterSize;
    HeaderSize = S->HeaderSize;
    LeftSize = S->LeftSize;
    RightSize = S->RightSize;
    ColumnSpacing = S->ColumnSpacing;
    RowSpacing = S->RowSpacing;
    TitleSpacing = S->TitleSpacing;
    Orientation = S->Orientation;
    PagePrefix = S->PagePrefix;
    PageSuffix = S->PageSuffix;
    PageNumberOffset = S->PageNumberOffset;
    MaxPagesOffset = S->MaxPagesOffset;
    FixedHeight = S->FixedHeight;
    FixedWidth = S->FixedWidth;
    UseFixedHeight = S->UseFixedHeight;
    UseFixedWidth = S->UseFixedWidth;
    FitToPage = S->FitToPage;
    JobName = S->JobName;
    NoAutoSize = S->NoAutoSize;
    NoAutoSizeRow = S->NoAutoSizeRow;
    PrintGraphics = S->PrintGraphics;
    UseDisplayFont = S->UseDisplayFont;
    UseDefaultOrientation = S->UseDefaultOrientation;
}
