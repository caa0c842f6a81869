// The one switch on a renderer kind.
#include "render/gas.h"
#include "render/light.h"
#include "render/renderer.h"
#include "render/solid.h"

namespace vorticel {
namespace {

template <class R> std::unique_ptr<Renderer> Make(PreviewSurface* surface) {
    return std::make_unique<R>(surface);
}

template <class R> std::unique_ptr<Renderer> MakeFrom(const Renderer& source) {
    return std::make_unique<R>(source);
}

} // namespace

std::unique_ptr<Renderer> CreateRenderer(PreviewSurface* surface, int kind) {
    switch (kind) {
    case kGas:
        return Make<GasRenderer>(surface);
    case kLiquid:
        return Make<LiquidRenderer>(surface);
    case kLight:
        return Make<LightRenderer>(surface);
    case kPlasma:
        return Make<PlasmaRenderer>(surface);
    case kSolid:
        return Make<SolidRenderer>(surface);
    default:
        return nullptr;
    }
}

std::unique_ptr<Renderer> CreateRenderer(int kind, const Renderer& source) {
    std::unique_ptr<Renderer> renderer;
    switch (kind) {
    case kGas:
        renderer = MakeFrom<GasRenderer>(source);
        break;
    case kLiquid:
        renderer = MakeFrom<LiquidRenderer>(source);
        break;
    case kLight:
        renderer = MakeFrom<LightRenderer>(source);
        break;
    case kPlasma:
        renderer = MakeFrom<PlasmaRenderer>(source);
        break;
    case kSolid:
        renderer = MakeFrom<SolidRenderer>(source);
        break;
    default:
        return nullptr;
    }
    // Sized once fully built, so every kind allocates its own buffers exactly once.
    renderer->SetWidth(source.Width());
    renderer->SetHeight(source.Height());
    return renderer;
}

} // namespace vorticel
