#include "skin/windows/qSkinableMenus.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "framework/Application.h"
#include "framework/Bitmap.h"
#include "framework/Form.h"
#include "framework/ImageList.h"
#include "framework/Screen.h"
#include "framework/WindowHooks.h"
#include "skin/engine/qPixelOps.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"

std::unique_ptr<TBitmap> MenuBackground;
bool MenuMeasuring = false;
TqMenuBarCacheLookup MenuBarCacheLookup;

namespace {

// The popup being painted and what its extra-line event gave.
TMenuItem* CachedFirstItem = nullptr;   // compared only, never followed
bool ExtraLineFetched = false;
bool ExtraLineVisible = false;
String ExtraLineSection;
String ExtraLineCaption;
std::unique_ptr<TBitmap> ExtraLineGlyph;
int IconLineWidth = 0;
bool FetchGuard = false;

const char* const DefaultExtraLineCaption = "Don`t forget OnGetExtraLineData event...";
// The private message that asks the manager to find and skin the popup
// window of an item drawn without one.
constexpr UINT WM_SKINPOPUPOFITEM = 0xBCB3;
// The same for a popup window named directly.
constexpr UINT WM_SKINPOPUPWINDOW = 0xBCB4;
// Width of the frame round a popup's items in the skin's layout.
constexpr int MenuFrame = 3;

// The region procedures put in front of popup windows, by window.
std::unordered_map<HWND, TWindowHook>& RegionHooks()
{
    static auto* hooks = new std::unordered_map<HWND, TWindowHook>;
    return *hooks;
}

TMenuItem* FirstItemOf(const TMenuItem* Item)
{
    TMenuItem* parent = Item->Parent();
    return parent != nullptr && parent->Count() > 0 ? parent->Items(0) : const_cast<TMenuItem*>(Item);
}

TCustomForm* FormOfItem(const TMenuItem* Item)
{
    for (TComponent* c = Item->GetParentMenu(); c != nullptr; c = c->Owner())
        if (auto* form = dynamic_cast<TCustomForm*>(c))
            return form;
    return nullptr;
}

// The item's neighbours among the visible items of its parent.
const TMenuItem* NextVisible(const TMenuItem* Item)
{
    const TMenuItem* parent = Item->Parent();
    if (parent == nullptr)
        return nullptr;
    for (int i = parent->IndexOf(Item) + 1; i < parent->Count(); ++i)
        if (parent->Items(i)->Visible)
            return parent->Items(i);
    return nullptr;
}

bool IsFirstVisible(const TMenuItem* Item)
{
    const TMenuItem* parent = Item->Parent();
    if (parent == nullptr)
        return true;
    for (int i = 0; i < parent->Count(); ++i)
        if (parent->Items(i)->Visible)
            return parent->Items(i) == Item;
    return false;
}

bool IsTopLevelOfMainMenu(const TMenuItem* Item)
{
    const TMenuItem* parent = Item->Parent();
    return parent != nullptr && parent->Parent() == nullptr && dynamic_cast<TMainMenu*>(Item->GetParentMenu()) != nullptr;
}

String ShortCutText(const TMenuItem* Item)
{
    return Item->ShortCut != 0 ? ShortCutToText(Item->ShortCut) : String();
}

String RemoveAmpersands(String Text)
{
    Text.erase(std::remove(Text.begin(), Text.end(), '&'), Text.end());
    return Text;
}

const TqMaskData* MaskOf(TqSkinManager* Manager, int Index)
{
    return Manager->IsValidMaskIndex(Index) ? &Manager->Skin().Masks[static_cast<std::size_t>(Index)] : nullptr;
}

void CopyFromBitmap(HDC DC, int X, int Y, int W, int H, TBitmap* Source, int SX, int SY)
{
    if (W > 0 && H > 0)
        BitBlt(DC, X, Y, W, H, Source->Canvas()->Handle(), SX, SY, SRCCOPY);
}

// The platform's sub-menu arrow bitmap (OBM_MNARROW), drawn in Colour at the
// place the platform gives it in an item of width Right and height Height
// (its right edge 1 pixel in, centred), the pixels around it left as they
// are. Returns its rectangle, empty when the platform has none.
TRect DrawSubMenuArrow(TBitmap* Bitmap, int Right, int Height, TColor Colour)
{
    constexpr int MenuArrowBitmap = 32739;
    HBITMAP arrow = LoadBitmapW(nullptr, MAKEINTRESOURCEW(MenuArrowBitmap));
    BITMAP info{};
    if (arrow == nullptr || GetObjectW(arrow, sizeof(info), &info) == 0) {
        if (arrow != nullptr)
            DeleteObject(arrow);
        return {};
    }
    const int w = info.bmWidth;
    const int h = info.bmHeight;
    // A one-bit copy: the arrow's white background 1, the arrow 0.
    HDC colourDC = CreateCompatibleDC(nullptr);
    HDC monoDC = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateBitmap(w, h, 1, 1, nullptr);
    HGDIOBJ oldColour = SelectObject(colourDC, arrow);
    HGDIOBJ oldMono = SelectObject(monoDC, mono);
    SetBkColor(colourDC, RGB(255, 255, 255));
    BitBlt(monoDC, 0, 0, w, h, colourDC, 0, 0, SRCCOPY);
    // Blitted to colour, 0 becomes the text colour and 1 the background
    // colour: first the arrow black over what is there, then its colour.
    const TRect r{Right - w - 1, (Height - h) / 2, Right - 1, (Height - h) / 2 + h};
    const HDC dc = Bitmap->Canvas()->Handle();
    const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, r.left, r.top, w, h, monoDC, 0, 0, SRCAND);
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Colour)));
    SetBkColor(dc, RGB(0, 0, 0));
    BitBlt(dc, r.left, r.top, w, h, monoDC, 0, 0, SRCPAINT);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    SelectObject(monoDC, oldMono);
    SelectObject(colourDC, oldColour);
    DeleteDC(monoDC);
    DeleteDC(colourDC);
    DeleteObject(mono);
    DeleteObject(arrow);
    return r;
}

} // namespace

void FreeMenuBackground()
{
    MenuBackground.reset();
}

void ReleaseMenuBackground()
{
    CachedFirstItem = nullptr;
    FreeMenuBackground();
    ExtraLineVisible = false;
    ExtraLineFetched = false;
}

TqMenuItemType MenuItemTypeOf(const TMenuItem* Item)
{
    const String& c = Item->Caption;
    if (c == "-")
        return TqMenuItemType::smDivider;
    if (c.size() >= 2 && c.front() == '-' && c.back() == '-')
        return TqMenuItemType::smCaption;
    return TqMenuItemType::smNormal;
}

TPoint MenuItemGlyphSize(TMenuItem* Item)
{
    if (Item->HasBitmap())
        return {Item->Bitmap()->Width(), Item->Bitmap()->Height()};
    const TMenu* menu = Item->GetParentMenu();
    if (menu != nullptr && menu->Images != nullptr && menu->Images->Count() > 0)
        return {menu->Images->Width(), menu->Images->Height()};
    return {16, 16};
}

bool MenuItemInFirstColumn(const TMenuItem* Item)
{
    const TMenuItem* parent = Item->Parent();
    if (parent == nullptr)
        return true;
    for (int i = 0; i < parent->Count(); ++i) {
        if (parent->Items(i)->Break != TMenuBreak::mbNone)
            return false;
        if (parent->Items(i) == Item)
            return true;
    }
    return true;
}

// Handlers are functors so that the painter can tell its own from the
// application's (std::function::target).
struct TqSkinableMenus::TDrawHandler {
    TqSkinableMenus* Painter;
    bool MainMenu;
    void operator()(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State) const
    {
        auto* item = static_cast<TMenuItem*>(Sender);
        if (MainMenu)
            Painter->DrawMainMenuItem(item, ACanvas, ARect, State);
        else
            Painter->DrawSkinMenuItem(item, ACanvas, ARect, State);
    }
};

struct TqSkinableMenus::TMeasureHandler {
    TqSkinableMenus* Painter;
    bool MainMenu;
    void operator()(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) const
    {
        auto* item = static_cast<TMenuItem*>(Sender);
        if (MainMenu)
            Painter->MeasureMainMenuItem(item, ACanvas, Width, Height);
        else
            Painter->MeasureSkinMenuItem(item, ACanvas, Width, Height);
    }
};

TqSkinableMenus::TqSkinableMenus(TqSkinManager* AOwner)
    : FOwner(AOwner), FCaptionFont(std::make_unique<TFont>())
{
    if (AOwner != nullptr)
        FOwnerLife = AOwner->LifeToken();
}

TqSkinableMenus::~TqSkinableMenus()
{
    // No menu keeps the handlers of a painter that is gone (the manager's
    // painter goes with the manager, possibly before the forms).
    if (FActive && Application != nullptr) {
        FActive = false;
        try {
            for (int i = 0; i < Application->ComponentCount(); ++i)
                HookComponentTree(Application->Components(i));
        } catch (...) {
            // A form that cannot be walked keeps its menus as they were.
        }
    }
    FOwner = nullptr;
}

void TqSkinableMenus::UpdateActive()
{
    SetActive(FOwner != nullptr && !FOwnerLife.expired() && FOwner->SkinData().Loaded);
}

void TqSkinableMenus::SetActive(bool Value)
{
    if (Value != FActive)
        HookAllForms(Value);
}

bool TqSkinableMenus::IsHooked(const TMenuItem* Item) const
{
    const auto* draw = Item->OnAdvancedDrawItem.target<TDrawHandler>();
    const auto* measure = Item->OnMeasureItem.target<TMeasureHandler>();
    return draw != nullptr && draw->Painter == this && measure != nullptr && measure->Painter == this;
}

void TqSkinableMenus::SetPopupHandlers(TMenuItem* Item, bool Value, bool OnlyUnassigned)
{
    if (Value) {
        if (!OnlyUnassigned || !Item->OnAdvancedDrawItem)
            Item->OnAdvancedDrawItem = TDrawHandler{this, false};
        if (!OnlyUnassigned || !Item->OnMeasureItem)
            Item->OnMeasureItem = TMeasureHandler{this, false};
        return;
    }
    // Only this painter's own handlers come off.
    if (const auto* draw = Item->OnAdvancedDrawItem.target<TDrawHandler>(); draw != nullptr && draw->Painter == this)
        Item->OnAdvancedDrawItem = nullptr;
    if (const auto* m = Item->OnMeasureItem.target<TMeasureHandler>(); m != nullptr && m->Painter == this)
        Item->OnMeasureItem = nullptr;
}

void TqSkinableMenus::SetMainHandlers(TMenuItem* Item, bool Value)
{
    if (!Value) {
        SetPopupHandlers(Item, false, false);
        return;
    }
    if (FOwner != nullptr && FOwner->SkinData().Loaded)
        Item->OnAdvancedDrawItem = TDrawHandler{this, true};
    Item->OnMeasureItem = TMeasureHandler{this, true};
}

void TqSkinableMenus::HookAllForms(bool Value)
{
    FActive = Value;
    if (FOwner == nullptr || FOwnerLife.expired() || FOwner->IsDesigning())
        return;
    try {
        for (int i = 0; i < Application->ComponentCount(); ++i)
            HookComponentTree(Application->Components(i));
    } catch (...) {
        // A form that cannot be walked keeps its menus as they were.
    }
}

bool TqSkinableMenus::PopupsHooked() const
{
    // Without its manager the painter lets go of every popup menu.
    return FOwner == nullptr || FOwnerLife.expired() || FOwner->SkinnedPopups();
}

void TqSkinableMenus::HookComponentTree(TComponent* Component)
{
    for (int i = 0; i < Component->ComponentCount(); ++i) {
        TComponent* c = Component->Components(i);
        if (auto* main = dynamic_cast<TMainMenu*>(c)) {
            HookMainMenu(main, FActive);
            for (int k = 0; k < main->Items()->Count(); ++k)
                HookItems(main->Items()->Items(k), FActive);
        } else if (auto* popup = dynamic_cast<TPopupMenu*>(c)) {
            if (PopupsHooked())
                HookMenuItems(popup, FActive);
        } else if (auto* item = dynamic_cast<TMenuItem*>(c)) {
            if (PopupsHooked() && dynamic_cast<TMainMenu*>(item->GetParentMenu()) == nullptr)
                HookItems(item, FActive);
        }
        HookComponentTree(c);
    }
}

void TqSkinableMenus::HookMainMenu(TMainMenu* Menu, bool Value)
{
    for (int i = 0; i < Menu->Items()->Count(); ++i)
        SetMainHandlers(Menu->Items()->Items(i), Value);
    if (!Menu->IsDestroying())
        Menu->SetOwnerDraw(Value);
}

void TqSkinableMenus::HookMenuItems(TPopupMenu* Menu, bool Value)
{
    Menu->SetOwnerDraw(Value);
    if (Value)
        Menu->MenuAnimation |= maNone;
    else
        Menu->MenuAnimation &= ~static_cast<TMenuAnimation>(maNone);
    HookItems(Menu->Items(), Value);
}

void TqSkinableMenus::HookItems(TMenuItem* Item, bool Value)
{
    for (int i = 0; i < Item->Count(); ++i) {
        TMenuItem* sub = Item->Items(i);
        if (!IsTopLevelOfMainMenu(sub))
            SetPopupHandlers(sub, Value, true);
        HookItems(sub, Value);
    }
}

void TqSkinableMenus::HookMenuItem(TMenuItem* Item, bool Value)
{
    if (TMenu* menu = Item->GetParentMenu(); menu != nullptr)
        menu->SetOwnerDraw(Value);
    if (!Value)
        SetPopupHandlers(Item, false, false);
    else if (IsTopLevelOfMainMenu(Item))
        SetMainHandlers(Item, true);
    else if (FOwner != nullptr && FOwner->SkinnedPopups())
        SetPopupHandlers(Item, true, true);
}

int TqSkinableMenus::GetSkinBorderWidth()
{
    if (FSkinBorderWidth >= 0)
        return FSkinBorderWidth;
    const TqMaskData* mask =
        FOwner != nullptr ? MaskOf(FOwner, FOwner->FindMaskIndexExact("MAINMENU", "BORDERSMASK")) : nullptr;
    if (mask == nullptr)
        FSkinBorderWidth = 0;
    else
        FSkinBorderWidth = mask->BorderWidth > 0 ? mask->BorderWidth : 3;
    return FSkinBorderWidth;
}

int TqSkinableMenus::ActiveExtraLineWidth() const
{
    return FOwner != nullptr && FOwner->MenuSupport()->UseExtraLine && ExtraLineVisible
               ? FOwner->MenuSupport()->ExtraLineWidth
               : 0;
}

void TqSkinableMenus::FetchExtraLineData(TMenuItem* FirstItem)
{
    ExtraLineGlyph.reset();   // the last popup's, when its band was never drawn
    if (FirstItem->Name() == "SkinSelectItem") {
        ExtraLineVisible = false;
        ExtraLineFetched = true;
        return;
    }
    String section = "EXTRALINE";
    String caption = DefaultExtraLineCaption;
    TBitmap* glyph = nullptr;
    bool visible = true;
    if (FOwner != nullptr && FOwner->OnGetMenuExtraLineData)
        FOwner->OnGetMenuExtraLineData(FirstItem, section, caption, glyph, visible);
    ExtraLineGlyph.reset(glyph);
    ExtraLineSection = section;
    ExtraLineCaption = RemoveAmpersands(caption);
    ExtraLineVisible = visible;
    if (!visible)
        ExtraLineGlyph.reset();
    ExtraLineFetched = true;
}

void TqSkinableMenus::ChooseMenuFont(TCanvas* ACanvas, TMenuItem* Item)
{
    ACanvas->SetFont(Screen->MenuFont());
    if (TCustomForm* form = FormOfItem(Item))
        ACanvas->Font()->SetCharset(form->Font()->Charset());
}

int TqSkinableMenus::ItemHeight(TMenuItem* Item, TCanvas* ACanvas)
{
    const TqMenuItemType type = MenuItemTypeOf(Item);
    if (type == TqMenuItemType::smDivider)
        return 2;
    // nearbyint rounds halves to even in the default rounding mode.
    const int h = static_cast<int>(std::nearbyint(ACanvas->TextHeight("W") * 1.25));
    if (type == TqMenuItemType::smCaption)
        return h + 2 * Margin;
    return std::max<int>(h, MenuItemGlyphSize(Item).y) + 2 * Margin;
}

void TqSkinableMenus::MeasureSkinMenuItem(TMenuItem* Item, TCanvas* ACanvas, int& Width, int& Height)
{
    if (Item->IsDestroying())
        return;
    MenuMeasuring = true;
    TMenuItem* first = FirstItemOf(Item);
    if (first != CachedFirstItem) {
        ReleaseMenuBackground();
        CachedFirstItem = first;
    }
    const TqMenuItemType type = MenuItemTypeOf(Item);
    if (!FetchGuard && !ExtraLineFetched) {
        FetchGuard = true;
        try {
            FetchExtraLineData(first);
        } catch (...) {
            FetchGuard = false;
            throw;
        }
        FetchGuard = false;
    }
    ChooseMenuFont(ACanvas, Item);
    String text;
    if (type == TqMenuItemType::smCaption)
        text = "-" + Item->Caption + "-";
    else if (type == TqMenuItemType::smNormal)
        text = Item->Caption + ShortCutText(Item);
    TRect r{0, 0, 0, 0};
    ACanvas->DrawTextRect(text, r, DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
    const int glyphWidth = MenuItemGlyphSize(Item).x;
    Width = 2 * glyphWidth + (r.right - r.left) + 3 * Margin + Spacing;
    if (ExtraLineFetched && MenuItemInFirstColumn(Item))
        Width += ActiveExtraLineWidth();
    Height = ItemHeight(Item, ACanvas);
}

void TqSkinableMenus::PaintExtraLine(int H)
{
    const int sbw = GetSkinBorderWidth();
    const int section = FOwner->FindSectionIndex(ExtraLineSection);
    const TzqMenuSupport& support = *FOwner->MenuSupport();
    const int w = support.ExtraLineWidth;
    const int h = H - 2 * sbw;
    if (w <= 0 || h <= 0)
        return;
    auto band = NewBitmap24(w, h);
    PaintSectionWithBorder(section, ExtraLineSection, MakeCacheInfo(MenuBackground.get(), 0, 0), -1, -1, FOwner,
                           band.get(), {sbw, sbw}, {0, 0, w, h}, 0, true);
    int offset = 12;
    if (ExtraLineGlyph && !ExtraLineGlyph->Empty()) {
        const int gx = (w - ExtraLineGlyph->Width()) / 2;
        const int gy = h - 12 - ExtraLineGlyph->Height();
        band->Canvas()->Draw(gx, gy, ExtraLineGlyph.get());
        offset = ExtraLineGlyph->Height() + 20;
    }
    if (!ExtraLineCaption.empty()) {
        TCanvas* canvas = band->Canvas();
        // A vertical font, reading upwards.
        LOGFONTW lf{};
        lf.lfHeight = support.ExtraLineFont()->Size();
        lf.lfEscapement = -2700;
        lf.lfOrientation = -2700;
        lf.lfWeight = 400;
        const TFontStyles style = support.ExtraLineFont()->Style();
        lf.lfItalic = style.Contains(TFontStyle::fsItalic) ? 1 : 0;
        lf.lfUnderline = style.Contains(TFontStyle::fsUnderline) ? 1 : 0;
        lf.lfStrikeOut = style.Contains(TFontStyle::fsStrikeOut) ? 1 : 0;
        lf.lfCharSet = support.ExtraLineFont()->Charset();
        const LOGFONTW face = support.ExtraLineFont()->LogFont();
        std::copy(std::begin(face.lfFaceName), std::end(face.lfFaceName), std::begin(lf.lfFaceName));
        HFONT font = CreateFontIndirectW(&lf);
        canvas->Font()->SetHandle(font);
        DeleteObject(font);
        canvas->Font()->SetColor(FOwner->Skin().Sections[static_cast<std::size_t>(section)].FontColor);
        canvas->Brush()->SetStyle(TBrushStyle::bsClear);
        const int textHeight = canvas->TextHeight(ExtraLineCaption);
        canvas->TextRect({0, 0, w, h}, (w - textHeight) / 2, h - offset, ExtraLineCaption);
    }
    MenuBackground->Canvas()->Draw(sbw, sbw, band.get());
    ExtraLineGlyph.reset();
}

void TqSkinableMenus::PrepareMenuBackground(TMenuItem* FirstItem, int W, HWND Wnd, int H)
{
    if (MenuBackground && CachedFirstItem == FirstItem)
        return;
    if (!ExtraLineFetched)
        FetchExtraLineData(FirstItem);
    CachedFirstItem = FirstItem;
    MenuBackground = NewBitmap24(std::max(W, 1), std::max(H, 1));
    IconLineWidth = Margin + MenuItemGlyphSize(FirstItem).x + Spacing;
    const int section = FOwner->FindSectionIndex("MAINMENU");
    if (section < 0)
        return;
    const int sbw = GetSkinBorderWidth();
    PaintSectionWithBorder(section, "MAINMENU", TCacheInfo{}, -1, -1, FOwner, MenuBackground.get(), {0, 0},
                           {0, 0, W, H}, 0, true);
    const TzqMenuSupport& support = *FOwner->MenuSupport();
    if (support.UseExtraLine && ExtraLineVisible && FOwner->FindSectionIndex(ExtraLineSection) >= 0)
        PaintExtraLine(H);
    const int icoSection = FOwner->FindSectionIndex(support.IcoLineSkin);
    if (icoSection >= 0 && H - 2 * sbw > 0) {
        auto band = NewBitmap24(IconLineWidth, H - 2 * sbw);
        const TPoint place{ActiveExtraLineWidth() + sbw, sbw};
        PaintSectionWithBorder(icoSection, support.IcoLineSkin, MakeCacheInfo(MenuBackground.get(), 0, 0), -1, -1,
                               FOwner, band.get(), place, {0, 0, band->Width(), band->Height()}, 0, true);
        MenuBackground->Canvas()->Draw(place.x, place.y, band.get());
    }
    FCorners.clear();
    if (const TqMaskData* mask = MaskOf(FOwner, FOwner->FindMaskIndex(section, "MAINMENU", "BORDERSMASK"))) {
        AddMaskCornerRects(FCorners, W, *mask, false, 0);
        AddMaskCornerRects(FCorners, W, *mask, true, H - mask->WB);
    }
    if (Wnd != nullptr)
        SkinPopupWindow(Wnd, MenuBackground.get());
}

namespace {

// Wine's popup procedure paints its own background and border in WM_PAINT
// before the items draw themselves: afterwards the parts of the popup that no
// item covers get the skin's background again.
void RepaintAroundItems(HWND Wnd)
{
    if (!MenuBackground)
        return;
    RECT wr;
    GetWindowRect(Wnd, &wr);
    if (wr.right - wr.left != MenuBackground->Width() || wr.bottom - wr.top != MenuBackground->Height())
        return;
    HDC dc = GetWindowDC(Wnd);
    auto* menu = reinterpret_cast<HMENU>(SendMessageW(Wnd, MN_GETHMENU, 0, 0));
    const int count = menu != nullptr ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        RECT r;
        if (GetMenuItemRect(Wnd, menu, static_cast<UINT>(i), &r))
            ExcludeClipRect(dc, r.left - wr.left, r.top - wr.top, r.right - wr.left, r.bottom - wr.top);
    }
    CopyFromBitmap(dc, 0, 0, MenuBackground->Width(), MenuBackground->Height(), MenuBackground.get(), 0, 0);
    ReleaseDC(Wnd, dc);
}

void RegionProc(HWND Wnd, TMessage& Message, const TCallPrevious& Previous)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND:
    case WM_NCPAINT:
        Message.Result = 1;
        break;
    case WM_PAINT:
        Previous(Message);
        RepaintAroundItems(Wnd);
        break;
    case WM_DESTROY:
        ReleaseMenuBackground();
        Previous(Message);
        break;
    case WM_NCDESTROY:
        Previous(Message);
        RegionHooks().erase(Wnd);
        break;
    default:
        Previous(Message);
    }
}

} // namespace

void TqSkinableMenus::SkinPopupWindow(HWND Wnd, TBitmap* Bitmap)
{
    if (FBorderBusy || Wnd == nullptr)
        return;
    auto& hooks = RegionHooks();
    auto found = hooks.find(Wnd);
    if (found == hooks.end() || !found->second.Installed())
        hooks[Wnd] = HookWndProc(Wnd, [Wnd](TMessage& Message, const TCallPrevious& Previous) {
            RegionProc(Wnd, Message, Previous);
        });
    if (IsNTPlatform && Bitmap != nullptr) {
        // A popup-menu subclass answers whether its border is painted already.
        if (SendMessageW(Wnd, SM_ZORVIKCMD, MAKEWPARAM(0, scmSetUpdating), 0) == 0) {
            SendMessageW(Wnd, SM_ZORVIKCMD, MAKEWPARAM(0, scmMenuBorderDone), 0);
            FBorderBusy = true;
            HRGN region = CreateRectRgn(0, 0, Bitmap->Width(), Bitmap->Height());
            auto cut = [region](const TRect& R) {
                HRGN part = CreateRectRgn(R.left, R.top, R.right, R.bottom);
                CombineRgn(region, region, part, RGN_DIFF);
                DeleteObject(part);
            };
            if (FCorners.empty())
                cut({0, 0, 1, 1});
            for (const TRect& r : FCorners)
                cut(r);
            if (SetWindowRgn(Wnd, region, TRUE) == 0)
                DeleteObject(region);   // on success the window owns it
        }
    }
    FBorderBusy = false;
}

namespace {

// Every manager made from now on gets its painter from its constructor.
const bool PainterMakerSet = [] {
    MenuPainterMaker = [](TqSkinManager* Manager) -> std::unique_ptr<TqMenuPainterLink> {
        return std::make_unique<TqSkinableMenus>(Manager);
    };
    return true;
}();

} // namespace

TqSkinableMenus* SkinableMenusOf(TqSkinManager* Manager)
{
    if (Manager == nullptr)
        return nullptr;
    if (auto* painter = dynamic_cast<TqSkinableMenus*>(Manager->SkinableMenus()))
        return painter;
    auto painter = std::make_unique<TqSkinableMenus>(Manager);
    TqSkinableMenus* result = painter.get();
    Manager->SetSkinableMenus(std::move(painter));
    return result;
}

namespace {

// The open popup window that shows Item, and the item's rectangle on the
// screen: the popup windows' menus are searched for the item's data.
HWND FindPopupOfItem(const TMenuItem* Item, RECT& R)
{
    for (HWND wnd = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); wnd != nullptr;
         wnd = FindWindowExW(nullptr, wnd, L"#32768", nullptr)) {
        auto* menu = reinterpret_cast<HMENU>(SendMessageW(wnd, MN_GETHMENU, 0, 0));
        const int count = menu != nullptr ? GetMenuItemCount(menu) : 0;
        for (int i = 0; i < count; ++i) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_DATA;
            if (GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info) &&
                info.dwItemData == reinterpret_cast<ULONG_PTR>(Item) &&
                GetMenuItemRect(wnd, menu, static_cast<UINT>(i), &R))
                return wnd;
        }
    }
    return nullptr;
}

} // namespace

bool TqSkinableMenus::PopupWindowMessage(TMessage& Message)
{
    if (Message.Msg == WM_SKINPOPUPWINDOW) {
        if (Message.LParam != 0)
            SkinPopupWindow(reinterpret_cast<HWND>(Message.LParam), MenuBackground.get());
        return true;
    }
    if (Message.Msg != WM_SKINPOPUPOFITEM || !MenuBackground)
        return false;
    // The item may be gone by the time the posted message arrives.
    const TMenuItem* item = MenuItemFromData(static_cast<ULONG_PTR>(Message.LParam));
    RECT r;
    HWND popup = item != nullptr ? FindPopupOfItem(item, r) : nullptr;
    // The window under the item's centre, when it is that popup.
    if (popup != nullptr && WindowFromPoint({r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2}) == popup)
        SkinPopupWindow(popup, MenuBackground.get());
    return true;
}

void TqSkinableMenus::DrawSkinMenuItem(TMenuItem* Item, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State)
{
    if (FOwner == nullptr || FOwnerLife.expired())
        return;
    const bool firstColumn = MenuItemInFirstColumn(Item);
    TMenuItem* first = FirstItemOf(Item);
    if (first != CachedFirstItem)
        ReleaseMenuBackground();
    HWND wnd = WindowFromDC(ACanvas->Handle());
    int W = 0, H = 0;
    // The item's place in the window: its rectangle moved by the client
    // origin (Wine's popup has no non-client area and starts its items at
    // (3, 3); Windows has a 3-pixel frame around a client area at 0).
    TPoint shift{MenuFrame, MenuFrame};
    if (wnd != nullptr) {
        RECT wr;
        GetWindowRect(wnd, &wr);
        W = wr.right - wr.left;
        H = wr.bottom - wr.top;
        POINT origin{0, 0};
        ClientToScreen(wnd, &origin);
        shift = {origin.x - wr.left, origin.y - wr.top};
    } else {
        // No window (a memory DC): the popup's size from its items' sizes.
        const TMenuItem* parent = Item->Parent();
        int columnWidth = 0, columnHeight = 0, columns = 0;
        auto closeColumn = [&] {
            W += columnWidth + 12 + (columns > 0 ? 4 : 0);
            H = std::max(H, columnHeight);
            ++columns;
            columnWidth = columnHeight = 0;
        };
        TBitmap probe(1, 1);
        for (int i = 0; parent != nullptr && i < parent->Count(); ++i) {
            TMenuItem* sibling = parent->Items(i);
            if (!sibling->Visible)
                continue;
            if (sibling->Break != TMenuBreak::mbNone && (columnWidth > 0 || columnHeight > 0))
                closeColumn();
            int w = 0, h = 0;
            MeasureSkinMenuItem(sibling, probe.Canvas(), w, h);
            columnWidth = std::max(columnWidth, w);
            columnHeight += h;
        }
        closeColumn();
        W += 2 * BorderWidth;
        H += 2 * BorderWidth;
    }
    PrepareMenuBackground(first, W, wnd, H);
    if (!MenuBackground)
        return;
    const int bgW = MenuBackground->Width();
    const int bgH = MenuBackground->Height();
    const TPoint place{ARect.left + shift.x, ARect.top + shift.y};
    const int itemHeight = ARect.bottom - ARect.top;
    if (wnd != nullptr) {
        HDC dc = GetWindowDC(wnd);
        TBitmap* bg = MenuBackground.get();
        if (IsFirstVisible(Item))
            CopyFromBitmap(dc, 0, 0, bgW, BorderWidth, bg, 0, 0);
        if (NextVisible(Item) == nullptr)
            CopyFromBitmap(dc, 0, bgH - BorderWidth, bgW, BorderWidth, bg, 0, bgH - BorderWidth);
        const int left = ActiveExtraLineWidth() * (firstColumn ? 1 : 0) + std::max(GetSkinBorderWidth(), BorderWidth);
        CopyFromBitmap(dc, 0, place.y, left, itemHeight, bg, 0, place.y);
        CopyFromBitmap(dc, bgW - BorderWidth, place.y, BorderWidth, itemHeight, bg, bgW - BorderWidth, place.y);
        ReleaseDC(wnd, dc);
    } else {
        MSG waiting;
        HWND app = Application->Handle();
        if (!PeekMessageW(&waiting, app, WM_SKINPOPUPOFITEM, WM_SKINPOPUPOFITEM, PM_NOREMOVE))
            PostMessageW(app, WM_SKINPOPUPOFITEM, 0, reinterpret_cast<LPARAM>(Item));
    }
    switch (MenuItemTypeOf(Item)) {
    case TqMenuItemType::smDivider: DrawDivider(ACanvas, ARect, place); return;
    case TqMenuItemType::smCaption: DrawCaptionItem(Item, ACanvas, ARect, place); return;
    default: DrawNormalItem(Item, ACanvas, ARect, State, firstColumn, place);
    }
    if (wnd == nullptr && firstColumn && ActiveExtraLineWidth() > 0)
        CopyFromBitmap(ACanvas->Handle(), 0, -MenuFrame, ActiveExtraLineWidth(), bgH, MenuBackground.get(), MenuFrame, 0);
}

void TqSkinableMenus::DrawNormalItem(TMenuItem* Item, TCanvas* ACanvas, const TRect& R, TOwnerDrawState State,
                                     bool FirstColumn, TPoint Place)
{
    TBitmap* bg = MenuBackground.get();
    const int ael = ActiveExtraLineWidth() * (FirstColumn ? 1 : 0);
    const int itemWidth = R.right - R.left;
    const int itemHeight = R.bottom - R.top;
    const TPoint shift{Place.x - R.left, Place.y - R.top};
    // The background below the last item of a column, down to the frame.
    const int bottomLimit = bg->Height() - MenuFrame - shift.y;
    const TMenuItem* next = NextVisible(Item);
    if ((next != nullptr && next->Break != TMenuBreak::mbNone) || (next == nullptr && R.bottom < bottomLimit))
        CopyFromBitmap(ACanvas->Handle(), R.left, R.bottom, itemWidth, bottomLimit - R.bottom, bg, Place.x,
                       Place.y + itemHeight);
    if (Item->Break != TMenuBreak::mbNone)   // over the system's column separator
        CopyFromBitmap(ACanvas->Handle(), R.left - 4, R.top, 4, bottomLimit, bg, Place.x - 4, Place.y);

    const int w = itemWidth - ael;
    if (w <= 0 || itemHeight <= 0)
        return;
    auto bmp = NewBitmap24(w, itemHeight);
    const bool selected = (State & odSelected) != 0;
    const bool hot = Item->Enabled && selected;
    const int section = FOwner->FindSectionIndex("MENUITEM");
    const TPoint bgPlace{Place.x + ael, Place.y};
    if (section >= 0)
        PaintSectionWithBorder(section, "MENUITEM", MakeCacheInfo(bg, 0, 0), -1, -1, FOwner, bmp.get(), bgPlace,
                               {0, 0, w, itemHeight}, hot ? 1 : 0, true);
    else
        CopyFromBitmap(bmp->Canvas()->Handle(), 0, 0, w, itemHeight, bg, bgPlace.x, bgPlace.y);

    if ((State & odChecked) != 0) {
        int index = Item->RadioItem ? FOwner->FindMaskIndexExact("GLOBALINFO", "RADIOCHECKED")
                                    : FOwner->FindMaskIndexExact("GLOBALINFO", "CHECK");
        if (!FOwner->IsValidMaskIndex(index))
            index = FOwner->FindMaskIndexExact("GLOBALINFO", "BOXCHECKED");
        if (const TqMaskData* mask = MaskOf(FOwner, index)) {
            const int frameHeight = (mask->R.bottom - mask->R.top) / (std::max<int>(mask->MaskType, 0) + 1);
            DrawMaskGlyph(bmp.get(), {Margin, (itemHeight - frameHeight) / 2}, hot ? 1 : 0, *mask, 1);
        }
    }
    const TPoint glyph = MenuItemGlyphSize(Item);
    const TMenu* menu = Item->GetParentMenu();
    const int gy = (itemHeight - glyph.y) / 2;
    if (Item->HasBitmap())
        bmp->Canvas()->Draw(gy, gy, Item->Bitmap());
    else if (menu != nullptr && menu->Images != nullptr && Item->ImageIndex >= 0)
        menu->Images->Draw(bmp->Canvas(), gy, gy, Item->ImageIndex, Item->Enabled);

    TCanvas* canvas = bmp->Canvas();
    ChooseMenuFont(canvas, Item);
    if ((State & odDefault) != 0)
        canvas->Font()->SetStyle(TFontStyles{TFontStyle::fsBold});
    TRect textRect{glyph.x + 2 * Margin + Spacing, 0, w, itemHeight};
    String caption = Item->Caption;
    UINT flags = Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
    if (!caption.empty() && caption.front() == '\x08') {
        flags = DT_RIGHT;
        caption = caption.substr(1) + "      ";
    }
    flags |= DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP;
    const bool textHot = Item->Enabled && (selected || (State & odHotLight) != 0);
    DrawSectionText(canvas, caption, true, FOwner, textHot, section, flags, textRect);
    if (Item->ShortCut != 0) {
        const String text = ShortCutText(Item);
        TRect m{0, 0, 0, 0};
        canvas->DrawTextRect(text, m, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
        const int tw = m.right - m.left;
        const int left = itemWidth - tw - 8 - ael;
        DrawSectionText(canvas, text, true, FOwner, textHot, section, DT_SINGLELINE | DT_VCENTER,
                        {left, 0, left + tw, itemHeight});
    }
    TRect arrow{};
    if (Item->Count() > 0) {
        // The sub-menu's arrow in the caption's colour, in place of the
        // platform's (which would show its own menu colours).
        const TColor colour = section < 0 ? clMenuText
                              : textHot   ? FOwner->Skin().Sections[static_cast<std::size_t>(section)].HotFontColor
                                          : FOwner->Skin().Sections[static_cast<std::size_t>(section)].FontColor;
        arrow = DrawSubMenuArrow(bmp.get(), w, itemHeight, colour);
    }
    if (OnDrawItem) {
        TRect r{0, 0, w, itemHeight};
        OnDrawItem(Item, canvas, r, State, TqMenuItemType::smNormal);
    }
    if (!Item->Enabled)
        BlendRectTransparent(bmp.get(), 0, 0, clSkinTransparent, 0.4,
                             {bgPlace.x, bgPlace.y, bgPlace.x + w - 1, bgPlace.y + itemHeight - 1}, bg);
    CopyFromBitmap(ACanvas->Handle(), R.left + ael, R.top, w, itemHeight, bmp.get(), 0, 0);
    if (arrow.right > arrow.left)
        KeepMenuItemPart({R.left + ael + arrow.left, R.top + arrow.top, R.left + ael + arrow.right, R.top + arrow.bottom});
}

void TqSkinableMenus::DrawDivider(TCanvas* ACanvas, const TRect& R, TPoint Place)
{
    int index = -1;
    if (const int section = FOwner->FindSectionIndex("DIVIDERV"); section >= 0)
        index = FOwner->FindMaskIndex(section, "DIVIDERV", "BORDERSMASK");
    else
        index = FOwner->FindMaskIndex(FOwner->FindSectionIndex("TRACKBAR"), "TRACKBAR", "SLIDERCHANNEL");
    const TqMaskData* mask = MaskOf(FOwner, index);
    const int w = R.right - R.left;
    const int h = R.bottom - R.top;
    if (mask == nullptr) {
        int width = 1;
        DrawBevelFrame(ACanvas->Handle(), R, 0x808080, width, 0xFFFFFF);
        return;
    }
    if (w <= 0 || h <= 0)
        return;
    auto bmp = NewBitmap24(w, h);
    CopyFromBitmap(bmp->Canvas()->Handle(), 0, 0, w, h, MenuBackground.get(), Place.x, Place.y);
    const int ael = ActiveExtraLineWidth();
    int left = ael + Margin + Spacing;
    if (left < ael + IconLineWidth)
        left = ael + IconLineWidth + 2;
    const int right = w - (ael + 2 * Margin + Spacing);
    if (right > left)
        PaintMaskedImage(bmp.get(), {left, 0, right, h}, true, nullptr, false, 1, *mask, TCacheInfo{});
    CopyFromBitmap(ACanvas->Handle(), R.left, R.top, w, h, bmp.get(), 0, 0);
}

void TqSkinableMenus::DrawCaptionItem(TMenuItem* Item, TCanvas* ACanvas, const TRect& R, TPoint Place)
{
    const int w = R.right - R.left;
    const int h = R.bottom - R.top;
    if (w <= 0 || h <= 0)
        return;
    TBitmap* bg = MenuBackground.get();
    const int ael = ActiveExtraLineWidth();
    auto bmp = NewBitmap24(w, h);
    HDC dc = bmp->Canvas()->Handle();
    if (ael > 0)
        CopyFromBitmap(dc, 0, 0, ael + 1, h, bg, Place.x, Place.y);
    CopyBorderStrips(dc, 0, 0, w, h, bg->Canvas()->Handle(), Place.x, Place.y, 1);
    const int section = FOwner->FindSectionIndex("TOOLBAR");
    if (section >= 0)
        PaintSectionWithBorder(section, "TOOLBAR", MakeCacheInfo(bg, 0, 0), -1, -1, FOwner, bmp.get(),
                               {Place.x + ael + 1, Place.y + 1}, {ael + 1, 1, w - 1, h - 1}, 0, true);
    // "-Text-" shows Text; "-First-Second-" its first word.
    String text;
    std::size_t start = Item->Caption.find_first_not_of('-');
    if (start != String::npos)
        text = Item->Caption.substr(start, Item->Caption.find('-', start) - start);
    TCanvas* canvas = bmp->Canvas();
    canvas->SetFont(FCaptionFont.get());
    DrawSectionText(canvas, text, true, FOwner, false, section, DT_SINGLELINE | DT_VCENTER | DT_CENTER,
                    {ael, 0, w, h});
    CopyFromBitmap(ACanvas->Handle(), R.left, R.top, w, h, bmp.get(), 0, 0);
}

void TqSkinableMenus::MeasureMainMenuItem(TMenuItem* Item, TCanvas* ACanvas, int& Width, int& Height)
{
    Height = GetSystemMetrics(SM_CYMENU) - 1;
    ACanvas->SetFont(Screen->MenuFont());
    Width = std::max(Width, ACanvas->TextWidth(Item->Caption + ShortCutText(Item)));
}

void TqSkinableMenus::DrawMainMenuItem(TMenuItem* Item, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State)
{
    if (FOwner == nullptr || FOwnerLife.expired() || !MenuBarCacheLookup)
        return;
    TBitmap* cache = nullptr;
    TPoint barOffset{0, 0};
    if (!MenuBarCacheLookup(FormOfItem(Item), cache, barOffset) || cache == nullptr)
        return;
    const int w = ARect.right - ARect.left;
    const int h = ARect.bottom - ARect.top;
    if (w <= 0 || h <= 0)
        return;
    // Every item is drawn into a bitmap first; a disabled one is then
    // blended with the frame picture below it.
    auto bmp = NewBitmap24(w, h);
    const TPoint place{barOffset.x + ARect.left, barOffset.y + ARect.top};
    const bool selected = (State & odSelected) != 0;
    const bool hot = (State & odHotLight) != 0 || (selected && Item->Enabled);
    const int section = FOwner->FindSectionIndex("MENUITEM");
    if (section >= 0)
        PaintSectionWithBorder(section, "MENUITEM", MakeCacheInfo(cache, 0, 0), -1, -1, FOwner, bmp.get(), place,
                               {0, 0, w, h}, hot ? 1 : 0, true);
    else
        CopyFromBitmap(bmp->Canvas()->Handle(), 0, 0, w, h, cache, place.x, place.y);
    int pictureWidth = 0;
    const TMenu* menu = Item->GetParentMenu();
    if (Item->HasBitmap()) {
        pictureWidth = Item->Bitmap()->Width();
        bmp->Canvas()->Draw(3, (h - Item->Bitmap()->Height()) / 2, Item->Bitmap());
    } else if (menu != nullptr && menu->Images != nullptr && Item->ImageIndex >= 0) {
        pictureWidth = menu->Images->Width();
        menu->Images->Draw(bmp->Canvas(), 3, (h - menu->Images->Height()) / 2, Item->ImageIndex, Item->Enabled);
    }
    TCanvas* canvas = bmp->Canvas();
    ChooseMenuFont(canvas, Item);
    canvas->Font()->SetStyle((State & odDefault) != 0 ? TFontStyles{TFontStyle::fsBold} : TFontStyles{});
    TRect textRect{Margin + pictureWidth, 0, w - Margin, h};
    UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS;
    if ((State & odNoAccel) != 0)
        flags |= DT_HIDEPREFIX;
    flags |= Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
    const int lineSection = FOwner->FindSectionIndex("MENULINE");
    const bool textHot = Item->Enabled && (selected || (State & odHotLight) != 0);
    DrawSectionText(canvas, Item->Caption, true, FOwner, textHot, lineSection, flags, textRect);
    if (Item->ShortCut != 0)
        DrawSectionText(canvas, ShortCutText(Item), true, FOwner, textHot, lineSection,
                        DT_RIGHT | DT_VCENTER | DT_SINGLELINE, {0, 0, w - 8, h});
    if (OnDrawItem) {
        TRect r{0, 0, w, h};
        OnDrawItem(Item, canvas, r, State, TqMenuItemType::smTopLine);
    }
    if (!Item->Enabled)
        BlendBitmaps(bmp.get(), cache, 102, {0, 0}, {place.x, place.y, place.x + w, place.y + h});
    CopyFromBitmap(ACanvas->Handle(), ARect.left, ARect.top, w, h, bmp.get(), 0, 0);
}
