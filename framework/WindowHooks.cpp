#include "framework/WindowHooks.h"

#include <algorithm>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/Application.h"
#include "framework/Control.h"

struct THookLink {
    TWindowHookProc Proc;
    std::uint64_t Order;   // place in the chain: a newer link has a higher order
};

namespace {

constexpr std::uint64_t AboveAll = std::numeric_limits<std::uint64_t>::max();

// The window property that names a hooked window's chain.
const wchar_t* const ChainProp = L"FrameworkWindowHooks";

LRESULT CALLBACK HookEntryProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

} // namespace

// The links of one window or one control, oldest first, and what lies below
// them. A run holds the chain and the link it calls, so that either may be
// removed (or the chain left by its owner) while they are on the stack.
class THookChain : public std::enable_shared_from_this<THookChain> {
public:
    virtual ~THookChain() = default;

    std::shared_ptr<THookLink> Add(TWindowHookProc Proc)
    {
        auto Link = std::make_shared<THookLink>(THookLink{std::move(Proc), FNextOrder++});
        FLinks.push_back(Link);
        return Link;
    }

    void Remove(const THookLink* Link)
    {
        const auto It = std::find_if(FLinks.begin(), FLinks.end(),
                                     [Link](const std::shared_ptr<THookLink>& L) { return L.get() == Link; });
        if (It == FLinks.end())
            return;
        const std::shared_ptr<THookChain> Keep = shared_from_this();
        const std::shared_ptr<THookLink> Gone = std::move(*It);
        FLinks.erase(It);
        if (FLinks.empty() && FRunning == 0)
            Emptied(false);
    }

    bool Contains(const THookLink* Link) const
    {
        return std::any_of(FLinks.begin(), FLinks.end(),
                           [Link](const std::shared_ptr<THookLink>& L) { return L.get() == Link; });
    }

    // Runs Message through the newest link older than Below, or when there
    // is none, through what lies below all links.
    void Run(TMessage& Message, std::uint64_t Below)
    {
        if (FReleased) {
            Message.Result = 0;
            return;
        }
        const std::shared_ptr<THookChain> Keep = shared_from_this();
        std::shared_ptr<THookLink> Link;
        for (auto It = FLinks.rbegin(); It != FLinks.rend(); ++It) {
            if ((*It)->Order < Below) {
                Link = *It;
                break;
            }
        }
        TRunning Running(*this);
        if (Link)
            Link->Proc(Message, TCallPrevious(*this, Link->Order));
        else
            CallBelow(Message);
    }

    bool Released() const { return FReleased; }

protected:
    virtual void CallBelow(TMessage& Message) = 0;
    // No link is left and no run is under way: after a removal, or at the
    // end of a run in which the last link was removed (AfterRun).
    virtual void Emptied(bool AfterRun) = 0;

    // Frees every link (a running one when its run ends); from now on the
    // chain runs nothing and answers 0.
    void ReleaseLinks()
    {
        FReleased = true;
        const std::vector<std::shared_ptr<THookLink>> Gone = std::move(FLinks);
        FLinks.clear();
    }

private:
    struct TRunning {
        explicit TRunning(THookChain& C) : Chain(C) { ++Chain.FRunning; }
        ~TRunning()
        {
            if (--Chain.FRunning == 0 && !Chain.FReleased && Chain.FLinks.empty())
                Chain.Emptied(true);
        }
        THookChain& Chain;
    };

    std::vector<std::shared_ptr<THookLink>> FLinks;
    std::uint64_t FNextOrder = 1;
    int FRunning = 0;
    bool FReleased = false;
};

void TCallPrevious::operator()(TMessage& Message) const
{
    FChain.Run(Message, FOrder);
}

// --- window level ------------------------------------------------------------------

// The chain of one window. It owns itself while the window carries it and
// lets itself go when it takes its entry procedure out or when the window's
// WM_NCDESTROY has been handled.
//
// The entry procedure finds a window's chain in a table by handle: a window
// property would be found by a round trip to Wine's server for every
// message. The table is the thread's own, as a window's messages come on the
// thread that owns it. The window also carries a property naming its chain,
// read only when a link is installed: a chain whose window went without its
// WM_NCDESTROY reaching us (a procedure put over ours dropped it or cut ours
// out) is then not mistaken for the chain of a new window that got the same
// handle.
class TWndHookChain final : public THookChain {
public:
    static TWndHookChain* Of(HWND Wnd)
    {
        const auto It = Chains().find(Wnd);
        return It != Chains().end() ? It->second : nullptr;
    }

    // The window's chain; a new one puts the entry procedure in place.
    static std::shared_ptr<THookChain> Hook(HWND Wnd)
    {
        if (TWndHookChain* Existing = Of(Wnd)) {
            if (GetPropW(Wnd, ChainProp) == Existing)
                return Existing->shared_from_this();
            Existing->Abandon();
        }
        if (!IsWindow(Wnd))
            throw EOSError("Cannot hook the messages of a window that does not exist");
        if (GetWindowThreadProcessId(Wnd, nullptr) != GetCurrentThreadId())
            throw EOSError("Cannot hook the messages of a window of another thread");
        std::shared_ptr<TWndHookChain> Chain(new TWndHookChain(Wnd));
        if (!SetPropW(Wnd, ChainProp, Chain.get()))
            throw EOSError("Cannot hook the messages of a window (error " + std::to_string(GetLastError()) + ")");
        Chains()[Wnd] = Chain.get();
        SetLastError(0);
        const LONG_PTR Before = SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HookEntryProc));
        if (Before == 0 && GetLastError() != 0) {
            const DWORD Error = GetLastError();
            Chains().erase(Wnd);
            RemovePropW(Wnd, ChainProp);
            throw EOSError("Cannot hook the messages of a window (error " + std::to_string(Error) + ")");
        }
        Chain->FBelow = reinterpret_cast<WNDPROC>(Before);
        Chain->FSelf = Chain;
        return Chain;
    }

    // WM_NCDESTROY went through: every link goes, the window forgets the chain.
    void Destroyed()
    {
        const std::shared_ptr<THookChain> Keep = shared_from_this();
        ReleaseLinks();
        if (Of(FWnd) == this && OnTop())
            SetWindowLongPtrW(FWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FBelow));
        Forget();
    }

protected:
    void CallBelow(TMessage& Message) override
    {
        Message.Result = CallWindowProcW(FBelow, FWnd, Message.Msg, Message.WParam, Message.LParam);
    }

    // The entry procedure goes when nothing installed after it calls it;
    // otherwise it stays as a pass-through for the next link or WM_NCDESTROY.
    void Emptied(bool) override
    {
        if (Of(FWnd) != this || !OnTop())
            return;
        SetWindowLongPtrW(FWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FBelow));
        Forget();
    }

private:
    explicit TWndHookChain(HWND Wnd) : FWnd(Wnd) {}

    // This thread's hooked windows. Never freed: windows of forms that the
    // application owns are destroyed during static destruction, after the
    // thread's own objects.
    static std::unordered_map<HWND, TWndHookChain*>& Chains()
    {
        thread_local auto* Table = new std::unordered_map<HWND, TWndHookChain*>;
        return *Table;
    }

    bool OnTop() const { return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(FWnd, GWLP_WNDPROC)) == HookEntryProc; }

    // The caller holds the chain.
    void Forget()
    {
        if (Of(FWnd) == this) {
            Chains().erase(FWnd);
            RemovePropW(FWnd, ChainProp);
        }
        FSelf.reset();
    }

    // The window went without us: its handle now names another window, left alone.
    void Abandon()
    {
        const std::shared_ptr<THookChain> Keep = shared_from_this();
        ReleaseLinks();
        Chains().erase(FWnd);
        FSelf.reset();
    }

    HWND FWnd;
    WNDPROC FBelow = nullptr;
    std::shared_ptr<TWndHookChain> FSelf;
};

namespace {

LRESULT CALLBACK HookEntryProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TWndHookChain* Chain = TWndHookChain::Of(Wnd);
    if (Chain == nullptr)
        return DefWindowProcW(Wnd, Msg, WParam, LParam);
    const std::shared_ptr<THookChain> Keep = Chain->shared_from_this();
    TMessage Message{Msg, WParam, LParam, 0};
    GuardWindowMessage(Wnd, Message, [&] { Chain->Run(Message, AboveAll); });
    if (Msg == WM_NCDESTROY)
        Chain->Destroyed();
    return Message.Result;
}

} // namespace

// --- control level -----------------------------------------------------------------

// What the control's WindowProc becomes: its chain while the control has
// one, else (a copy kept by someone after the chain went) what was below it.
struct TControlDispatcher {
    std::weak_ptr<THookChain> Chain;
    std::shared_ptr<const TWndMethod> Below;

    void operator()(TMessage& Message) const
    {
        if (const std::shared_ptr<THookChain> C = Chain.lock())
            C->Run(Message, AboveAll);
        else
            (*Below)(Message);
    }
};

// The chain of one control, owned by the control and freed with it.
class TControlHookChain final : public THookChain {
public:
    static std::shared_ptr<THookChain> Hook(TControl* Control)
    {
        if (Control->FHookChain)
            return Control->FHookChain;
        std::shared_ptr<TControlHookChain> Chain(new TControlHookChain(Control));
        Control->WindowProc = TControlDispatcher{Chain, Chain->FBelow};
        Control->FHookChain = Chain;
        return Chain;
    }

protected:
    void CallBelow(TMessage& Message) override { (*FBelow)(Message); }

    // Outside a run the former WindowProc goes back when the dispatcher is
    // still on top. At the end of a run the dispatcher is on the stack and
    // stays, as a pass-through that the next link reuses.
    void Emptied(bool AfterRun) override
    {
        if (AfterRun)
            return;
        const auto* Top = FControl->WindowProc.target<TControlDispatcher>();
        if (Top == nullptr || Top->Chain.lock().get() != this)
            return;
        const std::shared_ptr<THookChain> Keep = shared_from_this();
        FControl->WindowProc = *FBelow;
        FControl->FHookChain.reset();
    }

private:
    explicit TControlHookChain(TControl* Control)
        : FControl(Control), FBelow(std::make_shared<const TWndMethod>(Control->WindowProc))
    {
    }

    TControl* FControl;
    std::shared_ptr<const TWndMethod> FBelow;
};

// --- handles -----------------------------------------------------------------------

TWindowHook::TWindowHook(const std::shared_ptr<THookChain>& Chain, const std::shared_ptr<THookLink>& Link)
    : FChain(Chain), FLink(Link), FOrder(Link->Order)
{
}

TWindowHook::TWindowHook(TWindowHook&& Other) noexcept
    : FChain(std::move(Other.FChain)), FLink(std::move(Other.FLink)), FOrder(Other.FOrder)
{
    Other.FOrder = 0;
}

TWindowHook& TWindowHook::operator=(TWindowHook&& Other) noexcept
{
    if (this != &Other) {
        Remove();
        FChain = std::move(Other.FChain);
        FLink = std::move(Other.FLink);
        FOrder = Other.FOrder;
        Other.FOrder = 0;
    }
    return *this;
}

void TWindowHook::Remove()
{
    const std::shared_ptr<THookChain> Chain = FChain.lock();
    const std::shared_ptr<THookLink> Link = FLink.lock();
    FLink.reset();
    if (Chain && Link)
        Chain->Remove(Link.get());
}

bool TWindowHook::Installed() const
{
    const std::shared_ptr<THookChain> Chain = FChain.lock();
    const std::shared_ptr<THookLink> Link = FLink.lock();
    return Chain && Link && !Chain->Released() && Chain->Contains(Link.get());
}

void TWindowHook::CallPrevious(TMessage& Message) const
{
    if (const std::shared_ptr<THookChain> Chain = FChain.lock())
        Chain->Run(Message, FOrder);
    else
        Message.Result = 0;
}

LRESULT TWindowHook::CallPrevious(UINT Msg, WPARAM WParam, LPARAM LParam) const
{
    TMessage Message{Msg, WParam, LParam, 0};
    CallPrevious(Message);
    return Message.Result;
}

TWindowHook HookWindowProc(TControl* Control, TWindowHookProc Proc)
{
    if (Control == nullptr || !Proc)
        throw EInvalidOperation("A window hook needs a control and a procedure");
    const std::shared_ptr<THookChain> Chain = TControlHookChain::Hook(Control);
    return TWindowHook(Chain, Chain->Add(std::move(Proc)));
}

TWindowHook HookWndProc(HWND Wnd, TWindowHookProc Proc)
{
    if (!Proc)
        throw EInvalidOperation("A window hook needs a procedure");
    const std::shared_ptr<THookChain> Chain = TWndHookChain::Hook(Wnd);
    return TWindowHook(Chain, Chain->Add(std::move(Proc)));
}

bool WindowHooked(HWND Wnd)
{
    const TWndHookChain* Chain = TWndHookChain::Of(Wnd);
    return Chain != nullptr && GetPropW(Wnd, ChainProp) == Chain;
}
