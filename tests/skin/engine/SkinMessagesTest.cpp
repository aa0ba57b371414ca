// The skin engine's message boxes: icon, caption and buttons by dialog type
// and button set, and the requested position around the box.
#include <gtest/gtest.h>

#include "framework/Application.h"
#include "skin/engine/qSkinMessages.h"
#include "skin/engine/qSkinWarning.h"

namespace {

// Answers the boxes instead of showing them, recording what they were.
struct TBoxRecorder {
    TBoxRecorder()
    {
        Application->MessageBoxHook = [this](const String& Text, const String& Caption, UINT Flags) {
            Texts.push_back(Text);
            Captions.push_back(Caption);
            FlagsSeen.push_back(Flags);
            Positions.emplace_back(RequestedDialogX, RequestedDialogY);
            return Answer;
        };
    }
    ~TBoxRecorder() { Application->MessageBoxHook = nullptr; }

    int Answer = IDOK;
    std::vector<String> Texts;
    std::vector<String> Captions;
    std::vector<UINT> FlagsSeen;
    std::vector<std::pair<int, int>> Positions;
};

}   // namespace

TEST(SkinMessages, FlagsByTypeAndButtons)
{
    struct Case {
        TMsgDlgType Type;
        TMsgDlgButtons Buttons;
        unsigned Flags;
    };
    const Case cases[] = {
        {mtError, mbAbort | mbRetry | mbIgnore, 0x12},
        {mtConfirmation, mbYes | mbNo | mbCancel | mbHelp, 0x4023},
        {mtCustom, mbOK, 0},
        {mtWarning, mbOK | mbCancel, MB_ICONWARNING | MB_OKCANCEL},
        {mtInformation, mbRetry | mbCancel, MB_ICONINFORMATION | MB_RETRYCANCEL},
        {mtInformation, mbCancel, MB_ICONINFORMATION | MB_OK},
        {mtWarning, mbYes | mbNo, MB_ICONWARNING | MB_YESNO},
        {mtWarning, mbIgnore, MB_ICONWARNING | MB_ABORTRETRYIGNORE},
        {mtWarning, mbOK | mbAbort, MB_ICONWARNING | MB_OK},   // the first rule that applies
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.Flags, SkinMessageFlags(c.Type, c.Buttons)) << c.Type << " " << c.Buttons;
}

TEST(SkinMessages, BoxCaptionAndPosition)
{
    TBoxRecorder boxes;
    boxes.Answer = IDRETRY;
    const String caption = "Own caption";
    EXPECT_EQ(IDRETRY, ShowSkinMessage(&caption, "text", mtError, mbRetry | mbCancel, 10, 20));
    EXPECT_EQ(-1, RequestedDialogX);
    EXPECT_EQ(-1, RequestedDialogY);
    EXPECT_EQ(IDRETRY, SkinMessageDlg("plain", mtCustom, mbOK));
    ShowWarningBox("careful");

    ASSERT_EQ(3u, boxes.Captions.size());
    EXPECT_EQ("Own caption", boxes.Captions[0]);
    EXPECT_EQ(std::make_pair(10, 20), boxes.Positions[0]);   // set while the box is shown
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR | MB_RETRYCANCEL), boxes.FlagsSeen[0]);
    EXPECT_EQ("", boxes.Captions[1]);
    EXPECT_EQ(0u, boxes.FlagsSeen[1]);
    EXPECT_EQ(std::make_pair(-1, -1), boxes.Positions[1]);
    EXPECT_EQ("careful", boxes.Texts[2]);
    EXPECT_EQ("Warning", boxes.Captions[2]);
    EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING | MB_OK), boxes.FlagsSeen[2]);
}
