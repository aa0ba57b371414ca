#pragma once
// The skinned client window of an MDI form: its background is the form's
// cached skin image under the client area, its bars are skinned, and its
// drawing is held still while a skinned bar scrolls it.

#include "skin/windows/zqEditWnd.h"

class TCustomForm;
class TqStateHolder;

class TzqMDIWnd : public TzqBaseWnd {
public:
    ~TzqMDIWnd() override;
    void SubclassWndProc(TMessage& Message) override;

    // Set by the MDI support after creation.
    TCustomForm* Form = nullptr;
    TqCommonData* FormSkinData = nullptr;
    TqStateHolder* Provider = nullptr;

    // The form's image under the client area into DC; Inset takes the
    // client's 2-pixel edge into account.
    void PaintBackground(HDC DC, bool Inset);

private:
    bool FormSkinned() const;
    // The active MDI child is maximized.
    bool MaximizedChild();
    void Paint(TMessage& Message);
    void PaintNonClient(TMessage& Message);
    void AfterInherited(const TMessage& Message);
};
