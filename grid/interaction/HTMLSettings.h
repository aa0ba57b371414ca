#pragma once
// Options for exporting the grid as an HTML table (its HTMLSettings
// property). The grid keeps, copies and streams them.

#include <memory>

#include "framework/Object.h"

class TIntList;

class THTMLSettings : public TPersistent {
public:
    THTMLSettings();
    ~THTMLSettings() override;

    // Every published value of another THTMLSettings, not the width list.
    void Assign(const TPersistent* Source) override;

    int BorderSize = 1;
    int CellSpacing = 0;
    int CellPadding = 0;
    bool SaveColor = true;
    bool SaveFonts = true;
    String FooterFile;
    String HeaderFile;
    String TableStyle;
    String PrefixTag;
    String SuffixTag;
    int Width = 100;
    bool XHTML = false;
    bool ConvertSpecialChars = false;
    bool AutoPreview = false;
    bool NonBreakingText = false;

    TIntList* ColWidths() const { return FColWidths.get(); }

private:
    std::unique_ptr<TIntList> FColWidths;
};
