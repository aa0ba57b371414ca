#pragma once
// The scrollable-control subclasses' common layer (TzqBaseWnd), their model
// member for edits, memos and list boxes (TzqEditWnd), and the drop-down
// list of a combo box (TzqComboListWnd): the frame from the skin section,
// the bars from the skinned scroll bars, the control's colours from the
// section while skinned.

#include "skin/engine/qCommonData.h"
#include "skin/windows/zqScrollWnd.h"

class TzqBaseWnd : public TzqScrollWnd {
public:
    void SubclassWndProc(TMessage& Message) override;

protected:
    void ScrollLayer(TMessage& Message) { TzqScrollWnd::SubclassWndProc(Message); }
};

class TzqEditWnd : public TzqBaseWnd {
public:
    void SaveOriginalColors() override;
    void RestoreOriginalColors() override;
    void ApplySkinColors() override;
    void SubclassWndProc(TMessage& Message) override;

    // The colours of the parts the subclass paints itself for a window
    // without an owner control.
    TColor PlainColor = clWindow;
    TColor PlainFrameColor = 0;

protected:
    // Called by the family's virtual constructor.
    friend class TzqMainWnd;
    void Setup(HWND Handle, bool ScrollFlag, const String& Section, TqSkinManager* AManager,
               TqCommonData* ASkinData) override;
    // A drop-down list keeps its visual style when made without frame refresh.
    virtual bool IsDropDownList() const { return false; }
    void Inherited(TMessage& Message) { TzqBaseWnd::SubclassWndProc(Message); }

    // The frame and the bars on the window DC.
    void PaintNonClient(TMessage& Message);
    // Between the frame strips and the bars of a non-client paint: what a
    // member draws of its own into the window DC (nothing here).
    virtual void PaintOverFrame(HDC) {}
    // The first steps of a WM_PRINT: geometry read, cache marked stale,
    // colours applied.
    void PreparePrint();
    // Border strips of Width from the cache and the bars into DC.
    void PaintFrameInto(HDC DC, int Width);
    // The client part of the window: the cache less the frame and the bars.
    TPoint ClientPart();
    void Print(TMessage& Message);
    bool HandleSkinCommand(TMessage& Message);
    void AfterInherited(const TMessage& Message);
};

class TzqComboListWnd : public TzqEditWnd {
public:
    void SubclassWndProc(TMessage& Message) override;

    bool ListShown = false;
    bool SimpleStyleList = false;

protected:
    // Called by the family's virtual constructor.
    friend class TzqMainWnd;
    void Setup(HWND Handle, bool ScrollFlag, const String& Section, TqSkinManager* AManager,
               TqCommonData* ASkinData) override;
    bool IsDropDownList() const override { return true; }

private:
    // The list's own cache: its plain colour in a one-pixel frame.
    void BuildListCache();
    void PaintListNonClient(TMessage& Message);
    void PrintList(TMessage& Message);
    // The hit code of the screen point in lParam, as the bars answer it.
    WPARAM HitCodeAt(LPARAM ScreenPoint);
};
