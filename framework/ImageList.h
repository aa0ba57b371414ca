#pragma once
// Image lists: a row of same-sized pictures with masks, kept in a common
// controls image list (HIMAGELIST) so that tool bars and list views can use
// the handle directly.

#include <windows.h>
#include <commctrl.h>

#include "framework/Component.h"
#include "framework/Graphics.h"

class TBitmap;

class TImageList : public TComponent {
public:
    // 16 x 16 pictures, 32-bit colour with masks.
    explicit TImageList(TComponent* AOwner);
    ~TImageList() override;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // A new size empties the list.
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    void SetSize(int Width, int Height);
    int Count() const;

    // Adds the pictures of Image (one per Width pixels of its width); Mask,
    // when given, is white where the picture is transparent. Returns the
    // index of the first added picture. The bitmaps stay the caller's and
    // are not changed. Raises EInvalidGraphic for an empty image or one
    // narrower than Width.
    int Add(TBitmap* Image, TBitmap* Mask);
    // The same with the pixels of MaskColor as the transparent ones.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    // Raises EListError for an index outside the list.
    void Delete(int Index);
    void Clear();

    // Picture Index at (X, Y), transparent where its mask says; a disabled
    // picture is drawn embossed in the button highlight and shadow colours.
    // An index outside the list (such as -1 for "no picture") draws nothing.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
    // Image becomes a Width x Height bitmap holding picture Index drawn over
    // BkColor, or with its transparent pixels black when BkColor is clNone.
    // Raises EListError for an index outside the list.
    void GetBitmap(int Index, TBitmap* Image);

    // Background drawn behind the pictures; clNone draws them transparent.
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);

    HIMAGELIST Handle() const { return FHandle; }

    // Fired when pictures are added, removed or the size changes.
    TNotifyEvent OnChange;

private:
    void CreateList();
    void CheckIndex(int Index) const;
    void Changed();

    int FWidth = 16;
    int FHeight = 16;
    TColor FBkColor = clNone;
    HIMAGELIST FHandle = nullptr;
};
