// Cell hints, the HTML hint window and balloon tooltips of the string grid
// in real windows.

#include <gtest/gtest.h>

#include <string>

#include <windows.h>
#include <commctrl.h>

#include "framework/Codepage.h"
#include "framework/HintWindow.h"
#include "grid/core/BalloonSettings.h"
#include "grid/core/CellGraphic.h"
#include "grid/core/GridCellText.h"
#include "grid/core/HTMLHintWindow.h"
#include "grid/core/PictureContainer.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/FloatingFooter.h"
#include "tests/support/GuiHarness.h"

namespace {

std::string ShotPath(const char* Name)
{
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    const std::string Dir(Path);
    return Dir.substr(0, Dir.find_last_of('\\') + 1) + Name;
}

RECT MonitorOf(POINT P)
{
    MONITORINFO MI{};
    MI.cbSize = sizeof MI;
    GetMonitorInfoW(MonitorFromPoint(P, MONITOR_DEFAULTTONEAREST), &MI);
    return MI.rcMonitor;
}

// A form with a 5 x 6 grid (one fixed row and column) of 80 x 24 cells.
struct HintGrid {
    TForm* Form;
    TProStringGrid* G;

    HintGrid()
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 460, 240);
        G = new TProStringGrid(Form);
        G->SetParent(Form);
        G->SetBounds(4, 4, 430, 190);
        G->SetColCount(5);
        G->SetRowCount(6);
        G->SetDefaultColWidth(80);
        G->SetDefaultRowHeight(24);
        G->Font()->SetName("Tahoma");
        G->Font()->SetHeight(-11);
        Form->Show();
        gui::Settle();
    }
    ~HintGrid()
    {
        HintCancel();
        delete Form;
    }
    HintGrid(const HintGrid&) = delete;
    HintGrid& operator=(const HintGrid&) = delete;

    TPoint Centre(int ACol, int ARow) const
    {
        const TRect R = G->CellRect(ACol, ARow);
        return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
    }
    TPoint Screen(TPoint P) const
    {
        POINT S{P.x, P.y};
        ClientToScreen(G->Handle(), &S);
        return TPoint{S.x, S.y};
    }

    struct Hint {
        String Text;
        TPoint Pos;
        THintWindowClass Class;
        TColor Color;
    };
    // What the grid answers CM_HINTSHOW with for a point of its client area.
    Hint Ask(TPoint P, const String& Start = "start")
    {
        THintInfo Info;
        Info.HintControl = G;
        Info.HintWindowClass = &CreateHintWindow<THintWindow>;
        Info.CursorPos = P;
        Info.HintColor = clRed;
        Info.HintStr = Start;
        const LRESULT Answer = SendMessageW(G->Handle(), CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info));
        EXPECT_EQ(Answer, 0);
        return Hint{Info.HintStr, Info.HintPos, Info.HintWindowClass, Info.HintColor};
    }
};

// The width of Text in the given font, as GDI measures it.
int MeasuredWidth(const String& Text, const TFont* Font)
{
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font->Handle());
    const WideString W = StrToWide(Text);
    RECT R{0, 0, 1000, 0};
    DrawTextW(DC, W.c_str(), static_cast<int>(W.size()), &R, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    return R.right;
}

} // namespace

TEST(GridHints, CellHintTextsAndPositions)
{
    HintGrid H;
    TProStringGrid* G = H.G;
    G->HintColor = 0x00E0FFFF;
    G->WriteCellText(1, 1, "<b>bold</b> words");
    G->WriteCellText(2, 1, "short");
    G->WriteCellText(3, 1, "a text far too long for a column of eighty pixels");
    G->WriteCellText(1, 2, PackWideText(L"\x4F60\x597D wide"));
    G->WriteCellText(1, 0, "Header");
    TCellGraphic* Comment = G->NewCellGraphic(2, 2);
    Comment->CellType = ctComment;
    Comment->CellText = "a remark";

    enum PosKind { TopRight, Below, Top };
    struct Case {
        const char* Name;
        bool ShowCells, LargeText, HTMLHint;
        int Col, Row;
        String Text;
        PosKind Pos;
        bool HtmlWindow;
    };
    const Case Cases[] = {
        {"comment without HintShowCells", false, false, false, 2, 2, "a remark", TopRight, false},
        {"plain cell, no hint wanted", false, false, false, 2, 1, "start", Below, false},
        {"HTML cell as plain text", true, false, false, 1, 1, "bold words", Top, false},
        {"HTML cell as HTML", true, false, true, 1, 1, "<b>bold</b> words", Top, true},
        {"wide cell", true, false, false, 1, 2, PackWideText(L"\x4F60\x597D wide"), Top, true},
        {"fixed cell", true, false, false, 1, 0, "start", Below, false},
        {"short text fits", false, true, false, 2, 1, "start", Below, false},
        {"long text does not fit", false, true, false, 3, 1, "a text far too long for a column of eighty pixels",
         Below, false},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        G->HintShowCells = C.ShowCells;
        G->HintShowLargeText = C.LargeText;
        G->HTMLHint = C.HTMLHint;
        const auto Got = H.Ask(H.Centre(C.Col, C.Row));
        EXPECT_EQ(gui::Utf8(Got.Text), gui::Utf8(C.Text));
        EXPECT_EQ(Got.Color, G->HintColor);
        if (C.Text != "start") {
            const TRect R = G->CellRect(C.Col, C.Row);
            const TPoint Want = H.Screen(C.Pos == TopRight ? TPoint{R.right, R.top}
                                         : C.Pos == Top    ? TPoint{R.left, R.top}
                                                           : TPoint{R.left, R.bottom + 6});
            EXPECT_EQ(Got.Pos.x, Want.x);
            EXPECT_EQ(Got.Pos.y, Want.y);
        }
        EXPECT_EQ(Got.Class == &CreateHintWindow<THTMLHintWindow>, C.HtmlWindow);
        EXPECT_EQ(G->LastHintCell().X, C.Col);
        EXPECT_EQ(G->LastHintCell().Y, C.Row);
    }

    // Outside the cells only the colour is set.
    G->HintShowCells = true;
    const auto Outside = H.Ask(TPoint{425, 185}, "untouched");
    EXPECT_EQ(Outside.Text, "untouched");
    EXPECT_EQ(Outside.Color, G->HintColor);

    // The application's hint event has the last word, except on the last
    // row while the floating footer shows it.
    G->OnGridHint = [](TObject*, int ARow, int ACol, String& Hint) {
        Hint = "event " + std::to_string(ACol) + "," + std::to_string(ARow);
    };
    EXPECT_EQ(H.Ask(H.Centre(2, 1)).Text, "event 2,1");
    G->FloatingFooter()->SetVisible(true);
    EXPECT_EQ(H.Ask(H.Centre(2, 5)).Text, "start");
    EXPECT_EQ(H.Ask(H.Centre(2, 4)).Text, "event 2,4");
}

TEST(GridHints, AnchorTitleUnderTheMouse)
{
    HintGrid H;
    TProStringGrid* G = H.G;
    G->AnchorHint = true;
    G->WriteCellText(1, 1, "<a href=\"http://127.0.0.1/a\" title=\"Go there\">link</a> and text");
    G->WriteCellText(2, 1, "<a href=\"http://127.0.0.1/b\">bare</a>");
    const TRect R1 = G->CellRect(1, 1);
    const TPoint OnLink{R1.left + 6, R1.top + 6};
    const auto Titled = H.Ask(OnLink);
    EXPECT_EQ(Titled.Text, "Go there");
    EXPECT_EQ(Titled.Pos.x, H.Screen(OnLink).x + 8);
    EXPECT_EQ(Titled.Pos.y, H.Screen(OnLink).y - 16);

    // Past the anchor's text there is no anchor.
    EXPECT_EQ(H.Ask(TPoint{R1.right - 3, R1.bottom - 3}).Text, "start");

    // The anchor is found where it is painted: its text starts below the
    // cell's 2-pixel margin, so the lowest row of its text still counts.
    TBitmap Scratch(1, 1);
    Scratch.Canvas()->Font()->Assign(G->Font());
    const int TextH = Scratch.Canvas()->TextHeight("gh");
    EXPECT_EQ(H.Ask(TPoint{R1.left + 6, R1.top + 2 + TextH - 1}).Text, "Go there");
    EXPECT_EQ(H.Ask(TPoint{R1.left + 6, R1.top + 2}).Text, "start") << "above the text band";

    // Zoomed, the anchor is looked for in the font it is painted in.
    G->ZoomLevel = 10;
    G->SetRowHeights(1, 80);
    G->SetColWidths(1, 300);
    const TRect Z = G->CellRect(1, 1);
    TFont Zoomed;
    Zoomed.Assign(G->Font());
    Zoomed.SetSize(Zoomed.Size() + 10);
    Scratch.Canvas()->Font()->Assign(&Zoomed);
    const int LinkW = Scratch.Canvas()->TextWidth("link");
    const int ZoomedH = Scratch.Canvas()->TextHeight("gh");
    EXPECT_EQ(H.Ask(TPoint{Z.left + 2 + LinkW - 2, Z.top + 2 + ZoomedH - 2}).Text, "Go there");
    G->ZoomLevel = 0;

    // Without a title the anchor itself; the event may change it.
    const TRect R2 = G->CellRect(2, 1);
    String Seen;
    G->OnAnchorHint = [&](TObject*, int, int, String& Anchor) {
        Seen = Anchor;
        Anchor = "<" + Anchor + ">";
    };
    EXPECT_EQ(H.Ask(TPoint{R2.left + 6, R2.top + 6}).Text, "<http://127.0.0.1/b>");
    EXPECT_EQ(Seen, "http://127.0.0.1/b");
}

TEST(GridHints, HintWindowSizedToTextAndKeptInsideTheMonitor)
{
    const RECT Mon = MonitorOf(POINT{0, 0});
    THTMLHintWindow W(nullptr);
    W.Font()->SetName("Tahoma");
    W.Font()->SetHeight(-11);
    W.SetColor(clInfoBk);
    const String Text = "Hint text here";
    const int TextW = MeasuredWidth(Text, W.Font());

    struct Case {
        const char* Name;
        String Hint;
        int X, Y;
        int Margin;
    };
    const Case Cases[] = {
        {"HTML text in the open", Text, Mon.left + 20, Mon.top + 30, 16},
        {"HTML text over the right and bottom edges", Text, Mon.right - 10, Mon.bottom - 5, 16},
        {"wide text over the right edge", PackWideText(L"Hint text here"), Mon.right - 3, Mon.top + 40, 8},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        W.ActivateHint(TRect{C.X, C.Y, C.X + 5, C.Y + 5}, C.Hint);
        gui::Settle();
        RECT R;
        GetWindowRect(W.Handle(), &R);
        ASSERT_TRUE(IsWindowVisible(W.Handle()));
        EXPECT_NEAR(W.TextWidth(), TextW, 1);
        EXPECT_EQ(R.right - R.left, W.TextWidth() + C.Margin);
        EXPECT_EQ(R.bottom - R.top, W.TextHeight() + 4);
        EXPECT_LE(R.right, Mon.right - 2);
        EXPECT_LE(R.bottom, Mon.bottom - 2);
        if (C.X + (R.right - R.left) <= Mon.right) {
            EXPECT_EQ(R.left, C.X);
        } else {
            EXPECT_EQ(R.right, Mon.right - 2);
        }
        if (C.Y + (R.bottom - R.top) > Mon.bottom) {
            EXPECT_EQ(R.bottom, Mon.bottom - 2);
        }
        EXPECT_EQ((GetWindowLongW(W.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, true);
    }
    EXPECT_EQ(gui::Utf8(WideToStr(W.WideCaption())), "Hint text here");
    EXPECT_EQ(GetForegroundWindow() == W.Handle(), false) << "a hint never takes the activation";

    // The raised frame and the background.
    W.ActivateHint(TRect{Mon.left + 20, Mon.top + 30, 0, 0}, Text);
    gui::Settle();
    auto Shot = gui::Capture(W.Handle());
    const int Wd = Shot->Width(), Ht = Shot->Height();
    EXPECT_EQ(gui::PixelAt(Shot.get(), 0, Ht / 2), ColorToRGB(cl3DLight));
    EXPECT_EQ(gui::PixelAt(Shot.get(), Wd / 2, 0), ColorToRGB(cl3DLight));
    EXPECT_EQ(gui::PixelAt(Shot.get(), Wd - 1, Ht / 2), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(gui::PixelAt(Shot.get(), Wd / 2, Ht - 1), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(gui::PixelAt(Shot.get(), 2, 1), ColorToRGB(clInfoBk));
    EXPECT_GT(gui::CountPixelsNot(Shot.get(), TRect{1, 1, Wd - 1, Ht - 1}, ColorToRGB(clInfoBk)), 20) << "text drawn";
}

TEST(GridHints, RestingMouseShowsTheCellHintInItsWindow)
{
    HintGrid H;
    TProStringGrid* G = H.G;
    G->SetShowHint(true);
    G->HintShowCells = true;
    G->HTMLHint = true;
    G->WriteCellText(1, 1, "<b>Bold</b> and <i>italic</i> hint");
    const TPoint S = H.Screen(H.Centre(1, 1));
    SetCursorPos(S.x, S.y);
    THintWindow* W = HintShowNow(G);
    ASSERT_NE(W, nullptr);
    EXPECT_NE(dynamic_cast<THTMLHintWindow*>(W), nullptr);
    EXPECT_EQ(ActiveHintWindow(), W);
    gui::Settle();
    EXPECT_TRUE(IsWindowVisible(W->Handle()));
    RECT R;
    GetWindowRect(W->Handle(), &R);
    const TRect Cell = G->CellRect(1, 1);
    EXPECT_EQ(R.left, H.Screen(TPoint{Cell.left, Cell.top}).x);
    gui::SaveScreenshot(W->Handle(), ShotPath("grid-hint-window.png"));
    gui::SaveScreenshot(H.Form, ShotPath("grid-hint-form.png"));

    // Moving to another cell closes it.
    const TPoint Other = H.Screen(H.Centre(3, 3));
    SetCursorPos(Other.x, Other.y);
    SendMessageW(G->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(H.Centre(3, 3).x, H.Centre(3, 3).y));
    EXPECT_EQ(ActiveHintWindow(), nullptr);
    EXPECT_EQ(G->LastHintCell().X, -1);
}

TEST(GridHints, BalloonCreatedAndDestroyedAsItsSettingToggles)
{
    HintGrid H;
    TProStringGrid* G = H.G;
    EXPECT_EQ(G->BalloonWindow(), nullptr);
    G->Balloon()->InitialDelay = 20;
    G->Balloon()->SetEnable(true);
    HWND Tip = G->BalloonWindow();
    ASSERT_NE(Tip, nullptr);
    wchar_t Class[64];
    GetClassNameW(Tip, Class, 64);
    EXPECT_EQ(lstrcmpiW(Class, L"tooltips_class32"), 0);
    EXPECT_EQ(GetWindowLongW(Tip, GWL_STYLE) & 0x43, 0x43);
    // Owned by the grid's top-level window, as every owned pop-up is.
    EXPECT_EQ(GetWindow(Tip, GW_OWNER), GetAncestor(G->Handle(), GA_ROOT));
    EXPECT_EQ(SendMessageW(Tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(Tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 20);

    G->Balloon()->SetEnable(false);
    EXPECT_EQ(G->BalloonWindow(), nullptr);
    EXPECT_FALSE(IsWindow(Tip));

    G->Balloon()->SetEnable(true);
    EXPECT_NE(G->BalloonWindow(), nullptr);
    G->Balloon()->SetEnable(false);

    // A grid freed before its form takes its balloon with it (the tooltip
    // belongs to the form's window).
    {
        auto* Other = new TProStringGrid(H.Form);
        Other->SetParent(H.Form);
        Other->Balloon()->SetEnable(true);
        HWND OtherTip = Other->BalloonWindow();
        ASSERT_TRUE(IsWindow(OtherTip));
        delete Other;
        EXPECT_FALSE(IsWindow(OtherTip));
    }

    // Enabled while loading: made at the end of loading.
    G->BeginLoading();
    G->Balloon()->SetEnable(true);
    EXPECT_EQ(G->BalloonWindow(), nullptr);
    G->EndLoading();
    EXPECT_NE(G->BalloonWindow(), nullptr);
    EXPECT_EQ(GetWindowLongW(G->BalloonWindow(), GWL_EXSTYLE) & WS_EX_LAYERED, 0) << "opaque by default";

    // Transparency makes the tooltip a layered window of alpha 255 - Transparency.
    G->Balloon()->SetEnable(false);
    G->Balloon()->Transparency = 100;
    G->Balloon()->SetEnable(true);
    Tip = G->BalloonWindow();
    ASSERT_NE(Tip, nullptr);
    EXPECT_NE(GetWindowLongW(Tip, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    BYTE Alpha = 0;
    DWORD LayerFlags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(Tip, nullptr, &Alpha, &LayerFlags));
    EXPECT_EQ(Alpha, 155);
    EXPECT_NE(LayerFlags & LWA_ALPHA, 0u);

    // Assign copies Enable without firing the change, and not Transparency.
    TBalloonSettings Copy;
    Copy.Assign(G->Balloon());
    EXPECT_TRUE(Copy.Enable());
    EXPECT_EQ(Copy.InitialDelay, 20);
    EXPECT_EQ(Copy.Transparency, 0);
}

TEST(GridHints, BalloonTextAndTitleLimits)
{
    struct Case {
        const char* Name;
        String In, Out;
    };
    const Case Texts[] = {
        {"tabs become blanks", "a\tb\tc", "a b c"},
        {"leading breaks and tabs go", "\r\n\t\r\nline\r\nnext", "line\r\nnext"},
        {"exactly 1024", String(1024, 'x'), String(1024, 'x')},
        {"1025 cut", String(1025, 'y'), String(1021, 'y') + "..."},
        {"only breaks", "\r\n\t", ""},
    };
    for (const Case& C : Texts) {
        SCOPED_TRACE(C.Name);
        EXPECT_EQ(BalloonText(C.In), C.Out);
    }
    EXPECT_EQ(BalloonTitle(String(100, 't')), String(100, 't'));
    EXPECT_EQ(BalloonTitle(String(101, 't')), String(97, 't') + "...");
}

TEST(GridHints, BalloonAsksTheCellUnderTheMouse)
{
    HintGrid H;
    TProStringGrid* G = H.G;
    G->WriteCellText(2, 2, "<b>Price</b>\tlist");
    G->Balloon()->TextColor = clBlue;
    G->Balloon()->SetEnable(true);
    HWND Tip = G->BalloonWindow();
    ASSERT_NE(Tip, nullptr);

    auto AskAt = [&](int ACol, int ARow) {
        const TPoint S = H.Screen(H.Centre(ACol, ARow));
        SetCursorPos(S.x, S.y);
        NMTTDISPINFOW Info{};
        Info.hdr.hwndFrom = Tip;
        Info.hdr.idFrom = reinterpret_cast<UINT_PTR>(G->Handle());
        Info.hdr.code = TTN_GETDISPINFOW;
        SendMessageW(G->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&Info));
        return Info.lpszText ? WideString(Info.lpszText) : WideString(L"<none>");
    };

    EXPECT_EQ(AskAt(2, 2), L"Price list");
    EXPECT_EQ(G->LastBalloonCell().X, 2);
    EXPECT_EQ(G->LastBalloonTitle(), " ");
    EXPECT_EQ(SendMessageW(Tip, TTM_GETTIPTEXTCOLOR, 0, 0), static_cast<LRESULT>(ColorToRGB(clBlue)));
    G->WriteCellText(3, 2, "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0 Rich \\b text\\b0}");
    EXPECT_EQ(AskAt(3, 2), L"Rich text");

    // The event may change everything; a text longer than the buffer is cut.
    int Icon = -1;
    G->OnCellBalloon = [&](TObject*, int ACol, int ARow, String& Title, String& Text, int& AIcon) {
        Icon = AIcon;
        Title = String(120, 'T');
        Text = ACol == 3 ? String(5000, 'z') : "cell " + std::to_string(ACol) + "," + std::to_string(ARow);
        AIcon = 9;
    };
    EXPECT_EQ(AskAt(1, 3), L"cell 1,3");
    EXPECT_EQ(Icon, 1);
    EXPECT_EQ(G->LastBalloonTitle(), String(97, 'T') + "...");
    EXPECT_EQ(AskAt(3, 3), WideString(1024, L'z'));

    // Disabled balloons answer nothing.
    G->Balloon()->SetEnable(false);
    EXPECT_EQ(AskAt(2, 2), L"<none>");
}

TEST(GridHints, BalloonShowsOverTheGrid)
{
    HintGrid H;
    TProStringGrid* G = H.G;
    G->WriteCellText(1, 1, "Balloon text of this cell");
    G->Balloon()->InitialDelay = 10;
    G->OnCellBalloon = [](TObject*, int, int, String& Title, String&, int&) { Title = "Cell"; };
    G->Balloon()->SetEnable(true);
    HWND Tip = G->BalloonWindow();
    ASSERT_NE(Tip, nullptr);
    const TPoint C = H.Centre(1, 1);
    const TPoint S = H.Screen(C);
    SetCursorPos(S.x, S.y);
    // The tooltip watches the grid's mouse messages itself (it subclasses
    // the grid window); each movement restarts its delay, so the mouse
    // moves once and rests.
    PostMessageW(G->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(C.x, C.y));
    const bool Shown = gui::PumpUntil([&] { return IsWindowVisible(Tip) != 0; }, 10000);
    ASSERT_TRUE(Shown) << "the balloon appears over the cell";
    EXPECT_EQ(G->LastBalloonCell().X, 1);
    gui::PumpFor(200);
    RECT R;
    GetWindowRect(Tip, &R);
    RECT F;
    GetWindowRect(H.Form->Handle(), &F);
    // The screenshot covers the form and the balloon.
    gui::SaveScreenshot(Tip, ShotPath("grid-balloon.png"));
    gui::SaveScreenshot(H.Form, ShotPath("grid-balloon-form.png"));
    EXPECT_GT(R.right - R.left, 20);
}

TEST(GridHints, DatePickerChangeReportsTheDate)
{
    HintGrid H;
    TProStringGrid* G = H.G;
    G->FocusCell(2, 3, true);
    int Col = -1, Row = -1;
    double Value = -1;
    G->OnDateTimeChange = [&](TObject*, int ACol, int ARow, double ADateTime) {
        Col = ACol;
        Row = ARow;
        Value = ADateTime;
    };
    NMDATETIMECHANGE N{};
    N.nmhdr.hwndFrom = G->Handle();
    N.nmhdr.code = DTN_DATETIMECHANGE;
    N.st.wYear = 2000;
    N.st.wMonth = 1;
    N.st.wDay = 2;
    N.st.wHour = 12;
    SendMessageW(G->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&N));
    EXPECT_EQ(Col, 2);
    EXPECT_EQ(Row, 3);
    EXPECT_DOUBLE_EQ(Value, 36527.5);
    N.st.wYear = 0;
    SendMessageW(G->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&N));
    EXPECT_EQ(Value, 0);
}

TEST(GridHints, ContainerLinkForgottenWhenTheContainerGoes)
{
    auto* Form = new TForm(Application);
    auto* G = new TProStringGrid(Form);
    auto* Container = new TPictureContainer(Form);
    G->PictureContainer = Container;
    delete Container;
    EXPECT_EQ(G->PictureContainer, nullptr);
    delete Form;
}
