#pragma once
// The mini-HTML renderer: lays a small tagged text out line by line inside a
// rectangle and paints it, only measures it, or only tests a point against
// it (anchors, images inside anchors, embedded form controls). Grid cells,
// fixed cells, footers and hint windows draw and size their HTML text here.
//
// Tags: B I U S SUB SUP SH(adow) E(rror underline) Z (hidden) BR HR HI(ghlight)
// BL(ink) A FONT P UL LI IN(dent) BODY IMG CONTROL R(otate), the entities
// &amp; &quot; &sect; &permil; &reg; &copy; &para; &trade; &euro; &nbsp;
// &lt; &gt;, and the colour names of ColorFromName. Malformed text never
// raises: an unclosed tag drops the rest of the text, unknown tags are
// ignored, missing pictures take no space.

#include "framework/Graphics.h"
#include "framework/Types.h"
#include "grid/core/HtmlTextRoutines.h"

class TImageList;
class THTMLPictureCache;
class TPictureContainer;

// What one DrawHtmlText call is asked to do.
struct THtmlDrawParams {
    TImageList* ImageList = nullptr;       // pictures of "IDX:n" images
    int HitX = -1;                         // point to test, canvas coordinates
    int HitY = -1;
    int FocusAnchor = -1;                  // 0-based anchor with a focus rectangle, -1 none
    int HoverAnchor = -1;                  // 1-based anchor under the mouse (hover look)
    int ShadowOffset = 0;                  // pixels right and down
    bool HitTestOnly = false;              // second pass tests without painting; ControlID is an input
    bool MeasureOnly = false;              // layout only: sizes and plain text, result false
    bool ScaledImages = false;             // "IDX:" images stretched by ImageScale (printing)
    bool Selected = false;                 // anchors and FONT leave the colours alone
    bool BlinkOn = true;                   // blinking text visible
    bool HoverStyle = false;               // anchors underlined and coloured only while hovered
    bool WordWrap = true;                  // lines break between words
    bool MouseDown = false;                // buttons and check marks drawn pressed
    // The layout stands mirrored (a right-to-left grid's cell): each line
    // keeps its reading order and shows at its mirrored place. A canvas
    // mirrored by its layout (LAYOUT_RTL) is taken so anyway; a hit test
    // says it here, HitX and the rectangles found being mirrored then.
    bool Mirrored = false;
    double ImageScale = 1.0;
    TColor AnchorColor = clBlue;
    TColor HoverColor = clNone;            // background of the hovered anchor
    TColor HoverFontColor = clNone;        // font colour of the hovered anchor
    TColor ShadowColor = clGray;
    THTMLPictureCache* PictureCache = nullptr;     // pictures named by an address with "://"
    TPictureContainer* PictureContainer = nullptr; // pictures named without ":"
    HWND Window = nullptr;                 // window whose theme draws controls
};

// What one DrawHtmlText call found. HitAnchor is left as the caller set it
// when nothing is hit; ControlID is an input of a hit-test-only call (the
// control with this ID counts as hit) and is cleared first otherwise.
struct THtmlDrawResult {
    String HitAnchor;          // reference of the anchor (or image in an anchor) under the point, "ctrl" for a control
    String PlainText;          // the text without tags, each BR a CR
    String FocusAnchor;        // reference of the focused anchor (set while painting)
    String AnchorTitle;        // TITLE of the last anchor that carries one
    int TextWidth = 0;         // widest line
    int TextHeight = 0;        // sum of the line heights ("gh" height for no line)
    int AnchorCount = 0;
    int HitAnchorNumber = -1;  // 1-based anchor under the point
    TRect AnchorRect{};        // the hit anchor's extent (its start to its end, across lines)
    TRect ControlRect{};       // the control under the point, empty when none
    String ControlID;
    String ControlValue;
    String ControlType;
};

// Lays Text out in R (text starts one pixel right of R.left) and paints it
// unless MeasureOnly or HitTestOnly. The canvas's font, pen and brush colour
// are as they were on return. True when the point lies on anchor text
// (within the text band of its line), on an image inside an anchor, or on a
// form control; always false when MeasureOnly.
bool DrawHtmlText(TCanvas* Canvas, const String& Text, const TRect& R, const THtmlDrawParams& Params,
                  THtmlDrawResult& Result);

// Measure-only shortcut: the plain text and the size the text takes in R.
THtmlDrawResult MeasureHtmlText(TCanvas* Canvas, const String& Text, const TRect& R, bool WordWrap = true);

// True when the Windows version is 5.1 or later; set once at start-up.
extern bool IsWinXPOrLater;
void CheckWinXP();

// Colour names ("clred", "clbtnface", ...; lower case) to colours, black for
// an unknown name.
TColor ColorFromName(const String& Name);
// "#RRGGBB" (upper-case hex digits) to a colour with red in the low byte.
TColor HexToColor(const String& S);
// Two hex digits "0".."9", "A".."F" to a byte; other characters count as 0.
int HexPairToByte(char Hi, char Lo);

// Drawing helpers of the tags.
// An icon of the shell's small (Large false) or large system image list at
// (X, Y): Name is an icon index when it reads as an integer, else a path
// whose icon is asked for. Returns the icon's size (0 when none).
TSize DrawSystemIcon(TCanvas* Canvas, const String& Name, int X, int Y, bool Large, bool Paint, double Scale);
// Bitmap Source stretched into R.
void StretchBitmapToRect(TCanvas* Canvas, const TRect& R, TCanvas* Source, int SourceWidth, int SourceHeight);
// True when Name names an existing directory.
bool IsDirectoryPath(const String& Name);
// Turns the canvas font by Angle degrees (escapement and orientation
// Angle x 10) and answers the angle it had, in tenths of a degree, which
// RestoreRotatedFont puts back.
int SelectRotatedFont(TCanvas* Canvas, int Angle);
void RestoreRotatedFont(TCanvas* Canvas, int Kept);
