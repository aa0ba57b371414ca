// The mini-HTML renderer. Each line of the text runs through two passes: a
// measuring pass that finds how much of the text fits on the line and how
// wide and high it is, and a drawing pass over exactly that part, placed by
// the paragraph alignment, which paints and tests the point. Each pass keeps
// its own copy of the state that flows from line to line (fonts, anchor and
// list counters, flags), so the drawing pass starts every line from the same
// state the measuring pass started it from.

#include "grid/core/HtmlRender.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/Codepage.h"
#include "framework/ImageList.h"
#include "grid/core/GridDrawing.h"
#include "grid/core/HtmlFormControls.h"
#include "grid/core/PictureContainer.h"
#include "visuals/ProXPVS.h"

bool IsWinXPOrLater = false;

void CheckWinXP()
{
    OSVERSIONINFOW Info{};
    Info.dwOSVersionInfoSize = sizeof Info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (GetVersionExW(&Info))
#pragma GCC diagnostic pop
        IsWinXPOrLater = Info.dwMajorVersion > 5 || (Info.dwMajorVersion == 5 && Info.dwMinorVersion >= 1);
}

namespace {

// Set once when the program starts.
const bool WinXPChecked = (CheckWinXP(), true);

// ---------------------------------------------------------------------------
// Colours and entities

// The text of a character in the system code page, or its byte in the
// Western code page when the system code page has no such character.
String EntityText(wchar_t Unit, char Western)
{
    const String S = WideToStr(WideString(1, Unit));
    if (!S.empty() && StrToWide(S) == WideString(1, Unit))
        return S;
    return String(1, Western);
}

struct TEntity {
    const char* Name;
    String Text;
};

const std::vector<TEntity>& Entities()
{
    static const std::vector<TEntity> List = {
        {"&amp;", "&"},
        {"&quot;", "\""},
        {"&sect;", EntityText(0x00A7, '\xA7')},
        {"&permil;", EntityText(0x2030, '\x89')},
        {"&reg;", EntityText(0x00AE, '\xAE')},
        {"&copy;", EntityText(0x00A9, '\xA9')},
        {"&para;", EntityText(0x00B6, '\xB6')},
        {"&trade;", EntityText(0x2122, '\x99')},
        {"&euro;", EntityText(0x20AC, '\x80')},
    };
    return List;
}

// The entities a word decodes when it is drawn (after the tags were read,
// so that "&lt;B&gt;" shows as text and never becomes a tag).
bool StartsWordEntity(const String& S)
{
    for (const char* Name : {"&nbsp;", "&lt;", "&gt;", "&amp;", "&quot;"})
        if (S.rfind(Name, 0) == 0)
            return true;
    return false;
}

// One pass from left to right over the text, each entity decoded once:
// "&amp;amp;" is the text "&amp;". An "&amp;" whose "&" would start one of
// the entities a word decodes later stays "&amp;" for the word to decode,
// so that "&amp;lt;" shows "&lt;" and not "<".
String ReplaceEntities(const String& S)
{
    if (S.find('&') == String::npos)
        return S;
    String R;
    R.reserve(S.size());
    for (std::size_t I = 0; I < S.size();) {
        const TEntity* Found = nullptr;
        if (S[I] == '&')
            for (const TEntity& E : Entities()) {
                const std::size_t N = std::char_traits<char>::length(E.Name);
                if (I + N <= S.size() && HtmlLower(S.substr(I, N)) == E.Name) {
                    Found = &E;
                    break;
                }
            }
        if (!Found) {
            R.push_back(S[I++]);
            continue;
        }
        const std::size_t N = std::char_traits<char>::length(Found->Name);
        if (Found->Text == "&" && StartsWordEntity("&" + S.substr(I + N, 6)))
            R += "&amp;";
        else
            R += Found->Text;
        I += N;
    }
    return R;
}

// A colour attribute: "#RRGGBB", or a colour name.
TColor ColorValue(const String& Value)
{
    if (!Value.empty() && Value[0] == '#')
        return HexToColor(HtmlUpper(Value));
    return ColorFromName(HtmlLower(Value));
}

int PixelsPerInch(TCanvas* Canvas)
{
    const int Ppi = GetDeviceCaps(Canvas->Handle(), LOGPIXELSX);
    return Ppi > 0 ? Ppi : 96;
}

// ---------------------------------------------------------------------------
// The layout

enum class TPass { Measure, Draw };

// What flows from one line to the next; one copy per pass.
struct TFlow {
    std::unique_ptr<TFont> Font = std::make_unique<TFont>();   // font at the start of the next line
    int AnchorNum = 0;
    int ListLevel = 0;
    int ImageNum = 0;
    bool InAnchor = false;
    String AnchorRef;
    bool Hidden = false;
    bool Shadow = false;
    bool ErrLine = false;
    bool ParaBg = false;
    TColor SavedBrush = clNone;
    TColor SavedFont = clBlack;
    int KeptAngle = 0;
};

// What one line of one pass reports.
struct TLineOut {
    int Width = 0;
    int Height = 0;
    bool AnchorHit = false;
    bool ImageHit = false;
    bool ControlHit = false;
};

class THtmlLayout {
public:
    THtmlLayout(TCanvas* Canvas, const TRect& Area, const THtmlDrawParams& P, THtmlDrawResult& Out)
        : C(Canvas), Area(Area), P(P), Out(Out)
    {
    }

    bool Run(const String& Source);

private:
    // Lays out Text from Begin up to End: measuring, one line, setting Used
    // to the end of what the line took and Next to where the next line
    // starts; drawing, the part Begin .. End that the measuring pass took.
    // The text is never copied or shortened, so a text costs its length.
    void Line(TPass Pass, const String& Text, std::size_t Begin, std::size_t End, std::size_t& Used,
              std::size_t& Next, const TRect& LineRect, TFlow& F, TLineOut& L);
    // One tag (the text "<...>"); false when the line is full and the tag
    // must stay in the text for the next line.
    bool Tag(const String& T, TFlow& F, TLineOut& L);
    bool OpenTag(const String& T, const String& Up, TFlow& F, TLineOut& L);
    void CloseTag(const String& Up, TFlow& F);
    void AnchorTag(const String& T, TFlow& F);
    void BodyTag(const String& T, TFlow& F);
    void FontTag(const String& T, TFlow& F);
    void ParagraphTag(const String& Up, TFlow& F);
    void RuleTag();
    void StyleOn(TFontStyle S, bool On);
    bool Image(const String& T, const String& Up, TFlow& F, TLineOut& L);
    bool Control(const String& T, TFlow& F, TLineOut& L);
    void Word(const String& Word, TFlow& F, TLineOut& L);
    void PaintWord(const String& Word, int Width, TFlow& F);
    void Bullet(int Level);
    void SetBrushColor(TColor Color);
    void FillBand(int Top, int Bottom);
    void FinishAnchorHit(TFlow& F);
    THTMLPicture* FindPicture(const String& Source);

    bool Painting() const { return Pass == TPass::Draw && !P.HitTestOnly; }
    int LineBottom() const { return LineTop + LineHeightTotal; }
    int DrawBottom() const { return LineBottom() - SubH; }

    TCanvas* C;
    TRect Area;
    const THtmlDrawParams& P;
    THtmlDrawResult& Out;
    TColor EntryBrush = clNone;
    TFont BaseFont;
    UINT TextFlags = 0;
    int Alignment = 0;   // 0 left, 1 right, 2 centre
    int Indent = 0;
    int HitImage = -1;   // image number found under the point (shows its ALT picture)
    bool Mirrored = false;   // lines drawn (or hit-tested) at their mirrored place
    int HitX = -1;           // P.HitX, as the line being drawn lays it out
    // The images inside links on the line being measured, by their number
    // and measured span, while the line is mirrored.
    struct TLinkImage {
        int Number;
        int Left;
        int Right;
    };
    std::vector<TLinkImage> LinkImages;

    // Per line.
    TPass Pass = TPass::Measure;
    TRect LineRect{};
    int LineTop = 0;
    int LineHeightTotal = 0;   // height + allowances (known when drawing)
    int X = 0;
    int H = 0;
    int GhHeight = 0;
    int SubH = 0;
    int SupH = 0;
    int ImgOffset = 0;
    bool Sub = false;
    bool Sup = false;
    bool LineBreak = false;
    bool LineFull = false;
    bool DropRest = false;      // an unwrapped line ran out of room: nothing after it is laid out
    bool LiOnLine = false;
    bool Placed = false;        // something taking space is on the line
    bool BlankBefore = true;    // the previous word ended with a blank (or there was none)
    int TrailingBlank = 0;
    bool PendingHit = false;
    int AnchorStartX = 0;
    int AnchorStartTop = 0;
    int AnchorStartLine = -1;
    int LineNumber = 0;
    bool FocusActive = false;
    int FocusStartX = 0;
    // Per pass: the position of the next '<' after the last word looked at
    // (the text's size when there is none).
    std::size_t NextTag[2] = {0, 0};
};

void THtmlLayout::SetBrushColor(TColor Color)
{
    C->Brush()->SetColor(Color);
    C->Brush()->SetStyle(Color == clNone ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
}

void THtmlLayout::FillBand(int Top, int Bottom)
{
    if (C->Brush()->Color() != clNone && Bottom > Top)
        C->FillRect(Rect(Area.left, Top, Area.right, Bottom));
}

bool THtmlLayout::Run(const String& Source)
{
    TPen* Pen = C->Pen();
    const TColor KeepPen = Pen->Color();
    const int KeepPenWidth = Pen->Width();
    const TColor KeepBrush = C->Brush()->Color();
    const TBrushStyle KeepBrushStyle = C->Brush()->Style();
    EntryBrush = KeepBrush;
    BaseFont.Assign(C->Font());
    TFlow M, D;
    M.Font->Assign(C->Font());
    D.Font->Assign(C->Font());
    M.SavedFont = D.SavedFont = C->Font()->Color();
    SetBrushColor(clNone);

    TextFlags = DT_SINGLELINE | DT_BOTTOM | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_NOPREFIX;
    if (!P.WordWrap)
        TextFlags |= DT_END_ELLIPSIS;

    Out.HitAnchorNumber = -1;
    Out.TextWidth = 0;
    Out.TextHeight = 0;
    Out.AnchorCount = 0;
    Out.ControlRect = TRect{};
    if (!P.HitTestOnly)
        Out.ControlID.clear();
    Out.PlainText.clear();

    const String Text = LineBreaksToBr(StripHashTags(ReplaceEntities(Source)));
    const DWORD Layout = !P.HitTestOnly && !P.MeasureOnly && C->HandleAllocated() ? GetLayout(C->Handle()) : 0;
    Mirrored = P.Mirrored || (Layout != GDI_ERROR && (Layout & LAYOUT_RTL) != 0);

    bool Result = false;
    int Top = Area.top;
    bool AnyLine = false;
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
        AnyLine = true;
        // Measuring pass.
        C->Font()->Assign(M.Font.get());
        SubH = SupH = ImgOffset = 0;
        Sub = Sup = false;
        const int BaseLine = C->TextHeight("gh");
        LineRect = Rect(Area.left + 1, Top, Area.right, Area.bottom);
        std::size_t Used = Pos;
        std::size_t Next = Pos;
        TLineOut LM;
        HitX = Mirrored ? -1 : P.HitX;
        LinkImages.clear();
        Line(TPass::Measure, Text, Pos, Text.size(), Used, Next, LineRect, M, LM);
        M.Font->Assign(C->Font());

        // Placement of the line.
        TRect Place = LineRect;
        if (Alignment == 1 && Place.right - LM.Width > Place.left)
            Place.left = Place.right - LM.Width;
        else if (Alignment == 2 && Place.right - Place.left > LM.Width)
            Place.left += (Place.right - Place.left - LM.Width) / 2;
        Place.left += Indent;
        const int Total = LM.Height + SubH + SupH;
        Place.bottom = Top + Total;
        if (Mirrored && P.HitX >= 0) {
            // The placed line shows pixel x at 2 * Place.left + LM.Width - 1
            // - x, and was measured from LineRect.left rather than Place.left.
            const int Measured = Place.left + LM.Width - 1 - P.HitX + LineRect.left;
            for (const TLinkImage& I : LinkImages)
                if (Measured >= I.Left && Measured < I.Right)
                    HitImage = I.Number;
        }

        if (!P.MeasureOnly) {
            C->Font()->Assign(D.Font.get());
            Sub = Sup = false;
            LineHeightTotal = Total;
            TLineOut LD;
            std::size_t DrawUsed = Pos;
            std::size_t DrawNext = Pos;
            // A mirrored line is laid out as written over the same pixels:
            // pixel x of it shows as pixel Reflect - x.
            const int Reflect = 2 * Place.left + LM.Width - 1;
            if (Mirrored) {
                HitX = P.HitX < 0 ? P.HitX : Reflect - P.HitX;
                LineTop = Place.top;
                if (D.ParaBg && !P.HitTestOnly)
                    FillBand(LineTop, LineBottom());
            }
            const TRect ControlBefore = Out.ControlRect;
            const TRect AnchorBefore = Out.AnchorRect;
            {
                const TDCUnmirroredSpan Unmirrored(C, Mirrored && !P.HitTestOnly, Place.left, LM.Width);
                Line(TPass::Draw, Text, Pos, Used, DrawUsed, DrawNext, Place, D, LD);
            }
            // Rectangles found on a mirrored line are given where it shows them.
            const auto Reflected = [Reflect](TRect& R, const TRect& Before) {
                if (!EqualRect(&Before, &R))
                    R = TRect{Reflect + 1 - R.right, R.top, Reflect + 1 - R.left, R.bottom};
            };
            if (Mirrored) {
                Reflected(Out.ControlRect, ControlBefore);
                Reflected(Out.AnchorRect, AnchorBefore);
            }
            D.Font->Assign(C->Font());
            const int BandBottom = Place.bottom - ImgOffset;
            if (LD.AnchorHit && P.HitY < BandBottom && P.HitY > BandBottom - BaseLine)
                Result = true;
            if (LD.ImageHit || LD.ControlHit)
                Result = true;
        }
        Pos = Next;
        Top += Total;
        Out.TextHeight += Total;
        ++LineNumber;
        if (!P.MeasureOnly && Top + BaseLine > Area.bottom)
            break;
    }
    if (!AnyLine)
        Out.TextHeight = C->TextHeight("gh");
    Out.AnchorCount = std::max(M.AnchorNum, D.AnchorNum);

    Pen->SetColor(KeepPen);
    Pen->SetWidth(KeepPenWidth);
    C->Brush()->SetColor(KeepBrush);
    C->Brush()->SetStyle(KeepBrushStyle);
    C->Font()->Assign(&BaseFont);
    return P.MeasureOnly ? false : Result;
}

void THtmlLayout::Line(TPass APass, const String& Text, std::size_t Begin, std::size_t End, std::size_t& Used,
                       std::size_t& Next, const TRect& ARect, TFlow& F, TLineOut& L)
{
    Pass = APass;
    LineRect = ARect;
    LineTop = ARect.top;
    X = ARect.left;
    GhHeight = C->TextHeight("gh");
    H = GhHeight;
    LineBreak = LineFull = LiOnLine = Placed = false;
    BlankBefore = true;
    TrailingBlank = 0;
    if (Pass == TPass::Measure)
        LineHeightTotal = 0;
    if (Pass == TPass::Draw) {
        if (FocusActive)
            FocusStartX = ARect.left;
        if (F.ParaBg && Painting() && !Mirrored)   // a mirrored line has its band filled before
            FillBand(LineTop, LineBottom());
    }
    std::size_t Pos = Begin;
    Used = Begin;
    while (Pos < End && !LineBreak && !LineFull) {
        if (Text[Pos] != '<') {
            // Each pass walks the text forward only, so the '<' it found
            // last stays valid until it is passed.
            std::size_t& NextLt = NextTag[Pass == TPass::Measure ? 0 : 1];
            if (NextLt <= Pos)
                NextLt = std::min(Text.find('<', Pos), Text.size());
            std::size_t WordEnd = std::min(NextLt, End);
            if (P.WordWrap) {
                // A word ends after its first blank; the blank is looked for
                // only up to the next tag.
                const auto* Blank = static_cast<const char*>(std::memchr(Text.data() + Pos, ' ', WordEnd - Pos));
                if (Blank && static_cast<std::size_t>(Blank - Text.data()) + 1 < WordEnd)
                    WordEnd = static_cast<std::size_t>(Blank - Text.data()) + 1;
            }
            const String Raw = Text.substr(Pos, WordEnd - Pos);
            const int KeepX = X;
            const int KeepH = H;
            Word(Raw, F, L);
            if (DropRest) {
                DropRest = false;
                Used = WordEnd;
                Pos = End;   // nothing after it is laid out
                break;
            }
            if (LineFull) {
                // The word starts the next line.
                X = KeepX;
                H = KeepH;
                break;
            }
            Pos = WordEnd;
            Used = Pos;
            continue;
        }
        if (End - Pos < 3) {
            Pos = End;   // a lone "<" or "<x" at the end
            break;
        }
        const std::size_t Close = Text.find('>', Pos);
        if (Close == String::npos || Close >= End) {
            Pos = End;   // an unclosed tag drops the rest
            break;
        }
        const String T = Text.substr(Pos, Close + 1 - Pos);
        if (!Tag(T, F, L))
            break;   // the line is full: the tag starts the next line
        Pos = Close + 1;
        Used = Pos;
        TrailingBlank = 0;
    }
    Next = Pos;

    L.Width = X - ARect.left - TrailingBlank;
    if (Pass == TPass::Measure) {
        L.Height = H;
        Out.TextWidth = std::max(Out.TextWidth, L.Width);
    }
    if (Pass == TPass::Draw && FocusActive && Painting()) {
        TRect R = Rect(FocusStartX - 1, LineBottom() - GhHeight, X + 1, LineBottom());
        C->DrawFocusRect(R);
    }
}

void THtmlLayout::Word(const String& Raw, TFlow& F, TLineOut& L)
{
    const String W = DecodeHtmlEntities(Raw, true);
    if (W.empty())
        return;
    if (F.Hidden) {
        if (Pass == TPass::Measure)
            Out.PlainText += W;
        return;
    }
    const TSize Extent = C->TextExtent(W);
    const struct { int cx, cy; } Size{static_cast<int>(Extent.cx), static_cast<int>(Extent.cy)};
    const bool EndsBlank = W.back() == ' ';
    const int LineW = LineRect.right - LineRect.left;
    if (Pass == TPass::Measure) {
        const bool Fits = X - LineRect.left + Size.cx < LineW || !Placed;
        const bool Continues = Placed && !BlankBefore && W[0] != ' ';
        if (!Fits && !Continues) {
            if (P.WordWrap) {
                LineFull = true;   // the word starts the next line
                return;
            }
            DropRest = true;   // the ellipsis cuts it, and nothing after it is laid out
        }
        H = std::max(H, Size.cy);
        if (Sub)
            SubH = std::max(SubH, Size.cy / 4);
        if (Sup)
            SupH = std::max(SupH, Size.cy / 4);
        Out.PlainText += W;
    } else {
        H = std::max(H, Size.cy);
        if (Painting())
            PaintWord(W, Size.cx, F);
        if (F.InAnchor && HitX >= X && HitX < X + Size.cx && P.HitY >= LineTop && P.HitY < LineBottom()) {
            Out.HitAnchor = F.AnchorRef;
            PendingHit = true;
            L.AnchorHit = true;
        }
    }
    X += Size.cx;
    Placed = true;
    BlankBefore = EndsBlank;
    TrailingBlank = EndsBlank ? C->TextWidth(" ") : 0;
}

void THtmlLayout::PaintWord(const String& W, int Width, TFlow& F)
{
    int Bottom = DrawBottom() - ImgOffset;
    if (Sup)
        Bottom -= SupH;
    if (Sub)
        Bottom += SubH;
    TRect R = Rect(X, LineTop, Area.right, Bottom);
    // A word that fits is not clipped at the area's edge, so the overhang
    // of its last glyph stays; only a word that is cut gets the edge.
    const UINT Flags = X + Width <= Area.right ? TextFlags | DT_NOCLIP : TextFlags;
    if (F.Shadow) {
        const TColor Keep = C->Font()->Color();
        const TColor KeepBrush = C->Brush()->Color();
        SetBrushColor(clNone);
        C->Font()->SetColor(P.ShadowColor);
        TRect S = R;
        OffsetRect(&S, P.ShadowOffset, P.ShadowOffset);
        C->DrawTextRect(W, S, Flags);
        C->Font()->SetColor(Keep);
        SetBrushColor(KeepBrush);
    }
    C->DrawTextRect(W, R, Flags);
    if (F.ErrLine) {
        // A red zigzag along the bottom: 2 pixels per step, 2 pixels high.
        const int Right = std::min<int>(X + Width, Area.right);
        const int Y = Bottom - 1;
        std::vector<TPoint> Points;
        for (int Px = X, Up = 0; Px <= Right; Px += 2, Up ^= 1)
            Points.push_back(Point(Px, Y - 2 * Up));
        if (Points.size() >= 2) {
            TPen* Pen = C->Pen();
            const TColor Keep = Pen->Color();
            const int KeepWidth = Pen->Width();
            Pen->SetColor(clRed);
            Pen->SetWidth(1);
            C->Polyline(std::span<const TPoint>(Points.data(), Points.size()));
            Pen->SetColor(Keep);
            Pen->SetWidth(KeepWidth);
        }
    }
}

void THtmlLayout::Bullet(int Level)
{
    LOGFONTW LF = C->Font()->LogFont();
    LF.lfCharSet = SYMBOL_CHARSET;
    lstrcpynW(LF.lfFaceName, L"Symbol", LF_FACESIZE);
    LF.lfEscapement = LF.lfOrientation = 0;
    HFONT Font = CreateFontIndirectW(&LF);
    if (!Font)
        return;
    HDC DC = C->Handle();
    const int Saved = SaveDC(DC);
    SelectObject(DC, Font);
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, ColorToRGB(C->Font()->Color()));
    SetTextAlign(DC, TA_LEFT | TA_BOTTOM);
    // A symbol font takes its bytes as glyph numbers, with no code page.
    const char Glyph = (Level % 2 == 1) ? '\xB7' : 'o';
    ExtTextOutA(DC, X - 12, DrawBottom() - ImgOffset, 0, nullptr, &Glyph, 1, nullptr);
    RestoreDC(DC, Saved);
    DeleteObject(Font);
    C->Refresh();
}

void THtmlLayout::FinishAnchorHit(TFlow& F)
{
    if (!PendingHit)
        return;
    PendingHit = false;
    const int Left = AnchorStartLine == LineNumber ? AnchorStartX : LineRect.left;
    Out.AnchorRect = Rect(Left, AnchorStartTop, X, LineBottom());
    Out.HitAnchorNumber = F.AnchorNum;
}

THTMLPicture* THtmlLayout::FindPicture(const String& Source)
{
    if (Source.find(':') == String::npos)
        return P.PictureContainer ? P.PictureContainer->FindPicture(Source) : nullptr;
    if (Source.find("://") == String::npos || !P.PictureCache)
        return nullptr;
    if (THTMLPicture* Found = P.PictureCache->FindPicture(Source))
        return Found;
    auto Picture = std::make_unique<THTMLPicture>();
    Picture->SetAsynch(false);
    try {
        Picture->LoadFromAddress(Source);
    } catch (const std::exception&) {
        // undecodable data: the picture stays empty and draws nothing
    }
    return P.PictureCache->AddPicture(std::move(Picture));
}

bool THtmlLayout::Image(const String& T, const String& Up, TFlow& F, TLineOut& L)
{
    ++F.ImageNum;
    String Source = HtmlTagAttribute(Up, "SRC");
    if (F.ImageNum == HitImage) {
        const String Alt = HtmlTagAttribute(Up, "ALT");
        if (!Alt.empty())
            Source = Alt;
    }
    const int WantW = StrToIntLoose(HtmlTagAttribute(Up, "WIDTH"));
    const int WantH = StrToIntLoose(HtmlTagAttribute(Up, "HEIGHT"));
    const int Ppi = PixelsPerInch(C);
    int W = 0, Hgt = 0;
    enum { None, Indexed, SysIcon, Picture } Kind = None;
    THTMLPicture* Pic = nullptr;
    int Index = -1;
    bool Large = false;
    String SysName;
    if (Source.compare(0, 4, "IDX:") == 0) {
        Index = StrToIntLoose(Source.substr(4), -1);
        if (P.ImageList && Index >= 0 && Index < P.ImageList->Count()) {
            Kind = Indexed;
            W = P.ImageList->Width() * Ppi / 96;
            Hgt = P.ImageList->Height() * Ppi / 96;
            if (P.ScaledImages) {
                W = static_cast<int>(W * P.ImageScale);
                Hgt = static_cast<int>(Hgt * P.ImageScale);
            }
        }
    } else if (Source.compare(0, 5, "SSYS:") == 0 || Source.compare(0, 5, "LSYS:") == 0) {
        Large = Source[0] == 'L';
        // The name keeps its case: paths are read from the tag as written.
        SysName = HtmlTagAttribute(T, "SRC").substr(5);
        const TSize S = DrawSystemIcon(C, SysName, 0, 0, Large, false, 1.0);
        if (S.cx > 0) {
            Kind = SysIcon;
            const double Scale = P.ScaledImages ? P.ImageScale : 1.0;
            W = static_cast<int>(S.cx * Ppi / 96 * Scale);
            Hgt = static_cast<int>(S.cy * Ppi / 96 * Scale);
        }
    } else if (!Source.empty()) {
        // Picture names keep their case for the cache (compared exactly).
        const String Named = F.ImageNum == HitImage ? HtmlTagAttribute(T, "ALT") : HtmlTagAttribute(T, "SRC");
        Pic = FindPicture(Named.empty() ? Source : Named);
        if (Pic && !Pic->Empty() && Pic->Decoded()) {
            Kind = Picture;
            if (WantW >= 1 && WantH >= 1) {
                W = WantW;
                Hgt = WantH;
            } else if (Pic->FrameCount() > 1) {
                W = Pic->AnimWidth();
                Hgt = Pic->AnimHeight();
            } else {
                W = Pic->Width();
                Hgt = Pic->Height();
            }
            W = W * Ppi / 96;
            Hgt = Hgt * Ppi / 96;
        }
    }
    if (Kind == None)
        return true;   // missing or empty pictures take no space

    if (Pass == TPass::Measure) {
        const int LineW = LineRect.right - LineRect.left;
        if (X + W > LineRect.right && W < LineW && Placed) {
            --F.ImageNum;
            LineFull = true;
            return false;
        }
    }
    // Hit: the image inside an anchor.
    if (Pass == TPass::Draw && F.InAnchor && HitX >= X && HitX < X + W && P.HitY >= LineTop
        && P.HitY < LineTop + Hgt) {
        Out.HitAnchor = F.AnchorRef;
        HitImage = F.ImageNum;
        L.ImageHit = true;
    } else if (Pass == TPass::Measure && F.InAnchor && P.HitY >= LineTop && P.HitY < LineTop + Hgt) {
        // The drawing pass shows the ALT picture of the image under the
        // point; on a mirrored line the point is known only once the line
        // is placed (see Run).
        if (Mirrored)
            LinkImages.push_back({F.ImageNum, X, X + W});
        else if (HitX >= X && HitX < X + W)
            HitImage = F.ImageNum;
    }
    if (Painting()) {
        switch (Kind) {
        case Indexed:
            if (P.ScaledImages) {
                TBitmap Bmp;
                P.ImageList->GetBitmap(Index, &Bmp);
                StretchBitmapToRect(C, Bounds(X, LineTop, W, Hgt), Bmp.Canvas(), Bmp.Width(), Bmp.Height());
            } else {
                P.ImageList->Draw(C, X, LineTop, Index);
            }
            break;
        case SysIcon:
            DrawSystemIcon(C, SysName, X, LineTop, Large, true, P.ScaledImages ? P.ImageScale : 1.0);
            break;
        case Picture:
            if (WantW >= 1 && WantH >= 1) {
                const bool Keep = Pic->Stretch();
                Pic->SetStretch(true);
                Pic->Draw(C, Bounds(X, LineTop, W, Hgt));
                Pic->SetStretch(Keep);
            } else if (Pic->FrameCount() > 1) {
                const TColor Keep = C->Brush()->Color();
                const TBrushStyle KeepStyle = C->Brush()->Style();
                SetBrushColor(EntryBrush);
                if (EntryBrush != clNone)
                    C->FillRect(Bounds(X, LineTop, W, Hgt));
                C->Brush()->SetColor(Keep);
                C->Brush()->SetStyle(KeepStyle);
                const bool KeepStretch = Pic->Stretch();
                Pic->SetStretch(false);
                Pic->Draw(C, Bounds(X + Pic->FrameXPos(), LineTop + Pic->FrameYPos(), W, Hgt));
                Pic->SetStretch(KeepStretch);
            } else {
                const bool KeepStretch = Pic->Stretch();
                Pic->SetStretch(false);
                Pic->Draw(C, Bounds(X, LineTop, W, Hgt));
                Pic->SetStretch(KeepStretch);
            }
            break;
        case None:
            break;
        }
    }
    X += W;
    H = std::max(H, Hgt);
    Placed = true;
    BlankBefore = true;
    const String Align = HtmlTagAttribute(Up, "ALIGN");
    if (Align.compare(0, 3, "TOP") == 0)
        ImgOffset = H - GhHeight;
    else if (Align.compare(0, 6, "MIDDLE") == 0)
        ImgOffset = (H - GhHeight) / 2;
    return true;
}

bool THtmlLayout::Control(const String& T, TFlow& F, TLineOut& L)
{
    (void)F;
    const THtmlControlTag Tag = ParseHtmlControlTag(T.substr(1, T.size() - 2));
    const THtmlControlSize Size = HtmlControlSize(C, Tag);
    if (!Size.Valid)
        return true;
    if (Pass == TPass::Measure) {
        const int LineW = LineRect.right - LineRect.left;
        if (X + Size.Width > LineRect.right && Size.Width < LineW && Placed) {
            LineFull = true;
            return false;
        }
    }
    H = std::max(H, Size.Height);
    if (Pass == TPass::Draw) {
        const bool Hit = (HitX > X && HitX < X + Size.Width && P.HitY > LineTop && P.HitY < LineTop + Size.Height)
            || (P.HitTestOnly && !Tag.ID.empty() && Tag.ID == Out.ControlID);
        if (Hit) {
            Out.HitAnchor = "ctrl";
            Out.ControlRect = Bounds(X, LineTop, Size.Width, Size.Height);
            Out.ControlID = Tag.ID;
            Out.ControlValue = Tag.Value;
            Out.ControlType = Tag.Type;
            L.ControlHit = true;
        }
        if (Painting()) {
            const bool Themed = IsWinXPOrLater && ThemesAvailable();
            const bool Hot = HtmlControlHot(Tag, Size, X, DrawBottom(), HitX, P.HitY);
            DrawHtmlControl(C, Tag, Size, X, DrawBottom(), std::max(H, LineHeightTotal - SubH - SupH), Themed,
                            P.Window, Hot, P.MouseDown);
        }
    }
    X += Size.Width;
    Placed = true;
    BlankBefore = true;
    return true;
}

void THtmlLayout::StyleOn(TFontStyle S, bool On)
{
    TFontStyles St = C->Font()->Style();
    if (On)
        St.Include(S);
    else
        St.Exclude(S);
    C->Font()->SetStyle(St);
}

bool THtmlLayout::Tag(const String& T, TFlow& F, TLineOut& L)
{
    const String Up = HtmlUpper(T);
    if (Up[1] != '/')
        return OpenTag(T, Up, F, L);
    if (Up.size() >= 4)
        CloseTag(Up, F);
    return true;
}

// Tags are told apart by their first one or two letters.
void THtmlLayout::CloseTag(const String& Up, TFlow& F)
{
    TFont* Font = C->Font();
    const bool Paint = Painting();
    const char A = Up[2];
    const char B = Up[3];
    switch (A) {
    case 'A':
        if (Paint && (!P.HoverStyle || F.AnchorNum == P.HoverAnchor)) {
            StyleOn(TFontStyle::fsUnderline, false);
            const bool Hovered = F.AnchorNum == P.HoverAnchor;
            if (Hovered && P.HoverColor != clNone)
                SetBrushColor(F.SavedBrush);
            if (!P.Selected)
                Font->SetColor(BaseFont.Color());
        }
        if (Pass == TPass::Draw) {
            FinishAnchorHit(F);
            if (FocusActive) {
                FocusActive = false;
                if (Paint)
                    C->DrawFocusRect(Rect(FocusStartX - 1, LineBottom() - GhHeight, X + 1, LineBottom()));
            }
        }
        F.InAnchor = false;
        break;
    case 'B':
        if (Up == "</B>")
            StyleOn(TFontStyle::fsBold, false);
        else
            Font->SetColor(BaseFont.Color());
        break;
    case 'E':
        F.ErrLine = false;
        break;
    case 'F':
        Font->SetName(BaseFont.Name());
        Font->SetSize(BaseFont.Size());
        if (Paint && !P.Selected) {
            Font->SetColor(BaseFont.Color());
            SetBrushColor(F.SavedBrush);
        }
        break;
    case 'H':
        if (Paint) {
            SetBrushColor(F.SavedBrush);
            Font->SetColor(F.SavedFont);
        }
        break;
    case 'I':
        StyleOn(TFontStyle::fsItalic, false);
        break;
    case 'L':
        LineBreak = true;
        break;
    case 'P':
        LineBreak = true;
        if (Paint)
            SetBrushColor(F.SavedBrush);
        F.ParaBg = false;
        break;
    case 'R':
        RestoreRotatedFont(C, F.KeptAngle);
        break;
    case 'S':
        if (B == 'U')
            Sub = Sup = false;
        else if (B == 'H')
            F.Shadow = false;
        else
            StyleOn(TFontStyle::fsStrikeOut, false);
        break;
    case 'U':
        if (Up != "</U>" && F.ListLevel > 0)
            --F.ListLevel;
        else
            StyleOn(TFontStyle::fsUnderline, false);
        break;
    case 'Z':
        F.Hidden = false;
        break;
    default:
        break;
    }
}

bool THtmlLayout::OpenTag(const String& T, const String& Up, TFlow& F, TLineOut& L)
{
    TFont* Font = C->Font();
    const bool Paint = Painting();
    const char A = Up[1];
    const char B = Up.size() > 2 ? Up[2] : '\0';
    switch (A) {
    case 'A':
        AnchorTag(T, F);
        break;
    case 'B':
        if (Up == "<B>")
            StyleOn(TFontStyle::fsBold, true);
        else if (B == 'R') {
            LineBreak = true;
            if (Pass == TPass::Measure)
                Out.PlainText += "\r";
        } else if (B == 'L') {
            if (!P.BlinkOn)
                Font->SetColor(EntryBrush == clNone ? clWindow : EntryBrush);
        } else if (B == 'O' && Paint) {
            BodyTag(T, F);
        }
        break;
    case 'C':
        return Control(T, F, L);
    case 'E':
        if (Paint)
            F.ErrLine = true;
        break;
    case 'F':
        FontTag(T, F);
        break;
    case 'H':
        if (B == 'R') {
            LineBreak = true;
            if (Paint)
                RuleTag();
        } else if (B == 'I' && Paint) {
            F.SavedBrush = C->Brush()->Color();
            F.SavedFont = Font->Color();
            SetBrushColor(clHighlight);
            Font->SetColor(clHighlightText);
        }
        break;
    case 'I':
        if (B == 'N') {
            const int To = StrToIntLoose(HtmlTagAttribute(T, "X"), 0);
            if (Area.left + To > X)
                X = Area.left + To;
        } else if (B == 'M') {
            return Image(T, Up, F, L);
        } else {
            StyleOn(TFontStyle::fsItalic, true);
        }
        break;
    case 'L':
        if (LiOnLine) {
            if (Pass == TPass::Measure && Placed) {
                LineFull = true;
                return false;
            }
            break;
        }
        LiOnLine = true;
        X += 12 * F.ListLevel;
        if (Paint)
            Bullet(F.ListLevel);
        break;
    case 'P':
        ParagraphTag(Up, F);
        break;
    case 'R': {
        const int Angle = StrToIntLoose(HtmlTagAttribute(T, "A"), 0);
        F.KeptAngle = SelectRotatedFont(C, Angle);
        break;
    }
    case 'S':
        if (Up.compare(0, 5, "<SUB>") == 0)
            Sub = true;
        else if (Up.compare(0, 5, "<SUP>") == 0)
            Sup = true;
        else if (B == 'H')
            F.Shadow = true;
        else if (Up == "<S>")
            StyleOn(TFontStyle::fsStrikeOut, true);
        break;
    case 'U':
        if (Up == "<U>") {
            StyleOn(TFontStyle::fsUnderline, true);
        } else {
            ++F.ListLevel;
            LineBreak = true;
        }
        break;
    case 'Z':
        F.Hidden = true;
        break;
    default:
        break;
    }
    return true;
}


void THtmlLayout::AnchorTag(const String& T, TFlow& F)
{
    TFont* Font = C->Font();
    const bool Paint = Painting();
    ++F.AnchorNum;
    const bool Hovered = F.AnchorNum == P.HoverAnchor;
    if (F.AnchorNum == P.FocusAnchor + 1 && Pass == TPass::Draw) {
        FocusActive = true;
        FocusStartX = X;
    }
    if (Paint && (!P.HoverStyle || Hovered)) {
        StyleOn(TFontStyle::fsUnderline, true);
        if (Hovered && P.HoverColor != clNone) {
            F.SavedBrush = C->Brush()->Color();
            SetBrushColor(P.HoverColor);
        }
        if (Hovered && P.HoverFontColor != clNone)
            Font->SetColor(P.HoverFontColor);
        if (!P.Selected && !(Hovered && P.HoverFontColor != clNone))
            Font->SetColor(P.AnchorColor);
    }
    F.AnchorRef = HtmlTagAttribute(T, "HREF");
    F.InAnchor = true;
    if (Pass == TPass::Draw && FocusActive && F.AnchorNum == P.FocusAnchor + 1)
        Out.FocusAnchor = F.AnchorRef;
    const String Title = HtmlTagAttribute(T, "TITLE");
    if (!Title.empty())
        Out.AnchorTitle = Title;
    AnchorStartX = X;
    AnchorStartTop = LineTop;
    AnchorStartLine = LineNumber;
}

void THtmlLayout::BodyTag(const String& T, TFlow& F)
{
    const String Attrs = T.size() > 5 ? T.substr(5) : String();
    const String Bg = HtmlTagAttribute(Attrs, "BGCOLOR");
    if (!Bg.empty()) {
        const String BgUp = HtmlUpper(Bg);
        const TColor Color = BgUp.find("CL") != String::npos ? ColorFromName(HtmlLower(Bg))
            : BgUp.find('#') != String::npos                  ? HexToColor(BgUp)
                                                              : ColorValue(Bg);
        const TColor Keep = C->Brush()->Color();
        SetBrushColor(Color);
        C->FillRect(Area);
        SetBrushColor(Keep);
        F.SavedBrush = Color;
    }
    const String Background = HtmlTagAttribute(Attrs, "BACKGROUND");
    THTMLPicture* Pic = Background.empty() ? nullptr : FindPicture(Background);
    if (Pic && !Pic->Empty() && Pic->Decoded() && Pic->Width() > 0 && Pic->Height() > 0) {
        HDC DC = C->Handle();
        const int Saved = SaveDC(DC);
        IntersectClipRect(DC, Area.left, Area.top, Area.right, Area.bottom);
        const TDCBitmapOrientation Unmirrored(DC);   // tiles placed mirrored, shown as they are
        for (int Y = Area.top; Y < Area.bottom; Y += Pic->Height())
            for (int Px = Area.left; Px < Area.right; Px += Pic->Width())
                Pic->Draw(C, Bounds(Px, Y, Pic->Width(), Pic->Height()));
        RestoreDC(DC, Saved);
        C->Refresh();
    }
}

void THtmlLayout::FontTag(const String& T, TFlow& F)
{
    TFont* Font = C->Font();
    const bool Paint = Painting();
    const String Attrs = T.size() > 5 ? T.substr(5) : String();
    const String Face = HtmlTagAttribute(Attrs, "FACE");
    if (!Face.empty())
        Font->SetName(Face);
    const String Color = HtmlTagAttribute(" " + Attrs, "COLOR");
    if (!Color.empty() && !P.Selected)
        Font->SetColor(ColorValue(Color));
    const String Bg = HtmlTagAttribute(Attrs, "BGCOLOR");
    if (!Bg.empty() && Paint && !P.Selected) {
        F.SavedBrush = C->Brush()->Color();
        SetBrushColor(ColorValue(Bg));
    }
    const String Size = HtmlTagAttribute(Attrs, "SIZE");
    if (!Size.empty()) {
        static const int Points[] = {8, 10, 12, 14, 16};
        const int N = StrToIntLoose(Size, 0);
        const int Pt = (N >= 1 && N <= 5) ? Points[N - 1] : N;
        if (Pt > 0 && Pt <= 1000)
            Font->SetSize(Pt);
    }
}

void THtmlLayout::ParagraphTag(const String& Up, TFlow& F)
{
    const bool Paint = Painting();
    const String Align = HtmlTagAttribute(Up, "ALIGN");
    if (!Align.empty()) {
        if (Align.find("RIGHT") != String::npos)
            Alignment = 1;
        if (Align.find("LEFT") != String::npos)
            Alignment = 0;
        if (Align.find("CENTER") != String::npos)
            Alignment = 2;
    }
    const String In = HtmlTagAttribute(Up, "INDENT");
    if (!In.empty())
        Indent = StrToIntLoose(In, 0);
    const String Bg = HtmlTagAttribute(Up, "BGCOLOR");
    if (!Bg.empty() && Paint) {
        F.SavedBrush = C->Brush()->Color();
        SetBrushColor(ColorValue(Bg));
        F.ParaBg = true;
        FillBand(LineTop, LineBottom());
    }
}

void THtmlLayout::RuleTag()
{
    TPen* Pen = C->Pen();
    const TColor Keep = Pen->Color();
    const int KeepWidth = Pen->Width();
    Pen->SetColor(clBlack);
    Pen->SetWidth(1);
    const int Y = LineBottom() + 1;
    C->MoveTo(LineRect.left, Y);
    C->LineTo(Area.right, Y);
    Pen->SetColor(Keep);
    Pen->SetWidth(KeepWidth);
}

} // namespace

// ---------------------------------------------------------------------------
// Public routines

bool DrawHtmlText(TCanvas* Canvas, const String& Text, const TRect& R, const THtmlDrawParams& Params,
                  THtmlDrawResult& Result)
{
    (void)WinXPChecked;
    THtmlLayout Layout(Canvas, R, Params, Result);
    return Layout.Run(Text);
}

THtmlDrawResult MeasureHtmlText(TCanvas* Canvas, const String& Text, const TRect& R, bool WordWrap)
{
    THtmlDrawParams P;
    P.MeasureOnly = true;
    P.WordWrap = WordWrap;
    THtmlDrawResult Out;
    DrawHtmlText(Canvas, Text, R, P, Out);
    return Out;
}
