#pragma once
// A loaded skin: its sections, image entries, patterns, master bitmap and
// skin-wide values, with the lookups that skinned controls use to find their
// look by name. A load fills a fresh model and the skin manager takes it
// over only when the whole read succeeded.
//
// Lookups compare names exactly and answer -1 when nothing is found. Where
// a section lacks an entry, the inherited lookups follow its PARENTCLASS
// chain (the parent found without regard to case, as the options text
// finds sections); the chain ends at a section without a parent, at one
// naming itself, at a parent that is not a section, and at a section
// already visited, so a chain that loops back ends with -1.

#include <array>
#include <memory>

#include "skin/engine/qMaskData.h"
#include "skin/engine/qStyleSimply.h"

// The indexes that scroll bars, tabs, check boxes and combo boxes share;
// recomputed after every load (-1 = none).
struct TqCommonIndexes {
    int GlobalInfo = -1;
    // BOXCHECKED, BOXUNCHECKED, BOXGRAYED, RADIOCHECKED, RADIOUNCHECKED,
    // RADIOGRAYED, SMALLCHECKED, SMALLUNCHECKED, SMALLGRAYED of GLOBALINFO.
    std::array<int, 9> CheckGlyphs{-1, -1, -1, -1, -1, -1, -1, -1, -1};
    int ComboBtn = -1;
    int ComboBtnBorder = -1;
    int ComboBtnPattern = -1;
    int ComboBtnHotPattern = -1;
    int ComboBoxGlyph = -1;
    // TABTOP, TABBOTTOM, TABLEFT, TABRIGHT.
    std::array<int, 4> Tab{-1, -1, -1, -1};
    std::array<int, 4> TabBorder{-1, -1, -1, -1};
    // SCROLLBTNTOP, SCROLLBTNBOTTOM, SCROLLBTNLEFT, SCROLLBTNRIGHT.
    std::array<int, 4> ScrollBtn{-1, -1, -1, -1};
    std::array<int, 4> ScrollBtnBorder{-1, -1, -1, -1};
    std::array<int, 4> ScrollBtnPattern{-1, -1, -1, -1};
    std::array<int, 4> ScrollBtnHotPattern{-1, -1, -1, -1};
    std::array<int, 4> ScrollBtnGlyph{-1, -1, -1, -1};
    // SCROLLSLIDERV, SCROLLSLIDERH.
    std::array<int, 2> Slider{-1, -1};
    std::array<int, 2> SliderBorder{-1, -1};
    std::array<int, 2> SliderPattern{-1, -1};
    std::array<int, 2> SliderHotPattern{-1, -1};
    std::array<int, 2> SliderGlyph{-1, -1};
    // SCROLLBAR1H, SCROLLBAR1V, SCROLLBAR2H, SCROLLBAR2V.
    std::array<int, 4> ScrollBar{-1, -1, -1, -1};
    std::array<int, 4> ScrollBarBorder{-1, -1, -1, -1};
    std::array<int, 4> ScrollBarPattern{-1, -1, -1, -1};
    std::array<int, 4> ScrollBarHotPattern{-1, -1, -1, -1};
};

// Border widths of one entry: its own width, else its BorderWidth, else a
// third of one frame (ImageCount below 1 counts as 1, MaskType below 0 as 0).
int MaskEntryBorderLeft(const TqMaskData& Mask);
int MaskEntryBorderRight(const TqMaskData& Mask);
int MaskEntryBorderBottom(const TqMaskData& Mask);

class TqSkinModel {
public:
    TqSkinModel();

    TqGeneralDataArray Sections;
    TqMaskArray Masks;
    TqPatternArray Patterns;
    std::unique_ptr<TBitmap> MasterBitmap;   // 24 bits, transparent colour $FF00FF
    TqSkinData Header;                        // the skin-wide values (SkinPath and Loaded are the manager's)
    TqCommonIndexes Common;

    int FindSectionIndex(const String& Name) const;
    int FindMaskIndex(int SectionIndex, const String& SectionName, const String& PropertyName) const;
    int FindMaskIndexExact(const String& SectionName, const String& PropertyName) const;
    // As FindMaskIndex, counting only texture entries.
    int FindTextureIndex(int SectionIndex, const String& SectionName, const String& PropertyName) const;
    // The same search over the patterns.
    int FindPatternIndex(int SectionIndex, const String& SectionName, const String& PropertyName) const;
    // The index of the section that PARENTCLASS of section Index names
    // (without regard to case), -1 for none or a section naming itself.
    int ParentSectionIndex(int Index) const;

    bool IsValidSkinIndex(int Index) const { return Index >= 0 && Index < static_cast<int>(Sections.size()); }
    bool IsValidMaskIndex(int Index) const { return Index >= 0 && Index < static_cast<int>(Masks.size()); }

    // The size of one state frame of entry Index (a valid index).
    void GetMaskFrameSize(int Index, int& Width, int& Height) const;
    // Border widths of entry Index: its own width, else its BorderWidth,
    // else a third of one frame (ImageCount below 1 counts as 1, MaskType
    // below 0 as 0; the entry is never changed).
    int MaskBorderLeft(int Index) const;
    int MaskBorderRight(int Index) const;
    int MaskBorderBottom(int Index) const;

    void CacheCommonIndexes();

    // GLOBALINFO's colours: COLOR as RGB (the button face when the section
    // is missing), FONTCOLOR as RGB ($FF00FF when missing), HOTCOLOR as read
    // (the window colour as RGB when missing).
    TColor GetGlobalColor() const;
    TColor GetGlobalFontColor() const;
    TColor GetGlobalHotColor() const;

private:
    template <class Match>
    int FindAlongChain(int SectionIndex, String SectionName, Match MatchName) const;
};
