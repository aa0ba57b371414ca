#pragma once
// Small text functions of the grid on 8-bit strings: positions, tokens,
// character counts and the capitalisation of name fields. Positions are
// 1-based; 0 means "not found".

#include "framework/Types.h"

// First position of C in S, 0 when absent.
Integer CharPosInText(char C, const String& S);
// As CharPosInText; Pos is set only when C is found.
Integer FindCharPos(char C, const String& S, Integer& Pos);
// Position of Sub in S (case-sensitive); Pos always receives it. An empty
// Sub is never found.
Integer FindSubstrPos(const String& Sub, const String& S, Integer& Pos);
// Position of the upper-case text UpperSub in the upper-cased S.
Integer PosInUpperText(const String& UpperSub, const String& S);
// Position of Sub in S counted in UTF-16 units; 0 when absent, when either is
// empty or when Sub is longer than S.
Integer PosWide(const WideString& Sub, const WideString& S);
// The same on null-terminated texts: a pointer to the first occurrence of Sub
// in S, or nullptr.
const wchar_t* StrPosWide(const wchar_t* Sub, const wchar_t* S);

// The part of S before the first occurrence of Separator; that part and the
// separator's first character are removed from S. When Separator is absent
// (or empty), returns empty and leaves S unchanged.
String CutToken(String& S, const String& Separator);
Integer CountChar(char C, const String& S);
// Every character of S replaced by C; the length stays.
void FillTextWithChar(String& S, char C);
// S without any CR (13).
String RemoveCarriageReturns(const String& S);

// "A" to "Z" to lower case; other characters unchanged.
char LowerAsciiChar(char C);
// Blank, apostrophe, comma, "-" and ".": the characters after which a name
// starts a new capitalised word.
bool IsNameBreakChar(char C);
// A name field in name case: each word's first letter upper case and the rest
// lower case (ASCII letters; double-byte characters pass whole), plus the
// capital after a leading "Mc", after the first " Mc", and Roman numerals
// I to III at the end: "mcdonald" becomes "McDonald", "henry iii" "Henry III".
String CapitalizeName(const String& S);
