// A form with every edit control in its states, written as a screenshot
// beside the test program (gallery-controls.png) and checked for content.
#include <gtest/gtest.h>

#include "tests/grid/controls/ControlsTestSupport.h"
#include "framework/Label.h"
#include "grid/interaction/PSGEdit.h"
#include "grid/interaction/ProDateTimePicker.h"
#include "grid/interaction/PsgUniControls.h"
#include "grid/interaction/psgcombo.h"
#include "grid/interaction/psgspin.h"
#include "visuals/ProXPVS.h"

using namespace controls_test;

namespace {

class Gallery : public FormTest {
protected:
    template <class T>
    T* Place(int X, int Y, int W, int H, const char* Caption)
    {
        auto* label = new TLabel(Form);
        label->SetParent(Form);
        label->SetBounds(X, Y - 16, W, 15);
        label->SetCaption(Caption);
        auto* c = new T(Form);
        c->SetParent(Form);
        c->SetBounds(X, Y, W, H);
        return c;
    }
};

} // namespace

TEST_F(Gallery, EveryControlInItsStates)
{
    Form->SetBounds(40, 40, 700, 420);
    Form->SetCaption("Edit controls");
    const bool themed = ThemesAvailable();

    auto* spin = Place<TPsgSpinEdit>(10, 30, 120, 24, "spin");
    spin->SetValue(42);
    auto* spinFloat = Place<TPsgSpinEdit>(140, 30, 120, 24, "float, flat");
    spinFloat->SetSpinType(sptFloat);
    spinFloat->SetPrecision(2);
    spinFloat->SetFloatValue(3.14159);
    spinFloat->SetSpinFlat(true);
    auto* spinDate = Place<TPsgSpinEdit>(270, 30, 120, 24, "date, horizontal");
    spinDate->SetSpinType(sptDate);
    spinDate->SetDateValue(Date(2024, 2, 29));
    spinDate->SetDirection(spHorizontal);
    auto* spinTime = Place<TPsgSpinEdit>(400, 30, 120, 24, "time, disabled");
    spinTime->SetSpinType(sptTime);
    spinTime->SetTimeValue(EncodeTime(13, 45, 10, 0));
    spinTime->SetEnabled(false);
    auto* spinXP = Place<TPsgSpinEdit>(530, 30, 120, 24, themed ? "spin, themed" : "spin, XP (classic)");
    spinXP->SetIsWinXP(true);

    auto* edit = Place<TPsgEditBtn>(10, 90, 150, 24, "edit with button");
    edit->SetButtonCaption("...");
    auto* editFlat = Place<TPsgEditBtn>(170, 90, 150, 24, "flat button, disabled");
    editFlat->Button()->SetFlat(true);
    editFlat->SetButtonCaption("...");
    editFlat->SetEnabled(false);
    auto* units = Place<TPsgUnitEditBtn>(330, 90, 150, 24, "unit edit");
    units->Units()->Add("mm");
    units->Units()->Add("cm");
    units->SetUnitID("cm");
    units->SetText("12.5");
    auto* editXP = Place<TPsgEditBtn>(490, 90, 150, 24, "edit, XP look");
    editXP->SetButtonCaption("...");
    editXP->SetIsWinXP(true);

    auto* combo = Place<TPSGComboBox>(10, 150, 150, 24, "flat combo");
    combo->Items()->Add("first");
    combo->Items()->Add("second");
    combo->SetItemIndex(0);
    auto* comboHot = Place<TPSGComboBox>(170, 150, 150, 24, "focus border, focused");
    comboHot->FocusBorder = true;
    comboHot->SetEtched(true);
    comboHot->Items()->Add("etched");
    comboHot->SetItemIndex(0);
    auto* comboOff = Place<TPSGComboBox>(330, 150, 150, 24, "disabled");
    comboOff->SetEnabled(false);
    comboOff->SetText("disabled");
    auto* comboClassic = Place<TPSGComboBox>(490, 150, 150, 24, "not flat");
    comboClassic->SetFlat(false);

    auto* uniEdit = Place<TPsgUniEdit>(10, 210, 150, 24, "Unicode edit");
    uniEdit->SetText(L"\x4E2D\x6587 \x0391\x03B2\x03B3 \x00FC");
    auto* uniBtn = Place<TPsgUniEditBtn>(170, 210, 150, 24, "Unicode edit with button");
    uniBtn->SetText(L"\x0416\x0438\x0432");
    uniBtn->SetButtonCaption("...");
    auto* uniCombo = Place<TPSGUniComboBox>(330, 210, 150, 24, "Unicode combo");
    uniCombo->Items()->Add(L"\x65E5\x672C");
    uniCombo->Items()->Add(L"\x0395\x03BB\x03BB\x03AC\x03B4\x03B1");
    uniCombo->SetItemIndex(1);
    auto* uniMemo = Place<TPsgUniMemo>(490, 210, 150, 60, "Unicode memo, wrap");
    uniMemo->SetWordWrap(true);
    uniMemo->SetScrollBars(ssVertical);
    uniMemo->SetText(L"\x4E00\x4E8C\x4E09 one two three four five six seven eight");

    auto* picker = Place<TProDateTimePicker>(10, 300, 220, 24, "date and time");
    picker->SetDateTime(Date(2024, 3, 5) + EncodeTime(12, 34, 56, 0));
    auto* pickerFlat = Place<TProDateTimePicker>(240, 300, 150, 24, "date, flat single border");
    pickerFlat->SetKind(dkDate);
    pickerFlat->SetCtl3D(false);
    auto* pickerTime = Place<TProDateTimePicker>(400, 300, 120, 24, "time, disabled");
    pickerTime->SetKind(dkTime);
    pickerTime->SetEnabled(false);

    Form->Show();
    comboHot->SetFocus();
    gui::Settle();
    gui::PumpFor(200);
    const std::string path = Application->ExePath() + "gallery-controls.png";
    gui::SaveScreenshot(Form, path);
    auto shot = gui::Capture(Form->Handle());
    for (TControl* c : std::initializer_list<TControl*>{spin, edit, combo, uniEdit, picker}) {
        const TRect r = c->BoundsRect();
        EXPECT_GT(gui::CountPixelsNot(shot.get(), r, ColorToRGB(clBtnFace)), 50) << c->ClassName();
    }

    // Without the visual-styles library the XP looks fall back to classic
    // drawing.
    UnloadThemeLibrary();
    EXPECT_FALSE(ThemesAvailable());
    RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    gui::Settle();
    gui::SaveScreenshot(Form, Application->ExePath() + "gallery-controls-classic.png");
    auto classic = gui::CaptureControl(spinXP->Button());
    EXPECT_GT(gui::CountPixelsNot(classic.get(), ColorToRGB(clBtnFace)), 10) << "classic spin buttons drawn";
    LoadThemeLibrary();
}
