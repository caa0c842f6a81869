// A recipe rendered small and fast into a QImage.
#include "app/quick_render.h"

#include "attractor/attractor.h"
#include "render/image.h"
#include "render/recipe.h"
#include "render/render_run.h"
#include "render/renderer.h"

#include <algorithm>
#include <exception>

namespace vorticel {

void FitInside(std::int32_t width, std::int32_t height, std::int32_t boxWidth,
               std::int32_t boxHeight, std::int32_t& fittedWidth, std::int32_t& fittedHeight) {
    const double scale = std::min(static_cast<double>(boxWidth) / std::max(width, 1),
                                  static_cast<double>(boxHeight) / std::max(height, 1));
    fittedWidth = std::max(4, static_cast<std::int32_t>(width * scale));
    fittedHeight = std::max(1, static_cast<std::int32_t>(height * scale));
}

QImage QuickRender(const ImageRecipe& recipe, std::int32_t width, std::int32_t height,
                   std::int32_t points) {
    ImageRecipe small = recipe;
    small.width = width;
    small.height = height;
    try {
        const std::unique_ptr<Attractor> attractor = MakeAttractor(small);
        const std::unique_ptr<Renderer> renderer = MakeRenderer(small, nullptr);
        if (!Fit(*attractor, *renderer, kFitPoints, FitMode::PreviewOnly)) {
            return {};
        }
        const RenderRunResult run =
            RenderRun(*attractor, *renderer, std::max(points, kMinRenderIterations), 1);
        if (run.diverged) {
            return {};
        }
        const Image& shown = renderer->GetImage();
        return QImage(shown.Shown().data(), shown.Width(), shown.Height(),
                      static_cast<qsizetype>(shown.Width()) * 3, QImage::Format_BGR888)
            .copy(); // the bytes go with the renderer
    } catch (const std::exception&) {
        return {}; // a recipe the renderers refuse shows as no picture
    }
}

} // namespace vorticel
