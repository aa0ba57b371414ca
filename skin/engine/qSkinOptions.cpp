#include "skin/engine/qSkinOptions.h"

#include <charconv>
#include <climits>

#include "framework/StrUtils.h"
#include "framework/StringList.h"
#include "skin/engine/qStoredSkins.h"
#include "skin/engine/qUtils.h"
#include "skin/engine/zqSkinPack.h"

namespace {

const char* const GlobalInfo = "GLOBALINFO";
const char* const MasterBitmapKey = "MASTERBITMAP";
// A JPEG picture of at least this many pixels is a pattern, a smaller one a texture.
constexpr Int64 PatternPixels = 90000;

std::int16_t Short(Integer Value)
{
    return static_cast<std::int16_t>(std::clamp<Integer>(Value, SHRT_MIN, SHRT_MAX));
}

bool Contains(const String& S, const char* Part) { return S.find(Part) != String::npos; }

bool IsJpegName(const String& UpperValue) { return Contains(UpperValue, ".JPG") || Contains(UpperValue, ".JPEG"); }

// Characters Start (1-based) to Start + Length - 1 of S, as many as there are.
String Columns(const String& S, std::size_t Start, std::size_t Length)
{
    return Start - 1 < S.size() ? S.substr(Start - 1, Length) : String();
}

Integer StrictColumns(const String& S, std::size_t Start, std::size_t Length)
{
    return StrictInt(Columns(S, Start, Length));
}

// A picture file's path: relative to the skin folder unless it holds ":".
String PicturePath(const TqSkinSource& Source, const String& Name)
{
    return Contains(Name, ":") ? Name : Source.SkinPath + Name;
}

bool ReadFileBytes(const String& FileName, String& Bytes)
{
    if (!FileExists(FileName))
        return false;
    TMemoryStream stream;
    stream.LoadFromFile(FileName);
    Bytes.assign(static_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size()));
    return true;
}

std::unique_ptr<TBitmap> BitmapOf(const String& Bytes)
{
    auto bmp = std::make_unique<TBitmap>();
    DecodeBmp(reinterpret_cast<const Byte*>(Bytes.data()), Bytes.size(), *bmp);
    return bmp;
}

// WL, WT, WR and WB when none is given: BorderWidth, else a third of one frame.
void CompleteBorders(TqMaskData& M)
{
    if (M.WL + M.WT + M.WR + M.WB != 0)
        return;
    if (M.BorderWidth != 0) {
        M.WL = M.WT = M.WR = M.WB = M.BorderWidth;
        return;
    }
    M.WL = M.WR = Short(RectWidth(M.R) / (std::max<int>(M.ImageCount, 1) * 3));
    M.WT = M.WB = Short(RectHeight(M.R) / ((std::max<int>(M.MaskType, 0) + 1) * 3));
}

TqMaskData NewEntry(const TqSkinSource& Source, const String& Section, const String& Key)
{
    TqMaskData m;
    m.ClassName = Section;
    m.PropertyName = Key;
    m.Manager = Source.Manager;
    return m;
}

TRect FixedRect(const String& V)
{
    return Rect(StrictColumns(V, 2, 4), StrictColumns(V, 7, 4), StrictColumns(V, 12, 4), StrictColumns(V, 17, 4));
}

// "#" entries: word 2 the rectangle, word 3 ImageCount, MaskType and
// optionally BorderWidth and StretchMode.
TqMaskData HashEntry(const TqSkinSource& Source, const String& Section, const String& Key, const String& V)
{
    TqMaskData m = NewEntry(Source, UpperCase(Section), UpperCase(Key));
    const String rect = WordAt(2, V, " ()");
    const String counts = WordAt(3, V, " ()");
    m.R = Rect(StrictInt(WordAt(1, rect, " ,")), StrictInt(WordAt(2, rect, " ,")), StrictInt(WordAt(3, rect, " ,")),
               StrictInt(WordAt(4, rect, " ,")));
    m.ImageCount = Short(std::max(StrictInt(WordAt(1, counts, " ,")), 1));
    m.MaskType = Short(std::max(StrictInt(WordAt(2, counts, " ,")), 0));
    const String border = WordAt(3, counts, " ,");
    m.BorderWidth = border.empty() ? 0 : Short(std::max(StrictInt(border), 0));
    const String stretch = WordAt(4, counts, " ,");
    if (m.PropertyName == "PATTERN" || m.PropertyName == "HOTPATTERN") {
        m.ImgType = itisaTexture;
        m.StretchMode = 0;
    } else {
        m.ImgType = itisaBorder;
        m.StretchMode = stretch.empty() ? 1 : Short(StrictInt(stretch));
    }
    CompleteBorders(m);
    return m;
}

// One value of the options: appends the image entry it describes, if any.
void ReadImageEntry(const TqSkinSource& Source, TqSkinModel& Model, const String& Section, const String& Key,
                    const String& V)
{
    String bytes;
    switch (V[0]) {
    case '~': {
        TqMaskData m = NewEntry(Source, Section, Key);
        m.R = FixedRect(V);
        m.StretchMode = Short(StrictColumns(V, 22, 2));
        m.MaskType = V.size() <= 24 ? 0 : Short(StrictColumns(V, 25, 1));
        m.ImgType = itisaTexture;
        m.ImageCount = 1;
        Model.Masks.push_back(std::move(m));
        return;
    }
    case '@': {
        TqMaskData m = NewEntry(Source, Section, Key);
        m.R = FixedRect(V);
        m.ImageCount = Short(StrictColumns(V, 22, 1));
        m.MaskType = Short(StrictColumns(V, 24, 1));
        m.ImgType = itisaGlyph;
        Model.Masks.push_back(std::move(m));
        return;
    }
    case '^': {
        TqMaskData m = NewEntry(Source, Section, Key);
        m.R = FixedRect(V);
        m.WL = Short(StrictColumns(V, 22, 4));
        m.WT = Short(StrictColumns(V, 27, 4));
        m.WR = Short(StrictColumns(V, 32, 4));
        m.WB = Short(StrictColumns(V, 37, 4));
        m.ImageCount = Short(StrictColumns(V, 42, 1));
        m.MaskType = Short(StrictColumns(V, 44, 1));
        m.StretchMode = Short(StrictColumns(V, 46, 1));
        m.BorderWidth = Short(StrictColumns(V, 48, 1));
        m.ImgType = itisaBorder;
        CompleteBorders(m);
        Model.Masks.push_back(std::move(m));
        return;
    }
    case '!': {
        const String name = WordAt(1, V, "!");
        if (!Contains(name, ".BMP"))
            return;
        TqMaskData m = NewEntry(Source, Section, Key);
        m.ImageCount = Short(StrictInt(WordAt(2, V, "!")));
        m.MaskType = Short(StrictInt(WordAt(3, V, "!")));
        m.ImgType = ImgTypeFromInt(StrictInt(WordAt(4, V, "!")));
        const bool widths = WordCount(V, "!") > 4;
        if (widths) {
            m.WL = Short(StrictInt(WordAt(5, V, "!")));
            m.WT = Short(StrictInt(WordAt(6, V, "!")));
            m.WR = Short(StrictInt(WordAt(7, V, "!")));
            m.WB = Short(StrictInt(WordAt(8, V, "!")));
        }
        if (!FindSkinPicture(Source, name, bytes))
            return;
        m.Bmp = BitmapOf(bytes);
        if (m.Bmp->Width() == 0)
            return;
        m.R = Rect(0, 0, m.Bmp->Width(), m.Bmp->Height());
        if (!widths) {
            m.WL = m.WR = Short(RectWidth(m.R) / (std::max<int>(m.ImageCount, 1) * 3));
            m.WT = m.WB = Short(RectHeight(m.R) / ((std::max<int>(m.MaskType, 0) + 1) * 3));
        }
        Model.Masks.push_back(std::move(m));
        return;
    }
    default:
        break;
    }
    if (Contains(V, "#")) {
        if (V != "#")
            Model.Masks.push_back(HashEntry(Source, Section, Key, V));
        return;
    }
    const String upper = UpperCase(V);
    if (!Contains(upper, ".BMP") || !FindSkinPicture(Source, upper, bytes))
        return;
    TqMaskData m = NewEntry(Source, UpperCase(Section), UpperCase(Key));
    m.Bmp = BitmapOf(bytes);
    if (m.Bmp->Width() == 0)
        return;
    m.ImgType = itisaBorder;
    m.ImageCount = 3;
    m.MaskType = 1;
    m.R = Rect(0, 0, m.Bmp->Width(), m.Bmp->Height());
    m.WL = m.WR = Short(m.Bmp->Width() / 9);
    m.WT = m.WB = Short(m.Bmp->Height() / 6);
    Model.Masks.push_back(std::move(m));
}

// The master bitmap is always 24 bits, with $FF00FF as its transparent colour.
void MakeMasterTransparent(TBitmap& Bmp)
{
    Bmp.SetPixelFormat(TPixelFormat::pf24bit);
    Bmp.SetTransparentColor(clFuchsia);
    Bmp.SetTransparent(true);
}

void ReadMasterBitmap(const TqSkinSource& Source, TqSkinModel& Model)
{
    Model.MasterBitmap = std::make_unique<TBitmap>();
    const String name = Source.Options->ReadString(GlobalInfo, MasterBitmapKey, String());
    String bytes;
    if (!name.empty() && FindSkinPicture(Source, name, bytes))
        Model.MasterBitmap = BitmapOf(bytes);
    MakeMasterTransparent(*Model.MasterBitmap);
}

// The CommonSections text as INI, or nullptr when it has no lines.
std::unique_ptr<TMemIniFile> CommonIni(const TqSkinSource& Source)
{
    if (Source.CommonSections == nullptr || Source.CommonSections->Count() == 0)
        return nullptr;
    auto ini = std::make_unique<TMemIniFile>();
    ini->SetStrings(Source.CommonSections);
    return ini;
}

void ReadCommonMasks(const TqSkinSource& Source, TqSkinModel& Model)
{
    const auto common = CommonIni(Source);
    if (!common)
        return;
    for (const String& section : common->SectionNames()) {
        if (UpperCase(section) == GlobalInfo)
            continue;
        for (const String& key : common->KeyNames(section)) {
            const String v = common->ReadString(section, key, "-");
            if (Contains(v, "#") && v != "#") {
                if (!Model.MasterBitmap->Empty())
                    Model.Masks.push_back(HashEntry(Source, section, key, v));
                continue;
            }
            String bytes;
            if (!Contains(UpperCase(v), ".BMP") || !ReadFileBytes(PicturePath(Source, v), bytes))
                continue;
            TqMaskData m = NewEntry(Source, UpperCase(section), UpperCase(key));
            m.Bmp = BitmapOf(bytes);
            if (m.Bmp->Width() > 0)
                Model.Masks.push_back(std::move(m));
        }
    }
}

// A JPEG picture as a pattern (large, or Always) or a texture entry (small).
void AddJpeg(const TqSkinSource& Source, TqSkinModel& Model, const String& Section, const String& Key,
             const String& Bytes, bool Always)
{
    auto img = std::make_unique<TJPEGImage>();
    img->LoadFromBytes(Bytes);
    if (img->Width() == 0)
        return;
    if (Always || Int64(img->Width()) * img->Height() >= PatternPixels) {
        Model.Patterns.push_back(TqPatternData{std::move(img), UpperCase(Section), UpperCase(Key)});
        return;
    }
    TqMaskData m = NewEntry(Source, UpperCase(Section), UpperCase(Key));
    m.Bmp = std::make_unique<TBitmap>();
    m.Bmp->Assign(&img->Bitmap());
    m.R = Rect(0, 0, m.Bmp->Width(), m.Bmp->Height());
    m.ImgType = itisaTexture;
    m.ImageCount = 1;
    Model.Masks.push_back(std::move(m));
}


// The stored skin's image items as mask entries.
void ReadStoredMasks(const TqSkinSource& Source, const TqStoredSkin& Stored, TqSkinModel& Model)
{
    Model.MasterBitmap->Assign(&Stored.MasterBitmap);
    MakeMasterTransparent(*Model.MasterBitmap);
    for (int i = 0; i < Stored.Images.Count(); ++i) {
        const TqSkinImage& item = *Stored.Images.Items(i);
        TqMaskData m = NewEntry(Source, UpperCase(item.SectionName), UpperCase(item.PropertyName));
        if (!item.Name.empty() && !item.Image.Empty()) {
            m.Bmp = std::make_unique<TBitmap>();
            m.Bmp->Assign(&item.Image);
            m.Bmp->SetPixelFormat(TPixelFormat::pf24bit);
            m.R = Rect(0, 0, m.Bmp->Width(), m.Bmp->Height());
        } else {
            m.R = Rect(item.Left, item.Top, item.Right, item.Bottom);
        }
        m.ImageCount = Short(item.ImageCount);
        m.MaskType = Short(item.MaskType);
        if (m.ImageCount == 0) {
            m.ImageCount = 3;
            m.MaskType = 1;
        }
        m.BorderWidth = Short(item.BorderWidth);
        if (m.PropertyName == "PATTERN" || m.PropertyName == "HOTPATTERN") {
            m.StretchMode = item.ImgType == itisaTexture ? Short(item.StretchMode) : 0;
            m.ImgType = itisaTexture;
        } else {
            m.StretchMode = Short(item.StretchMode);
            m.ImgType = item.ImgType;
        }
        m.WL = Short(item.WL);
        m.WT = Short(item.WT);
        m.WR = Short(item.WR);
        m.WB = Short(item.WB);
        CompleteBorders(m);
        Model.Masks.push_back(std::move(m));
    }
}

// The stored skin's patterns: each item's picture, or that of the first
// other item of its Name that has one.
void ReadStoredPatterns(const TqStoredSkin& Stored, TqSkinModel& Model)
{
    for (int i = 0; i < Stored.Patterns.Count(); ++i) {
        const TqSkinPattern& item = *Stored.Patterns.Items(i);
        const TJPEGImage* picture = &item.Image;
        for (int j = 0; picture->Empty() && j < Stored.Patterns.Count(); ++j) {
            const TqSkinPattern& other = *Stored.Patterns.Items(j);
            if (j != i && other.Name == item.Name && !other.Image.Empty())
                picture = &other.Image;
        }
        auto img = std::make_unique<TJPEGImage>();
        img->Assign(picture);
        Model.Patterns.push_back(TqPatternData{std::move(img), UpperCase(item.SectionName), UpperCase(item.PropertyName)});
    }
}

}   // namespace

bool FindSkinPicture(const TqSkinSource& Source, const String& Name, String& Bytes)
{
    if (Source.Packed != nullptr) {
        const TzqImageItem* item = Source.Packed->FindItem(Name);
        if (item == nullptr)
            return false;
        Bytes.assign(static_cast<const char*>(item->Data->Memory()), static_cast<std::size_t>(item->Data->Size()));
        return true;
    }
    return ReadFileBytes(PicturePath(Source, Name), Bytes);
}

void ReadSkinMasks(const TqSkinSource& Source, TqSkinModel& Model)
{
    Model.Masks.clear();
    Model.MasterBitmap = std::make_unique<TBitmap>();
    if (Source.Options == nullptr) {
        if (Source.Stored == nullptr)
            return;
        ReadStoredMasks(Source, *Source.Stored, Model);
        ReadCommonMasks(Source, Model);
        return;
    }
    ReadMasterBitmap(Source, Model);
    const TMemIniFile& ini = *Source.Options;
    for (const String& section : ini.SectionNames())
        for (const String& key : ini.KeyNames(section)) {
            if (UpperCase(section) == GlobalInfo && UpperCase(key) == MasterBitmapKey)
                continue;
            const String v = ini.ReadString(section, key, String());
            if (!v.empty())
                ReadImageEntry(Source, Model, section, key, v);
        }
    ReadCommonMasks(Source, Model);
}

void ReadSkinPatterns(const TqSkinSource& Source, TqSkinModel& Model)
{
    Model.Patterns.clear();
    if (Source.Options != nullptr) {
        const TMemIniFile& ini = *Source.Options;
        for (const String& section : ini.SectionNames())
            for (const String& key : ini.KeyNames(section)) {
                const String v = UpperCase(ini.ReadString(section, key, "-"));
                String bytes;
                if (IsJpegName(v) && FindSkinPicture(Source, v, bytes))
                    AddJpeg(Source, Model, section, key, bytes, false);
            }
    } else if (Source.Stored != nullptr) {
        ReadStoredPatterns(*Source.Stored, Model);
    } else {
        return;
    }
    const auto common = CommonIni(Source);
    if (!common)
        return;
    for (const String& section : common->SectionNames())
        for (const String& key : common->KeyNames(section)) {
            const String v = UpperCase(common->ReadString(section, key, "-"));
            String bytes;
            if (IsJpegName(v) && ReadFileBytes(PicturePath(Source, v), bytes))
                AddJpeg(Source, Model, section, key, bytes, true);
        }
}

void ReadSkin(const TqSkinSource& Source, TqSkinModel& Model)
{
    ReadSkinMasks(Source, Model);
    ReadSkinPatterns(Source, Model);
    ReadSkinSections(Source, Model);
}

namespace {

// Section keys read into integer fields, with their defaults.
struct TIntKey {
    const char* Key;
    Integer TqGeneralData::*Field;
    Integer Default;
};
const TIntKey IntKeys[] = {
    {"SHADOWBLUR", &TqGeneralData::ShadowBlur, 6},
    {"SHADOWOFFSET", &TqGeneralData::ShadowOffset, 3},
    {"SHADOWTRANSPARENCY", &TqGeneralData::ShadowTransparency, 50},
    {"FONTCOLOR", &TqGeneralData::FontColor, 0},
    {"TCLEFT", &TqGeneralData::TCLeft, -1},
    {"TCTOP", &TqGeneralData::TCTop, -1},
    {"TCRIGHT", &TqGeneralData::TCRight, -1},
    {"TCBOTTOM", &TqGeneralData::TCBottom, -1},
    {"HOTFONTCOLOR", &TqGeneralData::HotFontColor, 0},
    {"HOTTCLEFT", &TqGeneralData::HotTCLeft, -1},
    {"HOTTCTOP", &TqGeneralData::HotTCTop, -1},
    {"HOTTCRIGHT", &TqGeneralData::HotTCRight, -1},
    {"HOTTCBOTTOM", &TqGeneralData::HotTCBottom, -1},
    {"TRANSPARENCY", &TqGeneralData::Transparency, 0},
    {"GRADIENTPERCENT", &TqGeneralData::GradientPercent, 0},
    {"IMAGEPERCENT", &TqGeneralData::ImagePercent, 0},
    {"FADINGINTERVALIN", &TqGeneralData::FadingIntervalIn, 5},
    {"FADINGINTERVALOUT", &TqGeneralData::FadingIntervalOut, 5},
    {"FADINGITERATIONS", &TqGeneralData::FadingIterations, 5},
    {"HOTCOLOR", &TqGeneralData::HotColor, 0xFFFFFF},
    {"HOTTRANSPARENCY", &TqGeneralData::HotTransparency, 0},
    {"HOTGRADIENTPERCENT", &TqGeneralData::HotGradientPercent, 0},
    {"HOTIMAGEPERCENT", &TqGeneralData::HotImagePercent, 0},
    {"BORDERCOLOR1", &TqGeneralData::BorderColor1, 0},
    {"BORDERCOLOR2", &TqGeneralData::BorderColor2, 0},
};

struct TBevelKey {
    const char* Key;
    TqControlBevel TqGeneralData::*Field;
};
const TBevelKey BevelKeys[] = {{"BEVEL", &TqGeneralData::Bevel}, {"HOTBEVEL", &TqGeneralData::HotBevel}};

struct TFlagKey {
    const char* Key;
    bool TqGeneralData::*Field;
};
const TFlagKey FlagKeys[] = {
    {"SHADOWENABLED", &TqGeneralData::ShadowEnabled},
    {"RESERVEDBOOLEAN", &TqGeneralData::ReservedBoolean},
    {"SHOWFOCUS", &TqGeneralData::ShowFocus},
    {"FADINGENABLED", &TqGeneralData::FadingEnabled},
};

struct TGradientKey {
    const char* Key;
    String TqGeneralData::*Text;
    TqGradArray TqGeneralData::*Bands;
    const char* Default;
};
const TGradientKey GradientKeys[] = {
    {"GRADIENTDATA", &TqGeneralData::GradientData, &TqGeneralData::GradientArray, " "},
    {"HOTGRADIENTDATA", &TqGeneralData::HotGradientData, &TqGeneralData::HotGradientArray, ""},
};

void SetGradient(TqGeneralData& S, const TGradientKey& K, const String& Text)
{
    S.*K.Text = Text;
    if (Text != " ")
        ParseGradientData(Text, S.*K.Bands);
    else
        (S.*K.Bands).clear();
}

// Values of an options section, taken from its PARENTCLASS chain when the
// section does not define them (integers: -1 means "not here", strings "?").
// The chain ends at a section naming itself (in any case) and at a section
// already visited.
class TInheritedReader {
public:
    TInheritedReader(const TMemIniFile& Ini, const String& Section) : FIni(Ini)
    {
        String section = Section;
        for (;;) {
            FChain.push_back(section);
            const String parent = FIni.ReadString(section, "PARENTCLASS", "?");
            if (parent.empty() || parent == "?")
                return;
            for (const String& seen : FChain)
                if (SameText(seen, parent))
                    return;
            section = parent;
        }
    }

    Integer Int(const String& Key, Integer Default) const
    {
        for (const String& section : FChain) {
            const Integer v = FIni.ReadInteger(section, Key, -1);
            if (v != -1)
                return v;
        }
        return Default;
    }

    String Str(const String& Key, const String& Default) const
    {
        for (const String& section : FChain) {
            const String v = FIni.ReadString(section, Key, "?");
            if (v != "?")
                return v;
        }
        return Default;
    }

private:
    const TMemIniFile& FIni;
    std::vector<String> FChain;   // the section, then its parents in order
};

double ReadVersion(const String& Text)
{
    // "." is the decimal separator whatever the user's locale says.
    double value = 0;
    const auto result = std::from_chars(Text.data(), Text.data() + Text.size(), value);
    return result.ec == std::errc() && result.ptr == Text.data() + Text.size() ? value : 0;
}

void ReadHeader(const TMemIniFile& Ini, TqSkinData& Header)
{
    Header.Version = ReadVersion(Ini.ReadString(GlobalInfo, "VERSION", "0"));
    Header.Author = Ini.ReadString(GlobalInfo, "AUTHOR", String());
    Header.Description = Ini.ReadString(GlobalInfo, "DESCRIPTION", String());
    Header.Shadow1Color = LenientInt(Ini.ReadString(GlobalInfo, "SHADOW1COLOR", "0"), 0);
    Header.Shadow1Offset = StrictInt(Ini.ReadString(GlobalInfo, "SHADOW1OFFSET", "0"));
    Header.Shadow1Blur = StrictInt(Ini.ReadString(GlobalInfo, "SHADOW1BLUR", "-1"));
    Header.Shadow1Transparency = StrictInt(Ini.ReadString(GlobalInfo, "SHADOW1TRANSPARENCY", "0"));
    Header.BISpace = LenientInt(Ini.ReadString(GlobalInfo, "BISPACE", "0"), 0);
    Header.BorderColor = LenientInt(Ini.ReadString(GlobalInfo, "BORDERCOLOR", "0"), 0);
}

TqGeneralData ReadSection(const TMemIniFile& Ini, const String& Name)
{
    const TInheritedReader read(Ini, Name);
    TqGeneralData s;
    s.ClassName = Name;
    s.ParentClass = Ini.ReadString(Name, "PARENTCLASS", String());
    s.Color = static_cast<TColor>(ColorToRGB(read.Int("COLOR", 0xFFFFFF)));
    for (const TIntKey& k : IntKeys)
        s.*k.Field = read.Int(k.Key, k.Default);
    for (const TBevelKey& k : BevelKeys)
        s.*k.Field = BevelFromInt(read.Int(k.Key, 0));
    for (const TFlagKey& k : FlagKeys)
        s.*k.Field = UpperCase(read.Str(k.Key, "FALSE")) == "TRUE";
    for (const TGradientKey& k : GradientKeys)
        SetGradient(s, k, read.Str(k.Key, k.Default));
    s.ShadowColor = LenientInt(Ini.ReadString(Name, "SHADOWCOLOR", "0"), 0);
    return s;
}

// A section that only CommonSections supplies: its values, else its
// parent's (a section loaded so far), else the defaults.
TqGeneralData ReadCommonSection(const TIniSections& Common, const String& Name, const TqGeneralDataArray& Loaded)
{
    TqGeneralData s;
    s.ClassName = Name;
    s.ParentClass = UpperCase(ReadSectionListString(Common, Name, "PARENTCLASS", "-1"));
    const TqGeneralData* parent = nullptr;
    for (const TqGeneralData& loaded : Loaded)
        if (UpperCase(loaded.ClassName) == s.ParentClass) {
            parent = &loaded;
            break;
        }
    const auto intValue = [&](const char* Key, Integer TqGeneralData::*Field, Integer Default) {
        const Integer v = ReadSectionListInteger(Common, Name, Key, -1);
        s.*Field = v != -1 ? v : parent != nullptr ? parent->*Field : Default;
    };
    const auto strValue = [&](const char* Key, const String& ParentValue, const String& Default) {
        const String v = ReadSectionListString(Common, Name, Key, "?");
        return v != "?" ? v : parent != nullptr ? ParentValue : Default;
    };
    intValue("COLOR", &TqGeneralData::Color, 0xFFFFFF);
    intValue("SHADOWCOLOR", &TqGeneralData::ShadowColor, 0);
    for (const TIntKey& k : IntKeys)
        intValue(k.Key, k.Field, k.Default);
    for (const TBevelKey& k : BevelKeys) {
        const Integer v = ReadSectionListInteger(Common, Name, k.Key, -1);
        s.*k.Field = v != -1 ? BevelFromInt(v) : parent != nullptr ? parent->*k.Field : cbNone;
    }
    for (const TFlagKey& k : FlagKeys) {
        const String v = ReadSectionListString(Common, Name, k.Key, "?");
        s.*k.Field = v != "?" ? UpperCase(v) == "TRUE" : parent != nullptr && parent->*k.Field;
    }
    for (const TGradientKey& k : GradientKeys)
        SetGradient(s, k, strValue(k.Key, parent != nullptr ? parent->*k.Text : String(), k.Default));
    return s;
}

// A colour and its four contour colours from five blank-separated words;
// anything else gives colour 0 and no contours.
void ReadColorWords(const String& Text, TColor& Color, TColor& L, TColor& T, TColor& R, TColor& B)
{
    Color = 0;
    L = T = R = B = -1;
    if (WordCount(Text, " ") != 5)
        return;
    TColor values[5];
    for (int i = 0; i < 5; ++i)
        values[i] = StrToInt(WordAt(i + 1, Text, " "));
    Color = values[0];
    L = values[1];
    T = values[2];
    R = values[3];
    B = values[4];
}

void ReadStoredSection(const TqSkinGeneral& Item, TqGeneralData& S)
{
    S.ClassName = Item.SectionName;
    S.ParentClass = Item.ParentClass;
    S.Color = Item.Color;
    S.Bevel = BevelFromInt(Item.Bevel);
    S.ShadowBlur = Item.ShadowBlur;
    S.ShadowOffset = Item.ShadowOffset;
    S.ShadowColor = Item.ShadowColor;
    S.ShadowTransparency = Item.ShadowTransparency;
    S.ShadowEnabled = Item.ShadowEnabled;
    S.ReservedBoolean = Item.ReservedBoolean;
    S.Transparency = Item.Transparency;
    S.GradientPercent = Item.GradientPercent;
    S.ImagePercent = Item.ImagePercent;
    S.ShowFocus = Item.ShowFocus;
    S.FadingEnabled = Item.FadingEnabled;
    S.FadingIntervalIn = Item.FadingIntervalIn;
    S.FadingIntervalOut = Item.FadingIntervalOut;
    S.FadingIterations = Item.FadingIterations;
    S.HotColor = Item.HotColor;
    S.HotTransparency = Item.HotTransparency;
    S.HotBevel = BevelFromInt(Item.HotBevel);
    S.HotGradientPercent = Item.HotGradientPercent;
    S.HotImagePercent = Item.HotImagePercent;
    S.BorderColor1 = Item.BorderColor1;
    S.BorderColor2 = Item.BorderColor2;
    ReadColorWords(Item.FontColor, S.FontColor, S.TCLeft, S.TCTop, S.TCRight, S.TCBottom);
    ReadColorWords(Item.HotFontColor, S.HotFontColor, S.HotTCLeft, S.HotTCTop, S.HotTCRight, S.HotTCBottom);
    S.GradientData = Item.GradientData;
    ParseGradientData(Item.GradientData, S.GradientArray);
    S.HotGradientData = Item.HotGradientData;
    ParseGradientData(Item.HotGradientData, S.HotGradientArray);
}

// The stored skin's header values and sections; a section whose values
// cannot be read keeps what was read of it, and the next one is read.
void ReadStoredSections(const TqStoredSkin& Stored, TqSkinModel& Model)
{
    Model.Header.Version = Stored.Version;
    Model.Header.Author = Stored.Author;
    Model.Header.Description = Stored.Description;
    Model.Header.Shadow1Color = Stored.Shadow1Color;
    Model.Header.Shadow1Offset = Stored.Shadow1Offset;
    Model.Header.Shadow1Blur = Stored.Shadow1Blur;
    Model.Header.Shadow1Transparency = Stored.Shadow1Transparency;
    Model.Header.BorderColor = Stored.BorderColor;
    for (int i = 0; i < Stored.GeneralData.Count(); ++i) {
        Model.Sections.emplace_back();
        try {
            ReadStoredSection(*Stored.GeneralData.Items(i), Model.Sections.back());
        } catch (const EConvertError&) {
        }
    }
}

void ReadCommonSections(const TqSkinSource& Source, TqSkinModel& Model)
{
    if (Source.CommonSections == nullptr || Source.CommonSections->Count() == 0)
        return;
    TIniSections common;
    SplitIniSections(Source.CommonSections, common);
    for (const TIniSection& section : common)
        if (Model.FindSectionIndex(section.Name) < 0)
            Model.Sections.push_back(ReadCommonSection(common, section.Name, Model.Sections));
}

}   // namespace

void ReadSkinSections(const TqSkinSource& Source, TqSkinModel& Model)
{
    Model.Sections.clear();
    if (Source.Options != nullptr) {
        ReadHeader(*Source.Options, Model.Header);
        for (const String& name : Source.Options->SectionNames())
            Model.Sections.push_back(ReadSection(*Source.Options, name));
    } else if (Source.Stored != nullptr) {
        ReadStoredSections(*Source.Stored, Model);
    } else {
        return;
    }
    ReadCommonSections(Source, Model);
}
