#pragma once
// TProStringGrid: the string grid component. This header holds the class;
// its implementation is split by subject into the ProGrid*.cpp files
// (construction and lifecycle, cell types, nodes, hooks, dimensions, hidden
// rows, row operations, selection, sorting, filtering, grouping).

#include <array>
#include <memory>
#include <vector>

#include "framework/Exception.h"
#include "framework/StringList.h"
#include "grid/core/BaseGrid.h"
#include "grid/core/BalloonSettings.h"
#include "grid/core/GridFilter.h"
#include "grid/core/GridGrouping.h"
#include "grid/core/GridSortSettings.h"
#include "framework/HintWindow.h"
#include "grid/core/ProGridLook.h"
#include "grid/core/PrintSettings.h"
#include "grid/core/ProObj.h"
#include "grid/interaction/GridEditTypes.h"
#include "grid/interaction/GridMouseTypes.h"
#include "visuals/ComponentStyle.h"

class TNavigation;
class TMouseActions;
class TSearchFooter;
class TFloatingFooter;
class THTMLSettings;
class THTMLPictureCache;
class TPictureContainer;
struct THtmlDrawParams;
struct THtmlDrawResult;
class TDragDropSettings;
class TDragScrollOptions;
class TProHintInfo;
struct TCellStreamHeader;
class TImageList;
class TProStringGridCheck;
struct tagNMTTDISPINFOW;
class TGridDropTarget;
class TSearchPanel;
class TFooterPanel;
class TArrowWindow;
class TPopupButton;
class TForm;
struct TFormResizeChain;

FRAMEWORK_EXCEPTION(EProGridError, Exception);

// The cells of a hidden row: a text and an object reference per column, in
// column order. A plain list, no heavier than the row's cells in the grid,
// so that hiding half a million rows costs no more memory than they held.
// An index outside 0 .. Count() - 1 raises EListError.
class THiddenCells {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    const String& Strings(int Index) const { return At(Index).Text; }
    TObject* Objects(int Index) const { return At(Index).Object; }
    void Put(int Index, const String& S) { At(Index).Text = S; }
    void PutObject(int Index, TObject* AObject) { At(Index).Object = AObject; }
    int Add(const String& S) { return AddObject(S, nullptr); }
    int AddObject(String S, TObject* AObject);
    void InsertObject(int Index, const String& S, TObject* AObject);
    void Delete(int Index);
    void Reserve(int Count) { FItems.reserve(static_cast<std::size_t>(std::max(Count, 0))); }

private:
    struct TItem {
        String Text;
        TObject* Object = nullptr;
    };
    const TItem& At(int Index) const;
    TItem& At(int Index) { return const_cast<TItem&>(static_cast<const THiddenCells*>(this)->At(Index)); }
    std::vector<TItem> FItems;
};

// One hidden row: its real index, its height when it was hidden and its
// cells (texts with their object references, in column order). While the
// row is hidden its cell objects live here.
class TGridItem : public TObject {
public:
    TGridItem() = default;
    int Idx = 0;
    int Height = 0;
    THiddenCells Items;
};

// The per-row "modified" marks shown at column 0.
class TShowModified : public TPersistent {
public:
    void Assign(const TPersistent* Source) override;
    bool Enabled = false;
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TNotifyEvent OnChange;

private:
    TColor FColor = clYellow;
};

// A growable list of row or column flags: any index beyond the end reads 0,
// and writing there first extends the list with zeros.
class TGridFlagList {
public:
    int Get(int Index) const;
    void Set(int Index, int Value);
    int Count() const { return static_cast<int>(FItems.size()); }
    // Inserts Count zero entries at Index (nothing when Index lies beyond the end).
    void InsertZeros(int Index, int Count);
    // Deletes Count entries at Index (as many as exist).
    void DeleteAt(int Index, int Count);
    void Clear() { FItems.clear(); }
    std::vector<int>& Items() { return FItems; }

private:
    std::vector<int> FItems;
};

enum TScrollBarAlways { saNone, saVert, saHorz, saBoth };
enum TCellBorder { cbTop, cbLeft, cbRight, cbBottom };
enum TGridLook { glStandard, glSoft, glClassic, glQJX, glXP, glListView, glVista };
enum THoverFixedCells { hfNone, hfFixedRows, hfFixedColumns, hfAll };
enum TScrollType { ssNormal, ssFlat, ssEncarta };
enum TScrollHintType { shNone, shVertical, shHorizontal, shBoth };

using TRowChangedEvent = std::function<void(TObject* Sender, int OldRow, int NewRow)>;
using TRowChangingEvent = std::function<void(TObject* Sender, int OldRow, int NewRow, bool& Allow)>;
using TColChangingEvent = std::function<void(TObject* Sender, int OldCol, int NewCol, bool& Allow)>;
using TCellChangingEvent = std::function<void(TObject* Sender, int OldRow, int OldCol, int NewRow, int NewCol, bool& Allow)>;
using TRowDisjunctSelectEvent = std::function<void(TObject* Sender, int ARow, bool AState, bool& Allow)>;
using TRowDisjunctSelectedEvent = std::function<void(TObject* Sender, int ARow)>;
using TSelectionChanged = std::function<void(TObject* Sender, int ALeft, int ATop, int ARight, int ABottom)>;
using TCellsChangedEvent = std::function<void(TObject* Sender, TRect R)>;
using TGridColorEvent = std::function<void(TObject* Sender, int ARow, int ACol, TGridDrawState AState, TBrush* ABrush, TFont* AFont)>;
using TGridAlignEvent = std::function<void(TObject* Sender, int ARow, int ACol, TAlignment& HAlign, TVAlignment& VAlign)>;
using TWordWrapEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& WordWrap)>;
using TGetCheckEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;
using TIsFixedCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& IsFixed)>;
using TGridHintEvent = std::function<void(TObject* Sender, int ARow, int ACol, String& HintStr)>;
using TGridWideHintEvent = std::function<void(TObject* Sender, int ARow, int ACol, WideString& HintStr)>;
using TOfficeHintEvent = std::function<void(TObject* Sender, int ACol, int ARow, TProHintInfo* OfficeHint)>;
using TCanAddRowEvent = std::function<void(TObject* Sender, bool& CanAdd)>;
using TCanInsertRowEvent = std::function<void(TObject* Sender, int ARow, bool& CanInsert)>;
using TCanEditCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& CanEdit)>;
using TAutoRowEvent = std::function<void(TObject* Sender, int ARow)>;
using TCanDeleteRowEvent = std::function<void(TObject* Sender, int ARow, bool& CanDelete)>;
using TAutoAdvanceEvent =
    std::function<void(TObject* Sender, int OldRow, int OldCol, int& NewRow, int& NewCol, bool& Allow)>;
using TGridBorderEvent = std::function<void(TObject* Sender, int ARow, int ACol, TPen* APen, unsigned& Borders)>;
using TGridBorderPropEvent = std::function<void(TObject* Sender, int ARow, int ACol, TPen* LeftPen, TPen* TopPen,
                                                TPen* RightPen, TPen* BottomPen)>;
using TCustomCellDrawEvent = std::function<void(TObject* Sender, TCanvas* Canvas, int ACol, int ARow,
                                                TGridDrawState AState, TRect ARect, bool Printing)>;
using TFloatFormatEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& IsFloat, String& FloatFormat)>;
using TCellSaveLoadEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;
using TScrollHintEvent = std::function<void(TObject* Sender, int ARow, String& HintStr)>;
using TClipboardBeforePasteCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value,
                                                          bool& Allow)>;
using TClipboardBeforePasteWideCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, WideString& Value,
                                                              bool& Allow)>;

using TOleDragEvent = std::function<void(TObject* Sender, int ARow, int ACol, const String& Data, bool& Allow)>;
using TOleDragStartEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TOleDragStopEvent = std::function<void(TObject* Sender, int OLEEffect)>;
using TOleDragOverEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& Allow)>;
using TOleDroppedEvent = std::function<void(TObject* Sender, const TGridRect& ARect)>;
using TOleDropColEvent = std::function<void(TObject* Sender, int ARow, int ACol, int DropCol)>;
enum TSearchAction { saFindFirst, saFindPrevious, saFindNext };
// Search options (a set of these bits).
using TFindParams = unsigned;
enum : unsigned {
    soCaseSensitive = 1u << 0,
    soAtStart = 1u << 1,
    soCurrentColOnly = 1u << 2,
    soSelectFound = 1u << 3,
    soPlainText = 1u << 4,
    soBackward = 1u << 5,
    soPresetColumn = 1u << 6,
};
using TSearchEditChangeEvent = std::function<void(TObject* Sender, const String& Value, bool& DefaultSearch)>;
using TSearchFooterActionEvent =
    std::function<void(TObject* Sender, const String& Value, int ACol, int ARow, TSearchAction SearchAction)>;
using TFooterPaintEvent = std::function<void(TObject* Sender, int AColumn, TCanvas* Canvas, TRect ARect)>;
using TCalcFooterEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;
using TClickCellEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TUpdateColumnSizeEvent = std::function<void(TObject* Sender, int ACol, int& AWidth)>;
using TEndColumnSizeEvent = std::function<void(TObject* Sender, int ACol)>;
using TColumnSizeEvent = std::function<void(TObject* Sender, int ACol, bool& Allow)>;
using TRowSizeEvent = std::function<void(TObject* Sender, int ARow, bool& Allow)>;
using TColumnSizingEvent = std::function<void(TObject* Sender, int ACol, int ColumnSize)>;
using TRowSizingEvent = std::function<void(TObject* Sender, int ARow, int RowSize)>;
using TColumnMoveEvent = std::function<void(TObject* Sender, int ACol, bool& Allow)>;
using TRowMoveEvent = std::function<void(TObject* Sender, int ARow, bool& Allow)>;
enum TIntelliPan { ipVertical, ipHorizontal, ipBoth, ipNone };
// The directions a drag scrolls the grid, a set of TDragScrollDirections bits.
enum TDragScrollDirections : unsigned { dsdUp = 1u << 0, dsdDown = 1u << 1, dsdLeft = 1u << 2, dsdRight = 1u << 3 };
using TDragScrollDirection = unsigned;
using TDragScrollEvent = std::function<void(TObject* Sender, int TopRow, int LeftCol, TDragScrollDirection& DragScrollDir,
                                            bool& CanScroll)>;

// The set of custom borders a cell asks for (bits of TCellBorder).
constexpr unsigned CellBorderBit(int B) { return 1u << B; }

class TProStringGrid : public TBaseGrid, public TComponentStyleUnknown<IComponentStyle> {
public:
    explicit TProStringGrid(TComponent* AOwner);
    ~TProStringGrid() override;

    // ---- Lifecycle, copying, version (ProGrid.cpp) ----
    void Assign(const TPersistent* Source) override;
    virtual void AssignCells(TProStringGrid* Grid);
    virtual int GetVersionNr() const;
    virtual String GetVersionString() const;
    String Version() const;
    void SetVersion(const String&) {}
    void Invalidate() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void STDMETHODCALLTYPE SetComponentStyle(TComponentStylePreset AStyle) override;
    TComponentStylePreset ComponentStyle() const { return FComponentStyle; }
    // The grid's own handler in the owner form's resize chain.
    virtual void FormResize();
    void RepaintFloatingFooter();
    bool XPFlag() const { return FXPFlag; }
    bool VistaFlag() const { return FVistaFlag; }
    bool ComCtl6Flag() const { return FComCtl6; }
    int WheelMessage() const { return FWheelMessage; }
    int WheelScrollLines() const { return FWheelScrollLines; }

    // ---- Owned settings ----
    TNavigation* Navigation() const { return FNavigation.get(); }
    TMouseActions* MouseActions() const { return FMouseActions.get(); }
    TSearchFooter* SearchFooter() const { return FSearchFooter.get(); }
    TFloatingFooter* FloatingFooter() const { return FFloatingFooter.get(); }
    THTMLSettings* HTMLSettings() const { return FHTMLSettings.get(); }
    TDragDropSettings* DragDropSettings() const { return FDragDropSettings.get(); }
    TDragScrollOptions* DragScrollOptions() const { return FDragScrollOptions.get(); }
    // Copies the given settings into the grid's own.
    void SetDragScrollOptions(const TDragScrollOptions* Value);
    TCellNode* CellNode() const { return FCellNode.get(); }
    TShowModified* ShowModified() const { return FShowModified.get(); }
    TStringList* ColumnHeaders() const { return FColumnHeaders.get(); }
    void SetColumnHeaders(const TStrings* Value);
    TStringList* RowHeaders() const { return FRowHeaders.get(); }
    void SetRowHeaders(const TStrings* Value);
    TFont* FixedFont() const { return FFixedFont.get(); }
    void SetFixedFont(const TFont* Value);
    TFont* ActiveCellFont() const { return FActiveCellFont.get(); }
    TProHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(const TProHintInfo* Value);
    TSortIndexList* SortIndexes() const { return FSortIndexes.get(); }
    TIntList* RowOrder() const { return FRowOrder.get(); }
    TIntList* MergedColumns() const { return FMergedColumns.get(); }
    TIntList* ColumnOrder() const { return FColumnOrder.get(); }
    TIntList* IgnoredColumns() const { return FIgnoredColumns.get(); }
    TIntList* SelectedCells() const { return FSelectedCells.get(); }
    TStringList* LookupItems() const { return FLookupItems.get(); }

    // Published plain values the constructor sets.
    TColor HintColor = clInfoBk;
    TColor SelectionColor = 0xEACAB6;
    TColor SelectionColorTo = clNone;
    TColor SelectionMirrorColor = clNone;
    TColor SelectionMirrorColorTo = clNone;
    TColor SelectionTextColor = clBlack;
    bool HideFocusRect = false;
    bool FixedAsButtons = false;
    bool EnableHTML = true;
    TColor URLColor = clBlue;
    TVAlignment VAlignment = vtaTop;
    String FloatFormat = "%.2f";
    bool EnhRowColMove = true;
    bool EnableWheel = true;
    bool IntelliZoom = true;
    THoverFixedCells HoverFixedCells = hfNone;
    TEditorType DefaultEditor = edNormal;
    TColor ActiveCellColor = clGray;
    TColor ActiveCellColorTo = clNone;
    bool ActiveCellShow = false;
    TGridLook Look = glXP;   // set through SetLook
    TScrollType ScrollType = ssNormal;
    TColor ScrollColor = clNone;
    int ScrollWidth = 16;
    bool ScrollProportional = false;
    bool ScrollSynch = false;
    TScrollHintType ScrollHints = shNone;
    bool IntegralHeight = false;
    bool AutoNumAlign = false;
    bool AutoThemeAdapt = false;
    bool AnchorHint = false;
    bool AutoSizeFlag = false;
    // Setters of the painting values (here and in the base grid) that also
    // repaint what the value changes; writing a field only stores it.
    void SetSelectionColor(TColor Value);
    void SetSelectionColorTo(TColor Value);
    void SetSelectionMirrorColor(TColor Value);
    void SetSelectionMirrorColorTo(TColor Value);
    void SetSelectionTextColor(TColor Value);
    void SetSelectionRectangle(bool Value);
    void SetSelectionResizer(bool Value);
    void SetShowSelection(bool Value);
    void SetActiveCellShow(bool Value);
    void SetActiveCellColor(TColor Value);
    void SetActiveCellColorTo(TColor Value);
    void SetActiveCellFont(const TFont* Value);
    void SetBackGround(const TBackGround* Value);
    void SetFlat(bool Value);
    void SetVAlignment(TVAlignment Value);
    void SetScrollColor(TColor Value);
    void SetScrollWidth(int Value);
    void SetURLColor(TColor Value);
    void SetURLShow(bool Value);
    void SetURLFull(bool Value);
    String CheckTrue = "Y";
    String CheckFalse = "N";
    TColor FixedGradientFrom = clWhite;
    TColor FixedGradientTo = 0;
    TColor FixedGradientMirrorFrom = clNone;
    TColor FixedGradientMirrorTo = clNone;

    // ---- Cell types, check boxes, radio groups, buttons (ProGridCellTypes.cpp) ----
    virtual TCellGraphic* GetCellGraphic(int ACol, int ARow);
    virtual TCellType GetCellType(int ACol, int ARow);
    TCellGraphic* NewCellGraphic(int ACol, int ARow);
    bool RemoveCellGraphic(int ACol, int ARow);
    bool RemoveCellGraphicOfType(int ACol, int ARow, TCellType AType);
    void PutCheckBox(int ACol, int ARow, bool State, bool Data);
    bool GetCheckBoxState(int ACol, int ARow, bool& State);
    bool ChangeCheckBoxState(int ACol, int ARow, bool State);
    virtual bool ToggleCheckBox(int ACol, int ARow, bool Interactive);
    void CheckAllInColumn(int ACol);
    void UncheckAllInColumn(int ACol);
    bool HasCheckBox(int ACol, int ARow);
    bool HasClickControl(int ACol, int ARow);
    // Whether the point (X, Y) of the window hits the check box of the cell.
    bool PtInCheckBox(int ACol, int ARow, int X, int Y);
    bool GetRadioIndex(int ACol, int ARow, int& Index);
    TStrings* GetRadioItems(int ACol, int ARow);
    bool IsRadioCell(int ACol, int ARow);
    bool CycleRadioItem(int ACol, int ARow, bool Interactive);
    bool IsButtonCell(int ACol, int ARow);
    void SetCellButtonDown(int ACol, int ARow, bool Down);
    TRect GetCellButtonRect(int ACol, int ARow);
    bool GetCellComment(int ACol, int ARow, String& Comment);
    void GetCellErrorRange(int ACol, int ARow, int& From, int& Len);
    bool GetRotatedAngle(int ACol, int ARow, int& Angle);
    TIntList* GetCellImageList(int ACol, int ARow);
    Int64 GetCellImageKey(int ACol, int ARow);
    TCellGraphic* RowCheckGraphic() const { return FRowCheckGraphic.get(); }

    // Typed values.
    void SetCellInt(int ACol, int ARow, int Value);
    int GetCellInt(int ACol, int ARow);
    void SetCellFloat(int ACol, int ARow, double Value);
    double GetCellFloat(int ACol, int ARow);
    double GetRealCellFloat(int ACol, int ARow);
    void SetCellDate(int ACol, int ARow, double Value);
    WideString ReadWideCellText(int ACol, int ARow);
    void WriteWideCellText(int ACol, int ARow, const WideString& Value);

    // ---- Nodes (ProGridNodes.cpp) ----
    void AddNode(int ARow, int Span);
    void SetSummaryRow(int ARow);
    bool RemoveNode(int ARow);
    void RemoveAllNodes();
    void ExpandNode(int ARow);
    void ExpandSingleNode(int ARow);
    void ContractNode(int ARow);
    void ExpandAllNodes();
    void ContractAllNodes();
    bool IsNodeRow(int ARow);
    bool IsSummaryRow(int ARow);
    bool IsNodeContracted(int ARow);
    int GetNodeLevel(int ARow);
    int GetNodeSpan(int ARow);
    int GetNodeCountOffset(int ARow);
    void AddNodeSpan(int ARow, int Delta);
    void AddNodeCountOffset(int ARow, int Delta);
    int ParentNodeRow(int ARow);
    int TreeLineKind(int ARow);
    bool IsOnNodeButton(int ARow, int X);
    void InsertNodeChildRow(int ARow, int After);
    void RemoveNodeChildRow(int ARow);
    void InsertOneRow(int ARow);
    void RemoveOneRow(int ARow);
    int NodeCount() const { return FNodeCount; }
    bool HasNodes() const override { return FNodeCount > 0; }
    int GetRowIndent(int ARow) override;

    // ---- Hooks and accessors (ProGridHooks.cpp) ----
    virtual void ApplyCellFontAndColor(int ACol, int ARow, TFont* AFont, TBrush* ABrush, TGridDrawState AState);
    // A cell's own background colour, clNone when it has none or is fixed
    // (AState holds gdFixed).
    static TColor OwnBrushColor(const TCellProperties* Props, TGridDrawState AState);
    virtual void DoGetAlignment(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign);
    virtual void GetIsFixedCell(int ACol, int ARow, bool& IsFixed);
    virtual void DoGetWordWrap(int ACol, int ARow, bool& WordWrap);
    virtual void GetCheckTrue(int ACol, int ARow, String& Value);
    virtual void GetCheckFalse(int ACol, int ARow, String& Value);
    virtual bool HasFixedDropDown(int ACol, int ARow);
    virtual void DoCanAddRow(bool& CanAdd);
    virtual void DoCanInsertRow(int ARow, bool& CanInsert);
    virtual void DoGridHint(int ACol, int ARow, String& Hint, WideString& WideHint);
    virtual bool CanEditCell(int ACol, int ARow, bool Allow);
    void GetCellStyle(int ACol, int ARow, TCellStyle& Style) override;
    void GetDisplText(int ACol, int ARow, String& Value) override;
    void ResolveCellColors(int ACol, int ARow, TGridDrawState& AState, bool Printing, bool SelectionColors,
                           bool MapColumn, TBrush* ABrush, TFont* AFont, TResolvedCellColors& Colors) override;
    bool IsFixedCell(int ACol, int ARow) override;
    bool IsCellEditable(int ACol, int ARow);
    virtual void SetCellFromEditor(int ACol, int ARow, const String& Value);
    virtual void DoSelectionChanged(int ALeft, int ATop, int ARight, int ABottom);
    virtual void AutoInsertRow(int ARow);
    virtual void AutoDeleteRow(int ARow);
    virtual void AppendRow();
    virtual void ReportProgress(int, int) {}
    virtual void ReportPasteProgress(int, int) {}
    virtual void KeySelectionHook(const TGridRect&) {}
    virtual void EditorCaretHook(const String&, TPoint, int) {}
    virtual void MouseActionsChanged(TObject*) {}
    virtual void NavigationChanged(TObject*) {}
    virtual void ColumnHeadersChanged() {}
    // Hands the column (-1: all) on to CalcFooter.
    virtual void RecalcFooterColumn(int ACol) { CalcFooter(ACol); }
    virtual void CellChanged(int ACol);
    virtual void CellsChanged(const TRect& R);
    virtual void AllCellsChanged();

    int CurrentRow() const { return Row(); }
    void SetCurrentRow(int ARow);
    void RepaintActiveHeaders(int Col1, int Row1, int Col2, int Row2);
    TColor GetCellBrushColor(int ACol, int ARow) const;
    void SetCellBrushColor(int ACol, int ARow, TColor Color);
    void SetCellBrushColorTo(int ACol, int ARow, TColor Color);
    void SetCellFontColor(int ACol, int ARow, TColor Color);
    bool GetCellReadOnly(int ACol, int ARow);
    TControl* GetCellControl(int ACol, int ARow) const;
    void SetRowBrushColor(int ARow, TColor Color);
    void SetRowBrushColorTo(int ARow, TColor Color);
    void SetRowFontColor(int ARow, TColor Color);
    void SetFixedGradientFrom(TColor Color);
    void SetFixedGradientTo(TColor Color);
    void SetFixedGradientMirrorFrom(TColor Color);
    void SetFixedGradientMirrorTo(TColor Color);
    TGridItem* GetHiddenRowData(int ARow) const;
    String ReadRealCellText(int ACol, int ARow);
    TObject* GetRealCellObject(int ACol, int ARow) const;
    // Writes the text of a cell of a real row: a shown row through its
    // display row, a hidden row into its stored data.
    void WriteRealCellText(int ACol, int ARow, const String& Value);

    TRowChangedEvent OnRowUpdate;
    TGridColorEvent OnGetCellColor;
    TGridAlignEvent OnGetAlignment;
    TWordWrapEvent OnGetWordWrap;
    TGetCheckEvent OnGetCheckTrue;
    TGetCheckEvent OnGetCheckFalse;
    TIsFixedCellEvent OnIsFixedCell;
    TGridHintEvent OnGridHint;
    TGridWideHintEvent OnGridWideHint;
    TOfficeHintEvent OnOfficeHint;
    TCanAddRowEvent OnCanAddRow;
    TCanInsertRowEvent OnCanInsertRow;
    TCanEditCellEvent OnCanEditCell;
    TAutoRowEvent OnAutoInsertRow;
    TAutoRowEvent OnAutoDeleteRow;
    TSelectionChanged OnSelectionChanged;
    TCellsChangedEvent OnCellsChanged;

    // ---- Dimensions, fixed areas, headers, update bracketing (ProGridDimensions.cpp) ----
    void SetRowCount(int Value);
    void SetColCount(int Value);
    int FixedRows() const;
    void SetFixedRows(int Value);
    int FixedCols() const;
    void SetFixedCols(int Value);
    int FixedColWidth() const;
    void SetFixedColWidth(int Value);
    int FixedRowHeight() const { return FFixedRowHeight; }
    void SetFixedRowHeight(int Value);
    void SetDefaultRowHeight(int Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    int FixedFooters() const { return FFixedFooters; }
    void SetFixedFooters(int Value);
    int FixedRightCols() const { return FFixedRightCols; }
    void SetFixedRightCols(int Value);
    bool FixedRowAlways = false;
    bool FixedColAlways = false;
    TScrollBarAlways ScrollBarAlways = saNone;
    int WantedFixedRows() const { return FWantedFixedRows; }
    int WantedFixedCols() const { return FWantedFixedCols; }
    int LargestRowCount() const { return FLargestRowCount; }
    int LargestColCount() const { return FLargestColCount; }
    void UpdateScrollBarVisibility(bool Force);
    void ApplyColumnHeaders();
    void ApplyRowHeaders();
    void ClearHeaderRow();
    void ClearHeaderCol();
    void MergeColumnsChanged();
    void SplitAllColumnMerges();
    void MergeListedColumns();
    void BeginUpdate();
    void EndUpdate();
    void IncUpdateCount() { ++FUpdateCount; }
    void ResetUpdateCount() { FUpdateCount = 0; }
    int UpdateCount() const { return FUpdateCount; }
    bool UpdateHeld() const override { return FUpdateCount > 0; }
    void ResetColumnOrder();

    // ---- Hidden rows and columns (ProGridHiddenRows.cpp) ----
    bool IsHiddenRow(int ARow) const;
    int HiddenRowCount() const { return static_cast<int>(FHiddenRows.size()); }
    int DisplayToRealRow(int ARow) const;
    int RealToDisplayRow(int ARow) const;
    int RealRowIndex(int ARow) const { return DisplayToRealRow(ARow); }
    int DisplayRowIndex(int ARow) const { return RealToDisplayRow(ARow); }
    bool IsHiddenColumn(int ACol) const;
    int HiddenColCount() const { return FHiddenColCount; }
    int AllColCount() const { return ColCount() + FHiddenColCount; }
    int DisplayToRealCol(int ACol) const;
    int RealToDisplayCol(int ACol) const;
    int RealColIndex(int ACol) const { return DisplayToRealCol(ACol); }
    int DisplayCol(int ACol) const override { return RealToDisplayCol(ACol); }
    int RealCurrentCol() const { return DisplayToRealCol(Col()); }
    bool IsIgnoredColumn(int ACol) const;
    // The hidden rows in ascending real-row order.
    const std::vector<std::unique_ptr<TGridItem>>& HiddenRows() const { return FHiddenRows; }
    void HideRows(int First, int Last);
    // Hides the listed real rows (any order; shown ones only).
    void HideRowList(const std::vector<int>& Rows);
    void UnHideRows(int First, int Last);
    void UnHideRowsAll();
    void HideSelection();
    void RestoreSelection();
    bool SelectionHidden() const { return FSelectionHidden; }
    TGridRect SavedSelection() const { return FSavedSelection; }
    int StreamFirstCol() const { return 0; }
    int StreamFirstRow() const { return 0; }
    int StreamLastCol() const { return ColCount() - 1; }
    int StreamLastRow() const { return RowCount() - 1; }
    int StreamColCount() const { return ColCount(); }
    int StreamRowCount() const { return RowCount(); }

    // ---- Row and column operations (ProGridRows.cpp) ----
    virtual void RemoveRows(int ARow, int ACount);
    virtual void DeleteRowsPlain(int ARow, int ACount);
    virtual void RemoveRowsFull(int ARow, int ACount);
    virtual void InsertRows(int ARow, int ACount, bool MoveControls = true);
    virtual void RemoveCols(int ACol, int ACount);
    virtual void InsertCols(int ACol, int ACount);
    virtual void ClearRect(int ACol1, int ARow1, int ACol2, int ARow2);
    void RemoveRowRange(int ARow, int ACount, bool Renumber);
    void RemoveSelectedRows();
    void ClearRows(int ARow, int ACount);
    void ClearCols(int ACol, int ACount);
    void ClearSelectedCells();
    void ClearAllCells();
    void AddRow();
    void MoveColumnWithControls(int FromIndex, int ToIndex);
    void MoveRowWithControls(int FromIndex, int ToIndex);
    void SplitColumnMerges(int ACol);
    void MergeColumnRuns(int ACol, bool MergeFreely);
    // Fired after every change of the row structure (insert, remove, hide,
    // show, move); a saved row order must not outlive such a change.
    TNotifyEvent OnRowsChanged;
    // True while scratch rows of a sort are discarded: ClearRect then only
    // drops cell objects (they were moved elsewhere).
    bool DiscardingScratchRows = false;

    // ---- Selection (ProGridSelection.cpp) ----
    bool SelectCell(int ACol, int ARow) override;
    void SelectCellRange(int FromCol, int ToCol, int FromRow, int ToRow);
    TGridRect SelectionRect() const { return Selection(); }
    void SetSelectionRect(const TGridRect& R);
    void MoveToCell(int ACol, int ARow);
    void ScrollToCell(int ACol, int ARow);
    bool IsCellSelected(int ACol, int ARow);
    bool IsRowSelected(int ARow);
    bool IsColSelected(int ACol);
    void SetRowSelected(int ARow, bool Selected);
    void SetColSelected(int ACol, bool Selected);
    void ClearRowSelection();
    void ClearColSelection();
    void RangeToRowSelection(bool AllRows);
    void RangeToColSelection(bool AllCols);
    int SelectedRowCount();
    bool IsRowModified(int ARow) const;
    void SetRowModified(int ARow, bool Modified);
    void RedrawCell(int ACol, int ARow);
    void RedrawRow(int ARow);
    void RedrawCol(int ACol);
    void RedrawGridRect(const TGridRect& R);
    TGridFlagList& RowSelectFlags() { return FRowSelectFlags; }
    TGridFlagList& ColSelectFlags() { return FColSelectFlags; }
    TGridFlagList& ModifiedRowFlags() { return FModifiedRowFlags; }
    TIntList* SelectedRows() const { return FSelectedRows.get(); }
    bool InternalMoveLock = false;
    bool AdvanceLock = false;
    TRowChangingEvent OnRowChanging;
    TColChangingEvent OnColChanging;
    TCellChangingEvent OnCellChanging;
    TRowDisjunctSelectEvent OnRowDisjunctSelect;
    TRowDisjunctSelectedEvent OnRowDisjunctSelected;

    // ---- Sizing, auto-size and zoom (grid/interaction/ProGridSizing.cpp) ----
    // Widens column Index (-1: the last column) so that the columns fill the
    // client width; raises Exception for an index at or beyond ColCount and
    // ignores other negative indexes.
    void StretchColumn(int Index);
    void AutoSizeColumns(bool DoFixedCols, int AddWidth);
    void AutoSizeColumnEx(int ACol, bool OnlyGrow);
    void AutoSizeColumn(int ACol) { AutoSizeColumnEx(ACol, FAutoSizeOnlyGrow); }
    void AutoSizeRowEx(int ARow, bool OnlyGrow);
    void AutoSizeRow(int ARow) { AutoSizeRowEx(ARow, FAutoSizeOnlyGrow); }
    void SetRowHeightForLines(int ARow, int Lines, int Extra);
    int RowLineCount(int ARow);
    void InvalidateCellRange(const TGridRect& R);
    // Changes the zoom level by Step (kept within -10..10) and every
    // positive column width and row height with it.
    void Zoom(int Step);
    void ResizeWithForm(TCustomForm* Form);
    void SaveColumnProportions();
    // The sizing limits: a pair with equal ends limits nothing, 0 is no limit.
    void SetColumnSizeLimits(int AMin, int AMax) { FMinColWidth = AMin; FMaxColWidth = AMax; }
    void SetRowSizeLimits(int AMin, int AMax) { FMinRowHeight = AMin; FMaxRowHeight = AMax; }
    bool AutoSize() const { return AutoSizeFlag; }
    void SetAutoSize(bool Value);
    void SetIntegralHeight(bool Value);
    // Sizing while typing: the in-place editor calls these after a key and
    // on a new line (Ctrl+Enter, Shift+Enter) with the editor's text.
    void SizeCurrentCellWhileTyping();
    void SizeRowForNewLine(const String& EditorText);
    bool SizeWithForm = false;
    TUpdateColumnSizeEvent OnUpdateColumnSize;
    TEndColumnSizeEvent OnEndColumnSize;
    TColumnSizeEvent OnColumnSize;
    TRowSizeEvent OnRowSize;
    int ColSizingIndex() const { return FSizingCol; }
    int RowSizingIndex() const { return FSizingRow; }
protected:
    void SizeChanged(int OldColCount, int OldRowCount) override;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    void CalcSizingState(int X, int Y, const TGridDrawInfo& FixedInfo, int& SizingIndex, int& SizingPos,
                         int& SizingOfs, TGridState& State) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    virtual void DoUpdateColumnSize(int ACol, int& AWidth);
    virtual void DoAutoSizeColumn(int ACol, int& AWidth);
    // The text size auto-sizing measures (GetCellTextSize of the real column).
    virtual TPoint MeasureCellText(int ACol, int ARow, bool Wrapped);
    // The size message's handling: proportions, stretching and the bars.
    void SizeMessage();
private:
    int LimitColWidth(int W) const;
    int LimitRowHeight(int H) const;
    int StretchIndex() const;
    // After a width or height change: an open special editor follows the
    // current cell, the default editor never stays over a check box.
    void EditorsFollowCellSize();
    int FMinColWidth = 0;
    int FMaxColWidth = 0;
    int FMinRowHeight = 0;
    int FMaxRowHeight = 0;
    bool FAutoSizeOnlyGrow = false;
    bool FStretching = false;
    bool FStretchAllowed = false;
    bool FSizingColumn = false;
    bool FSizingRowNow = false;
    bool FInSizeMessage = false;
    int FSizingCol = -1;
    int FSizingRow = -1;
    int FSizingColWidth0 = 0;
    int FSizingRowHeight0 = 0;
    std::vector<int> FColumnProportions;
    int FProportionWidth = 0;
    bool FZooming = false;
    int FFormWidth = 0;
    int FFormHeight = 0;
public:

    // ---- Wheel, panning and drag scrolling (grid/interaction/ProGridWheel.cpp) ----
    TIntelliPan IntelliPan = ipVertical;
    TDragScrollEvent OnDragScroll;
    bool Panning() const { return FPanning; }
    TPoint PanAnchor() const { return FPanAnchor; }
    // The drag-scroll timer's state, and the directions it scrolls to.
    bool DragScrollRunning() const { return FDragScrollTimer; }
    TDragScrollDirection DragScrollDirections() const { return FDragScrollDir; }
    // A drag resting over the grid at the client point (X, Y); Leaving when
    // it left the grid. Near the margins it starts the drag-scroll timer.
    void DragScrollOver(int X, int Y, bool Leaving);
    void DragScrollTick();
    void DrawPanAnchor();
    void ErasePanAnchor();
    // A pan timer tick: scrolls or moves toward the pointer.
    void PanTick();
protected:
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    virtual void SpareHook(int) {}
private:
    // The wheel, panning and drag-scroll messages; true when handled whole.
    bool WheelPanMessage(TMessage& Message);
    bool WheelMessageStep(TMessage& Message);
    void StartPanning(int X, int Y);
    void StopPanning();
    void StopDragScroll();
    bool FPanning = false;
    TPoint FPanAnchor{0, 0};
    HCURSOR FPanCursor = nullptr;
    HCURSOR FCursorBeforePan = nullptr;
    bool FDragScrollTimer = false;
    TDragScrollDirection FDragScrollDir = 0;
public:

    // ---- Moving rows and columns (grid/interaction/ProGridMoving.cpp) ----
    TColumnMoveEvent OnColumnMove;
    TColumnMoveEvent OnColumnMoving;
    TRowMoveEvent OnRowMove;
    TRowMoveEvent OnRowMoving;
    // The four arrows of a header move: 0 up, 1 down, 2 right, 3 left
    // (created on first use; OLE drops use the first three too).
    TArrowWindow* MoveArrow(int Direction) { return DropArrow(Direction); }
    // Set when a row or column was moved by dragging during this press.
    bool MovedByDrag() const { return FMovedByDrag; }
protected:
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
private:
    // The permission and target events of a header drag, once per movement.
    void MoveDragMoved(int X, int Y);
    // The header drag button (or drag picture) and the target arrows.
    void MoveVisuals(int X, int Y, bool& Allow);
    void MoveScroll(int X, int Y);
    // The release of an enhanced move: moves (or not) and ends the state;
    // true when a move drag was ended here.
    bool EndMoveDrag(int X, int Y);
    void CancelMoveDrag();
    void HideMoveArrows();
    // The last target the moving events refused: the release moves nothing.
    bool FMoveRefused = false;
    bool FMovedByDrag = false;
    // The target (column, row) of the previous movement of a move.
    TGridCoord FMoveTarget{-1, -1};
    TForm* FDragPicture = nullptr;
public:

    // ---- Mouse movement, hover and sizing (grid/interaction/ProGridHover.cpp) ----
    TColumnSizingEvent OnColumnSizing;
    TRowSizingEvent OnRowSizing;
    TAnchorEvent OnAnchorEnter;
    TAnchorEvent OnAnchorExit;
    // Shows the size a sizing drag gives in a hint beside the sized cell.
    bool HintShowSizing = false;
    // Whether (X, Y) lies on a sizable border between header cells.
    bool IsOnHeaderBorder(int X, int Y);
    // A borderless, semi-transparent form (not yet shown, owned by the grid)
    // picturing the cells of R as they are on screen.
    TForm* CreateDragImageForm(const TGridRect& R);
    // The cursor zone of the last movement: 0 none, 1 column select, 2 row
    // select, 3 select all, 5 selection resizer.
    int CursorZone() const { return FCursorZone; }
    // Fixed-cell sizing: a border of a fixed column (row) under the pointer
    // is armed; a press on it makes the sizing active until the release.
    bool FixedColSizingArmed() const { return FFixedColSizing.Armed; }
    bool FixedColSizingActive() const { return FFixedColSizing.Active; }
    bool FixedRowSizingArmed() const { return FFixedRowSizing.Armed; }
    bool FixedRowSizingActive() const { return FFixedRowSizing.Active; }
    // The window of the sizing hint ("cw=" / "rh=" with the size), null
    // before the first; whether it shows now.
    THintWindow* SizingHintWindow() const { return FSizingHint; }
    bool SizingHintVisible() const { return FSizingHintVisible; }
    // The anchor the pointer rested on at the last movement.
    const String& LastAnchor() const { return FLastAnchor; }
private:
    struct TFixedSizing {
        bool Armed = false;
        bool Active = false;
        int Index = 0;
        int LinePos = 0;
    };
    void HoverMoved(int ACol, int ARow);
    void HoverLeft();
    // The list view look's header under the pointer.
    void ListViewHoverMoved(int ACol, int ARow);
    void RepaintListViewHover();
    TGridCoord FListViewHover{-1, -1};
    void SizingMoved(int X, int Y);
    void HeaderDragSelect(int ACol, int ARow, int Y);
    void FixedSizingMoved(int ACol, int ARow, int X, int Y);
    bool OnResizerHandle(int X, int Y);
    void UpdateCursorZone(int ACol, int ARow, int X, int Y);
    // The link cursor and the anchor events; true when the pointer is on a link.
    bool LinkMoved(int X, int Y);
    void ShowSizingHint(int X, int Y);
    void HideSizingHint();
    TFixedSizing FFixedColSizing;
    TFixedSizing FFixedRowSizing;
    int FCursorZone = 0;
    bool FScrolledUp = false;
    String FLastAnchor;
    THintWindow* FSizingHint = nullptr;
    bool FSizingHintVisible = false;
    TCursor FNormalCursor = 0;   // crDefault
    bool FLinkCursorShown = false;
    TGridRect FLastDrawnSelection{-1, -1, -1, -1};
    TGridRect FRememberedSelection{-1, -1, -1, -1};
public:

    // ---- Mouse buttons and clicks (grid/interaction/ProGridClicks.cpp) ----
    // Selects the item of a radio-group cell under a point (DY, DX inside the cell).
    void ClickRadioItem(int ACol, int ARow, int DY, int DX);
    void Click() override;
    TCanClickCellEvent OnCanClickCell;
    TClickCellEvent OnRightClickCell;
    TCheckBoxClickEvent OnCheckBoxClick;
    TCheckBoxClickEvent OnCheckBoxMouseUp;
    TRadioClickEvent OnRadioClick;
    TRadioClickEvent OnRadioMouseUp;
    TButtonClickEvent OnButtonClick;
    TAnchorClickEvent OnAnchorClick;
    TControlClickEvent OnControlClick;
    TNodeAllowEvent OnBeforeExpandNode;
    TNodeAllowEvent OnBeforeContractNode;
    TNodeEvent OnExpandNode;
    TNodeEvent OnContractNode;
    TClickSortEvent OnClickSort;
    TCanSortEvent OnCanSort;
    TSelectionResizeEvent OnSelectionResize;
    TSelectionResizeEvent OnSelectionResized;
    // The menu a press on a fixed cell's drop-down button shows (its Tag
    // set to the column), below the button; forgotten when it is freed.
    TPopupMenu* FixedDropDownMenu() const { return FFixedDropDownMenu; }
    void SetFixedDropDownMenu(TPopupMenu* Value);
    TFixedDropDownClickEvent OnFixedDropDownClick;
protected:
    virtual void ButtonDownHook(const TGridRect&) {}
    virtual void CellClickHook(int, int) {}
    // Hands a link to the shell ("open"); only web and mail addresses reach it.
    virtual void ShellOpenAnchor(const String& Anchor);
private:
    // The grid's own button messages; true when handled whole.
    bool MouseButtonMessage(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    void WMLButtonUp(TMessage& Message);
    void WMRButtonDown(TMessage& Message);
    void WMRButtonUp(TMessage& Message);
    void WMLButtonDblClk(TMessage& Message);
    // The press rules, each true when it ended the press.
    bool PressSelectionResizer(TMessage& Message, int X, int Y);
    bool PressNode(int ACol, int ARow, int X);
    bool PressLink(int ACol, int ARow, int X, int Y);
    void PressFormControl(int ACol, int ARow, const THtmlDrawResult& Hit);
    void PressHeader(int ACol, int ARow, TShiftState Shift);
    bool PressCheckBox(int ACol, int ARow, int X, int Y, bool CanEdit, TShiftState Shift);
    void PressDisjunct(int ACol, int ARow, TShiftState Shift);
    void FollowAnchor(const String& Anchor);
    void ReleaseDisjunct(int ACol, int ARow);
    void ReleaseFixedSizing(int X, int Y);
    void HeaderClick(int ACol, int ARow, int X, int Y, TShiftState Shift);
    void ClickSort(int RealCol, TShiftState Shift);
    void FixedCellEditPress(TMouseButton Button, TGridCoord Cell, int X, int Y);
    // A left press on a fixed cell with the hover look: true when it was on
    // the drop-down button, which ends the press.
    bool PressFixedCell(TGridCoord Cell, int X);
    bool InFixedDropDownStrip(const TRect& Cell, int X) const;
    bool PressFixedDropDown(TGridCoord Cell, const TRect& R);
    // The pressed look of a fixed cell (and of its drop-down button) ends.
    void ReleaseFixedCell();
    void DrawFixedButton(int ACol, int ARow, bool Down);
    struct TMouseState {
        bool LeftDown = false;
        bool KeepScroll = false;
        int LeftColAtPress = 0;
        int TopRowAtPress = 0;
        TGridCoord PressedButton{-1, -1};
        bool PressedFixedButton = false;
        TGridCoord PressedHtmlButton{-1, -1};   // real column, row
        bool OleDragPending = false;
        bool SelectionResizing = false;
        TGridRect SelectionBeforeResize{};
        TPoint PressPoint{0, 0};
        TPoint PressOffset{0, 0};   // in the press cell, as painted (see MirroredX)
        TGridCoord SizingRef{-1, -1};
        TPoint SizingPressOffset{0, 0};
        int HeaderAnchor = -1;
        int SelectAnchor = -1;
        TGridCoord PressCell{-1, -1};
        bool DeselectOnRelease = false;
        bool ClearedOnPress = false;
        bool AutoSizeDone = false;
        bool WidthChanged = false;
    };
    TMouseState FMouse;
    TPopupMenu* FFixedDropDownMenu = nullptr;
    // Set by the drop-down event's answer: the hovered fixed cell stays as
    // it is until the next left press.
    bool FKeepFixedHighlight = false;
public:

    // ---- Painting: settings and looks (ProGridStyle.cpp) ----
    TControlLook* ControlLook() const { return FControlLook.get(); }
    TBands* Bands() const { return FBands.get(); }
    TPrintSettings* PrintSettings() const { return FPrintSettings.get(); }
    void SetPrintSettings(const TPrintSettings* Value) { FPrintSettings->Assign(Value); }
    TBackGround* BackGround() const { return FBackGround.get(); }
    TGridProgressAppearance* ProgressAppearance() const { return FProgressAppearance.get(); }
    TColumnSize* ColumnSize() const { return FColumnSize.get(); }
    TSortSettings* SortSettings() const { return FSortSettings.get(); }
    TBitmap* RowIndicator() const { return FRowIndicator.get(); }
    void SetRowIndicator(const TBitmap* Value);
    void SetLook(TGridLook Value);
    void ApplyThemeColors();
    int GetThemeColorScheme();
    void ApplyThemeColorScheme(int Scheme);
    void SetAutoThemeAdapt(bool Value);
    // The working copy of the fixed-cell gradient that painting reads.
    // (From, To and the mirrors are the FixedGradient* fields above.)
    TFixedGradient FixedGradient() const;
    void SaveColumnSizes();
    void LoadColumnSizes();
    bool Flat = false;
    bool Ctl3D = true;
    bool SelectionRectangle = false;
    bool SelectionResizer = false;
    bool Multilinecells = false;
    bool EnhTextSize = false;
    bool URLShow = false;
    bool URLFull = false;
    bool SelectionRTFKeep = false;
    int ZoomLevel = 0;
    // The themed flag: visual styles usable and a theme active.
    bool Themed() const { return FXPFlag; }
    TImageList* GridImages = nullptr;
    // Named pictures of the HTML cells' images (a container on the form).
    TPictureContainer* PictureContainer = nullptr;
    // The grid's own pictures of HTML images named by an address, made on first use.
    THTMLPictureCache* PictureCache();

    // ---- OLE drag and drop (grid/interaction/GridDragDrop.cpp) ----
    // Registers the grid's window as a drop target, or revokes it (the
    // OleDropTarget setting calls it).
    void UpdateOleDropTarget(bool Value);
    bool OleDropTargetRegistered() const { return FOleRegistered; }
    TGridDropTarget* OleDropTargetObject() const { return FOleDropTarget; }
    // The cell under a point in screen coordinates ((-1, -1) outside cells).
    TGridCoord ScreenToCell(TPoint P);
    // The dragged cells as tab-separated text; WideText, when given, gets
    // the same text as Unicode.
    String GetDragText(WideString* WideText = nullptr);
    // The drag that mouse movement starts at the client point (X, Y) with
    // the button down and OleDropSource on; false when none ran.
    bool StartOleDrag(int X, int Y);
    // The header drag button at a screen point, showing cell (ACol, ARow)
    // in the colours of the grid's look.
    void ShowHeaderDragButton(int ACol, int ARow, TPoint At);
    // After a move out of the grid: the dragged rows removed or the dragged
    // cells cleared, by the drag settings.
    void RemoveDraggedCells();
    // The drag picture of the selected cells in view (made on first use),
    // its top-left corner at a screen point; moving and freeing it.
    void ShowDragPicture(TPoint At);
    void MoveDragPicture(TPoint At);
    void FreeDragPicture();
    TForm* DragPicture() const { return FDragPicture; }
    // The up, down and right arrows shown at a drop place, and the header
    // drag button (created on first use).
    TArrowWindow* DropArrow(int Direction);
    TPopupButton* HeaderDragButton();
    TGridRect DragSourceRect{-1, -1, -1, -1};
    TOleDragEvent OnOleDrag;
    TOleDragStartEvent OnOleDragStart;
    TOleDragStopEvent OnOleDragStop;
    TOleDragOverEvent OnOleDragOver;
    TOleDragEvent OnOleDrop;
    TOleDroppedEvent OnOleDropped;
    TOleDropColEvent OnOleDropCol;
    TOleDragEvent OnOleDropFile;
    TOleDragEvent OnOleDropURL;

    // ---- Text search and search footer (grid/interaction/GridSearch.cpp) ----
    TSearchPanel* SearchPanel();
    TGridCoord SearchFrom(TGridCoord Start, const String& Text, TGridCoord& Found, TFindParams Options);
    TGridCoord SearchCells(TGridCoord Start, const String& Text, TGridCoord& Found, TFindParams Options);
    bool CellMatchesSearch(int ACol, int ARow);
    virtual void DoSearchFooterAction(const String& Value, int ACol, int ARow, TSearchAction Action);
    void SearchEditChanged(const String& Value);
    void SearchFooterFindNext();
    void SearchFooterFindPrevious();
    void SearchFooterHighlight();
    void SearchFooterClose();
    void UpdateSearchPanel();
    int FindSortedPrefixRow(const String& Text);
    void HighlightMatches(bool WholeGrid, bool CaseSensitive, const String& Text);
    void RemoveHighlights(bool WholeGrid);
    // Each cell text the search highlight changed, as (before, after): removing
    // the highlight gives back exactly the text before, and leaves a cell's own
    // tags of the same name alone.
    std::vector<std::pair<String, String>> SearchHighlights;
    TGridCoord LastFoundCell{0, 0};
    int PresetSearchColumn = -1;
    TFindParams SearchOptions = 0;
    TSearchEditChangeEvent OnSearchEditChange;
    TSearchFooterActionEvent OnSearchFooterAction;
    TNotifyEvent OnSearchFooterClose;

    // ---- Floating footer panel (grid/interaction/GridFooterPaint.cpp) ----
    TFooterPanel* FooterPanel();
    // Called when the footer panel was shown, hidden or resized, or its
    // style changed: the rows take or give back its room.
    void FooterRoomChanged();
    virtual void CalcFooter(int) {}
    // Set while the footer panel paints cells.
    bool FooterPainting = false;
    TFooterPaintEvent OnFooterPaint;
    TCalcFooterEvent OnFooterCalc;
    TClickCellEvent OnClickCell;

    // ---- Cell painting (ProGridPaint.cpp) ----
    void DrawGridCell(TCanvas* ACanvas, int ACol, TGridDrawState AState, TRect ARect, int ARow) override;
    void DrawCellContent(TCanvas* ACanvas, int ACol, int ARow, TGridDrawState AState, TRect& R);
    void DrawCellBorders(int ACol, int ARow, TRect Rect);
    void DrawSortGlyph(TCanvas* ACanvas, int ACol, int X, int Y);
    virtual void GetCellBorder(int ACol, int ARow, TPen* APen, unsigned& Borders);
    virtual bool IsPasswordCell(int ACol, int ARow);
    // Whether a cell shows a combo button or spin buttons while it is not
    // edited: the application's event decides, else the look's always-visible
    // switch with the cell's editor type (grid/interaction/ProGridEditing.cpp).
    virtual bool HasComboBox(int ACol, int ARow);
    virtual bool HasSpinEdit(int ACol, int ARow);
    THasComboBoxEvent OnHasComboBox;
    THasSpinEditEvent OnHasSpinEdit;
    bool EditorButtonShown(int ACol, int ARow, const THasEditorButtonEvent& Event, bool AlwaysVisible,
                           bool (*IsType)(TEditorType));
    // Hover and press state of fixed cells (kept by the mouse handling).
    TGridCoord HoverFixedCell{-1, -1};
    bool FixedCellPushed = false;
    bool FixedDropDownPushed = false;
    virtual bool IsHoverFixedCell(int ACol, int ARow);
    TGridBorderEvent OnGetCellBorder;
    TGridBorderPropEvent OnGetCellBorderProp;
    TCustomCellDrawEvent OnCustomCellDraw;

    // ---- Cell text (ProGridCellText.cpp) ----
    void GetCellAlignment(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign);
    virtual void GetFloatFormattedText(int ACol, int ARow, String& Text);
    virtual void CalcCellValue(int ACol, int ARow, String& Text);
    virtual void GetCellTextForSave(int ACol, int ARow, String& Text);
    virtual void SetCellTextFromLoad(int ACol, int ARow, const String& Text);
    TPoint GetCellTextSize(int ACol, int ARow, bool Wrapped);
    static TPoint LayoutRotatedText(TRect R, int Angle, TVAlignment VAlign, TAlignment HAlign, TSize TextSize);
    void DrawRotatedText(TCanvas* ACanvas, TRect R, int Angle, TVAlignment VAlign, TAlignment HAlign,
                         const String& Text);
    // The text rectangle of a cell beside its graphic (the margins taken off).
    TRect CellTextRect(TRect R, TAlignment HAlign, const TCellGraphic* G, int GW, int GH, int ACol, int ARow);
    // The draw-text flags of unwrapped text: DT_SINGLELINE, or 0 for this
    // grid once it drew a cell with Multilinecells (each grid its own).
    UINT SingleLineFlag() const { return FSingleLineFlag; }
    TFloatFormatEvent OnGetFloatFormat;
    TCellSaveLoadEvent OnSaveCell;
    TCellSaveLoadEvent OnLoadCell;

    // ---- Cell streams (GridStreams.cpp) ----
    // The texts and column widths of every cell as lines of text.
    void WriteGridTextStream(TStream* Stream);
    void ReadGridTextStream(TStream* Stream);
    // A block (left, top, right, bottom) of cells with their properties and
    // graphics as component records, and back into the grid at a point.
    void WriteCellBinaryStream(const TRect& Block, TStream* Stream);
    void ReadCellBinaryStream(TPoint Point, TStream* Stream);
    // The cell stream in Bytes from Pos on, read whole and checked before
    // anything of the grid changes: a failing stream leaves the grid as it
    // was. With GrowCols (GrowRows) the counts are first raised to hold the
    // block at Point (a clipboard paste). Answers the stream's header.
    TCellStreamHeader ReadCellStreamBytes(TPoint Point, const String& Bytes, std::size_t& Pos, bool GrowCols,
                                          bool GrowRows);
    TGridProgressEvent OnFileProgress;

    // ---- CSV and workbook import (GridCsvImport.cpp, GridWorkbook.cpp) ----
    bool OemConvert = false;
    void ImportCSVFile(const String& FileName, int MaxRows);
    void ReadCSVFile(const String& FileName, bool Append, int MaxRows);
    void ImportWorkbook(const String& FileName);
    void ReadWorkbook(const String& FileName, const String& SheetName);

    // ---- Clipboard (GridClipboard.cpp) ----
    void CopySelectionToClipboard();
    void CutSelectionToClipboard();
    // Pastes at the selection, then fills it from what was pasted.
    void PasteSelectionFromClipboard();
    // Pastes the best format the clipboard holds; the count of cells or fields.
    int PasteFromClipboardAt(int ACol, int ARow);
    // Tab-separated lines from the cell on; the count of fields.
    int PasteTextAt(int ACol, int ARow, const char* Text);
    virtual void PasteCell(int ACol, int ARow, const String& Value);
    void CopyBlockToClipboard(const TRect& Block, bool DisjunctOnly);
    void CopyRichTextCellToClipboard(int ACol, int ARow);
    void CopyCellStreamToClipboard(const TRect& Block);
    void ExpandSelectionToMerged();
    virtual bool AllowFormattedClipboard();
    virtual void BeforePasteHook() {}
    virtual void AfterPasteHook() {}
    virtual void PasteSelectionHook(TPoint /*CopyFrom*/, const TRect& /*Pasted*/, bool /*WasCopy*/) {}
    TPoint CopyOrigin{-1, -1};
    bool LastClipboardActionWasCopy = false;
    // The cells the last paste reached (its fields, not a trailing line end).
    TRect LastPasteRect{0, 0, -1, -1};
    TClipboardBeforePasteWideCellEvent OnClipboardBeforePasteWideCell;

    // ---- Cell graphics (ProGridGraphics.cpp) ----
    TCellGraphic* GetCellGraphicInfo(int ACol, int ARow, TCellVAlign& VAlign, TCellHAlign& HAlign, bool& TextVisible,
                                     int& Height, int& Width);
    void DrawCellGraphic(TCanvas* ACanvas, TRect R, TCellGraphic* G, int ACol, int ARow, TGridDrawState AState,
                         TAlignment TextAlign, int GW, int GH);
    void DrawCheckGlyph(TCanvas* ACanvas, TRect R, bool Checked, bool Enabled, TGridControlStyle Style);
    void DrawRadioGroup(TCanvas* ACanvas, TRect R, bool Reverse, double Scale, TGridControlStyle Style, int ARow,
                        int ACol, bool Selected, TStrings* Items, bool Disabled, bool Horizontal, int Index);
    virtual TPoint GetCellGraphicSize(int ACol, int ARow);
    // Graphic placement inside the cell (R already shrunk by one pixel).
    static TRect PlaceGraphic(TRect R, TCellHAlign HA, TCellVAlign VA, TAlignment TextAlign, int W, int H, int T);

    // ---- Grid painting and scrolling (ProGridScroll.cpp) ----
    void SetScrollBarAlways(TScrollBarAlways Value);
    void SetScrollType(TScrollType Value);
    void SetScrollProportional(bool Value);
    void UpdateHorzScrollProportion();
    void UpdateVertScrollProportion();
    void UpdateFlatScrollBars();
    bool FlatBarsActive() const { return FFlatBarsActive; }
    // The text the scroll hint shows for a thumb-track position.
    String ScrollHintText(bool Horz, int ThumbPos);
    void PaintFlatBorder();
    void PaintBackgroundOutsideCells(TCanvas* ACanvas);
    TScrollHintEvent OnScrollHint;
    // The text of the last thumb-track position hint (the hint window of the
    // grid's hint machinery shows it).
    String LastScrollHint;
    // The window showing that text beside the cursor while a thumb is
    // dragged with scroll hints; null before the first such drag.
    THintWindow* ScrollHintWindow() const { return FScrollHintWindow.get(); }
    int PaintFailures() const { return FPaintFailures; }
    // While a paint runs: whether the grid had the focus when it began. The
    // cell painters ask for every cell, and each question is a round trip
    // to the window system; the focus does not move while cells are drawn.
    bool Focused() const override;

    // ---- Sorting (ProGridSort.cpp) ----
    void SetSortSettings(const TSortSettings* Value) { FSortSettings->Assign(Value); }
    TSortIndexList* SortIndexList() const { return FSortIndexes.get(); }
    TIntList* RowOrderWork() const { return FRowOrderCompanion.get(); }
    virtual void SwapRows(int ARow1, int ARow2);
    virtual void SortRows();
    virtual void SortRowsIndexed();
    virtual void SortNodeGroups();
    virtual void SortNodeGroupsIndexed();
    // Puts every row back where it stood before the first sort of the
    // series; does nothing once the rows changed since.
    virtual void RestoreRowOrder();
    void InitRowOrder();
    // -1, 0 or 1: where row ARow1's cell sorts against row ARow2's in ACol.
    int CompareCells(int ACol, int ARow1, bool Descending, int ARow2);
    int CompareRows(int ACol, int ARow1, int ARow2);
    int CompareRowsIndexed(int Depth, int ARow1, int ARow2);
    virtual void DoGetFormat(int ACol, TSortStyle& AStyle, String& APrefix, String& ASuffix);
    // The cell's text without its HTML tags.
    String ReadCellPlainText(int ACol, int ARow);
    int TrackedRow = -1;
    TGridFormatEvent OnGetFormat;
    TCustomCompareEvent OnCustomCompare;
    TRawCompareEvent OnRawCompare;

    // ---- Filtering (ProGridFilter.cpp) ----
    TFilter* Filter() const { return FFilter.get(); }
    void SetFilter(const TFilter* Value) { FFilter->Assign(Value); }
    bool FilterActive() const { return FFilterActive; }
    void SetFilterActive(bool Value);
    virtual bool MatchFilterRow(int ARow);
    void ApplyFilter();
    TCustomFilterEvent OnCustomFilter;
    TGridProgressEvent OnFilterProgress;

    // ---- Grouping (ProGridGroup.cpp) ----
    TGrouping* Grouping() const { return FGrouping.get(); }
    void SetGrouping(const TGrouping* Value) { FGrouping->Assign(Value); }
    virtual void SubGroup(int ACol);
    virtual void UngroupLevel(int ACol);
    virtual void Group(int ACol);
    virtual void UnGroup();
    int GroupColumn() const { return FGroupColumn; }
    int GroupColumnWidth() const { return FGroupColumnWidth; }
    String GroupHeaderText() const { return FGroupHeaderText; }
    String GroupFooterText() const { return FGroupFooterText; }

    // ---- Pictures, hints and balloons (ProGridHints.cpp) ----
    TBalloonSettings* Balloon() const { return FBalloon.get(); }
    void SetBalloon(const TBalloonSettings* Value) { FBalloon->Assign(Value); }
    bool HintShowCells = false;
    bool HintShowLargeText = false;
    bool HTMLHint = false;
    // The hint of the cell under CursorPos (client coordinates): text,
    // screen position, window class and colour.
    virtual void GetCellHint(TPoint CursorPos, TPoint& HintPos, THintWindowClass& HintWinClass, TColor& AHintColor,
                             String& HintStr);
    void SetupBalloon();
    void DestroyBalloon();
    void BalloonEnableChanged(TObject* Sender);
    // The balloon tooltip window, nullptr while balloons are off.
    HWND BalloonWindow() const { return FTooltipWnd; }
    TGridCoord LastHintCell() const { return FLastHintCell; }
    TGridCoord LastBalloonCell() const { return FLastBalloonCell; }
    // The title the balloon was last given.
    const String& LastBalloonTitle() const { return FLastBalloonTitle; }
    TAnchorHintEvent OnAnchorHint;
    TGridBalloonEvent OnCellBalloon;

    // ---- Editing flow, validation, editor notifications (grid/interaction/ProGridEditing*.cpp) ----
    TGridEditState& EditState() { return FEdit; }
    TProInplaceEdit* GetInplaceEditor() const { return FEdit.Inplace; }
    TEditLink* EditLink() const { return FEdit.Link; }
    void SetEditLink(TEditLink* Value) { FEdit.Link = Value; }
    virtual void DoGetEditorType(int ACol, int ARow, TEditorType& AEditor);
    // The editor type of a cell: DefaultEditor, then OnGetEditorType.
    TEditorType CellEditorType(int ACol, int ARow);
    virtual void DoCanEditCell(int ACol, int ARow, bool& CanEdit);
    // Fires OnIsPasswordCell; painting masks the text of a password cell.
    virtual void DoIsPasswordCell(int ACol, int ARow, bool& IsPassword);
    TIsPasswordCellEvent OnIsPasswordCell;
    virtual void ShowInplaceEdit(int ACol, int ARow);
    // The branch of ShowInplaceEdit for the editor type in use.
    void ShowSpecialEditor(int ACol, int ARow);
    void PlaceSpecialEditor(TWinControl* C, const TRect& R);
    virtual void CommitEditor(int ACol, int ARow);
    virtual void NotifyEditDone(int ACol, int ARow);
    void StartCellEdit();
    void EndCellEdit();
    void LeaveEditor(Word Key, TShiftState Shift);
    void RestoreEditText();
    void BeginCellEdit(int ACol, int ARow);
    bool ValidateCell(const String& Value);
    bool ValidateWideCell(const WideString& Value);
    // The one validation of both: TKind says the text type and its storage.
    struct TNarrowEdit;
    struct TWideEdit;
    template <class TKind>
    bool ValidateEdit(const typename TKind::TText& Value);
    void ReopenEditor(int ACol, int ARow);
    String GetCurrentCellText();
    void SetCurrentCellText(const String& Value);
    void SetCurrentEditText(const String& Value);
    // The clipboard's text for a paste into an editor, through OnClipboardPaste
    // and OnClipboardBeforePasteCell (which may change it); false when the
    // clipboard holds no text or an event refuses the paste.
    bool EditorPasteText(TObject* Editor, String& Value);
    String DoEllipsClick(const String& Text);
    void DoWideEllipsClick(TObject* Sender);
    void DoDateTimeChange(TObject* Sender);
    void DoDatePickerCloseUp(TObject* Sender);
    // Tab's move (backwards with Shift) and the move after Enter.
    void TabNavigate(bool Backward);
    void AdvanceAfterEdit(int ACol, int ARow, bool OpenEditor, bool Forced, bool Backward);
    // The editing part of SelectCell: suspends editing on read-only cells and
    // validates an open editor before the current cell moves; false refuses.
    bool SelectCellEditing(int ACol, int ARow);
    bool EndEditBeforeMove();
    void FollowCellEditability(int ACol, int ARow);
    // A cursor walk out of an editor whose neighbour (the column before, or
    // the one past the merged span) holds a click control: the text is
    // validated and, when kept, the edit ends and that column becomes
    // current. False when the neighbour holds none.
    bool WalkOntoClickControl(bool Backward, const String& Text);
    // Editing messages of the grid's window ("GridEditDone", the editors'
    // notifications); true when handled.
    bool EditingMessage(TMessage& Message);
    // WM_COMMAND from a child: the combo editor's notifications, the live
    // copy of an editor's text, and the command sent back to its child.
    bool EditorCommand(TMessage& Message);
    // EN_CHANGE of the spin or edit-with-button editor: its text into the cell.
    void CopyEditorTextLive();
    void ReloadSpecialEditorText(const String& Text);
    TWinControl* TextValueEditor();
    template <class TCombo>
    void OpenCombo(TCombo* C, TColor Color);
    TProStringGridCheck* CellChecker = nullptr;
    virtual void EditorMessageHook(TMessage&) {}
    virtual void EditorKeyDownHook(Word&, TShiftState) {}
    virtual void FormulaEditHook(bool) {}
    int MaxEditLength = 0;
    int MaxComboLength = 0;
    bool Lookup = false;
    bool LookupCaseSensitive = false;
    bool LookupHistory = false;
    bool EditWithTags = false;
    bool ExcelStyleDecimalSeparator = false;
    char PasswordChar = '*';
    void SetLookupItems(const TStrings* Value);
    TGetEditorTypeEvent OnGetEditorType;
    TCellValidateEvent OnCellValidate;
    TCellValidateWideEvent OnCellValidateWide;
    TNotifyEvent OnEditingDone;
    TEditCellDoneEvent OnEditCellDone;
    TEditChangeEvent OnEditChange;
    TComboChangeEvent OnComboChange;
    TComboObjectChangeEvent OnComboObjectChange;
    TClickCellEvent OnComboCloseUp;
    TClickCellEvent OnDatePickerCloseUp;
    TClickCellEvent OnDblClickCell;
    TDateTimeChangeEvent OnDateTimeChange;
    TEllipsClickEvent OnEllipsClick;
    TWideEllipsClickEvent OnWideEllipsClick;
    TSpinClickEvent OnSpinClick;
    TFloatSpinClickEvent OnFloatSpinClick;
    TDateSpinClickEvent OnDateSpinClick;
    TDateSpinClickEvent OnTimeSpinClick;
    TClipboardEvent OnClipboardCopy;
    TClipboardEvent OnClipboardCut;
    TClipboardEvent OnClipboardPaste;
    TClipboardBeforePasteCellEvent OnClipboardBeforePasteCell;
    TGetEditorPropEvent OnGetEditorProp;
    TGetEditWideTextEvent OnGetEditWideText;
    TSetEditWideTextEvent OnSetEditWideText;
    TCustomStrToDateEvent OnCustomStrToDate;
    // The grid's own key handling, for the editors that hand a key on.
    void GridKeyDown(Word& Key, TShiftState Shift) { KeyDown(Key, Shift); }
    TEndRowSizeEvent OnEndRowSize;
    // Fixed-cell edit and the form-control editors (grid/interaction/GridTransEdit.cpp, ControlEditors.cpp).
    void EditFixedCell(int ACol, int ARow);
    void ShowControlEditor(const String& CellText, const String& CtrlType, int ARow, int ACol, int EventCol,
                           const TRect& CtrlRect, const String& CtrlValue, const String& CtrlID);
    void ControlEditDone(TObject* Sender);
    // Opens the editor of the first editable form control of the cell after
    // the one with CtrlID (the first of all with an empty ID); with none the
    // grid takes the focus.
    void FocusCellControl(int ACol, int ARow, const String& CtrlID);
    TControlComboListEvent OnControlComboList;
    TControlEditDoneEvent OnControlEditDone;
    // The rich-text editor of edRichEdit cells (grid/interaction/ProRichEdit.cpp).
    TProRichEdit* RichEditor();
    void CellToRichEdit(int ACol, int ARow, TProRichEdit* RichEdit);
    String RichEditToText(TProRichEdit* RichEdit);
    TSizeWhileTyping SizeWhileTyping;
    TNotifyEvent OnRichEditSelectionChange;

    // ---- Keys (grid/interaction/ProGridKeys.cpp) ----
    // Makes the first normal row current (OnRowUpdate as for any row change).
    virtual void GotoFirstRow();
    // The incremental goto text typed so far (cleared by navigation keys,
    // a failed match and the grid timer after four idle ticks).
    const String& GotoText() const { return FGotoText; }
    TCanDeleteRowEvent OnCanDeleteRow;
    TAutoRowEvent OnAutoAddRow;

    // ---- Tab and Enter navigation (grid/interaction/ProGridNavigation.cpp) ----
    // The advance after Enter: Continued is false on the first call of a move
    // (it fixes the start cell the events report); AnyCell opens the editor
    // on whatever editable cell the move reaches.
    void AdvanceAfterEdit(int ACol, int ARow, bool OpenEditor, bool Continued, bool Forwards, bool AnyCell,
                          bool Forced);
    int FirstNormalCol();
    int VisibleRightFixedCols();
    bool IsTabStopCell(int ACol, int ARow);
    int FirstTabStopCol(int ARow);
    int LastTabStopCol(int ARow);
    TAutoAdvanceEvent OnAutoAdvance;
    TAutoRowEvent OnAutoInsertCol;

    // ---- Focus, cursor and the grid timer (grid/interaction/ProGridFocus.cpp) ----
    // Hovering: resting the mouse on a normal cell makes it current.
    bool Hovering = false;
    // Blinking HTML text (<BLINK>) shows and hides with the timer.
    bool EnableBlink = false;
    // The phase blinking text is drawn in (shown while true).
    bool BlinkPhase() const { return FBlinkOn; }
    // Ticks of the grid timer since the window was made.
    int TimerTicks() const { return FTimerTicks; }

protected:
    void CreateWnd() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Resize() override;
    void Paint() override;
    void WndProc(TMessage& Message) override;
    void TopLeftChanged() override;
    bool KeepScrollBar(bool Horz) const override;
    // The client area less a shown search bar and floating footer along the
    // bottom edge.
    TRect CellArea() const override;
    int RowsShownOutsideCells() const override;
    // The grid's height less the shown bottom strips: the bottom edge from
    // which dragging near the edge scrolls, as the rows end above them.
    int HeightAboveFooters() const;
    TInplaceEdit* CreateEditor() override;
    bool CanEditShow() override;
    String GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const String& Value) override;
    int GetEditLimit() override;
    // Code wrote the cell being edited: the open editor shows the new text.
    void EditedCellWritten(int ACol, int ARow) override;
    void KeyPress(char& Key) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void DoEnter() override;
    void DoExit() override;

private:
    // Key handling helpers (ProGridKeys.cpp).
    void FireKeyDown(Word Key, TShiftState Shift);
    bool KeyDownScrollOnly(Word Key);
    bool KeyDownEnterRules(Word& Key, TShiftState Shift, int RealCol);
    bool KeyDownHomeEnd(Word Key, TShiftState Shift);
    bool KeyDownSkipFixed(Word& Key, TShiftState Shift);
    void KeyDownClickControl(Word Key, int RealCol);
    void KeyDownAppend(Word Key);
    bool KeyDownAfterBase(Word& Key, TShiftState Shift);
    // The character message; true when handled whole.
    bool CharMessage(TMessage& Message);
    // The grid's own steps of a key press; true when the press ends there.
    bool KeyPressRules(char& Key);
    void IncrementalGoto(char Key);
    String FGotoText;
    int FGotoIdleTicks = 0;
    bool FKeyEnterAdvanced = false;
    // Tab and Enter helpers (ProGridNavigation.cpp).
    bool TabStep(bool Backward);
    bool AdvanceStep(int& ACol, int& ARow, bool Forwards, bool& Ended);
    void EnterClickControlCell(int FromCol, int FromRow);
    TGridCoord FAdvanceStart{-1, -1};
    // Focus, cursor and timer messages; true when handled whole (ProGridFocus.cpp).
    bool FocusTimerMessage(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void WMSetCursor(TMessage& Message);
    void CMDialogChar(TMessage& Message);
    void GridTimerTick();
    void RepaintBlinkingCells();
    bool FBlinkOn = true;
    int FTimerTicks = 0;

    // Painting helpers.
    void CreatePaintObjects();
    void DrawFixedCellLook(TCanvas* ACanvas, int ACol, int ARow, TRect& R);
    void DrawLookEdges(TCanvas* ACanvas, int ACol, int ARow, TRect R);
    void DrawTreeLines(TCanvas* ACanvas, int ARow, TRect R);
    void DrawNode(TCanvas* ACanvas, TRect R, int ARow);
    // The renderer's settings for an HTML cell, and the HTML text of a cell
    // drawn into its text rectangle TR.
    THtmlDrawParams HtmlCellParams(bool Selected);
    void DrawHtmlCellText(TCanvas* ACanvas, int ACol, TGridDrawState AState, TRect TR, TVAlignment VAlign,
                          const String& Text, TCellGraphic* G, bool GlyphShown, bool SortRow, bool FilterSpace);
    void DrawCellText(TCanvas* ACanvas, int ACol, int ARow, TGridDrawState AState, TRect R, TAlignment HAlign,
                      TVAlignment VAlign, bool WordWrap, TCellGraphic* G, int GW, int GH);
    // Rich text of a cell formatted onto the canvas by the hidden rich edit
    // (a second one beside the editor, never shown); false when it has no window.
    bool DrawRTFCell(int ACol, int ARow, TRect R, TCanvas* ACanvas);
    TProRichEdit* RichFormatter();
    TProRichEdit* FRichFormatter = nullptr;
    void DrawCellBackground(TCanvas* ACanvas, int ACol, int ARow, TRect R);
    void ApplyComponentPreset(TComponentStylePreset AStyle);
    void HandleScroll(TMessage& Message, bool Horz);
    // Hint, balloon and date picker messages; true when handled whole.
    bool HintMessage(TMessage& Message);
    void HintMouseMoved();
    void CMHintShow(TMessage& Message);
    bool WMNotifyHint(TMessage& Message);
    void BalloonDispInfo(tagNMTTDISPINFOW* Info, bool WideNotify);
    String HintCellText(int RealCol, int ARow);
    // Found, when given, receives the whole hit (a form control's ID, type,
    // value and rectangle).
    bool AnchorAt(int ACol, int ARow, TPoint P, String& Anchor, String& Title, THtmlDrawResult* Found = nullptr);
    std::unique_ptr<TBalloonSettings> NewBalloonSettings();
    std::unique_ptr<TBalloonSettings> FBalloon = NewBalloonSettings();
    HWND FTooltipWnd = nullptr;
    TGridCoord FLastHintCell{-1, -1};
    TGridCoord FLastBalloonCell{-1, -1};
    String FLastBalloonTitle;
    // The text the balloon tooltip reads (wide and 8-bit notifications).
    std::array<wchar_t, 1025> FBalloonTextW{};
    std::array<char, 1025> FBalloonTextA{};


    std::unique_ptr<TControlLook> FControlLook;
    std::unique_ptr<TBands> FBands;
    std::unique_ptr<TPrintSettings> FPrintSettings = std::make_unique<TPrintSettings>();
    std::unique_ptr<TBackGround> FBackGround;
    std::unique_ptr<TGridProgressAppearance> FProgressAppearance;
    std::unique_ptr<TColumnSize> FColumnSize;
    std::unique_ptr<TSortSettings> FSortSettings;
    std::unique_ptr<TBitmap> FRowIndicator;
    TFixedGradient FFixedGradient;
    bool FFlatBarsActive = false;
    std::unique_ptr<THintWindow> FScrollHintWindow;
    void ShowScrollHint(const String& Text);
    void HideScrollHint();
    UINT FSingleLineFlag = 0x20;
    int FPaintFailures = 0;
    // The focus as a running paint found it: -1 outside a paint (ask the
    // window system), else 0 or 1.
    int FPaintFocus = -1;
    // The measured text width (+2) of the cell being painted, for graphic placement.
    int FTextWidth = 0;
    // Shared only so that its type need not be complete here.
    std::shared_ptr<THTMLPictureCache> FPictureCache;

    // Lifecycle helpers (ProGrid.cpp).
    void CreateOwnedObjects();
    // The grid's place on its owner form's resize chain: joined at
    // creation, left at destruction or when the form is freed first
    // (FormAlive false: the form's members are gone by then).
    void HookOwnerFormResize();
    void UnhookOwnerFormResize(bool FormAlive = true);
    void ProbePlatform();
    void FreeHiddenRowObjects();

    // Row storage helpers (ProGridRows.cpp): copy a whole row (texts, object
    // references) over another, clear one without freeing, free one's objects.
    void CopyRowCells(int FromRow, int ToRow);
    void DropRowCells(int ARow);
    void FreeRowObjects(int ARow);
    // Real rows removed by deleting display rows ARow .. ARow + ACount - 1.
    std::vector<int> RealRowsOf(int ARow, int ACount) const;
    // Renumbers hidden rows after the removal of the given real rows (ascending).
    void RenumberHiddenAfterRemoval(const std::vector<int>& RemovedReal);
    // Renumbers hidden rows at or after real row RealRow by +ACount.
    void RenumberHiddenAfterInsert(int RealRow, int ACount);
    void InsertRowsCore(int ARow, int ACount, bool MoveControls, bool Renumber);
    // Splits every merged range that crosses the border above row ARow (or
    // touches rows ARow .. ARow + ACount - 1 partly).
    void SplitMergesCrossingRows(int ARow, int ACount);
    // Splits the merges that moving the row (with Columns the real column)
    // From to To cuts apart.
    void SplitMergesCutByMove(bool Columns, int From, int To);
    void RowsChanged();
    // The row count change without moving the floating footer's row (the
    // row operations move every row themselves).
    void ChangeRowCount(int Value);
    void ShiftRowFlagsForRemoval(int ARow, int ACount, const std::vector<int>& RemovedReal);
    void RestoreCurrentRowAfterRemoval(int OldRow, int OldTop);
    // Hidden-row helpers (ProGridHiddenRows.cpp).
    std::unique_ptr<TGridItem> TakeRow(int DisplayRow, int RealRow);
    void PutRow(const TGridItem& Item, int DisplayRow);
    void InsertHiddenItem(std::unique_ptr<TGridItem> Item);
    int HiddenBelow(int RealRow) const;
    // Sorting helpers (ProGridSort.cpp).
    struct TSortFrame;
    struct TSortKeyCache;
    void QuickSortRows(int ACol, int Lo, int Hi);
    void QuickSortRowsIndexed(int Depth, int Lo, int Hi);
    void QuickSortRowOrder(int Lo, int Hi);
    void SortRangeIndexed(int Lo, int Hi);
    void SortRowsInNodes(bool Indexed);
    void SortRowsFramed(bool Indexed);
    void CopyPivotRow(int FromRow, int ToRow);
    bool CanSortByIndex() const;
    struct TFastSortColumn;
    bool PrepareFastSortColumn(int ACol, int Lo, int Hi, TFastSortColumn& Out);
    void ApplyRowPermutation(const std::vector<int>& Perm, int Lo, int Hi);
    struct TSortMerges;
    int CompareCellsUncached(int ACol, int ARow1, bool Descending, int ARow2);
    // Grouping helpers (ProGridGroup.cpp).
    void SaveGroupColumn(int ACol);
    void SetRowColors(int ARow, TColor Brush, TColor BrushTo, TColor Font, bool Convert);
    void SetCellColors(int ACol, int ARow, TColor Brush, TColor BrushTo, TColor Font, bool Convert);
    void ClearRowBrushColors(int ARow, TColor Brush, TColor BrushTo);
    bool HasSubGroupLevels();
    // Nodes helpers (ProGridNodes.cpp).
    int NextNodeRow(int ARow);
    void ChangeNodeLevel(int ARow, int Delta);
    TCellGraphic* NodeGraphic(int ARow);

    std::unique_ptr<TNavigation> FNavigation;
    std::unique_ptr<TMouseActions> FMouseActions;
    std::unique_ptr<TSearchFooter> FSearchFooter;
    std::unique_ptr<TFloatingFooter> FFloatingFooter;
    std::unique_ptr<THTMLSettings> FHTMLSettings;
    std::unique_ptr<TDragDropSettings> FDragDropSettings;
    std::unique_ptr<TDragScrollOptions> FDragScrollOptions;
    std::unique_ptr<TCellNode> FCellNode;
    std::unique_ptr<TShowModified> FShowModified;
    std::unique_ptr<TStringList> FColumnHeaders;
    std::unique_ptr<TStringList> FRowHeaders;
    std::unique_ptr<TFont> FFixedFont;
    std::unique_ptr<TFont> FActiveCellFont;
    std::unique_ptr<TProHintInfo> FOfficeHint;
    std::unique_ptr<TSortIndexList> FSortIndexes;
    std::unique_ptr<TIntList> FRowOrder;
    std::unique_ptr<TIntList> FRowOrderCompanion;
    std::unique_ptr<TIntList> FMergedColumns;
    std::unique_ptr<TIntList> FSelectedCells;
    std::unique_ptr<TIntList> FSelectedRows;
    std::unique_ptr<TIntList> FSelectedCols;
    std::unique_ptr<TStringList> FLookupItems;
    std::unique_ptr<TIntList> FColumnOrder;
    std::unique_ptr<TCellGraphic> FRowCheckGraphic;
    std::unique_ptr<TIntList> FIgnoredColumns;
    std::unique_ptr<TIntList> FColWidthList;

    std::unique_ptr<TFilter> FFilter;
    std::unique_ptr<TGrouping> FGrouping;
    // The formats and key cache of the running sort, owned by the sort
    // frame (null outside a sort).
    TSortKeyCache* FSortKeys = nullptr;
    // Where the rows of the running sort came from, kept by SwapRows while
    // merges are set aside (owned by them; null otherwise).
    std::vector<int>* FSortPlaces = nullptr;
    int FSortSign = 1;
    bool FFilterActive = false;
    int FFilterFixedRows = 0;
    int FGroupColumn = -1;
    int FGroupColumnWidth = 0;
    String FGroupHeaderText;
    String FGroupFooterText;
    // The column the first level was grouped by, kept apart from the
    // values a sub-level records, so that UnGroup restores the right column.
    int FTopGroupColumn = -1;
    int FTopGroupWidth = 0;
    String FTopGroupHeader;
    String FTopGroupFooter;

    // Drag and drop, search and footer state; the windows are components
    // owned by the grid, the drop target holds one reference.
    TGridDropTarget* FOleDropTarget = nullptr;
    bool FOleRegistered = false;
    TArrowWindow* FDropArrows[4] = {};
    TPopupButton* FHeaderDragButton = nullptr;
    TSearchPanel* FSearchPanel = nullptr;
    TFooterPanel* FFooterPanel = nullptr;

    std::vector<std::unique_ptr<TGridItem>> FHiddenRows;
    bool FColumnVisible[512];
    int FHiddenColCount = 0;
    TGridRect FSavedSelection{};
    bool FSelectionHidden = false;
    TGridFlagList FRowSelectFlags;
    TGridFlagList FColSelectFlags;
    TGridFlagList FModifiedRowFlags;

    TComponentStylePreset FComponentStyle = tsOffice2003Blue;
    int FNodeCount = 0;
    int FLastReportedRow = -1;
    int FUpdateCount = 0;
    int FFixedRowHeight = 22;
    int FWantedFixedRows = 0;
    int FWantedFixedCols = 0;
    int FLargestRowCount = 0;
    int FLargestColCount = 0;
    int FFixedFooters = 0;
    int FFixedRightCols = 0;
    bool FWordWrap = true;
    bool FSkipNextInvalidate = false;
    bool FGridLoaded = false;
    bool FXPFlag = false;
    bool FVistaFlag = false;
    bool FComCtl6 = false;
    int FWheelMessage = 0;
    int FWheelScrollLines = 3;
    bool FTimerStarted = false;
    TCustomForm* FHookedForm = nullptr;
    std::shared_ptr<TFormResizeChain> FResizeChain;
    String FLastSelectedText;
    String FTextBeforeEdit;
    TGridEditState FEdit;
};

// True when the cell's text (through its merged base cell) is in the packed
// wide-text form.
bool IsPackedWideCell(TProStringGrid* Grid, int ACol, int ARow);

// Unit-level values registered at start-up.
unsigned ProGridClipboardFormat();
unsigned GridEditDoneMessage();
bool DatePickerAvailable();
