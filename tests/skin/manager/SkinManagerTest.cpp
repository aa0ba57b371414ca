// The skin manager: choosing a skin by name (packed file, folder, stored
// skin), the change events and broadcasts, failed loads, the skin list,
// hover tracking and the application window hook.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <clocale>
#include <memory>

#include "../../support/TempDir.h"
#include "../support/SkinPackBuilder.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "skin/engine/qConst.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSysUtils.h"

namespace {

// Records the skin sub-commands a window receives, with their lParam.
class TCommandRecorder {
public:
    explicit TCommandRecorder(HWND Wnd) : FWnd(Wnd) { SetWindowSubclass(Wnd, Proc, 1, reinterpret_cast<DWORD_PTR>(this)); }
    ~TCommandRecorder() { RemoveWindowSubclass(FWnd, Proc, 1); }
    std::vector<std::pair<int, LPARAM>> Commands;
    // When set, every sub-command is also logged here with its window.
    std::vector<std::pair<HWND, int>>* Log = nullptr;
    // SkinChanging as each sub-command arrived.
    std::vector<bool> Changing;

private:
    static LRESULT CALLBACK Proc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L, UINT_PTR, DWORD_PTR Self)
    {
        if (Msg == SM_ZORVIKCMD) {
            auto* recorder = reinterpret_cast<TCommandRecorder*>(Self);
            recorder->Commands.emplace_back(SkinSubCommand(W), L);
            recorder->Changing.push_back(SkinChanging);
            if (recorder->Log != nullptr)
                recorder->Log->emplace_back(Wnd, SkinSubCommand(W));
        }
        return DefSubclassProc(Wnd, Msg, W, L);
    }
    HWND FWnd;
};

// A form of the application that hears the broadcasts.
struct TListeningForm {
    TListeningForm() : Form(new TForm(Application)), Recorder(Form->Handle()) {}
    std::unique_ptr<TForm> Form;
    TCommandRecorder Recorder;

    // The commands the form was given; a broadcast first asks a form whether
    // it is skinned (a question, not a command), which is left out here.
    std::vector<int> SubCommands() const
    {
        std::vector<int> subs;
        for (const auto& c : Recorder.Commands)
            if (c.first != scmIsSkinned)
                subs.push_back(c.first);
        return subs;
    }
};

// A manager owned by the test (the default one when no other exists).
std::unique_ptr<TqSkinManager> NewManager() { return std::make_unique<TqSkinManager>(nullptr); }

void AddStored(TqSkinManager& M, const String& Name, const String& Section)
{
    TqStoredSkin* skin = M.InternalSkins().Add();
    skin->Name = Name;
    skin->GeneralData.Add()->SectionName = Section;
}

void AddPacked(TqSkinManager& M, const String& Name, const std::string& Options)
{
    TqStoredSkin* skin = M.InternalSkins().Add();
    skin->Name = Name;
    const std::string bytes = skintest::PackEntries({{"Options.dat", Options}});
    skin->Data.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
}

// Sets the name as the form data does while it loads, answering every box
// and recording SkinChanging as each one came.
void SetNameWhileLoading(TqSkinManager& M, const String& Name, std::vector<bool>& Changing)
{
    Application->MessageBoxHook = [&](const String&, const String&, UINT) {
        Changing.push_back(SkinChanging);
        return IDOK;
    };
    M.BeginLoading();
    M.SetSkinName(Name);
    M.EndLoading();
    Application->MessageBoxHook = nullptr;
}

}   // namespace

TEST(SkinManager, DefaultManagerAndApplicationHook)
{
    ASSERT_EQ(nullptr, TqSkinManager::DefaultManager());
    auto first = NewManager();
    EXPECT_TRUE(first->IsDefault());
    EXPECT_EQ("5.36", first->Version());
    first->SetVersion("1.0");
    first->SetSkinInfo("9");
    EXPECT_EQ("5.36", first->Version());
    EXPECT_EQ("N/A", first->SkinInfo());
    EXPECT_EQ("c:\\Skins", first->SkinDirectory());

    // A hook added after the manager's never sees WM_THEMECHANGED.
    std::vector<UINT> seen;
    const int id = Application->HookMainWindow([&](TMessage& M) {
        if (M.Msg == WM_THEMECHANGED || M.Msg == WM_USER + 5)
            seen.push_back(M.Msg);
        return false;
    });
    SendMessageW(Application->Handle(), WM_THEMECHANGED, 0, 0);
    SendMessageW(Application->Handle(), WM_USER + 5, 0, 0);
    EXPECT_EQ(std::vector<UINT>{WM_USER + 5}, seen);

    auto second = NewManager();
    EXPECT_FALSE(second->IsDefault());
    AddStored(*second, "S", "SECTION");
    second->SetSkinName("S");
    EXPECT_TRUE(second->SkinData().Loaded);
    EXPECT_FALSE(second->CreationHookInstalled());   // only the default manager installs it
    second->SetIsDefault(false);
    EXPECT_FALSE(second->IsDefault());

    first.reset();   // the process is left without a default manager
    EXPECT_EQ(nullptr, TqSkinManager::DefaultManager());
    EXPECT_FALSE(second->IsDefault());
    seen.clear();
    SendMessageW(Application->Handle(), WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(std::vector<UINT>{WM_THEMECHANGED}, seen);   // nobody swallows it now
    Application->UnhookMainWindow(id);
}

TEST(SkinManager, TheApplicationHookGoesWithTheDefaultManager)
{
    auto first = NewManager();
    auto second = NewManager();
    second->SetIsDefault(true);
    ASSERT_TRUE(second->IsDefault());
    std::vector<UINT> seen;
    const int id = Application->HookMainWindow([&](TMessage& M) {
        if (M.Msg == WM_THEMECHANGED)
            seen.push_back(M.Msg);
        return false;
    });
    // The first manager is gone: nothing of it may stay in the chain.
    first.reset();
    SendMessageW(Application->Handle(), WM_THEMECHANGED, 0, 0);
    EXPECT_TRUE(seen.empty());   // the new default manager's hook swallows it
    second.reset();
    SendMessageW(Application->Handle(), WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(std::vector<UINT>{WM_THEMECHANGED}, seen);
    Application->UnhookMainWindow(id);
}

TEST(SkinManager, StoredSkinsByName)
{
    auto m = NewManager();
    m->SetSkinDirectory("c:\\no such folder");
    AddStored(*m, "A", "SA");
    AddStored(*m, "B", "SB");
    int before = 0, after = 0;
    m->OnBeforeChange = [&](TObject* S) {
        EXPECT_EQ(m.get(), S);
        ++before;
    };
    m->OnAfterChange = [&](TObject*) {
        EXPECT_FALSE(SkinChanging);
        ++after;
    };

    // Inactive: the name is stored, nothing fires.
    m->SetActive(false);
    m->SetSkinName("B");
    EXPECT_EQ(0, before);
    EXPECT_EQ(-1, m->FindSectionIndex("SB"));
    m->SetActive(true);
    EXPECT_EQ(0, m->FindSectionIndex("SB"));
    EXPECT_EQ(1, before);

    struct Case {
        const char* Asked;
        const char* Chosen;
        const char* Section;
    };
    for (const Case& c : {Case{"C", "A", "SA"}, Case{"b", "A", "SA"}, Case{"B", "B", "SB"}}) {
        SCOPED_TRACE(c.Asked);
        m->SetSkinName(c.Asked);
        EXPECT_EQ(c.Chosen, m->SkinName());
        EXPECT_EQ(0, m->FindSectionIndex(c.Section));
        EXPECT_TRUE(m->SkinData().Loaded);
        EXPECT_EQ("", m->SkinData().SkinPath);
    }
    EXPECT_EQ(4, before);
    EXPECT_EQ(4, after);
}

TEST(SkinManager, NoSkinAtAll)
{
    TListeningForm listener;
    auto m = NewManager();
    m->SetSkinDirectory("c:\\no such folder");
    int before = 0, after = 0;
    m->OnBeforeChange = [&](TObject*) { ++before; };
    m->OnAfterChange = [&](TObject*) { ++after; };
    m->SetSkinName("X");
    EXPECT_FALSE(m->Active());
    EXPECT_FALSE(m->SkinData().Loaded);
    EXPECT_EQ(1, before);
    EXPECT_EQ(1, after);
    ASSERT_EQ(std::vector<int>{scmSkinRemoved}, listener.SubCommands());
    EXPECT_EQ(reinterpret_cast<LPARAM>(m.get()), listener.Recorder.Commands.back().second);

    // Setting Active again tries again, with a stored skin this time.
    AddStored(*m, "S", "SECTION");
    listener.Recorder.Commands.clear();
    listener.Recorder.Changing.clear();
    m->SetActive(true);
    EXPECT_EQ("S", m->SkinName());
    EXPECT_EQ((std::vector<int>{scmSkinLoaded, scmStopFade, scmRefresh}), listener.SubCommands());
    // The skin change lasts until the new skin is applied and repainted.
    ASSERT_EQ(listener.Recorder.Commands.size(), listener.Recorder.Changing.size());
    for (std::size_t i = 0; i < listener.Recorder.Changing.size(); ++i)
        EXPECT_TRUE(listener.Recorder.Changing[i]) << "sub-command " << listener.Recorder.Commands[i].first;
    EXPECT_FALSE(SkinChanging);
}

TEST(SkinManager, ChoiceOrderOnDisk)
{
    testfs::TempDir dir("skinmanager");
    auto m = NewManager();
    m->SetSkinDirectory(testfs::PathStr(dir.Path()));
    AddStored(*m, "N", "STORED");
    std::filesystem::create_directories(dir / "N");
    testfs::WriteBytes(dir / "N" / "Options.dat", "[GLOBALINFO]\nVERSION=5.2\n[FOLDER]\n");

    m->SetSkinName("N");
    EXPECT_EQ(1, m->FindSectionIndex("FOLDER"));
    EXPECT_FALSE(m->PackedSource());
    EXPECT_EQ(testfs::PathStr(dir / "N") + "\\", m->SkinData().SkinPath);

    // A packed file of the name comes first.
    testfs::WriteBytes(dir / "N.zvk", skintest::PackEntries({{"Options.dat", "[PACKED]\n"}}));
    m->SetSkinName("N");
    EXPECT_EQ(0, m->FindSectionIndex("PACKED"));
    EXPECT_TRUE(m->PackedSource());
    EXPECT_EQ(testfs::PathStr(dir.Path()) + "\\", m->SkinData().SkinPath);

    // Under a locale whose decimal separator is a comma, VERSION 5.2 still reads "5.2".
    std::filesystem::remove(dir / "N.zvk");
    std::setlocale(LC_ALL, "German");
    m->SetSkinName("N");
    EXPECT_EQ("5.2", m->SkinInfo());
    std::setlocale(LC_ALL, "C");

    // A stored skin holding a packed skin.
    AddPacked(*m, "P", "[GLOBALINFO]\nVERSION=4.5\n[FROMDATA]\n");
    m->SetSkinName("P");
    EXPECT_EQ(1, m->FindSectionIndex("FROMDATA"));
    EXPECT_EQ("4.5", m->SkinInfo());
}

TEST(SkinManager, FailedLoadKeepsTheSkin)
{
    testfs::TempDir dir("skinmanagerbad");
    auto m = NewManager();
    m->SetSkinDirectory(testfs::PathStr(dir.Path()));
    AddStored(*m, "A", "SA");
    AddStored(*m, "D", "SD");
    m->SetSkinName("A");
    ASSERT_TRUE(m->SkinData().Loaded);

    testfs::WriteBytes(dir / "D.zvk", skintest::PackEntries({{"Options.dat", "[X]\n", 40}}));   // unpacks short
    std::filesystem::create_directories(dir / "E");
    testfs::WriteBytes(dir / "E" / "Options.dat", "[GLOBALINFO]\nSHADOW1BLUR=x\n[E]\n");
    for (const char* name : {"D", "E"}) {
        SCOPED_TRACE(name);
        EXPECT_ANY_THROW(m->SetSkinName(name));
        EXPECT_EQ("A", m->SkinName());
        EXPECT_TRUE(m->SkinData().Loaded);
        EXPECT_EQ(0, m->FindSectionIndex("SA"));
        EXPECT_FALSE(SkinChanging);
        EXPECT_FALSE(SkinApplying);
    }

    // While the form data loads, the error is reported once and the stored
    // skin of that name is used.
    std::vector<bool> changing;   // SkinChanging as each box came
    SetNameWhileLoading(*m, "D", changing);
    EXPECT_EQ(1u, changing.size());
    EXPECT_EQ("D", m->SkinName());
    EXPECT_EQ(0, m->FindSectionIndex("SD"));
    EXPECT_TRUE(m->SkinData().Loaded);

    // The stored skin read in its place is read as a skin change too: its
    // warning (its data is no packed skin) comes while SkinChanging is raised.
    TqStoredSkin* plain = m->InternalSkins().Add();
    plain->Name = "W";
    const std::string notPacked = "no packed skin";
    plain->Data.WriteBuffer(notPacked.data(), static_cast<Integer>(notPacked.size()));
    testfs::WriteBytes(dir / "W.zvk", skintest::PackEntries({{"Options.dat", "[X]\n", 40}}));
    changing.clear();
    SetNameWhileLoading(*m, "W", changing);
    ASSERT_EQ(2u, changing.size());   // the error box, then the warning
    EXPECT_TRUE(changing[1]);
    EXPECT_EQ("W", m->SkinName());
    EXPECT_FALSE(SkinChanging);
}

TEST(SkinManager, WrongMagicLoadsEmptyOptions)
{
    testfs::TempDir dir("skinmanagermagic");
    auto m = NewManager();
    m->SetSkinDirectory(testfs::PathStr(dir.Path()));
    testfs::WriteBytes(dir / "W.zvk", "this is no packed skin");
    std::vector<String> warnings;
    Application->MessageBoxHook = [&](const String& Text, const String&, UINT) {
        warnings.push_back(Text);
        return IDOK;
    };
    m->SetSkinName("W");
    Application->MessageBoxHook = nullptr;
    EXPECT_EQ(std::vector<String>{"Loaded data is not packed ZorvikSkin file"}, warnings);
    EXPECT_TRUE(m->Active());
    EXPECT_TRUE(m->SkinData().Loaded);
    EXPECT_TRUE(m->Skin().Sections.empty());
}

TEST(SkinManager, ListAvailableSkins)
{
    testfs::TempDir dir("skinlist");
    auto m = NewManager();
    m->SetSkinDirectory(testfs::PathStr(dir.Path()));
    AddStored(*m, "Stored", "S");
    std::filesystem::create_directories(dir / "Folder");
    testfs::WriteBytes(dir / "Folder" / "Options.dat", "[A]\n");
    std::filesystem::create_directories(dir / "Empty");
    std::filesystem::create_directories(dir / ".Hidden");
    testfs::WriteBytes(dir / ".Hidden" / "Options.dat", "[A]\n");
    testfs::WriteBytes(dir / "Two.dots.zvk", "x");
    testfs::WriteBytes(dir / "Upper.ZVK", "x");
    testfs::WriteBytes(dir / "Other.txt", "x");

    const std::pair<Byte, const char*> cases[] = {
        {0, "Folder\r\nStored\r\n"},
        {1, "Stored\r\nTwo\r\n"},
        {2, "Folder\r\nStored\r\nTwo\r\n"},
    };
    for (const auto& [mode, expected] : cases) {
        TStringList list;
        list.Add("old");
        String first = "old";
        m->ListAvailableSkins(&list, mode, first);
        EXPECT_EQ(expected, list.Text()) << int(mode);
        EXPECT_EQ("Stored", first);
    }
}

TEST(SkinManager, RelativeSkinDirectory)
{
    // ".\" is the program folder for folders, the current folder for the packed file.
    testfs::TempDir current("skincwd");
    const String program = ProgramFolder();
    const String sub = "skinrel" + std::to_string(GetCurrentProcessId());
    std::filesystem::create_directories(std::filesystem::path(StrToWide(program + sub + "\\F")));
    testfs::WriteBytes(std::filesystem::path(StrToWide(program + sub + "\\F\\Options.dat")), "[PROGRAMFOLDER]\n");
    std::filesystem::create_directories(current / sub);
    testfs::WriteBytes(current / sub / "F.zvk", skintest::PackEntries({{"Options.dat", "[CURRENTFOLDER]\n"}}));

    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    auto m = NewManager();
    m->SetSkinDirectory(".\\" + sub);
    String resolved;
    m->ResolveSkinDirectory(resolved);
    EXPECT_EQ(program + sub, resolved);
    m->SetSkinName("F");
    EXPECT_EQ(0, m->FindSectionIndex("PROGRAMFOLDER"));
    SetCurrentDirectoryW(current.Path().wstring().c_str());
    m->SetSkinName("F");
    EXPECT_EQ(0, m->FindSectionIndex("CURRENTFOLDER"));
    SetCurrentDirectoryW(saved);
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(StrToWide(program + sub)), ignored);

    m->SetSkinDirectory("..\\up");
    m->ResolveSkinDirectory(resolved);
    String parent = program.substr(0, program.size() - 1);
    parent.resize(parent.rfind('\\') + 1);
    EXPECT_EQ(parent + "up", resolved);
    m->SetSkinDirectory("d:\\x");
    m->ResolveSkinDirectory(resolved);
    EXPECT_EQ("d:\\x", resolved);
}

TEST(SkinManager, HoverTracking)
{
    TListeningForm a, b;
    std::vector<std::pair<HWND, int>> order;   // both windows, in the order they heard
    a.Recorder.Log = b.Recorder.Log = &order;
    auto m = NewManager();
    m->SetActiveControl(a.Form->Handle());
    m->SetActiveControl(a.Form->Handle());   // the same window: nothing
    m->SetActiveControl(b.Form->Handle());
    const HWND wa = a.Form->Handle(), wb = b.Form->Handle();
    EXPECT_EQ((std::vector<std::pair<HWND, int>>{{wa, scmMouseEnter}, {wa, scmMouseLeave}, {wb, scmMouseEnter}}),
              order);
    EXPECT_EQ(reinterpret_cast<LPARAM>(m.get()), b.Recorder.Commands[0].second);
    EXPECT_EQ(reinterpret_cast<LPARAM>(m.get()), a.Recorder.Commands[1].second);
}

TEST(SkinManager, CommonSectionsReload)
{
    auto m = NewManager();
    m->SetSkinDirectory("c:\\no such folder");
    AddStored(*m, "A", "SA");
    m->SetSkinName("A");
    TStringList common;
    common.SetText("[EXTRA]\nCOLOR = 12\n; a comment stays as it is\n");
    m->SetCommonSections(&common);
    EXPECT_EQ("COLOR=12", m->CommonSections()->Strings(1));
    EXPECT_EQ("; a comment stays as it is", m->CommonSections()->Strings(2));
    const int extra = m->FindSectionIndex("EXTRA");
    ASSERT_EQ(1, extra);
    EXPECT_EQ(12, m->Skin().Sections[1].Color);
}
