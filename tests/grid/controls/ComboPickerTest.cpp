// The flat combo box, the cell checker base and the date-time picker.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/grid/controls/ControlsTestSupport.h"
#include "framework/Edit.h"
#include "grid/interaction/ProDateTimePicker.h"
#include "grid/interaction/psgcheck.h"
#include "grid/interaction/PsgUniControls.h"
#include "grid/interaction/psgcombo.h"

#include <commctrl.h>

using namespace controls_test;

namespace {

class FlatCombo : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        Combo = new TPSGComboBox(Form);
        Combo->SetParent(Form);
        Combo->SetBounds(10, 10, 160, 24);
        Combo->Items()->Add("one");
        Combo->Items()->Add("two");
        Form->Show();
        gui::Settle();
    }
    COLORREF Corner()
    {
        auto shot = gui::CaptureControl(Combo);
        return gui::PixelAt(shot.get(), 0, 0);
    }

    TPSGComboBox* Combo = nullptr;
};

class Picker : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        P = new TProDateTimePicker(Form);
        P->SetParent(Form);
        P->SetBounds(10, 10, 240, 24);
        P->OnChange = [this](TObject* Sender) { Events.push_back(Sender == P ? "change" : "change?"); };
        P->OnTimeChanged = [this](TObject* Sender) { Events.push_back(Sender == P ? "time" : "time?"); };
        Form->Show();
        gui::Settle();
    }

    TProDateTimePicker* P = nullptr;
    std::vector<std::string> Events;
};

} // namespace

TEST_F(FlatCombo, PropertyLimitsAndVersion)
{
    const int initial = Combo->ButtonWidth();
    EXPECT_EQ(initial, GetSystemMetrics(SM_CXVSCROLL) + 4);
    Combo->SetButtonWidth(40);
    EXPECT_EQ(Combo->ButtonWidth(), initial);
    Combo->SetButtonWidth(14);
    EXPECT_EQ(Combo->ButtonWidth(), 14);
    Combo->SetButtonWidth(32);
    EXPECT_EQ(Combo->ButtonWidth(), 32);
    Combo->SetButtonWidth(13);
    EXPECT_EQ(Combo->ButtonWidth(), 32);
    EXPECT_EQ(Combo->Version(), "1.2.0.1");
    const LRESULT platformWidth = SendMessageW(Combo->Handle(), CB_GETDROPPEDWIDTH, 0, 0);
    Combo->SetDropWidth(0);
    EXPECT_EQ(SendMessageW(Combo->Handle(), CB_GETDROPPEDWIDTH, 0, 0), platformWidth);
    Combo->SetDropWidth(300);
    EXPECT_EQ(SendMessageW(Combo->Handle(), CB_GETDROPPEDWIDTH, 0, 0), 300);
    Combo->SetFlat(false);
    EXPECT_TRUE(Combo->Ctl3D);
}

TEST_F(FlatCombo, HoverHighlightsTheBorderWithFocusBorder)
{
    // The focus is elsewhere: only the mouse highlights.
    auto* other = new TEdit(Form);
    other->SetParent(Form);
    other->SetBounds(10, 60, 100, 24);
    other->SetFocus();
    gui::Settle();
    ASSERT_FALSE(Combo->Focused());
    Combo->FocusBorder = true;
    const COLORREF plain = Corner();
    EXPECT_EQ(plain, ColorToRGB(Form->Color())) << "the border takes the parent's colour";
    SendMessageW(Combo->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(Combo->Width() - 5, 5));
    gui::Settle();
    ASSERT_TRUE(Combo->MouseInside());
    EXPECT_TRUE(Combo->IsHighlighted());
    EXPECT_EQ(Corner(), ColorToRGB(clBtnShadow)) << "sunken highlighted border";
    SendMessageW(Combo->Handle(), WM_MOUSELEAVE, 0, 0);
    gui::Settle();
    EXPECT_FALSE(Combo->IsHighlighted());
    EXPECT_EQ(Corner(), plain);
    Combo->FocusBorder = false;
    SendMessageW(Combo->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(Combo->Width() - 5, 5));
    gui::Settle();
    EXPECT_EQ(Corner(), plain) << "no highlight without FocusBorder";
    Combo->FocusBorder = true;
    Combo->SetFocus();
    gui::Settle();
    EXPECT_EQ(Corner(), ColorToRGB(clBtnShadow)) << "focused: highlighted";
}

TEST_F(FlatCombo, DisabledTakesTheParentColourAndBack)
{
    Combo->SetColor(clYellow);
    Combo->SetEnabled(false);
    EXPECT_TRUE(Combo->ParentColor());
    Combo->SetEnabled(true);
    EXPECT_FALSE(Combo->ParentColor());
    EXPECT_EQ(Combo->Color(), clYellow);
}

TEST(CellChecker, BaseLeavesEveryValueUnchanged)
{
    TProStringGridCheck check(nullptr);
    for (const char* value : {"", "abc", "1,5", "读取"}) {
        EXPECT_EQ(check.Correct(1, 2, value), value);
        EXPECT_EQ(check.MarkError(1, 2, value), value);
    }
}

TEST_F(Picker, DateTimeIsSetAndReadBackInWholeSeconds)
{
    const TDateTime value = Date(2024, 3, 5) + EncodeTime(12, 34, 56, 789);
    P->SetDateTime(value);
    const TDateTime back = P->DateTime();
    EXPECT_EQ(DateText(back), "2024-03-05");
    int h, m, s, ms;
    DecodeTime(back, h, m, s, ms);
    EXPECT_EQ(h * 10000 + m * 100 + s, 123456);
    EXPECT_EQ(ms, 0) << "the milliseconds are dropped";
    ASSERT_NE(P->TimePicker(), nullptr);
    DecodeTime(P->TimePicker()->PickerTime(), h, m, s, ms);
    EXPECT_EQ(h * 10000 + m * 100 + s, 123456) << "the time field shows the time";
    P->SetTime(EncodeTime(8, 0, 0, 0));
    DecodeTime(P->Time(), h, m, s, ms);
    EXPECT_EQ(h, 8);
    EXPECT_EQ(DateText(P->DateTime()), "2024-03-05") << "the date stays";
    EXPECT_EQ(P->Version(), "1.0.0.2");
}

TEST_F(Picker, KindsShowAndHideTheTimeField)
{
    TCustomDateTimePicker* time = P->TimePicker();
    ASSERT_NE(time, nullptr) << "the date-and-time kind has a time field";
    EXPECT_TRUE(time->Visible());
    EXPECT_GT(time->Left(), P->Width() / 3) << "in the right part";
    EXPECT_LE(time->Left() + time->Width(), P->Width());
    EXPECT_EQ(P->PlatformKind(), dtkDate);
    P->SetKind(dkDate);
    EXPECT_FALSE(time->Visible());
    P->SetKind(dkTime);
    EXPECT_EQ(P->PlatformKind(), dtkTime);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(P->Handle(), GWL_STYLE));
    EXPECT_NE(style & DTS_TIMEFORMAT, 0u);
    P->SetKind(dkDateTime);
    gui::Settle();
    EXPECT_TRUE(P->TimePicker()->Visible());
    P->SetEnabled(false);
    EXPECT_FALSE(P->TimePicker()->Enabled());
}

TEST_F(Picker, TimeFieldChangesFireOnChangeThenOnTimeChanged)
{
    P->SetDateTime(Date(2024, 3, 5) + EncodeTime(10, 0, 0, 0));
    P->TimePicker()->SetFocus();
    gui::Settle();
    gui::PressKey(VK_UP);
    ASSERT_TRUE(gui::PumpUntil([&] { return Events.size() >= 2; }, 10000)) << "time field changed";
    EXPECT_EQ(Events, (std::vector<std::string>{"change", "time"}));
    Events.clear();
    P->SetFocus();
    gui::Settle();
    gui::PressKey(VK_UP);
    ASSERT_TRUE(gui::PumpUntil([&] { return !Events.empty(); }, 10000)) << "date field changed";
    gui::PumpFor(100);
    EXPECT_EQ(Events, std::vector<std::string>{"change"}) << "a date change fires OnChange only";
}

TEST_F(Picker, FlatBorderWithoutCtl3D)
{
    P->SetCtl3D(false);
    gui::Settle();
    const auto cornerOf = [&](TControl* C) {
        // The window's frame: read from the form around the client area.
        auto shot = gui::Capture(Form->Handle());
        return gui::PixelAt(shot.get(), C->Left(), C->Top());
    };
    const COLORREF single = cornerOf(P);
    EXPECT_TRUE(single == ColorToRGB(clBlack) || single == RGB(0x7F, 0x9D, 0xB9)) << std::hex << single;
    P->SetBorderStyle(bsNone);
    gui::Settle();
    EXPECT_EQ(cornerOf(P), ColorToRGB(Form->Color())) << "bsNone: the border takes the parent's colour";
}

TEST(FileVersion, OfTheCommonControls)
{
    const int v = GetFileVersion("COMCTL32.DLL");
    EXPECT_NE(v, -1);
    EXPECT_GE((v >> 16) & 0xFF, 5);
    EXPECT_EQ(GetFileVersion("no-such-file.dll"), -1);
}

// The classic button edge runs from two pixels inside the top down to the
// window's bottom edge and one pixel short of its right edge.
TEST_F(FlatCombo, ButtonEdgeReachesTheBottomEdge)
{
    Combo->IsWinXP = false;
    Combo->Invalidate();
    gui::Settle();
    auto shot = gui::Capture(Form->Handle());
    const int x = Combo->Left() + Combo->ClientWidth() - Combo->ButtonWidth() + 1;
    const int bottom = Combo->Top() + Combo->Height() - 1;
    const COLORREF dark = GetSysColor(COLOR_3DDKSHADOW);
    EXPECT_EQ(gui::PixelAt(shot.get(), x, bottom), dark) << std::hex << "the edge's bottom line is the last row";
    EXPECT_EQ(gui::PixelAt(shot.get(), Combo->Left() + Combo->Width() - 2, Combo->Top() + 10), dark)
        << "its right line one pixel inside the right edge";
    EXPECT_EQ(gui::PixelAt(shot.get(), x, Combo->Top() + 2), GetSysColor(COLOR_3DLIGHT)) << "its top line";
}

// A window's pixels as its form shows them, by the window's own rectangle.
std::unique_ptr<TBitmap> CaptureWindow(TForm* Form, HWND Wnd)
{
    auto Whole = gui::Capture(Form->Handle());
    RECT R;
    GetWindowRect(Wnd, &R);
    MapWindowPoints(nullptr, Form->Handle(), reinterpret_cast<POINT*>(&R), 2);
    const int W = R.right - R.left;
    const int H = R.bottom - R.top;
    auto Part = std::make_unique<TBitmap>(W, H);
    Part->Canvas()->CopyRect(Rect(0, 0, W, H), Whole->Canvas(), Bounds(R.left, R.top, W, H));
    return Part;
}

// The 8-bit and the Unicode flat combo box paint one face: side by side
// with the same size, colours and state, their pixels are equal wherever
// the two faces agree: the left part with the border rings, and the inner
// ring in the control's colour while highlighted. (They differ by design in
// the button, its edge, and the unhighlighted inner ring, which only the
// Unicode face paints.)
TEST_F(FlatCombo, BothFlatCombosPaintTheSameFace)
{
    auto* Uni = new TPSGUniComboBox(Form);
    Uni->SetParent(Form);
    Uni->SetBounds(10, 60, 160, 24);
    Uni->Items()->Add(L"one");
    Uni->Items()->Add(L"two");
    auto* Other = new TEdit(Form);
    Other->SetParent(Form);
    Other->SetBounds(10, 120, 100, 24);
    gui::Settle();
    ASSERT_EQ(Uni->ButtonWidth(), Combo->ButtonWidth());
    for (bool Themed : {false, true}) {
        for (bool Highlighted : {false, true}) {
            Combo->IsWinXP = Uni->IsWinXP = Themed;
            Combo->FocusBorder = Uni->FocusBorder = true;
            Other->SetFocus();
            gui::Settle();
            if (Highlighted) {
                for (TWinControl* C : {static_cast<TWinControl*>(Combo), static_cast<TWinControl*>(Uni)})
                    SendMessageW(C->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
                gui::Settle();
                ASSERT_TRUE(Combo->IsHighlighted());
                ASSERT_TRUE(Uni->IsHighlighted());
            }
            Combo->Invalidate();
            Uni->Invalidate();
            gui::Settle();
            auto A = CaptureWindow(Form, Combo->Handle());
            auto B = CaptureWindow(Form, Uni->Handle());
            ASSERT_EQ(A->Width(), B->Width());
            ASSERT_EQ(A->Height(), B->Height());
            EXPECT_EQ(gui::PixelAt(A.get(), 0, 0), Highlighted ? ColorToRGB(clBtnShadow) : ColorToRGB(Form->Color()));
            const int Right = Combo->ClientWidth() - Combo->ButtonWidth() - 4;
            const int H = A->Height();
            // Unhighlighted, only the Unicode face paints the ring in the
            // control's colour, and with the themed common controls its
            // second ring too.
            const int Own = !Highlighted ? (Themed && ComCtlMajorVersion() > 5 ? 1 : 2) : H;
            int Differ = 0;
            std::string First;
            for (int Y = 0; Y < H; ++Y)
                for (int X = 0; X < Right; ++X) {
                    const int Ring = std::min({X, Y, H - 1 - Y});
                    if (Ring >= Own && Ring <= 2)
                        continue;
                    if (gui::PixelAt(A.get(), X, Y) != gui::PixelAt(B.get(), X, Y) && Differ++ == 0)
                        First = std::to_string(X) + "," + std::to_string(Y);
                }
            EXPECT_EQ(Differ, 0) << (Themed ? "themed" : "classic") << (Highlighted ? ", highlighted" : "")
                                 << ": first at " << First;
            // Where they differ: the Unicode button edge is raised only while
            // the control is active (here: the mouse is inside), else a plain face.
            const int EdgeX = Uni->ClientWidth() - Uni->ButtonWidth() + 1;
            EXPECT_EQ(gui::PixelAt(B.get(), EdgeX, H / 2), GetSysColor(Highlighted ? COLOR_3DHILIGHT : COLOR_BTNFACE))
                << std::hex << (Themed ? "themed" : "classic") << (Highlighted ? ", active" : ", inactive");
            for (TWinControl* C : {static_cast<TWinControl*>(Combo), static_cast<TWinControl*>(Uni)})
                SendMessageW(C->Handle(), WM_MOUSELEAVE, 0, 0);
            gui::Settle();
        }
    }
}
