// Keyboard shortcut hints over the tabs: shown while the pager has the focus,
// typed through, and hidden by the keys, a change of page or anything that
// moves the form; the form's WindowProc is hooked while they show.

#include <algorithm>

#include "framework/Form.h"
#include "office/ProOfficePage.h"
#include "office/ProOfficePager.h"

// What the hook on the form does: anything that moves or sizes the form, or
// a click on it, hides the hints after the form has handled it.
void TProOfficePager::FormMessage(TMessage& Message, const TCallPrevious& Previous)
{
    Previous(Message);
    const bool Hide = Message.Msg == WM_SIZE || Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_MOVING ||
                      (Message.Msg == WM_SYSCOMMAND && ((Message.WParam & 0xFFF0) == SC_MAXIMIZE ||
                                                         (Message.WParam & 0xFFF0) == SC_MINIMIZE));
    if (Hide)
        HideShortCutHints();
}

TShortCutHintWindow* TProOfficePager::PageShortCutHint(int Index) const
{
    if (!FShortCutHintShowing || Index < 0 || Index >= static_cast<int>(FShortCutHintWindows.size()))
        return nullptr;
    return FShortCutHintWindows[static_cast<std::size_t>(Index)];
}

void TProOfficePager::ShowShortCutHints()
{
    if (!FShowShortCutHints || IsLoading() || !HandleAllocated())
        return;
    HideShortCutHints();
    for (int I = 0; I < ProPageCount(); ++I) {
        TProOfficePage* Page = ProPages(I);
        auto* W = new TShortCutHintWindow(this);
        FShortCutHintWindows.push_back(W);
        W->SetCaption(Page->ShortCutHint());
        const TRect TR = GetTabRect(I);
        if (Page->ShortCutHint().empty() || TR.left < 0)
            continue;
        W->HandleNeeded();
        const int Width = std::max(W->MinimumWidth(), 8 + 8 * static_cast<int>(Page->ShortCutHint().size()));
        const int Height = 18;
        const TPoint P = ClientToScreen(Point(TR.left, TR.top));
        int X = W->Left(), Y = W->Top();
        switch (Page->ShortCutHintPos()) {
        case shpLeft: X = P.x - Width / 2; Y = P.y + (RectHeight(TR) - Height) / 2; break;
        case shpTop: X = P.x + (RectWidth(TR) - Width) / 2; Y = P.y - Height / 2; break;
        case shpRight: X = P.x + RectWidth(TR) - Width / 2; Y = P.y + (RectHeight(TR) - Height) / 2; break;
        case shpBottom: X = P.x + (RectWidth(TR) - Width) / 2; Y = P.y + RectHeight(TR) - Height / 2; break;
        default: break;
        }
        W->SetBounds(X, Y, Width, Height);
        W->Show();
    }
    FShortCutHintShowing = true;
    FShortCutTyped.clear();
    if (!FFormHook.Installed()) {
        if (TCustomForm* Form = GetParentForm(this))
            FFormHook = HookWindowProc(Form, [this](TMessage& Message, const TCallPrevious& Previous) {
                FormMessage(Message, Previous);
            });
    }
}

void TProOfficePager::HideShortCutHints()
{
    // Freed later if one of them is handling a message now is not a concern:
    // hint windows take no input.
    std::vector<TShortCutHintWindow*> Windows;
    Windows.swap(FShortCutHintWindows);
    for (TShortCutHintWindow* W : Windows)
        delete W;
    FShortCutHintShowing = false;
    FFormHook.Remove();
}

void TProOfficePager::ShortCutKey(Word Key)
{
    FShortCutTyped += static_cast<char>(Key);
    bool Partial = false;
    // Letters and digits come as upper-case virtual-key characters.
    auto Upper = [](String S) {
        for (char& C : S)
            if (C >= 'a' && C <= 'z')
                C = static_cast<char>(C - 'a' + 'A');
        return S;
    };
    const String Typed = Upper(FShortCutTyped);
    for (int I = 0; I < ProPageCount(); ++I) {
        const String Hint = Upper(ProPages(I)->ShortCutHint());
        if (Hint == Typed) {
            HideShortCutHints();
            SetActivePageIndex(I);
            return;
        }
        if (Hint.empty())
            continue;
        if (Hint.rfind(Typed, 0) != 0) {
            if (TShortCutHintWindow* W = PageShortCutHint(I))
                W->Hide();
        } else {
            Partial = true;
        }
    }
    const bool AnyVisible = std::any_of(FShortCutHintWindows.begin(), FShortCutHintWindows.end(),
                                        [](TShortCutHintWindow* W) { return W->Visible(); });
    if (!AnyVisible)
        FShortCutHintShowing = false;
    if (!Partial)
        MessageBeep(MB_OK);
}
