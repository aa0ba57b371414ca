#pragma once
// The skin manager: the component that owns the loaded skin. It finds a skin
// by name (a packed file or a folder in the skin directory, or a skin stored
// in the form data), reads it into a skin data model, and tells the
// application's windows about every change through the skin command message.
// The first manager made is the default manager, which hooks the
// application's window.
//
// A load reads into a fresh model that replaces the loaded one only when
// the whole read succeeded: a failed load leaves the previous skin, its
// name and its header as they were, lowers SkinChanging, and raises its
// error to the caller. While the form data loads (program start), a disk
// skin that fails is reported once through the default error dialog and
// the stored skin of that name (else the first) is used instead.

#include <memory>

#include "framework/Component.h"
#include "framework/Messages.h"
#include "framework/StringList.h"
#include "skin/engine/qMenuSupport.h"
#include "skin/engine/qSkinModel.h"
#include "skin/engine/qStoredSkins.h"

class TzqAnimEffects;

class TzqSkinConvertor;
struct TqSkinSource;

enum TzqSkinningRule : unsigned { srStdForms = 1, srStdDialogs = 2, srThirdParty = 4 };
using TzqSkinningRules = unsigned;

class TqSkinManager : public TComponent {
public:
    explicit TqSkinManager(TComponent* AOwner);
    ~TqSkinManager() override;

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    // Whether this manager is the default manager.
    bool IsDefault() const { return DefaultManager() == this; }
    void SetIsDefault(bool Value);
    // Extra INI text of sections and entries the skin lacks; setting it
    // removes the blanks of its lines and reloads the skin.
    TStringList* CommonSections() { return &FCommonSections; }
    void SetCommonSections(const TStrings* Value);
    // A hue shift in degrees and a saturation change of the whole skin,
    // applied at the end of every load; a change reads the skin again.
    Integer HueOffset() const { return FHueOffset; }
    void SetHueOffset(Integer Value);
    Integer Saturation() const { return FSaturation; }
    void SetSaturation(Integer Value);
    // Recolour the loaded skin in place (nothing for 0).
    void ApplyHueOffset(Integer Offset);
    void ApplySaturation(Integer Value);
    TqStoredSkins& InternalSkins() { return FInternalSkins; }
    void SetInternalSkins(const TqStoredSkins& Value) { FInternalSkins.Assign(&Value); }
    const String& SkinDirectory() const { return FSkinDirectory; }
    void SetSkinDirectory(const String& Value);
    const String& SkinName() const { return FSkinName; }
    // Chooses, loads and applies the skin of that name.
    void SetSkinName(const String& Value);
    // The loaded skin's VERSION with "." as decimal separator, "N/A" when
    // none is loaded; writing it changes nothing.
    String SkinInfo() const;
    void SetSkinInfo(const String&) {}
    String Version() const { return "5.36"; }
    void SetVersion(const String&) {}
    TzqSkinningRules SkinningRules = srStdForms | srStdDialogs | srThirdParty;
    bool SkinnedPopups() const { return FSkinnedPopups; }
    // Switching it on lets the menu painter hook the popup menus.
    void SetSkinnedPopups(bool Value);
    // Options of the skinned menus.
    TzqMenuSupport* MenuSupport() { return &FMenuSupport; }
    void SetMenuSupport(const TzqMenuSupport* Value) { FMenuSupport.Assign(Value); }
    TzqGetExtraLineData OnGetMenuExtraLineData;
    // The menu painter of this manager: made by the constructor when the
    // painter is part of the program (MenuPainterMaker), freed with the
    // manager; nullptr in a program without it.
    TqMenuPainterLink* SkinableMenus() const { return FSkinableMenus.get(); }
    void SetSkinableMenus(std::unique_ptr<TqMenuPainterLink> Value) { FSkinableMenus = std::move(Value); }
    // The switches and times of the animations.
    TzqAnimEffects* AnimEffects() const { return FAnimEffects.get(); }
    TNotifyEvent OnAfterChange;
    TNotifyEvent OnBeforeChange;

    // The loaded skin and its header.
    const TqSkinModel& Skin() const { return *FModel; }
    const TqSkinData& SkinData() const { return FSkinData; }
    bool PackedSource() const { return FPackedSource; }

    // Lookups of the loaded skin (see TqSkinModel).
    int FindSectionIndex(const String& Name) const { return FModel->FindSectionIndex(Name); }
    int FindMaskIndex(int SectionIndex, const String& SectionName, const String& PropertyName) const
    {
        return FModel->FindMaskIndex(SectionIndex, SectionName, PropertyName);
    }
    int FindMaskIndexExact(const String& SectionName, const String& PropertyName) const
    {
        return FModel->FindMaskIndexExact(SectionName, PropertyName);
    }
    bool IsValidSkinIndex(int Index) const { return FModel->IsValidSkinIndex(Index); }
    bool IsValidMaskIndex(int Index) const { return FModel->IsValidMaskIndex(Index); }
    TColor GetGlobalColor() const { return FModel->GetGlobalColor(); }
    TColor GetGlobalFontColor() const { return FModel->GetGlobalFontColor(); }
    TColor GetGlobalHotColor() const { return FModel->GetGlobalHotColor(); }
    void CacheCommonIndexes() { FModel->CacheCommonIndexes(); }

    // The names of the skins that can be chosen, sorted: stored skins and,
    // from the skin directory, folders holding "Options.dat" (Mode 0 or 2)
    // and ".zvk" files by the text before their first "." (Mode 1 or 2).
    // First receives the first name found.
    void ListAvailableSkins(TStrings* List, Byte Mode, String& First) const;
    // The skin directory as an absolute path, without a trailing separator.
    void ResolveSkinDirectory(String& Path) const;

    void ApplyLoadedSkin();
    void RemoveSkinFromForms();
    void RepaintSkinnedForms();
    void LoadFolderOrStoredSkin();
    void LoadPackedSkin();

    // Hover tracking: the window under the mouse. The previous one gets
    // sub-command 30, then Wnd 29.
    void SetActiveControl(HWND Wnd);
    HWND ActiveControl() const { return FHoveredWindow; }

    // Hook of the application window (default manager only): swallows
    // WM_THEMECHANGED.
    bool MainWindowHook(TMessage& Message);

    // Whether the thread's creation hook is in place (default manager only).
    bool CreationHookInstalled() const { return FHookInstalled; }
    void InstallCreationHook();
    void RemoveCreationHook();
    // Sets (Install) or removes the creation hook; given by the window
    // skinning library when a program lets it skin dialogs, else none.
    static inline void (*CreationHookHandler)(TqSkinManager* Manager, bool Install) = nullptr;

    static TqSkinManager* DefaultManager();

    // Expires when the manager is freed: windows that keep a manager check
    // it, so that one whose removal missed them finds no manager.
    std::weak_ptr<const bool> LifeToken() const { return FLife; }

protected:
    void Loaded() override;

private:
    // Chooses by the name's order (packed file, folder, stored skin) and reads.
    void ChooseAndLoad();
    // The packed file for the current name: SkinDirectory as written, not resolved.
    String PackedFileName() const;
    // Reads Source into a fresh model and takes it over; SkinPath is its folder.
    void ReadInto(TqSkinSource& Source, const String& SkinPath);
    // Reads the stored skin at Index of InternalSkins.
    void LoadStoredSkin(int Index);
    void Broadcast(int SubCommand);
    // Forms are frozen and thawed around a change at run time once the
    // application has a main form.
    bool FormsFreezable() const;
    // Reads the loaded skin again from its source (after a colour setting
    // changed) and repaints.
    void ReadAgain();
    // Puts MainWindowHook into the application window's hook chain (once,
    // at run time on the NT family) and takes it out again.
    void HookApplicationWindow();
    void UnhookApplicationWindow();

    bool FActive = true;
    Integer FHueOffset = 0;
    Integer FSaturation = 0;
    TStringList FCommonSections;
    TqStoredSkins FInternalSkins{this};
    String FSkinDirectory = "c:\\Skins";
    String FSkinName;
    std::unique_ptr<TqSkinModel> FModel;
    TqSkinData FSkinData;
    bool FPackedSource = false;
    HWND FHoveredWindow = nullptr;
    bool FHookInstalled = false;
    int FMainWindowHookId = 0;
    std::unique_ptr<TzqAnimEffects> FAnimEffects;
    bool FSkinnedPopups = true;
    TzqMenuSupport FMenuSupport;
    std::unique_ptr<TqMenuPainterLink> FSkinableMenus;
    std::shared_ptr<const bool> FLife = std::make_shared<const bool>(true);
};

// Process-wide state of the skin engine (GUI thread only).
extern bool SkinChanging;   // a skin is being chosen and read
extern bool SkinApplying;   // sub-command 1 is being broadcast
extern bool SkinRemoving;   // a skin is being removed
extern bool IsNTPlatform;   // the system is of the NT family
