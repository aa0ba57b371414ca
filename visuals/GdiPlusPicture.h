#pragma once
// A picture that keeps an image file (BMP, PNG, JPEG, GIF or anything else
// GDI+ decodes) as its raw bytes and draws it through GDI+; BMP data is drawn
// unscaled through the framework's transparent bitmap drawing instead.

#include <windows.h>

#include "framework/Graphic.h"
#include "framework/Stream.h"

FRAMEWORK_EXCEPTION(EGdiPlusPicture, Exception);

class TGdiPlusPicture : public TGraphic {
public:
    TGdiPlusPicture();
    ~TGdiPlusPicture() override;

    // From another TGdiPlusPicture (its bytes), a TBitmap (its .bmp form) or
    // a TPicture with a graphic (that graphic's saved form). nullptr, or a
    // holder without a graphic, empties the picture and fires OnClear after
    // the change event; any other source leaves it empty. The size is
    // measured afterwards.
    void Assign(const TPersistent* Source) override;

    // Draws into Rect: BMP data at its natural size at Rect's top-left with
    // its lower-left pixel's colour transparent, anything else stretched to
    // Rect. Nothing when empty; data GDI+ cannot decode draws nothing.
    void Draw(TCanvas* Canvas, const TRect& Rect) override;
    bool Empty() const override { return FEmpty; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    // The size is the image's own: these do nothing.
    void SetWidth(int) override {}
    void SetHeight(int) override {}

    // Reads the whole file; a file that cannot be read leaves the picture
    // empty and raises nothing.
    void LoadFromFile(const String& FileName) override;
    // Takes the rest of Stream (nothing for nullptr).
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    // An RCDATA resource of Instance; nothing when there is none of that name.
    void LoadFromRCData(HINSTANCE Instance, const String& Name);

    // Stored form data: the raw image bytes. Reading also measures the image,
    // so that a layout that reads the size finds it.
    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) override;

    // Decodes the bytes and stores the image's width and height; true when
    // measured. An image GDI+ cannot decode measures 0 x 0.
    bool UpdateImageSize();

    // The image bytes.
    TMemoryStream* DataStream() const { return FData.get(); }

    TNotifyEvent OnClear;

private:
    void CopyBytes(const String& Bytes);
    void CopyStream(TStream* Stream);

    std::unique_ptr<TMemoryStream> FData;
    bool FEmpty = true;
    int FWidth = 0;
    int FHeight = 0;
};
