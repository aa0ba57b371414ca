#pragma once
// Hue and saturation of a loaded skin: its pictures (master bitmap and the
// entries' own bitmaps) and its colour values recoloured in place, once,
// at the end of a load. Transparent ($FF00FF) and grey pixels, and text
// and contour colours of -1, are never changed; JPEG patterns keep their
// colours.

#include "skin/engine/qSkinModel.h"

// ShiftHue by Offset; nothing for 0.
void ApplyHueOffset(TqSkinModel& Skin, int Offset);
// ChangeSaturation by the amount of Value (its negation reduced to -100..100
// by the remainder of division by 101); nothing for 0.
void ApplySaturation(TqSkinModel& Skin, int Value);
// The saturation amount of a Saturation setting: 50 -> -50, -30 -> 30, 150 -> -49.
int SaturationAmount(int Value);
