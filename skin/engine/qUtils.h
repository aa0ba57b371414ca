#pragma once
// Small general routines of the skin library: words of option values, INI
// text split into sections, number conversions of the options readers,
// paths, numbers and rectangles. None needs a window.

#include <vector>

#include "framework/Graphics.h"

class TStrings;

// A set of 8-bit delimiter characters, given as the characters themselves.
using TCharSet = String;

// Words are runs of characters not in Delims; positions are 1-based.
// WordStart is 0 when S has fewer than N words; WordAt is then empty.
int WordStart(int N, const String& S, const TCharSet& Delims);
String WordAt(int N, const String& S, const TCharSet& Delims);
int WordCount(const String& S, const TCharSet& Delims);
String RemoveChar(const String& S, char Ch);

// INI text split into named sections of raw lines.
struct TIniSection {
    String Name;
    std::vector<String> Lines;
};
using TIniSections = std::vector<TIniSection>;

// Skips empty lines and lines starting with ";"; "[Name]" starts a section;
// other lines go to the last section (those before the first are dropped).
void SplitIniSections(const TStrings* Lines, TIniSections& Sections);
// The text after "Key=" in the section's line of that key (section and key
// found without regard to case), or Default.
String ReadSectionListString(const TIniSections& Sections, const String& Section, const String& Key,
                             const String& Default);
// The same read leniently as an integer (see LenientInt).
Integer ReadSectionListInteger(const TIniSections& Sections, const String& Section, const String& Key,
                               Integer Default);

// A lenient integer: decimal, or hexadecimal after 0x, 0X or $ (at most
// eight digits); anything else, and a decimal beyond 32 bits, gives Default.
Integer LenientInt(const String& S, Integer Default);
// A strict integer: decimal digits with an optional sign, within 32 bits;
// anything else raises EConvertError.
Integer StrictInt(const String& S);

// Empty stays empty; a trailing "\" stays; a trailing "/" becomes "\"; a
// one-character path gets ":\"; any other path gets "\".
String AddTrailingSeparator(const String& Path);

int ClampByte(int Value);
constexpr bool IsBetween(int Value, int Low, int High) { return Low <= Value && Value <= High; }
constexpr int MaxOf(int A, int B) { return A > B ? A : B; }
constexpr int MinOf(int A, int B) { return A < B ? A : B; }
constexpr int ChooseInt(bool Flag, int A, int B) { return Flag ? A : B; }
inline String ChooseStr(bool Flag, const String& A, const String& B) { return Flag ? A : B; }

// R is not empty and overlaps Bounds.
bool RectOverlaps(const TRect& Bounds, const TRect& R);
// Both corners of Inner lie in Outer, its right and bottom edges included.
bool RectContains(const TRect& Outer, const TRect& Inner);
