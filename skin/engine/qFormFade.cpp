// The fade-in of a form: a window over the form blends from the screen
// behind the form to the form's picture, then goes away.
#include "skin/engine/qControlTree.h"

#include <algorithm>
#include <memory>

#include "framework/Application.h"
#include "framework/Form.h"
#include "skin/engine/qCommonData.h"
#include "skin/engine/qConst.h"
#include "skin/engine/qPixelOps.h"

namespace {

TOutputWindow* TheOutputWindow = nullptr;
std::unique_ptr<TBitmap> ScreenCapture;

bool CaptureScreen(HDC Screen, HDC Into, const RECT& Window)
{
    return BitBlt(Into, 0, 0, Window.right - Window.left, Window.bottom - Window.top, Screen, Window.left, Window.top,
                  SRCCOPY) != FALSE;
}

// Frees the output window and the capture, and lets the form draw again.
void EndFade(TCustomForm* Form)
{
    if (TOutputWindow* out = TheOutputWindow) {
        TheOutputWindow = nullptr;
        // Owned by the form: taken out of its components by its own freeing.
        std::unique_ptr<TOutputWindow> owned(out);
    }
    ScreenCapture.reset();
    if (Form != nullptr && Form->HandleAllocated()) {
        SendMessageW(Form->Handle(), WM_SETREDRAW, 1, 0);
        // WM_SETREDRAW 1 paints nothing by itself.
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

// A window DC of Wnd, released on every way out.
class TWindowDC {
public:
    explicit TWindowDC(HWND Wnd) : FWnd(Wnd), FDC(GetWindowDC(Wnd)) {}
    ~TWindowDC()
    {
        if (FDC != nullptr)
            ReleaseDC(FWnd, FDC);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC DC() const { return FDC; }

private:
    HWND FWnd;
    HDC FDC;
};

void PlaceOutputWindow(TCustomForm* Form, TOutputWindow* Out)
{
    HWND above = GetWindow(Form->Handle(), GW_HWNDPREV);
    if (Form->Parent() != nullptr) {
        Out->SetParent(Form->Parent());
        Out->SetBoundsRect(Form->BoundsRect());
        SetWindowPos(Out->Handle(), above != nullptr ? above : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ShowWindow(Out->Handle(), SW_SHOWNA);
        return;
    }
    RECT r;
    GetWindowRect(Form->Handle(), &r);
    Out->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    SetWindowPos(Out->Handle(), above != nullptr ? above : HWND_TOP, r.left, r.top, r.right - r.left,
                 r.bottom - r.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// The skinned outline of the form for the output window.
void TakeFormRegion(TCustomForm* Form, TOutputWindow* Out)
{
    auto* provider = reinterpret_cast<TqStateHolder*>(SendControlCommand(Form, scmGetProvider, 0));
    if (provider == nullptr)
        return;
    HRGN region = provider->CreateFormRegion();
    if (region != nullptr && SetWindowRgn(Out->Handle(), region, FALSE) == 0)
        DeleteObject(region);
}

void ShowFrames(TCustomForm* Form, int Time, TBitmap& Image)
{
    HWND out = TheOutputWindow->Handle();
    const TWindowDC windowDC(out);
    if (windowDC.DC() == nullptr)
        return;
    TFadeHooks& hooks = FadeHooks();
    if (Time > 7 && ScreenCapture) {
        TBitmap frame(Form->Width(), Form->Height(), TPixelFormat::pf32bit);
        const int n = Time >> 3;
        const int step = 255 / n;
        int level = 255;
        for (int k = 0; k <= n; ++k) {
            const int shown = std::max(0, level);
            MixFadeFrame(&frame, ScreenCapture.get(), &Image, shown, nullptr);
            BitBlt(windowDC.DC(), 0, 0, frame.Width(), frame.Height(), frame.Canvas()->Handle(), 0, 0, SRCCOPY);
            if (hooks.Frame)
                hooks.Frame(shown);
            level -= step;
            if (k < n) {
                if (hooks.Sleep)
                    hooks.Sleep(8);
                else
                    Sleep(8);
            }
        }
    }
    // The last picture is always the form itself.
    BitBlt(windowDC.DC(), 0, 0, Image.Width(), Image.Height(), Image.Canvas()->Handle(), 0, 0, SRCCOPY);
    if (hooks.Frame)
        hooks.Frame(-1);
}

}   // namespace

TOutputWindow::TOutputWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetText("zqOutputWindow");
    SetVisible(false);
    SetColor(0x800080);
}

void TOutputWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    if (Parent() != nullptr)
        return;
    Params.Style = WS_POPUP;
    Params.ExStyle = 0;
    Params.Menu = nullptr;   // a pop-up window's menu, not a child's identifier
    if (auto* owner = dynamic_cast<TWinControl*>(Owner());
        owner != nullptr && owner->HandleAllocated() &&
        (GetWindowLongPtrW(owner->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0)
        Params.ExStyle |= WS_EX_TOPMOST;
    Params.WndParent = Application->Handle();
}

void TOutputWindow::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;
        return;
    }
    TCustomControl::WndProc(Message);
}

TOutputWindow* OutputWindow()
{
    return TheOutputWindow;
}

TFadeHooks& FadeHooks()
{
    static TFadeHooks hooks;
    return hooks;
}

void PrepareOutputWindow(TCustomForm* Form)
{
    if (Form == nullptr || !Form->HandleAllocated())
        return;
    SendMessageW(Form->Handle(), WM_SETREDRAW, 0, 0);
    try {
        if (!ScreenCapture) {
            RECT r;
            GetWindowRect(Form->Handle(), &r);
            auto capture = std::make_unique<TBitmap>(Form->Width(), Form->Height(), TPixelFormat::pf24bit);
            HDC screen = GetDC(nullptr);
            const bool taken = screen != nullptr &&
                               (FadeHooks().Capture ? FadeHooks().Capture(screen, capture->Canvas()->Handle(), r)
                                                    : CaptureScreen(screen, capture->Canvas()->Handle(), r));
            if (screen != nullptr)
                ReleaseDC(nullptr, screen);
            if (!taken) {
                // Nothing to fade from: the form shows at once.
                EndFade(Form);
                return;
            }
            ScreenCapture = std::move(capture);
        }
        TheOutputWindow = new TOutputWindow(Form);
        PlaceOutputWindow(Form, TheOutputWindow);
    } catch (...) {
        EndFade(Form);
        throw;
    }
}

void AnimateFormShow(TCustomForm* Form, int Time)
{
    if (Form == nullptr)
        return;
    if (TheOutputWindow == nullptr)
        PrepareOutputWindow(Form);
    if (TheOutputWindow == nullptr)
        return;
    try {
        TBitmap image(Form->Width(), Form->Height(), TPixelFormat::pf24bit);
        PaintControlTree(&image, Form);
        TakeFormRegion(Form, TheOutputWindow);
        ShowFrames(Form, Time, image);
        if ((GetWindowLongPtrW(Form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED) == 0)
            SetWindowPos(TheOutputWindow->Handle(), nullptr, 0, 0, 0, 0,
                         SWP_NOCOPYBITS | SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOMOVE | SWP_NOSIZE |
                             SWP_NOZORDER);
    } catch (...) {
        EndFade(Form);
        throw;
    }
    EndFade(Form);
}

