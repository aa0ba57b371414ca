#pragma once
// An edit mask of a masked form-control field: "mask;save literals;blank".
// Each position of the mask is a literal (put into the text by itself) or a
// slot that takes one kind of character:
//   0 digit (required)   9 digit        # digit, "+" or "-"
//   L letter (required)  l letter       A letter or digit (required)
//   a letter or digit    C any (required)  c any
// ">" upper-cases the slots after it, "<" lower-cases them, "<>" ends
// either; "\" makes the next character a literal; "_" is a literal blank;
// "!" is accepted and ignored. The text holds one character per position,
// literals included; with "save literals" 0 the value leaves them out.

#include <vector>

#include "framework/Types.h"

class TEditMask {
public:
    TEditMask() = default;
    explicit TEditMask(const String& Mask);

    bool Empty() const { return FSlots.empty(); }
    int Length() const { return static_cast<int>(FSlots.size()); }
    bool IsLiteral(int Pos) const;
    // Whether Ch may stand at Pos; a letter is changed to the mask's case.
    bool Accepts(int Pos, wchar_t& Ch) const;
    // Text with Ch typed at the caret (over the selection start): literals
    // before it are filled in, the character overwrites or is added, and
    // literals right after it at the end are added. False leaves Text and
    // Caret unchanged (no position left, or the slot refuses Ch).
    bool Type(WideString& Text, int& Caret, wchar_t Ch) const;
    // Every required slot holds a character.
    bool Complete(const WideString& Text) const;
    // The value kept for the text: without the literals unless they are saved.
    WideString Value(const WideString& Text) const;
    // The text shown for a value: a value without literals gets them back.
    WideString Format(const WideString& Value) const;

private:
    enum TCase { cNone, cUpper, cLower };
    struct TSlot {
        wchar_t Kind = 0;     // mask character, 0 for a literal
        wchar_t Literal = 0;
        TCase Case = cNone;
    };
    std::vector<TSlot> FSlots;
    bool FSaveLiterals = true;
};
