#include "tests/support/GuiHarness.h"

#include <array>
#include <fstream>

#include "framework/Codepage.h"
#include "framework/Ticks.h"
#include "framework/WinControl.h"

namespace gui {

bool PumpUntil(const std::function<bool()>& Done, Cardinal BoundMs)
{
    const Cardinal start = GetTickCount32();
    for (;;) {
        Application->ProcessMessages();
        if (Done())
            return true;
        if (GetTickCount32() - start > BoundMs)
            return false;
        Sleep(5);
    }
}

void PumpFor(Cardinal Ms)
{
    PumpUntil([] { return false; }, Ms);
}

void Settle()
{
    Application->ProcessMessages();
}

namespace {

// The window that receives mouse input for a control, and the point in it.
HWND MouseWindow(TControl* Control, int& X, int& Y)
{
    if (auto* w = dynamic_cast<TWinControl*>(Control))
        return w->Handle();
    X += Control->Left();
    Y += Control->Top();
    return Control->Parent()->Handle();
}

} // namespace

void ClickAt(TControl* Control, int X, int Y, TMouseButton Button)
{
    HWND wnd = MouseWindow(Control, X, Y);
    const UINT down = Button == mbLeft ? WM_LBUTTONDOWN : Button == mbRight ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
    const WPARAM held = Button == mbLeft ? MK_LBUTTON : Button == mbRight ? MK_RBUTTON : MK_MBUTTON;
    SendMessageW(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(X, Y));
    SendMessageW(wnd, down, held, MAKELPARAM(X, Y));
    SendMessageW(wnd, down + 1, 0, MAKELPARAM(X, Y));
    Settle();
}

void Click(TControl* Control)
{
    auto* w = dynamic_cast<TWinControl*>(Control);
    wchar_t className[32] = {};
    if (w != nullptr)
        GetClassNameW(w->Handle(), className, 32);
    if (w != nullptr && lstrcmpiW(className, L"Button") == 0) {
        SendMessageW(w->Handle(), BM_CLICK, 0, 0);
        Settle();
        return;
    }
    ClickAt(Control, Control->Width() / 2, Control->Height() / 2);
}

void PressKey(Word Key)
{
    HWND focus = GetFocus();
    const UINT scan = MapVirtualKeyW(Key, MAPVK_VK_TO_VSC);
    PostMessageW(focus, WM_KEYDOWN, Key, static_cast<LPARAM>(1 | (scan << 16)));
    PostMessageW(focus, WM_KEYUP, Key, static_cast<LPARAM>(1 | (scan << 16) | (3u << 30)));
    Settle();
}

void PressAltKey(Word Key)
{
    INPUT input[4] = {};
    const Word keys[4] = {VK_MENU, Key, Key, VK_MENU};
    for (int i = 0; i < 4; ++i) {
        input[i].type = INPUT_KEYBOARD;
        input[i].ki.wVk = keys[i];
        input[i].ki.wScan = static_cast<WORD>(MapVirtualKeyW(keys[i], MAPVK_VK_TO_VSC));
        input[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    SendInput(4, input, sizeof(INPUT));
    Settle();
}

void TypeText(const String& Text)
{
    for (wchar_t c : StrToWide(Text))
        PostMessageW(GetFocus(), WM_CHAR, c, 1);
    Settle();
}

std::unique_ptr<TBitmap> Capture(HWND Wnd)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->CaptureWindow(Wnd);
    return bitmap;
}

// Cut out of the form's client area: the DC of a system-class parent (whose
// class has CS_PARENTDC) does not read back its own pixels under Wine.
std::unique_ptr<TBitmap> CaptureControl(TControl* Control)
{
    TCustomForm* form = GetParentForm(Control);
    auto whole = Capture(form->Handle());
    const TPoint origin = Control->ClientOrigin();
    const TPoint formOrigin = form->ClientOrigin();
    const TRect source = Bounds(origin.x - formOrigin.x, origin.y - formOrigin.y, Control->Width(), Control->Height());
    auto part = std::make_unique<TBitmap>(Control->Width(), Control->Height());
    part->Canvas()->CopyRect(Rect(0, 0, Control->Width(), Control->Height()), whole->Canvas(), source);
    return part;
}

COLORREF PixelAt(TBitmap* Bitmap, int X, int Y)
{
    const Byte* row = Bitmap->ScanLine(Y);
    const Byte* p = row + X * Bitmap->BytesPerPixel();
    return RGB(p[2], p[1], p[0]);
}

int CountPixelsNot(TBitmap* Bitmap, const TRect& R, COLORREF Background)
{
    int n = 0;
    for (int y = std::max(0, static_cast<int>(R.top)); y < std::min(Bitmap->Height(), static_cast<int>(R.bottom)); ++y)
        for (int x = std::max(0, static_cast<int>(R.left)); x < std::min(Bitmap->Width(), static_cast<int>(R.right)); ++x)
            n += PixelAt(Bitmap, x, y) != Background ? 1 : 0;
    return n;
}

int CountPixelsNot(TBitmap* Bitmap, COLORREF Background)
{
    return CountPixelsNot(Bitmap, Rect(0, 0, Bitmap->Width(), Bitmap->Height()), Background);
}

namespace {

std::uint32_t Crc32(const Byte* Data, std::size_t Size, std::uint32_t Crc = 0)
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    Crc = ~Crc;
    for (std::size_t i = 0; i < Size; ++i)
        Crc = table[(Crc ^ Data[i]) & 0xFF] ^ (Crc >> 8);
    return ~Crc;
}

void PutBigEndian(std::string& Out, std::uint32_t Value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        Out.push_back(static_cast<char>((Value >> shift) & 0xFF));
}

void PutChunk(std::string& Out, const char* Type, const std::string& Data)
{
    PutBigEndian(Out, static_cast<std::uint32_t>(Data.size()));
    std::string body(Type, 4);
    body += Data;
    Out += body;
    PutBigEndian(Out, Crc32(reinterpret_cast<const Byte*>(body.data()), body.size()));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string ZlibStored(const std::string& Data)
{
    std::string out("\x78\x01", 2);
    std::size_t pos = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, Data.size() - pos);
        const bool last = pos + n == Data.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<char>(n & 0xFF));
        out.push_back(static_cast<char>(n >> 8));
        out.push_back(static_cast<char>(~n & 0xFF));
        out.push_back(static_cast<char>((~n >> 8) & 0xFF));
        out.append(Data, pos, n);
        pos += n;
    } while (pos < Data.size());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (unsigned char c : Data) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(out, (b << 16) | a);
    return out;
}

void WritePng(TBitmap* Bitmap, const std::string& Path)
{
    std::string header;
    PutBigEndian(header, static_cast<std::uint32_t>(Bitmap->Width()));
    PutBigEndian(header, static_cast<std::uint32_t>(Bitmap->Height()));
    header += std::string("\x08\x02\x00\x00\x00", 5);   // 8-bit RGB
    std::string pixels;
    for (int y = 0; y < Bitmap->Height(); ++y) {
        pixels.push_back(0);   // no filter
        for (int x = 0; x < Bitmap->Width(); ++x) {
            const COLORREF c = PixelAt(Bitmap, x, y);
            pixels.push_back(static_cast<char>(GetRValue(c)));
            pixels.push_back(static_cast<char>(GetGValue(c)));
            pixels.push_back(static_cast<char>(GetBValue(c)));
        }
    }
    std::string png("\x89PNG\r\n\x1a\n", 8);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", ZlibStored(pixels));
    PutChunk(png, "IEND", std::string());
    std::ofstream file(Path, std::ios::binary);
    file.write(png.data(), static_cast<std::streamsize>(png.size()));
    if (!file)
        throw EFCreateError("Cannot write " + Path);
}

} // namespace

void SaveScreenshot(HWND Wnd, const std::string& Path)
{
    RedrawWindow(Wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    RECT r;
    GetWindowRect(Wnd, &r);
    TBitmap bitmap(RectWidth(r), RectHeight(r));
    HDC screen = GetDC(nullptr);
    BitBlt(bitmap.Canvas()->Handle(), 0, 0, RectWidth(r), RectHeight(r), screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    WritePng(&bitmap, Path);
}

void SaveScreenshot(TCustomForm* Form, const std::string& Path)
{
    SaveScreenshot(Form->Handle(), Path);
}

std::string Utf8(const String& Text)
{
    return StrToUtf8(Text);
}

MessageBoxAnswers::MessageBoxAnswers(int AAnswer) : Answer(AAnswer), FSaved(Application->MessageBoxHook)
{
    Application->MessageBoxHook = [this](const String& Text, const String& Caption, UINT Flags) {
        Boxes.push_back(Box{Text, Caption, Flags});
        return Answer;
    };
}

MessageBoxAnswers::~MessageBoxAnswers()
{
    Application->MessageBoxHook = FSaved;
}

namespace {

// The ModalScript alive now (ShowModalHook is one, so there is at most one).
ModalScript* CurrentScript = nullptr;
constexpr UINT_PTR WatchdogTimer = 0x5EED;
constexpr UINT WatchdogTickMs = 50;

} // namespace

ModalScript::ModalScript(std::function<void(TCustomForm* Form)> Script, Cardinal BoundMs)
    : FScript(std::move(Script)), FBoundMs(BoundMs)
{
    CurrentScript = this;
    ShowModalHook = [this](TCustomForm* Form) {
        ++Shown;
        HWND wnd = Form->Handle();
        FStarted[wnd] = GetTickCount32();
        SetTimer(wnd, WatchdogTimer, WatchdogTickMs, Watchdog);
        FScript(Form);
    };
}

ModalScript::~ModalScript()
{
    ShowModalHook = nullptr;
    CurrentScript = nullptr;
    for (const auto& watched : FStarted)
        if (IsWindow(watched.first))
            KillTimer(watched.first, WatchdogTimer);
}

// Each tick: a run that ended stops its watchdog; one that is still modal
// after the bound is ended with mrAbort.
void CALLBACK ModalScript::Watchdog(HWND Wnd, UINT, UINT_PTR Id, DWORD)
{
    GuardCallback([&] {
        ModalScript* script = CurrentScript;
        auto* form = dynamic_cast<TCustomForm*>(FindControl(Wnd));
        if (script == nullptr || form == nullptr || !form->Modal() || script->FStarted.count(Wnd) == 0) {
            KillTimer(Wnd, Id);
            if (script != nullptr)
                script->FStarted.erase(Wnd);
            return;
        }
        if (GetTickCount32() - script->FStarted[Wnd] > script->FBoundMs) {
            KillTimer(Wnd, Id);
            script->FStarted.erase(Wnd);
            ++script->TimedOut;
            form->SetModalResult(mrAbort);
        }
    });
}

FileDialogAnswers::FileDialogAnswers(TFileDialogHook Answer)
{
    FileDialogHook = std::move(Answer);
}

FileDialogAnswers::~FileDialogAnswers()
{
    FileDialogHook = nullptr;
}

PopupMenuAnswers::PopupMenuAnswers(TPopupMenuHook Answer)
{
    PopupMenuHook = std::move(Answer);
}

PopupMenuAnswers::~PopupMenuAnswers()
{
    PopupMenuHook = nullptr;
}

std::vector<MenuEntry> MenuEntries(HMENU Menu)
{
    std::vector<MenuEntry> entries;
    const int n = GetMenuItemCount(Menu);
    for (int i = 0; i < n; ++i) {
        wchar_t text[256] = {};
        GetMenuStringW(Menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        const UINT state = GetMenuState(Menu, static_cast<UINT>(i), MF_BYPOSITION);
        entries.push_back(MenuEntry{StrToUtf8(WideToStr(text)), GetMenuItemID(Menu, i), (state & MF_GRAYED) != 0,
                                    (state & MF_CHECKED) != 0});
    }
    return entries;
}

} // namespace gui
