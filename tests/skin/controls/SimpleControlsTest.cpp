// The simple-control subclasses on real system windows under Wine: push and
// bitmap buttons, check boxes and radio buttons, statics, group boxes, size
// grips, up-down controls, tool bars and panes, each drawn from a shipped
// skin over a parent whose cache is one known colour.
#include <commctrl.h>

#include "ControlsHarness.h"
#include "skin/engine/qControlTree.h"
#include "skin/windows/zqBtnWnd.h"
#include "skin/windows/zqCheckBoxWnd.h"
#include "skin/windows/zqGroupBoxWnd.h"
#include "skin/windows/zqSimpleLayout.h"
#include "skin/windows/zqSizerWnd.h"
#include "skin/windows/zqSpinWnd.h"
#include "skin/windows/zqStaticWnd.h"
#include "skin/windows/zqToolBarWnd.h"

using namespace skincontrols;

namespace {

class SimpleControls : public TSkinnedParentTest {};

TEST(SimpleLayout, ButtonStateFollowsPushFocusAndDefault)
{
    struct Case {
        bool Pushed, Enabled, Hot, Default;
        int State;
    };
    const Case cases[] = {
        {true, true, false, false, 2},  {true, false, false, false, 2}, {false, false, true, true, 0},
        {false, true, true, false, 1},  {false, true, false, true, 1},  {false, true, false, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.State, ButtonPaintState(c.Pushed, c.Enabled, c.Hot, c.Default))
            << c.Pushed << c.Enabled << c.Hot << c.Default;
}

TEST(SimpleLayout, CheckKindStateAndImageNames)
{
    EXPECT_TRUE(CheckBoxStyleIsCheck(BS_CHECKBOX));
    EXPECT_TRUE(CheckBoxStyleIsCheck(BS_AUTOCHECKBOX));
    EXPECT_TRUE(CheckBoxStyleIsCheck(BS_3STATE));
    EXPECT_TRUE(CheckBoxStyleIsCheck(BS_AUTO3STATE));
    EXPECT_FALSE(CheckBoxStyleIsCheck(BS_RADIOBUTTON));
    EXPECT_FALSE(CheckBoxStyleIsCheck(BS_AUTORADIOBUTTON));
    EXPECT_EQ(2, CheckStateOf(BST_INDETERMINATE | BST_CHECKED));
    EXPECT_EQ(1, CheckStateOf(BST_CHECKED | BST_FOCUS));
    EXPECT_EQ(0, CheckStateOf(BST_PUSHED));
    EXPECT_STREQ("BOXGRAYED", CheckGlyphName(false, 2));
    EXPECT_STREQ("RADIOCHECKED", CheckGlyphName(false, 1));
    EXPECT_STREQ("BOXUNCHECKED", CheckGlyphName(true, 0));
}

TEST(SimpleLayout, OddUpDownGivesTheMiddleRowToBothHalves)
{
    for (int h : {20, 21, 1}) {
        TRect up, down;
        SpinHalves(2, 17, h, up, down);
        EXPECT_EQ(2, up.left);
        EXPECT_EQ(0, up.top);
        EXPECT_EQ(h, down.bottom);
        // Together they cover every row; with an odd height one row twice.
        EXPECT_EQ(h % 2, up.bottom - down.top) << h;
    }
}

TEST(SimpleLayout, ToolCaptionBreaksAfterTheWordsThatFit)
{
    const auto measure = [](const String& T) { return static_cast<int>(T.size()) * 6; };
    struct Case {
        const char* Text;
        int Width;
        bool TwoLines;
        const char* First;
        const char* Second;
    };
    const Case cases[] = {
        {"Open", 30, false, "Open", ""},
        {"Open file", 60, false, "Open file", ""},
        {"Open file now", 60, true, "Open file", "now"},
        {"Send all channels to device", 60, true, "Send all", "channels to device"},
        {"Overlongword tail", 30, true, "Overlongword", "tail"},
    };
    for (const Case& c : cases) {
        const TzqToolCaption caption = SplitToolCaption(c.Text, c.Width, measure);
        EXPECT_EQ(c.TwoLines, caption.TwoLines) << c.Text;
        EXPECT_EQ(String(c.First), caption.First) << c.Text;
        EXPECT_EQ(String(c.Second), caption.Second) << c.Text;
    }
}

TEST(SimpleLayout, GroupCaptionBoxIsCutAtTheWindowEdge)
{
    const TRect wide{6, 0, 54, 15};
    const TRect cut{6, 0, 49, 6};
    const TRect a = GroupCaptionRect(200, TSize{40, 13});
    const TRect b = GroupCaptionRect(50, TSize{40, 2});
    EXPECT_TRUE(EqualRect(&wide, &a));
    EXPECT_TRUE(EqualRect(&cut, &b));
}

// A tool bar of one button TextW wide holding Text, without images.
HWND MakeToolBar(HWND Parent, const wchar_t* Text, int ButtonWidth, BYTE Style = BTNS_BUTTON)
{
    HWND bar = MakeChild(Parent, TOOLBARCLASSNAMEW, L"", CCS_NODIVIDER | CCS_NORESIZE | TBSTYLE_FLAT, 0, 0, 300, 48);
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(bar, TB_SETBUTTONWIDTH, 0, MAKELPARAM(ButtonWidth, ButtonWidth));
    TBBUTTON button{};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = 7;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = Style;
    button.iString = reinterpret_cast<INT_PTR>(Text);
    SendMessageW(bar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    SendMessageW(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(ButtonWidth, 44));
    return bar;
}

// Rows of R in B that hold pixels of about Ink.
std::vector<int> InkRows(TBitmap& B, TRect R, TColor Ink)
{
    std::vector<int> rows;
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x)
            if (Near(paint_probe::PixelAt(B, x, y), Ink, 30)) {
                rows.push_back(y);
                break;
            }
    return rows;
}

TEST_F(SimpleControls, ToolButtonCaptionBreaksIntoTwoLinesEndingInAnEllipsis)
{
    HWND bar = MakeToolBar(Parent->Handle(), L"Send every channel to the extender", 60);
    auto* object = Skin<TzqToolBarWnd>(bar, "TOOLBAR");
    RECT item{};
    ASSERT_TRUE(SendMessageW(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)));
    auto image = Print(bar);
    Settle();
    SaveScreenshot(Parent->Handle(), ScreenshotPath("toolbutton-two-lines.png"));
    const TColor ink = static_cast<TColor>(ColorToRGB(Section("TOOLBAR").FontColor));
    const TRect r = Rect(item.left + object->EdgeWidth, item.top, item.right, item.bottom);
    const std::vector<int> rows = InkRows(*image, r, ink);
    ASSERT_FALSE(rows.empty());
    // Two bands of text, one below the other.
    int bands = 1;
    for (std::size_t i = 1; i < rows.size(); ++i)
        bands += rows[i] > rows[i - 1] + 1 ? 1 : 0;
    EXPECT_EQ(2, bands);
    // The second line is cut with "...": three dots end its ink on the right.
    int lastInk = 0;
    for (int x = r.left; x < r.right; ++x)
        if (Near(paint_probe::PixelAt(*image, x, rows.back()), ink, 30))
            lastInk = x;
    EXPECT_GT(lastInk, r.left + (r.right - r.left) / 2);
    // Printing it before its first paint did not take that paint away.
    auto screen = Capture(bar);
    EXPECT_EQ(rows, InkRows(*screen, r, ink));
}

TEST_F(SimpleControls, SkinWithoutMasksKeepsA16PixelBoxAndCentresToolImages)
{
    // The section without any check-mark or arrow image.
    auto bare = skinstate::ManagerWithSkin(
        "[GLOBALINFO]\nVERSION=5.2\nCOLOR=12632256\n[CHECKBOX]\nCOLOR=16777215\nFONTCOLOR=0\n"
        "[TOOLBAR]\nCOLOR=8421504\nFONTCOLOR=0\n[TOOLBUTTON]\nCOLOR=255\nHOTCOLOR=255\n",
        "Bare");
    ASSERT_TRUE(bare->SkinData().Loaded);
    HWND check = Child(L"BUTTON", L"Loop", BS_AUTOCHECKBOX, 10, 60, 120, 30);
    SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
    auto* box = TzqMainWnd::Create<TzqCheckBoxWnd>(check, false, "CHECKBOX", bare.get(), nullptr);
    Subclasses.emplace_back(box);
    auto picture = Print(check);
    EXPECT_EQ(nullptr, box->CheckGlyph());
    const TRect glyph = box->GlyphRect();
    EXPECT_EQ(16, glyph.right - glyph.left);
    EXPECT_EQ(16, glyph.bottom - glyph.top);
    EXPECT_EQ(7, glyph.top);
    // No mark is drawn: the box shows the section's colour.
    EXPECT_TRUE(Near(0x00FFFFFF, paint_probe::PixelAt(*picture, 8, 15), 0));

    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24, 1, 0);
    HBITMAP red = CreateBitmap(16, 16, 1, 32, nullptr);
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, red);
        RECT all{0, 0, 16, 16};
        HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
        FillRect(dc, &all, green);
        DeleteObject(green);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    ImageList_Add(images, red, nullptr);
    DeleteObject(red);
    HWND bar = MakeChild(Parent->Handle(), TOOLBARCLASSNAMEW, L"", CCS_NODIVIDER | CCS_NORESIZE, 0, 100, 300, 40);
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    TBBUTTON button{};
    button.iBitmap = 0;
    button.idCommand = 9;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_WHOLEDROPDOWN;
    SendMessageW(bar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    auto* tools = TzqMainWnd::Create<TzqToolBarWnd>(bar, false, "TOOLBAR", bare.get(), nullptr);
    Subclasses.emplace_back(tools);
    auto image = Print(bar);
    RECT item{};
    SendMessageW(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    // Without the drop-down arrow image the picture sits in the middle of
    // the whole button.
    int left = -1, right = -1;
    for (int x = item.left; x < item.right; ++x)
        if (Near(paint_probe::PixelAt(*image, x, item.top + 10), 0x0000C800, 2)) {
            if (left < 0)
                left = x;
            right = x;
        }
    ASSERT_GE(left, 0);
    EXPECT_EQ(16, right - left + 1);
    EXPECT_LE(std::abs((left - item.left) - (item.right - 1 - right)), 1);
    SendMessageW(bar, TB_SETIMAGELIST, 0, 0);
    DestroyWindow(bar);
    ImageList_Destroy(images);
}

TEST_F(SimpleControls, OddUpDownPaintsTheMiddleRowInBothHalves)
{
    HWND spin = Child(UPDOWN_CLASSW, L"", 0, 10, 10, 17, 25);
    auto* object = Skin<TzqSpinWnd>(spin, "BUTTON");
    auto image = Print(spin);
    EXPECT_EQ(0, object->UpState);
    EXPECT_EQ(0, object->DownState);
    // Each half is framed by the section's border: the row the halves share
    // (12) is the upper half's last row, drawn over the lower half's first.
    TBitmap upper(17, 13, TPixelFormat::pf24bit);
    const TColor frame = paint_probe::PixelAt(*image, 8, 0);
    EXPECT_EQ(frame, paint_probe::PixelAt(*image, 8, 12));
    EXPECT_EQ(frame, paint_probe::PixelAt(*image, 8, 24));
}

TEST_F(SimpleControls, StaticTextIsRepaintedWithItsNewText)
{
    HWND text = Child(L"STATIC", L"", SS_LEFT, 10, 10, 160, 20);
    auto* object = Skin<TzqStaticWnd>(text, "CHECKBOX");
    Settle();
    const TColor ink = static_cast<TColor>(ColorToRGB(Section("CHECKBOX").FontColor));
    auto before = Capture(Parent->Handle());
    const int inkBefore = paint_probe::InkCount(*before, ink, Rect(10, 10, 170, 30));
    TMessageSpy spy(text);
    SetWindowTextW(text, L"Channel 3 ready");
    EXPECT_EQ(String("Channel 3 ready"), object->CachedText);
    EXPECT_EQ(1, spy.Count(WM_SETTEXT));
    // No further paint needed: the change was drawn at once, from the skin.
    auto after = Capture(Parent->Handle());
    int textPixels = 0;
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 170; ++x)
            textPixels += Near(paint_probe::PixelAt(*after, x, y), ink, 40);
    EXPECT_GT(textPixels, 20);
    EXPECT_NE(inkBefore, paint_probe::InkCount(*after, ink, Rect(10, 10, 170, 30)));
}

TEST_F(SimpleControls, DisabledButtonIsMixedWithTheParentAndIgnoresFocus)
{
    HWND button = Child(L"BUTTON", L"", BS_PUSHBUTTON, 20, 20, 90, 28);
    TMessageSpy spy(button);
    Skin<TzqBtnWnd>(button, "BUTTON");
    auto enabled = Print(button);
    EnableWindow(button, FALSE);
    auto disabled = Print(button);
    // Away from the caption (there is none) the face keeps 40 percent.
    int checked = 0;
    for (int y = 4; y < 24; y += 5)
        for (int x = 4; x < 86; x += 9) {
            const TColor b = paint_probe::PixelAt(*enabled, x, y);
            TColor expect = 0;
            for (int s = 0; s <= 16; s += 8) {
                const int mixed = (Channel(b, s) * 4 + Channel(ParentCacheColor, s) * 6 + 5) / 10;
                expect |= static_cast<TColor>(mixed) << s;
            }
            EXPECT_TRUE(Near(expect, paint_probe::PixelAt(*disabled, x, y), 2)) << x << "," << y;
            ++checked;
        }
    EXPECT_GT(checked, 10);
    const int focusBefore = spy.Count(WM_SETFOCUS);
    SendMessageW(button, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(focusBefore, spy.Count(WM_SETFOCUS));
}

TEST_F(SimpleControls, DefaultButtonIsDrawnHotWithoutFocus)
{
    ASSERT_NE(Section("BUTTON").Color, Section("BUTTON").HotColor);
    HWND plain = Child(L"BUTTON", L"", BS_PUSHBUTTON, 10, 10, 80, 26);
    HWND def = Child(L"BUTTON", L"", BS_DEFPUSHBUTTON, 100, 10, 80, 26);
    auto* plainObject = Skin<TzqBtnWnd>(plain, "BUTTON");
    auto* defObject = Skin<TzqBtnWnd>(def, "BUTTON");
    SetFocus(Parent->Handle());
    EXPECT_EQ(0, plainObject->ButtonState());
    EXPECT_EQ(1, defObject->ButtonState());
    auto a = Print(plain);
    auto b = Print(def);
    const TColor hot = static_cast<TColor>(ColorToRGB(Section("BUTTON").HotColor));
    EXPECT_TRUE(Near(hot, paint_probe::PixelAt(*b, 40, 13), 24));
    EXPECT_FALSE(paint_probe::SamePixels(*a, *b));
}

TEST_F(SimpleControls, IndeterminateRadioShowsTheGrayedBox)
{
    HWND radio = Child(L"BUTTON", L"Grey", BS_RADIOBUTTON, 10, 10, 120, 24);
    TMessageSpy spy(radio);
    // The system's radio button knows no third state: the fixture answers it.
    spy.Answer = [](TMessage& M) {
        if (M.Msg != BM_GETSTATE)
            return false;
        M.Result = BST_INDETERMINATE;
        return true;
    };
    auto* object = Skin<TzqCheckBoxWnd>(radio, "CHECKBOX");
    const TqMaskData* grayed = &Manager->Skin().Masks[Manager->FindMaskIndexExact("GLOBALINFO", "BOXGRAYED")];
    EXPECT_EQ(grayed, object->CheckGlyph());
    auto image = Print(radio);
    // The glyph's box differs from the same radio button shown clear.
    spy.Answer = nullptr;
    auto clear = Print(radio);
    const TRect box = object->GlyphRect();
    EXPECT_GT(box.right - box.left, 4);
    int differ = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            differ += paint_probe::PixelAt(*image, x, y) != paint_probe::PixelAt(*clear, x, y);
    EXPECT_GT(differ, 4);
}

TEST_F(SimpleControls, WmPaintUsesTheGivenDcOrFetchesAndReleasesOne)
{
    HWND button = Child(L"BUTTON", L"OK", BS_PUSHBUTTON, 10, 10, 80, 26);
    Skin<TzqBtnWnd>(button, "BUTTON");
    auto printed = Print(button);
    // With a DC: the picture goes there and the DC stays the caller's.
    TBitmap given(80, 26, TPixelFormat::pf24bit);
    paint_probe::Clear(given, 0x00FF00FF);
    HDC dc = given.Canvas()->Handle();
    SendMessageW(button, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_TRUE(paint_probe::SamePixels(*printed, given));
    EXPECT_NE(0, SetPixel(dc, 0, 0, RGB(1, 2, 3)) + 1);
    EXPECT_EQ(OBJ_MEMDC, GetObjectType(dc));
    // Without one: the window is drawn on the screen and left valid.
    InvalidateRect(button, nullptr, FALSE);
    UpdateWindow(button);
    EXPECT_FALSE(GetUpdateRect(button, nullptr, FALSE));
    auto screen = Capture(button);
    EXPECT_TRUE(Near(paint_probe::PixelAt(*printed, 40, 3), paint_probe::PixelAt(*screen, 40, 3), 0));
}

TEST_F(SimpleControls, EveryMemberValidatesAPaintItSkips)
{
    struct Case {
        const wchar_t* Class;
        DWORD Style;
        std::function<TzqMainWnd*(HWND)> Make;
    };
    const Case cases[] = {
        {L"BUTTON", BS_PUSHBUTTON, [this](HWND W) { return Skin<TzqBtnWnd>(W, "BUTTON"); }},
        {L"BUTTON", BS_PUSHBUTTON, [this](HWND W) { return Skin<TzqBitBtnWnd>(W, "BUTTON"); }},
        {L"BUTTON", BS_AUTOCHECKBOX, [this](HWND W) { return Skin<TzqCheckBoxWnd>(W, "CHECKBOX"); }},
        {L"STATIC", SS_LEFT, [this](HWND W) { return Skin<TzqStaticWnd>(W, "CHECKBOX"); }},
        {L"STATIC", SS_ICON, [this](HWND W) { return Skin<TzqIconWnd>(W, "CHECKBOX"); }},
        {L"BUTTON", BS_GROUPBOX, [this](HWND W) { return Skin<TzqGroupBoxWnd>(W, "GROUPBOX"); }},
        {L"SCROLLBAR", SBS_SIZEGRIP, [this](HWND W) { return Skin<TzqSizerWnd>(W, "PANEL"); }},
        {UPDOWN_CLASSW, 0, [this](HWND W) { return Skin<TzqSpinWnd>(W, "BUTTON"); }},
        {TOOLBARCLASSNAMEW, CCS_NODIVIDER, [this](HWND W) { return Skin<TzqToolBarWnd>(W, "TOOLBAR"); }},
    };
    for (const Case& c : cases) {
        HWND wnd = Child(c.Class, L"x", c.Style, 10, 10, 60, 24);
        TzqMainWnd* object = c.Make(wnd);
        // The skin state is updating: nothing is drawn, the window is valid.
        object->SkinData->Updating = true;
        if (c.Class == std::wstring(TOOLBARCLASSNAMEW))
            Parent->Data->BGChanged = true;
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE);
        UpdateWindow(wnd);
        EXPECT_FALSE(GetUpdateRect(wnd, nullptr, FALSE)) << c.Class << " " << c.Style;
        object->SkinData->Updating = false;
        DestroyWindow(wnd);
    }
}

TEST_F(SimpleControls, PaneShowsItsSectionAroundItsChildren)
{
    // A dialog nested in a dialog: a window that paints nothing itself.
    HWND pane = Child(L"#32770", L"", WS_CLIPCHILDREN, 10, 10, 200, 120);
    HWND button = MakeChild(pane, L"BUTTON", L"Inside", BS_PUSHBUTTON, 50, 40, 80, 26);
    Skin<TzqTransPanelWnd>(pane, "PANEL");
    RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_FALSE(GetUpdateRect(pane, nullptr, FALSE));
    auto screen = Capture(pane);
    const TColor panel = static_cast<TColor>(ColorToRGB(Section("PANEL").Color));
    EXPECT_TRUE(Near(panel, paint_probe::PixelAt(*screen, 20, 100), 8));
    // The child's own face is not painted over: its middle is the
    // button's face, as it draws it.
    auto inside = Capture(button);
    EXPECT_EQ(paint_probe::PixelAt(*inside, 5, 5), paint_probe::PixelAt(*screen, 55, 45));
    EXPECT_NE(panel, paint_probe::PixelAt(*screen, 55, 45));
}

TEST_F(SimpleControls, GripSizesFromTheCornerAndGroupBoxTellsItsCaptionHeight)
{
    HWND grip = Child(L"SCROLLBAR", L"", SBS_SIZEGRIP, 300, 200, 18, 18);
    Skin<TzqSizerWnd>(grip, "PANEL");
    Manager->SetActiveControl(grip);
    EXPECT_EQ(HTBOTTOMRIGHT, SendMessageW(grip, WM_NCHITTEST, 0, MAKELPARAM(30 + 305, 30 + 205)));
    // Sizing is not hovering: the grip stops being the hovered window.
    EXPECT_EQ(nullptr, Manager->ActiveControl());

    HWND group = Child(L"BUTTON", L"Extender", BS_GROUPBOX, 10, 10, 200, 100);
    auto* box = Skin<TzqGroupBoxWnd>(group, "GROUPBOX");
    SendMessageW(group, WM_PAINT, 0, 0);
    const TRect caption = box->CaptionRect();
    EXPECT_GT(caption.bottom - caption.top, 6);
    EXPECT_EQ(caption.bottom - caption.top, SendSkinCommand(group, scmGetCaptionHeight, 0));
}

TEST_F(SimpleControls, StaticTextFontIsMadeOnceAndFreedWithTheSubclass)
{
    HWND text = Child(L"STATIC", L"Status", SS_LEFT, 10, 70, 100, 20);
    const int before = paint_probe::GdiObjectCount();
    ASSERT_GT(before, 0);
    auto* object = Skin<TzqStaticWnd>(text, "CHECKBOX");
    SendMessageW(text, WM_PAINT, 0, 0);
    const int painted = paint_probe::GdiObjectCount();
    for (int i = 0; i < 50; ++i)
        SendMessageW(text, WM_PAINT, 0, 0);
    EXPECT_EQ(painted, paint_probe::GdiObjectCount());
    EXPECT_EQ(String("Status"), object->CachedText);
    Subclasses.clear();
    EXPECT_EQ(before, paint_probe::GdiObjectCount());
}

TEST_F(SimpleControls, NoGdiObjectIsLeftByRepaints)
{
    HWND button = Child(L"BUTTON", L"Send", BS_PUSHBUTTON, 10, 10, 80, 26);
    HWND check = Child(L"BUTTON", L"Loop", BS_AUTOCHECKBOX, 10, 40, 100, 22);
    HWND text = Child(L"STATIC", L"Status", SS_LEFT, 10, 70, 100, 20);
    HWND group = Child(L"BUTTON", L"Group", BS_GROUPBOX, 120, 10, 150, 80);
    HWND spin = Child(UPDOWN_CLASSW, L"", 0, 280, 10, 18, 25);
    const HWND windows[] = {button, check, text, group, spin};
    Skin<TzqBtnWnd>(button, "BUTTON");
    Skin<TzqCheckBoxWnd>(check, "CHECKBOX");
    Skin<TzqStaticWnd>(text, "CHECKBOX");
    Skin<TzqGroupBoxWnd>(group, "GROUPBOX");
    Skin<TzqSpinWnd>(spin, "BUTTON");
    for (HWND w : windows)
        SendMessageW(w, WM_PAINT, 0, 0);
    const int before = paint_probe::GdiObjectCount();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 1000; ++i)
        for (HWND w : windows)
            SendMessageW(w, WM_PAINT, 0, 0);
    EXPECT_EQ(before, paint_probe::GdiObjectCount());
}

}   // namespace
