#pragma once
// The string grid's sort settings: the sort column and direction, how ties
// and empty cells are treated, the look of the sort indicators and the
// events through which an application chooses or performs comparisons.

#include <functional>
#include <memory>

#include "framework/Bitmap.h"
#include "framework/Graphics.h"

class TProStringGrid;

enum TSortStyle {
    ssAutomatic, ssAlphabetic, ssNumeric, ssDate, ssAlphaNoCase, ssAlphaCase, ssShortDateEU,
    ssShortDateUS, ssCustom, ssFinancial, ssAnsiAlphaCase, ssAnsiAlphaNoCase, ssRaw, ssHTML,
    ssImages, ssCheckBox, ssUnicode, ssDateTime, ssTime, ssAlphaNumeric, ssAlphaNumericNoCase
};
enum TSortDirection { sdAscending, sdDescending };
enum TSortBlankPosition { blFirst, blLast };

using TGridFormatEvent = std::function<void(TObject* Sender, int ACol, TSortStyle& AStyle, String& aPrefix,
                                            String& aSuffix)>;
using TCustomCompareEvent = std::function<void(TObject* Sender, const String& str1, const String& str2, int& Res)>;
using TRawCompareEvent = std::function<void(TObject* Sender, int ACol, int Row1, int Row2, int& Res)>;

// Plain fields are read by the sorts and the painting as they stand; the
// setters with side effects (repaint, the Row check) are the Set* methods.
class TSortSettings : public TPersistent {
public:
    explicit TSortSettings(TProStringGrid* AGrid = nullptr);
    ~TSortSettings() override;

    // Copies every setting but SortOnVirtualCells from another TSortSettings
    // (the glyphs as copies, Row without its check); other sources are ignored.
    void Assign(const TPersistent* Source) override;

    bool AutoSortForGrouping = true;
    bool AutoColumnMerge = false;
    int Column = 0;
    bool Show = false;
    // Stores Show and invalidates the grid when it changes.
    void SetShow(bool Value);
    bool IndexShow = false;
    TColor IndexColor = clYellow;
    bool Full = true;
    bool SingleColumn = false;
    bool IgnoreBlanks = false;
    TSortBlankPosition BlankPos = blFirst;
    bool AutoFormat = true;
    TSortDirection Direction = sdAscending;
    TBitmap* UpGlyph() const { return FUpGlyph.get(); }
    void SetUpGlyph(const TBitmap* Value) { FUpGlyph->Assign(Value); }
    TBitmap* DownGlyph() const { return FDownGlyph.get(); }
    void SetDownGlyph(const TBitmap* Value) { FDownGlyph->Assign(Value); }
    TBitmap* IndexUpGlyph() const { return FIndexUpGlyph.get(); }
    void SetIndexUpGlyph(const TBitmap* Value) { FIndexUpGlyph->Assign(Value); }
    TBitmap* IndexDownGlyph() const { return FIndexDownGlyph.get(); }
    void SetIndexDownGlyph(const TBitmap* Value) { FIndexDownGlyph->Assign(Value); }
    TSortDirection InitSortDirection = sdAscending;
    bool FixedCols = false;
    bool NormalCellsOnly = false;
    int Row = 0;
    // Raises Exception "Sort row should be smaller than number of fixed rows"
    // unless Value is below the grid's FixedRows; Row then keeps its value.
    void SetRow(int Value);
    bool UndoSort = false;
    bool SortOnVirtualCells = true;
    TColor HeaderColor = clNone;
    TColor HeaderColorTo = clNone;
    TColor HeaderMirrorColor = clNone;
    TColor HeaderMirrorColorTo = clNone;
    // Store the colour and repaint the last fixed row when it changes.
    void SetHeaderColor(TColor Value) { SetHeaderColorField(HeaderColor, Value); }
    void SetHeaderColorTo(TColor Value) { SetHeaderColorField(HeaderColorTo, Value); }
    void SetHeaderMirrorColor(TColor Value) { SetHeaderColorField(HeaderMirrorColor, Value); }
    void SetHeaderMirrorColorTo(TColor Value) { SetHeaderColorField(HeaderMirrorColorTo, Value); }

    TProStringGrid* Grid() const { return FGrid; }
    // Bound by the grid to a repaint; the settings fire it for nothing of
    // their own (Show and the header colours repaint themselves).
    TNotifyEvent OnChange;

private:
    void SetHeaderColorField(TColor& Field, TColor Value);

    TProStringGrid* FGrid;
    std::unique_ptr<TBitmap> FUpGlyph;
    std::unique_ptr<TBitmap> FDownGlyph;
    std::unique_ptr<TBitmap> FIndexUpGlyph;
    std::unique_ptr<TBitmap> FIndexDownGlyph;
};
