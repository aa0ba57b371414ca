#include "framework/IniFile.h"

#include <vector>

#include "framework/Exception.h"
#include "framework/Stream.h"
#include "framework/StrUtils.h"
#include "framework/StringList.h"

#ifdef _WIN32
#include <windows.h>

#include "framework/Codepage.h"
#endif

namespace {

using TLines = std::vector<String>;

// The encodings that editors save settings files in. Lines are kept in a
// working form: the file's own bytes for 936 text, UTF-8 for the Unicode
// files (unpaired UTF-16 halves kept as three-byte sequences, so that a line
// nobody changes goes back as it came).
enum class TEncoding { Ansi, Utf8, Utf16Le, Utf16Be };

// ---- text conversions --------------------------------------------------------

void AppendUtf8(String& Out, unsigned Code)
{
    if (Code < 0x80) {
        Out.push_back(static_cast<char>(Code));
    } else if (Code < 0x800) {
        Out.push_back(static_cast<char>(0xC0 | (Code >> 6)));
        Out.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
    } else if (Code < 0x10000) {
        Out.push_back(static_cast<char>(0xE0 | (Code >> 12)));
        Out.push_back(static_cast<char>(0x80 | ((Code >> 6) & 0x3F)));
        Out.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
    } else {
        Out.push_back(static_cast<char>(0xF0 | (Code >> 18)));
        Out.push_back(static_cast<char>(0x80 | ((Code >> 12) & 0x3F)));
        Out.push_back(static_cast<char>(0x80 | ((Code >> 6) & 0x3F)));
        Out.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
    }
}

String Utf16ToUtf8(const std::u16string& Units)
{
    String out;
    out.reserve(Units.size() * 3 / 2);
    for (std::size_t i = 0; i < Units.size(); ++i) {
        const unsigned u = Units[i];
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < Units.size() && Units[i + 1] >= 0xDC00 && Units[i + 1] < 0xE000) {
            AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (Units[i + 1] - 0xDC00u));
            ++i;
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(const String& Text)
{
    std::u16string out;
    out.reserve(Text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(Text.data());
    const std::size_t n = Text.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned b = p[i];
        unsigned code = b;
        std::size_t len = 1;
        if (b >= 0xF0 && i + 3 < n) {
            code = ((b & 0x07u) << 18) | ((p[i + 1] & 0x3Fu) << 12) | ((p[i + 2] & 0x3Fu) << 6) | (p[i + 3] & 0x3Fu);
            len = 4;
        } else if (b >= 0xE0 && i + 2 < n) {
            code = ((b & 0x0Fu) << 12) | ((p[i + 1] & 0x3Fu) << 6) | (p[i + 2] & 0x3Fu);
            len = 3;
        } else if (b >= 0xC0 && i + 1 < n) {
            code = ((b & 0x1Fu) << 6) | (p[i + 1] & 0x3Fu);
            len = 2;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
        i += len;
    }
    return out;
}

#ifdef _WIN32
String Utf8ToAnsi(const String& Text)
{
    const std::u16string units = Utf8ToUtf16(Text);
    return WideToStr(WideString(units.begin(), units.end()));
}

String AnsiToUtf8(const String& Text)
{
    const WideString wide = StrToWide(Text);
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}
#else
// The host build compiles its narrow literals as UTF-8, so its 8-bit text
// is UTF-8 and needs no conversion.
String Utf8ToAnsi(const String& Text) { return Text; }
String AnsiToUtf8(const String& Text) { return Text; }
#endif

// ---- the file's lines ---------------------------------------------------------

// Files beyond this size are refused, for reading and writing alike: settings
// never grow so large, and every call reads the whole file.
constexpr Int64 MaxFileBytes = Int64(64) << 20;

} // namespace

// The file's text in its working form (named in the header, so that the
// class's members can pass it).
struct TIniText {
    TEncoding Encoding = TEncoding::Ansi;
    TLines Lines;
    String Tail;   // an odd last byte of a UTF-16 file, kept as it came

    bool Unicode() const { return Encoding != TEncoding::Ansi; }
    // Names and values between the caller's 936 text and the working form.
    String ToAnsi(const String& S) const { return Unicode() ? Utf8ToAnsi(S) : S; }
    String FromAnsi(const String& S) const { return Unicode() ? AnsiToUtf8(S) : S; }
};

namespace {

// Names match without regard to the case of ASCII letters. In UTF-8 every
// byte of a non-ASCII character is 0x80 or above, so bytes compare as they
// stand; 936 text keeps its double-byte characters whole.
bool SameName(const TIniText& Text, const String& A, const String& B)
{
    if (!Text.Unicode())
        return SameText(A, B);
    if (A.size() != B.size())
        return false;
    for (std::size_t i = 0; i < A.size(); ++i) {
        char a = A[i];
        char b = B[i];
        if (a >= 'a' && a <= 'z')
            a = static_cast<char>(a - 32);
        if (b >= 'a' && b <= 'z')
            b = static_cast<char>(b - 32);
        if (a != b)
            return false;
    }
    return true;
}

// Line ends CR LF, LF and CR alone.
TLines SplitLines(const String& Bytes)
{
    TLines lines;
    std::size_t start = 0;
    while (start < Bytes.size()) {
        const std::size_t end = Bytes.find_first_of("\r\n", start);
        if (end == String::npos) {
            lines.push_back(Bytes.substr(start));
            break;
        }
        lines.push_back(Bytes.substr(start, end - start));
        start = end + 1;
        if (Bytes[end] == '\r' && start < Bytes.size() && Bytes[start] == '\n')
            ++start;
    }
    return lines;
}

TIniText Decode(const String& Bytes)
{
    TIniText text;
    auto starts = [&](const char* Mark, std::size_t N) { return Bytes.size() >= N && Bytes.compare(0, N, Mark, N) == 0; };
    if (starts("\xEF\xBB\xBF", 3)) {
        text.Encoding = TEncoding::Utf8;
        text.Lines = SplitLines(Bytes.substr(3));
    } else if (starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2)) {
        const bool little = Bytes[0] == '\xFF';
        text.Encoding = little ? TEncoding::Utf16Le : TEncoding::Utf16Be;
        std::u16string units;
        units.reserve((Bytes.size() - 2) / 2);
        std::size_t i = 2;
        for (; i + 1 < Bytes.size(); i += 2) {
            const unsigned lo = static_cast<unsigned char>(Bytes[little ? i : i + 1]);
            const unsigned hi = static_cast<unsigned char>(Bytes[little ? i + 1 : i]);
            units.push_back(static_cast<char16_t>(lo | (hi << 8)));
        }
        text.Tail = Bytes.substr(i);
        text.Lines = SplitLines(Utf16ToUtf8(units));
    } else {
        text.Lines = SplitLines(Bytes);
    }
    return text;
}

String Encode(const TIniText& Text)
{
    String body;
    for (const String& line : Text.Lines)
        body += line + "\r\n";
    switch (Text.Encoding) {
    case TEncoding::Ansi: return body;
    case TEncoding::Utf8: return "\xEF\xBB\xBF" + body;
    default: break;
    }
    const bool little = Text.Encoding == TEncoding::Utf16Le;
    const std::u16string units = Utf8ToUtf16(body);
    String bytes = little ? String("\xFF\xFE") : String("\xFE\xFF");
    bytes.reserve(2 + units.size() * 2 + Text.Tail.size());
    for (char16_t u : units) {
        const char lo = static_cast<char>(u & 0xFF);
        const char hi = static_cast<char>(u >> 8);
        bytes.push_back(little ? lo : hi);
        bytes.push_back(little ? hi : lo);
    }
    return bytes + Text.Tail;
}

[[noreturn]] void RaiseTooLarge(const String& FileName, Int64 Size)
{
    throw EIniFileException("Settings file \"" + FileName + "\" is too large (" + IntToStr(Size) +
                            " bytes; at most " + IntToStr(MaxFileBytes) + " are handled)");
}

// The file's whole content. A missing file reads as empty. A file that
// cannot be opened (another program holds it exclusively) reads as empty
// for a read; for a change it raises, so that a file that could not be read
// is never replaced by the change alone. Other failures raise, naming the file.
String LoadBytes(const String& FileName, bool ForChange)
{
    String bytes;
    try {
        TFileStream file(FileName, fmOpenRead | fmShareDenyNone);
        const Int64 size = file.Size();
        if (size > MaxFileBytes)
            RaiseTooLarge(FileName, size);
        bytes.resize(static_cast<std::size_t>(size));
        // Read to the end whatever the size said: a file another program is
        // rewriting in place may shrink or grow meanwhile.
        std::size_t done = 0;
        for (;;) {
            if (done == bytes.size()) {
                if (static_cast<Int64>(bytes.size()) >= MaxFileBytes + 1)
                    RaiseTooLarge(FileName, static_cast<Int64>(bytes.size()));
                bytes.resize(bytes.size() + 4096);
            }
            const Integer n = file.Read(bytes.data() + done, static_cast<Integer>(bytes.size() - done));
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        bytes.resize(done);
    } catch (const EFOpenError& e) {
        if (ForChange && FileExists(FileName))
            throw EIniFileException("Unable to write to " + FileName + " (" + e.Message + ")");
        return String();
    } catch (const EStreamError& e) {
        throw EIniFileException("Unable to read " + FileName + " (" + e.Message + ")");
    }
    return bytes;
}

TIniText LoadText(const String& FileName, bool ForChange = false) { return Decode(LoadBytes(FileName, ForChange)); }

void SaveText(const String& FileName, const TIniText& Text)
{
    const String bytes = Encode(Text);
    if (static_cast<Int64>(bytes.size()) > MaxFileBytes)
        RaiseTooLarge(FileName, static_cast<Int64>(bytes.size()));
    try {
        SaveFileReplacing(FileName, bytes);
    } catch (const EStreamError& e) {
        throw EIniFileException("Unable to write to " + FileName + " (" + e.Message + ")");
    }
}

// ---- sections and keys ----------------------------------------------------------

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

// A value in matching double or single quotes is read without them, as the
// system's profile functions read it.
String Unquoted(const String& Value)
{
    if (Value.size() >= 2 && (Value[0] == '"' || Value[0] == '\'') && Value.back() == Value[0])
        return Value.substr(1, Value.size() - 2);
    return Value;
}

bool IsSectionLine(const String& Line)
{
    String name;
    return ParseSection(Line, name);
}

// Section is in the working form.
TSectionSpan FindSection(const TIniText& Text, const String& Section)
{
    const TLines& lines = Text.Lines;
    TSectionSpan span;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        String name;
        if (ParseSection(lines[i], name) && SameName(Text, name, Section)) {
            span.Header = i;
            break;
        }
    }
    if (!span.Found())
        return span;
    span.End = span.Header + 1;
    while (span.End < lines.size() && !IsSectionLine(lines[span.End]))
        ++span.End;
    return span;
}

// Index of the first line of the section that sets Ident (working form), or npos.
std::size_t FindKey(const TIniText& Text, const TSectionSpan& Span, const String& Ident, String* Value = nullptr)
{
    if (!Span.Found())
        return String::npos;
    for (std::size_t i = Span.Header + 1; i < Span.End; ++i) {
        String name;
        String value;
        if (ParseKey(Text.Lines[i], name, value) && SameName(Text, name, Ident)) {
            if (Value != nullptr)
                *Value = value;
            return i;
        }
    }
    return String::npos;
}

#ifdef _WIN32
// Changes of one file take turns, across threads and processes: the read,
// the edit and the write of a change run under a mutex named after the file's
// full path, so that two programs changing different keys at once both keep
// their change. A writer killed meanwhile leaves the mutex abandoned, which
// the next one takes over; after a long wait the change goes ahead anyway.
class TChangeTurn {
public:
    explicit TChangeTurn(const String& FileName)
    {
        WideString full(MAX_PATH, L'\0');
        const WideString name = StrToWide(FileName);
        DWORD n = GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n >= full.size()) {
            full.resize(n + 1);
            n = GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        }
        full.resize(n < full.size() ? n : 0);
        if (full.empty())
            full = name;
        CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
        // Mutex names take no backslash and are limited in length: the path
        // goes in as a 64-bit FNV-1a hash.
        unsigned long long hash = 14695981039346656037ull;
        for (wchar_t c : full) {
            hash = (hash ^ static_cast<unsigned>(c & 0xFF)) * 1099511628211ull;
            hash = (hash ^ static_cast<unsigned>(c >> 8)) * 1099511628211ull;
        }
        WideString mutexName = L"Local\\IniFileChange-";
        for (int shift = 60; shift >= 0; shift -= 4)
            mutexName.push_back(L"0123456789ABCDEF"[(hash >> shift) & 0xF]);
        FMutex = CreateMutexW(nullptr, FALSE, mutexName.c_str());
        if (FMutex == nullptr)
            return;
        const DWORD wait = WaitForSingleObject(FMutex, 10000);
        FOwned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
    ~TChangeTurn()
    {
        if (FOwned)
            ReleaseMutex(FMutex);
        if (FMutex != nullptr)
            CloseHandle(FMutex);
    }
    TChangeTurn(const TChangeTurn&) = delete;
    TChangeTurn& operator=(const TChangeTurn&) = delete;

private:
    HANDLE FMutex = nullptr;
    bool FOwned = false;
};
#else
// The host build's writers are tests in one process at a time.
class TChangeTurn {
public:
    explicit TChangeTurn(const String&) {}
};
#endif

// Sets a key, adding it (and its section) when missing.
bool WriteValue(TIniText& Text, const String& Section, const String& Ident, const String& Value)
{
    const String section = Text.FromAnsi(Trim(Section));
    const String ident = Text.FromAnsi(Trim(Ident));
    const String value = Text.FromAnsi(Value);
    TLines& lines = Text.Lines;
    const TSectionSpan span = FindSection(Text, section);
    if (!span.Found()) {
        lines.push_back("[" + section + "]");
        lines.push_back(ident + "=" + value);
        return true;
    }
    const std::size_t k = FindKey(Text, span, ident);
    if (k != String::npos) {
        // Keep the name as the file spells it.
        String name;
        String old;
        ParseKey(lines[k], name, old);
        lines[k] = name + "=" + value;
        return true;
    }
    // A new key goes after the section's last non-blank line, so blank
    // lines before the next section stay there.
    std::size_t at = span.End;
    while (at > span.Header + 1 && Trim(lines[at - 1]).empty())
        --at;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), ident + "=" + value);
    return true;
}

bool RemoveSection(TIniText& Text, const String& Section)
{
    const String section = Text.FromAnsi(Trim(Section));
    bool changed = false;
    for (TSectionSpan span = FindSection(Text, section); span.Found(); span = FindSection(Text, section)) {
        Text.Lines.erase(Text.Lines.begin() + static_cast<std::ptrdiff_t>(span.Header),
                         Text.Lines.begin() + static_cast<std::ptrdiff_t>(span.End));
        changed = true;
    }
    return changed;
}

bool RemoveKey(TIniText& Text, const String& Section, const String& Ident)
{
    const std::size_t k = FindKey(Text, FindSection(Text, Text.FromAnsi(Trim(Section))), Text.FromAnsi(Trim(Ident)));
    if (k == String::npos)
        return false;
    Text.Lines.erase(Text.Lines.begin() + static_cast<std::ptrdiff_t>(k));
    return true;
}

} // namespace

// ---- changes --------------------------------------------------------------------

bool TIniFile::Apply(TIniText& Text, const TChange& C)
{
    switch (C.Kind) {
    case TChangeKind::Write: return WriteValue(Text, C.Section, C.Ident, C.Value);
    case TChangeKind::DeleteKey: return RemoveKey(Text, C.Section, C.Ident);
    case TChangeKind::EraseSection: return RemoveSection(Text, C.Section);
    }
    return false;
}

// The file as it is, with the changes kept by an update applied.
TIniText TIniFile::Load() const
{
    TIniText text = LoadText(FFileName);
    for (const TChange& c : FChanges)
        Apply(text, c);
    return text;
}

void TIniFile::Change(TChange C)
{
    FChanges.push_back(std::move(C));
    if (FUpdateCount == 0)
        UpdateFile();
}

// Reads the file, applies the kept changes and writes it back when they
// changed it, one change of a file at a time. The changes are dropped
// whether or not the write succeeds: a failed one leaves the file as it was.
void TIniFile::UpdateFile()
{
    if (FChanges.empty())
        return;
    const std::vector<TChange> changes = std::move(FChanges);
    FChanges.clear();
    const TChangeTurn turn(FFileName);
    TIniText text = LoadText(FFileName, true);
    bool changed = false;
    for (const TChange& c : changes)
        changed = Apply(text, c) || changed;
    if (changed)
        SaveText(FFileName, text);
}

void TIniFile::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        UpdateFile();
}

void TIniFile::RemoveStaleTemporary() const
{
    RemoveStaleReplacement(FFileName);
}

// ---- reads ------------------------------------------------------------------------

String TIniFile::ReadString(const String& Section, const String& Ident, const String& Default) const
{
    const TIniText text = Load();
    String value;
    const TSectionSpan span = FindSection(text, text.FromAnsi(Trim(Section)));
    if (FindKey(text, span, text.FromAnsi(Trim(Ident)), &value) == String::npos)
        return Default;
    return text.ToAnsi(Unquoted(value));
}

String TIniFile::ReadBoundedString(const String& Section, const String& Ident, const String& Default,
                                   std::size_t MaxBytes) const
{
    const String value = ReadString(Section, Ident, Default);
    return value.size() > MaxBytes ? Default : value;
}

void TIniFile::WriteString(const String& Section, const String& Ident, const String& Value)
{
    Change({TChangeKind::Write, Section, Ident, Value});
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
    const TIniText text = Load();
    const TSectionSpan span = FindSection(text, text.FromAnsi(Trim(Section)));
    TStringList names;
    for (std::size_t i = span.Header + 1; span.Found() && i < span.End; ++i) {
        String name;
        String value;
        if (ParseKey(text.Lines[i], name, value))
            names.Add(text.ToAnsi(name));
    }
    Strings->Assign(&names);
}

void TIniFile::ReadSections(TStrings* Strings) const
{
    const TIniText text = Load();
    TStringList names;
    for (const String& line : text.Lines) {
        String name;
        if (ParseSection(line, name) && !name.empty()) {
            name = text.ToAnsi(name);
            if (names.IndexOf(name) < 0)
                names.Add(name);
        }
    }
    Strings->Assign(&names);
}

void TIniFile::ReadSectionValues(const String& Section, TStrings* Strings) const
{
    const TIniText text = Load();
    const TSectionSpan span = FindSection(text, text.FromAnsi(Trim(Section)));
    TStringList values;
    for (std::size_t i = span.Header + 1; span.Found() && i < span.End; ++i) {
        String name;
        String value;
        if (ParseKey(text.Lines[i], name, value))
            values.Add(text.ToAnsi(name + "=" + value));
    }
    Strings->Assign(&values);
}

bool TIniFile::SectionExists(const String& Section) const
{
    const TIniText text = Load();
    return FindSection(text, text.FromAnsi(Trim(Section))).Found();
}

bool TIniFile::ValueExists(const String& Section, const String& Ident) const
{
    const TIniText text = Load();
    return FindKey(text, FindSection(text, text.FromAnsi(Trim(Section))), text.FromAnsi(Trim(Ident))) != String::npos;
}

void TIniFile::EraseSection(const String& Section)
{
    Change({TChangeKind::EraseSection, Section, String(), String()});
}

void TIniFile::DeleteKey(const String& Section, const String& Ident)
{
    Change({TChangeKind::DeleteKey, Section, Ident, String()});
}
