// The colours, size, band and preview of every renderer, and what it does with its camera,
// ring and image.
#include "render/renderer.h"

#include "render/preview_surface.h"

#include <new>
#include <utility>

namespace vorticel {

Renderer::Renderer(PreviewSurface* surface) : surface_(surface) {
    SetBackgroundColour({0.0f, 0.0f, 0.0f});
    SetPointColour({1.0f, 1.0f, 1.0f});
    InitPreview();
}

Renderer::Renderer(PreviewSurface* surface, const Renderer& source)
    : camera_(source.camera_), surface_(surface) {
    // As a new renderer's: the zoom kept for "Centrer" comes from the next framing pass, and
    // the size from CreateRenderer once the new kind is built.
    camera_.SetSavedZoom(0.0);
    camera_.SetImageSize(0, 0);
    ring_.Restore(source.ring_.Points(), 0);
    SetBackgroundColour(source.backgroundColour_);
    SetPointColour(source.pointColour_);
    InitPreview();
    NotifyStateChanged();
}

Renderer::Renderer(const Renderer& other)
    : camera_(other.camera_), backgroundColour_(other.backgroundColour_),
      pointColour_(other.pointColour_), fogColour_(other.fogColour_), kind_(other.kind_),
      tileBinning_(other.tileBinning_), bandFirst_(other.bandFirst_), bandEnd_(other.bandEnd_),
      firstRow_(other.firstRow_), bandRows_(other.bandRows_), holdsImage_(other.holdsImage_),
      imposed_(other.imposed_) {
    ring_.Drop();
}

Renderer::~Renderer() = default;

void Renderer::AttachSurface(PreviewSurface* surface) {
    surface_ = surface;
    NotifyStateChanged();
}

void Renderer::NotifyStateChanged() {
    if (surface_) {
        surface_->StateChanged(*this);
    }
}

void Renderer::InitPreview() {
    SetFogColour({0.75f * backgroundColour_.r + 0.25f * pointColour_.r,
                  0.75f * backgroundColour_.g + 0.25f * pointColour_.g,
                  0.75f * backgroundColour_.b + 0.25f * pointColour_.b});
}

void Renderer::SetFogColour(const ColourRGB& colour) {
    fogColour_ = colour;
    NotifyStateChanged();
}

void Renderer::SetBackgroundColour(const ColourRGB& colour) {
    backgroundColour_ = colour;
    NotifyStateChanged();
}

void Renderer::SetPointColour(const ColourRGB& colour) {
    pointColour_ = colour;
    NotifyStateChanged();
}

void Renderer::SetWidth(std::int32_t width) {
    camera_.SetImageSize(width > 0 ? (width & 0xFFFC) : 0, Height());
    if (Height() > 0) {
        ResizeOrEmpty();
    }
}

void Renderer::SetHeight(std::int32_t height) {
    camera_.SetImageSize(Width(), height > 0 ? height : 0);
    if (Width() > 0) {
        ResizeOrEmpty();
    }
}

void Renderer::SetBand(std::int32_t firstRow, std::int32_t endRow) {
    bandFirst_ = firstRow;
    bandEnd_ = endRow;
    if (Width() > 0 && Height() > 0) {
        ResizeOrEmpty();
    }
}

void Renderer::ResizeOrEmpty() {
    // What is held is the band: a poster of any size is rendered in bands that fit.
    std::int32_t first = 0;
    std::int32_t end = 0;
    BandFor(Height(), first, end);
    const std::int64_t pixels = std::int64_t{Width()} * (end - first);
    const std::string size = std::to_string(Width()) + "x" + std::to_string(Height());
    std::string failure;
    if (pixels > kMaxPixels) {
        failure = "image size " + size + " is too large";
    } else {
        try {
            ResizeBuffers();
            return;
        } catch (const std::bad_alloc&) {
            failure = "not enough memory for an image of " + size;
        } catch (const std::length_error&) {
            failure = "not enough memory for an image of " + size;
        }
    }
    // Leave a consistent, empty renderer behind: nothing may index buffers that do not exist.
    camera_.SetImageSize(0, 0);
    ResizeBuffers();
    throw RenderError(failure);
}

void Renderer::BandFor(std::int32_t height, std::int32_t& first, std::int32_t& end) const {
    first = bandFirst_ < 0 ? 0 : (bandFirst_ > height ? height : bandFirst_);
    end = bandEnd_ <= 0 || bandEnd_ > height ? height : bandEnd_;
    end = end > first ? end : first;
}

void Renderer::ResizeBuffers() {
    const std::int32_t height = Height();
    std::int32_t first = 0;
    std::int32_t end = 0;
    BandFor(height, first, end);
    firstRow_ = first;
    bandRows_ = end - first;
    if (holdsImage_) {
        image_.Resize(Width(), bandRows_);
    } else {
        image_.Drop();
    }
    camera_.SetImageSize(Width(), height); // the view box follows the aspect
    NotifyStateChanged();                  // the viewport
}

void Renderer::SetCamera(const Camera& camera) {
    camera_.TakePose(camera);
    NotifyStateChanged();
}

void Renderer::UpdateModelView() {
    camera_.UpdateModelView();
    NotifyStateChanged();
}

void Renderer::RestoreRing(std::vector<Vecd> points, std::int32_t index) {
    ring_.Restore(std::move(points), index);
}

void Renderer::TrackPoint(const Vecd& p) {
    ring_.Track(camera_, p);
}

void Renderer::ResetView() {
    ring_.BeginFraming(camera_);
    NotifyStateChanged();
}

void Renderer::FitView(bool recomputeZoom) {
    // The centre is projected as this renderer projects points, through the pass's camera.
    const Vecd projectedCentre = ProjectPoint(PreviewRing::FitCentre(camera_));
    ring_.Fit(camera_, recomputeZoom, projectedCentre);
    NotifyStateChanged();
}

void Renderer::ClearImage() {
    image_.FillAndPublish(backgroundColour_);
}

void Renderer::ShadeRows(std::int32_t firstRow, std::int32_t endRow) {
    if (firstRow < endRow && !image_.Empty()) {
        ShadeRowsTo(firstRow, endRow,
                    image_.Pixel(static_cast<std::size_t>(firstRow) *
                                 static_cast<std::size_t>(image_.Width())));
    }
}

bool Renderer::ShadeImage() {
    if (!BeginShade()) {
        return false;
    }
    ShadeRows(0, bandRows_);
    return true;
}

void Renderer::FinishImage() {
    if (ShadeImage()) {
        image_.Publish();
    }
}

void Renderer::DropImage() {
    image_.Drop();
    ring_.Drop();
    surface_ = nullptr;
}

void Renderer::DrawPreview() {
    UpdateModelView();
    if (surface_) {
        surface_->DrawPreview(*this);
    }
}

void Renderer::RenderStoredPoints() {
    ClearImage();
    for (const Vecd& p : ring_.Points()) {
        PlotPoint(ProjectPoint(p));
    }
    FinishImage();
    if (surface_) {
        surface_->ShowImage(*this);
    }
}

} // namespace vorticel
