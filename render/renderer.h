// Renderer: what the five renderers share. Each accumulates projected points into buffers of
// its own and shades them into an image; the camera, the preview ring with the framing pass
// and the image are values of their own types that the renderer holds.
#pragma once

#include "attractor/vecd.h"
#include "render/camera.h"
#include "render/colour.h"
#include "render/image.h"
#include "render/image_size.h"
#include "render/preview_ring.h"
#include "render/shade_statistics.h"
#include "render/splat.h"
#include "render/tile_bins.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorticel {

class Attractor;
class PreviewSurface;

// Part `index` of `count` of a job cut into slices of its buffers (a merge of workers' buffers).
struct MergePart {
    std::size_t index = 0;
    std::size_t count = 1;
    // The workers will not write to their buffers again: a merge in one part of one worker
    // may then take its buffers over instead of copying them.
    bool workersDone = false;
    std::size_t Begin(std::size_t size) const { return size * index / count; }
    std::size_t End(std::size_t size) const { return size * (index + 1) / count; }
};

// An image size whose buffers cannot be allocated.
class RenderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Renderer {
public:
    static constexpr std::int32_t kDefaultRingSize = PreviewRing::kDefaultSize;
    static constexpr std::int64_t kMaxPixels = kMaxImagePixels;

    virtual ~Renderer();
    Renderer& operator=(const Renderer&) = delete;

    RendererKind Kind() const { return kind_; }
    // Each renderer's own colours, shading values and kind.
    virtual void SetDefaults() = 0;
    // Accumulates one projected point (pixel x, pixel y, depth 0..1).
    virtual void PlotPoint(const Vecd& q) = 0;
    // Fills the image with the background and empties the accumulation.
    virtual void ClearImage();
    // Turns the accumulation into the image in two parts, so that a render run can shade
    // bands of rows on several threads off the caller's: BeginShade finds the maxima and says
    // whether there is anything to show (false: the image keeps what ClearImage drew), then
    // ShadeRows fills rows firstRow .. endRow - 1 of BandRows() (row 0 at the bottom), bands
    // in any order. Both read the accumulation and write only the maxima and the image.
    virtual bool BeginShade() { return false; }
    void ShadeRows(std::int32_t firstRow, std::int32_t endRow);
    // As ShadeRows, the same bytes, into `bgrOut` instead of the image: the rows in that
    // order, blue, green, red, width x 3 bytes each.
    virtual void ShadeRowsTo(std::int32_t /*firstRow*/, std::int32_t /*endRow*/,
                             std::uint8_t* /*bgrOut*/) const {}
    // BeginShade, then ShadeRows over the whole band.
    bool ShadeImage();
    // Rows firstRow .. endRow - 1 of the band (row 0 at the bottom, the rows in that order)
    // into `rgbOut`: red, green, blue, 16 bits each, width x 3 values a row; the tone curve
    // evaluated without the rounding to bytes. After a BeginShade that returned true.
    virtual void ShadeRows16(std::int32_t /*firstRow*/, std::int32_t /*endRow*/,
                             std::uint16_t* /*rgbOut*/) const {}

    // What BeginShade would find over this band's accumulation.
    virtual ShadeStatistics BandStatistics() const { return RowStatistics(0, BandRows()); }
    // The same over rows firstRow .. endRow - 1 of the band only (a strip without its margins,
    // whose partial sums are no pixel's own).
    virtual ShadeStatistics RowStatistics(std::int32_t /*firstRow*/,
                                          std::int32_t /*endRow*/) const {
        return {};
    }
    // Two bands' statistics as one: associative and commutative (every value a maximum here).
    virtual ShadeStatistics CombineStatistics(const ShadeStatistics& a,
                                              const ShadeStatistics& b) const {
        return LargerOfEach(a, b);
    }
    // While set, BeginShade shades with these rather than its own band's; nullopt: its own.
    void ImposeStatistics(std::optional<ShadeStatistics> statistics) { imposed_ = statistics; }
    const std::optional<ShadeStatistics>& ImposedStatistics() const { return imposed_; }
    // Framing pass: ResetView, TrackPoint for each point, FitView (see PreviewRing).
    virtual void ResetView();
    virtual void TrackPoint(const Vecd& p);
    virtual void FitView(bool recomputeZoom);
    // World point -> (pixel x, pixel y, depth), linear (no division by w).
    virtual Vecd ProjectPoint(const Vecd& p) { return ProjectBase(p); }
    // The render's inner loop: ProjectPoint, PlotPoint and Step until the attractor's count
    // reaches `endCount` or it diverges. Dispatched once per chunk so the per-point calls
    // are direct.
    virtual void Accumulate(Attractor& attractor, std::int32_t endCount) = 0;

    // For one worker of a render run: a renderer of the same class and state (camera,
    // shading, the accumulation as it stands), without image, ring or surface.
    virtual std::unique_ptr<Renderer> CopyForWorker() const = 0;
    // Sets this renderer's accumulation to the merge of the workers' (each a CopyForWorker of
    // this renderer, in worker order): the whole render as one image, ready for FinishImage.
    // Merged soft depths also go back to the workers (see render/merge.h). Does `part` of the
    // work only, a slice of every buffer; the parts may run at once on different threads.
    virtual void MergeWorkers(const std::vector<Renderer*>& workers, MergePart part) = 0;
    // Whether the accumulation holds soft depths, which a run's workers share as they go.
    virtual bool KeepsSoftDepths() const { return false; }
    // Bytes of the accumulation buffers one worker holds.
    virtual std::int64_t AccumulationBytes() const = 0;
    // Bytes one worker's tile bins hold at most, 0 when Accumulate does not bin.
    virtual std::int64_t BinBytes() const { return 0; }
    // Whether Accumulate holds points back to splat them tile by tile (render/tile_bins.h):
    // the same bytes either way, only the speed differs. A run's workers take it over.
    void SetTileBinning(TileBinning binning) { tileBinning_ = binning; }
    TileBinning GetTileBinning() const { return tileBinning_; }
    // Whether Accumulate bins, for buffers of `pixelBytes` per pixel of the band.
    bool BinsTiles(std::int64_t pixelBytes) const {
        return tileBinning_ == TileBinning::Always ||
               (tileBinning_ == TileBinning::Auto &&
                std::int64_t{PixelCount()} * pixelBytes >= kTileBinningFromBytes);
    }

    // Turns the accumulation into the image: ShadeImage, then PublishImage.
    void FinishImage();
    // A quick render of the preview ring.
    void RenderStoredPoints();

    // The width is rounded down to a multiple of 4 (below 65536). Buffers exist once both
    // sides are positive. Throws RenderError when they cannot be allocated; the renderer is
    // then left empty (0 x 0).
    void SetWidth(std::int32_t width);
    void SetHeight(std::int32_t height);
    std::int32_t Width() const { return camera_.Width(); }
    std::int32_t Height() const { return camera_.Height(); }
    // The rows of the image this renderer accumulates and shades: firstRow .. endRow - 1
    // (endRow 0: up to the top), the whole image unless told. Its buffers and its image hold
    // these rows only; a band's outermost rows and columns are a margin that receives no
    // point, as the image's are.
    void SetBand(std::int32_t firstRow, std::int32_t endRow);
    std::int32_t FirstRow() const { return firstRow_; }
    std::int32_t BandRows() const { return bandRows_; }
    // Pixels of the band.
    std::int64_t PixelCount() const { return std::int64_t{Width()} * bandRows_; }

    const Camera& GetCamera() const { return camera_; }
    // The camera to turn, pan or zoom in place; DrawPreview then shows it.
    Camera& GetCamera() { return camera_; }
    // Puts `camera` in place (its pose; the image size stays this renderer's).
    void SetCamera(const Camera& camera);
    // Rebuilds the camera's model-view and tells the surface.
    void UpdateModelView();

    const PreviewRing& Ring() const { return ring_; }
    void StorePoint(const Vecd& p) { ring_.Store(p); }
    // Puts back a ring taken earlier, to undo a pass.
    void RestoreRing(std::vector<Vecd> points, std::int32_t index);

    // The band's image: rows bottom-up, and the shown top-down copy.
    const Image& GetImage() const { return image_; }
    // Whether there is an image at all (from the next size on): a poster's strips shade their
    // rows straight into the file's (ShadeRowsTo) and do without.
    void SetHoldsImage(bool holds) { holdsImage_ = holds; }
    // Copies the image's rows into the shown copy.
    void PublishImage() { image_.Publish(); }

    void SetBackgroundColour(const ColourRGB& colour);
    void SetPointColour(const ColourRGB& colour);
    const ColourRGB& BackgroundColour() const { return backgroundColour_; }
    const ColourRGB& PointColour() const { return pointColour_; }
    // Of the preview; set when the preview is initialised.
    const ColourRGB& FogColour() const { return fogColour_; }

    void AttachSurface(PreviewSurface* surface);
    PreviewSurface* Surface() const { return surface_; }
    // Rebuilds the model-view and draws the preview ring on the surface.
    void DrawPreview();

protected:
    explicit Renderer(PreviewSurface* surface);
    // Everything but the image, the ring and the surface (what DropImage frees), buffers
    // included: CopyForWorker's start, which so never holds a second image even for a moment.
    Renderer(const Renderer& other);
    // The shared part of switching kinds: camera, ring and colours from `source`.
    Renderer(PreviewSurface* surface, const Renderer& source);

    // Reallocates every per-pixel buffer for the current size and band (contents are lost).
    virtual void ResizeBuffers();
    virtual void ComputeMaxima() {}

    // The base projection; renderers that extend ProjectPoint call it directly.
    Vecd ProjectBase(const Vecd& p) const { return camera_.Project(p); }
    // Where a projected point falls on the band's grid, `q.y` counted from the image's
    // bottom row; false when it falls in the margin or outside.
    bool SplatOnBand(const Vecd& q, Splat& s) const {
        std::int32_t ix = 0;
        std::int32_t iy = 0;
        return SplatAt(q.x, q.y - firstRow_, Width(), bandRows_, ix, iy, s);
    }
    // The same, kept as a place to splat later.
    bool PlaceOnBand(const Vecd& q, SplatPlace& at) const {
        return PlaceSplat(q.x, q.y - firstRow_, Width(), bandRows_, at);
    }
    // The soft depth test's sharpness: depth range x zoom x 10.
    double SoftDepthSharpness() const { return camera_.DepthRange() * camera_.Zoom() * 10.0; }
    PreviewRing& MutableRing() { return ring_; }

    void SetKind(RendererKind kind) { kind_ = kind; }
    void SetFogColour(const ColourRGB& colour);
    // Sets up the preview: fog colour from the current colours, surface told.
    void InitPreview();
    void NotifyStateChanged();
    // Frees what only the shown renderer needs (image, ring) and forgets the surface: what is
    // left of a copy is the accumulation and what plotting reads.
    void DropImage();

private:
    void ResizeOrEmpty();
    // The band's rows first .. end - 1 at image height `height`.
    void BandFor(std::int32_t height, std::int32_t& first, std::int32_t& end) const;

    Camera camera_;
    PreviewRing ring_;
    Image image_;
    ColourRGB backgroundColour_;
    ColourRGB pointColour_{1.0f, 1.0f, 1.0f};
    ColourRGB fogColour_;
    RendererKind kind_ = kGas;
    TileBinning tileBinning_ = TileBinning::Auto;
    std::int32_t bandFirst_ = 0; // as asked for
    std::int32_t bandEnd_ = 0;
    std::int32_t firstRow_ = 0; // as it applies to the current size
    std::int32_t bandRows_ = 0;
    bool holdsImage_ = true;
    PreviewSurface* surface_ = nullptr; // not owned
    std::optional<ShadeStatistics> imposed_;
};

// A renderer of kind 0..4 for `surface` (may be null); null for any other kind.
std::unique_ptr<Renderer> CreateRenderer(PreviewSurface* surface, int kind);
// A renderer of `kind` that takes over the camera, ring, size and, where the kinds share
// them, the shading values of `source`.
std::unique_ptr<Renderer> CreateRenderer(int kind, const Renderer& source);

} // namespace vorticel
