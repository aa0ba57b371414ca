// The grid's rich-text control over the system's rich edit window.
#include "grid/interaction/ProRichEdit.h"

#include <cstring>

#include <richedit.h>

#include "framework/Codepage.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/InplaceEditors.h"

namespace {

// The rich edit window class comes with its library, loaded once.
void LoadRichEditLibrary()
{
    static const HMODULE Library = LoadLibraryW(L"riched20.dll");
    (void)Library;
}

DWORD CALLBACK StreamInProc(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done)
{
    auto* Source = reinterpret_cast<std::pair<const String*, std::size_t>*>(Cookie);
    const std::size_t Left = Source->first->size() - Source->second;
    const std::size_t N = std::min<std::size_t>(Left, static_cast<std::size_t>(Count));
    std::memcpy(Buffer, Source->first->data() + Source->second, N);
    Source->second += N;
    *Done = static_cast<LONG>(N);
    return 0;
}

DWORD CALLBACK StreamOutProc(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done)
{
    reinterpret_cast<String*>(Cookie)->append(reinterpret_cast<const char*>(Buffer), static_cast<std::size_t>(Count));
    *Done = Count;
    return 0;
}

} // namespace

String CellTextAsRtf(const String& Text)
{
    if (Text.rfind("{\\rtf", 0) == 0)
        return Text;
    String R = "{\\rtf1\\ansi ";
    for (wchar_t W : StrToWide(Text)) {
        if (W == L'\\' || W == L'{' || W == L'}') {
            R += '\\';
            R += static_cast<char>(W);
        } else if (W == L'\n') {
            R += "\\par ";
        } else if (W == L'\r') {
        } else if (W < 128) {
            R += static_cast<char>(W);
        } else {
            R += "\\u" + std::to_string(static_cast<short>(W)) + "?";
        }
    }
    return R + "}";
}

TProRichEdit::TProRichEdit(TComponent* AOwner) : TWinControl(AOwner), Grid(EditorGridOf(AOwner))
{
    SetVisible(false);
    SetTabStop(false);
}

void TProRichEdit::CreateParams(TCreateParams& Params)
{
    LoadRichEditLibrary();
    TWinControl::CreateParams(Params);
    AddRightToLeftStyles(Params);
    Params.SysClassName = RICHEDIT_CLASSW;
    Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL;
    Params.Style &= ~static_cast<DWORD>(WS_BORDER);
    Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

void TProRichEdit::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageW(Handle(), EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE | ENM_SELCHANGE | ENM_CHANGE);
}

void TProRichEdit::ResetWindow()
{
    if (HandleAllocated())
        RecreateWnd();
}

void TProRichEdit::LoadRichText(const String& Rtf)
{
    std::pair<const String*, std::size_t> Source{&Rtf, 0};
    EDITSTREAM Stream{};
    Stream.dwCookie = reinterpret_cast<DWORD_PTR>(&Source);
    Stream.pfnCallback = &StreamInProc;
    SendMessageW(Handle(), EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&Stream));
}

String TProRichEdit::SaveRichText()
{
    String Out;
    EDITSTREAM Stream{};
    Stream.dwCookie = reinterpret_cast<DWORD_PTR>(&Out);
    Stream.pfnCallback = &StreamOutProc;
    SendMessageW(Handle(), EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&Stream));
    return Out;
}

void TProRichEdit::ClearText() { SetWindowTextW(Handle(), L""); }

// The editor grows the row to the height its text asks for, never past the
// grid's bottom edge.
void TProRichEdit::RequestResize(const RECT& R)
{
    ReqWidth = R.right - R.left;
    ReqHeight = R.bottom - R.top;
    if (!IsEditor || FLock > 0 || !Grid->SizeWhileTyping.Height)
        return;
    const int H = ReqHeight;
    const int CurrentRow = Grid->Row();
    const TRect Cell = Grid->CellRect(Grid->Col(), CurrentRow);
    if (Grid->RowHeights(CurrentRow) < H && Cell.top + H < Grid->ClientHeight()) {
        SetHeight(H + 4);
        Grid->SetRowHeights(CurrentRow, H + 5);
        if (Grid->OnEndRowSize)
            Grid->OnEndRowSize(Grid, CurrentRow);
    }
}

void TProRichEdit::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_NOTIFY) {
        const auto* Header = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (Header->code == EN_REQUESTRESIZE) {
            RequestResize(reinterpret_cast<const REQRESIZE*>(Message.LParam)->rc);
            Message.Result = 0;
            return;
        }
        if (Header->code == EN_SELCHANGE && IsEditor) {
            if (Grid->OnRichEditSelectionChange)
                Grid->OnRichEditSelectionChange(Grid);
            Message.Result = 0;
            return;
        }
    }
    if (Message.Msg == WM_KILLFOCUS && IsEditor) {
        // Lost to the popup of an edit link that just closed: not an exit.
        if (Grid->EditState().PopupClosed)
            return;
        const auto To = reinterpret_cast<HWND>(Message.WParam);
        TWinControl::WndProc(Message);
        if (Grid->HandleAllocated() && To == Grid->Handle() && !Grid->EditState().Showing)
            Grid->EndCellEdit();
        return;
    }
    TWinControl::WndProc(Message);
}

void TProRichEdit::KeyDown(Word& Key, TShiftState Shift)
{
    TWinControl::KeyDown(Key, Shift);
    if ((Key == VK_UP || Key == VK_DOWN) && IsEditor && !Grid->WordWrap() && !Grid->Multilinecells) {
        if (Grid->CanFocus())
            Grid->SetFocus();
        Grid->GridKeyDown(Key, Shift);
        Key = 0;
    }
}

// --- The grid's side ------------------------------------------------------------

TProRichEdit* TProStringGrid::RichEditor()
{
    if (FEdit.RichEditor == nullptr) {
        FEdit.RichEditor = new TProRichEdit(this);
        FEdit.RichEditor->IsEditor = true;
        FEdit.RichEditor->SetParent(this);
    }
    return FEdit.RichEditor;
}

void TProStringGrid::CellToRichEdit(int ACol, int ARow, TProRichEdit* RichEdit)
{
    const String Text = ReadCellText(ACol, ARow);
    if (Text.empty())
        RichEdit->ClearText();
    else
        RichEdit->LoadRichText(CellTextAsRtf(Text));
}

String TProStringGrid::RichEditToText(TProRichEdit* RichEdit) { return RichEdit->SaveRichText(); }
