#include "skin/engine/qMenuSupport.h"

TqMenuPainterMaker MenuPainterMaker = nullptr;

void TzqMenuSupport::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TzqMenuSupport*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    IcoLineSkin = source->IcoLineSkin;
    UseExtraLine = source->UseExtraLine;
    ExtraLineWidth = source->ExtraLineWidth;
    FExtraLineFont->Assign(source->FExtraLineFont.get());
}
