#pragma once
// The abstract graphic, a picture kind that draws itself on a canvas and
// keeps its stored form as bytes, and the picture holder that owns one.

#include <functional>
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

    // The picture's stored form (its Data): the graphic's class name as a
    // length-prefixed string of at most 63 characters, then the graphic's
    // own data; a picture without graphic writes only an empty name.
    // Reading a class that is not registered leaves the picture without
    // graphic; a name longer than 63 characters raises EReadError.
    void WriteData(TStream* Stream) const;
    void ReadData(TStream* Stream);

    TNotifyEvent OnChange;

private:
    std::unique_ptr<TGraphic> FGraphic;
};

// A picture's stored form for a graphic held elsewhere (null: no graphic).
void WritePictureData(TStream* Stream, TGraphic* Graphic);

// The graphic classes a picture's data can name: a class registers a
// maker under its class name. TIcon is known from the start.
using TGraphicMaker = std::function<std::unique_ptr<TGraphic>()>;
void RegisterGraphicClass(const String& ClassName, TGraphicMaker Maker);
// A new graphic of the named class; null when no class of that name is registered.
std::unique_ptr<TGraphic> CreateGraphicOfClass(const String& ClassName);
