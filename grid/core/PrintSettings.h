#pragma once
// The grid's print settings: values kept with the grid and stored in forms.
// The system has no printing; only the colour resolution reads the fonts
// (with printing asked, unless UseDisplayFont).

#include <memory>

#include "framework/Graphics.h"
#include "framework/StringList.h"

enum TPrintPosition { ppNone, ppTopLeft, ppTopRight, ppTopCenter, ppBottomLeft, ppBottomRight, ppBottomCenter };
enum TPrintBorders {
    pbNoborder,
    pbSingle,
    pbDouble,
    pbVertical,
    pbHorizontal,
    pbAround,
    pbAroundVertical,
    pbAroundHorizontal,
    pbCustom
};
enum TFitToPage { fpNever, fpGrow, fpShrink, fpAlways, fpCustom };
enum TPrintOrientation { poPortrait, poLandscape };

class TPrintSettings : public TPersistent {
public:
    TPrintSettings();
    void Assign(const TPersistent* Source) override;

    TPrintPosition Time = ppNone;
    TPrintPosition Date = ppNone;
    TPrintPosition PageNr = ppNone;
    TPrintPosition Title = ppNone;
    String PageNumSep = "/";
    String DateFormat = "dd/mm/yyyy";
    String TitleText;
    TPrintBorders Borders = pbSingle;
    TPenStyle BorderStyle = TPenStyle::psSolid;
    bool Centered = true;
    bool RepeatFixedRows = false;
    bool RepeatFixedCols = false;
    int FooterSize = 0;
    int HeaderSize = 0;
    int LeftSize = 0;
    int RightSize = 0;
    int ColumnSpacing = 0;
    int RowSpacing = 0;
    int TitleSpacing = 0;
    TPrintOrientation Orientation = poPortrait;
    String PagePrefix;
    String PageSuffix;
    int PageNumberOffset = 0;
    int MaxPagesOffset = 0;
    int FixedHeight = 0;
    int FixedWidth = 0;
    bool UseFixedHeight = false;
    bool UseFixedWidth = false;
    TFitToPage FitToPage = fpNever;
    String JobName;
    bool NoAutoSize = false;
    bool NoAutoSizeRow = false;
    bool PrintGraphics = false;
    bool UseDisplayFont = true;
    bool UseDefaultOrientation = false;

    // The fonts and title lines are owned; the setters copy the given object.
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    TFont* HeaderFont() const { return FHeaderFont.get(); }
    void SetHeaderFont(const TFont* Value) { FHeaderFont->Assign(Value); }
    TFont* FooterFont() const { return FFooterFont.get(); }
    void SetFooterFont(const TFont* Value) { FFooterFont->Assign(Value); }
    TFont* FixedFont() const { return FFixedFont.get(); }
    void SetFixedFont(const TFont* Value) { FFixedFont->Assign(Value); }
    TStringList* TitleLines() const { return FTitleLines.get(); }
    void SetTitleLines(const TStrings* Value) { FTitleLines->Assign(Value); }

private:
    std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
    std::unique_ptr<TFont> FHeaderFont = std::make_unique<TFont>();
    std::unique_ptr<TFont> FFooterFont = std::make_unique<TFont>();
    std::unique_ptr<TFont> FFixedFont = std::make_unique<TFont>();
    std::unique_ptr<TStringList> FTitleLines = std::make_unique<TStringList>();
};
