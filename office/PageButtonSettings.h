#pragma once
// What the office pager needs for its extra buttons: whether the close and
// page-list buttons are wanted, whether the scroll buttons stay, the pictures
// and hints of the four buttons and the built-in up and down arrows used for
// tabs on the left and right. The default pictures are raw-data resources
// of the program (office/resources/PageButtons.rc).

#include <memory>

#include "visuals/GdiPlusPicture.h"

class TPageButtonSettings : public TPersistent {
public:
    TPageButtonSettings();
    ~TPageButtonSettings() override;

    // From another TPageButtonSettings: the two button flags, the four
    // published pictures and ScrollButtonsAlways; not the hints or flags.
    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnChange;

    bool PageListButton() const { return FPageListButton; }
    void SetPageListButton(bool Value);
    bool CloseButton() const { return FCloseButton; }
    void SetCloseButton(bool Value);
    bool ScrollButtonsAlways() const { return FScrollButtonsAlways; }
    void SetScrollButtonsAlways(bool Value);

    TGdiPlusPicture* ScrollButtonNextPicture() const { return FNext.get(); }
    void SetScrollButtonNextPicture(const TGdiPlusPicture* Value);
    TGdiPlusPicture* ScrollButtonPrevPicture() const { return FPrev.get(); }
    void SetScrollButtonPrevPicture(const TGdiPlusPicture* Value);
    TGdiPlusPicture* PageListButtonPicture() const { return FList.get(); }
    void SetPageListButtonPicture(const TGdiPlusPicture* Value);
    TGdiPlusPicture* CloseButtonPicture() const { return FClose.get(); }
    void SetCloseButtonPicture(const TGdiPlusPicture* Value);
    TGdiPlusPicture* ScrollButtonDownPicture() const { return FDown.get(); }
    TGdiPlusPicture* ScrollButtonUpPicture() const { return FUp.get(); }

    String ScrollButtonPrevHint = "Previous";
    String ScrollButtonNextHint = "Next";
    String CloseButtonHint = "Close";
    String PageListButtonHint = "Page List";

    // Whether the scroll pictures were replaced; stored with the pager.
    bool PrevPictureChanged = false;
    bool NextPictureChanged = false;

private:
    void Changed();
    void PictureChanged(TObject* Sender);
    void SetPicture(TGdiPlusPicture* Target, const TGdiPlusPicture* Value);

    bool FPageListButton = false;
    bool FCloseButton = false;
    bool FScrollButtonsAlways = false;
    std::unique_ptr<TGdiPlusPicture> FNext, FPrev, FList, FClose, FDown, FUp;
};
