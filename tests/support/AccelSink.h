#pragma once
// A panel that is offered the accelerator characters of its form: it
// records each character offered and takes those in Takes.

#include <string>

#include "framework/ControlMessages.h"
#include "framework/Panel.h"

class TAccelSink : public TPanel {
public:
    TAccelSink(TWinControl* Parent, const wchar_t* Takes, const TRect& Bounds) : TPanel(Parent), FTakes(Takes)
    {
        SetParent(Parent);
        SetBounds(Bounds.left, Bounds.top, Bounds.right - Bounds.left, Bounds.bottom - Bounds.top);
    }

    std::wstring Offered;

protected:
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == CM_DIALOGCHAR) {
            Offered += static_cast<wchar_t>(Message.WParam);
            Message.Result = FTakes.find(static_cast<wchar_t>(Message.WParam)) != std::wstring::npos ? 1 : 0;
            return;
        }
        TPanel::WndProc(Message);
    }

private:
    std::wstring FTakes;
};
