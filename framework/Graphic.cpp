#include "framework/Graphic.h"

#include <map>

#include "framework/Icon.h"
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

namespace {

std::map<String, TGraphicMaker>& GraphicClasses()
{
    static std::map<String, TGraphicMaker> Classes = {
        {"TIcon", [] { return std::unique_ptr<TGraphic>(std::make_unique<TIcon>()); }}};
    return Classes;
}

const std::size_t MaxGraphicClassName = 63;

} // namespace

void RegisterGraphicClass(const String& ClassName, TGraphicMaker Maker)
{
    GraphicClasses()[ClassName] = std::move(Maker);
}

std::unique_ptr<TGraphic> CreateGraphicOfClass(const String& ClassName)
{
    const auto It = GraphicClasses().find(ClassName);
    return It == GraphicClasses().end() ? nullptr : It->second();
}

void TPicture::WriteData(TStream* Stream) const { WritePictureData(Stream, FGraphic.get()); }

void WritePictureData(TStream* Stream, TGraphic* Graphic)
{
    const String Name = Graphic ? Graphic->ClassName() : String();
    // A name the reader could not take is written as no graphic at all.
    if (Name.empty() || Name.size() > MaxGraphicClassName) {
        const Byte Empty = 0;
        Stream->WriteBuffer(&Empty, 1);
        return;
    }
    const Byte Length = static_cast<Byte>(Name.size());
    Stream->WriteBuffer(&Length, 1);
    Stream->WriteBuffer(Name.data(), static_cast<Integer>(Name.size()));
    Graphic->WriteData(Stream);
}

void TPicture::ReadData(TStream* Stream)
{
    Byte Length = 0;
    Stream->ReadBuffer(&Length, 1);
    if (Length > MaxGraphicClassName)
        throw EReadError("Invalid stream format");
    String Name(Length, '\0');
    if (Length > 0)
        Stream->ReadBuffer(Name.data(), Length);
    std::unique_ptr<TGraphic> Graphic = CreateGraphicOfClass(Name);
    if (Graphic)
        Graphic->ReadData(Stream);
    SetGraphic(std::move(Graphic));
}
