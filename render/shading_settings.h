// The shading settings of each renderer, in one list: the render palette shows them, an edit
// history and an image's recipe keep them.
#pragma once

#include <vector>

namespace vorticel {

class Renderer;

struct ShadingSetting {
    int textId;      // the row's name in the string table
    const char* key; // its name in an image's recipe (ASCII, stable)
    float* value;    // the renderer's own setting
    float sliderLo;  // slider range, not limits
    float sliderHi;
    float lo; // the limits: what the palette takes and an image's recipe may hold
    float hi;
};

// In the order the palette lists them; empty for a renderer without any.
std::vector<ShadingSetting> ShadingSettings(Renderer& renderer);

} // namespace vorticel
