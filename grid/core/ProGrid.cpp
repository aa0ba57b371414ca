// TProStringGrid: construction with its owned settings, destruction, window
// creation, loading, copying, version texts, the owner form's resize chain
// and the unit's start-up.

#include "grid/core/ProGrid.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include <ole2.h>

#include "framework/Stream.h"
#include "grid/interaction/DragDropSettings.h"
#include "grid/interaction/DragScrollOptions.h"
#include "grid/interaction/FloatingFooter.h"
#include "grid/interaction/HTMLSettings.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"
#include "grid/interaction/SearchFooter.h"
#include "visuals/ProHintInfo.h"
#include "visuals/ProXPVS.h"

// The owner form's resize chain. The form's OnResize is one dispatcher that
// runs each grid's own handler, then the handler the form had before the
// first grid; grids join and leave the list in any order. The dispatcher in
// the form's OnResize and each grid on the list share the chain, so it lives
// as long as either needs it: nothing outside the form keeps the form's
// chain, and a grid never reaches into a form that is gone.
struct TFormResizeChain {
    TNotifyEvent Original;
    std::vector<TProStringGrid*> Grids;
};

namespace {

constexpr UINT_PTR GridTimerId = 111;
constexpr UINT GridTimerInterval = 500;

// The unit's start-up: OLE, the clipboard format, the editor message and the
// date-picker probe, once per process; OLE is released at its end.
struct TProGridUnit {
    TProGridUnit()
    {
        const HRESULT Hr = OleInitialize(nullptr);
        if (Hr != S_OK && Hr != S_FALSE) {
            char Buf[64];
            std::snprintf(Buf, sizeof Buf, "OleInitialize failed ($%lx)", static_cast<unsigned long>(Hr));
            StartError = Buf;
            return;
        }
        OleStarted = true;
        DatePicker = ComCtlVersion() >= 0x00040046;
        ClipboardFormat = static_cast<Word>(RegisterClipboardFormatW(L"TProStringGrid Cells"));
        EditDoneMessage = static_cast<Word>(RegisterWindowMessageW(L"GridEditDone"));
    }
    ~TProGridUnit()
    {
        if (OleStarted)
            OleUninitialize();
    }

    // The high dword of comctl32's file version, 0 when it has none.
    static DWORD ComCtlVersion()
    {
        DWORD Dummy = 0;
        const DWORD Size = GetFileVersionInfoSizeW(L"comctl32.dll", &Dummy);
        if (Size == 0)
            return 0;
        std::vector<BYTE> Data(Size);
        if (!GetFileVersionInfoW(L"comctl32.dll", 0, Size, Data.data()))
            return 0;
        VS_FIXEDFILEINFO* Info = nullptr;
        UINT Len = 0;
        if (!VerQueryValueW(Data.data(), L"\\", reinterpret_cast<void**>(&Info), &Len) || !Info
            || Info->dwSignature != 0xFEEF04BD)
            return 0;
        return Info->dwFileVersionMS;
    }

    bool OleStarted = false;
    String StartError;
    bool DatePicker = false;
    Word ClipboardFormat = 0;
    Word EditDoneMessage = 0;
};

TProGridUnit& Unit()
{
    static TProGridUnit U;
    return U;
}

// Runs the start-up when the program starts, as a unit's initialisation does.
[[maybe_unused]] const bool UnitStarted = (Unit(), true);

struct TFormResizeDispatch {
    std::shared_ptr<TFormResizeChain> Chain;
    void operator()(TObject* Sender) const
    {
        const std::vector<TProStringGrid*> Grids = Chain->Grids;
        const TNotifyEvent Original = Chain->Original;
        for (auto G = Grids.rbegin(); G != Grids.rend(); ++G)
            (*G)->FormResize();
        // The form's own handler runs after the grids; what it raises is
        // dropped, so that a failing handler never stops the resize.
        if (Original) {
            try {
                Original(Sender);
            } catch (const std::exception&) {
            }
        }
    }
};

} // namespace

unsigned ProGridClipboardFormat() { return Unit().ClipboardFormat; }

unsigned GridEditDoneMessage() { return Unit().EditDoneMessage; }

bool DatePickerAvailable() { return Unit().DatePicker; }

// ---------------------------------------------------------------------------
// TShowModified and the flag lists

void TShowModified::Assign(const TPersistent* Source)
{
    if (auto* S = dynamic_cast<const TShowModified*>(Source)) {
        FColor = S->FColor;
        Enabled = S->Enabled;
    }
}

void TShowModified::SetColor(TColor Value)
{
    FColor = Value;
    if (OnChange)
        OnChange(this);
}

int TGridFlagList::Get(int Index) const
{
    if (Index < 0 || Index >= Count())
        return 0;
    return FItems[static_cast<std::size_t>(Index)];
}

void TGridFlagList::Set(int Index, int Value)
{
    if (Index < 0)
        return;
    if (Index >= Count())
        FItems.resize(static_cast<std::size_t>(Index) + 1, 0);
    FItems[static_cast<std::size_t>(Index)] = Value;
}

void TGridFlagList::InsertZeros(int Index, int N)
{
    if (Index < 0 || Index > Count() || N <= 0)
        return;
    FItems.insert(FItems.begin() + Index, static_cast<std::size_t>(N), 0);
}

void TGridFlagList::DeleteAt(int Index, int N)
{
    if (Index < 0 || Index >= Count() || N <= 0)
        return;
    const int Last = std::min(Index + N, Count());
    FItems.erase(FItems.begin() + Index, FItems.begin() + Last);
}

// ---------------------------------------------------------------------------
// Construction and destruction

TProStringGrid::TProStringGrid(TComponent* AOwner) : TBaseGrid(AOwner)
{
    if (!Unit().StartError.empty())
        throw EProGridError(Unit().StartError);
    // Cells may hold embedded controls, whose parent is the grid.
    ControlStyle |= csAcceptsControls;
    // The release handling fires OnClick itself (once for fixed cells and
    // for normal cells without goEditing, again after a range selection).
    ControlStyle &= ~csClickEvents;
    ShowSelection = true;
    CreateOwnedObjects();

    SetRowCount(10);
    SetBounds(Left(), Top(), 400, 250);
    AutoSizeFlag = false;

    std::fill(std::begin(FColumnVisible), std::end(FColumnVisible), true);
    SetDefaultRowHeight(22);
    FFixedRowHeight = 22;
    FixedGradientTo = static_cast<TColor>(ColorToRGB(clBtnFace));
    ScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    ProbePlatform();
    HookOwnerFormResize();
    FLargestRowCount = std::max(FLargestRowCount, RowCount());
    FLargestColCount = std::max(FLargestColCount, ColCount());
}

void TProStringGrid::CreateOwnedObjects()
{
    FSearchFooter = std::make_unique<TSearchFooter>();
    FFloatingFooter = std::make_unique<TFloatingFooter>(this);
    FHTMLSettings = std::make_unique<THTMLSettings>();
    FDragDropSettings = std::make_unique<TDragDropSettings>();
    FDragDropSettings->OnDropTargetChange = [this](bool Value) { UpdateOleDropTarget(Value); };
    FSearchFooter->OnChange = [this](TObject*) { UpdateSearchPanel(); };
    FDragScrollOptions = std::make_unique<TDragScrollOptions>();
    FNavigation = std::make_unique<TNavigation>();
    FNavigation->OnChange = [this](TObject* Sender) { NavigationChanged(Sender); };
    FCellNode = std::make_unique<TCellNode>();
    FCellNode->OnChange = [this](TObject*) { Invalidate(); };
    FMouseActions = std::make_unique<TMouseActions>(this);
    FMouseActions->OnChange = [this](TObject* Sender) { MouseActionsChanged(Sender); };
    FColumnHeaders = std::make_unique<TStringList>();
    FColumnHeaders->OnChange = [this](TObject*) {
        ColumnHeadersChanged();
        ApplyColumnHeaders();
    };
    FSortSettings = std::make_unique<TSortSettings>(this);
    FFilter = std::make_unique<TFilter>(this);
    FGrouping = std::make_unique<TGrouping>();
    FSortIndexes = std::make_unique<TSortIndexList>();
    FRowOrder = std::make_unique<TIntList>(0, 0);
    FRowOrderCompanion = std::make_unique<TIntList>(0, 0);
    FMergedColumns = std::make_unique<TIntList>(0, 0);
    FMergedColumns->OnChange = [this](TIntList*, int, int) { MergeColumnsChanged(); };
    FSelectedCells = std::make_unique<TIntList>(0, 0);
    FSelectedRows = std::make_unique<TIntList>(0, 0);
    FSelectedCols = std::make_unique<TIntList>(0, 0);
    FFixedFont = std::make_unique<TFont>();
    FFixedFont->SetName("Tahoma");
    FFixedFont->SetStyle(TFontStyles{TFontStyle::fsBold});
    FFixedFont->OnChange = [this](TObject*) { Invalidate(); };
    FActiveCellFont = std::make_unique<TFont>();
    FActiveCellFont->SetStyle(TFontStyles{TFontStyle::fsBold});
    if (IsDesigning())
        FActiveCellFont->SetName("Tahoma");
    FActiveCellFont->OnChange = [this](TObject*) { Invalidate(); };
    FRowHeaders = std::make_unique<TStringList>();
    FRowHeaders->OnChange = [this](TObject*) { ApplyRowHeaders(); };
    FLookupItems = std::make_unique<TStringList>();
    FColWidthList = std::make_unique<TIntList>(0, 0);
    CreatePaintObjects();
    FShowModified = std::make_unique<TShowModified>();
    FShowModified->OnChange = [this](TObject*) { RedrawCol(0); };
    FColumnOrder = std::make_unique<TIntList>(0, 0);
    FRowCheckGraphic = std::make_unique<TCellGraphic>();
    FIgnoredColumns = std::make_unique<TIntList>(0, 0);
    FOfficeHint = std::make_unique<TProHintInfo>();
}

void TProStringGrid::ProbePlatform()
{
    OSVERSIONINFOW Ver{};
    Ver.dwOSVersionInfoSize = sizeof Ver;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&Ver);
#pragma GCC diagnostic pop
    FXPFlag = Ver.dwMajorVersion > 5 || (Ver.dwMajorVersion == 5 && Ver.dwMinorVersion >= 1);
    FVistaFlag = HasVistaApi();
    const DWORD CC = TProGridUnit::ComCtlVersion();
    FComCtl6 = CC != 0 && static_cast<int>(HIWORD(CC)) > 5;

    // The wheel: old systems announced it through the "MouseZ" window;
    // everything since uses WM_MOUSEWHEEL and the system's line count.
    UINT Lines = 3;
    if (SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0))
        FWheelScrollLines = static_cast<int>(Lines);
    FWheelMessage = WM_MOUSEWHEEL;
}

TProStringGrid::~TProStringGrid()
{
    // The balloon tooltip belongs to the form's window, not to the grid's.
    DestroyBalloon();
    // The widths go to their store before anything is freed; a store that
    // cannot be written never stops the grid from going.
    if (FColumnSize && FColumnSize->Save) {
        try {
            SaveColumnSizes();
        } catch (const std::exception&) {
        }
    }
    Destroying();
    UnhookOwnerFormResize();

    // Every cell object goes: those kept for hidden rows and those of the
    // cell storage up to the largest counts the grid ever had (rows beyond
    // the count keep their cells).
    FreeHiddenRowObjects();
    const int Rows = std::max(RowCount(), FLargestRowCount);
    const int Cols = std::max(ColCount(), FLargestColCount);
    if (PropertiesCreated)
        for (int R = 0; R < Rows; ++R)
            for (int C = 0; C < Cols; ++C)
                if (Objects(C, R))
                    FreeCellProperties(C, R);
    PropertiesCreated = false;
}

void TProStringGrid::FreeHiddenRowObjects()
{
    for (auto& Item : FHiddenRows)
        for (int I = 0; I < Item->Items.Count(); ++I) {
            FreeOwnedCellObject(Item->Items.Objects(I));
            Item->Items.PutObject(I, nullptr);
        }
    FHiddenRows.clear();
}

// ---------------------------------------------------------------------------
// The owner form's resize chain

void TProStringGrid::HookOwnerFormResize()
{
    auto* Form = dynamic_cast<TCustomForm*>(Owner());
    if (!Form || IsDesigning())
        return;
    // The first grid of a form puts the dispatcher in; a handler the
    // application bound since then is wrapped by a new chain.
    auto* Dispatch = Form->OnResize.target<TFormResizeDispatch>();
    if (!Dispatch) {
        auto Chain = std::make_shared<TFormResizeChain>();
        Chain->Original = Form->OnResize;
        Form->OnResize = TFormResizeDispatch{Chain};
        Dispatch = Form->OnResize.target<TFormResizeDispatch>();
    }
    FResizeChain = Dispatch->Chain;
    FResizeChain->Grids.push_back(this);
    FHookedForm = Form;
    // The form tells the grid when it goes (see Notification), also when
    // the grid is no longer among its components by then.
    FreeNotification(Form);
    FFormWidth = Form->Width();
    FFormHeight = Form->Height();
}

void TProStringGrid::UnhookOwnerFormResize(bool FormAlive)
{
    if (!FHookedForm)
        return;
    auto& Grids = FResizeChain->Grids;
    Grids.erase(std::remove(Grids.begin(), Grids.end(), this), Grids.end());
    // Of a form being freed, the members (OnResize with the dispatcher among
    // them) are already gone: the grid only leaves the chain. Of a living
    // form, the last grid gives the form its own handler back, unless the
    // application has put another one in place since.
    if (FormAlive) {
        RemoveFreeNotification(FHookedForm);
        auto* Dispatch = FHookedForm->OnResize.target<TFormResizeDispatch>();
        if (Grids.empty() && Dispatch && Dispatch->Chain == FResizeChain)
            FHookedForm->OnResize = FResizeChain->Original;
    }
    FResizeChain.reset();
    FHookedForm = nullptr;
}

// ---------------------------------------------------------------------------
// Window, loading, painting

void TProStringGrid::CreateWnd()
{
    if (IsDestroying())
        return;
    TBaseGrid::CreateWnd();
    if (!Parent())
        return;
    SetTimer(Handle(), GridTimerId, GridTimerInterval, nullptr);
    FTimerStarted = true;
    if (IsDesigning() && !FGridLoaded && !IsLoading())
        Font()->SetName("Tahoma");
    if (!ThemesAvailable())
        FXPFlag = false;
    if (FColumnSize->Save)
        LoadColumnSizes();
}

void TProStringGrid::Loaded()
{
    TBaseGrid::Loaded();
    ApplyColumnHeaders();
    ApplyRowHeaders();
    // The classic look has a grey-to-white fixed-cell gradient of its own.
    if (Look == glClassic) {
        FixedGradientFrom = static_cast<TColor>(0xC0C0C0);
        FixedGradientTo = static_cast<TColor>(0xFFFFFF);
        FixedGradientMirrorFrom = clNone;
        FixedGradientMirrorTo = clNone;
    }
    FWantedFixedRows = TStringGrid::FixedRows();
    FWantedFixedCols = TStringGrid::FixedCols();
    FLargestRowCount = std::max(FLargestRowCount, RowCount());
    FGridLoaded = true;
    // Loaded grids keep columns visible and rows at least their default height.
    FMinColWidth = 10;
    FMinRowHeight = DefaultRowHeight();
    SaveColumnProportions();
    if (FBalloon->Enable())
        SetupBalloon();
    if (HasOption(goAlwaysShowEditor)) {
        FNavigation->AlwaysEdit = true;
        SetOptions(Options() & ~static_cast<TGridOptions>(goAlwaysShowEditor));
    }
    // Themed controls need visual styles; without them they are drawn classic.
    if (!FXPFlag && !IsDesigning() && FControlLook->ControlStyle() == csTheme)
        FControlLook->SetControlStyle(csClassic);
    FSearchFooter->SetAutoThemeAdapt(AutoThemeAdapt);
    UpdateScrollBarVisibility(false);
    if (FColumnSize->Save)
        LoadColumnSizes();
    if (AutoThemeAdapt)
        ApplyThemeColors();
}

void TProStringGrid::Invalidate()
{
    if (FSkipNextInvalidate) {
        FSkipNextInvalidate = false;
        return;
    }
    TBaseGrid::Invalidate();
    if (!IsLoading() && FFloatingFooter && FFloatingFooter->Visible())
        RepaintFloatingFooter();
}

void TProStringGrid::Resize()
{
    TBaseGrid::Resize();
    SizeMessage();
    UpdateScrollBarVisibility(false);
}

void TProStringGrid::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (IntegralHeight && FUpdateCount == 0 && DefaultRowHeight() > 0) {
        const int H = VisibleColCount() + TStringGrid::FixedCols() < ColCount() ? GetSystemMetrics(SM_CYHSCROLL) : 0;
        const int B = BorderStyle() == bsSingle ? 2 : 0;
        const int Rest = (AHeight - H - B) % DefaultRowHeight();
        AHeight = AHeight + B - (Rest < 0 ? Rest + DefaultRowHeight() : Rest);
    }
    TBaseGrid::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TProStringGrid::Paint()
{
    // While updates are held nothing is drawn; the paint message still ends
    // (the window's paint handling validates it), so no paint loop spins.
    if (FUpdateCount > 0)
        return;
    FPaintFocus = TBaseGrid::Focused() ? 1 : 0;
    struct TFocusAsked {
        int& Focus;
        ~TFocusAsked() { Focus = -1; }
    } FocusAsked{FPaintFocus};
    // The strips along the bottom edge (search bar, floating footer) are
    // drawn by their own windows: a row partly in view ends at the cell
    // area's edge. Only the clipping is put back afterwards, as the canvas
    // keeps its own objects selected.
    HDC DC = Canvas()->Handle();
    HRGN Clip = CreateRectRgn(0, 0, 0, 0);
    const bool HadClip = GetClipRgn(DC, Clip) == 1;
    const TRect Area = CellArea();
    IntersectClipRect(DC, Area.left, Area.top, Area.right, Area.bottom);
    Canvas()->Pen()->SetStyle(TPenStyle::psSolid);
    TBaseGrid::Paint();
    Canvas()->Pen()->SetColor(clBlack);
    if (!FBackGround->Bitmap()->Empty() || FBackGround->ColorTo() != clNone)
        PaintBackgroundOutsideCells(Canvas());
    SelectClipRgn(DC, HadClip ? Clip : nullptr);
    DeleteObject(Clip);
}

bool TProStringGrid::Focused() const { return FPaintFocus >= 0 ? FPaintFocus != 0 : TBaseGrid::Focused(); }

void TProStringGrid::WndProc(TMessage& Message)
{
    if (HintMessage(Message))
        return;
    if (WheelPanMessage(Message))
        return;
    if (MouseButtonMessage(Message))
        return;
    if (Message.Msg == WM_DESTROY && FTimerStarted && HandleAllocated()) {
        KillTimer(Handle(), GridTimerId);
        FTimerStarted = false;
    }
    if (Message.Msg == WM_DESTROY && FOleRegistered)
        UpdateOleDropTarget(false);
    if (EditingMessage(Message))
        return;
    if (FocusTimerMessage(Message))
        return;
    switch (Message.Msg) {
    case WM_HSCROLL: HandleScroll(Message, true); return;
    case WM_VSCROLL: HandleScroll(Message, false); return;
    case WM_THEMECHANGED:
        if (AutoThemeAdapt)
            ApplyThemeColors();
        break;
    default: break;
    }
    TBaseGrid::WndProc(Message);
    if (Message.Msg == WM_NCPAINT)
        PaintFlatBorder();
    if (Message.Msg == WM_GETDLGCODE && (FNavigation->AutoGotoWhenSorted || !HasOption(goEditing)))
        Message.Result |= DLGC_WANTCHARS;
}


// ---------------------------------------------------------------------------
// Copying and version

void TProStringGrid::Assign(const TPersistent* Source)
{
    auto* S = dynamic_cast<const TProStringGrid*>(Source);
    if (!S)
        return;
    Font()->Assign(S->Font());
    ActiveCellColor = S->ActiveCellColor;
    ActiveCellColorTo = S->ActiveCellColorTo;
    FActiveCellFont->Assign(S->FActiveCellFont.get());
    ActiveCellShow = S->ActiveCellShow;
    SetActiveRowShow(S->ActiveRowShow());
    SetAlign(S->Align());
    AnchorHint = S->AnchorHint;
    AutoNumAlign = S->AutoNumAlign;
    AutoSizeFlag = S->AutoSizeFlag;
    AutoThemeAdapt = S->AutoThemeAdapt;
    FMouseActions->Assign(S->FMouseActions.get());
    FNavigation->Assign(S->FNavigation.get());
    FGrouping->Assign(S->FGrouping.get());
    FSearchFooter->Assign(S->FSearchFooter.get());
    FFilter->Assign(S->FFilter.get());
    FHTMLSettings->Assign(S->FHTMLSettings.get());
    FBands->Assign(S->FBands.get());
    FPrintSettings->Assign(S->FPrintSettings.get());
    FCellNode->Assign(S->FCellNode.get());
    FSortSettings->Assign(S->FSortSettings.get());
    FDragScrollOptions->Assign(S->FDragScrollOptions.get());
    FDragDropSettings->Assign(S->FDragDropSettings.get());
    FProgressAppearance->Assign(S->FProgressAppearance.get());
    FOfficeHint->Assign(S->FOfficeHint.get());
    FixedRowAlways = S->FixedRowAlways;
    SetColCount(S->ColCount());
    SetRowCount(S->RowCount());
    SetFixedRows(S->TStringGrid::FixedRows());
    SetFixedCols(S->TStringGrid::FixedCols());
    SetDefaultColWidth(S->DefaultColWidth());
    SetDefaultRowHeight(S->DefaultRowHeight());
    SetFixedRowHeight(S->FixedRowHeight());
    SetFixedColWidth(S->FixedColWidth());
    SetOptions(S->Options());
    for (int C = 0; C < ColCount(); ++C)
        SetColWidths(C, S->ColWidths(C));
    SetColumnHeaders(S->FColumnHeaders.get());
    for (int R = 0; R < RowCount(); ++R)
        SetRowHeights(R, S->RowHeights(R));
    ScrollProportional = S->ScrollProportional;
    ScrollSynch = S->ScrollSynch;
    ScrollWidth = S->ScrollWidth;
    ScrollHints = S->ScrollHints;
    ScrollBarAlways = S->ScrollBarAlways;
    SetScrollBars(S->ScrollBars());
    ScrollColor = S->ScrollColor;
    ScrollType = S->ScrollType;
    AssignCells(const_cast<TProStringGrid*>(S));
}

void TProStringGrid::AssignCells(TProStringGrid* Grid)
{
    // Through the other grid's text stream: its save texts, column widths
    // and counts travel, nothing of the cells' properties or graphics. The
    // stream carries only non-empty cells, so this grid's texts are cleared
    // first; a copy keeps none of the old ones.
    if (!Grid || Grid == this)
        return;
    TMemoryStream Stream;
    Grid->WriteGridTextStream(&Stream);
    for (int R = 0; R < RowCount(); ++R)
        for (int C = 0; C < ColCount(); ++C)
            SetCellTextRaw(C, R, String());
    Stream.SetPosition(0);
    ReadGridTextStream(&Stream);
}

int TProStringGrid::GetVersionNr() const { return (4 << 24) | (0 << 16) | (6 << 8) | 7; }

String TProStringGrid::Version() const
{
    const int V = GetVersionNr();
    return std::to_string((V >> 24) & 0xFF) + "." + std::to_string((V >> 16) & 0xFF) + "."
        + std::to_string((V >> 8) & 0xFF) + "." + std::to_string(V & 0xFF);
}

String TProStringGrid::GetVersionString() const { return Version() + " " + "Jul, 2008"; }

void TProStringGrid::SetOfficeHint(const TProHintInfo* Value) { FOfficeHint->Assign(Value); }

void TProStringGrid::SetFixedFont(const TFont* Value)
{
    FFixedFont->Assign(Value);
    Invalidate();
}
