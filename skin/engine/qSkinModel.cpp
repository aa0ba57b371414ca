#include "skin/engine/qSkinModel.h"

#include "framework/StrUtils.h"

TqSkinModel::TqSkinModel() : MasterBitmap(std::make_unique<TBitmap>()) {}

int TqSkinModel::FindSectionIndex(const String& Name) const
{
    for (std::size_t i = 0; i < Sections.size(); ++i)
        if (Sections[i].ClassName == Name)
            return static_cast<int>(i);
    return -1;
}

int TqSkinModel::ParentSectionIndex(int Index) const
{
    if (!IsValidSkinIndex(Index))
        return -1;
    const TqGeneralData& section = Sections[static_cast<std::size_t>(Index)];
    if (section.ParentClass.empty() || SameText(section.ParentClass, section.ClassName))
        return -1;
    for (std::size_t i = 0; i < Sections.size(); ++i)
        if (SameText(Sections[i].ClassName, section.ParentClass))
            return static_cast<int>(i);
    return -1;
}

template <class Match>
int TqSkinModel::FindAlongChain(int SectionIndex, String SectionName, Match MatchName) const
{
    if (SectionIndex < 0 || SectionName.empty())
        return -1;
    std::vector<bool> visited(Sections.size(), false);
    for (;;) {
        const int found = MatchName(SectionName);
        if (found >= 0)
            return found;
        if (!IsValidSkinIndex(SectionIndex))
            return -1;
        visited[static_cast<std::size_t>(SectionIndex)] = true;
        const String& parent = Sections[static_cast<std::size_t>(SectionIndex)].ParentClass;
        if (parent.empty() || SameText(parent, SectionName))
            return -1;
        const int next = ParentSectionIndex(SectionIndex);
        if (next < 0 || visited[static_cast<std::size_t>(next)])
            return -1;
        SectionIndex = next;
        SectionName = Sections[static_cast<std::size_t>(next)].ClassName;
    }
}

int TqSkinModel::FindMaskIndex(int SectionIndex, const String& SectionName, const String& PropertyName) const
{
    return FindAlongChain(SectionIndex, SectionName,
                          [&](const String& Name) { return FindMaskIndexExact(Name, PropertyName); });
}

int TqSkinModel::FindMaskIndexExact(const String& SectionName, const String& PropertyName) const
{
    if (SectionName.empty())
        return -1;
    for (std::size_t i = 0; i < Masks.size(); ++i)
        if (Masks[i].ClassName == SectionName && Masks[i].PropertyName == PropertyName)
            return static_cast<int>(i);
    return -1;
}

int TqSkinModel::FindTextureIndex(int SectionIndex, const String& SectionName, const String& PropertyName) const
{
    return FindAlongChain(SectionIndex, SectionName, [&](const String& Name) {
        for (std::size_t i = 0; i < Masks.size(); ++i)
            if (Masks[i].ImgType == itisaTexture && Masks[i].ClassName == Name && Masks[i].PropertyName == PropertyName)
                return static_cast<int>(i);
        return -1;
    });
}

int TqSkinModel::FindPatternIndex(int SectionIndex, const String& SectionName, const String& PropertyName) const
{
    return FindAlongChain(SectionIndex, SectionName, [&](const String& Name) {
        for (std::size_t i = 0; i < Patterns.size(); ++i)
            if (Patterns[i].ClassName == Name && Patterns[i].PropertyName == PropertyName)
                return static_cast<int>(i);
        return -1;
    });
}

void TqSkinModel::GetMaskFrameSize(int Index, int& Width, int& Height) const
{
    const TqMaskData& m = Masks.at(static_cast<std::size_t>(Index));
    if (m.Bmp) {
        Width = m.Bmp->Width() / 3;
        Height = m.Bmp->Height() / 2;
        return;
    }
    Width = RectWidth(m.R) / std::max<int>(m.ImageCount, 1);
    Height = RectHeight(m.R) / (std::max<int>(m.MaskType, 0) + 1);
}

namespace {

// A side's border width: the entry's own, else its common width, else a
// third of one frame's width.
int SideBorder(const TqMaskData& M, int Own)
{
    if (Own > 0)
        return Own;
    if (M.BorderWidth > 0)
        return M.BorderWidth;
    return RectWidth(M.R) / (std::max<int>(M.ImageCount, 1) * 3);
}

}   // namespace

int MaskEntryBorderLeft(const TqMaskData& m)
{
    return SideBorder(m, m.WL);
}

int MaskEntryBorderRight(const TqMaskData& m)
{
    return SideBorder(m, m.WR);
}

int MaskEntryBorderBottom(const TqMaskData& m)
{
    if (m.WB > 0)
        return m.WB;
    if (m.BorderWidth > 0)
        return m.BorderWidth;
    return RectHeight(m.R) / ((std::max<int>(m.MaskType, 0) + 1) * 3);
}

int TqSkinModel::MaskBorderLeft(int Index) const
{
    return MaskEntryBorderLeft(Masks.at(static_cast<std::size_t>(Index)));
}

int TqSkinModel::MaskBorderRight(int Index) const
{
    return MaskEntryBorderRight(Masks.at(static_cast<std::size_t>(Index)));
}

int TqSkinModel::MaskBorderBottom(int Index) const
{
    return MaskEntryBorderBottom(Masks.at(static_cast<std::size_t>(Index)));
}

void TqSkinModel::CacheCommonIndexes()
{
    TqCommonIndexes& c = Common;
    const auto inherited = [this](int Section, const char* Name, const char* Property) {
        return FindMaskIndex(Section, Name, Property);
    };

    c.GlobalInfo = FindSectionIndex("GLOBALINFO");
    static const char* const Glyphs[9] = {"BOXCHECKED",     "BOXUNCHECKED",  "BOXGRAYED",
                                          "RADIOCHECKED",   "RADIOUNCHECKED", "RADIOGRAYED",
                                          "SMALLCHECKED",   "SMALLUNCHECKED", "SMALLGRAYED"};
    for (std::size_t i = 0; i < c.CheckGlyphs.size(); ++i)
        c.CheckGlyphs[i] = inherited(c.GlobalInfo, "GLOBALINFO", Glyphs[i]);

    c.ComboBtn = FindSectionIndex("COMBOBTN");
    c.ComboBtnBorder = FindMaskIndexExact("COMBOBTN", "BORDERSMASK");
    c.ComboBtnPattern = FindTextureIndex(c.ComboBtn, "COMBOBTN", "PATTERN");
    c.ComboBtnHotPattern = FindTextureIndex(c.ComboBtn, "COMBOBTN", "HOTPATTERN");
    c.ComboBoxGlyph = FindMaskIndexExact("COMBOBOX", "GLYPHMASK");

    static const char* const Tabs[4] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
    for (std::size_t i = 0; i < 4; ++i) {
        c.Tab[i] = FindSectionIndex(Tabs[i]);
        c.TabBorder[i] = inherited(c.Tab[i], Tabs[i], "BORDERSMASK");
    }

    static const char* const Buttons[4] = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"};
    static const char* const Sliders[2] = {"SCROLLSLIDERV", "SCROLLSLIDERH"};
    for (std::size_t i = 0; i < 4; ++i)
        c.ScrollBtn[i] = FindSectionIndex(Buttons[i]);
    for (std::size_t i = 0; i < 2; ++i)
        c.Slider[i] = FindSectionIndex(Sliders[i]);
    for (std::size_t i = 0; i < 4; ++i) {
        c.ScrollBtnBorder[i] = inherited(c.ScrollBtn[i], Buttons[i], "BORDERSMASK");
        c.ScrollBtnGlyph[i] = inherited(c.ScrollBtn[i], Buttons[i], "GLYPHMASK");
        c.ScrollBtnPattern[i] = inherited(c.ScrollBtn[i], Buttons[i], "PATTERN");
        c.ScrollBtnHotPattern[i] = inherited(c.ScrollBtn[i], Buttons[i], "HOTPATTERN");
    }
    for (std::size_t i = 0; i < 2; ++i) {
        c.SliderBorder[i] = inherited(c.Slider[i], Sliders[i], "BORDERSMASK");
        c.SliderGlyph[i] = inherited(c.Slider[i], Sliders[i], "GLYPHMASK");
        c.SliderPattern[i] = inherited(c.Slider[i], Sliders[i], "PATTERN");
        c.SliderHotPattern[i] = inherited(c.Slider[i], Sliders[i], "HOTPATTERN");
    }

    static const char* const Bars[4] = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"};
    for (std::size_t i = 0; i < 4; ++i) {
        c.ScrollBar[i] = FindSectionIndex(Bars[i]);
        c.ScrollBarBorder[i] = inherited(c.ScrollBar[i], Bars[i], "BORDERSMASK");
        c.ScrollBarPattern[i] = inherited(c.ScrollBar[i], Bars[i], "PATTERN");
        c.ScrollBarHotPattern[i] = inherited(c.ScrollBar[i], Bars[i], "HOTPATTERN");
    }
}

TColor TqSkinModel::GetGlobalColor() const
{
    return IsValidSkinIndex(Common.GlobalInfo)
        ? static_cast<TColor>(ColorToRGB(Sections[static_cast<std::size_t>(Common.GlobalInfo)].Color))
        : static_cast<TColor>(ColorToRGB(clBtnFace));
}

TColor TqSkinModel::GetGlobalFontColor() const
{
    return IsValidSkinIndex(Common.GlobalInfo)
        ? static_cast<TColor>(ColorToRGB(Sections[static_cast<std::size_t>(Common.GlobalInfo)].FontColor))
        : clFuchsia;
}

TColor TqSkinModel::GetGlobalHotColor() const
{
    return IsValidSkinIndex(Common.GlobalInfo) ? Sections[static_cast<std::size_t>(Common.GlobalInfo)].HotColor
                                               : static_cast<TColor>(ColorToRGB(clWindow));
}
