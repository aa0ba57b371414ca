#pragma once
// What the skin manager keeps for the skinned menus: the options the user
// sets for the menu painter, the event that gives the extra-line band of a
// popup its section, caption and picture, and the link to the painter
// itself, which lives with the windows above this library.

#include <functional>
#include <memory>

#include "framework/Graphics.h"
#include "framework/Messages.h"
#include "framework/Object.h"

class TBitmap;
class TMenuItem;
class TqSkinManager;

class TzqMenuSupport : public TPersistent {
public:
    TzqMenuSupport() = default;
    void Assign(const TPersistent* Source) override;

    // Skin section of the icon-line band behind the item glyphs.
    String IcoLineSkin;
    // Draw the vertical extra-line band at the left of popup menus.
    bool UseExtraLine = false;
    int ExtraLineWidth = 32;
    TFont* ExtraLineFont() const { return FExtraLineFont.get(); }
    void SetExtraLineFont(const TFont* Value) { FExtraLineFont->Assign(Value); }

private:
    std::unique_ptr<TFont> FExtraLineFont = std::make_unique<TFont>();
};

// Asked once per popup with its first item. A Glyph handed back becomes the
// painter's, which frees it.
using TzqGetExtraLineData = std::function<void(TMenuItem* FirstItem, String& SkinSection, String& Caption,
                                               TBitmap*& Glyph, bool& LineVisible)>;

// The manager's menu painter, as the manager sees it.
class TqMenuPainterLink {
public:
    virtual ~TqMenuPainterLink() = default;
    // A skin is being applied: measures taken from the old one are stale.
    virtual void SkinApplied() = 0;
    // Hook or unhook the application's menus by the manager's state.
    virtual void UpdateActive() = 0;
    // The private messages 0xBCB3 (lParam: a menu item being drawn without
    // its window) and 0xBCB4 (lParam: a popup window) that reach the
    // application window: true when answered.
    virtual bool PopupWindowMessage(TMessage& Message) = 0;
};

// Makes the menu painter of a new manager (its constructor calls it). The
// painter lives with the windows above this library, which sets this while
// the program starts; a manager made while it is unset has no painter.
using TqMenuPainterMaker = std::unique_ptr<TqMenuPainterLink> (*)(TqSkinManager* Manager);
extern TqMenuPainterMaker MenuPainterMaker;
