// Glow buttons in real windows: hover and its fades, press, click, check,
// groups, repeat, drop-down, keys, corners, auto-size, freeing a button from
// its own click, and the gallery screenshot of every layout.

#include <gtest/gtest.h>

#include <algorithm>

#include "framework/ImageList.h"
#include "framework/Ticks.h"
#include "office/ProGlowButton.h"
#include "office/ShortCutHintWindow.h"
#include "tests/support/GuiHarness.h"

namespace {

constexpr COLORREF FormColor = RGB(200, 40, 40);

class GlowButtons : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(80, 80, 420, 300);
        Form->SetColor(RGBToColor(200, 40, 40));
    }
    void TearDown() override { delete Form; }

    TProGlowButton* Add(int X, int Y, const String& Caption = "Glow")
    {
        auto* B = new TProGlowButton(Form);
        B->SetParent(Form);
        B->SetBounds(X, Y, 100, 41);
        B->SetCaption(Caption);
        B->OnClick = [this, B](TObject*) { Clicks.push_back(B); };
        return B;
    }
    void ShowForm()
    {
        Form->Show();
        gui::Settle();
    }
    static LPARAM At(int X, int Y) { return MAKELPARAM(X, Y); }
    // The cursor goes where the mouse messages say, as the button checks it.
    static void MoveTo(TProGlowButton* B, int X, int Y, WPARAM Keys = 0)
    {
        const TPoint P = B->ClientToScreen(Point(X, Y));
        SetCursorPos(P.x, P.y);
        SendMessageW(B->Handle(), WM_MOUSEMOVE, Keys, At(X, Y));
    }
    static void Down(TProGlowButton* B, int X, int Y)
    {
        MoveTo(B, X, Y);
        SendMessageW(B->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(X, Y));
    }
    static void Up(TProGlowButton* B, int X, int Y)
    {
        const TPoint P = B->ClientToScreen(Point(X, Y));
        SetCursorPos(P.x, P.y);
        SendMessageW(B->Handle(), WM_LBUTTONUP, 0, At(X, Y));
    }
    static void ClickAt(TProGlowButton* B, int X, int Y)
    {
        Down(B, X, Y);
        Up(B, X, Y);
        gui::Settle();
    }
    // The cursor leaves the button.
    static void Leave(TProGlowButton* B)
    {
        SetCursorPos(2, 2);
        SendMessageW(B->Handle(), WM_MOUSELEAVE, 0, 0);
    }
    int ClicksOf(TProGlowButton* B) const { return static_cast<int>(std::count(Clicks.begin(), Clicks.end(), B)); }

    TForm* Form = nullptr;
    std::vector<TProGlowButton*> Clicks;
};

} // namespace

TEST_F(GlowButtons, HoverFadesInAndOutOverTimerTicks)
{
    TProGlowButton* B = Add(20, 20);
    ShowForm();
    // Entering: HotStep climbs 20, 40, ... 100 on 30 ms ticks, then the fade ends.
    MoveTo(B, 50, 20);
    EXPECT_TRUE(B->MouseInside());
    EXPECT_TRUE(B->HotLook());
    EXPECT_TRUE(B->Fading());
    std::vector<int> Seen;
    const Cardinal Start = GetTickCount();
    ASSERT_TRUE(gui::PumpUntil([&] {
        if (Seen.empty() || Seen.back() != B->HotStep())
            Seen.push_back(B->HotStep());
        return !B->Fading();
    }, 10000)) << "the hot fade did not end";
    EXPECT_EQ(B->HotStep(), 100);
    EXPECT_GE(GetTickCount() - Start, 120u);   // six ticks of 30 ms, some slack for the timer
    EXPECT_EQ(Seen.back(), 100);
    for (std::size_t i = 1; i < Seen.size(); ++i)
        EXPECT_GT(Seen[i], Seen[i - 1]);

    // Leaving restarts at 100 and fades out to 0.
    Leave(B);
    EXPECT_FALSE(B->MouseInside());
    EXPECT_FALSE(B->HotLook());
    EXPECT_EQ(B->HotStep(), 100);
    ASSERT_TRUE(gui::PumpUntil([&] { return B->HotStep() < 100; }, 10000)) << "the fade-out never began";
    const int Midway = B->HotStep();
    // Entering again during the fade-out rises from where it is.
    MoveTo(B, 50, 20);
    EXPECT_GE(B->HotStep(), Midway - 20);
    ASSERT_TRUE(gui::PumpUntil([&] { return !B->Fading(); }, 10000));
    EXPECT_EQ(B->HotStep(), 100);
    SetCursorPos(5, 5);
}

TEST_F(GlowButtons, ClickAndDragOutWithoutClick)
{
    TProGlowButton* B = Add(20, 20);
    ShowForm();
    ClickAt(B, 50, 20);
    EXPECT_EQ(ClicksOf(B), 1);

    // Pressed, dragged out (no click on release outside), back in restores
    // the pressed look.
    Down(B, 50, 20);
    EXPECT_TRUE(B->Pressed());
    Leave(B);
    EXPECT_FALSE(B->Pressed());
    MoveTo(B, 50, 20, MK_LBUTTON);
    EXPECT_TRUE(B->Pressed());
    Leave(B);
    Up(B, 300, 200);
    gui::Settle();
    EXPECT_EQ(ClicksOf(B), 1);
}

TEST_F(GlowButtons, CheckAndGroup)
{
    TProGlowButton* Check = Add(20, 20, "Check");
    Check->SetStyle(bsCheck);
    TProGlowButton* A = Add(20, 80, "A");
    TProGlowButton* B = Add(130, 80, "B");
    A->SetGroupIndex(1);
    B->SetGroupIndex(1);
    TProGlowButton* Plain = Add(240, 20, "Plain");
    ShowForm();

    ClickAt(Check, 50, 20);
    EXPECT_TRUE(Check->Down());
    ClickAt(Check, 50, 20);
    EXPECT_FALSE(Check->Down());

    ClickAt(A, 50, 20);
    EXPECT_TRUE(A->Down());
    EXPECT_EQ(A->DrawState(), 4);
    ClickAt(A, 50, 20);   // stays down without AllowAllUp
    EXPECT_TRUE(A->Down());
    ClickAt(B, 50, 20);   // the other member raises the first
    EXPECT_TRUE(B->Down());
    EXPECT_FALSE(A->Down());
    B->SetAllowAllUp(true);
    ClickAt(B, 50, 20);
    EXPECT_FALSE(B->Down());

    Plain->SetDown(true);      // a plain button cannot be down
    EXPECT_FALSE(Plain->Down());
}

TEST_F(GlowButtons, RepeatClicksWhileHeld)
{
    TProGlowButton* B = Add(20, 20);
    B->SetRepeatClick(true);
    EXPECT_EQ(B->InitRepeatPause(), 400);
    EXPECT_EQ(B->RepeatPause(), 100);
    // A short repeat pause keeps it far from the first pause, so that a loaded
    // machine's late ticks cannot blur the two.
    B->SetRepeatPause(30);
    ShowForm();
    std::vector<Cardinal> Times;
    B->OnClick = [&](TObject*) { Times.push_back(GetTickCount()); };
    const Cardinal Start = GetTickCount();
    Down(B, 50, 20);
    ASSERT_EQ(GetCapture(), B->Handle());
    ASSERT_TRUE(gui::PumpUntil([&] { return Times.size() >= 5; }, 10000)) << "no repeated clicks";
    EXPECT_GE(Times[0] - Start, 380u);                 // the first after InitRepeatPause
    // Then every RepeatPause (30 ms): a loaded machine may stretch a gap, so
    // the shortest of four shows the timer's pause.
    Cardinal Shortest = Times[1] - Times[0];
    for (std::size_t I = 2; I < 5; ++I)
        Shortest = std::min<Cardinal>(Shortest, Times[I] - Times[I - 1]);
    EXPECT_LT(Shortest, 300u);
    const std::size_t Held = Times.size();
    Up(B, 50, 20);
    gui::Settle();
    EXPECT_EQ(Times.size(), Held + 1);                 // the release's own click
    gui::PumpFor(300);
    EXPECT_EQ(Times.size(), Held + 1);                 // the timer stopped
}

TEST_F(GlowButtons, SplitDropDownOpensItsMenuFromTheStrip)
{
    TProGlowButton* B = Add(20, 20);
    B->SetDropDownButton(true);
    auto* Menu = new TPopupMenu(Form);
    auto* Item = new TMenuItem(Form);
    Item->Caption = "Item";
    Menu->Items()->Add(Item);
    B->SetDropDownMenu(Menu);
    int DropDowns = 0, Popups = 0;
    B->OnDropDown = [&](TObject*) { ++DropDowns; };
    gui::PopupMenuAnswers Answer([&](TPopupMenu*, HMENU, int, int) {
        ++Popups;
        return 0u;
    });
    ShowForm();
    const int W = B->Width();

    // Hover: the strip is hot from X = W - 11 on.
    MoveTo(B, W - 12, 20);
    EXPECT_FALSE(B->DropDownHot());
    MoveTo(B, W - 11, 20);
    EXPECT_TRUE(B->DropDownHot());

    // Press at W - 13: a normal press and click; at W - 12: the menu, no click.
    ClickAt(B, W - 13, 20);
    EXPECT_EQ(ClicksOf(B), 1);
    EXPECT_EQ(Popups, 0);
    ClickAt(B, W - 12, 20);
    EXPECT_EQ(Popups, 1);
    EXPECT_EQ(DropDowns, 1);
    EXPECT_EQ(ClicksOf(B), 1);

    // Without the split any press of a plain button opens the menu.
    B->SetDropDownSplit(false);
    ClickAt(B, 20, 20);
    EXPECT_EQ(Popups, 2);
    EXPECT_EQ(ClicksOf(B), 1);
    // F4 opens it too.
    B->SetTabStop(true);
    B->SetFocus();
    gui::PressKey(VK_F4);
    EXPECT_EQ(Popups, 3);
}

TEST_F(GlowButtons, ClickAfterAMenuThatTookTheRelease)
{
    // A real menu's loop takes the release of the press that opened it, so
    // the button never sees it; its next ordinary press still clicks.
    TProGlowButton* B = Add(20, 20);
    B->SetDropDownButton(true);
    auto* Menu = new TPopupMenu(Form);
    auto* Item = new TMenuItem(Form);
    Item->Caption = "Item";
    Menu->Items()->Add(Item);
    B->SetDropDownMenu(Menu);
    int Popups = 0;
    gui::PopupMenuAnswers Answer([&](TPopupMenu*, HMENU, int, int) {
        ++Popups;
        return 0u;
    });
    ShowForm();
    Down(B, B->Width() - 5, 20);
    EXPECT_EQ(Popups, 1);
    gui::Settle();
    ClickAt(B, 20, 20);
    EXPECT_EQ(ClicksOf(B), 1);
    EXPECT_EQ(Popups, 1);
}

TEST_F(GlowButtons, ReflectedButtonClickedNotificationClicks)
{
    TProGlowButton* B = Add(20, 20);
    ShowForm();
    B->Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(B->Handle()));
    EXPECT_EQ(ClicksOf(B), 1);
    B->Perform(CN_COMMAND, MAKEWPARAM(0, BN_SETFOCUS), reinterpret_cast<LPARAM>(B->Handle()));
    EXPECT_EQ(ClicksOf(B), 1);
}

TEST_F(GlowButtons, Keyboard)
{
    TProGlowButton* B = Add(20, 20);
    B->SetTabStop(true);
    TProGlowButton* Def = Add(130, 20, "Default");
    Def->SetDefault(true);
    ShowForm();
    B->SetFocus();
    gui::Settle();
    ASSERT_EQ(GetFocus(), B->Handle());
    // Space: the key press raises OnClick.
    gui::PressKey(VK_SPACE);   // the message loop makes the character
    EXPECT_EQ(ClicksOf(B), 1);
    EXPECT_EQ(B->DrawState(), 0);
    // Enter goes to the focused glow button, which is the active default now:
    // one click through KeyClick, none from a character (the dialog key took it).
    gui::PressKey(VK_RETURN);
    EXPECT_EQ(ClicksOf(B), 2);
    EXPECT_EQ(ClicksOf(Def), 0);
    EXPECT_EQ(B->DrawState(), 0);
}

TEST_F(GlowButtons, AcceleratorClicksOrDropsDown)
{
    TProGlowButton* Open = Add(20, 20, "&Open");
    TProGlowButton* Menu = Add(130, 20, "&More");
    auto* Popup = new TPopupMenu(Form);
    auto* Item = new TMenuItem(Form);
    Item->Caption = "Item";
    Popup->Items()->Add(Item);
    Menu->SetDropDownMenu(Popup);
    TProGlowButton* Off = Add(240, 20, "&Save");
    Off->SetEnabled(false);
    TProGlowButton* Spaced = Add(350, 20, "Save & Exit");
    int Popups = 0;
    gui::PopupMenuAnswers Answer([&](TPopupMenu*, HMENU, int, int) {
        ++Popups;
        return 0u;
    });
    ShowForm();
    Open->SetTabStop(true);
    Open->SetFocus();
    gui::Settle();
    ASSERT_EQ(GetFocus(), Open->Handle());
    gui::PressAltKey('O');
    EXPECT_EQ(ClicksOf(Open), 1);
    // The button with a menu drops it down instead of clicking.
    gui::PressAltKey('M');
    EXPECT_EQ(Popups, 1);
    EXPECT_EQ(ClicksOf(Menu), 0);
    EXPECT_EQ(Menu->DrawState(), 0);
    // A disabled button takes none; a letter of no caption does nothing.
    gui::PressAltKey('S');
    gui::PressAltKey('X');
    EXPECT_EQ(ClicksOf(Off), 0);
    EXPECT_EQ(Clicks.size(), 1u);
    // A glow button takes no characters, so a plain letter typed while it
    // has the focus is an accelerator too.
    gui::TypeText("o");
    EXPECT_EQ(ClicksOf(Open), 2);
    // A space presses the focused button, never the one whose caption has
    // "& ".
    gui::TypeText(" ");
    EXPECT_EQ(ClicksOf(Open), 3);
    EXPECT_EQ(ClicksOf(Spaced), 0);
}

TEST_F(GlowButtons, DefaultButtonTakesEnter)
{
    auto* Edit = new TProGlowButton(Form);   // any other focusable control
    Edit->SetParent(Form);
    Edit->SetBounds(240, 20, 60, 30);
    Edit->SetTabStop(true);
    TProGlowButton* Def = Add(20, 20, "Default");
    Def->SetDefault(true);
    Def->SetModalResult(mrOk);
    ShowForm();
    Def->Perform(CM_FOCUSCHANGED, 0, 0);
    EXPECT_EQ(Def->Perform(CM_DIALOGKEY, VK_RETURN), 1);
    EXPECT_EQ(ClicksOf(Def), 1);
    EXPECT_EQ(Form->ModalResult(), mrOk);
    Form->SetModalResult(mrNone);
    EXPECT_EQ(Def->Perform(CM_DIALOGKEY, VK_ESCAPE), 0);
    Def->SetCancel(true);
    EXPECT_EQ(Def->Perform(CM_DIALOGKEY, VK_ESCAPE), 1);
}

TEST_F(GlowButtons, ClickGivesTheFormItsModalResult)
{
    // Every click writes the button's ModalResult, mrNone included.
    TProGlowButton* B = Add(20, 20);
    ShowForm();
    Form->SetModalResult(mrOk);
    ClickAt(B, 50, 20);
    EXPECT_EQ(ClicksOf(B), 1);
    EXPECT_EQ(Form->ModalResult(), mrNone);
    B->SetModalResult(mrCancel);
    ClickAt(B, 50, 20);
    EXPECT_EQ(Form->ModalResult(), mrCancel);
    Form->SetModalResult(mrNone);
}

TEST_F(GlowButtons, NotesFontWriteRepaints)
{
    TProGlowButton* B = Add(20, 20);
    ShowForm();
    ValidateRect(B->Handle(), nullptr);
    ASSERT_FALSE(GetUpdateRect(B->Handle(), nullptr, FALSE));
    TFont Font;
    Font.SetName("Arial");
    Font.SetSize(11);
    B->SetNotesFont(&Font);
    EXPECT_EQ(B->NotesFont()->Name(), "Arial");
    EXPECT_TRUE(GetUpdateRect(B->Handle(), nullptr, FALSE));
}

TEST_F(GlowButtons, AssignCopiesTheListedProperties)
{
    TProGlowButton* First = Add(20, 20, "First");
    TProGlowButton* Second = Add(130, 20, "Second");
    TProGlowButton* Source = Add(240, 20, "Source");
    Source->SetTabOrder(0);
    Source->SetModalResult(mrOk);
    Source->SetSpacing(5);
    Source->SetTabStop(true);
    Source->Notes()->Add("note");
    Source->NotesFont()->SetSize(12);
    Source->SetGroupIndex(3);   // not among the copied properties
    ASSERT_EQ(First->TabOrder(), 1);
    Second->Assign(Source);
    EXPECT_EQ(Second->Caption(), "Source");
    EXPECT_EQ(Second->TabOrder(), 0);
    EXPECT_EQ(Second->ModalResult(), mrOk);
    EXPECT_EQ(Second->Spacing(), 5);
    EXPECT_TRUE(Second->TabStop());
    ASSERT_EQ(Second->Notes()->Count(), 1);
    EXPECT_NE(Second->Notes(), Source->Notes());
    EXPECT_EQ(Second->NotesFont()->Size(), 12);
    EXPECT_EQ(Second->GroupIndex(), 0);
    // A source without a parent leaves the tab order as it is.
    TProGlowButton Loose(nullptr);
    First->Assign(&Loose);
    EXPECT_EQ(First->TabOrder(), 2);
}

TEST_F(GlowButtons, DisabledLook)
{
    // With ShowDisabled the disabled colours (0xF2F2F2 on top); without it
    // the enabled ones (white).
    for (bool Show : {true, false}) {
        SCOPED_TRACE(Show);
        TProGlowButton* B = Add(20, 20, "");
        B->SetShowDisabled(Show);
        B->SetEnabled(false);
        ShowForm();
        B->Repaint();
        gui::Settle();
        auto Shot = gui::CaptureControl(B);
        EXPECT_EQ(gui::PixelAt(Shot.get(), 50, 8), Show ? RGB(0xF2, 0xF2, 0xF2) : RGB(255, 255, 255));
        EXPECT_EQ(B->DrawState(), 1);
        delete B;
    }
}

TEST_F(GlowButtons, VersionIsFixed)
{
    TProGlowButton* B = Add(20, 20);
    EXPECT_EQ(B->Version(), "1.8.1.9");
    B->SetVersion("2.0");
    EXPECT_EQ(B->Version(), "1.8.1.9");
}

TEST_F(GlowButtons, CornersShowTheParent)
{
    for (bool Rounded : {true, false}) {
        SCOPED_TRACE(Rounded);
        TProGlowButton* B = Add(20, 20);
        B->SetRounded(Rounded);
        ShowForm();
        B->Repaint();
        gui::Settle();
        auto Shot = gui::CaptureControl(B);
        for (auto [X, Y] : {std::pair{0, 0}, {99, 0}, {0, 40}, {99, 40}})
            EXPECT_EQ(gui::PixelAt(Shot.get(), X, Y), FormColor) << X << "," << Y;
        EXPECT_EQ(gui::PixelAt(Shot.get(), 50, 5), RGB(255, 255, 255));
        delete B;
    }
}

TEST_F(GlowButtons, AutoSizeFromTheMeasure)
{
    TImageList Images(Form);
    TBitmap Glyph(16, 16);
    Images.Add(&Glyph, nullptr);
    TProGlowButton* B = Add(20, 20, "Open file");
    B->SetImages(&Images);
    B->SetImageIndex(0);
    B->SetAntiAlias(aaNone);
    B->SetWordWrap(false);
    ShowForm();
    B->SetAutoSize(true);
    gui::Settle();
    TBitmap Measure(10, 10);
    Measure.Canvas()->Font()->Assign(B->Font());
    TRect Text = Rect(0, 0, 2, 0);
    Measure.Canvas()->DrawTextRect(String("Open file"), Text, DT_CALCRECT | DT_SINGLELINE);
    const int ContentW = RectWidth(Text) + 18 + 2, ContentH = std::max(RectHeight(Text) + 2, 18);
    EXPECT_EQ(B->Width(), 2 * 3 + ContentW + 2 + 2);
    EXPECT_EQ(B->Height(), 2 * 2 + ContentH + 2);
    B->SetDropDownButton(true);
    gui::Settle();
    EXPECT_EQ(B->Width(), 2 * 3 + ContentW + 2 + 2 + 13);
}

TEST_F(GlowButtons, FreedLaterWhenItsOwnClickMakesItUnnecessary)
{
    TProGlowButton* B = Add(20, 20);
    bool Freed = false;
    struct Watch : TComponent {
        bool* Flag;
        Watch(TComponent* Owner, bool* F) : TComponent(Owner), Flag(F) {}
        void Notification(TComponent* C, TOperation Op) override
        {
            TComponent::Notification(C, Op);
            if (Op == TOperation::opRemove && C != this)
                *Flag = true;
        }
    };
    auto* Watcher = new Watch(nullptr, &Freed);
    B->FreeNotification(Watcher);
    bool HiddenInClick = false;
    B->OnClick = [&](TObject*) {
        B->FreeLater();
        HiddenInClick = !B->Visible();
        EXPECT_FALSE(Freed);
    };
    ShowForm();
    ClickAt(B, 50, 20);
    EXPECT_TRUE(HiddenInClick);
    ASSERT_TRUE(gui::PumpUntil([&] { return Freed; }, 10000)) << "the button was never freed";
    delete Watcher;
}

TEST_F(GlowButtons, ShortCutHintWindowMinimumWidth)
{
    auto* Hint = new TShortCutHintWindow(Form);
    Hint->SetCaption("A");
    const int Min = Hint->MinimumWidth();
    Hint->SetBounds(10, 10, 3, 20);
    EXPECT_EQ(Hint->Width(), Min);
    Hint->SetBounds(10, 10, Min + 30, 20);
    EXPECT_EQ(Hint->Width(), Min + 30);

    // Recoloured by a glow button that holds it.
    TProGlowButton* B = Add(20, 20);
    auto* Held = new TShortCutHintWindow(nullptr);
    B->SetShortCutHintWindow(Held);
    B->SetComponentStyle(tsOffice2003Olive);
    EXPECT_EQ(Held->Color(), clWhite);
    EXPECT_EQ(Held->ColorTo(), 0xCFF0EA);

    // Its gradient: white at the top to the colour at the bottom, in 16 bands.
    Held->SetColorTo(RGBToColor(0, 0, 160));
    Held->SetCaption("");
    Held->SetBounds(100, 100, 40, 32);
    Held->Show();
    gui::Settle();
    auto Shot = gui::Capture(Held->Handle());
    // Band i (two rows each): 255 + round(i * (c - 255) / 16) per channel.
    EXPECT_EQ(gui::PixelAt(Shot.get(), 20, 2), RGB(239, 239, 249));   // band 1
    EXPECT_EQ(gui::PixelAt(Shot.get(), 20, 29), RGB(32, 32, 172));    // band 14
    EXPECT_EQ(gui::PixelAt(Shot.get(), 0, 16), RGB(128, 128, 128));   // the outline
}

TEST_F(GlowButtons, GalleryOfLayouts)
{
    TImageList Images(Form);
    TBitmap Glyph(16, 16);
    Glyph.Canvas()->Brush()->SetColor(RGBToColor(40, 120, 220));
    Glyph.Canvas()->FillRect(Rect(0, 0, 16, 16));
    Glyph.Canvas()->Brush()->SetColor(clWhite);
    Glyph.Canvas()->FillRect(Rect(4, 4, 12, 12));
    Images.Add(&Glyph, nullptr);
    Form->SetColor(clBtnFace);
    Form->SetBounds(40, 40, 760, 420);
    Form->SetCaption("Glow buttons");
    const char* Names[] = {"GlyphLeft", "GlyphTop", "GlyphRight", "GlyphBottom",
                           "LeftAdjusted", "RightAdjusted", "TopAdjusted", "BottomAdjusted"};
    std::vector<TProGlowButton*> All;
    for (int i = 0; i < 8; ++i) {
        TProGlowButton* B = Add(10 + (i % 4) * 185, 10 + (i / 4) * 70, Names[i]);
        B->SetBounds(B->Left(), B->Top(), 175, 60);
        B->SetImages(&Images);
        B->SetImageIndex(0);
        B->SetLayout(static_cast<TButtonLayout>(i));
        All.push_back(B);
    }
    // Looks: hot, down, checked, disabled, a split drop-down, positions, a
    // preset, notes.
    TProGlowButton* Hot = Add(10, 160, "Hot");
    TProGlowButton* Checked = Add(120, 160, "Checked");
    Checked->SetStyle(bsCheck);
    Checked->SetDown(true);
    TProGlowButton* Disabled = Add(230, 160, "Disabled");
    Disabled->SetEnabled(false);
    TProGlowButton* Split = Add(340, 160, "Split");
    Split->SetDropDownButton(true);
    TProGlowButton* Bottom = Add(450, 160, "Bottom");
    Bottom->SetDropDownButton(true);
    Bottom->SetDropDownPosition(dpBottom);
    Bottom->SetHeight(55);
    const TButtonPosition Positions[] = {bpLeft, bpMiddle, bpMiddle, bpRight};
    for (int i = 0; i < 4; ++i) {
        TProGlowButton* B = Add(10 + i * 80, 230, i == 0 ? "Left" : i == 3 ? "Right" : "Middle");
        B->SetBounds(B->Left(), 230, 80, 32);
        B->SetPosition(Positions[i]);
        B->SetComponentStyle(tsOffice2007Luna);
    }
    TProGlowButton* Notes = Add(350, 230, "Title");
    Notes->SetBounds(350, 230, 200, 56);
    Notes->SetImages(&Images);
    Notes->SetImageIndex(0);
    Notes->Notes()->Add("A line of notes under it");
    TProGlowButton* Square = Add(560, 230, "Square");
    Square->SetRounded(false);
    Square->SetComponentStyle(tsWindowsXP);
    ShowForm();
    // The mouse rests on the last one: the hot look.
    MoveTo(Split, 95, 20);
    gui::PumpUntil([&] { return !Split->Fading(); }, 10000);
    MoveTo(Hot, 50, 20);
    gui::PumpUntil([&] { return !Hot->Fading(); }, 10000);
    gui::Settle();
    // Every layout drew its glyph: the glyph's blue is somewhere on each button.
    for (TProGlowButton* B : All) {
        auto Shot = gui::CaptureControl(B);
        int Blue = 0;
        for (int y = 0; y < Shot->Height(); ++y)
            for (int x = 0; x < Shot->Width(); ++x)
                Blue += gui::PixelAt(Shot.get(), x, y) == RGB(40, 120, 220);
        EXPECT_GT(Blue, 20) << gui::Utf8(B->Caption());
    }
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string Dir(Path);
    Dir = Dir.substr(0, Dir.find_last_of('\\') + 1);
    gui::SaveScreenshot(Form, Dir + "glow-button-gallery.png");
}
