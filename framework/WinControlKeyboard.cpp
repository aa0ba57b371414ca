// TWinControl: the keyboard and the focus. Tab order and focus moves, the
// key events (with the form's key preview) and the enter and exit events.
#include "framework/WinControl.h"

#include <algorithm>

#include "framework/Codepage.h"
#include "framework/Form.h"

int TWinControl::TabOrder() const
{
    if (Parent() == nullptr)
        return -1;
    const auto& list = Parent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value)
{
    if (Parent() == nullptr)
        return;
    auto& list = Parent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end())
        return;
    list.erase(it);
    const auto index = static_cast<std::size_t>(std::clamp(Value, 0, static_cast<int>(list.size())));
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(index), this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const
{
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* Current, bool GoForward, bool CheckTabStop) const
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return nullptr;
    const int n = static_cast<int>(list.size());
    auto it = std::find(list.begin(), list.end(), Current);
    int index = it == list.end() ? (GoForward ? -1 : n) : static_cast<int>(it - list.begin());
    for (int step = 0; step < n; ++step) {
        index = ((GoForward ? index + 1 : index - 1) % n + n) % n;
        TWinControl* c = list[static_cast<std::size_t>(index)];
        if (c != Current && c->CanFocus() && (!CheckTabStop || c->TabStop()))
            return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* Current, bool GoForward, bool CheckTabStop)
{
    if (TWinControl* next = FindNextControl(Current, GoForward, CheckTabStop))
        next->SetFocus();
}

bool TWinControl::CanFocus() const
{
    if (!Showing() || !EffectivelyEnabled())
        return false;
    const TCustomForm* form = GetParentForm(this);
    return form == nullptr || form == this || (form->Visible() && form->Enabled());
}

bool TWinControl::Focused() const
{
    return FHandle != nullptr && GetFocus() == FHandle;
}

bool TWinControl::ContainsFocus() const
{
    HWND focus = GetFocus();
    return FHandle != nullptr && focus != nullptr && (focus == FHandle || IsChild(FHandle, focus));
}

void TWinControl::SetFocus()
{
    TCustomForm* form = GetParentForm(this);
    if (form != nullptr && form != this && !form->Visible()) {
        // Takes effect when the form is shown.
        form->SetActiveControl(this);
        return;
    }
    if (!CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    ::SetFocus(Handle());
}

bool TWinControl::DoKeyDown(Word Key, TShiftState Shift)
{
    TCustomForm* form = GetParentForm(this);
    if (form != nullptr && form != this && form->KeyPreview) {
        static_cast<TWinControl*>(form)->KeyDown(Key, Shift);
        if (Key == 0)
            return true;
    }
    KeyDown(Key, Shift);
    return Key == 0;
}

bool TWinControl::DoKeyUp(Word Key, TShiftState Shift)
{
    TCustomForm* form = GetParentForm(this);
    if (form != nullptr && form != this && form->KeyPreview) {
        static_cast<TWinControl*>(form)->KeyUp(Key, Shift);
        if (Key == 0)
            return true;
    }
    KeyUp(Key, Shift);
    return Key == 0;
}

bool TWinControl::DoKeyPress(char& Key)
{
    TCustomForm* form = GetParentForm(this);
    if (form != nullptr && form != this && form->KeyPreview) {
        static_cast<TWinControl*>(form)->KeyPress(Key);
        if (Key == 0)
            return true;
    }
    KeyPress(Key);
    return Key == 0;
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::WMKeyDown(TMessage& Message)
{
    // The key events already ran when the message loop offered the key as a
    // dialog key (CN_KEYDOWN) first.
    const bool done = FKeyEventsDone;
    FKeyEventsDone = false;
    if (!done && DoKeyDown(static_cast<Word>(Message.WParam), KeyboardShiftState())) {
        Message.Result = 0;
        return;
    }
    DefaultHandler(Message);
}

// The message loop offers a dialog key here first. Whether WM_KEYDOWN then
// still comes (and must skip the events that ran here) is known only when
// the form has declined the key: IsDialogKeyMessage sets FKeyEventsDone.
void TWinControl::CNKeyDown(TMessage& Message)
{
    Message.Result = DoKeyDown(static_cast<Word>(Message.WParam), KeyboardShiftState()) ? 1 : 0;
}

void TWinControl::WMKeyUp(TMessage& Message)
{
    if (DoKeyUp(static_cast<Word>(Message.WParam), KeyboardShiftState())) {
        Message.Result = 0;
        return;
    }
    DefaultHandler(Message);
}

// WM_CHAR carries a UTF-16 unit; the key event sees it as 936 text (an ASCII
// character as it is, any other as its lead byte), and the character goes
// on unchanged unless a handler replaced or dropped it. A replacement is a
// byte of 936 text too and goes on as its UTF-16 unit; a lead byte alone is
// no character, so that key is dropped.
void TWinControl::WMChar(TMessage& Message)
{
    const auto unit = static_cast<wchar_t>(Message.WParam);
    const String text = WideToStr(WideString(1, unit));
    const char original = text.empty() ? '\0' : text[0];
    char key = original;
    if (DoKeyPress(key)) {
        Message.Result = 0;
        return;
    }
    if (key != original) {
        wchar_t replaced = 0;
        if (!ByteToWide(key, replaced)) {
            Message.Result = 0;
            return;
        }
        Message.WParam = replaced;
    }
    DefaultHandler(Message);
}

void TWinControl::WMSetFocus(TMessage& Message)
{
    DefaultHandler(Message);
    if (TCustomForm* form = GetParentForm(this); form != nullptr && form != this)
        form->FocusChanged(this);
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

bool TWinControl::WantsSpecialKey(Word)
{
    return false;
}

void TWinControl::CMWantSpecialKey(TMessage& Message)
{
    Message.Result = WantsSpecialKey(static_cast<Word>(Message.WParam)) ? 1 : 0;
}

// An accelerator character (a form offers it to its controls) goes to the
// controls in turn, each passing it on to its own children unless it
// handles the message itself, until one takes it.
void TWinControl::CMDialogChar(TMessage& Message)
{
    Message.Result = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (Controls(i)->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) {
            Message.Result = 1;
            return;
        }
}
