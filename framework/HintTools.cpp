#include "framework/HintTools.h"

#include <iterator>
#include <map>

#include <commctrl.h>

#include "framework/Codepage.h"
#include "framework/CommonControls.h"
#include "framework/Form.h"

namespace {

struct TTool {
    HWND Tip = nullptr;
    HWND Wnd = nullptr;
    UINT_PTR Id = 0;
};

// Never freed: controls freed during static destruction still call in.
std::map<TControl*, TTool>& Tools()
{
    static auto* map = new std::map<TControl*, TTool>;
    return *map;
}

std::map<TCustomForm*, HWND>& Tips()
{
    static auto* map = new std::map<TCustomForm*, HWND>;
    return *map;
}

// The hint font: the default face, which has Chinese glyphs.
HFONT HintFont()
{
    static auto* font = new TFont;
    return font->Handle();
}

TTTOOLINFOW ToolInfo(const TTool& Tool)
{
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = Tool.Wnd;
    info.uId = Tool.Id;
    return info;
}

HWND TipOf(TCustomForm* Form)
{
    HWND& tip = Tips()[Form];
    if (tip != nullptr && IsWindow(tip))
        return tip;
    InitCommonControlClasses(ICC_WIN95_CLASSES);
    // Owned by the form: it goes when the form's window goes.
    tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Form->Handle(), nullptr,
                          GetModuleHandleW(nullptr), nullptr);
    if (tip != nullptr) {
        SendMessageW(tip, WM_SETFONT, reinterpret_cast<WPARAM>(HintFont()), FALSE);
        SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 400);
    }
    return tip;
}

} // namespace

void HintToolRemoved(TControl* Control)
{
    auto it = Tools().find(Control);
    if (it == Tools().end())
        return;
    if (IsWindow(it->second.Tip)) {
        TTTOOLINFOW info = ToolInfo(it->second);
        SendMessageW(it->second.Tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    Tools().erase(it);
}

void HintToolFormRemoved(TCustomForm* Form)
{
    auto it = Tips().find(Form);
    if (it == Tips().end())
        return;
    const HWND tip = it->second;
    Tips().erase(it);
    // The tools of its controls go with it: their controls find no tool to
    // delete from a window that is gone (or that has another owner by then).
    for (auto tool = Tools().begin(); tool != Tools().end();)
        tool = tool->second.Tip == tip ? Tools().erase(tool) : std::next(tool);
    if (tip != nullptr && IsWindow(tip))
        DestroyWindow(tip);
}

void HintToolChanged(TControl* Control)
{
    HintToolRemoved(Control);
    if (!Control->HintActive() || Control->IsDestroying())
        return;
    TCustomForm* form = GetParentForm(Control);
    if (form == nullptr || !form->HandleAllocated())
        return;
    TTool tool;
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_SUBCLASS;
    if (auto* w = dynamic_cast<TWinControl*>(Control)) {
        if (!w->HandleAllocated() || w == form)
            return;
        tool.Wnd = GetParent(w->Handle());
        tool.Id = reinterpret_cast<UINT_PTR>(w->Handle());
        info.uFlags |= TTF_IDISHWND;
    } else {
        if (Control->Parent() == nullptr || !Control->Parent()->HandleAllocated())
            return;
        tool.Wnd = Control->Parent()->Handle();
        tool.Id = reinterpret_cast<UINT_PTR>(Control);
        info.rect = Control->BoundsRect();
    }
    tool.Tip = TipOf(form);
    if (tool.Tip == nullptr)
        return;
    WideString text = StrToWide(Control->Hint());
    info.hwnd = tool.Wnd;
    info.uId = tool.Id;
    info.lpszText = text.data();
    if (SendMessageW(tool.Tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)))
        Tools()[Control] = tool;
}

String HintToolText(TControl* Control)
{
    auto it = Tools().find(Control);
    if (it == Tools().end() || !IsWindow(it->second.Tip))
        return String();
    wchar_t buffer[1024] = {};
    TTTOOLINFOW info = ToolInfo(it->second);
    info.lpszText = buffer;
    SendMessageW(it->second.Tip, TTM_GETTEXTW, static_cast<WPARAM>(std::size(buffer)), reinterpret_cast<LPARAM>(&info));
    return WideToStr(buffer);
}

HWND HintToolWindow(TControl* Control)
{
    TCustomForm* form = GetParentForm(Control);
    if (form == nullptr)
        return nullptr;
    auto it = Tips().find(form);
    return it != Tips().end() && IsWindow(it->second) ? it->second : nullptr;
}
