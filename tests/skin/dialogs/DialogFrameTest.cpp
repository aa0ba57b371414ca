// The skinned dialog frame in detail: its pictures per frame kind and
// activity against goldens (the caption's text area left out and checked by
// its colours), the title buttons' rules (a press released elsewhere does
// not close, CS_NOCLOSE blends the close button, no WS_SYSMENU no buttons),
// the hit tests of a maximised and a sizing dialog, the recognised dialog
// kinds of the child table, late children, and GDI objects staying flat.
//
// Goldens are written again only on purpose: SKIN_GOLDENS=update.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <commctrl.h>

#include "../support/PngFile.h"
#include "DialogSupport.h"
#include "skin/engine/qSkinPaint.h"
#include "skin/windows/zqStaticWnd.h"
#include "tests/graphics/PaintProbe.h"

using namespace providertest;
using namespace dialogtest;

namespace {

const DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
const DWORD SizingStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX;

TRect TextRect(TzqDialogWnd* W)
{
    const int icon = W->WindowIcon ? GetSystemMetrics(SM_CXSMICON) : 0;
    return TRect{icon + W->BorderWidth() + 4, W->BorderHeight(), W->W - W->ButtonsWidth() - 6, W->CaptionHeight()};
}

// The frame cache, its client part and the caption's text area black.
std::unique_ptr<TBitmap> FrameWithoutText(TzqDialogWnd* W)
{
    TBitmap* cache = W->SkinData->CacheBmp.get();
    auto copy = std::make_unique<TBitmap>(cache->Width(), cache->Height(), TPixelFormat::pf24bit);
    BitBlt(copy->Canvas()->Handle(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    const HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const TRect text = TextRect(W);
    if (text.right > text.left && text.bottom > text.top)
        FillRect(copy->Canvas()->Handle(), &text, black);
    return copy;
}

RECT WindowRectOf(HWND Wnd)
{
    RECT r{};
    GetWindowRect(Wnd, &r);
    return r;
}

LRESULT HitAt(HWND Wnd, int X, int Y)
{
    const RECT r = WindowRectOf(Wnd);
    return SendMessageW(Wnd, WM_NCHITTEST, 0, MAKELPARAM(r.left + X, r.top + Y));
}

POINT Centre(const TRect& R)
{
    return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
}

void Close(HWND Dlg)
{
    if (IsWindow(Dlg))
        DestroyWindow(Dlg);
    gui::PumpFor(30);
}

}   // namespace

TEST(DialogFrame, FramesOfEachKindActiveAndInactiveMatchTheGoldens)
{
    struct TKind {
        DWORD Style;
        const char* Name;
    };
    const TKind kinds[] = {{DialogStyle, "dialog"}, {SizingStyle, "sizing"}, {DialogStyle | DS_CONTEXTHELP, "help"}};
    for (const char* skin : {"Basalt", "Clearwater", "Terracotta"}) {
        auto manager = ShippedManager(skin);
        for (const TKind& k : kinds) {
            HWND dlg = MakeDialog(k.Style, false);
            TzqProvider* p = Skin(dlg);
            TzqDialogWnd* w = p->DialogWrapper.get();
            HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 700, 600, 100, 80, nullptr,
                                         nullptr, nullptr, nullptr);
            for (bool active : {true, false}) {
                SCOPED_TRACE(std::string(skin) + " " + k.Name + (active ? " active" : " inactive"));
                SetActiveWindow(active ? dlg : other);
                gui::PumpFor(60);
                ASSERT_EQ(active, w->Active);
                ASSERT_FALSE(w->SkinData->BGChanged) << "the frame is painted";
                const std::string file = std::string(skin) + "-" + k.Name + (active ? "-active" : "-inactive") + ".png";
                auto picture = FrameWithoutText(w);
                ExpectGolden(*picture, file);
                auto screen = ScreenOf(dlg);
                skintest::SavePng(*screen, ScreenshotFolder() + "/dialog-" + file);
                // The caption in the title section's font colour of the activity.
                const TqGeneralData& title =
                    manager->Skin().Sections[static_cast<std::size_t>(manager->FindSectionIndex("FORMTITLE"))];
                const TColor font = active ? title.HotFontColor : title.FontColor;
                EXPECT_GT(CountColor(w->SkinData->CacheBmp.get(), TextRect(w), ColorToRGB(font)), 20);
            }
            DestroyWindow(other);
            Close(dlg);
        }
    }
    FreeProviderList();
}

TEST(DialogFrame, TitleButtonRules)
{
    auto manager = ShippedManager("Clearwater");

    // A press on Close released over the caption does not close.
    HWND dlg = MakeDialog(DialogStyle, false);
    TzqDialogWnd* w = Skin(dlg)->DialogWrapper.get();
    MouseAt(dlg, Centre(w->Close.Rect));
    MouseButton(true);
    EXPECT_EQ(2, w->Close.State);
    MouseAt(dlg, POINT{w->W / 2, Centre(w->Close.Rect).y});
    MouseButton(false);
    gui::PumpFor(60);
    EXPECT_TRUE(IsWindow(dlg)) << "released elsewhere, yet closed";
    // A double click on the caption of a dialog that cannot maximise does nothing.
    const RECT r = WindowRectOf(dlg);
    SendMessageW(dlg, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(r.left + w->W / 2, r.top + 8));
    EXPECT_FALSE(IsZoomed(dlg));
    // The system menu of a dialog: Restore and Size hidden, Close shown.
    EXPECT_FALSE(w->SystemMenu->miRestore->Visible);
    EXPECT_FALSE(w->SystemMenu->miSize->Visible);
    EXPECT_TRUE(w->SystemMenu->miClose->Visible);

    // CS_NOCLOSE: the close button drawn blended.
    TBitmap* cache = w->SkinData->CacheBmp.get();
    const TRect c = w->Close.Rect;
    TBitmap enabled(RectWidth(c), RectHeight(c), TPixelFormat::pf24bit);
    BitBlt(enabled.Canvas()->Handle(), 0, 0, RectWidth(c), RectHeight(c), cache->Canvas()->Handle(), c.left, c.top,
           SRCCOPY);
    const ULONG_PTR classStyle = GetClassLongPtrW(dlg, GCL_STYLE);
    SetClassLongPtrW(dlg, GCL_STYLE, classStyle | CS_NOCLOSE);
    EXPECT_FALSE(w->CloseEnabled());
    w->SkinData->BGChanged = true;
    SendMessageW(dlg, WM_NCPAINT, 1, 0);
    TBitmap disabled(RectWidth(c), RectHeight(c), TPixelFormat::pf24bit);
    BitBlt(disabled.Canvas()->Handle(), 0, 0, RectWidth(c), RectHeight(c), cache->Canvas()->Handle(), c.left, c.top,
           SRCCOPY);
    SetClassLongPtrW(dlg, GCL_STYLE, classStyle);
    EXPECT_NE(skintest::RawRows(enabled), skintest::RawRows(disabled));
    Close(dlg);

    // Without WS_SYSMENU: no buttons, the system menu without Restore and Close.
    dlg = MakeDialog(WS_POPUP | WS_CAPTION | DS_MODALFRAME, false);
    w = Skin(dlg)->DialogWrapper.get();
    EXPECT_EQ(0, w->ButtonsWidth());
    EXPECT_EQ(HTCAPTION, HitAt(dlg, w->W - w->BorderWidth() - 8, (w->CaptionHeight() + w->BorderHeight()) / 2));
    EXPECT_EQ(HTSYSMENU, HitAt(dlg, w->BorderWidth() + 4, (w->CaptionHeight() + w->BorderHeight()) / 2));
    EXPECT_FALSE(w->SystemMenu->miRestore->Visible);
    EXPECT_FALSE(w->SystemMenu->miClose->Visible);
    Close(dlg);
    FreeProviderList();
}

TEST(DialogFrame, HitTestsOfASizingAndAMaximisedDialog)
{
    auto manager = ShippedManager("Terracotta");
    HWND dlg = MakeDialog(SizingStyle, false, WS_EX_CONTEXTHELP);
    TzqDialogWnd* w = Skin(dlg)->DialogWrapper.get();
    const int row = Centre(w->Close.Rect).y;
    struct THit {
        POINT P;
        LRESULT Want;
    } hits[] = {{Centre(w->Close.Rect), HTCLOSE},       {Centre(w->Maximize.Rect), HTMAXBUTTON},
                {Centre(w->Minimize.Rect), HTMINBUTTON}, {Centre(w->Help.Rect), HTHELP},
                {{w->BorderWidth() + 2, row}, HTSYSMENU}, {{w->W / 3, row}, HTCAPTION},
                {{w->W / 2, w->H / 2}, HTCLIENT}};
    for (const THit& h : hits)
        EXPECT_EQ(h.Want, HitAt(dlg, h.P.x, h.P.y)) << h.P.x << "," << h.P.y;
    // The skin's size grip answers as the bottom-right corner.
    const int grip = manager->FindMaskIndex(manager->FindSectionIndex("GLOBALINFO"), "GLOBALINFO", "GRIPIMAGE");
    if (manager->IsValidMaskIndex(grip)) {
        EXPECT_EQ(HTBOTTOMRIGHT, HitAt(dlg, w->W - w->BorderWidth() - 2, w->H - w->BorderHeight() - 2));
    }
    // A double click on the caption maximises; then the edge answers HTERROR.
    const RECT r = WindowRectOf(dlg);
    SendMessageW(dlg, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(r.left + w->W / 3, r.top + row));
    gui::PumpFor(60);
    ASSERT_TRUE(IsZoomed(dlg));
    w->SkinData->BGChanged = true;
    SendMessageW(dlg, WM_NCPAINT, 1, 0);
    EXPECT_EQ(HTERROR, HitAt(dlg, 1, w->H / 2));
    // Not dragged by its caption while zoomed.
    const RECT before = WindowRectOf(dlg);
    SendMessageW(dlg, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(before.left + w->W / 3, before.top + row));
    const RECT after = WindowRectOf(dlg);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    SendMessageW(dlg, WM_SYSCOMMAND, SC_RESTORE, 0);
    gui::PumpFor(60);
    EXPECT_FALSE(IsZoomed(dlg));
    Close(dlg);
    FreeProviderList();
}

TEST(DialogFrame, RecognisedKindsAndChildTable)
{
    auto manager = ShippedManager("Basalt");
    const auto child = [](HWND Dlg, const wchar_t* Class, DWORD Style, int W, int H) {
        return CreateWindowExW(0, Class, L"", WS_CHILD | WS_VISIBLE | Style, 4, 4, W, H, Dlg, nullptr, nullptr,
                               nullptr);
    };
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);

    // A 192 x 189 static: kind 3, painted with the section "FORM".
    HWND dlg = MakeDialog(DialogStyle, false);
    child(dlg, L"STATIC", SS_LEFT, 192, 189);
    TzqProvider* p = Skin(dlg);
    EXPECT_EQ(3, p->DialogKind);
    EXPECT_EQ("FORM", p->DialogWrapper->SkinData->SkinSection());
    Close(dlg);

    // Three list parts of simple combo boxes: kind 1.
    dlg = MakeDialog(DialogStyle, false);
    for (int i = 0; i < 3; ++i)
        child(dlg, L"COMBOBOX", CBS_SIMPLE, 80, 60);
    p = Skin(dlg);
    EXPECT_EQ(3, ComboListCount);
    EXPECT_EQ(1, p->DialogKind);
    Close(dlg);

    // A 152 x 49 static is a static-text subclass whatever its style.
    dlg = MakeDialog(DialogStyle, false);
    HWND icon = child(dlg, L"STATIC", SS_ICON, 152, 49);
    SetWindowPos(icon, nullptr, 0, 0, 152, 49, SWP_NOMOVE | SWP_NOZORDER);
    p = Skin(dlg);
    EXPECT_NE(nullptr, dynamic_cast<TzqStaticWnd*>(GetSubclassObject(icon)));
    EXPECT_EQ(nullptr, dynamic_cast<TzqIconWnd*>(GetSubclassObject(icon)));
    // A child made after the dialog appeared is wrapped at the next frame paint.
    HWND late = child(dlg, L"EDIT", WS_BORDER, 80, 20);
    EXPECT_EQ(nullptr, GetSubclassObject(late));
    SendMessageW(dlg, WM_NCPAINT, 1, 0);
    EXPECT_NE(nullptr, GetSubclassObject(late));
    Close(dlg);

    // A 470 x 349 tab control: the dialog is not skinned at all.
    dlg = MakeDialog(DialogStyle, false);
    child(dlg, WC_TABCONTROLW, 0, 470, 349);
    p = NewListedProvider(nullptr);
    EXPECT_FALSE(p->InitDialog(dlg));
    EXPECT_FALSE(Listed(p));
    delete p;
    EXPECT_EQ(nullptr, GetSubclassObject(dlg));
    Close(dlg);
    FreeProviderList();
}

TEST(DialogFrame, GdiObjectsStayFlatOverRepeatedDialogs)
{
    auto manager = ShippedManager("Terracotta");
    const auto round = [] {
        HWND dlg = MakeDialog(SizingStyle);
        TzqProvider* p = Skin(dlg);
        SendMessageW(dlg, WM_CTLCOLORDLG, 0, 0);
        SendMessageW(dlg, WM_NCACTIVATE, 0, 0);
        SendMessageW(dlg, WM_NCACTIVATE, 1, 0);
        SetWindowTextW(dlg, L"Another caption");
        DestroyWindow(dlg);
        gui::PumpUntil([&] { return !Listed(p); }, 3000);
    };
    for (int i = 0; i < 3; ++i)
        round();
    const int before = paint_probe::GdiObjectCount();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 15; ++i)
        round();
    EXPECT_EQ(before, paint_probe::GdiObjectCount());
    FreeProviderList();
}

TEST(DialogFrame, NewTextAndIconRepaintTheSkinnedFrame)
{
    // Wine repaints its own frame for these without WM_NCPAINT.
    auto manager = ShippedManager("Basalt");
    HWND dlg = MakeDialog(DialogStyle, false);
    TzqDialogWnd* w = Skin(dlg)->DialogWrapper.get();
    const auto screenIsCache = [&] {
        auto screen = ScreenOf(dlg);
        TBitmap* cache = w->SkinData->CacheBmp.get();
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        const bool hasRegion = GetWindowRgn(dlg, region) != ERROR;
        int differ = 0;
        for (int y = 0; y < w->TitleHeight(); ++y)
            for (int x = 0; x < screen->Width(); ++x)
                if (!hasRegion || PtInRegion(region, x, y))
                    differ += Pixel(screen.get(), x, y) != Pixel(cache, x, y);
        DeleteObject(region);
        return differ;
    };
    SetWindowTextW(dlg, L"A much longer caption for the skinned dialog");
    gui::PumpFor(40);
    EXPECT_EQ("A much longer caption for the skinned dialog", w->CaptionText);
    EXPECT_EQ(0, screenIsCache());
    const HICON icon = LoadIconW(nullptr, IDI_INFORMATION);
    SendMessageW(dlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    gui::PumpFor(40);
    EXPECT_EQ(icon, w->WindowIcon);
    EXPECT_EQ(0, screenIsCache());
    Close(dlg);
    FreeProviderList();
}

TEST(DialogFrame, AnIdleSkinnedDialogPaintsNothing)
{
    // The region is applied with a redraw, and a new region moves the
    // window's frame: neither may start a cycle of frame paints.
    auto manager = ShippedManager("Clearwater");
    for (DWORD style : {DialogStyle, SizingStyle}) {
        HWND dlg = MakeDialog(style);
        Skin(dlg);
        SetActiveWindow(dlg);
        gui::PumpFor(150);
        int frames = 0, clients = 0;
        TWindowHook spy = HookWndProc(dlg, [&](TMessage& M, const TCallPrevious& Previous) {
            frames += M.Msg == WM_NCPAINT;
            clients += M.Msg == WM_PAINT;
            Previous(M);
        });
        gui::PumpFor(400);
        EXPECT_EQ(0, frames);
        EXPECT_EQ(0, clients);
        spy.Remove();
        Close(dlg);
    }
    FreeProviderList();
}
