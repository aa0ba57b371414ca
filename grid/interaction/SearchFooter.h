#pragma once
// Settings of the grid's search bar (its SearchFooter property). Every
// setter fires OnChange (the Show setters and Visible only on a change);
// the grid binds OnChange to the update of its search panel.

#include <memory>

#include "framework/Graphics.h"

class TSearchFooter : public TPersistent {
public:
    TSearchFooter();
    ~TSearchFooter() override;

    // Every published value of another TSearchFooter except AutoSearch and
    // OnChange; the font by copying.
    void Assign(const TPersistent* Source) override;

    bool AutoSearch = true;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; Changed(); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { FColorTo = Value; Changed(); }
    const String& FindNextCaption() const { return FFindNextCaption; }
    void SetFindNextCaption(const String& Value) { FFindNextCaption = Value; Changed(); }
    const String& FindPrevCaption() const { return FFindPrevCaption; }
    void SetFindPrevCaption(const String& Value) { FFindPrevCaption = Value; Changed(); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); Changed(); }
    const String& HighLightCaption() const { return FHighLightCaption; }
    void SetHighLightCaption(const String& Value) { FHighLightCaption = Value; Changed(); }
    const String& HintClose() const { return FHintClose; }
    void SetHintClose(const String& Value) { FHintClose = Value; Changed(); }
    const String& HintFindNext() const { return FHintFindNext; }
    void SetHintFindNext(const String& Value) { FHintFindNext = Value; Changed(); }
    const String& HintFindPrev() const { return FHintFindPrev; }
    void SetHintFindPrev(const String& Value) { FHintFindPrev = Value; Changed(); }
    const String& HintHighlight() const { return FHintHighlight; }
    void SetHintHighlight(const String& Value) { FHintHighlight = Value; Changed(); }
    const String& MatchCaseCaption() const { return FMatchCaseCaption; }
    void SetMatchCaseCaption(const String& Value) { FMatchCaseCaption = Value; Changed(); }
    bool SearchActiveColumnOnly() const { return FSearchActiveColumnOnly; }
    void SetSearchActiveColumnOnly(bool Value) { FSearchActiveColumnOnly = Value; Changed(); }
    int SearchColumn() const { return FSearchColumn; }
    void SetSearchColumn(int Value) { FSearchColumn = Value; Changed(); }
    bool SearchMatchStart() const { return FSearchMatchStart; }
    void SetSearchMatchStart(bool Value) { FSearchMatchStart = Value; Changed(); }
    bool ShowClose() const { return FShowClose; }
    void SetShowClose(bool Value) { SetFlag(FShowClose, Value); }
    bool ShowFindNext() const { return FShowFindNext; }
    void SetShowFindNext(bool Value) { SetFlag(FShowFindNext, Value); }
    bool ShowFindPrev() const { return FShowFindPrev; }
    void SetShowFindPrev(bool Value) { SetFlag(FShowFindPrev, Value); }
    bool ShowHighLight() const { return FShowHighLight; }
    void SetShowHighLight(bool Value) { SetFlag(FShowHighLight, Value); }
    bool ShowMatchCase() const { return FShowMatchCase; }
    void SetShowMatchCase(bool Value) { SetFlag(FShowMatchCase, Value); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { SetFlag(FVisible, Value); }

    // Unpublished: the last search text and the automatic theme flag (the
    // grid's AutoThemeAdapt setter writes it and fires OnChange).
    String LastSearch;
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value) { FAutoThemeAdapt = Value; Changed(); }

    TNotifyEvent OnChange;

private:
    void Changed()
    {
        if (OnChange)
            OnChange(this);
    }
    void SetFlag(bool& Flag, bool Value)
    {
        if (Flag == Value)
            return;
        Flag = Value;
        Changed();
    }

    TColor FColor = clWhite;
    TColor FColorTo = clBtnFace;
    String FFindNextCaption = "Find &next";
    String FFindPrevCaption = "Find &previous";
    std::unique_ptr<TFont> FFont;
    String FHighLightCaption = "Highlight";
    String FHintClose = "Close";
    String FHintFindNext = "Find next occurence";
    String FHintFindPrev = "Find previous occurence";
    String FHintHighlight = "Highlight occurences";
    String FMatchCaseCaption = "Match case";
    bool FSearchActiveColumnOnly = false;
    int FSearchColumn = -1;
    bool FSearchMatchStart = false;
    bool FShowClose = true;
    bool FShowFindNext = true;
    bool FShowFindPrev = true;
    bool FShowHighLight = true;
    bool FShowMatchCase = true;
    bool FVisible = false;
    bool FAutoThemeAdapt = false;
};
