// Frame dragging of a skinned form (ResizeMode rmBorder) driven by the
// mouse through SendInput: during a drag the window stays put and an
// inverted outline lies on the desktop; the release erases it and moves or
// sizes the window once; Escape, a lost capture and the form's destruction
// cancel. Also the snapping to the work area's edges and the answers to
// WM_GETMINMAXINFO, as tables.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <windowsx.h>

#include "../support/PngFile.h"
#include "ProviderSupport.h"
#include "framework/WindowHooks.h"
#include "skin/windows/qSkinProviderDrag.h"

using namespace providertest;

namespace {

constexpr int FormX = 300, FormY = 250, FormW = 360, FormH = 240;

// The screen inside R as a bitmap (R in screen coordinates).
std::unique_ptr<TBitmap> ScreenRect(const RECT& R)
{
    auto bitmap = std::make_unique<TBitmap>(R.right - R.left, R.bottom - R.top, TPixelFormat::pf24bit);
    const HDC screen = GetDC(nullptr);
    BitBlt(bitmap->Canvas()->Handle(), 0, 0, bitmap->Width(), bitmap->Height(), screen, R.left, R.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// The pixels of the outline's path: the boundary of [L, R] x [T, B]. The
// outline of a window rectangle runs along its left and top edges and one
// pixel outside its right and bottom edges.
std::vector<POINT> OutlinePath(const RECT& O)
{
    std::vector<POINT> path;
    for (int x = O.left; x <= O.right; ++x) {
        path.push_back({x, O.top});
        path.push_back({x, O.bottom});
    }
    for (int y = O.top + 1; y < O.bottom; ++y) {
        path.push_back({O.left, y});
        path.push_back({O.right, y});
    }
    return path;
}

bool Inside(const RECT& R, POINT P)
{
    return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom;
}

void MouseTo(POINT Screen)
{
    SetCursorPos(Screen.x, Screen.y);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = Screen.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    move.mi.dy = Screen.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &move, sizeof(move));
    // Until the move has been taken from the queue (bounded: a point the
    // mouse already was at may bring no message).
    gui::PumpUntil(
        [&] {
            const DWORD at = GetMessagePos();
            return GET_X_LPARAM(at) == Screen.x && GET_Y_LPARAM(at) == Screen.y;
        },
        2000);
    gui::PumpFor(20);
}

// Escape pressed and released through the system's input queue.
void PressEscape()
{
    INPUT keys[2]{};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    gui::PumpUntil([] { return GetCapture() == nullptr; }, 2000);
    gui::PumpFor(20);
}

// A skinned sizeable form in frame-drag mode that counts what the
// platform's move loop and MoveWindow leave behind.
struct TDragForm {
    explicit TDragForm(const char* Skin, TqResizeMode Mode = rmBorder)
        : Manager(ShippedManager(Skin)), F(bsSizeable, biSystemMenu | biMinimize | biMaximize, FormX, FormY)
    {
        F.Provider->ResizeMode = Mode;
        Watch = HookWndProc(F.Wnd(), [this](TMessage& M, const TCallPrevious& Previous) {
            if (M.Msg == WM_WINDOWPOSCHANGED) {
                const auto* pos = reinterpret_cast<const WINDOWPOS*>(M.LParam);
                if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE))
                    ++Changes;
            }
            if (M.Msg == WM_ENTERSIZEMOVE)
                ++SystemLoops;
            Previous(M);
            if (M.Msg == WM_GETMINMAXINFO && MinTrack.cx > 0)
                reinterpret_cast<MINMAXINFO*>(M.LParam)->ptMinTrackSize = {MinTrack.cx, MinTrack.cy};
        });
        gui::PumpFor(60);
    }
    RECT Rect() const
    {
        RECT r{};
        GetWindowRect(F.Wnd(), &r);
        return r;
    }
    // A window point whose hit code is Code and where the form is under
    // the mouse (the skin's region cuts the corners).
    POINT PointOf(LRESULT Code) const
    {
        const RECT r = Rect();
        const int w = r.right - r.left, h = r.bottom - r.top;
        std::vector<POINT> tries;
        for (int a = 1; a < 24; ++a)
            for (int b = 1; b < 4; ++b) {
                tries.push_back({b, h / 2}), tries.push_back({w - 1 - b, h / 2});
                tries.push_back({w / 2, b}), tries.push_back({w / 2, h - 1 - b});
                tries.push_back({b, a}), tries.push_back({a, b}), tries.push_back({w - 1 - b, a});
                tries.push_back({w - 1 - a, b}), tries.push_back({b, h - 1 - a}), tries.push_back({a, h - 1 - b});
                tries.push_back({w - 1 - b, h - 1 - a}), tries.push_back({w - 1 - a, h - 1 - b});
            }
        tries.push_back({w / 3, F.Provider->FH() + F.Provider->CH() / 2});
        for (POINT p : tries) {
            const POINT s{r.left + p.x, r.top + p.y};
            if (F.HitAt(p.x, p.y) == Code && WindowFromPoint(s) == F.Wnd())
                return s;
        }
        ADD_FAILURE() << "no point with hit code " << Code;
        return POINT{r.left + w / 2, r.top + h / 2};
    }

    std::unique_ptr<TqSkinManager> Manager;
    TSkinnedForm F;
    TWindowHook Watch;
    int Changes = 0;
    int SystemLoops = 0;
    SIZE MinTrack{0, 0};
};

// The rectangle a drag of hit code Code by (DX, DY) gives the window R,
// the minimum size being Min.
RECT Expected(RECT R, LRESULT Code, int DX, int DY, SIZE Min)
{
    if (Code == HTCAPTION)
        return RECT{R.left + DX, R.top + DY, R.right + DX, R.bottom + DY};
    RECT e = R;
    const bool l = Code == HTLEFT || Code == HTTOPLEFT || Code == HTBOTTOMLEFT;
    const bool r = Code == HTRIGHT || Code == HTTOPRIGHT || Code == HTBOTTOMRIGHT;
    const bool t = Code == HTTOP || Code == HTTOPLEFT || Code == HTTOPRIGHT;
    const bool b = Code == HTBOTTOM || Code == HTBOTTOMLEFT || Code == HTBOTTOMRIGHT;
    if (l)
        e.left = std::min(R.left + DX, R.right - static_cast<int>(Min.cx));
    if (r)
        e.right = std::max(R.right + DX, R.left + static_cast<int>(Min.cx));
    if (t)
        e.top = std::min(R.top + DY, R.bottom - static_cast<int>(Min.cy));
    if (b)
        e.bottom = std::max(R.bottom + DY, R.top + static_cast<int>(Min.cy));
    return e;
}

// How many points of Path do not show the inversion (Inverted) or the
// original (not Inverted) of the Before picture taken of Area; points
// inside any of Skip are left out.
int Mismatches(const std::vector<POINT>& Path, const RECT& Area, TBitmap* Before, TBitmap* Now, bool Inverted,
               const std::vector<RECT>& Skip = {})
{
    int bad = 0;
    for (POINT p : Path) {
        bool skip = !Inside(Area, p);
        for (const RECT& s : Skip)
            skip = skip || Inside(s, p);
        if (skip)
            continue;
        const COLORREF b = Pixel(Before, p.x - Area.left, p.y - Area.top);
        const COLORREF n = Pixel(Now, p.x - Area.left, p.y - Area.top);
        if (n != (Inverted ? (~b & 0xFFFFFF) : b))
            ++bad;
    }
    return bad;
}

RECT Grown(RECT R, int By)
{
    return RECT{std::max(0L, R.left - By), std::max(0L, R.top - By), R.right + By, R.bottom + By};
}

}   // namespace

TEST(FrameDrag, CaptionEdgesAndCornersDragAnOutlineAndMoveOnce)
{
    struct TCase {
        LRESULT Code;
        int DX, DY;
        SIZE Min;   // the form's own minimum tracking size; 0: the platform's
    };
    const TCase cases[] = {
        {HTCAPTION, 70, 45, {}},     {HTCAPTION, -60, -35, {}},  {HTLEFT, -40, 0, {}},
        {HTRIGHT, 50, 0, {}},        {HTTOP, 0, -30, {}},        {HTBOTTOM, 0, 40, {}},
        {HTTOPLEFT, -25, -20, {}},   {HTTOPRIGHT, 30, -25, {}},  {HTBOTTOMLEFT, -35, 30, {}},
        {HTBOTTOMRIGHT, 45, 35, {}},
        // Past the opposite edge: the edge stops at the minimum size.
        {HTLEFT, 600, 0, {}},        {HTLEFT, 600, 0, {300, 200}}, {HTRIGHT, -600, 0, {300, 200}},
        {HTTOP, 0, 500, {300, 200}}, {HTBOTTOM, 0, -230, {300, 200}},
        // Released where it was pressed: nothing changes.
        {HTRIGHT, 0, 0, {}},
    };
    const char* skins[] = {"Basalt", "Clearwater", "Terracotta"};
    int n = 0;
    for (const char* skin : skins)
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(skin) + " hit " + std::to_string(c.Code) + " by " + std::to_string(c.DX) + "," +
                         std::to_string(c.DY) + " min " + std::to_string(c.Min.cx));
            TDragForm d(skin);
            d.MinTrack = c.Min;
            const SIZE platform{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
            const SIZE min = c.Min.cx > 0 ? c.Min : platform;
            const RECT start = d.Rect();
            const POINT at = d.PointOf(c.Code);
            const RECT target = Expected(start, c.Code, c.DX, c.DY, min);
            RECT area{};
            UnionRect(&area, &start, &target);
            area = Grown(area, 4);
            MouseTo(at);
            auto before = ScreenRect(area);

            MouseButton(true);
            MouseTo(POINT{at.x + c.DX / 2, at.y + c.DY / 2});
            MouseTo(POINT{at.x + c.DX, at.y + c.DY});
            // During the drag: the window stays, the outline is inverted.
            RECT now = d.Rect();
            EXPECT_TRUE(EqualRect(&now, &start)) << "moved during the drag";
            EXPECT_EQ(0, d.Changes);
            EXPECT_EQ(0, d.SystemLoops) << "the platform's move loop ran";
            EXPECT_EQ(d.F.Wnd(), GetCapture());
            auto during = ScreenRect(area);
            const bool moved = !EqualRect(&target, &start);
            const std::vector<POINT> path = OutlinePath(target);
            if (moved || c.Code == HTCAPTION) {
                EXPECT_EQ(0, Mismatches(path, area, before.get(), during.get(), true)) << "outline not inverted";
            }
            if (++n == 2)
                skintest::SavePng(*during, ScreenshotFolder() + "/frame-drag-during.png");

            MouseButton(false);
            gui::PumpUntil([&] { return d.Changes > 0; }, moved ? 3000 : 300);
            gui::PumpFor(60);
            now = d.Rect();
            EXPECT_EQ(target.left, now.left);
            EXPECT_EQ(target.top, now.top);
            EXPECT_EQ(target.right, now.right);
            EXPECT_EQ(target.bottom, now.bottom);
            EXPECT_EQ(moved ? 1 : 0, d.Changes) << "one MoveWindow at the end";
            EXPECT_EQ(nullptr, GetCapture());
            // The outline is gone where no window paints.
            auto after = ScreenRect(area);
            EXPECT_EQ(0, Mismatches(path, area, before.get(), after.get(), false, {start, now}));
        }
}

TEST(FrameDrag, EscapeLostCaptureAndDestructionCancel)
{
    struct TCase {
        const char* Name;
        std::function<void(TDragForm&)> Cancel;
    };
    const TCase cases[] = {
        {"Escape", [](TDragForm&) { PressEscape(); }},
        {"capture released", [](TDragForm&) { ReleaseCapture(); gui::PumpFor(40); }},
        {"capture taken", [](TDragForm&) { SetCapture(Application->Handle()); gui::PumpFor(40); ReleaseCapture(); }},
        {"form destroyed", [](TDragForm& D) { D.F.Form.reset(); gui::PumpFor(60); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        auto d = std::make_unique<TDragForm>("Clearwater");
        const RECT start = d->Rect();
        const POINT at = d->PointOf(HTCAPTION);
        const RECT target{start.left + 60, start.top + 40, start.right + 60, start.bottom + 40};
        RECT area{};
        UnionRect(&area, &start, &target);
        area = Grown(area, 4);
        MouseTo(at);
        auto before = ScreenRect(area);
        MouseButton(true);
        MouseTo(POINT{at.x + 60, at.y + 40});
        auto during = ScreenRect(area);
        const std::vector<POINT> path = OutlinePath(target);
        ASSERT_EQ(0, Mismatches(path, area, before.get(), during.get(), true));

        const bool destroyed = std::string(c.Name) == "form destroyed";
        c.Cancel(*d);
        EXPECT_EQ(nullptr, GetCapture());
        auto after = ScreenRect(area);
        // Erased: the path shows what it showed before (where the window
        // was, unless it went).
        EXPECT_EQ(0, Mismatches(path, area, before.get(), after.get(), false,
                                destroyed ? std::vector<RECT>{start} : std::vector<RECT>{}));
        MouseButton(false);
        gui::PumpFor(60);
        if (!destroyed) {
            const RECT now = d->Rect();
            EXPECT_TRUE(EqualRect(&now, &start));
            EXPECT_EQ(0, d->Changes);
        }
        d.reset();
        // The next drag, on another form, runs as usual.
        TDragForm next("Clearwater");
        const RECT r = next.Rect();
        const POINT p = next.PointOf(HTCAPTION);
        MouseTo(p);
        MouseButton(true);
        MouseTo(POINT{p.x + 20, p.y + 10});
        MouseButton(false);
        gui::PumpUntil([&] { return next.Changes > 0; }, 3000);
        EXPECT_EQ(r.left + 20, next.Rect().left);
        EXPECT_EQ(r.top + 10, next.Rect().top);
    }
}

TEST(FrameDrag, ADoubleClickEndsTheDragBeforeItMaximises)
{
    TDragForm d("Terracotta");
    const RECT start = d.Rect();
    const POINT at = d.PointOf(HTCAPTION);
    MouseTo(at);
    MouseButton(true);
    MouseTo(POINT{at.x + 30, at.y + 20});
    SendMessageW(d.F.Wnd(), WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(at.x + 30, at.y + 20));
    gui::PumpFor(60);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_TRUE(IsZoomed(d.F.Wnd()));
    MouseButton(false);
    ShowWindow(d.F.Wnd(), SW_RESTORE);
    gui::PumpFor(60);
    // The drag's move came first: the restored place is the dragged one.
    EXPECT_EQ(start.left + 30, d.Rect().left);
    EXPECT_EQ(start.top + 20, d.Rect().top);
}

TEST(FrameDrag, MenuMoveAndSizeFollowTheMouseUntilAClick)
{
    struct TCase {
        WPARAM Command;
        int DX, DY;
        bool Moves, Sizes;
    };
    const TCase cases[] = {{SC_MOVE, 50, 30, true, false}, {SC_SIZE, 50, 30, false, true}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Command == SC_MOVE ? "Move" : "Size");
        TDragForm d("Basalt");
        const RECT start = d.Rect();
        const POINT from{start.left + 100, start.top + 100};
        MouseTo(from);
        // What the system menu's items send.
        SendMessageW(d.F.Wnd(), WM_SYSCOMMAND, c.Command, 0);
        EXPECT_EQ(d.F.Wnd(), GetCapture());
        MouseTo(POINT{from.x + c.DX, from.y + c.DY});
        EXPECT_EQ(0, d.Changes);
        MouseButton(true);
        MouseButton(false);
        gui::PumpUntil([&] { return d.Changes > 0; }, 3000);
        const RECT now = d.Rect();
        EXPECT_EQ(start.left + (c.Moves ? c.DX : 0), now.left);
        EXPECT_EQ(start.top + (c.Moves ? c.DY : 0), now.top);
        EXPECT_EQ(start.right + c.DX, now.right);
        EXPECT_EQ(start.bottom + c.DY, now.bottom);
        EXPECT_EQ(1, d.Changes);
        EXPECT_EQ(nullptr, GetCapture());
    }
}

TEST(FrameDrag, StandardModeLeavesMovingToThePlatform)
{
    TDragForm d("Terracotta", rmStandard);
    const RECT start = d.Rect();
    const POINT at = d.PointOf(HTCAPTION);
    SetCursorPos(at.x, at.y);
    gui::PumpFor(40);
    // The platform's move loop runs inside the press: the whole gesture is
    // queued before any of it is handled.
    INPUT in[3]{};
    in[0].type = in[1].type = in[2].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dx = (at.x + 40) * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in[1].mi.dy = (at.y + 30) * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, in, sizeof(INPUT));
    gui::PumpUntil([&] { return d.Rect().left != start.left; }, 5000);
    gui::PumpFor(60);
    EXPECT_EQ(1, d.SystemLoops);
    EXPECT_EQ(start.left + 40, d.Rect().left);
    EXPECT_EQ(start.top + 30, d.Rect().top);
    EXPECT_EQ(nullptr, GetCapture());
}

TEST(FrameDrag, SnapCoordinateTable)
{
    struct TCase {
        int C, Edge, Extent, Buffer, Expected;
    };
    const TCase cases[] = {
        {911, 1280, 360, 10, 920},  {910, 1280, 360, 10, 910}, {929, 1280, 360, 10, 920},
        {930, 1280, 360, 10, 930},  {9, 0, 0, 10, 0},          {10, 0, 0, 10, 10},
        {-9, 0, 0, 10, 0},          {1, 0, 0, 0, 1},           {0, 0, 0, 0, 0},
    };
    for (const TCase& c : cases) {
        int v = c.C;
        SnapCoordinate(v, c.Edge, c.Extent, c.Buffer);
        EXPECT_EQ(c.Expected, v) << c.C << " to edge " << c.Edge << " extent " << c.Extent << " buffer " << c.Buffer;
    }
}

TEST(FrameDrag, ScreenSnappingToTheWorkArea)
{
    RECT saved{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &saved, 0);
    RECT work{40, 30, 1240, 1000};
    const bool set = SystemParametersInfoW(SPI_SETWORKAREA, 0, &work, 0) != 0;
    if (!set)
        work = saved;
    RECT check{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &check, 0);
    ASSERT_TRUE(EqualRect(&check, &work));
    const int w = FormW, h = FormH, l = work.left, t = work.top, r = work.right, b = work.bottom;
    struct TCase {
        const char* Name;
        bool Snap;
        int Buffer;
        POINT To, Expected;
    };
    const TCase cases[] = {
        {"9 from the right", true, 10, {r - w - 9, 300}, {r - w, 300}},
        {"10 from the right", true, 10, {r - w - 10, 300}, {r - w - 10, 300}},
        {"9 over the right", true, 10, {r - w + 9, 300}, {r - w, 300}},
        {"9 from the bottom", true, 10, {300, b - h - 9}, {300, b - h}},
        {"10 from the bottom", true, 10, {300, b - h - 10}, {300, b - h - 10}},
        {"9 from the left", true, 10, {l + 9, 300}, {l, 300}},
        {"10 from the left", true, 10, {l + 10, 300}, {l + 10, 300}},
        {"9 over the left", true, 10, {l - 9, 300}, {l, 300}},
        {"9 from the top", true, 10, {300, t + 9}, {300, t}},
        {"10 from the top", true, 10, {300, t + 10}, {300, t + 10}},
        {"corner", true, 10, {r - w - 5, b - h + 5}, {r - w, b - h}},
        {"buffer 0", true, 0, {l + 1, t + 1}, {l + 1, t + 1}},
        {"snapping off", false, 10, {l + 5, t + 5}, {l + 5, t + 5}},
        {"x and y 0 never snap", true, 200, {0, 0}, {0, 0}},
        {"y not 0 snaps both", true, 200, {0, 5}, {l, t}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDragForm d("Clearwater");
        d.F.Provider->ScreenSnap = c.Snap;
        d.F.Provider->SnapBuffer = c.Buffer;
        MoveWindow(d.F.Wnd(), c.To.x, c.To.y, w, h, TRUE);
        EXPECT_EQ(c.Expected.x, d.Rect().left);
        EXPECT_EQ(c.Expected.y, d.Rect().top);
    }
    // A maximised form is where it would be without snapping.
    RECT plain{}, snapped{};
    for (bool snap : {false, true}) {
        TDragForm d("Clearwater");
        d.F.Provider->ScreenSnap = snap;
        d.F.Provider->SnapBuffer = 50;
        ShowWindow(d.F.Wnd(), SW_MAXIMIZE);
        gui::PumpFor(60);
        (snap ? snapped : plain) = d.Rect();
    }
    EXPECT_TRUE(EqualRect(&plain, &snapped));
    // A release near an edge after a frame drag lands flush.
    {
        TDragForm d("Clearwater");
        d.F.Provider->ScreenSnap = true;
        const RECT start = d.Rect();
        const POINT at = d.PointOf(HTCAPTION);
        MouseTo(at);
        MouseButton(true);
        MouseTo(POINT{at.x - (start.left - l) + 6, at.y});
        MouseButton(false);
        gui::PumpUntil([&] { return d.Changes > 0; }, 3000);
        EXPECT_EQ(l, d.Rect().left);
        EXPECT_EQ(start.top, d.Rect().top);
    }
    if (set)
        SystemParametersInfoW(SPI_SETWORKAREA, 0, &saved, 0);
}

TEST(FrameDrag, MinMaxInfoTable)
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int ww = work.right - work.left, wh = work.bottom - work.top;
    struct TCase {
        const char* Name;
        TFormBorderStyle Style;
        int FW;
        POINT OwnTrack;   // set by the form's own handling; {0, 0}: none
        POINT Track, Position;
    };
    const int sizing = GetSystemMetrics(SM_CXFRAME), fixed = GetSystemMetrics(SM_CXDLGFRAME);
    const TCase cases[] = {
        {"sizeable", bsSizeable, sizing, {}, {ww + 2 * sizing, wh + 2 * sizing}, {-sizing, -sizing}},
        {"single", bsSingle, fixed, {}, {ww + 2 * fixed, wh + 2 * fixed}, {-fixed, -fixed}},
        {"dialog", bsDialog, fixed, {}, {ww + 2 * fixed, wh + 2 * fixed}, {-fixed, -fixed}},
        {"no border", bsNone, 0, {}, {ww, wh}, {0, 0}},
        {"own track size", bsSizeable, sizing, {800, 600}, {800, 600}, {-sizing, -sizing}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        auto manager = ShippedManager("Basalt");
        auto form = std::make_unique<TForm>(Application);
        form->SetBorderStyle(c.Style);
        form->SetBounds(200, 200, FormW, FormH);
        // Below the provider: the form's own handling.
        TWindowHook own = HookWindowProc(form.get(), [&](TMessage& M, const TCallPrevious& Previous) {
            Previous(M);
            if (M.Msg == WM_GETMINMAXINFO && c.OwnTrack.x != 0)
                reinterpret_cast<MINMAXINFO*>(M.LParam)->ptMaxTrackSize = c.OwnTrack;
        });
        auto* provider = new TqSkinProvider(form.get());
        form->Show();
        gui::PumpFor(60);
        EXPECT_EQ(c.FW, provider->FW());
        MINMAXINFO info{};
        info.ptMaxSize = {777, 666};
        info.ptMinTrackSize = {123, 45};
        info.ptMaxTrackSize = {5000, 5000};
        info.ptMaxPosition = {99, 99};
        SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(c.Track.x, info.ptMaxTrackSize.x);
        EXPECT_EQ(c.Track.y, info.ptMaxTrackSize.y);
        EXPECT_EQ(c.Position.x, info.ptMaxPosition.x);
        EXPECT_EQ(c.Position.y, info.ptMaxPosition.y);
        EXPECT_EQ(777, info.ptMaxSize.x);
        EXPECT_EQ(666, info.ptMaxSize.y);
        EXPECT_EQ(123, info.ptMinTrackSize.x);
        EXPECT_EQ(45, info.ptMinTrackSize.y);
    }
}
