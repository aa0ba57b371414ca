// Projects through the system's real open and save dialogs (no test hook
// answers them): the folder they start in, the question before a save
// replaces a project, and the status text an open leaves.
#include "tests/manager/VantrelFixture.h"

#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/StrUtils.h"

namespace vantrel_test {
namespace {

// Visible dialog-class windows of this thread, topmost first.
std::vector<HWND> DialogWindows()
{
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND Wnd, LPARAM Param) {
            wchar_t name[16] = {};
            GetClassNameW(Wnd, name, 16);
            if (IsWindowVisible(Wnd) && lstrcmpW(name, L"#32770") == 0)
                reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Wnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The folder an open or save dialog shows; empty for another window.
String DialogFolder(HWND Dialog)
{
    wchar_t folder[MAX_PATH] = {};
    if (SendMessageW(Dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder)) <= 0)
        return String();
    return WideToStr(folder);
}

// The texts of a window's children, one per line.
std::string ChildTexts(HWND Wnd)
{
    std::string texts;
    EnumChildWindows(
        Wnd,
        [](HWND Child, LPARAM Param) {
            wchar_t text[512] = {};
            GetWindowTextW(Child, text, 512);
            *reinterpret_cast<std::string*>(Param) += StrToUtf8(WideToStr(text)) + "\n";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

// What the user does in a file dialog, run from a thread timer while the
// dialog's own message loop runs. Cancel: the folder is read and the dialog
// cancelled. Otherwise the name is typed and confirmed, and a question about
// replacing a file is answered with Answer (IDYES or IDNO; after IDNO the
// dialog is cancelled). A script still running after its bound cancels
// every dialog, so that a failing test never hangs.
class DialogScript {
public:
    DialogScript(const char* Name, int Answer) : FName(Name), FAnswer(Answer)
    {
        Current = this;
        FStart = GetTickCount();
        FTimer = SetTimer(nullptr, 0, 50, Tick);
    }
    ~DialogScript()
    {
        KillTimer(nullptr, FTimer);
        Current = nullptr;
    }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    // After the dialog's end: a name confirmed without a question.
    void DialogEnded()
    {
        if (FStep == TStep::AwaitQuestion && !IsWindow(FDialog)) {
            ClosedWithoutQuestion = true;
            FStep = TStep::Done;
        }
    }

    String Folder;            // where the dialog started
    std::string Question;     // the texts of the replace question, when one came
    bool ClosedWithoutQuestion = false;
    bool TimedOut = false;

private:
    enum class TStep { FindDialog, AwaitQuestion, AwaitDialogAgain, Done };

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        if (Current != nullptr)
            Current->Step();
    }

    void Step()
    {
        const std::vector<HWND> windows = DialogWindows();
        if (FStep != TStep::Done && GetTickCount() - FStart > BoundMs) {
            TimedOut = true;
            FStep = TStep::Done;
            for (HWND w : windows)
                PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        HWND question = nullptr;
        for (HWND w : windows)
            if (GetDlgItem(w, IDYES) != nullptr && GetDlgItem(w, IDNO) != nullptr)
                question = w;
        switch (FStep) {
        case TStep::FindDialog:
            for (HWND w : windows) {
                const String folder = DialogFolder(w);
                if (folder.empty())
                    continue;
                FDialog = w;
                Folder = folder;
                if (FName == nullptr) {
                    PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
                    FStep = TStep::Done;
                    return;
                }
                // The name box is a combo box (cmb13) or an edit (edt1).
                const WideString name = StrToWide(FName);
                for (int id : {cmb13, edt1})
                    SendMessageW(w, CDM_SETCONTROLTEXT, id, reinterpret_cast<LPARAM>(name.c_str()));
                PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                FStep = TStep::AwaitQuestion;
                return;
            }
            return;
        case TStep::AwaitQuestion:
            if (question != nullptr) {
                Question = ChildTexts(question);
                PostMessageW(question, WM_COMMAND, MAKEWPARAM(FAnswer, BN_CLICKED), 0);
                FStep = FAnswer == IDNO ? TStep::AwaitDialogAgain : TStep::Done;
            } else if (!IsWindow(FDialog)) {
                ClosedWithoutQuestion = true;
                FStep = TStep::Done;
            }
            return;
        case TStep::AwaitDialogAgain:
            if (question == nullptr && IsWindow(FDialog)) {
                PostMessageW(FDialog, WM_COMMAND, IDCANCEL, 0);
                FStep = TStep::Done;
            }
            return;
        case TStep::Done:
            return;
        }
    }

    static constexpr DWORD BoundMs = 15000;
    static inline DialogScript* Current = nullptr;
    const char* FName;
    int FAnswer;
    DWORD FStart = 0;
    UINT_PTR FTimer = 0;
    TStep FStep = TStep::FindDialog;
    HWND FDialog = nullptr;
};

// A folder path without its trailing separator, as the dialogs give it.
String WithoutSlash(const String& Folder)
{
    return !Folder.empty() && Folder.back() == '\\' ? Folder.substr(0, Folder.size() - 1) : Folder;
}

class ProjectDialogsTest : public VantrelTest {
protected:
    void SetUp() override
    {
        VantrelTest::SetUp();
        GetCurrentDirectoryW(MAX_PATH, FStarted);
        for (String* folder : {&First, &Second}) {
            *folder = Application->ExePath() + (folder == &First ? "projects-a" : "projects-b");
            RemovePath(*folder);
            CreateDirectoryW(StrToWide(*folder).c_str(), nullptr);
            *folder += "\\";
        }
    }
    void TearDown() override
    {
        SetCurrentDirectoryW(FStarted);
        RemovePath(WithoutSlash(First));
        RemovePath(WithoutSlash(Second));
        VantrelTest::TearDown();
    }

    // Runs a dialog button with the script; its outcome checked by the caller.
    void Run(TControl* Button, DialogScript& Script)
    {
        GuardCallback([&] { Button->Click(); });
        Script.DialogEnded();
        EXPECT_FALSE(Script.TimedOut) << "the dialog did not go as the script expects";
    }

    String First;
    String Second;

private:
    wchar_t FStarted[MAX_PATH] = {};
};

} // namespace

TEST_F(ProjectDialogsTest, TheDialogsStartInTheLastProjectsFolderElseTheProgramsFolder)
{
    // Started from another folder than the program's.
    ASSERT_TRUE(SetCurrentDirectoryW(StrToWide(Second).c_str()));
    {
        DialogScript script(nullptr, 0);
        Run(Main->BnOpen, script);
        EXPECT_TRUE(SameText(script.Folder, WithoutSlash(Application->ExePath()))) << gui::Utf8(script.Folder);
    }
    {
        DialogScript script(nullptr, 0);
        Run(Main->BnSave, script);
        EXPECT_TRUE(SameText(script.Folder, WithoutSlash(Application->ExePath()))) << gui::Utf8(script.Folder);
    }
    // A project saved in one folder, then one opened from another.
    ASSERT_TRUE(Main->SaveRedMemXml(First + "tv.pir", 0));
    for (TControl* button : {static_cast<TControl*>(Main->BnOpen), static_cast<TControl*>(Main->BnSave)}) {
        DialogScript script(nullptr, 0);
        Run(button, script);
        EXPECT_TRUE(SameText(script.Folder, WithoutSlash(First))) << gui::Utf8(script.Folder);
    }
    ASSERT_TRUE(Main->SaveRedMemXml(Second + "other.pir", 1));
    ASSERT_TRUE(Main->LoadRedMemXml(First + "tv.pir", 0));
    for (TControl* button : {static_cast<TControl*>(Main->BnSave), static_cast<TControl*>(Main->BnOpen)}) {
        DialogScript script(nullptr, 0);
        Run(button, script);
        EXPECT_TRUE(SameText(script.Folder, WithoutSlash(First))) << gui::Utf8(script.Folder);
    }
}

TEST_F(ProjectDialogsTest, TheSaveDialogAsksBeforeReplacingAProject)
{
    Main->SetCode(0, 1, Record(10, 1));
    ASSERT_TRUE(Main->SaveRedMemXml(First + "tv.pir", 0));
    const std::string oldCodes = ReadBytes(First + "tv.ir");
    const std::string oldNames = ReadBytes(First + "tv.pir");
    Main->SetCode(0, 1, Record(20, 2));

    // Typed without its extension: the name is the project's ".pir".
    {
        DialogScript script("tv", IDNO);
        Run(Main->BnSave, script);
        EXPECT_FALSE(script.ClosedWithoutQuestion) << "the project was replaced without a question";
    }
    EXPECT_EQ(ReadBytes(First + "tv.ir"), oldCodes) << "the answer No keeps the project";
    EXPECT_EQ(ReadBytes(First + "tv.pir"), oldNames);

    {
        DialogScript script("tv.pir", IDYES);
        Run(Main->BnSave, script);
        EXPECT_FALSE(script.ClosedWithoutQuestion) << "the project was replaced without a question";
    }
    EXPECT_NE(ReadBytes(First + "tv.ir"), oldCodes) << "the answer Yes replaces the project";
    ASSERT_TRUE(Main->LoadRedMemXml(First + "tv.pir", 3));
    EXPECT_EQ(HexOf(Main->Code(3, 1)), HexOf(Record(20, 2)));

    // A new name is saved without a question.
    {
        DialogScript script("other", IDYES);
        Run(Main->BnSave, script);
        EXPECT_TRUE(script.ClosedWithoutQuestion) << script.Question;
    }
    EXPECT_FALSE(ReadBytes(First + "other.ir").empty());
}

TEST_F(ProjectDialogsTest, OpeningAProjectNamesItInTheStatusBar)
{
    Main->SetCode(2, 5, Record(12, 5));
    ASSERT_TRUE(Main->SaveRedMemXml(First + "tv.pir", 2));
    Main->ShowStatus("发送完成！");
    {
        gui::FileDialogAnswers dialogs([&](TOpenDialog* Dialog, bool) {
            Dialog->FileName = First + "tv.pir";
            return true;
        });
        Main->BnOpen->Click();
    }
    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("打开完成：tv.pir"));

    Main->ShowStatus("发送完成！");
    vantrel::OpenStartupProject(L"Vantrel.exe \"" + StrToWide(First + "tv.pir") + L"\"");
    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("打开完成：tv.pir"));

    // A project that cannot be opened leaves the status as it was; its error is shown.
    Main->ShowStatus("发送完成！");
    WriteBytes(First + "tv.ir", "\x01");
    GuardCallback([&] { Main->LoadRedMemXml(First + "tv.pir", 0); });
    EXPECT_EQ(TakeBoxes().size(), 1u);
    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("发送完成！"));
}

} // namespace vantrel_test
