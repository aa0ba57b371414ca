#pragma once
// The abstract graphic, a picture kind that draws itself on a canvas and
// keeps its stored form as bytes, and the picture holder that owns one.

#include <memory>

#include "framework/Graphics.h"

class TStream;

class TGraphic : public TPersistent {
public:
    // Draws the graphic into Rect of Canvas.
    virtual void Draw(TCanvas* Canvas, const TRect& Rect) = 0;
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int Value) = 0;
    virtual void SetHeight(int Value) = 0;

    virtual void LoadFromFile(const String& FileName);
    virtual void SaveToFile(const String& FileName);
    virtual void LoadFromStream(TStream* Stream) = 0;
    virtual void SaveToStream(TStream* Stream) = 0;

    // The stored form data (the graphic's Data): written as it is saved,
    // read back into the graphic.
    virtual void ReadData(TStream* Stream) = 0;
    virtual void WriteData(TStream* Stream) = 0;

    TNotifyEvent OnChange;

protected:
    // Fires OnChange.
    virtual void Changed();
};

// Holds one graphic (or none) and owns it.
class TPicture : public TPersistent {
public:
    TPicture() = default;
    ~TPicture() override = default;

    TGraphic* Graphic() const { return FGraphic.get(); }
    // Takes Value over (nullptr leaves the holder empty); fires OnChange.
    void SetGraphic(std::unique_ptr<TGraphic> Value);
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

    TNotifyEvent OnChange;

private:
    std::unique_ptr<TGraphic> FGraphic;
};
