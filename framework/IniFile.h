#pragma once
// Settings files of "[Section]" headers and "Key=Value" lines.
//
// Every call reads the file afresh and every change writes it back at once,
// touching only the one line (or section) concerned: other sections and keys,
// their order, comments, blank lines and lines of no known form stay as they
// were. Section and key names match without regard to the case of ASCII
// letters; names and values are code page 936 text (UTF-8 in the host build,
// whose literals are UTF-8), with surrounding blanks trimmed on reading, and a
// value in matching double or single quotes is read without them (as the
// system's profile functions read it).
//
// Files are read as editors save them: 936 bytes, UTF-8 with a byte-order
// mark, or UTF-16 (either byte order) with a mark; line ends CR LF, LF or CR
// alone. A change writes the file back in its own encoding, with CR LF.
// A missing file reads as empty and is created by the first change.
//
// A change never leaves a damaged file: the new content is written beside
// the file and replaces it in one step (see SaveFileReplacing), so a program
// killed during a save leaves the old or the new file, whole, and a reader in
// another process sees one of the two. Changes of one file take turns across
// threads and processes (read, edit and write as one step), so that
// simultaneous changes of different keys are all kept. A change that cannot be written (a
// read-only file, a full disk, a file another program holds exclusively)
// raises EIniFileException naming the file and leaves it as it was. Files
// beyond 64 MiB are refused, for reading and writing, with EIniFileException.
//
// Changes made between BeginUpdate and EndUpdate are kept and written by
// EndUpdate in one replace of the file: a program that saves many keys at
// once pays for one write, and one killed meanwhile leaves all of them or
// none. Reads meanwhile see the kept changes.

#include <cstddef>
#include <vector>

#include "framework/Object.h"

class TStrings;
struct TIniText;

// Settings values that a program shows are short; a longer one is taken as
// damaged (an edit control spends minutes taking a megabyte of text).
constexpr std::size_t MaxSettingBytes = 4096;

class TIniFile : public TObject {
public:
    explicit TIniFile(const String& FileName) : FFileName(FileName) {}

    const String& FileName() const { return FFileName; }

    String ReadString(const String& Section, const String& Ident, const String& Default) const;
    // ReadString for a value a program puts into a control: one longer than
    // MaxBytes gives Default.
    String ReadBoundedString(const String& Section, const String& Ident, const String& Default,
                             std::size_t MaxBytes = MaxSettingBytes) const;
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

    // Brackets nest; the outermost EndUpdate writes. Changes still kept
    // when the object goes are dropped.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    // Writes the changes kept so far; outside an update they are already in the file.
    void UpdateFile();

    // Removes the temporary file that a change killed in the middle of its
    // write left beside the file; one that a running writer holds stays.
    void RemoveStaleTemporary() const;

private:
    enum class TChangeKind { Write, DeleteKey, EraseSection };
    struct TChange {
        TChangeKind Kind;
        String Section;
        String Ident;
        String Value;
    };

    void Change(TChange C);
    TIniText Load() const;
    static bool Apply(TIniText& Text, const TChange& C);

    String FFileName;
    std::vector<TChange> FChanges;   // kept while FUpdateCount > 0
    int FUpdateCount = 0;
};
