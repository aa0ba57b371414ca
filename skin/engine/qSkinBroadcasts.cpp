#include "skin/engine/qSkinBroadcasts.h"

#include "framework/Application.h"
#include "framework/Form.h"
#include "skin/engine/qConst.h"

std::vector<TComponent*> HookedForms;

namespace {

BOOL CALLBACK SendToChild(HWND Wnd, LPARAM Param)
{
    TMessage& message = *reinterpret_cast<TMessage*>(Param);
    SendMessageW(Wnd, message.Msg, message.WParam, message.LParam);
    return TRUE;
}

// Sends Message to the form's window and every window below it.
void SendToFormTree(TCustomForm* Form, TMessage& Message)
{
    if (!Form->HandleAllocated())
        return;
    Message.Result = SendMessageW(Form->Handle(), Message.Msg, Message.WParam, Message.LParam);
    EnumChildWindows(Form->Handle(), SendToChild, reinterpret_cast<LPARAM>(&Message));
}

bool IsHooked(const TComponent* Form)
{
    for (const TComponent* hooked : HookedForms)
        if (hooked == Form)
            return true;
    return false;
}

}   // namespace

LRESULT SendSkinCommand(HWND Wnd, int SubCommand, LPARAM LParam)
{
    return Wnd != nullptr ? SendMessageW(Wnd, SM_ZORVIKCMD, SkinCommandWParam(SubCommand), LParam) : 0;
}

void BroadcastToAppForms(TMessage& Message)
{
    // From the last to the first; a form that goes away while the message
    // is handled ends the walk.
    for (int i = Application->ComponentCount() - 1; i >= 0; --i) {
        if (i >= Application->ComponentCount())
            return;
        auto* form = dynamic_cast<TCustomForm*>(Application->Components(i));
        if (form == nullptr || form->IsDestroying() || form->IsLoading() || IsHooked(form))
            continue;
        SendToFormTree(form, Message);
    }
    BroadcastToHookedForms(Message);
}

void BroadcastToHookedForms(TMessage& Message)
{
    for (std::size_t i = 0; i < HookedForms.size(); ++i) {
        auto* form = dynamic_cast<TCustomForm*>(HookedForms[i]);
        if (form != nullptr && !form->IsDestroying())
            SendToFormTree(form, Message);
    }
}
