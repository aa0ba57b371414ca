#pragma once
// Skins stored in the form data of the form that holds the skin manager:
// normally a packed skin in the binary "Data", otherwise published
// collections of sections, images and patterns with a master bitmap, which
// the readers take when Data is empty.

#include <memory>

#include "framework/Bitmap.h"
#include "framework/Collection.h"
#include "framework/Stream.h"
#include "skin/engine/qConst.h"
#include "skin/engine/qSkinPictures.h"


// One section. FontColor and HotFontColor hold five integers separated by
// blanks: the text colour, then the left, top, right and bottom contours.
class TqSkinGeneral : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;

    String SectionName, ParentClass;
    TColor Color = 0, ShadowColor = 0, HotColor = 0, BorderColor1 = 0, BorderColor2 = 0;
    TqControlBevel Bevel = cbNone, HotBevel = cbNone;
    Integer ShadowBlur = 0, ShadowOffset = 0, ShadowTransparency = 0, Transparency = 0, GradientPercent = 0,
            ImagePercent = 0, FadingIntervalIn = 0, FadingIntervalOut = 0, FadingIterations = 0, HotTransparency = 0,
            HotGradientPercent = 0, HotImagePercent = 0;
    bool ShadowDontUse = false, ShadowEnabled = false, ReservedBoolean = false, ShowFocus = false, FadingEnabled = false;
    String FontColor, HotFontColor, GradientData, HotGradientData, Name;
};

// One image entry: its own picture (Image, when Name is set) or a rectangle
// of the master bitmap.
class TqSkinImage : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;

    String SectionName, Name, PropertyName;
    TBitmap Image;
    Integer Left = 0, Top = 0, Right = 0, Bottom = 0, ImageCount = 0, MaskType = 0, BorderWidth = 0, StretchMode = 0,
            WL = 0, WR = 0, WT = 0, WB = 0;
    TzqImgType ImgType = itisaBorder;
};

// One JPEG pattern.
class TqSkinPattern : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;

    String SectionName, Name, PropertyName;
    TJPEGImage Image;
};

using TqSkinGenerals = TOwnedCollection<TqSkinGeneral>;
using TqSkinImages = TOwnedCollection<TqSkinImage>;
using TqSkinPatterns = TOwnedCollection<TqSkinPattern>;

class TqStoredSkin : public TCollectionItem {
public:
    explicit TqStoredSkin(TCollection* Collection);

    String Name;
    TqSkinGenerals GeneralData{this};
    TqSkinImages Images{this};
    TqSkinPatterns Patterns{this};
    TBitmap MasterBitmap;
    TColor Shadow1Color = 0;
    Integer Shadow1Offset = 0;
    Integer Shadow1Blur = -1;
    Integer Shadow1Transparency = 0;
    TColor BorderColor = clFuchsia;
    double Version = 0;
    String Author;
    String Description;
    // The packed skin (empty: the collections above describe the skin).
    TMemoryStream Data;
};

// Owned by the skin manager, which is its owner.
class TqStoredSkins : public TOwnedCollection<TqStoredSkin> {
public:
    using TOwnedCollection::TOwnedCollection;

    // The first stored skin whose Name equals Name exactly, -1 for none.
    int IndexOfName(const String& Name) const;
};
