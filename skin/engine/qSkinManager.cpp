#include "skin/engine/qSkinManager.h"

#include <charconv>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/MemIniFile.h"
#include "framework/StrUtils.h"
#include "skin/engine/qAnimEffects.h"
#include "skin/engine/qConst.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinBroadcasts.h"
#include "skin/engine/qSkinOptions.h"
#include "skin/engine/qSkinRecolour.h"
#include "skin/engine/qSysUtils.h"
#include "skin/engine/qUtils.h"
#include "skin/engine/zqSkinPack.h"

bool SkinChanging = false;
bool SkinApplying = false;
bool SkinRemoving = false;

namespace {

TqSkinManager* TheDefaultManager = nullptr;

bool QueryNTPlatform()
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    return GetVersionExW(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// Raises a process-wide flag for the life of the object and gives it back
// its previous value on every path out, errors included, so that a step
// nested in a longer raised stretch does not lower the flag early.
class TFlagRaised {
public:
    explicit TFlagRaised(bool& Flag) : FFlag(Flag), FPrevious(Flag) { FFlag = true; }
    ~TFlagRaised() { FFlag = FPrevious; }
    TFlagRaised(const TFlagRaised&) = delete;
    TFlagRaised& operator=(const TFlagRaised&) = delete;

private:
    bool& FFlag;
    bool FPrevious;
};

const char* const OptionsFileName = "Options.dat";

String StreamText(TMemoryStream& Stream)
{
    return String(static_cast<const char*>(Stream.Memory()), static_cast<std::size_t>(Stream.Size()));
}

bool DirectoryExists(const String& Path)
{
    const DWORD attributes = GetFileAttributesW(StrToWide(Path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}   // namespace

bool IsNTPlatform = QueryNTPlatform();

TqSkinManager* TqSkinManager::DefaultManager()
{
    return TheDefaultManager;
}

TqSkinManager::TqSkinManager(TComponent* AOwner)
    : TComponent(AOwner), FModel(std::make_unique<TqSkinModel>()), FAnimEffects(std::make_unique<TzqAnimEffects>())
{
    FAnimEffects->SetManager(this);
    if (TheDefaultManager == nullptr) {
        TheDefaultManager = this;
        HookApplicationWindow();
    }
    if (MenuPainterMaker != nullptr)
        FSkinableMenus = MenuPainterMaker(this);
}

TqSkinManager::~TqSkinManager()
{
    // Marked first, so that the windows told of the removal forget this manager.
    Destroying();
    GuardCallback([this] { SetActive(false); });
    GuardCallback([this] { RemoveCreationHook(); });
    // Also when another manager has been made the default since: the
    // chain must never call a manager that is gone.
    UnhookApplicationWindow();
    if (TheDefaultManager == this)
        TheDefaultManager = nullptr;
}

void TqSkinManager::HookApplicationWindow()
{
    if (FMainWindowHookId == 0 && IsNTPlatform && !IsDesigning())
        FMainWindowHookId = Application->HookMainWindow([this](TMessage& M) { return MainWindowHook(M); });
}

void TqSkinManager::UnhookApplicationWindow()
{
    if (FMainWindowHookId == 0)
        return;
    Application->UnhookMainWindow(FMainWindowHookId);
    FMainWindowHookId = 0;
}

void TqSkinManager::Loaded()
{
    TComponent::Loaded();
    if (FSkinDirectory.empty())
        FSkinDirectory = "c:\\Skins";
    if (FMenuSupport.IcoLineSkin.empty())
        FMenuSupport.IcoLineSkin = "ICOLINE";
    if (FActive && !FSkinName.empty())
        ApplyLoadedSkin();
}

void TqSkinManager::SetSkinDirectory(const String& Value)
{
    if (Value == FSkinDirectory)
        return;
    FSkinDirectory = Value;
    ResolveSkinDirectory(FSkinData.SkinPath);
}

void TqSkinManager::ResolveSkinDirectory(String& Path) const
{
    const String program = ProgramFolder();
    const String& dir = FSkinDirectory;
    if (dir.rfind("..", 0) == 0) {
        // The program folder without its last folder name.
        String parent = program.substr(0, program.size() - 1);
        while (!parent.empty() && parent.back() != '\\' && parent.back() != '/')
            parent.pop_back();
        Path = parent + dir.substr(std::min<std::size_t>(3, dir.size()));
    } else if (dir.rfind(".\\", 0) == 0 || dir.rfind("./", 0) == 0) {
        Path = program + dir.substr(2);
    } else if (dir.find(':') == String::npos && dir.find("\\\\") == String::npos) {
        Path = program + dir;
    } else {
        Path = dir;
    }
}

String TqSkinManager::PackedFileName() const
{
    return AddTrailingSeparator(FSkinDirectory) + FSkinName + ".zvk";
}

void TqSkinManager::SetSkinName(const String& Value)
{
    const String previousName = FSkinName;
    FSkinName = Value;
    if (!FActive)
        return;
    if (OnBeforeChange)
        OnBeforeChange(this);
    const bool wasLoaded = FSkinData.Loaded;
    {
        // Raised from the choice until the skin is applied (or removed).
        TFlagRaised changing(SkinChanging);
        try {
            ChooseAndLoad();
        } catch (const Exception&) {
            if (!IsLoading()) {
                // The previous skin stays, with its name and state.
                FSkinName = previousName;
                FSkinData.Loaded = wasLoaded;
                throw;
            }
            // Program start: report the disk skin once and use the stored skin.
            Application->HandleException(this);
            const int stored = FInternalSkins.IndexOfName(Value);
            LoadStoredSkin(stored >= 0 ? stored : 0);
        }
        if (FActive)
            ApplyLoadedSkin();
        else
            RemoveSkinFromForms();
    }
    if (OnAfterChange)
        OnAfterChange(this);
}

void TqSkinManager::ChooseAndLoad()
{
    TFlagRaised changing(SkinChanging);
    FSkinData.Loaded = false;
    if (FileExists(PackedFileName())) {
        LoadPackedSkin();
        return;
    }
    LoadFolderOrStoredSkin();
}

void TqSkinManager::ReadInto(TqSkinSource& Source, const String& SkinPath)
{
    auto model = std::make_unique<TqSkinModel>();
    model->Header.BISpace = FSkinData.BISpace;   // a stored skin does not give it
    Source.Manager = this;
    Source.SkinPath = SkinPath;
    Source.CommonSections = &FCommonSections;
    ReadSkin(Source, *model);
    ::ApplyHueOffset(*model, FHueOffset);
    ::ApplySaturation(*model, FSaturation);
    model->CacheCommonIndexes();
    FModel = std::move(model);
    const bool loaded = FSkinData.Loaded;
    FSkinData = FModel->Header;
    FSkinData.Loaded = loaded;
    FSkinData.SkinPath = SkinPath;
}

void TqSkinManager::SetHueOffset(Integer Value)
{
    if (Value == FHueOffset)
        return;
    FHueOffset = Value;
    ReadAgain();
}

void TqSkinManager::SetSaturation(Integer Value)
{
    if (Value == FSaturation)
        return;
    FSaturation = Value;
    ReadAgain();
}

void TqSkinManager::ApplyHueOffset(Integer Offset)
{
    ::ApplyHueOffset(*FModel, Offset);
}

void TqSkinManager::ApplySaturation(Integer Value)
{
    ::ApplySaturation(*FModel, Value);
}

void TqSkinManager::ReadAgain()
{
    if (!FSkinData.Loaded)
        return;
    {
        TFlagRaised changing(SkinChanging);
        if (FileExists(PackedFileName()))
            LoadPackedSkin();
        else
            LoadFolderOrStoredSkin();
    }
    if (!IsLoading() && (ComponentState() & csReading) == 0)
        RepaintSkinnedForms();
}

void TqSkinManager::LoadPackedSkin()
{
    if (!FActive)
        return;
    TFlagRaised changing(SkinChanging);
    std::unique_ptr<TzqSkinConvertor> reader;
    LoadSkinPackFile(PackedFileName(), reader, true);
    TMemIniFile options;
    if (reader && reader->Options)
        options.SetText(StreamText(*reader->Options));
    TqSkinSource source;
    source.Options = &options;
    source.Packed = reader.get();
    String dir;
    ResolveSkinDirectory(dir);
    ReadInto(source, dir + "\\");
    FPackedSource = true;
}

void TqSkinManager::LoadFolderOrStoredSkin()
{
    if (!FActive)
        return;
    TFlagRaised changing(SkinChanging);
    String dir;
    ResolveSkinDirectory(dir);
    const String folder = dir + "\\" + FSkinName + "\\";
    if (FileExists(folder + OptionsFileName)) {
        TMemoryStream bytes;
        bytes.LoadFromFile(folder + OptionsFileName);
        TMemIniFile options(StreamText(bytes));
        TqSkinSource source;
        source.Options = &options;
        ReadInto(source, folder);
        FPackedSource = false;
        return;
    }
    int index = FInternalSkins.IndexOfName(FSkinName);
    if (index < 0) {
        if (FInternalSkins.Count() == 0) {
            FActive = false;
            return;
        }
        index = 0;
    }
    LoadStoredSkin(index);
}

void TqSkinManager::LoadStoredSkin(int Index)
{
    if (Index >= FInternalSkins.Count()) {
        FActive = false;
        return;
    }
    TqStoredSkin* stored = FInternalSkins.Items(Index);
    FSkinName = stored->Name;
    TqSkinSource source;
    TMemIniFile options;
    std::unique_ptr<TzqSkinConvertor> reader;
    if (stored->Data.Size() > 0) {
        reader = std::make_unique<TzqSkinConvertor>();
        reader->SetSource(&stored->Data);
        reader->Unpack();
        reader->SetSource(nullptr);
        if (reader->Options)
            options.SetText(StreamText(*reader->Options));
        source.Options = &options;
        source.Packed = reader.get();
    } else {
        source.Stored = stored;
    }
    ReadInto(source, String());
    FPackedSource = reader != nullptr;
}

void TqSkinManager::Broadcast(int SubCommand)
{
    TMessage message{SM_ZORVIKCMD, SkinCommandWParam(SubCommand), reinterpret_cast<LPARAM>(this), 0};
    BroadcastToAppForms(message);
}

bool TqSkinManager::FormsFreezable() const
{
    // While the manager loads nothing thaws the forms afterwards, so they
    // are not frozen then either.
    return !IsDesigning() && !IsLoading() && Application->MainForm != nullptr;
}

void TqSkinManager::ApplyLoadedSkin()
{
    const bool freeze = FormsFreezable();
    if (freeze)
        FreezeSkinnedForms(this);
    try {
        FSkinData.Loaded = false;
        if (FSkinableMenus)
            FSkinableMenus->SkinApplied();
        {
            TFlagRaised applying(SkinApplying);
            FModel->CacheCommonIndexes();
            Broadcast(scmSkinLoaded);
        }
        FSkinData.Loaded = true;
        if (IsDefault() && !FHookInstalled)
            InstallCreationHook();
    } catch (...) {
        // No form stays frozen (and so hidden) after a failed change.
        if (freeze)
            ThawSkinnedForms(this, false);
        throw;
    }
    RepaintSkinnedForms();
}

void TqSkinManager::SetSkinnedPopups(bool Value)
{
    if (Value == FSkinnedPopups)
        return;
    FSkinnedPopups = Value;
    if (Value && FSkinableMenus && !IsDesigning())
        FSkinableMenus->UpdateActive();
}

void TqSkinManager::RepaintSkinnedForms()
{
    if (!IsDesigning())
        Broadcast(scmStopFade);
    const bool freeze = FormsFreezable();
    if (freeze)
        FreezeSkinnedForms(this);
    try {
        Broadcast(scmRefresh);
    } catch (...) {
        if (freeze)
            ThawSkinnedForms(this, false);
        throw;
    }
    if (freeze)
        ThawSkinnedForms(this, true);
}

void TqSkinManager::RemoveSkinFromForms()
{
    TFlagRaised removing(SkinRemoving);
    RemoveCreationHook();
    FSkinData.Loaded = false;
    Broadcast(scmSkinRemoved);
    auto empty = std::make_unique<TqSkinModel>();
    empty->Header = FModel->Header;   // the header keeps its values
    FModel = std::move(empty);
}

void TqSkinManager::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    FActive = Value;
    if (Value) {
        SetSkinName(FSkinName);
        return;
    }
    if (!IsLoading())
        RemoveSkinFromForms();
    FModel->CacheCommonIndexes();
}

void TqSkinManager::SetIsDefault(bool Value)
{
    if (!Value && TheDefaultManager != nullptr)
        return;   // a default manager cannot be demoted
    // The application window's hook goes with the default manager.
    if (TheDefaultManager != nullptr && TheDefaultManager != this)
        TheDefaultManager->UnhookApplicationWindow();
    TheDefaultManager = this;
    HookApplicationWindow();
    if (FActive) {
        ApplyLoadedSkin();
        RepaintSkinnedForms();
    } else {
        RemoveSkinFromForms();
    }
}

void TqSkinManager::SetCommonSections(const TStrings* Value)
{
    FCommonSections.Clear();
    for (int i = 0; i < Value->Count(); ++i) {
        const String line = Value->Strings(i);
        FCommonSections.Add(line.empty() || line[0] == ';' ? line : RemoveChar(line, ' '));
    }
    SetSkinName(FSkinName);
}

String TqSkinManager::SkinInfo() const
{
    if (!FSkinData.Loaded)
        return "N/A";
    // The shortest text that reads back as the value, "." whatever the locale.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), FSkinData.Version);
    return String(buffer, result.ptr);
}

void TqSkinManager::ListAvailableSkins(TStrings* List, Byte Mode, String& First) const
{
    First.clear();
    List->Clear();
    TStringList names;
    for (int i = 0; i < FInternalSkins.Count(); ++i)
        names.Add(FInternalSkins.Items(i)->Name);
    if (names.Count() > 0)
        First = names.Strings(0);
    String dir;
    ResolveSkinDirectory(dir);
    if (DirectoryExists(dir)) {
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW(StrToWide(dir + "\\*.*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const String name = WideToStr(found.cFileName);
                if (name.empty() || name[0] == '.')
                    continue;
                String listed;
                const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                if (folder && (Mode == 0 || Mode == 2) && FileExists(dir + "\\" + name + "\\" + OptionsFileName))
                    listed = name;
                const std::size_t dot = name.rfind('.');
                if (!folder && (Mode == 1 || Mode == 2) && dot != String::npos && name.substr(dot) == ".zvk")
                    listed = name.substr(0, name.find('.'));
                if (listed.empty())
                    continue;
                names.Add(listed);
                if (First.empty())
                    First = listed;
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
    }
    names.Sort();
    List->AddStrings(&names);
}

void TqSkinManager::SetActiveControl(HWND Wnd)
{
    if (Wnd == FHoveredWindow)
        return;
    const HWND previous = FHoveredWindow;
    FHoveredWindow = Wnd;
    if (previous != nullptr)
        SendSkinCommand(previous, scmMouseLeave, reinterpret_cast<LPARAM>(this));
    SendSkinCommand(Wnd, scmMouseEnter, reinterpret_cast<LPARAM>(this));
}

bool TqSkinManager::MainWindowHook(TMessage& Message)
{
    // A visual-style change is not the application's business while skins
    // draw it; 0xBCB3 and 0xBCB4 hand a popup menu's window to the menu painter.
    if (Message.Msg == WM_THEMECHANGED)
        return true;
    if (Message.Msg == 0xBCB3 || Message.Msg == 0xBCB4)
        return FSkinableMenus ? FSkinableMenus->PopupWindowMessage(Message) : Message.Msg == 0xBCB4;
    return false;
}

void TqSkinManager::InstallCreationHook()
{
    if (!IsDefault() || IsDesigning() || FHookInstalled)
        return;
    FHookInstalled = true;
    if (CreationHookHandler)
        CreationHookHandler(this, true);
}

void TqSkinManager::RemoveCreationHook()
{
    if (FHookInstalled && CreationHookHandler)
        CreationHookHandler(this, false);
    FHookInstalled = false;
}
