// The one switch on a renderer kind.
#include "render/bitmap3d.h"
#include "render/gas.h"
#include "render/light.h"
#include "render/solid.h"

namespace vorticel {
namespace {

template <class R> std::unique_ptr<TBitmap3D> Make(PreviewSurface* surface) {
    return std::make_unique<R>(surface);
}

template <class R> std::unique_ptr<TBitmap3D> MakeFrom(const TBitmap3D& source) {
    return std::make_unique<R>(source);
}

} // namespace

std::unique_ptr<TBitmap3D> CreateRenderer(PreviewSurface* surface, int kind) {
    switch (kind) {
    case kGas:
        return Make<TBitmap3D_Gas>(surface);
    case kLiquid:
        return Make<TBitmap3D_Liquid>(surface);
    case kLight:
        return Make<TBitmap3D_Light>(surface);
    case kPlasma:
        return Make<TBitmap3D_Plasma>(surface);
    case kSolid:
        return Make<TBitmap3D_Solid>(surface);
    default:
        return nullptr;
    }
}

std::unique_ptr<TBitmap3D> CreateRenderer(int kind, const TBitmap3D& source) {
    std::unique_ptr<TBitmap3D> renderer;
    switch (kind) {
    case kGas:
        renderer = MakeFrom<TBitmap3D_Gas>(source);
        break;
    case kLiquid:
        renderer = MakeFrom<TBitmap3D_Liquid>(source);
        break;
    case kLight:
        renderer = MakeFrom<TBitmap3D_Light>(source);
        break;
    case kPlasma:
        renderer = MakeFrom<TBitmap3D_Plasma>(source);
        break;
    case kSolid:
        renderer = MakeFrom<TBitmap3D_Solid>(source);
        break;
    default:
        return nullptr;
    }
    // Sized once fully built, so every kind allocates its own buffers exactly once.
    renderer->SetWidth(source.imageWidth);
    renderer->SetHeight(source.imageHeight);
    return renderer;
}

} // namespace vorticel
