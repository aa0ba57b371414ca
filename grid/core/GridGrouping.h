#pragma once
// The string grid's grouping settings: how the header and summary rows that
// grouping makes look, and whether a group count is shown. The values are
// plain fields read by the next grouping operation or repaint.

#include "framework/Graphics.h"

class TGrouping : public TPersistent {
public:
    // Copies the look settings from another TGrouping; AutoSelectGroup, the
    // line colours and widths and Summary keep their values.
    void Assign(const TPersistent* Source) override;

    bool AutoSelectGroup = false;
    String GroupCountFormat;
    TColor HeaderColor = clNone;
    TColor HeaderColorTo = clNone;
    TColor HeaderTextColor = clNone;
    bool HeaderUnderline = false;
    TColor HeaderLineColor = clBlue;
    int HeaderLineWidth = 2;
    bool MergeHeader = false;
    bool MergeSummary = false;
    bool ShowGroupCount = false;
    bool Summary = false;
    TColor SummaryColor = clNone;
    TColor SummaryColorTo = clNone;
    TColor SummaryTextColor = clNone;
    bool SummaryLine = false;
    TColor SummaryLineColor = clBlue;
    int SummaryLineWidth = 2;
};
