#include "framework/Graphic.h"

#include "framework/Stream.h"

void TGraphic::LoadFromFile(const String& FileName)
{
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&Stream);
}

void TGraphic::SaveToFile(const String& FileName)
{
    TFileStream Stream(FileName, fmCreate);
    SaveToStream(&Stream);
}

void TGraphic::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> Value)
{
    FGraphic = std::move(Value);
    if (OnChange)
        OnChange(this);
}
