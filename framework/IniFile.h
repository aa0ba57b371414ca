#pragma once
// Settings files of "[Section]" headers and "Key=Value" lines.
//
// Every call reads the file afresh and every change writes it back at once,
// touching only the one line (or section) concerned: other sections and keys,
// their order, comments, blank lines and lines of no known form stay as they
// were. Section and key names match without regard to the case of ASCII
// letters; names and values are code page 936 bytes taken as they stand,
// with surrounding blanks trimmed on reading. A missing file reads as empty
// and is created by the first change. Lines are written with CR LF; LF alone
// is read too. A change that cannot be written raises EIniFileException.

#include "framework/Object.h"

class TStrings;

class TIniFile : public TObject {
public:
    explicit TIniFile(const String& FileName) : FFileName(FileName) {}

    const String& FileName() const { return FFileName; }

    String ReadString(const String& Section, const String& Ident, const String& Default) const;
    void WriteString(const String& Section, const String& Ident, const String& Value);
    // Decimal, or hexadecimal with "$" or "0x"; anything else gives Default.
    Integer ReadInteger(const String& Section, const String& Ident, Integer Default) const;
    void WriteInteger(const String& Section, const String& Ident, Integer Value);
    // An integer (not 0 is true) or "true"/"false" in any case; anything else
    // gives Default. Writes "1" or "0".
    bool ReadBool(const String& Section, const String& Ident, bool Default) const;
    void WriteBool(const String& Section, const String& Ident, bool Value);

    // Replace the contents of Strings with the key names of the section, the
    // names of all sections (each once, in file order), or the section's
    // "Key=Value" lines.
    void ReadSection(const String& Section, TStrings* Strings) const;
    void ReadSections(TStrings* Strings) const;
    void ReadSectionValues(const String& Section, TStrings* Strings) const;

    bool SectionExists(const String& Section) const;
    bool ValueExists(const String& Section, const String& Ident) const;

    // Removes the section with all its lines (every copy of it, should the
    // file hold it twice), or one key; nothing is written when it is absent.
    void EraseSection(const String& Section);
    void DeleteKey(const String& Section, const String& Ident);

    // Changes are already in the file; kept for callers that flush.
    void UpdateFile() {}

private:
    String FFileName;
};
