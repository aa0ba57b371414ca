#pragma once
// Settings text held in memory: "[Section]" headers and "Key=Value" lines,
// read from a text or a list of lines and never written to a file.
//
// Section and key names match without regard to the case of ASCII letters;
// blanks around names and values are removed; empty lines, lines starting
// with ";", lines before the first section and lines without "=" are
// ignored. A section written twice is one section with the keys of both, in
// text order; of a key written twice in a section the first is read.

#include <unordered_map>
#include <vector>

#include "framework/Object.h"

class TStrings;

class TMemIniFile : public TObject {
public:
    TMemIniFile() = default;
    explicit TMemIniFile(const String& Text) { SetText(Text); }

    // Replaces the contents with the lines of Text (CR LF, LF or CR ends)
    // or of Strings.
    void SetText(const String& Text);
    void SetStrings(const TStrings* Strings);
    void Clear();

    String ReadString(const String& Section, const String& Ident, const String& Default) const;
    // Decimal, or hexadecimal with "$" or "0x"; anything else gives Default.
    Integer ReadInteger(const String& Section, const String& Ident, Integer Default) const;

    // Replace the contents of Strings with the names of all sections or the
    // key names of one section, in text order.
    void ReadSections(TStrings* Strings) const;
    void ReadSection(const String& Section, TStrings* Strings) const;
    // The same as plain lists.
    std::vector<String> SectionNames() const;
    std::vector<String> KeyNames(const String& Section) const;

    bool SectionExists(const String& Section) const { return Find(Section) != nullptr; }
    bool ValueExists(const String& Section, const String& Ident) const;

private:
    struct TKey {
        String Name;
        String Value;
    };
    struct TSection {
        String Name;
        std::vector<TKey> Keys;
        std::unordered_map<String, std::size_t> Index;   // upper-cased key name -> its first line
    };

    void AddLine(const String& Line);
    const TSection* Find(const String& Section) const;
    const TKey* FindKey(const String& Section, const String& Ident) const;

    std::vector<TSection> FSections;
    std::unordered_map<String, std::size_t> FIndex;   // upper-cased section name -> section
    std::size_t FCurrent = 0;   // the section that the next key lines belong to
};
