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
