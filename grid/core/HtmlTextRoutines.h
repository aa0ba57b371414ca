#pragma once
// Text routines on mini-HTML cell texts: the renderer's small helpers, the
// form-control tags (read, find, rewrite), escaping, plain text, and the
// search highlight that wraps matches in a tag. Pure text work: no window,
// no drawing, nothing kept between calls. Positions are 1-based, 0 means
// "not found".

#include "framework/Types.h"
#include "grid/core/HtmlStrip.h"

// --- Renderer helpers ------------------------------------------------------

// Every "<#" removed together with the first ">" after it, keeping the text
// between.
String StripHashTags(const String& S);
// Each CR becomes "<BR>", each LF is dropped.
String LineBreaksToBr(const String& S);
// S with the first occurrence of Find (ASCII case ignored) replaced; Done
// tells whether there was one.
String ReplaceFirstIgnoreCase(const String& S, const String& Find, const String& Replace, bool* Done = nullptr);
// Position of Sub in S ignoring ASCII case.
int PosIgnoreCase(const String& Sub, const String& S);
// An optional sign and the digits after leading blanks, up to the first
// other character, as an integer; Default when there is no digit.
int StrToIntLoose(const String& S, int Default = 0);
// Position of Sub in S searching from position From on.
int HtmlFindPos(const String& Sub, const String& S, int From = 1);
// As HtmlFindPos on an ASCII upper-cased copy of S (Sub given in upper case).
int HtmlFindUpperPos(const String& Sub, const String& S, int From = 1);
// ASCII upper- and lower-cased copies (bytes of two-byte characters stay).
String HtmlUpper(const String& S);
String HtmlLower(const String& S);

// The value of attribute Name (upper case) in a tag: the text between the
// two double quotes after NAME=. The name counts only as a whole attribute
// name outside quoted values (so ID is never found inside WIDTH, nor inside
// another attribute's value). The value keeps the case of Tag; empty when
// the attribute is missing or has no opening quote; without a closing quote
// the value runs to the end of the tag.
String HtmlTagAttribute(const String& Tag, const String& Name);

// --- Form-control tags -----------------------------------------------------

struct THtmlControlTag {
    String Type;     // upper-cased: EDIT, PASSWORD, MASK, COMBO, CHECK, RADIO, BUTTON
    String ID;
    String MaxLen;
    String Prop;
    String Width;
    String Value;    // unescaped
};

// True when the text holds "<CONTROL" (any case).
bool HasHtmlControl(const String& S);
// Attributes of one control tag (the text inside its angle brackets).
THtmlControlTag ParseHtmlControlTag(const String& Inside);
// ID of the first control after the one with this ID whose type is none of
// BUTTON, CHECK, RADIO; with an empty ID the first such control; empty when
// none.
String NextEditableHtmlControl(const String& S, const String& ID);
// PROP of the control with this ID; empty when none.
String GetHtmlControlProp(const String& S, const String& ID);
// MAXLEN of the control with this ID (digits up to the first non-digit); 0 when absent.
int GetHtmlControlMaxLen(const String& S, const String& ID);
// Rewrites the tag of the control with this ID with NewValue; false, text
// unchanged, when no control has this ID.
bool SetHtmlControlValue(String& S, const String& ID, const String& NewValue);

// --- Conversions -----------------------------------------------------------

// "&" -> "&amp;", then '"' -> "&quot;", "<" -> "&lt;", ">" -> "&gt;".
String EscapeHtml(const String& S);
// "&lt;", "&gt;", "&amp;", "&quot;" back in one pass, each decoded once,
// so that it undoes EscapeHtml exactly.
String UnescapeHtml(const String& S);
// As UnescapeHtml, and with Nbsp "&nbsp;" too, as a blank.
String DecodeHtmlEntities(const String& S, bool Nbsp);
// As many "*" as S has characters.
String MaskPassword(const String& S);
// Repeatedly: when the first "<" comes before the first ">", the text before
// it is kept and everything up to that ">" dropped; otherwise the rest stays.
String StripHtmlTags(const String& S);

// --- Search highlight ------------------------------------------------------

// Position in Html of the N-th character outside tags (or of the tag run in
// front of it); one past the end for the character after the last.
int PlainToHtmlIndex(const String& Html, int N);
// Position of Find in Plain from position From on; ASCII case ignored
// unless CaseSensitive; 0 when none.
int FindPlainText(const String& Plain, const String& Find, int From, bool CaseSensitive);
// Every match of Search in the plain text of Html wrapped in <Tag>..</Tag>.
// A text whose plain part holds "<" or ">" is left as it is, so that
// UnhighlightHtmlText always gives back the text that was highlighted.
String HighlightHtmlText(const String& Html, const String& Search, const String& Tag, bool CaseSensitive);
// Every <Tag> and </Tag> (any case) removed.
String UnhighlightHtmlText(const String& Html, const String& Tag);
