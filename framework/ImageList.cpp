#include "framework/ImageList.h"

#include "framework/Bitmap.h"

namespace {

// ROP PSDPxax: where the source is 1 the destination stays, where it is 0
// the brush is painted.
constexpr DWORD RopPaintWhereSourceIsZero = 0x00B8074A;

COLORREF ListColor(TColor Color) { return Color == clNone ? CLR_NONE : ColorToRGB(Color); }

// Paints Color where Mask (a monochrome DC) is 0, leaving DC where it is 1.
void PaintThroughMask(HDC DC, int X, int Y, int Width, int Height, HDC Mask, TColor Color)
{
    TSharedGdiObject brush = ShareGdiObject(CreateSolidBrush(ColorToRGB(Color)), "a brush");
    HGDIOBJ oldBrush = SelectObject(DC, brush.get());
    // A monochrome source reads as the background colour for 1, the text colour for 0.
    const COLORREF oldBk = SetBkColor(DC, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(DC, RGB(0, 0, 0));
    BitBlt(DC, X, Y, Width, Height, Mask, 0, 0, RopPaintWhereSourceIsZero);
    SetBkColor(DC, oldBk);
    SetTextColor(DC, oldText);
    SelectObject(DC, oldBrush);
}

} // namespace

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner)
{
    CreateList();
}

TImageList::~TImageList()
{
    Destroying();
    ImageList_Destroy(FHandle);
}

void TImageList::CreateList()
{
    HIMAGELIST list = ImageList_Create(FWidth, FHeight, ILC_COLOR32 | ILC_MASK, 0, 4);
    if (list == nullptr)
        throw EOutOfResources("Cannot create an image list");
    if (FHandle != nullptr)
        ImageList_Destroy(FHandle);
    FHandle = list;
    ImageList_SetBkColor(FHandle, ListColor(FBkColor));
}

void TImageList::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TImageList::SetSize(int Width, int Height)
{
    if (Width == FWidth && Height == FHeight)
        return;
    if (Width <= 0 || Height <= 0)
        throw EInvalidOperation("Invalid image list size");
    FWidth = Width;
    FHeight = Height;
    CreateList();
    Changed();
}

int TImageList::Count() const { return ImageList_GetImageCount(FHandle); }

void TImageList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("Image index out of range");
}

void TImageList::SetBkColor(TColor Value)
{
    if (Value == FBkColor)
        return;
    FBkColor = Value;
    ImageList_SetBkColor(FHandle, ListColor(Value));
    Changed();
}

int TImageList::Add(TBitmap* Image, TBitmap* Mask)
{
    if (Image == nullptr || Image->Empty())
        throw EInvalidGraphic("Cannot add an empty image to an image list");
    if (Image->Width() < FWidth)
        throw EInvalidGraphic("Image narrower than the pictures of the image list");
    // The list draws a picture by AND with its mask and OR with its pixels,
    // so the pixels under the mask must be black: a copy is blackened there.
    TBitmap picture;
    picture.Assign(Image);
    TSharedGdiObject mask;
    if (Mask != nullptr && !Mask->Empty()) {
        mask = Mask->CreateMask(clWhite);
        TMemoryDC maskDC(mask);
        HDC dc = picture.Canvas()->Handle();
        // Mask 1 → black, 0 → white, ANDed into the picture.
        const COLORREF oldBk = ::SetBkColor(dc, RGB(0, 0, 0));
        const COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255));
        BitBlt(dc, 0, 0, picture.Width(), picture.Height(), maskDC.Handle(), 0, 0, SRCAND);
        ::SetBkColor(dc, oldBk);
        SetTextColor(dc, oldText);
    }
    const int index = ImageList_Add(FHandle, picture.Handle(), static_cast<HBITMAP>(mask.get()));
    if (index < 0)
        throw EInvalidOperation("Cannot add an image to the image list");
    Changed();
    return index;
}

int TImageList::AddMasked(TBitmap* Image, TColor MaskColor)
{
    if (Image == nullptr || Image->Empty())
        throw EInvalidGraphic("Cannot add an empty image to an image list");
    // A white-where-transparent picture of the mask colour, used as Add's mask.
    TBitmap mask(Image->Width(), Image->Height(), TPixelFormat::pf24bit);
    {
        TMemoryDC bits(Image->CreateMask(MaskColor));
        BitBlt(mask.Canvas()->Handle(), 0, 0, mask.Width(), mask.Height(), bits.Handle(), 0, 0, SRCCOPY);
    }
    return Add(Image, &mask);
}

void TImageList::Delete(int Index)
{
    CheckIndex(Index);
    ImageList_Remove(FHandle, Index);
    Changed();
}

void TImageList::Clear()
{
    if (Count() == 0)
        return;
    ImageList_Remove(FHandle, -1);
    Changed();
}

void TImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled)
{
    if (Canvas == nullptr || Index < 0 || Index >= Count())
        return;
    HDC dc = Canvas->Handle();
    if (Enabled) {
        ImageList_Draw(FHandle, Index, dc, X, Y, ILD_NORMAL);
        return;
    }
    // Disabled: the picture's shape, embossed: highlight one pixel down and
    // right, shadow on top.
    TMemoryDC mask(ShareGdiObject(CreateBitmap(FWidth, FHeight, 1, 1, nullptr), "a mask bitmap"));
    // The list may AND its mask in rather than copy it (Wine does), so the
    // mask bitmap starts as all ones.
    PatBlt(mask.Handle(), 0, 0, FWidth, FHeight, WHITENESS);
    ImageList_Draw(FHandle, Index, mask.Handle(), 0, 0, ILD_MASK);
    PaintThroughMask(dc, X + 1, Y + 1, FWidth, FHeight, mask.Handle(), clBtnHighlight);
    PaintThroughMask(dc, X, Y, FWidth, FHeight, mask.Handle(), clBtnShadow);
}

void TImageList::GetBitmap(int Index, TBitmap* Image)
{
    CheckIndex(Index);
    Image->SetSize(FWidth, FHeight);
    HDC dc = Image->Canvas()->Handle();
    const RECT all{0, 0, FWidth, FHeight};
    TSharedGdiObject background =
        ShareGdiObject(CreateSolidBrush(FBkColor == clNone ? RGB(0, 0, 0) : ColorToRGB(FBkColor)), "a brush");
    ::FillRect(dc, &all, static_cast<HBRUSH>(background.get()));
    ImageList_Draw(FHandle, Index, dc, 0, 0, ILD_NORMAL);
}
