// Pictures of Brimsel's two windows as a user sees them: the main window
// after a get, the test window after a version read. They go to the build
// tree's screenshots folder (beside the folder of the test executables).
#include "tests/configtool/BrimselFixture.h"

#include <windows.h>

#include "framework/Application.h"
#include "framework/Codepage.h"

namespace brimsel_test {
namespace {

// build/win/tests/ -> build/screenshots/
String ScreenshotFolder()
{
    String folder = Application->ExePath();
    for (int up = 0; up < 2; ++up)
        folder.erase(folder.find_last_of('\\', folder.size() - 2) + 1);
    folder += "screenshots\\";
    CreateDirectoryW(StrToWide(folder).c_str(), nullptr);
    return folder;
}

void Shoot(TCustomForm* Form, const String& Path)
{
    gui::Settle();
    gui::SaveScreenshot(Form, Path);
    EXPECT_GT(ReadBytes(Path).size(), 1000u) << gui::Utf8(Path);
}

} // namespace

TEST_F(BrimselTest, ScreenshotsOfBothWindows)
{
    const String folder = ScreenshotFolder();
    ASSERT_TRUE(Device.CtlOk("params 9F A1 32 41 00 52 50 01 02 FF 00 0A 05 01 00 01 FF"));
    gui::Click(Main->Button6);
    ASSERT_EQ(TakeBoxes(), Utf8s({"获取成功！"}));
    Shoot(Main, folder + "brimsel-main.png");

    gui::Click(Main->Button8);
    gui::Click(TestWnd->BnOpen);
    TestWnd->CbCMD->SetItemIndex(1);
    TestWnd->SetCmdLayout(TestWnd->CbCMD->Text());
    TestWnd->CbID->SetItemIndex(0xFE);
    gui::Click(TestWnd->Button1);
    EXPECT_TRUE(gui::PumpUntil([&] { return !MemoText(TestWnd->Memo1).empty(); }, 10000));
    Shoot(TestWnd, folder + "brimsel-test-window.png");
}

} // namespace brimsel_test
