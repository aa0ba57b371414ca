#include "framework/IniFile.h"

#include <vector>

#include "framework/Exception.h"
#include "framework/Stream.h"
#include "framework/StrUtils.h"
#include "framework/StringList.h"

namespace {

using TLines = std::vector<String>;

// Lines [Header + 1, End) belong to the section whose header is at Header.
struct TSectionSpan {
    std::size_t Header = String::npos;
    std::size_t End = 0;
    bool Found() const { return Header != String::npos; }
};

// "[Name]" with blanks allowed around the line and the name. The name runs to
// the last ']' of a line that ends with one (a double-byte character may hold
// a ']' byte), otherwise to the first.
bool ParseSection(const String& Line, String& Name)
{
    const String t = Trim(Line);
    if (t.empty() || t[0] != '[')
        return false;
    const std::size_t close = t.back() == ']' ? t.size() - 1 : t.find(']');
    if (close == String::npos)
        return false;
    Name = Trim(t.substr(1, close - 1));
    return true;
}

// "Key=Value" outside comments (lines starting with ';'), with a key name.
bool ParseKey(const String& Line, String& Name, String& Value)
{
    const String t = TrimLeft(Line);
    if (t.empty() || t[0] == ';' || t[0] == '[')
        return false;
    const std::size_t eq = t.find('=');
    if (eq == String::npos)
        return false;
    Name = Trim(t.substr(0, eq));
    Value = Trim(t.substr(eq + 1));
    return !Name.empty();
}

bool IsSectionLine(const String& Line)
{
    String name;
    return ParseSection(Line, name);
}

TSectionSpan FindSection(const TLines& Lines, const String& Section)
{
    TSectionSpan span;
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        String name;
        if (ParseSection(Lines[i], name) && SameText(name, Section)) {
            span.Header = i;
            break;
        }
    }
    if (!span.Found())
        return span;
    span.End = span.Header + 1;
    while (span.End < Lines.size() && !IsSectionLine(Lines[span.End]))
        ++span.End;
    return span;
}

// Index of the first line of the section that sets Ident, or npos.
std::size_t FindKey(const TLines& Lines, const TSectionSpan& Span, const String& Ident, String* Value = nullptr)
{
    if (!Span.Found())
        return String::npos;
    for (std::size_t i = Span.Header + 1; i < Span.End; ++i) {
        String name;
        String value;
        if (ParseKey(Lines[i], name, value) && SameText(name, Ident)) {
            if (Value != nullptr)
                *Value = value;
            return i;
        }
    }
    return String::npos;
}

TLines SplitLines(const String& Bytes)
{
    TLines lines;
    std::size_t start = 0;
    while (start < Bytes.size()) {
        std::size_t end = Bytes.find('\n', start);
        const std::size_t next = end == String::npos ? Bytes.size() : end + 1;
        if (end == String::npos)
            end = Bytes.size();
        if (end > start && Bytes[end - 1] == '\r')
            --end;
        lines.push_back(Bytes.substr(start, end - start));
        start = next;
    }
    return lines;
}

// The file's lines; a file that cannot be opened (a missing one, or one
// another program holds exclusively, which then cannot be written either)
// reads as empty.
TLines LoadLines(const String& FileName)
{
    String bytes;
    try {
        TFileStream file(FileName, fmOpenRead | fmShareDenyNone);
        bytes.resize(static_cast<std::size_t>(file.Size()));
        file.ReadBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    } catch (const EFOpenError&) {
        return TLines();
    } catch (const EStreamError& e) {
        throw EIniFileException(e.Message);
    }
    return SplitLines(bytes);
}

void SaveLines(const String& FileName, const TLines& Lines)
{
    String bytes;
    for (const String& line : Lines)
        bytes += line + "\r\n";
    try {
        TFileStream file(FileName, fmCreate);
        file.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    } catch (const EStreamError&) {
        throw EIniFileException("Unable to write to " + FileName);
    }
}

// Reads the file, lets Change edit its lines, and writes it back when Change
// reports a change.
template <class F>
void UpdateLines(const String& FileName, F Change)
{
    TLines lines = LoadLines(FileName);
    if (Change(lines))
        SaveLines(FileName, lines);
}

} // namespace

String TIniFile::ReadString(const String& Section, const String& Ident, const String& Default) const
{
    const TLines lines = LoadLines(FFileName);
    String value;
    if (FindKey(lines, FindSection(lines, Trim(Section)), Trim(Ident), &value) == String::npos)
        return Default;
    return value;
}

void TIniFile::WriteString(const String& Section, const String& Ident, const String& Value)
{
    const String section = Trim(Section);
    const String ident = Trim(Ident);
    UpdateLines(FFileName, [&](TLines& lines) {
        const TSectionSpan span = FindSection(lines, section);
        if (!span.Found()) {
            lines.push_back("[" + section + "]");
            lines.push_back(ident + "=" + Value);
            return true;
        }
        const std::size_t k = FindKey(lines, span, ident);
        if (k != String::npos) {
            // Keep the name as the file spells it.
            String name;
            String old;
            ParseKey(lines[k], name, old);
            lines[k] = name + "=" + Value;
            return true;
        }
        // A new key goes after the section's last non-blank line, so blank
        // lines before the next section stay there.
        std::size_t at = span.End;
        while (at > span.Header + 1 && Trim(lines[at - 1]).empty())
            --at;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), ident + "=" + Value);
        return true;
    });
}

Integer TIniFile::ReadInteger(const String& Section, const String& Ident, Integer Default) const
{
    return StrToIntDef(ReadString(Section, Ident, String()), Default);
}

void TIniFile::WriteInteger(const String& Section, const String& Ident, Integer Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

bool TIniFile::ReadBool(const String& Section, const String& Ident, bool Default) const
{
    const String value = ReadString(Section, Ident, String());
    Integer number = 0;
    if (TryStrToInt(value, number))
        return number != 0;
    if (SameText(value, "true"))
        return true;
    if (SameText(value, "false"))
        return false;
    return Default;
}

void TIniFile::WriteBool(const String& Section, const String& Ident, bool Value)
{
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TIniFile::ReadSection(const String& Section, TStrings* Strings) const
{
    const TLines lines = LoadLines(FFileName);
    const TSectionSpan span = FindSection(lines, Trim(Section));
    TStringList names;
    for (std::size_t i = span.Header + 1; span.Found() && i < span.End; ++i) {
        String name;
        String value;
        if (ParseKey(lines[i], name, value))
            names.Add(name);
    }
    Strings->Assign(&names);
}

void TIniFile::ReadSections(TStrings* Strings) const
{
    const TLines lines = LoadLines(FFileName);
    TStringList names;
    for (const String& line : lines) {
        String name;
        if (ParseSection(line, name) && !name.empty() && names.IndexOf(name) < 0)
            names.Add(name);
    }
    Strings->Assign(&names);
}

void TIniFile::ReadSectionValues(const String& Section, TStrings* Strings) const
{
    const TLines lines = LoadLines(FFileName);
    const TSectionSpan span = FindSection(lines, Trim(Section));
    TStringList values;
    for (std::size_t i = span.Header + 1; span.Found() && i < span.End; ++i) {
        String name;
        String value;
        if (ParseKey(lines[i], name, value))
            values.Add(name + "=" + value);
    }
    Strings->Assign(&values);
}

bool TIniFile::SectionExists(const String& Section) const
{
    return FindSection(LoadLines(FFileName), Trim(Section)).Found();
}

bool TIniFile::ValueExists(const String& Section, const String& Ident) const
{
    const TLines lines = LoadLines(FFileName);
    return FindKey(lines, FindSection(lines, Trim(Section)), Trim(Ident)) != String::npos;
}

void TIniFile::EraseSection(const String& Section)
{
    const String section = Trim(Section);
    UpdateLines(FFileName, [&](TLines& lines) {
        bool changed = false;
        for (TSectionSpan span = FindSection(lines, section); span.Found(); span = FindSection(lines, section)) {
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(span.Header),
                        lines.begin() + static_cast<std::ptrdiff_t>(span.End));
            changed = true;
        }
        return changed;
    });
}

void TIniFile::DeleteKey(const String& Section, const String& Ident)
{
    const String ident = Trim(Ident);
    UpdateLines(FFileName, [&](TLines& lines) {
        const std::size_t k = FindKey(lines, FindSection(lines, Trim(Section)), ident);
        if (k == String::npos)
            return false;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(k));
        return true;
    });
}
