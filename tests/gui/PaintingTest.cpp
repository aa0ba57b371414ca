// Painting: Chinese captions come out as glyphs, labels follow the enabled
// state of their parent, and a screenshot of a form with Chinese captions.
#include <gtest/gtest.h>

#include "tests/support/GuiHarness.h"
#include "framework/Button.h"
#include "framework/CheckBox.h"
#include "framework/ComboBox.h"
#include "framework/GroupBox.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "framework/StatusBar.h"

namespace {

class Painting : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetCaption("功能测试");
        Form->SetBorderStyle(bsDialog);
        Form->SetBounds(50, 50, 360, 240);
        Label = new TLabel(Form);
        Label->SetParent(Form);
        Label->SetBounds(20, 20, 10, 10);
    }
    void TearDown() override { delete Form; }

    TForm* Form = nullptr;
    TLabel* Label = nullptr;
};

} // namespace

TEST_F(Painting, ChineseCaptionsAreDrawnAsGlyphs)
{
    Form->Show();
    const COLORREF face = ColorToRGB(clBtnFace);
    Label->SetCaption("");
    auto empty = gui::CaptureControl(Label);
    EXPECT_EQ(gui::CountPixelsNot(empty.get(), face), 0) << "an empty label shows only the background";

    Label->SetCaption("接收关闭");
    EXPECT_GT(Label->Width(), 30) << "AutoSize fits the label to four characters";
    auto text = gui::CaptureControl(Label);
    // Four ideographs have far more ink than a missing-glyph box or four
    // question marks; each quarter of the label holds a glyph.
    const int quarter = Label->Width() / 4;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE("character " + std::to_string(i));
        const int ink = gui::CountPixelsNot(text.get(), Rect(i * quarter, 0, (i + 1) * quarter, Label->Height()), face);
        EXPECT_GT(ink, 15);
    }
}

TEST_F(Painting, LabelsAreGreyedWithTheirParent)
{
    auto* group = new TGroupBox(Form);
    group->SetParent(Form);
    group->SetBounds(10, 60, 200, 80);
    Label->SetParent(group);
    Label->SetCaption("波特率");
    Form->Show();
    // Dark pixels (darker than the button shadow colour) are those of normal
    // text; greyed text has ink, but none that dark.
    struct Ink {
        int Dark = 0;
        int Any = 0;
    };
    auto ink = [&] {
        auto bitmap = gui::CaptureControl(Label);
        const COLORREF face = ColorToRGB(clBtnFace);
        Ink result;
        for (int y = 0; y < bitmap->Height(); ++y)
            for (int x = 0; x < bitmap->Width(); ++x) {
                const COLORREF c = gui::PixelAt(bitmap.get(), x, y);
                result.Any += c != face ? 1 : 0;
                result.Dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 400 ? 1 : 0;
            }
        return result;
    };
    EXPECT_GT(ink().Dark, 20);
    group->SetEnabled(false);
    gui::Settle();
    EXPECT_EQ(ink().Dark, 0) << "no text in the normal colour";
    EXPECT_GT(ink().Any, 20) << "greyed text";
    group->SetEnabled(true);
    gui::Settle();
    EXPECT_GT(ink().Dark, 20);
}

TEST_F(Painting, ScreenshotOfAFormWithChineseCaptions)
{
    Label->SetCaption("循环码次数:");
    auto* group = new TGroupBox(Form);
    group->SetParent(Form);
    group->SetCaption("下载设置");
    group->SetBounds(10, 50, 200, 110);
    auto* check = new TCheckBox(Form);
    check->SetParent(group);
    check->SetCaption("无校验");
    check->SetBounds(10, 20, 100, 20);
    check->AllowGrayed = true;
    check->SetState(cbGrayed);
    auto* combo = new TComboBox(Form);
    combo->SetParent(group);
    combo->SetBounds(10, 50, 120, 21);
    combo->Items()->Add("数据转发");
    combo->SetItemIndex(0);
    auto* button = new TButton(Form);
    button->SetParent(Form);
    button->SetCaption("发送");
    button->SetBounds(230, 60, 90, 28);
    auto* panel = new TPanel(Form);
    panel->SetParent(Form);
    panel->SetCaption("面板");
    panel->SetBounds(230, 100, 90, 50);
    auto* status = new TStatusBar(Form);
    status->SetParent(Form);
    status->Panels()->Add()->SetWidth(100);
    status->Panels()->Items(0)->SetText("设置成功！");
    Form->Show();
    gui::Settle();
    const std::string path = Application->ExePath() + "screenshot-form.png";
    gui::SaveScreenshot(Form, path);
    FILE* f = fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char magic[8] = {};
    EXPECT_EQ(fread(magic, 1, 8, f), 8u);
    fclose(f);
    EXPECT_EQ(magic[1], 'P');
    EXPECT_EQ(magic[2], 'N');
    EXPECT_EQ(magic[3], 'G');
}
