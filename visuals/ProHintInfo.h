#pragma once
// The content of an office-style hint: a title, lines of notes, a picture and
// a help flag. Controls publish one as their OfficeHint; the string grid fills
// the notes with a cell's hint text and hands the object to its office-hint
// event.

#include <memory>

#include "framework/StringList.h"
#include "visuals/GdiPlusPicture.h"

class TProHintInfo : public TPersistent {
public:
    // Empty notes and picture, empty title, help flag false.
    TProHintInfo();
    ~TProHintInfo() override;

    // Only from another TProHintInfo: title, notes (line by line), help
    // flag, picture (its bytes) and both wide texts. Any other source,
    // nullptr included, is ignored.
    void Assign(const TPersistent* Source) override;

    TGdiPlusPicture* Picture() const { return FPicture.get(); }
    // Copies Value's image into the own picture.
    void SetPicture(const TGdiPlusPicture* Value);
    bool ShowHelp() const { return FShowHelp; }
    void SetShowHelp(bool Value) { FShowHelp = Value; }
    TStringList* Notes() const { return FNotes.get(); }
    // Copies Value's lines into the own list.
    void SetNotes(const TStrings* Value);
    const String& Title() const { return FTitle; }
    void SetTitle(const String& Value) { FTitle = Value; }

    // Not published: UTF-16 forms of the title and the notes.
    const WideString& WideTitle() const { return FWideTitle; }
    void SetWideTitle(const WideString& Value) { FWideTitle = Value; }
    const WideString& WideNotes() const { return FWideNotes; }
    void SetWideNotes(const WideString& Value) { FWideNotes = Value; }

private:
    std::unique_ptr<TGdiPlusPicture> FPicture;
    bool FShowHelp = false;
    std::unique_ptr<TStringList> FNotes;
    String FTitle;
    WideString FWideTitle;
    WideString FWideNotes;
};
