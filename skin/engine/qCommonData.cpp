#include "skin/engine/qCommonData.h"

#include <algorithm>

#include "framework/Application.h"
#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/SavedDC.h"
#include "framework/WinControl.h"
#include "skin/engine/qControlPaint.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinBroadcasts.h"

namespace {

struct TKindSection {
    int First;
    int Last;
    const char* Section;
};

constexpr TKindSection KindSections[] = {
    {2, 8, "EDIT"}, {10, 10, "EDIT"}, {41, 41, "EDIT"}, {76, 76, "EDIT"}, {78, 78, "EDIT"},
    {83, 84, "EDIT"}, {96, 97, "EDIT"}, {131, 131, "EDIT"}, {140, 140, "EDIT"}, {227, 227, "EDIT"},
    {11, 18, "COMBOBOX"}, {81, 82, "COMBOBOX"},
    {19, 19, "BAR"}, {20, 20, "BARTITLE"},
    {32, 32, "CHECKBOX"}, {152, 152, "CHECKBOX"}, {33, 33, "RADIOBUTTON"},
    {51, 51, "PANEL"}, {59, 59, "PANEL"}, {68, 68, "PANEL"}, {73, 73, "PANEL"},
    {52, 52, "PANEL_LOW"}, {58, 58, "PANEL_LOW"},
    {53, 54, "TOOLBAR"}, {60, 60, "TOOLBAR"},
    {56, 56, "DRAGBAR"}, {57, 57, "TABSHEET"},
    {74, 74, "GROUPBOX"}, {226, 226, "GROUPBOX"}, {75, 75, "SPLITTER"},
    {92, 92, "SPEEDBUTTON"}, {95, 95, "SPEEDBUTTON"}, {93, 94, "BUTTON"}, {98, 98, "TOOLBUTTON"},
    {141, 141, "PAGECONTROL"}, {143, 143, "PAGECONTROL"},
    {151, 151, "STATUSBAR"}, {161, 161, "GAUGE"}, {165, 165, "TRACKBAR"},
};

String UpperCase(String Value)
{
    std::transform(Value.begin(), Value.end(), Value.begin(),
                   [](char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C; });
    return Value;
}

bool ObjectDestroying(const TObject* Object)
{
    const auto* component = dynamic_cast<const TComponent*>(Object);
    return component != nullptr && component->IsDestroying();
}

TWinControl* AsWindowed(TControl* Control) { return dynamic_cast<TWinControl*>(Control); }

// The section record of Data, or nullptr.
const TqGeneralData* SectionOf(const TqCommonData& Data)
{
    TqSkinManager* manager = Data.GetSkinManager();
    if (manager == nullptr || !manager->IsValidSkinIndex(Data.SkinIndex))
        return nullptr;
    return &manager->Skin().Sections[static_cast<std::size_t>(Data.SkinIndex)];
}

// Sets the control's colour and font colour from its section (edits),
// each only when not custom and when it differs.
void TakeSectionColors(TqCommonData& Data, const TqGeneralData& Section)
{
    TControl* owner = Data.OwnerControl;
    if (!Data.CustomColor() && owner->Color() != Section.Color)
        owner->SetColor(Section.Color);
    if (!Data.CustomFont() && owner->Font()->Color() != Section.FontColor)
        owner->Font()->SetColor(Section.FontColor);
}

void TakeSystemColors(TqCommonData& Data)
{
    TControl* owner = Data.OwnerControl;
    if (!Data.CustomColor() && owner->Color() != clWindow)
        owner->SetColor(clWindow);
    if (!Data.CustomFont() && owner->Font()->Color() != clWindowText)
        owner->Font()->SetColor(clWindowText);
}

// The colour a child sees through a fully transparent section: the
// parent's answer to sub-command 21, else the parent's Color.
TColor ParentBackgroundColor(TControl* Owner)
{
    TWinControl* parent = Owner->Parent();
    if (parent == nullptr)
        return static_cast<TColor>(ColorToRGB(Owner->Color()));
    ExchangeColor = clFuchsia;
    SendControlCommand(parent, scmGetBgColor, 0);
    if (ExchangeColor == clFuchsia)
        return static_cast<TColor>(ColorToRGB(parent->Color()));
    return ExchangeColor;
}

// (T * (P - S) + S * 256) shr 8 per channel, clamped.
TColor MixTransparency(int T, TColor P, TColor S)
{
    TColor result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int p = (static_cast<int>(P) >> shift) & 0xFF;
        const int s = (static_cast<int>(S) >> shift) & 0xFF;
        const int v = std::clamp((T * (p - s) + s * 256) >> 8, 0, 255);
        result |= static_cast<TColor>(v << shift);
    }
    return result;
}

void AnswerBgColor(TqCommonData& Data)
{
    TControl* owner = Data.OwnerControl;
    const TqGeneralData* section = Data.IsSkinned() ? SectionOf(Data) : nullptr;
    if (section == nullptr) {
        if (owner != nullptr)
            ExchangeColor = static_cast<TColor>(ColorToRGB(owner->Color()));
        return;
    }
    const int t = section->Transparency;
    const TColor own = static_cast<TColor>(ColorToRGB(section->Color));
    if (t <= 0)
        ExchangeColor = Data.CustomColor() && owner != nullptr ? static_cast<TColor>(ColorToRGB(owner->Color())) : own;
    else if (owner == nullptr)
        ExchangeColor = own;
    else if (t >= 100)
        ExchangeColor = ParentBackgroundColor(owner);
    else
        ExchangeColor = MixTransparency(t, ParentBackgroundColor(owner), own);
}

void AnswerIsBgTextured(TMessage& Message, TqCommonData& Data)
{
    const TqGeneralData* section = SectionOf(Data);
    if (section == nullptr)
        return;
    bool answer;
    if (section->Transparency == 100 && Data.OwnerControl != nullptr && Data.OwnerControl->Parent() != nullptr)
        answer = Data.ParentIsTextured();
    else
        answer = section->GradientPercent + section->ImagePercent > 0 || Data.NeedsParentBg();
    Message.LParam = answer ? 1 : 0;
    Message.Result = answer ? 1 : 0;
}

void ParentBgChanged(TMessage& Message, TqCommonData& Data)
{
    const bool v = Data.NeedsParentBg();
    Data.BGChanged = Data.BGChanged || v;
    TWinControl* owner = AsWindowed(Data.OwnerControl);
    if (owner == nullptr)
        return;
    if (LOWORD(Message.WParam) == 1 && owner->HandleAllocated())
        RedrawWindow(owner->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_NOERASE | RDW_NOINTERNALPAINT);
    if (!v)
        return;
    for (int i = 0; i < owner->ControlCount(); ++i) {
        TControl* child = owner->Controls(i);
        if (!child->IsDestroying())
            SendControlCommand(child, scmParentBgChanged, 0);
    }
}

void SkinRemoved(TqCommonData& Data, TqSkinManager* Manager)
{
    if (Manager->IsDestroying())
        Data.ForgetManager();
    Data.BorderIndex = Data.SkinIndex = Data.Texture = Data.HotTexture = -1;
    Data.Updating = true;
    if (Data.CacheBmp)
        Data.CacheBmp->SetSize(0, 0);
    if (IsEditControl(Data.OwnerControl))
        TakeSystemColors(Data);
}

void Refresh(TqCommonData& Data)
{
    Data.BGChanged = true;
    Data.Updating = false;
    if (!Data.IsSkinned())
        return;
    if (IsEditControl(Data.OwnerControl))
        TakeSectionColors(Data, *SectionOf(Data));
    if (AsWindowed(Data.OwnerControl) != nullptr)
        AnnounceToForm(Data.OwnerControl);
}

// The state of the message's manager (sub-commands 1 to 3): nullptr when
// the message names another manager than Data's own.
TqSkinManager* OwnManagerOf(const TMessage& Message, const TqCommonData& Data)
{
    TqSkinManager* own = Data.GetSkinManager();
    return own != nullptr && reinterpret_cast<TqSkinManager*>(Message.LParam) == own ? own : nullptr;
}

void SizeChanged(TqCommonData& Data)
{
    if (!Data.IsSkinned())
        return;
    Data.BGChanged = true;
    TWinControl* owner = AsWindowed(Data.OwnerControl);
    const TqGeneralData* section = SectionOf(Data);
    if (owner == nullptr || section == nullptr || section->GradientPercent <= 0)
        return;
    for (int i = 0; i < owner->ControlCount(); ++i) {
        TControl* child = owner->Controls(i);
        if (!child->IsDestroying())
            SendControlCommand(child, scmParentBgChanged, 0, 1);
    }
}

void FocusChanged(TqCommonData& Data, bool Focused)
{
    TWinControl* owner = AsWindowed(Data.OwnerControl);
    if (owner == nullptr || !owner->CanFocus() || !owner->TabStop())
        return;
    Data.BGChanged = true;
    Data.FocusedFlag = Focused;
}

void MouseEntered(TqCommonData& Data)
{
    if (!IsHoverExcludedKind(Data.ControlKind))
        Data.MouseAbove = true;
    TWinControl* owner = AsWindowed(Data.OwnerControl);
    TqSkinManager* manager = TqSkinManager::DefaultManager();
    if (owner != nullptr && manager != nullptr && owner->HandleAllocated())
        manager->SetActiveControl(owner->Handle());
}

bool Designing(const TqCommonData& Data)
{
    return Data.OwnerControl != nullptr && Data.OwnerControl->IsDesigning();
}

}   // namespace

bool IsHoverExcludedKind(int Kind)
{
    return (Kind >= 51 && Kind <= 74) || Kind == 110 || (Kind >= 141 && Kind <= 161);
}

String DefaultSectionOfKind(int Kind)
{
    for (const TKindSection& entry : KindSections)
        if (Kind >= entry.First && Kind <= entry.Last)
            return entry.Section;
    return String();
}

bool IsEditControl(const TControl* Control)
{
    return dynamic_cast<const TCustomEdit*>(Control) != nullptr;
}

TqCommonData::TqCommonData(TObject* AOwner, bool CreateCache)
    : OwnerControl(dynamic_cast<TControl*>(AOwner)), OwnerObject(AOwner)
{
    if (CreateCache)
        CacheBmp = std::make_unique<TBitmap>(0, 0, TPixelFormat::pf24bit);
}

TqCommonData::~TqCommonData()
{
    BorderIndex = SkinIndex = Texture = HotTexture = -1;
    OwnerControl = nullptr;
    OwnerObject = nullptr;
    FSkinManager = nullptr;
    FManagerLife.reset();
}

TqStateHolder* TqCommonData::Holder() const
{
    return dynamic_cast<TqStateHolder*>(OwnerObject);
}

bool TqCommonData::OwnerDestroying() const
{
    return ObjectDestroying(OwnerObject);
}

TqSkinManager* TqCommonData::GetSkinManager() const
{
    // A manager that is gone is no manager: windows its removal missed fall
    // back to the default manager (which, gone too, is none).
    if (FSkinManager != nullptr && !FManagerLife.expired())
        return FSkinManager;
    return TqSkinManager::DefaultManager();
}

bool TqCommonData::HasOwnManager() const
{
    return FSkinManager != nullptr && !FManagerLife.expired();
}

void TqCommonData::GetParentCache(TCacheInfo& Info) const
{
    ExchangeCache.Ready = false;
    Info = TCacheInfo{};
    if (OwnerControl == nullptr || OwnerControl->Parent() == nullptr)
        return;
    try {
        SendControlCommand(OwnerControl->Parent(), scmGetCache, 0);
    } catch (...) {
        Info = ExchangeCache;
        throw;
    }
    Info = ExchangeCache;
}

void TqCommonData::GetParentCacheByHandle(HWND Wnd, TCacheInfo& Info) const
{
    ExchangeCache.Ready = false;
    const HWND parent = Wnd != nullptr ? GetParent(Wnd) : nullptr;
    if (parent != nullptr)
        SendSkinCommand(parent, scmGetCache, 0);
    Info = parent != nullptr ? ExchangeCache : TCacheInfo{};
}

void TqCommonData::SetDefaultSection()
{
    if (!FSkinSection.empty()) {
        UpdateIndexes();
        return;
    }
    String section = DefaultSectionOfKind(ControlKind);
    if (section.empty() && OwnerObject != nullptr)
        section = OwnerObject->ClassName();
    SetSkinSection(section);
}

int TqCommonData::IsActive() const
{
    if (OwnerControl == nullptr || OwnerControl->IsDestroying() || !OwnerControl->EffectivelyEnabled() ||
        OwnerControl->IsDesigning())
        return 0;
    if (FocusedFlag)
        return 1;
    if (auto* windowed = AsWindowed(OwnerControl); windowed != nullptr && windowed->Focused())
        return 1;
    return MouseAbove && !IsHoverExcludedKind(ControlKind) ? 1 : 0;
}

bool TqCommonData::IsTransparent() const
{
    const TqGeneralData* section = SectionOf(*this);
    return section != nullptr && section->Transparency > 0;
}

void TqCommonData::TellOwner(int SubCommand, LPARAM LParam)
{
    if (OwnerControl != nullptr) {
        OwnerControl->Perform(SM_ZORVIKCMD, SkinCommandWParam(SubCommand), LParam);
        return;
    }
    if (TqStateHolder* holder = Holder(); holder != nullptr && holder->HolderForm() != nullptr &&
                                          holder->HolderForm()->HandleAllocated())
        SendSkinCommand(holder->HolderForm()->Handle(), SubCommand, LParam);
}

void TqCommonData::BeginUpdate()
{
    Updating = true;
    TellOwner(scmBeginUpdate, 0);
}

void TqCommonData::EndUpdate()
{
    Updating = false;
    TellOwner(scmEndUpdate, 0);
}

bool TqCommonData::IsUpdating() const
{
    TqSkinManager* manager = GetSkinManager();
    if (manager == nullptr || !manager->SkinData().Loaded)
        return true;
    if (OwnerControl == nullptr || OwnerControl->IsDestroying())
        return Updating;
    if (Updating)
        return true;
    TWinControl* parent = OwnerControl->Parent();
    if (parent == nullptr)
        return true;
    return ControlHandlesCommand(parent, scmIsBgChanging);
}

void TqCommonData::PrepareCacheBitmap()
{
    if (!CacheBmp)
        CacheBmp = std::make_unique<TBitmap>(0, 0, TPixelFormat::pf24bit);
    if (CacheBmp->PixelFormat() != TPixelFormat::pf24bit)
        CacheBmp->SetPixelFormat(TPixelFormat::pf24bit);
    if (OwnerControl == nullptr)
        return;
    if (CacheBmp->Width() != OwnerControl->Width() || CacheBmp->Height() != OwnerControl->Height())
        CacheBmp->SetSize(OwnerControl->Width(), OwnerControl->Height());
}

void TqCommonData::Invalidate()
{
    if (OwnerControl != nullptr && (OwnerControl->IsLoading() || OwnerControl->IsDestroying()))
        return;
    BGChanged = true;
    if (ControlIsReady(OwnerControl))
        OwnerControl->Invalidate();
}

void TqCommonData::Loaded()
{
    SetDefaultSection();
    const bool skinned = IsSkinned();
    if (!skinned && OwnerControl != nullptr && VisualStylesInUse())
        OwnerControl->ControlStyle &= ~static_cast<unsigned>(csParentBackground);
    if (!skinned || OwnerControl == nullptr || OwnerControl->Parent() == nullptr || OwnerControl->IsLoading())
        return;
    if (AsWindowed(OwnerControl) != nullptr)
        AnnounceToForm(OwnerControl);
    if (IsEditControl(OwnerControl) || ControlKind == 97)
        TakeSectionColors(*this, *SectionOf(*this));
}

bool TqCommonData::NeedsParentBg() const
{
    if (ParentBgForced || !IsSkinned())
        return true;
    if (OwnerControl == nullptr || (OwnerControl->ControlState() & csCreating) != 0 || !OwnerControl->Visible())
        return true;
    const TqGeneralData* section = SectionOf(*this);
    if (section == nullptr)
        return false;
    const bool candidate = !OwnerControl->EffectivelyEnabled() || section->Transparency > 0;
    if (!candidate)
        return false;
    TWinControl* parent = OwnerControl->Parent();
    if (parent != nullptr && parent->HandleAllocated())
        return SendSkinCommand(parent->Handle(), scmIsBgTextured, 0) == 1;
    return candidate;
}

bool TqCommonData::ParentIsTextured() const
{
    // The parent's own answer to sub-command 19 (its section's texture and
    // transparency), or false when it does not answer.
    if (OwnerControl == nullptr || OwnerControl->Parent() == nullptr)
        return false;
    TWinControl* parent = OwnerControl->Parent();
    if (!parent->HandleAllocated() || parent->IsDestroying())
        return false;
    return SendSkinCommand(parent->Handle(), scmIsBgTextured, 0) == 1;
}

bool TqCommonData::IsSkinned(bool CheckLoaded) const
{
    if (OwnerDestroying())
        return false;
    TqSkinManager* manager = GetSkinManager();
    if (manager == nullptr || manager->IsDestroying())
        return false;
    if (CheckLoaded && !manager->SkinData().Loaded)
        return false;
    return manager->IsValidSkinIndex(SkinIndex);
}

void TqCommonData::UpdateIndexes()
{
    BGChanged = true;
    TqSkinManager* manager = GetSkinManager();
    SkinIndex = manager != nullptr ? manager->FindSectionIndex(FSkinSection) : -1;
    if (SkinIndex < 0) {
        Texture = HotTexture = -1;
        return;
    }
    BorderIndex = manager->FindMaskIndex(SkinIndex, FSkinSection, "BORDERSMASK");
    Texture = manager->FindMaskIndex(SkinIndex, FSkinSection, "PATTERN");
    HotTexture = manager->FindMaskIndex(SkinIndex, FSkinSection, "HOTPATTERN");
}

void TqCommonData::NotifySectionState()
{
    if (OwnerControl == nullptr || OwnerControl->Parent() == nullptr || OwnerControl->IsDestroying())
        return;
    TqSkinManager* manager = GetSkinManager();
    const bool valid = manager != nullptr && manager->IsValidSkinIndex(SkinIndex);
    OwnerControl->Perform(SM_ZORVIKCMD, SkinCommandWParam(valid ? scmRefresh : scmSkinRemoved),
                          reinterpret_cast<LPARAM>(manager));
}

void TqCommonData::SetSkinSection(const String& Value)
{
    const String upper = Value.empty() ? String("UNKNOWN") : UpperCase(Value);
    if (upper == FSkinSection)
        return;
    FSkinSection = upper;
    TqSkinManager* manager = GetSkinManager();
    if (manager == nullptr || manager->Skin().Sections.empty())
        SkinIndex = -1;
    else
        UpdateIndexes();
    NotifySectionState();
}

void TqCommonData::SetSkinManager(TqSkinManager* Value)
{
    if (Value == TqSkinManager::DefaultManager())
        Value = nullptr;
    if (Value == FSkinManager && (Value == nullptr || !FManagerLife.expired()))
        return;
    FSkinManager = Value;
    FManagerLife = Value != nullptr ? Value->LifeToken() : std::weak_ptr<const bool>();
    if (OwnerControl != nullptr && OwnerControl->IsLoading())
        return;
    TqSkinManager* manager = GetSkinManager();
    if (manager != nullptr && !manager->Skin().Sections.empty())
        UpdateIndexes();
    else
        SkinIndex = -1;
    try {
        if (TqStateHolder* holder = Holder())
            holder->StateManagerChanged();
        else
            NotifySectionState();
    } catch (const Exception&) {
        // The owner's trouble with the change is not the setter's.
    }
}

void TqCommonData::SetCustomColor(bool Value)
{
    FCustomColor = Value;
    if (IsSkinned() && IsEditControl(OwnerControl) && !OwnerControl->IsLoading()) {
        TakeSectionColors(*this, *SectionOf(*this));
        Invalidate();
    }
}

void TqCommonData::SetCustomFont(bool Value)
{
    FCustomFont = Value;
    Invalidate();
}

bool CommonSkinMessage(TMessage& Message, TqCommonData* Data)
{
    if (Message.Msg != SM_ZORVIKCMD || Data == nullptr)
        return false;
    switch (SkinSubCommand(Message.WParam)) {
    case scmSkinLoaded:
        if (OwnManagerOf(Message, *Data) != nullptr) {
            Data->Updating = true;
            Data->UpdateIndexes();
        }
        return false;
    case scmSkinRemoved:
        if (TqSkinManager* manager = OwnManagerOf(Message, *Data))
            SkinRemoved(*Data, manager);
        return false;
    case scmRefresh:
        if (OwnManagerOf(Message, *Data) != nullptr)
            Refresh(*Data);
        return false;
    case scmGetCache:
        ExchangeCache = Data->CacheBmp ? MakeCacheInfo(Data->CacheBmp.get(), 0, 0) : TCacheInfo{};
        return false;
    case scmIsSkinned:
        Message.LParam = 1;
        Message.Result = 1;
        return true;
    case scmSetUpdating: Data->Updating = LOWORD(Message.WParam) == 1; return false;
    case scmSetParentBgFlag: Data->ParentBgForced = LOWORD(Message.WParam) == 1; return false;
    case scmIsBgChanging:
        // A yes/no question: the answer in the lParam field and, for an
        // asker that uses SendMessage and sees only the result, as the
        // result too (a constant 1 would make every child of a skinned
        // parent count as updating).
        Message.LParam = Data->BGChanged || Data->IsUpdating() ? 1 : 0;
        Message.Result = Message.LParam;
        return true;
    case scmIsHalfVisible:
        Message.LParam = Data->HalfVisible ? 1 : 0;
        Message.Result = 1;
        return true;
    case scmTranspChanged:
        if (Data->IsTransparent() && LOWORD(Message.WParam) == 1)
            Data->BGChanged = true;
        return false;
    case scmSectionRepaint:
        if (UpperCase(Data->SkinSection()) == SharedSectionName)
            Data->Invalidate();
        return false;
    case scmSetPaintingChild: Data->PaintingChild = reinterpret_cast<TControl*>(Message.LParam); return false;
    case scmSetBgChanged: Data->BGChanged = true; return false;
    case scmSetHalfVisible: Data->HalfVisible = true; return false;
    case scmGetApplication:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    case scmIsBgTextured:
        AnswerIsBgTextured(Message, *Data);
        return true;
    case scmParentBgChanged:
        ParentBgChanged(Message, *Data);
        return false;
    case scmGetBgColor:
        AnswerBgColor(*Data);
        Message.Result = 1;
        return true;
    default:
        return false;
    }
}

LRESULT CommonControlMessage(TMessage& Message, TqCommonData* Data)
{
    if (Data == nullptr)
        return 0;
    if (Message.Msg == SM_ZORVIKCMD) {
        CommonSkinMessage(Message, Data);
        return Message.Result;
    }
    TControl* owner = Data->OwnerControl;
    switch (Message.Msg) {
    case WM_MOVE:
        if (owner != nullptr && Data->NeedsParentBg())
            owner->Perform(SM_ZORVIKCMD, SkinCommandWParam(scmParentBgChanged, 1), 0);
        break;
    case WM_SIZE: SizeChanged(*Data); break;
    case WM_SETFOCUS: FocusChanged(*Data, true); break;
    case WM_KILLFOCUS: FocusChanged(*Data, false); break;
    case WM_FONTCHANGE:
    case CM_ENABLEDCHANGED:
        Data->FocusedFlag = false;
        Data->MouseAbove = false;
        break;
    case WM_UPDATEUISTATE:
        if (Data->IsSkinned())
            return 1;
        if (auto* windowed = AsWindowed(owner);
            windowed != nullptr && VisualStylesInUse() && windowed->HandleAllocated() && SetWindowThemeEntry != nullptr)
            SetWindowThemeEntry(windowed->Handle(), nullptr, nullptr);
        break;
    case WM_PARENTNOTIFY:
        if (LOWORD(Message.WParam) == WM_CREATE && AsWindowed(owner) != nullptr)
            AnnounceToForm(owner);
        break;
    case CM_MOUSEENTER:
        if (!Designing(*Data))
            MouseEntered(*Data);
        break;
    case CM_MOUSELEAVE:
        if (!Designing(*Data) && !IsHoverExcludedKind(Data->ControlKind))
            Data->MouseAbove = false;
        break;
    default: break;
    }
    return Message.Result;
}

namespace {

void ExcludeRect(HDC DC, const TRect& R)
{
    ExcludeClipRect(DC, R.left, R.top, R.right, R.bottom);
}

void BlitCache(TqCommonData* Data, const TRect& SrcRect, HDC DC, const TRect& ClipRect)
{
    BitBlt(DC, ClipRect.left, ClipRect.top, RectWidth(ClipRect), RectHeight(ClipRect),
           Data->CacheBmp->Canvas()->Handle(), SrcRect.left, SrcRect.top, SRCCOPY);
}

bool IsButtonWindow(HWND Wnd)
{
    wchar_t name[16] = {};
    GetClassNameW(Wnd, name, 16);
    return lstrcmpiW(name, L"Button") == 0;
}

// The four corners of the cache painted again from the section's border
// mask, in the control's present state.
void RepaintCacheCorners(TqCommonData* Data)
{
    PaintAllCorners(Data, Data->IsActive());
}

bool CacheUsable(const TqCommonData* Data)
{
    return Data != nullptr && Data->CacheBmp && !Data->CacheBmp->Empty();
}

}   // namespace

void CopyCacheExceptChildren(TWinControl* Control, TqCommonData* Data, TRect SrcRect, int YOffset, int XOffset,
                             bool RepaintCorners, HDC DC, TRect ClipRect)
{
    if (Control == nullptr || !CacheUsable(Data))
        return;
    if (RepaintCorners)
        RepaintCacheCorners(Data);
    const TSavedDC saved(DC);
    IntersectClipRect(DC, ClipRect.left, ClipRect.top, ClipRect.right, ClipRect.bottom);
    const bool designing = Control->IsDesigning();
    for (int i = 0; i < Control->ControlCount(); ++i) {
        TControl* child = Control->Controls(i);
        if (!child->Visible())
            continue;
        TRect bounds = child->BoundsRect();
        OffsetRect(&bounds, XOffset, YOffset);
        RECT overlap;
        if (!IntersectRect(&overlap, &bounds, &ClipRect))
            continue;
        const bool windowless = dynamic_cast<TWinControl*>(child) == nullptr;
        if (designing || windowless || (child->ControlStyle & csOpaque) != 0)
            ExcludeRect(DC, bounds);
    }
    BlitCache(Data, SrcRect, DC, ClipRect);
}

void CopyCacheExceptChildWindows(HWND Wnd, TqCommonData* Data, TRect SrcRect, int YOffset, int XOffset,
                                 bool RepaintCorners, HDC DC, TRect ClipRect)
{
    if (Wnd == nullptr || !CacheUsable(Data))
        return;
    if (RepaintCorners)
        RepaintCacheCorners(Data);
    const TSavedDC saved(DC);
    IntersectClipRect(DC, ClipRect.left, ClipRect.top, ClipRect.right, ClipRect.bottom);
    RECT own;
    GetWindowRect(Wnd, &own);
    TqSkinManager* manager = TqSkinManager::DefaultManager();
    for (HWND child = GetTopWindow(Wnd); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        RECT r;
        GetWindowRect(child, &r);
        const TRect bounds = Rect(r.left - own.left + XOffset, r.top - own.top + YOffset, r.right - own.left + XOffset,
                                 r.bottom - own.top + YOffset);
        const bool groupBox = (GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX &&
                              IsButtonWindow(child);
        if (!groupBox || manager == nullptr) {
            ExcludeRect(DC, bounds);
            continue;
        }
        // A group box shows the cache inside its frame: only the caption
        // band and the left, right and bottom border strips are its own.
        const int caption = static_cast<int>(SendSkinCommand(child, scmGetCaptionHeight, 0));
        const int section = manager->FindSectionIndex("GROUPBOX");
        const int mask = section >= 0 ? manager->FindMaskIndex(section, "GROUPBOX", "BORDERSMASK") : -1;
        int left = 0, right = 0, bottom = 0;
        if (manager->IsValidMaskIndex(mask)) {
            left = manager->Skin().MaskBorderLeft(mask);
            right = manager->Skin().MaskBorderRight(mask);
            bottom = manager->Skin().MaskBorderBottom(mask);
        }
        ExcludeRect(DC, Rect(bounds.left, bounds.top, bounds.right, bounds.top + caption));
        ExcludeRect(DC, Rect(bounds.left, bounds.top, bounds.left + left, bounds.bottom));
        ExcludeRect(DC, Rect(bounds.right - right, bounds.top, bounds.right, bounds.bottom));
        ExcludeRect(DC, Rect(bounds.left, bounds.bottom - bottom, bounds.right, bounds.bottom));
    }
    BlitCache(Data, SrcRect, DC, ClipRect);
}
