#pragma once
// The switches and times of the skin engine's animations (the skin
// manager's AnimEffects): the fade-in of dialogs, forms and pages when they
// are shown, of forms after a skin change, and the mouse events on which
// skinned buttons animate. The objects hold settings only; the fade-in
// itself is AnimateFormShow.

#include <memory>

#include "framework/Object.h"
#include "skin/engine/qConst.h"

class TqSkinManager;

// The process-wide set of button events that every skinned button reads.
extern TzqBtnEvents ButtonEvents;
constexpr TzqBtnEvents AllButtonEvents =
    (1u << beMouseEnter) | (1u << beMouseLeave) | (1u << beMouseDown) | (1u << beMouseUp);

class TzqFormAnimation : public TPersistent {
public:
    explicit TzqFormAnimation(Word ATime = 0) : Time(ATime) {}
    void Assign(const TPersistent* Source) override;

    bool Active = true;
    Word Time;   // milliseconds
};

class TzqFormShow : public TzqFormAnimation {
public:
    TzqFormShow() : TzqFormAnimation(0) {}
};

class TzqPageChange : public TzqFormAnimation {
public:
    TzqPageChange() : TzqFormAnimation(0) {}
};

class TzqDialogShow : public TzqFormAnimation {
public:
    TzqDialogShow() : TzqFormAnimation(100) {}
};

class TzqSkinChanging : public TzqFormAnimation {
public:
    TzqSkinChanging() : TzqFormAnimation(100) {}
};

class TzqBtnEffects : public TPersistent {
public:
    // The process-wide set, not this object's own value.
    TzqBtnEvents Events() const { return ButtonEvents; }
    // Stores Value; the default manager's value becomes the process-wide set.
    void SetEvents(TzqBtnEvents Value);

    TqSkinManager* Manager = nullptr;

private:
    TzqBtnEvents FEvents = AllButtonEvents;
};

class TzqAnimEffects : public TPersistent {
public:
    TzqAnimEffects();
    ~TzqAnimEffects() override;

    // Tells the settings (and the buttons' settings) who their manager is.
    void SetManager(TqSkinManager* Value);
    TqSkinManager* Manager() const { return FManager; }

    TzqBtnEffects* Buttons() const { return FButtons.get(); }
    TzqDialogShow* DialogShow() const { return FDialogShow.get(); }
    TzqFormShow* FormShow() const { return FFormShow.get(); }
    TzqPageChange* PageChange() const { return FPageChange.get(); }
    TzqSkinChanging* SkinChanging() const { return FSkinChanging.get(); }

private:
    TqSkinManager* FManager = nullptr;
    std::unique_ptr<TzqBtnEffects> FButtons;
    std::unique_ptr<TzqDialogShow> FDialogShow;
    std::unique_ptr<TzqFormShow> FFormShow;
    std::unique_ptr<TzqPageChange> FPageChange;
    std::unique_ptr<TzqSkinChanging> FSkinChanging;
};
