// The channels on the office pager of the main window: the tabs and the
// arrow keys choose the channel, every channel operation reads the channel of
// the active tab, and a screenshot of the window with its tabs.
#include "tests/manager/VantrelFixture.h"

#include "framework/Application.h"

namespace vantrel_test {
namespace {

class ChannelTabsTest : public VantrelTest {
protected:
    void ClickTab(int Index)
    {
        const TRect R = Main->RedMems->GetTabRect(Index);
        const LPARAM At = MAKELPARAM((R.left + R.right) / 2, (R.top + R.bottom) / 2);
        const HWND Wnd = Main->RedMems->Handle();
        SendMessageW(Wnd, WM_MOUSEMOVE, 0, At);
        SendMessageW(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, At);
        SendMessageW(Wnd, WM_LBUTTONUP, 0, At);
        gui::Settle();
    }
    // The channel shown: the one page that is visible, -1 when not exactly one.
    int ShownChannel() const
    {
        int shown = -1;
        for (int c = 0; c < Main->RedMems->ProPageCount(); ++c)
            if (Main->RedMems->ProPages(c)->Visible())
                shown = shown == -1 ? c : -2;
        return shown < 0 ? -1 : shown;
    }
};

TEST_F(ChannelTabsTest, TheEightChannelTabsSitOnThePagerInOrder)
{
    const char* captions[] = {"通道一", "通道二", "通道三", "通道四", "通道五", "通道六", "通道七", "通道八"};
    ASSERT_EQ(Main->RedMems->ProPageCount(), 8);
    EXPECT_EQ(Main->RedMems->ActivePageIndex(), 0);
    EXPECT_EQ(ShownChannel(), 0);
    int previousRight = 0;
    for (int c = 0; c < 8; ++c) {
        TProOfficePage* page = Main->RedMems->ProPages(c);
        EXPECT_EQ(gui::Utf8(page->Caption()), gui::Utf8(captions[c])) << "channel " << c;
        // Each channel's table fills its page less the page's inset of 2.
        EXPECT_EQ(Main->ChannelGrid(c)->Parent(), page) << "channel " << c;
        EXPECT_EQ(Main->ChannelGrid(c)->Left(), 2) << "channel " << c;
        EXPECT_EQ(Main->ChannelGrid(c)->Width(), page->Width() - 4) << "channel " << c;
        // The tabs run left to right along the top, all of them inside the pager.
        const TRect tab = Main->RedMems->GetTabRect(c);
        EXPECT_GE(tab.left, previousRight) << "channel " << c;
        EXPECT_LE(tab.right, Main->RedMems->Width()) << "channel " << c;
        EXPECT_LT(tab.top, 26) << "channel " << c;
        previousRight = tab.right;
        // Each page holds its own look with the Office 2007 Luna colours.
        const TTabAppearance* look = page->TabAppearance();
        EXPECT_EQ(look->TextColor(), static_cast<TColor>(0x8B4215)) << "channel " << c;
        EXPECT_EQ(look->ColorHotTo(), static_cast<TColor>(0xFFDEC5)) << "channel " << c;
        EXPECT_EQ(look->GradientHot(), ggRadial) << "channel " << c;
        EXPECT_EQ(look->ShadowColor, static_cast<TColor>(0xE8C7AE)) << "channel " << c;
        EXPECT_EQ(look->BackGround()->Color(), static_cast<TColor>(0xFFDBBF)) << "channel " << c;
        EXPECT_EQ(look->BackGround()->ColorTo(), clNoneColor) << "channel " << c;
        EXPECT_EQ(page->PageAppearance()->Color(), static_cast<TColor>(0xFAF1E9)) << "channel " << c;
        EXPECT_EQ(page->PageAppearance()->ColorMirrorTo(), static_cast<TColor>(0xFFF2E7)) << "channel " << c;
        EXPECT_EQ(page->PageAppearance()->BorderColor(), static_cast<TColor>(0xE3B28D)) << "channel " << c;
    }
    const TRect page = Main->RedMems->ProPages(0)->BoundsRect();
    EXPECT_EQ((std::vector<long>{page.left, page.top, page.right, page.bottom}), (std::vector<long>{1, 26, 776, 494}));
}

TEST_F(ChannelTabsTest, TabsAndArrowKeysChooseTheChannelOfTheOperations)
{
    const struct {
        int Tab;     // the tab clicked, -1 for none
        Word Key;    // else the key pressed on the pager
        int Channel; // the channel then active
    } steps[] = {{3, 0, 3}, {7, 0, 7}, {-1, VK_RIGHT, 0}, {-1, VK_LEFT, 7}, {-1, VK_LEFT, 6}, {0, 0, 0}, {5, 0, 5}};
    for (const auto& s : steps) {
        if (s.Tab >= 0) {
            ClickTab(s.Tab);
        } else {
            Main->RedMems->SetFocus();
            gui::PressKey(s.Key);
            gui::Settle();
        }
        EXPECT_EQ(Main->RedMems->ActivePageIndex(), s.Channel) << "tab " << s.Tab << " key " << s.Key;
        EXPECT_EQ(Main->ActiveChannel(), s.Channel) << "tab " << s.Tab << " key " << s.Key;
        EXPECT_EQ(ShownChannel(), s.Channel) << "tab " << s.Tab << " key " << s.Key;
        EXPECT_TRUE(IsWindowVisible(Main->ChannelGrid(s.Channel)->Handle())) << "tab " << s.Tab << " key " << s.Key;
    }

    // A read fills the table of the channel whose tab is active, and only it.
    UseTcp();
    Store(5, 2, Record(40, 2));
    Store(1, 2, Record(50, 3));
    GuardCallback([&] { Main->BnRead->Click(); });
    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("读取完成！"));
    EXPECT_EQ(HexOf(Main->Code(5, 2)), HexOf(Record(40, 2)));
    EXPECT_TRUE(Main->Code(1, 2).empty()) << "channel 1 was not read";
    ClickTab(1);
    GuardCallback([&] { Main->BnRead->Click(); });
    EXPECT_EQ(HexOf(Main->Code(1, 2)), HexOf(Record(50, 3)));
    EXPECT_TRUE(SlotChecked(1, 2));

    // The window with the tabs as the user sees it.
    const std::string path = Application->ExePath() + "vantrel-channel-tabs.png";
    gui::SaveScreenshot(Main, path);
    auto shot = gui::CaptureControl(Main->RedMems);
    const TRect active = Main->RedMems->GetTabRect(1);
    const TRect other = Main->RedMems->GetTabRect(4);
    // The active channel's table shows on its page: its grid lines cross
    // the page's background.
    auto table = gui::CaptureControl(Main->ChannelGrid(1));
    const TRect page = Main->RedMems->GetPageRect();
    const COLORREF pageBack = gui::PixelAt(shot.get(), page.left + 1, page.bottom - 1);
    EXPECT_GT(gui::CountPixelsNot(table.get(), pageBack), 500) << "screenshot " << path;
    // The active tab is drawn on the strip, an inactive one shows only its
    // caption over the strip's background.
    EXPECT_NE(gui::PixelAt(shot.get(), active.left + 3, active.top + 4),
              gui::PixelAt(shot.get(), other.left + 3, other.top + 4))
        << "screenshot " << path;
}

} // namespace
} // namespace vantrel_test
