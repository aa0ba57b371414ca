#pragma once
// Text helpers on 8-bit strings. Case rules apply to ASCII letters only, so
// the double-byte characters of code page 936 pass through unchanged.

#include "framework/Types.h"

String UpperCase(const String& S);
String LowerCase(const String& S);
bool SameText(const String& A, const String& B);
int CompareText(const String& A, const String& B);
String Trim(const String& S);
String TrimLeft(const String& S);
String TrimRight(const String& S);

String IntToStr(Int64 Value);
// Hexadecimal digits (upper case), at least Digits of them.
String IntToHex(std::uint64_t Value, int Digits);
// Decimal, or hexadecimal with a leading '$' or "0x"; raises EConvertError.
Integer StrToInt(const String& S);
// S in single quotes for an error message: at most MaxQuoted bytes of it,
// then "..." when it is longer, so that a message never carries a whole file.
constexpr std::size_t MaxQuoted = 80;
String QuotedExcerpt(const String& S);
Integer StrToIntDef(const String& S, Integer Default);
bool TryStrToInt(const String& S, Integer& Value);

// Hex text of bytes: "CA 20 FE" style with a separator, or packed "CA20FE".
String BytesToHex(const String& Bytes, const String& Separator = " ");
