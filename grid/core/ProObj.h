#pragma once
// Small classes the string grid and its panels share: integer lists with a
// change event (row order, merge columns, selections, image indexes), the
// multi-column sort list, the list of controls embedded in cells, a picture
// read from a file, a line reader over a loaded text file, the arrow windows
// shown at row and column move targets, the popup button drawn over the grid
// and the graphic button of the search panel.

#include <functional>
#include <memory>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/GraphicControl.h"
#include "framework/Panel.h"
#include "framework/StringList.h"

class TImageList;
class TPopupMenu;

class TIntList;

// Called after an event-firing change with the list and its two tags.
using TIntListChangeEvent = std::function<void(TIntList* Sender, int ColumnTag, int RowTag)>;

// A list of integers with two tags (a column and a row, given at creation).
// Only SetInteger, AddInteger and DeleteIndex (and what goes through them)
// fire OnChange; the plain list operations change the entries quietly.
// An index outside 0 .. Count() - 1 raises EListError.
class TIntList : public TObject {
public:
    TIntList(int ColumnTag, int RowTag);

    int ColumnTag() const { return FColumnTag; }
    int RowTag() const { return FRowTag; }
    int Count() const { return static_cast<int>(FItems.size()); }

    // Event-firing changes.
    void SetInteger(int Index, int Value);
    void AddInteger(int Value);
    void DeleteIndex(int Index);
    // Deletes the first entry equal to Value through DeleteIndex; nothing when absent.
    void RemoveValue(int Value);

    // Quiet changes.
    void InsertInteger(int Index, int Value);
    int Add(int Value);
    void Delete(int Index);
    void Clear();
    void Exchange(int Index1, int Index2);
    // Entry First + P takes the entry that stood at From[P], for a From
    // that lists First .. First + From.size() - 1 in a new order.
    void Permute(int First, const std::vector<int>& From);
    // Moves the entry at CurIndex so that it ends at NewIndex.
    void Move(int CurIndex, int NewIndex);
    // Copies the entries of Source (not its tags or event).
    void Assign(const TIntList* Source);

    int GetInteger(int Index) const;
    int operator[](int Index) const { return GetInteger(Index); }
    bool HasValue(int Value) const { return IndexOf(Value) >= 0; }
    // Index of the first entry equal to Value, -1 when none.
    int IndexOf(int Value) const;
    const std::vector<int>& Items() const { return FItems; }

    // The entries as decimal numbers joined by ",".
    String GetCommaText() const;
    // Replaces the entries by the comma-separated integers of Text, each added
    // through AddInteger (one event per item). Every item is converted before
    // the list is touched, so a non-integer item raises EConvertError and
    // leaves the list as it was.
    void SetCommaText(const String& Text);

    TIntListChangeEvent OnChange;

protected:
    void CheckIndex(int Index) const;
    void Changed();

private:
    std::vector<int> FItems;
    int FColumnTag;
    int FRowTag;
};

// The columns of a multi-column sort in priority order. An entry is a column
// index; its high bit marks a descending column.
class TSortIndexList : public TIntList {
public:
    static constexpr unsigned DescendingFlag = 0x80000000u;

    TSortIndexList() : TIntList(0, 0) {}

    // Adds Col, marked descending when Ascending is false.
    void AddSortColumn(int Col, bool Ascending);
    // Index of the first entry whose column is Col, -1 when none.
    int FindSortColumn(int Col) const;
    // The column of the entry at Index, without the direction mark.
    int GetSortColumn(int Index) const;
    // True when the entry at Index sorts ascending.
    bool IsAscending(int Index) const;
    // Flips the direction of the first entry of Col (through SetInteger).
    void ToggleSortDirection(int Col);

    static int ColumnOf(int Entry) { return static_cast<int>(static_cast<unsigned>(Entry) & ~DescendingFlag); }
};

// ---------------------------------------------------------------------------
// Controls embedded in cells.

// One embedded control and the cell that holds it. The control belongs to
// its own owner; the entry only refers to it.
struct TControlItem {
    int Column = 0;
    int Row = 0;
    TControl* Control = nullptr;
};

// The grid's list of embedded controls; it owns its entries (not the
// controls) and frees them with itself.
class TControlList : public TObject {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // The entry at Index; EListError outside 0 .. Count() - 1.
    TControlItem* Items(int Index) const;
    TControlItem* Add(int Column, int Row, TControl* Control);
    void Delete(int Index);
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TControlItem>> FItems;
};

// ---------------------------------------------------------------------------
// A picture kept as a file name: it is read from the file to learn its size
// and again at every drawing, so a cell holds no pixels. The file may be a
// bitmap, JPEG, GIF, icon or metafile (whatever the system's picture loader
// reads). A missing or unreadable file has size 0 x 0 and draws nothing.
class TFilePicture : public TPersistent {
public:
    const String& Filename() const { return FFilename; }
    // Stores the name and takes the picture's size from the file.
    void SetFilename(const String& Value);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }

    // Copies the file name and the size.
    void Assign(const TPersistent* Source) override;
    // Reads the file and stretches the picture into R; never raises.
    void Draw(TCanvas* Canvas, const TRect& R) const;

private:
    String FFilename;
    int FWidth = 0;
    int FHeight = 0;
};

// A text file's lines, read one after another (CSV import).
class TFileStringList : public TStringList {
public:
    // Back to the first line; the line cache is emptied.
    void Reset();
    bool AtEnd() const { return FReadPos >= Count(); }
    // The line at the read position (the cache holds it too), then moves on;
    // an empty string at the end.
    String ReadLine();
    int ReadPos() const { return FReadPos; }
    const String& Cache() const { return FCache; }

private:
    int FReadPos = 0;
    String FCache;
};

// ---------------------------------------------------------------------------
// The arrow shown at a row or column move target: a lime popup window of
// 11 x 11 pixels shaped by a window region to an arrow. Direction 0 points
// up, 1 down, 2 right, 3 left; any other direction gets no region.
class TArrowWindow : public TPanel {
public:
    TArrowWindow(TWinControl* Grid, int Direction);

    int Direction() const { return FDirection; }
    // The arrow's seven polygon points, in window coordinates; none for an
    // unknown direction.
    static std::vector<TPoint> ArrowPoints(int Direction);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;

private:
    int FDirection;
};

// The header drag button: a disabled, bordered, topmost popup window that
// shows a header's caption over a mirrored gradient while it is dragged.
class TPopupButton : public TCustomControl {
public:
    explicit TPopupButton(TComponent* AOwner);

    TColor ColorFrom() const { return FColorFrom; }
    void SetColorFrom(TColor Value) { FColorFrom = Value; Invalidate(); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { FColorTo = Value; Invalidate(); }
    TColor ColorMirrorFrom() const { return FColorMirrorFrom; }
    void SetColorMirrorFrom(TColor Value) { FColorMirrorFrom = Value; Invalidate(); }
    TColor ColorMirrorTo() const { return FColorMirrorTo; }
    void SetColorMirrorTo(TColor Value) { FColorMirrorTo = Value; Invalidate(); }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value) { FImages = Value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value) { FFlat = Value; Invalidate(); }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    void TextChanged() override { Invalidate(); }

private:
    TColor FColorFrom = clNone;
    TColor FColorTo = clNone;
    TColor FColorMirrorFrom = clNone;
    TColor FColorMirrorTo = clNone;
    TImageList* FImages = nullptr;
    bool FFlat = false;
};

// ---------------------------------------------------------------------------
// The graphic button of the search panel.

// Stepped gradient of Steps bands (at least 1) from FromColor to ToColor,
// each band one pixel longer than its share; framed in Border unless clNone.
void DrawButtonGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, bool Horizontal, TRect R, int Steps,
                        TColor Border);

enum TProGridButtonStyle { tasButton, tasCheck };

// A flat, window-less button with hot, down and checked colours (plain or
// gradient), an optional drop-down part, glyphs per state with a shade, and
// group behaviour: buttons of one parent with the same GroupIndex are down
// one at a time.
class TProGridButton : public TGraphicControl {
public:
    // Kept inside the class: the glow button of the office library has an
    // enumeration of the same name with more values.
    enum TButtonLayout { blGlyphLeft, blGlyphTop, blGlyphRight, blGlyphBottom };
    enum class TState { Up, Disabled, Down, Exclusive };

    explicit TProGridButton(TComponent* AOwner);
    ~TProGridButton() override;

    TProGridButtonStyle Style() const { return FStyle; }
    void SetStyle(TProGridButtonStyle Value) { FStyle = Value; Invalidate(); }
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    // Values below -1 are ignored.
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);

    TBitmap* Glyph() const { return FGlyph.get(); }
    // Copies Value; while GlyphDisabled is empty it becomes a grey copy.
    void SetGlyph(const TBitmap* Value);
    TBitmap* GlyphHot() const { return FGlyphHot.get(); }
    void SetGlyphHot(const TBitmap* Value) { FGlyphHot->Assign(Value); }
    TBitmap* GlyphDown() const { return FGlyphDown.get(); }
    void SetGlyphDown(const TBitmap* Value) { FGlyphDown->Assign(Value); }
    TBitmap* GlyphDisabled() const { return FGlyphDisabled.get(); }
    void SetGlyphDisabled(const TBitmap* Value) { FGlyphDisabled->Assign(Value); }

    // Color is the control's own colour (set to clBtnFace at creation).
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { FColorTo = Value; Invalidate(); }
    TColor ColorHot() const { return FColorHot; }
    void SetColorHot(TColor Value) { FColorHot = Value; }
    TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor Value) { FColorHotTo = Value; }
    TColor ColorDown() const { return FColorDown; }
    void SetColorDown(TColor Value) { FColorDown = Value; }
    TColor ColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(TColor Value) { FColorDownTo = Value; }
    TColor ColorChecked() const { return FColorChecked; }
    void SetColorChecked(TColor Value) { FColorChecked = Value; Invalidate(); }
    TColor ColorCheckedTo() const { return FColorCheckedTo; }
    void SetColorCheckedTo(TColor Value) { FColorCheckedTo = Value; Invalidate(); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { FBorderColor = Value; Invalidate(); }
    TColor BorderDownColor() const { return FBorderDownColor; }
    void SetBorderDownColor(TColor Value) { FBorderDownColor = Value; }
    TColor BorderHotColor() const { return FBorderHotColor; }
    void SetBorderHotColor(TColor Value) { FBorderHotColor = Value; }
    bool Rounded() const { return FRounded; }
    void SetRounded(bool Value) { FRounded = Value; Invalidate(); }
    bool DropDownButton() const { return FDropDownButton; }
    void SetDropDownButton(bool Value) { FDropDownButton = Value; Invalidate(); }
    TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* Value);
    bool Shaded() const { return FShaded; }
    void SetShaded(bool Value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value);
    bool AutoXPStyle() const { return FAutoXPStyle; }
    void SetAutoXPStyle(bool Value) { FAutoXPStyle = Value; Invalidate(); }

    TNotifyEvent OnDropDown;

    TState State() const { return FState; }
    bool Hot() const { return FHot; }
    // The clGray silhouette of the glyph drawn under a hot shaded glyph.
    TBitmap* ShadeGlyph() const { return FShade.get(); }

    // Sets the hot flag from whether the control under the cursor is this
    // button, then sends itself the matching enter or leave notification.
    void UpdateHot();
    void BuildShade();
    // Takes the colour preset that matches the current visual style.
    void ThemeAdapt();
    // The colour presets: 1 classic, 2 blue, 3 olive, 4 silver.
    void ApplyPreset(int Preset);
    // 1 for "NormalColor", 2 "HomeStead", 3 "Metallic", 0 otherwise or
    // without visual styles.
    static int CurrentSchemeKind();

    void Loaded() override;

protected:
    void WndProc(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint() override;
    void DblClick() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void GlyphChanged(TObject* Sender);
    void NotifyGroup();
    void ButtonPressed(TMessage& Message);
    void DialogChar(TMessage& Message);
    void MouseEnter();
    void MouseLeave();
    void PaintFace(TRect& R);
    void PaintContent(TRect R);

    TProGridButtonStyle FStyle = tasButton;
    bool FDown = false;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    bool FFlat = true;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    std::unique_ptr<TBitmap> FGlyph;
    std::unique_ptr<TBitmap> FGlyphHot;
    std::unique_ptr<TBitmap> FGlyphDown;
    std::unique_ptr<TBitmap> FGlyphDisabled;
    std::unique_ptr<TBitmap> FShade;
    TColor FColorTo = clNone;
    TColor FColorHot = 0xCAC7C7;
    TColor FColorHotTo = clNone;
    TColor FColorDown = 0xD8D3D2;
    TColor FColorDownTo = clNone;
    TColor FColorChecked = clGray;
    TColor FColorCheckedTo = clNone;
    TColor FBorderColor = clNone;
    TColor FBorderDownColor = clNone;
    TColor FBorderHotColor = clNone;
    bool FRounded = false;
    bool FDropDownButton = false;
    TPopupMenu* FDropDownMenu = nullptr;
    bool FShaded = true;
    bool FShowCaption = true;
    bool FAutoThemeAdapt = false;
    bool FAutoXPStyle = false;

    TState FState = TState::Up;
    bool FHot = false;
    bool FDragging = false;
};
