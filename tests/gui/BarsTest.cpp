// Tool bars with their buttons (clicks, hints, visibility) and status bars
// with their panels.
#include <gtest/gtest.h>

#include "tests/support/GuiHarness.h"
#include "framework/HintTools.h"
#include "framework/ImageList.h"
#include "framework/StatusBar.h"
#include "framework/ToolBar.h"

#include <commctrl.h>

namespace {

class Bars : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(100, 100, 400, 250);
        Form->SetShowHint(true);
        Images = new TImageList(Form);
        TBitmap strip(48, 16);
        strip.Canvas()->Brush()->SetColor(clRed);
        strip.Canvas()->FillRect(Rect(0, 0, 48, 16));
        Images->AddMasked(&strip, clFuchsia);
        Bar = new TToolBar(Form);
        Bar->SetParent(Form);
        Bar->SetImages(Images);
        Bar->SetButtonWidth(33);
        Bar->SetButtonHeight(31);
        Bar->SetHeight(35);
        for (const char* hint : {"打开文件", "保存文件", "设置"}) {
            auto* b = new TToolButton(Form);
            b->SetParent(Bar);
            b->SetHint(hint);
            b->SetImageIndex(Bar->ButtonCount() - 1);
            b->OnClick = [this, b](TObject*) { Clicked.push_back(b->Hint()); };
        }
        Status = new TStatusBar(Form);
        Status->SetParent(Form);
        Status->Panels()->Add()->SetWidth(100);
    }
    void TearDown() override { delete Form; }

    TForm* Form = nullptr;
    TImageList* Images = nullptr;
    TToolBar* Bar = nullptr;
    TStatusBar* Status = nullptr;
    std::vector<String> Clicked;
};

} // namespace

TEST_F(Bars, ToolButtonsClickAndCarryTheirHints)
{
    Bar->Buttons(2)->SetVisible(false);
    Form->Show();
    ASSERT_EQ(SendMessageW(Bar->Handle(), TB_BUTTONCOUNT, 0, 0), 3);
    TBBUTTON hidden{};
    SendMessageW(Bar->Handle(), TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&hidden));
    EXPECT_NE(hidden.fsState & TBSTATE_HIDDEN, 0) << "an invisible button is hidden";
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE("button " + std::to_string(i));
        TToolButton* b = Bar->Buttons(i);
        EXPECT_EQ(b->Width(), 33) << "the button takes the place it has in the bar";
        EXPECT_EQ(b->Left(), 33 * i);
        EXPECT_EQ(HintToolText(b), b->Hint());
        gui::ClickAt(Bar, b->Left() + 10, b->Top() + 10);
    }
    EXPECT_EQ(Clicked, (std::vector<String>{"打开文件", "保存文件"}));
    EXPECT_NE(HintToolWindow(Bar), nullptr);
}

TEST_F(Bars, HintFollowsShowHint)
{
    Form->Show();
    TToolButton* b = Bar->Buttons(0);
    EXPECT_EQ(HintToolText(b), String("打开文件"));
    Form->SetShowHint(false);
    EXPECT_EQ(HintToolText(b), "") << "ShowHint off takes the tool away";
    Form->SetShowHint(true);
    b->SetHint("新提示");
    EXPECT_EQ(HintToolText(b), String("新提示"));
}

TEST_F(Bars, StatusPanelsShowTheirText)
{
    Form->Show();
    Status->Panels()->Items(0)->SetText("读取完成！");
    EXPECT_EQ(Status->PartText(0), String("读取完成！"));
    EXPECT_EQ(Status->Top() + Status->Height(), Form->ClientHeight()) << "aligned to the bottom";
    Status->SetSimplePanel(true);
    Status->SetSimpleText("简单");
    EXPECT_EQ(Status->PartText(0), String("简单")) << "the simple text";
}

TEST_F(Bars, StatusPanelIndexesOutOfRangeRaiseListErrors)
{
    Status->Panels()->Add();
    for (int index : {-1, 2}) {
        SCOPED_TRACE(index);
        EXPECT_THROW(Status->Panels()->Delete(index), EListError);
        EXPECT_THROW(Status->Panels()->Items(index), EListError);
    }
    EXPECT_EQ(Status->Panels()->Count(), 2);
    Status->Panels()->Delete(1);
    EXPECT_EQ(Status->Panels()->Count(), 1);
}
