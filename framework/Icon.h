#pragma once
// An icon graphic kept as the bytes of an ICO file: its stored form (Data)
// is that file image as it stands, and it draws its first image.

#include "framework/Graphic.h"

class TIcon : public TGraphic {
public:
    TIcon() = default;
    ~TIcon() override;

    // Copies another icon's bytes; other sources raise EConvertError.
    void Assign(const TPersistent* Source) override;

    void Draw(TCanvas* Canvas, const TRect& Rect) override;
    bool Empty() const override { return FBytes.empty(); }
    // The size of the first image (an entry of 0 stands for 256); 0 when empty.
    int Width() const override;
    int Height() const override;
    // An icon's size is that of its image: both are refused.
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;

    // Takes the stream from its position to its end as the ICO file image.
    // Bytes that are no icon file raise EInvalidGraphic and leave the
    // icon as it was.
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    void ReadData(TStream* Stream) override { LoadFromStream(Stream); }
    void WriteData(TStream* Stream) override { SaveToStream(Stream); }

    // The ICO file image; empty for an empty icon.
    const String& Bytes() const { return FBytes; }
    // Same checks as LoadFromStream.
    void LoadFromBytes(const String& Bytes);

private:
    void FreeHandle();

    String FBytes;
    HICON FHandle = nullptr;   // made from the first image on first draw
};
