// The grid's support windows as a user meets them: the move-target arrows
// shaped by their regions, the header drag button over the grid, the search
// panel's graphic buttons clicked with the mouse, and the red squiggle under
// marked text.
#include <gtest/gtest.h>

#include "framework/Form.h"
#include "grid/core/GridDrawing.h"
#include "grid/core/ProObj.h"
#include "tests/support/GuiHarness.h"

namespace {

// The screen's pixels in R (screen coordinates).
std::unique_ptr<TBitmap> ScreenPixels(const TRect& R)
{
    auto b = std::make_unique<TBitmap>(RectWidth(R), RectHeight(R), TPixelFormat::pf24bit);
    HDC screen = GetDC(nullptr);
    BitBlt(b->Canvas()->Handle(), 0, 0, RectWidth(R), RectHeight(R), screen, R.left, R.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    b->Canvas()->Refresh();
    return b;
}

// A real click: the cursor moves to the point and the button goes down and
// up through the system's input queue.
void MouseClickAt(TControl* Control, int X, int Y)
{
    const TPoint p = Control->ClientToScreen(Point(X, Y));
    SetCursorPos(p.x, p.y);
    gui::PumpFor(30);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
    gui::PumpFor(100);
}

class SupportWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(100, 100, 360, 240);
        Form->SetColor(clWhite);
        Form->SetCaption("grid support windows");
    }
    void TearDown() override { delete Form; }

    TForm* Form = nullptr;
};

TEST_F(SupportWindows, ArrowRegionsAreTheirPolygons)
{
    Form->Show();
    gui::Settle();
    for (int direction = 0; direction < 4; ++direction) {
        auto* arrow = new TArrowWindow(Form, direction);
        EXPECT_FALSE(arrow->Visible());
        HWND wnd = arrow->Handle();
        // The system adds WS_CLIPSIBLINGS to every top-level window.
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(wnd, GWL_STYLE)) & ~(WS_VISIBLE | WS_CLIPSIBLINGS),
                  static_cast<DWORD>(WS_POPUP))
            << "direction " << direction;
        EXPECT_EQ(GetWindow(wnd, GW_OWNER), Form->Handle());
        HRGN got = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(wnd, got), ERROR) << "direction " << direction;
        const std::vector<TPoint> points = TArrowWindow::ArrowPoints(direction);
        ASSERT_EQ(points.size(), 7u);
        HRGN want = CreatePolygonRgn(points.data(), 7, WINDING);
        EXPECT_TRUE(EqualRgn(got, want)) << "direction " << direction;
        DeleteObject(want);
        DeleteObject(got);
    }
    // Direction 2 points right with its tip at (8, 5).
    const std::vector<TPoint> right = TArrowWindow::ArrowPoints(2);
    EXPECT_EQ(right[4].x, 8);
    EXPECT_EQ(right[4].y, 5);
    // Any other direction has no region.
    auto* odd = new TArrowWindow(Form, 7);
    HRGN none = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(odd->Handle(), none), ERROR);
    DeleteObject(none);
}

TEST_F(SupportWindows, ArrowShowsOnlyItsShapeInLime)
{
    Form->Show();
    gui::Settle();
    auto* arrow = new TArrowWindow(Form, 2);
    const TPoint origin = Form->ClientToScreen(Point(100, 100));
    arrow->SetBounds(origin.x, origin.y, 11, 11);
    arrow->Show();
    gui::Settle();
    const std::vector<TPoint> points = TArrowWindow::ArrowPoints(2);
    HRGN shape = CreatePolygonRgn(points.data(), 7, WINDING);
    int lime = 0, wrong = 0;
    // The X server shows the window a moment later, longer on a loaded
    // machine: the screen is read again until the arrow is there.
    std::unique_ptr<TBitmap> shot;
    gui::PumpUntil([&] {
        shot = ScreenPixels(Bounds(origin.x, origin.y, 11, 11));
        lime = wrong = 0;
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 11; ++x) {
                const bool inside = PtInRegion(shape, x, y) != 0;
                const bool isLime = gui::PixelAt(shot.get(), x, y) == RGB(0, 255, 0);
                lime += isLime;
                wrong += inside != isLime;
            }
        return lime > 30 && wrong == 0;
    }, 10000);
    DeleteObject(shape);
    EXPECT_GT(lime, 30);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(gui::PixelAt(shot.get(), 7, 5), RGB(0, 255, 0));  // just inside the tip
    EXPECT_EQ(gui::PixelAt(shot.get(), 9, 5), RGB(255, 255, 255));
    EXPECT_EQ(gui::PixelAt(shot.get(), 0, 0), RGB(255, 255, 255));
    gui::SaveScreenshot(Form, Application->ExePath() + "screenshot-arrow.png");
}

TEST_F(SupportWindows, PopupButtonShowsItsCaptionOverTheMirroredGradient)
{
    Form->Show();
    gui::Settle();
    auto* button = new TPopupButton(Form);
    button->SetParent(Form);
    button->SetVisible(false);
    button->SetCaption("列 2");
    button->SetColorFrom(RGBToColor(250, 250, 250));
    button->SetColorTo(RGBToColor(200, 200, 200));
    button->SetColorMirrorFrom(RGBToColor(180, 180, 255));
    button->SetColorMirrorTo(RGBToColor(120, 120, 255));
    const TPoint origin = Form->ClientToScreen(Point(40, 60));
    button->SetBounds(origin.x, origin.y, 80, 24);
    HWND wnd = button->Handle();
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(wnd, GWL_STYLE));
    EXPECT_EQ(style & (WS_POPUP | WS_DISABLED | WS_BORDER | WS_CHILD),
              static_cast<DWORD>(WS_POPUP | WS_DISABLED | WS_BORDER));
    EXPECT_NE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_NE(GetClassLongPtrW(wnd, GCL_STYLE) & CS_SAVEBITS, 0u);
    button->Show();
    gui::Settle();
    RECT client;
    GetClientRect(wnd, &client);
    POINT corner{0, 0};
    ClientToScreen(wnd, &corner);
    // Read from the screen once the X server shows the frame.
    std::unique_ptr<TBitmap> shot;
    gui::PumpUntil([&] {
        shot = ScreenPixels(Bounds(corner.x, corner.y, client.right, client.bottom));
        return gui::PixelAt(shot.get(), 0, 5) == RGB(255, 255, 255);
    }, 10000);
    // Not flat: a white and grey 3D frame, then the gradient inside it.
    EXPECT_EQ(gui::PixelAt(shot.get(), 0, 5), RGB(255, 255, 255));
    EXPECT_EQ(gui::PixelAt(shot.get(), client.right - 1, 5), RGB(128, 128, 128));
    // 128 overlapping bands over each half: the upper half is grey from 250
    // down towards 200, the lower half blue from (180, 180, 255) on.
    const COLORREF upper = gui::PixelAt(shot.get(), 3, 1);
    EXPECT_EQ(GetRValue(upper), GetBValue(upper)) << std::hex << upper;
    EXPECT_GE(GetRValue(upper), 240) << std::hex << upper;
    const COLORREF lower = gui::PixelAt(shot.get(), 3, client.bottom / 2 + 1);
    EXPECT_EQ(GetRValue(lower), GetGValue(lower));
    EXPECT_GT(GetBValue(lower), 240) << std::hex << lower;
    EXPECT_LT(GetRValue(lower), 185) << std::hex << lower;
    // The caption is drawn: dark pixels in the middle.
    int dark = 0;
    for (int y = 2; y < client.bottom - 2; ++y)
        for (int x = 10; x < client.right - 10; ++x)
            dark += GetGValue(gui::PixelAt(shot.get(), x, y)) < 90;
    EXPECT_GT(dark, 10);
    gui::SaveScreenshot(Form, Application->ExePath() + "screenshot-popup-button.png");
}

TEST_F(SupportWindows, GridButtonsClickedWithTheMouse)
{
    TProGridButton* group[3];
    int clicks[3] = {};
    for (int i = 0; i < 3; ++i) {
        group[i] = new TProGridButton(Form);
        group[i]->SetParent(Form);
        group[i]->SetBounds(20 + 95 * i, 20, 90, 23);
        group[i]->SetCaption(i == 0 ? "查找下一个" : i == 1 ? "查找上一个" : "高亮");
        group[i]->SetGroupIndex(1);
        group[i]->SetColorChecked(RGBToColor(255, 200, 120));
        group[i]->OnClick = [&clicks, i](TObject*) { ++clicks[i]; };
    }
    auto* check = new TProGridButton(Form);
    check->SetParent(Form);
    check->SetBounds(20, 60, 90, 23);
    check->SetCaption("区分大小写");
    check->SetStyle(tasCheck);
    check->SetColorChecked(RGBToColor(120, 200, 255));
    TBitmap glyph(12, 12, TPixelFormat::pf24bit);
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect(Rect(0, 0, 12, 12));
    glyph.Canvas()->Brush()->SetColor(clGreen);
    glyph.Canvas()->FillRect(Rect(2, 2, 10, 10));
    auto* disabled = new TProGridButton(Form);
    disabled->SetParent(Form);
    disabled->SetBounds(20, 100, 90, 23);
    disabled->SetCaption("关闭");
    disabled->SetGlyph(&glyph);
    disabled->SetEnabled(false);
    Form->Show();
    gui::Settle();

    MouseClickAt(group[0], 45, 11);
    EXPECT_TRUE(group[0]->Down());
    EXPECT_EQ(clicks[0], 1);
    MouseClickAt(group[2], 45, 11);
    EXPECT_TRUE(group[2]->Down());
    EXPECT_FALSE(group[0]->Down());
    EXPECT_EQ(clicks[2], 1);
    MouseClickAt(group[2], 45, 11);  // down, AllowAllUp off: stays down
    EXPECT_TRUE(group[2]->Down());
    EXPECT_EQ(clicks[2], 2);
    MouseClickAt(check, 45, 11);
    EXPECT_TRUE(check->Down());
    int disabledClicks = 0;
    disabled->OnClick = [&](TObject*) { ++disabledClicks; };
    MouseClickAt(disabled, 45, 11);
    EXPECT_EQ(disabledClicks, 0);

    // Move the cursor away so that no button is hot, then read the faces.
    const TPoint away = Form->ClientToScreen(Point(300, 200));
    SetCursorPos(away.x, away.y);
    gui::PumpFor(100);
    for (auto* b : group)
        b->Invalidate();
    check->Invalidate();
    gui::Settle();
    auto shot = gui::Capture(Form->Handle());
    auto at = [&](TControl* c, int x, int y) { return gui::PixelAt(shot.get(), c->Left() + x, c->Top() + y); };
    EXPECT_EQ(at(group[2], 3, 3), RGB(255, 200, 120)) << "the down button of the group shows ColorChecked";
    EXPECT_EQ(at(group[0], 3, 3), ColorToRGB(clBtnFace));
    EXPECT_EQ(at(check, 3, 3), RGB(120, 200, 255));
    // The disabled button's glyph is grey: green (0, 128, 0) -> 21 + 96 = 117.
    bool grey = false;
    for (int y = 0; y < 23 && !grey; ++y)
        for (int x = 0; x < 90 && !grey; ++x)
            grey = at(disabled, x, y) == RGB(117, 117, 117);
    EXPECT_TRUE(grey);
    gui::SaveScreenshot(Form, Application->ExePath() + "screenshot-grid-buttons.png");
}

// A grouped button shows its checked face as soon as the click that put it
// down ends, without anything else repainting it.
TEST_F(SupportWindows, GroupedButtonRepaintsWhenTheClickPutsItDown)
{
    auto* button = new TProGridButton(Form);
    button->SetParent(Form);
    button->SetBounds(40, 40, 90, 23);
    button->SetCaption("高亮");
    button->SetFlat(false);
    button->SetGroupIndex(1);
    button->SetColorChecked(RGBToColor(255, 200, 120));
    Form->Show();
    gui::Settle();
    const TPoint over = button->ClientToScreen(Point(45, 11));
    SetCursorPos(over.x, over.y);
    gui::PumpFor(30);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &input, sizeof(INPUT));
    gui::PumpFor(100);
    gui::Settle();  // the pressed face is painted
    ASSERT_EQ(button->State(), TProGridButton::TState::Down);
    input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof(INPUT));
    gui::PumpFor(100);
    gui::Settle();
    ASSERT_TRUE(button->Down());
    auto shot = gui::Capture(Form->Handle());
    EXPECT_EQ(gui::PixelAt(shot.get(), 40 + 3, 40 + 3), RGB(255, 200, 120)) << "the down button shows ColorChecked";
}

TEST_F(SupportWindows, GridButtonGoesHotUnderTheCursor)
{
    auto* button = new TProGridButton(Form);
    button->SetParent(Form);
    button->SetBounds(40, 40, 90, 23);
    button->SetCaption("查找");
    int enters = 0, leaves = 0;
    button->OnMouseEnter = [&](TObject*) { ++enters; };
    button->OnMouseLeave = [&](TObject*) { ++leaves; };
    Form->Show();
    gui::Settle();
    const TPoint away = Form->ClientToScreen(Point(300, 200));
    SetCursorPos(away.x, away.y);
    gui::PumpFor(100);
    const TPoint over = button->ClientToScreen(Point(45, 11));
    SetCursorPos(over.x, over.y);
    ASSERT_TRUE(gui::PumpUntil([&] { return button->Hot(); }, 10000)) << "the button never went hot";
    gui::Settle();
    EXPECT_GE(enters, 1);
    auto shot = gui::Capture(Form->Handle());
    EXPECT_EQ(gui::PixelAt(shot.get(), 40 + 3, 40 + 3), RGB(199, 199, 202)) << "ColorHot";
    SetCursorPos(away.x, away.y);
    ASSERT_TRUE(gui::PumpUntil([&] { return !button->Hot(); }, 10000)) << "the button stayed hot";
    gui::Settle();
    EXPECT_GE(leaves, 1);
    shot = gui::Capture(Form->Handle());
    EXPECT_EQ(gui::PixelAt(shot.get(), 40 + 3, 40 + 3), ColorToRGB(clBtnFace));
}

TEST_F(SupportWindows, SquiggleUnderTheMarkedCharacters)
{
    Form->Show();
    gui::Settle();
    TBitmap b(300, 40, TPixelFormat::pf24bit);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(Rect(0, 0, 300, 40));
    b.Canvas()->Font()->SetName("Tahoma");
    const TRect r = Rect(10, 5, 290, 30);
    const String text = "abcdefghij klmnop";
    const int full = b.Canvas()->TextWidth(text);
    const int beforeMark = b.Canvas()->TextWidth("abcdefghij ");
    DrawTextRangeSquiggle(Form, b.Canvas(), text, 6, 11, 0, r);
    b.Canvas()->Refresh();
    int minX = 1000, maxX = -1, minY = 1000;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 300; ++x)
            if (gui::PixelAt(&b, x, y) == RGB(255, 0, 0)) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
            }
    ASSERT_GE(maxX, 0) << "no squiggle drawn";
    // It starts at the first marked character and ends past the text's end.
    EXPECT_NEAR(minX, r.left + beforeMark, 3);
    EXPECT_GE(maxX, r.left + full);
    EXPECT_LE(maxX, r.left + full + 12);
    EXPECT_LT(minX, maxX);
    EXPECT_GE(minY, r.top - 1);  // the 2-pixel pen reaches one pixel above its line
    EXPECT_LE(minY, r.top + 12);
    // Positions count the bytes of the 8-bit text: a Chinese character is two.
    TBitmap wide(300, 40, TPixelFormat::pf24bit);
    wide.Canvas()->Brush()->SetColor(clWhite);
    wide.Canvas()->FillRect(Rect(0, 0, 300, 40));
    wide.Canvas()->Font()->SetName("Tahoma");
    const String chinese = "读取完成 abcdef";
    const String chinesePrefix = "读取完成 ";
    ASSERT_EQ(chinesePrefix.size(), 9u);
    DrawTextRangeSquiggle(Form, wide.Canvas(), chinese, 3, 9, 0, r);
    wide.Canvas()->Refresh();
    int wideMin = 1000, wideMax = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 300; ++x)
            if (gui::PixelAt(&wide, x, y) == RGB(255, 0, 0)) {
                wideMin = std::min(wideMin, x);
                wideMax = std::max(wideMax, x);
            }
    ASSERT_GE(wideMax, 0) << "no squiggle under the Chinese text";
    EXPECT_NEAR(wideMin, r.left + wide.Canvas()->TextWidth(chinesePrefix), 3) << "starts at the a";
    EXPECT_LT(wideMax, r.left + wide.Canvas()->TextWidth(chinese)) << "ends before the text's end (abc of abcdef)";

    // Nothing for an empty range, and no window is left behind.
    TBitmap empty(50, 20, TPixelFormat::pf24bit);
    empty.Canvas()->Brush()->SetColor(clWhite);
    empty.Canvas()->FillRect(Rect(0, 0, 50, 20));
    DrawTextRangeSquiggle(Form, empty.Canvas(), text, 0, 2, 0, Rect(0, 0, 50, 20));
    empty.Canvas()->Refresh();
    EXPECT_EQ(gui::CountPixelsNot(&empty, RGB(255, 255, 255)), 0);
    EXPECT_EQ(GetWindow(Form->Handle(), GW_CHILD), nullptr);
}

}  // namespace
