// The shading settings of each renderer as the render palette shows them and an edit
// history keeps them: one list, so both see the same settings.
#pragma once

#include <vector>

namespace vorticel {

class TBitmap3D;

struct ShadingSetting {
    int textId;     // the row's name in the string table
    float* value;   // the renderer's own setting
    float sliderLo; // slider range, not limits
    float sliderHi;
};

// In the order the palette lists them; empty for a renderer without any.
std::vector<ShadingSetting> ShadingSettings(TBitmap3D& bitmap);

} // namespace vorticel
