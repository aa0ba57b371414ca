// The Unicode layer: wide characters through the 8-bit key press, input
// method results, caption holders and the wide string routines.
#include "grid/interaction/PsgUni.h"

#include <imm.h>

#include <cstring>
#include <string>

#include "framework/Codepage.h"

void StashWideChar(TMessage& Message)
{
    const WPARAM code = Message.WParam & 0xFFFF;
    if (code > 255)
        Message.WParam = (code << 16) | 255;
}

void RestoreWideChar(TMessage& Message)
{
    const WPARAM spare = (Message.WParam >> 16) & 0xFFFF;
    WPARAM code = Message.WParam & 0xFFFF;
    if (spare != 0 && code == 255)
        code = spare;
    Message.WParam = code;
}

bool HandleImeComposition(HWND Wnd, const TMessage& Message)
{
    if (Message.Msg != WM_IME_COMPOSITION || (Message.LParam & GCS_RESULTSTR) == 0)
        return false;
    HIMC context = ImmGetContext(Wnd);
    if (context == nullptr)
        return false;
    WideString text;
    const LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
    if (bytes > 0) {
        text.resize(static_cast<std::size_t>(bytes) / sizeof(wchar_t));
        ImmGetCompositionStringW(context, GCS_RESULTSTR, text.data(), static_cast<DWORD>(bytes));
    }
    ImmReleaseContext(Wnd, context);
    for (wchar_t c : text)
        SendMessageW(Wnd, WM_CHAR, c, 1);
    return true;
}

void UnicodeCharMessage(TWinControl* Control, TMessage& Message, const std::function<void(TMessage&)>& Forward)
{
    StashWideChar(Message);
    char key = static_cast<char>(Message.WParam & 0xFF);
    if (Control->DoKeyPress(key)) {
        Message.Result = 0;
        return;
    }
    Message.WParam = (Message.WParam & ~static_cast<WPARAM>(0xFFFF)) | static_cast<unsigned char>(key);
    RestoreWideChar(Message);
    Forward(Message);
}

// ---------------------------------------------------------------------------
// Caption holders

TWideCaptionHolder* FindCaptionHolder(TControl* Control, const WideString& Initial)
{
    for (int i = 0; i < Control->ComponentCount(); ++i)
        if (auto* holder = dynamic_cast<TWideCaptionHolder*>(Control->Components(i)))
            return holder;
    auto* holder = new TWideCaptionHolder(Control);
    holder->Caption = Initial;
    return holder;
}

WideString GetWideText(TWinControl* Control)
{
    if (Control->HandleAllocated()) {
        HWND wnd = Control->Handle();
        const int length = GetWindowTextLengthW(wnd);
        WideString text(static_cast<std::size_t>(length) + 1, L'\0');
        const int got = GetWindowTextW(wnd, text.data(), length + 1);
        text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
        return text;
    }
    return FindCaptionHolder(Control, StrToWide(Control->Text()))->Caption;
}

void SetWideText(TWinControl* Control, const WideString& Text)
{
    if (Control->HandleAllocated()) {
        if (GetWideText(Control) != Text) {
            SetWindowTextW(Control->Handle(), Text.c_str());
            Control->Perform(CM_TEXTCHANGED);
        }
        return;
    }
    Control->SetText(WideToStr(Text));
    FindCaptionHolder(Control, Text)->Caption = Text;
}

void SaveWideCaption(TWinControl* Control)
{
    if (Control->HandleAllocated() && !Control->IsDestroying())
        FindCaptionHolder(Control, WideString())->Caption = GetWideText(Control);
}

void RestoreWideCaption(TWinControl* Control)
{
    const WideString text = FindCaptionHolder(Control, StrToWide(Control->Text()))->Caption;
    SetWindowTextW(Control->Handle(), text.c_str());
}

// ---------------------------------------------------------------------------
// String routines

void TWideBufferDeleter::operator()(wchar_t* Buffer) const
{
    if (Buffer != nullptr)
        delete[] (reinterpret_cast<char*>(Buffer) - sizeof(std::uint32_t));
}

std::size_t StrLenW(const wchar_t* Str)
{
    std::size_t n = 0;
    if (Str != nullptr)
        while (Str[n] != 0)
            ++n;
    return n;
}

wchar_t* StrMoveW(wchar_t* Dest, const wchar_t* Source, std::size_t Count)
{
    std::memmove(Dest, Source, Count * sizeof(wchar_t));
    return Dest;
}

TWideBuffer StrAllocW(std::size_t Size)
{
    const std::size_t bytes = (Size + 1) * sizeof(wchar_t) + sizeof(std::uint32_t);
    char* block = new char[bytes]();
    const auto stored = static_cast<std::uint32_t>(bytes);
    std::memcpy(block, &stored, sizeof stored);
    return TWideBuffer(reinterpret_cast<wchar_t*>(block + sizeof(std::uint32_t)));
}

TWideBuffer StrNewW(const wchar_t* Str)
{
    if (Str == nullptr)
        return TWideBuffer();
    const std::size_t n = StrLenW(Str);
    TWideBuffer buffer = StrAllocW(n);
    StrMoveW(buffer.get(), Str, n);
    return buffer;
}

std::uint32_t StrBufSizeW(const wchar_t* Buffer)
{
    std::uint32_t size = 0;
    std::memcpy(&size, reinterpret_cast<const char*>(Buffer) - sizeof size, sizeof size);
    return size;
}

namespace {

int CompareResult(int Result)
{
    return Result == CSTR_LESS_THAN ? -1 : Result == CSTR_GREATER_THAN ? 1 : 0;
}

} // namespace

int CompareTextWideNT(const WideString& S1, const WideString& S2, LCID Locale)
{
    return CompareResult(CompareStringW(Locale, NORM_IGNORECASE, S1.data(), static_cast<int>(S1.size()), S2.data(),
                                        static_cast<int>(S2.size())));
}

UINT CodePageFromLocale(LCID Locale)
{
    wchar_t buffer[7] = {};
    if (GetLocaleInfoW(Locale, LOCALE_IDEFAULTANSICODEPAGE, buffer, 6) > 0) {
        const UINT page = static_cast<UINT>(std::wcstoul(buffer, nullptr, 10));
        if (page != 0)
            return page;
    }
    return GetACP();
}

int CompareTextWide95(const WideString& S1, const WideString& S2, LCID Locale)
{
    const UINT page = CodePageFromLocale(Locale);
    const auto narrow = [page](const WideString& W) {
        const int n = WideCharToMultiByte(page, 0, W.data(), static_cast<int>(W.size()), nullptr, 0, nullptr, nullptr);
        std::string s(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
        if (n > 0)
            WideCharToMultiByte(page, 0, W.data(), static_cast<int>(W.size()), s.data(), n, nullptr, nullptr);
        return s;
    };
    const std::string a = narrow(S1);
    const std::string b = narrow(S2);
    return CompareResult(CompareStringA(Locale, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                                        static_cast<int>(b.size())));
}
