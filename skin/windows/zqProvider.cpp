// The dialog provider: the dialog wrapper, the wrapping of a dialog's
// children by their window class, and the list of providers.
#include "skin/windows/zqProvider.h"

#include <algorithm>
#include <cctype>

#include <commctrl.h>

#include "framework/Form.h"
#include "framework/MessageWindow.h"
#include "skin/engine/qCommonData.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinMessages.h"
#include "skin/engine/qSkinManager.h"
#include "skin/windows/qSkinProvider.h"
#include "skin/windows/zqBtnWnd.h"
#include "skin/windows/zqCheckBoxWnd.h"
#include "skin/windows/zqComboBoxWnd.h"
#include "skin/windows/zqEditWnd.h"
#include "skin/windows/zqGroupBoxWnd.h"
#include "skin/windows/zqListViewWnd.h"
#include "skin/windows/zqSizerWnd.h"
#include "skin/windows/zqSpinWnd.h"
#include "skin/windows/zqStaticWnd.h"
#include "skin/windows/zqToolBarWnd.h"
#include "skin/windows/zqTreeViewWnd.h"

std::unique_ptr<std::vector<TzqProvider*>> ProviderList;
int ComboListCount = 0;
const TRect DialogKind1Rect{178, 181, 327, 217};
const TRect DialogKind3Rects[3] = {{447, 0, 455, 200}, {6, 23, 216, 163}, {6, 189, 216, 235}};

HRGN DialogKind3Region()
{
    // Made once and kept for the program's life (selected as a clip only).
    static const HRGN region = [] {
        HRGN all = CreateRectRgn(0, 0, 0, 0);
        for (const TRect& r : DialogKind3Rects) {
            HRGN part = CreateRectRgn(r.left, r.top, r.right, r.bottom);
            CombineRgn(all, all, part, RGN_OR);
            DeleteObject(part);
        }
        return all;
    }();
    return region;
}

void ForgetProvider(TzqProvider* Provider)
{
    if (!ProviderList)
        return;
    for (TzqProvider*& entry : *ProviderList)
        if (entry == Provider)
            entry = nullptr;
}

namespace {

constexpr UINT FreeProviderMessage = WM_APP + 0x144;

// Dialog providers waiting for their posted free. Those still waiting when
// the program ends are freed then (their wrappers are detached already).
struct TPendingFrees {
    std::vector<TzqProvider*> Items;
    ~TPendingFrees()
    {
        for (TzqProvider* provider : Items)
            delete provider;
    }
    bool Take(TzqProvider* Provider)
    {
        const auto it = std::find(Items.begin(), Items.end(), Provider);
        if (it == Items.end())
            return false;
        Items.erase(it);
        return true;
    }
};
TPendingFrees PendingFrees;

// The window that frees a dialog's provider once the message under way is over.
THiddenWindow& FreeWindow()
{
    static THiddenWindow window([](TMessage& Message) {
        if (Message.Msg != FreeProviderMessage) {
            Message.Result = DefWindowProcW(nullptr, Message.Msg, Message.WParam, Message.LParam);
            return;
        }
        auto* provider = reinterpret_cast<TzqProvider*>(Message.LParam);
        if (PendingFrees.Take(provider))
            delete provider;
    });
    return window;
}

String LowerClassName(HWND Wnd)
{
    char name[128] = {};
    GetClassNameA(Wnd, name, sizeof(name));
    String s = name;
    std::transform(s.begin(), s.end(), s.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

TPoint WindowSizeOf(HWND Wnd)
{
    RECT r{};
    GetWindowRect(Wnd, &r);
    return TPoint{r.right - r.left, r.bottom - r.top};
}

bool SizeIs(TPoint S, int W, int H)
{
    return S.x == W && S.y == H;
}

}   // namespace

void ScheduleProviderFree(TzqProvider* Provider)
{
    if (!Provider || ProviderFreePending(Provider))
        return;
    ForgetProvider(Provider);
    PendingFrees.Items.push_back(Provider);
    PostMessageW(FreeWindow().Handle(), FreeProviderMessage, 0, reinterpret_cast<LPARAM>(Provider));
}

bool ProviderFreePending(TzqProvider* Provider)
{
    return std::find(PendingFrees.Items.begin(), PendingFrees.Items.end(), Provider) != PendingFrees.Items.end();
}

void FreeProviderList()
{
    if (!ProviderList)
        return;
    // Each destructor sets its entry to nil: the list is walked by index.
    for (std::size_t i = 0; i < ProviderList->size(); ++i) {
        TzqProvider* provider = (*ProviderList)[i];
        if (!provider)
            continue;
        if (provider->Owner()) {
            delete provider;   // a form's: it holds no window hook of its own
            continue;
        }
        // A dialog's wrappers may be inside a message of their windows (the
        // skin removed from a dialog's own handler): they let go of the
        // windows now, and the objects are freed after the message.
        provider->DetachWindows();
        ScheduleProviderFree(provider);
    }
    ProviderList.reset();
}

void TzqProvider::DetachWindows()
{
    for (auto& wrapper : ChildWrappers) {
        TzqMainWnd* object = wrapper.get();
        if (object && !object->Detached)
            DetachSubclass(object->WndHandle, false, false, object);
    }
    if (DialogWrapper && !DialogWrapper->Detached) {
        DialogWrapper->GiveBackFrame();
        TzqMainWnd* object = DialogWrapper.get();
        DetachSubclass(object->WndHandle, false, true, object);
    }
}

TzqProvider* NewListedProvider(TComponent* Owner)
{
    if (!ProviderList)
        ProviderList = std::make_unique<std::vector<TzqProvider*>>();
    auto* provider = new TzqProvider(Owner);
    ProviderList->push_back(provider);
    return provider;
}

TzqProvider::TzqProvider(TComponent* AOwner) : TComponent(AOwner) {}

TzqProvider::~TzqProvider()
{
    ForgetProvider(this);
    // Children first: they paint over the dialog's cache.
    ChildWrappers.clear();
    DialogWrapper.reset();
}

void TzqProvider::AttachToForm(TCustomForm* Form)
{
    FormProvider = new TqSkinProvider(Form);
}

void MakeDialogWrapper(HWND Handle, TzqMainWndPtr<TzqDialogWnd>& Wrapper)
{
    TqSkinManager* manager = TqSkinManager::DefaultManager();
    if (manager && manager->Active()) {
        UninitializeFlatSB(Handle);
        if (Wrapper && Wrapper->Detached)
            Wrapper.reset();
        if (!Wrapper)
            Wrapper.reset(TzqMainWnd::Create<TzqDialogWnd>(Handle, false, "DIALOG", manager, nullptr));
    } else {
        Wrapper.reset();
        InitializeFlatSB(Handle);
    }
}

bool TzqProvider::InitDialog(HWND Handle)
{
    DialogHandle = Handle;
    ChildWrappers.clear();
    TqSkinManager* manager = TqSkinManager::DefaultManager();
    if (DialogWrapper || !manager || !manager->Active())
        return true;
    char name[128] = {};
    GetClassNameA(Handle, name, sizeof(name));
    if (String(name) != "#32770" && String(name) != "TMessageForm")
        return true;
    MakeDialogWrapper(Handle, DialogWrapper);
    if (!DialogWrapper)
        return true;
    DialogWrapper->Provider = this;
    if (RequestedDialogX != -1 || RequestedDialogY != -1)
        SetWindowPos(Handle, nullptr, RequestedDialogX, RequestedDialogY, 0, 0,
                     SWP_NOSIZE | SWP_NOREDRAW | SWP_NOOWNERZORDER);
    ComboListCount = 0;
    if (!WrapChildren(Handle)) {
        ForgetProvider(this);
        return false;
    }
    DialogWrapper->InitFrame();
    if (ComboListCount == 3)
        DialogKind = 1;
    SendSkinCommand(Handle, scmSkinLoaded, reinterpret_cast<LPARAM>(manager));
    return true;
}

bool TzqProvider::WrapChildren(HWND Wnd)
{
    for (HWND child = GetTopWindow(Wnd); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!WrapChildren(child))
            return false;
        if ((GetWindowLongPtrW(child, GWL_STYLE) & WS_CHILD) && !SubclassDialogChild(child))
            return false;
    }
    return true;
}

template <class T>
T* TzqProvider::Wrap(HWND Child, const String& Section)
{
    TqSkinManager* manager = DialogWrapper && DialogWrapper->SkinData ? DialogWrapper->SkinData->SkinManager()
                                                                         : TqSkinManager::DefaultManager();
    const bool was = SubclassInDialog;
    SubclassInDialog = true;
    TzqMainWndPtr<T> wrapper;
    try {
        wrapper.reset(TzqMainWnd::Create<T>(Child, true, Section, manager, nullptr));
    } catch (...) {
        SubclassInDialog = was;
        throw;
    }
    SubclassInDialog = was;
    ReadWindowGeometry(Child, wrapper.get());
    T* result = wrapper.get();
    ChildWrappers.emplace_back(wrapper.release());
    return result;
}

bool TzqProvider::SubclassDialogChild(HWND Child)
{
    if (!Child || SendSkinCommand(Child, scmIsSkinned, 0) != 0)
        return true;
    const String cls = LowerClassName(Child);
    const DWORD s = static_cast<DWORD>(GetWindowLongPtrW(Child, GWL_STYLE));
    const TPoint size = WindowSizeOf(Child);
    if (cls == "static") {
        if (SizeIs(size, 152, 49)) {
            Wrap<TzqStaticWnd>(Child, "CHECKBOX");
        } else if (SizeIs(size, 150, 37)) {
            DialogKind = 1;
        } else if (SizeIs(size, 192, 189) || SizeIs(size, 210, 140) || SizeIs(size, 12, 189) ||
                   SizeIs(size, 210, 46) || SizeIs(size, 60, 42)) {
            DialogKind = 3;
            if (DialogWrapper && DialogWrapper->SkinData)
                DialogWrapper->SkinData->SetSkinSection("FORM");
        } else if ((s & 3) == 3) {
            Wrap<TzqIconWnd>(Child, "CHECKBOX");
        } else if ((s & 0xE) == 0xE || (s & 0xD) == 0xD || (s & 0x1F) == 5 || (s & 0x1F) == 6) {
            // Bitmaps, enhanced metafiles and etched frames keep their look.
        } else {
            Wrap<TzqStaticWnd>(Child, "CHECKBOX");
        }
    } else if (cls == "#32770") {
        Wrap<TzqTransPanelWnd>(Child, "CHECKBOX");
    } else if (cls == "button") {
        if ((s & 7) == 7)
            Wrap<TzqGroupBoxWnd>(Child, "GROUPBOX");
        else if ((s & 3) == 3 || (s & 2) || (s & 5) == 5 || (s & 9) == 9 || (s & 4))
            Wrap<TzqCheckBoxWnd>(Child, "CHECKBOX");
        else
            Wrap<TzqBtnWnd>(Child, "BUTTON");
    } else if (cls == "combobox" || cls == "comboboxex32") {
        Wrap<TzqComboBoxWnd>(Child, "COMBOBOX");
    } else if (cls == "combolbox") {
        Wrap<TzqEditWnd>(Child, "COMBOBOX");
        ++ComboListCount;
    } else if (cls == "scrollbar") {
        Wrap<TzqSizerWnd>(Child, "CHECKBOX");
    } else if (cls == "systabcontrol32") {
        if (SizeIs(size, 470, 349))
            return false;
    } else if (cls == "syslistview32") {
        Wrap<TzqListViewWnd>(Child, "EDIT");
    } else if (cls == "msctls_updown32") {
        Wrap<TzqSpinWnd>(Child, "SPEEDBUTTON_SMALL")->PaintOffsetX = 2;
    } else if (cls == "listbox" || cls == "edit") {
        Wrap<TzqEditWnd>(Child, "EDIT");
    } else if (cls == "link window") {
        Wrap<TzqLinkWnd>(Child, "CHECKBOX");
    } else if (cls == "toolbarwindow32") {
        Wrap<TzqToolBarWnd>(Child, (s & 0x200) ? "BAR" : "CHECKBOX");
    } else if (cls == "systreeview32") {
        Wrap<TzqTreeViewWnd>(Child, "EDIT");
    } else if (cls.find("shbrowseforfolder") != String::npos) {
        Wrap<TzqTransPanelWnd>(Child, "CHECKBOX");
    }
    return true;
}
