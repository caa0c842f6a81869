// The arguments of render that are words or sizes, read as the options are: pure functions
// that throw UsageError naming what is expected.
#pragma once

#include "render/render_run.h"

#include <cstdint>
#include <string>

namespace vorticel::cli {

// 0..4, an English or French renderer name in any case, or "lumiere".
int RendererKindByName(const std::string& name);
// WIDTHxHEIGHT, checked as typed (before the width is rounded down to a multiple of 4).
void ParseSize(const std::string& text, std::int32_t& width, std::int32_t& height);
// Refuses a size (ParseSize's) a BMP file cannot hold, naming `text`.
void CheckBmpSize(const std::string& text, std::int32_t width, std::int32_t height);
// adjust, center (or centre), none.
FitMode FitModeByName(const std::string& name);

} // namespace vorticel::cli
