#pragma once
// The skin state every skinned control carries (TqCommonData): the section
// it paints with, the manager that supplies the skin, the section's looked-up
// indexes, the control's cached skin image and the flags that drive its
// repainting; and the two common handlers through which a skinned control
// hands on the skin command message and the ordinary messages that matter to
// skinning. TqBoundLabel is the caption label a skinned control can show
// beside itself.

#include <memory>

#include "framework/Bitmap.h"
#include "framework/Control.h"
#include "framework/Messages.h"
#include "skin/engine/qConst.h"

class TqSkinManager;
class TqCommonData;
class TqEditLabel;
class TCustomForm;
class TWinControl;

// What a form provider (an owner of a state that is not a control) offers
// the engine. Sub-command 4 sent to a skinned form answers with this
// interface of its provider.
class TqStateHolder {
public:
    virtual ~TqStateHolder() = default;
    // The form it skins.
    virtual TCustomForm* HolderForm() const = 0;
    // Its skin state.
    virtual TqCommonData* HolderData() const = 0;
    // Its state's manager changed.
    virtual void StateManagerChanged() = 0;
    // Builds the form's window region again and redraws.
    virtual void UpdateFormRegion() = 0;
    // A new region of the form's skinned outline in window coordinates
    // (the caller owns it), or nullptr for a rectangular form.
    virtual HRGN CreateFormRegion() = 0;
};

// Kinds whose hovering never makes them hot (panels, bars, pages, gauges).
bool IsHoverExcludedKind(int Kind);
// The section a kind paints with by default; empty for kinds outside the
// table (the owner's class name is then used).
String DefaultSectionOfKind(int Kind);

class TqCommonData : public TPersistent {
public:
    // Owner: the control or other object that the state serves. With
    // CreateCache an empty 24-bit cache bitmap is made at once.
    TqCommonData(TObject* AOwner, bool CreateCache);
    ~TqCommonData() override;

    bool Updating = false;
    const String& SkinSection() const { return FSkinSection; }
    void SetSkinSection(const String& Value);
    bool CustomFont() const { return FCustomFont; }
    void SetCustomFont(bool Value);
    bool CustomColor() const { return FCustomColor; }
    void SetCustomColor(bool Value);
    // The manager; DefaultManager while none is set (or the one set is gone).
    TqSkinManager* SkinManager() const { return GetSkinManager(); }
    TqSkinManager* GetSkinManager() const;
    void SetSkinManager(TqSkinManager* Value);
    // Whether a manager of its own is set (the property is stored then).
    bool HasOwnManager() const;
    void SetUpdating(bool Value) { Updating = Value; }
    // Drops the manager without telling anyone (it is going away).
    void ForgetManager()
    {
        FSkinManager = nullptr;
        FManagerLife.reset();
    }

    int BorderIndex = -1;
    int SkinIndex = -1;
    int Texture = -1;
    int HotTexture = -1;
    TControl* PaintingChild = nullptr;
    bool ParentBgForced = false;
    bool BGChanged = true;
    bool HalfVisible = true;
    TControl* OwnerControl = nullptr;
    TObject* OwnerObject = nullptr;
    std::unique_ptr<TBitmap> CacheBmp;
    int ControlKind = 0;
    bool FocusedFlag = false;
    bool MouseAbove = false;

    // Asks the owner control's parent for its cache (sub-command 5).
    void GetParentCache(TCacheInfo& Info) const;
    // The same for a window, asking GetParent(Wnd).
    void GetParentCacheByHandle(HWND Wnd, TCacheInfo& Info) const;
    void SetDefaultSection();
    // 0 normal, 1 hot.
    int IsActive() const;
    bool IsTransparent() const;
    void BeginUpdate();
    void EndUpdate();
    bool IsUpdating() const;
    void PrepareCacheBitmap();
    void Invalidate();
    // Called by the owner after its properties are read.
    void Loaded();
    bool NeedsParentBg() const;
    bool ParentIsTextured() const;
    bool IsSkinned(bool CheckLoaded = true) const;
    void UpdateIndexes();

    // The section's background for the control into Bmp (painting core).
    void PaintBackground(const TCacheInfo& ParentCache, int State, TBitmap* Bmp, TPoint Offset, TRect R);

private:
    // The owner's window procedure (a control) or the holder's form.
    void TellOwner(int SubCommand, LPARAM LParam);
    // Tells the owner of a new section or manager: 3 when valid, else 2.
    void NotifySectionState();
    bool OwnerDestroying() const;
    TqStateHolder* Holder() const;

    String FSkinSection;
    bool FCustomFont = false;
    bool FCustomColor = false;
    TqSkinManager* FSkinManager = nullptr;
    std::weak_ptr<const bool> FManagerLife;
};

// Whether Control counts as an edit (its section colours become its colours).
bool IsEditControl(const TControl* Control);

// The common handler of the skin command message: true when it answered.
bool CommonSkinMessage(TMessage& Message, TqCommonData* Data);
// The common handler of the ordinary messages; the answer for Message.Result.
LRESULT CommonControlMessage(TMessage& Message, TqCommonData* Data);

// Copies Data's cache (from SrcRect's top-left) to DC inside ClipRect,
// leaving out the children of Control (their bounds shifted by the offsets).
void CopyCacheExceptChildren(TWinControl* Control, TqCommonData* Data, TRect SrcRect, int YOffset, int XOffset,
                             bool RepaintCorners, HDC DC, TRect ClipRect);
// The same over the child windows of Wnd.
void CopyCacheExceptChildWindows(HWND Wnd, TqCommonData* Data, TRect SrcRect, int YOffset, int XOffset,
                                 bool RepaintCorners, HDC DC, TRect ClipRect);

class TqBoundLabel : public TPersistent {
public:
    TqBoundLabel(TControl* AOwner, TqCommonData* AData);
    ~TqBoundLabel() override;

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    // The label's font when a label exists, else the bound label's own.
    TFont* Font() const;
    void SetFont(const TFont* Value);
    TqCaptionLayout Layout() const { return FLayout; }
    void SetLayout(TqCaptionLayout Value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    bool UseSkinColor() const;
    void SetUseSkinColor(bool Value);

    TqEditLabel* Label() const { return FLabel; }
    TqCommonData* CommonData() const { return FCommonData; }

    void AlignLabel();
    void UpdateAlignment();

private:
    TControl* FControl;
    TqCommonData* FCommonData;
    int FMaxWidth = 0;
    String FCaption;
    TqCaptionLayout FLayout = sclLeft;
    std::unique_ptr<TFont> FFont;
    int FIndent = 0;
    bool FActive = false;
    TqEditLabel* FLabel = nullptr;   // a component owned by the control, freed here
};
