#include "framework/Memo.h"

#include "framework/Codepage.h"

TCustomMemo::TCustomMemo(TComponent* AOwner)
    : TCustomEdit(AOwner), FLines(std::make_unique<TMemoLines>(this))
{
    SetBounds(0, 0, 185, 89);
}

void TCustomMemo::CreateParams(TCreateParams& Params)
{
    TCustomEdit::CreateParams(Params);
    Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
    if (!FWordWrap)
        Params.Style |= ES_AUTOHSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth)
        Params.Style |= WS_VSCROLL;
    if ((FScrollBars == ssHorizontal || FScrollBars == ssBoth) && !FWordWrap)
        Params.Style |= WS_HSCROLL;
}

void TCustomMemo::SetScrollBars(TScrollStyle Value)
{
    if (Value == FScrollBars)
        return;
    FScrollBars = Value;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value)
{
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    RecreateWnd();
}

bool TCustomMemo::WantsSpecialKey(Word Key)
{
    return (Key == VK_RETURN && WantReturns) || (Key == VK_TAB && WantTabs);
}

void TCustomMemo::ScrollToEnd()
{
    if (!HandleAllocated())
        return;
    const int length = GetWindowTextLengthW(Handle());
    SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(length), length);
    SendMessageW(Handle(), EM_SCROLLCARET, 0, 0);
}

// The lines of the text: separated by CR LF (or a lone LF or CR); a line
// break at the very end starts no further line.
std::vector<String> TMemoLines::Split() const
{
    const String text = FMemo->Text();
    std::vector<String> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == String::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

void TMemoLines::Join(const std::vector<String>& Lines)
{
    String text;
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += Lines[i];
    }
    FMemo->SetText(text);
}

int TMemoLines::Count() const
{
    return static_cast<int>(Split().size());
}

String TMemoLines::Strings(int Index) const
{
    const auto lines = Split();
    if (Index < 0 || Index >= static_cast<int>(lines.size()))
        RaiseIndexError(Index);
    return lines[static_cast<std::size_t>(Index)];
}

void TMemoLines::Put(int Index, const String& S)
{
    auto lines = Split();
    if (Index < 0 || Index >= static_cast<int>(lines.size()))
        RaiseIndexError(Index);
    lines[static_cast<std::size_t>(Index)] = S;
    Join(lines);
}

// Appends at the end of the window's text, without setting all of it
// again, and shows the end.
int TMemoLines::Add(const String& S)
{
    const int index = Count();
    if (!FMemo->HandleAllocated()) {
        Insert(index, S);
        return index;
    }
    // Every added line starts on a line of its own, also after an empty one.
    const bool needsBreak = GetWindowTextLengthW(FMemo->Handle()) > 0;
    HWND wnd = FMemo->Handle();
    const int length = GetWindowTextLengthW(wnd);
    SendMessageW(wnd, EM_SETSEL, static_cast<WPARAM>(length), length);
    const WideString added = StrToWide((needsBreak ? String("\r\n") : String()) + S);
    SendMessageW(wnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added.c_str()));
    SendMessageW(wnd, EM_SCROLLCARET, 0, 0);
    return index;
}

void TMemoLines::Insert(int Index, const String& S)
{
    auto lines = Split();
    if (Index < 0 || Index > static_cast<int>(lines.size()))
        RaiseIndexError(Index);
    lines.insert(lines.begin() + Index, S);
    Join(lines);
    FMemo->ScrollToEnd();
}

void TMemoLines::Delete(int Index)
{
    auto lines = Split();
    if (Index < 0 || Index >= static_cast<int>(lines.size()))
        RaiseIndexError(Index);
    lines.erase(lines.begin() + Index);
    Join(lines);
}

void TMemoLines::Clear()
{
    FMemo->SetText(String());
}
