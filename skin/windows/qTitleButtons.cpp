// The form skin provider's title buttons: the user button classes, the
// skin masks of the system buttons, their layout and painting, the hit
// test of the title bar and the normal / hot / pressed state machine.
#include <algorithm>

#include <windowsx.h>

#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"
#include "skin/windows/qSkinProvider.h"

namespace {

enum : int { ButtonMin, ButtonMax, ButtonClose, ButtonHelp };

constexpr int DefaultButtonSide = 21;

}   // namespace

TqTitleButton::TqTitleButton(TCollection* Collection)
    : TCollectionItem(Collection), FGlyph(std::make_unique<TBitmap>())
{
    FName = "TqTitleButton";
}

void TqTitleButton::SetGlyph(const TBitmap* Value)
{
    FGlyph->Assign(Value);
}

void TqTitleButton::SetName(const String& Value)
{
    if (Value != FName)
        FName = Value;
}

TqTitleButtons::TqTitleButtons(TqSkinProvider* AOwner) : TOwnedCollection<TqTitleButton>(AOwner), FProvider(AOwner) {}

TqTitleIcon::TqTitleIcon() : FGlyph(std::make_unique<TBitmap>()) {}

void TqTitleIcon::SetGlyph(const TBitmap* Value)
{
    FGlyph->Assign(Value);
}

int TqSkinProvider::GlobalMask(const String& Name) const
{
    TqSkinManager* manager = Manager();
    if (manager == nullptr)
        return -1;
    return manager->FindMaskIndex(manager->FindSectionIndex("GLOBALINFO"), "GLOBALINFO", Name);
}

int TqSkinProvider::FormMask(const String& Name) const
{
    TqSkinManager* manager = Manager();
    if (manager == nullptr)
        return -1;
    return manager->FindMaskIndex(FSkinData->SkinIndex, "FORM", Name);
}

TqButtonRecord* TqSkinProvider::ButtonRecord(int Code)
{
    switch (Code) {
    case tbcMinimize: return &FButtons[ButtonMin];
    case tbcMaximize: return &FButtons[ButtonMax];
    case tbcClose: return &FButtons[ButtonClose];
    case tbcHelp: return &FButtons[ButtonHelp];
    default: break;
    }
    if (Code >= tbcUserFirst && Code - tbcUserFirst < FTitleButtons->Count())
        return &FTitleButtons->Items(Code - tbcUserFirst)->Data;
    return nullptr;
}

void TqSkinProvider::LoadTitleButtonMasks()
{
    TqSkinManager* manager = Manager();
    if (manager == nullptr || !manager->IsValidSkinIndex(manager->FindSectionIndex("GLOBALINFO")))
        return;
    FButtons[ButtonClose].MaskIndex = GlobalMask("BICONCLOSE");
    const auto bigSet = [&](auto Lookup) {
        FButtons[ButtonMin].MaskIndex = Lookup("BICONMIN");
        FButtons[ButtonMax].MaskIndex = Lookup("BICONMAX");
        FButtons[ButtonClose].MaskIndex = Lookup("BICONCLOSE");
        FButtons[ButtonHelp].MaskIndex = Lookup("BICONHELP");
    };
    if (FButtons[ButtonClose].MaskIndex < 0) {
        bigSet([this](const String& Name) { return FormMask(Name); });
    } else {
        const TFormBorderStyle style = FForm->BorderStyle();
        if (style == bsSingle || style == bsSizeable) {
            bigSet([this](const String& Name) { return GlobalMask(Name); });
        } else {
            FButtons[ButtonClose].MaskIndex = GlobalMask("SICONCLOSE");
            FButtons[ButtonMin].MaskIndex = GlobalMask("SICONMIN");
            FButtons[ButtonMax].MaskIndex = GlobalMask("SICONMAX");
            FButtons[ButtonHelp].MaskIndex = GlobalMask("SICONHELP");
            if (FButtons[ButtonHelp].MaskIndex < 0)
                FButtons[ButtonHelp].MaskIndex = GlobalMask("BICONHELP");
        }
        if (FButtons[ButtonClose].MaskIndex < 0)
            bigSet([this](const String& Name) { return GlobalMask(Name); });
    }
    FUserButtonMask = GlobalMask("TITLEBUTTON");
}

int TqSkinProvider::ButtonWidth(int MaskIndex) const
{
    TqSkinManager* manager = Manager();
    if (manager == nullptr || !manager->IsValidMaskIndex(MaskIndex))
        return DefaultButtonSide;
    const TqMaskData& mask = manager->Skin().Masks[static_cast<std::size_t>(MaskIndex)];
    const int width = mask.Bmp ? mask.Bmp->Width() : RectWidth(mask.R);
    return width / std::max<int>(mask.ImageCount, 1);
}

int TqSkinProvider::ButtonHeight() const
{
    TqSkinManager* manager = Manager();
    const int close = FButtons[ButtonClose].MaskIndex;
    if (manager == nullptr || !manager->IsValidMaskIndex(close))
        return DefaultButtonSide;
    const TqMaskData& mask = manager->Skin().Masks[static_cast<std::size_t>(close)];
    return mask.Bmp ? mask.Bmp->Height() / 2 : RectHeight(mask.R) / (mask.MaskType + 1);
}

int TqSkinProvider::UserButtonWidth(const TqTitleButton* Button) const
{
    TqSkinManager* manager = Manager();
    int face = DefaultButtonSide;
    if (manager != nullptr && manager->IsValidMaskIndex(FUserButtonMask)) {
        const TqMaskData& mask = manager->Skin().Masks[static_cast<std::size_t>(FUserButtonMask)];
        face = RectWidth(mask.R) / std::max<int>(mask.ImageCount, 1);
    }
    return std::max(Button->Glyph()->Width() + 2, face);
}

void TqSkinProvider::PlaceButton(TqButtonRecord& Rec, int& X, int Width, int MaskIndex, bool Enabled, int Top)
{
    Rec.Rect = TRect{X - Width, Top, X, Top + ButtonHeight()};
    TqSkinManager* manager = Manager();
    if (manager->IsValidMaskIndex(MaskIndex))
        DrawMaskGlyph(FSkinData->CacheBmp.get(), TPoint{Rec.Rect.left, Rec.Rect.top}, Rec.State,
                      manager->Skin().Masks[static_cast<std::size_t>(MaskIndex)], FFormActive && Enabled ? 1 : 2);
    X = Rec.Rect.left - manager->SkinData().BISpace;
}

void TqSkinProvider::PaintTitleButtons()
{
    TqSkinManager* manager = Manager();
    if (manager == nullptr)
        return;
    int x = FormWidth() - FW() - manager->SkinData().BISpace;
    int top = (CH() - ButtonHeight() + FH()) / 2;
    if (ButtonHeight() < 16)
        top += 2;
    TqSystemMenu* menu = FSystemMenu.get();
    if ((FForm->BorderIcons() & biSystemMenu) != 0 && menu != nullptr) {
        TqButtonRecord& close = FButtons[ButtonClose];
        if (manager->IsValidMaskIndex(close.MaskIndex))
            PlaceButton(close, x, ButtonWidth(close.MaskIndex), close.MaskIndex, true, top);
        const int restore = [&] {
            const int global = GlobalMask("BICONNORM");
            return global >= 0 ? global : FormMask("BICONNORM");
        }();
        if (menu->MaxVisible()) {
            TqButtonRecord& max = FButtons[ButtonMax];
            const int width = ButtonWidth(max.MaskIndex);
            if (Maximized())
                PlaceButton(max, x, width, restore, menu->RestoreEnabled(), top);
            else if (manager->IsValidMaskIndex(max.MaskIndex))
                PlaceButton(max, x, width, max.MaskIndex, menu->MaxEnabled(), top);
        }
        if (menu->MinVisible()) {
            TqButtonRecord& min = FButtons[ButtonMin];
            const int width = ButtonWidth(min.MaskIndex);
            if (Iconic())
                PlaceButton(min, x, width, restore, menu->RestoreEnabled(), top);
            else if (manager->IsValidMaskIndex(min.MaskIndex))
                PlaceButton(min, x, width, min.MaskIndex, menu->MinEnabled(), top);
        }
    }
    for (int i = 0; i < FTitleButtons->Count(); ++i) {
        TqTitleButton* button = FTitleButtons->Items(i);
        TqButtonRecord& rec = button->Data;
        const bool face = button->UseSkinData && manager->IsValidMaskIndex(FUserButtonMask);
        if (face)
            rec.MaskIndex = FUserButtonMask;
        const int width = UserButtonWidth(button);
        PlaceButton(rec, x, width, face ? FUserButtonMask : -1, button->Enabled, top);
        if (!button->Glyph()->Empty()) {
            TBitmap* glyph = button->Glyph();
            glyph->SetPixelFormat(TPixelFormat::pf24bit);
            const TColor key = GetPixel(glyph->Canvas()->Handle(), 0, glyph->Height() - 1);
            CopyBitmapTransparent(FSkinData->CacheBmp.get(), glyph, rec.Rect.left + (width - glyph->Width()) / 2, key,
                                  rec.Rect.top + (ButtonHeight() - glyph->Height()) / 2);
        }
    }
}

void TqSkinProvider::CopyToWindow(TRect R)
{
    const HWND wnd = FormWnd();
    if (wnd == nullptr)
        return;
    if (HDC dc = GetWindowDC(wnd)) {
        const int saved = SaveDC(dc);
        BitBlt(dc, R.left, R.top, RectWidth(R), RectHeight(R), FSkinData->CacheBmp->Canvas()->Handle(), R.left, R.top,
               SRCCOPY);
        RestoreDC(dc, saved);
        ReleaseDC(wnd, dc);
    }
}

void TqSkinProvider::PaintTitleButton(int Code)
{
    TqButtonRecord* rec = ButtonRecord(Code);
    TqSkinManager* manager = Manager();
    if (rec == nullptr || manager == nullptr || !Skinned() || FSystemMenu == nullptr)
        return;
    if (rec->Rect.left <= TitleIconRect().right)
        return;
    TBitmap* cache = FSkinData->CacheBmp.get();
    const int w = RectWidth(rec->Rect);
    const int h = RectHeight(rec->Rect);
    BitBlt(cache->Canvas()->Handle(), rec->Rect.left, rec->Rect.top, w, h, FTitleButtonBg->Canvas()->Handle(),
           FTitleButtonBg->Width() + rec->Rect.left - cache->Width(), rec->Rect.top, SRCCOPY);
    int glyph = rec->MaskIndex;
    bool enabled = true;
    const bool user = Code >= tbcUserFirst;
    if (Code == tbcMaximize && Maximized()) {
        glyph = GlobalMask("BICONNORM");
    } else if (Iconic() && Code == tbcMinimize) {
        glyph = GlobalMask("BICONNORM");
        if (glyph < 0)
            glyph = FormMask("BICONNORM");
    } else if (Iconic() && Code == tbcMaximize) {
        glyph = GlobalMask("BICONMAX");
        if (glyph < 0)
            glyph = FormMask("BICONMAX");
        enabled = FSystemMenu->MaxEnabled();
    }
    if (user)
        enabled = FTitleButtons->Items(Code - tbcUserFirst)->Enabled;
    if (manager->IsValidMaskIndex(glyph) && (!user || FTitleButtons->Items(Code - tbcUserFirst)->UseSkinData)) {
        const bool faint = user ? (rec->State == 0 && !FFormActive) : (!enabled || (rec->State == 0 && !FFormActive));
        DrawMaskGlyph(cache, TPoint{rec->Rect.left, rec->Rect.top}, rec->State,
                      manager->Skin().Masks[static_cast<std::size_t>(glyph)], faint ? 2 : 1);
    }
    if (user) {
        TBitmap* picture = FTitleButtons->Items(Code - tbcUserFirst)->Glyph();
        if (!picture->Empty()) {
            const int shift = rec->State == 2 ? 1 : 0;
            const TColor key = GetPixel(picture->Canvas()->Handle(), 0, picture->Height() - 1);
            CopyBitmapTransparent(cache, picture, rec->Rect.left + (w - picture->Width()) / 2 + shift, key,
                                  rec->Rect.top + (h - picture->Height()) / 2 + shift);
        }
    }
    CopyToWindow(rec->Rect);
}

int TqSkinProvider::ButtonAt(int X)
{
    const auto holds = [X](const TqButtonRecord& Rec) { return X >= Rec.Rect.left && X <= Rec.Rect.right; };
    int n = 0;
    TqSystemMenu* menu = FSystemMenu.get();
    if ((FForm->BorderIcons() & biSystemMenu) != 0 && menu != nullptr) {
        if (holds(FButtons[ButtonClose]))
            return 1;
        n = 1;
        if (menu->MaxVisible()) {
            ++n;
            if (holds(FButtons[ButtonMax]))
                return n;
        }
        if (menu->MinVisible()) {
            ++n;
            if (holds(FButtons[ButtonMin]))
                return n;
        }
    }
    for (int i = 0; i < FTitleButtons->Count(); ++i) {
        ++n;
        if (holds(FTitleButtons->Items(i)->Data))
            return n;
    }
    return 0;
}

int TqSkinProvider::HitTest(TMessage& Message)
{
    const HWND wnd = FormWnd();
    RECT window{};
    GetWindowRect(wnd, &window);
    const TPoint p{GET_X_LPARAM(Message.LParam) - window.left, GET_Y_LPARAM(Message.LParam) - window.top};
    const int rowTop = (CH() - ButtonHeight() + FH()) / 2;
    TqSystemMenu* menu = FSystemMenu.get();
    if (menu != nullptr && p.y >= rowTop && p.y <= rowTop + ButtonHeight()) {
        if (p.x >= FW() && p.x <= FW() + TitleIconWidth()) {
            SetHotButton(HTSYSMENU, true);
            return HTSYSMENU;
        }
        const bool iconic = Iconic();
        const int n = (menu->CloseVisible() ? 1 : 0) + (menu->MaxVisible() ? 1 : 0) +
                      (menu->MinVisible() || iconic ? 1 : 0);
        const int o = ButtonAt(p.x);
        if (o < 1 || o > n) {
            const int user = o - n - 1;
            if (o == 0 || user >= FTitleButtons->Count() || !FTitleButtons->Items(user)->Enabled)
                return HTCAPTION;
            SetHotButton(tbcUserFirst + user, true);
            return tbcUserFirst + user;
        }
        int result = HTCAPTION;
        if (o == 1 && menu->CloseVisible()) {
            result = HTCLOSE;
        } else if (o == 2) {
            if (menu->MaxVisible())
                result = menu->MaxEnabled() || (menu->RestoreEnabled() && !iconic) ? HTMAXBUTTON : HTCAPTION;
            else if (menu->MinVisible() || iconic)
                result = menu->MinEnabled() ? HTMINBUTTON : HTCAPTION;
        } else if (o == 3) {
            if (menu->MinVisible() || iconic)
                result = iconic || menu->MinEnabled() ? HTMINBUTTON : HTCAPTION;
        }
        SetHotButton(result, true);
        return result;
    }
    const int grip = GlobalMask("GRIPIMAGE");
    const bool bothBars = SkinnedBarSize(true) > 0 && SkinnedBarSize(false) > 0 &&
                          p.x >= FForm->Width() - FW() - SkinnedBarSize(true) &&
                          p.y >= FForm->Height() - FH() - SkinnedBarSize(false);
    if ((GripMode == gmRightBottom || bothBars) && grip >= 0) {
        const TqMaskData& mask = Manager()->Skin().Masks[static_cast<std::size_t>(grip)];
        const TBitmap* cache = FSkinData->CacheBmp.get();
        const TPoint q = mask.Bmp ? TPoint{cache->Width() - mask.Bmp->Width() / 3 - FW(),
                                           cache->Height() - mask.Bmp->Height() / 2 - FH()}
                                  : TPoint{cache->Width() - RectWidth(mask.R) / std::max<int>(mask.ImageCount, 1) - FW(),
                                           cache->Height() - RectHeight(mask.R) / (mask.MaskType + 1) - FH()};
        if (q.y < p.y && q.x < p.x)
            return HTBOTTOMRIGHT;
    }
    SetHotButton(0, true);
    if (Maximized() && (p.x < 2 || p.y < 2 || p.x >= FForm->Width() - 4 || p.y >= FForm->Height() - 4)) {
        SetHotButton(0, true);
        return HTTRANSPARENT;
    }
    return static_cast<int>(Message.Result);
}

void TqSkinProvider::SetHotButton(int Code, bool Repaint)
{
    if (Code == FHotCode)
        return;
    if (TqButtonRecord* current = ButtonRecord(FHotCode)) {
        current->State = 0;
        if (Repaint)
            PaintTitleButton(FHotCode);
    }
    FHotCode = Code;
    if (TqButtonRecord* next = ButtonRecord(Code)) {
        next->State = 1;
        TitleButtonPressed = false;
        if (Repaint)
            PaintTitleButton(Code);
    } else {
        TitleButtonPressed = false;
    }
}

void TqSkinProvider::PressButton(int Code)
{
    if (Code != FHotCode) {
        if (TqButtonRecord* current = ButtonRecord(FHotCode)) {
            current->State = 0;
            PaintTitleButton(FHotCode);
        }
    }
    FHotCode = Code;
    if (Code == tbcMaximize) {
        TqSystemMenu* menu = FSystemMenu.get();
        if (menu == nullptr || !(menu->MaxEnabled() || (Maximized() && menu->RestoreEnabled()))) {
            FHotCode = 0;
            return;
        }
    }
    if (TqButtonRecord* rec = ButtonRecord(Code))
        rec->State = 2;
    TitleButtonPressed = true;
    PaintTitleButton(Code);
}
