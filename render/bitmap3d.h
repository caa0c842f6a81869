// TBitmap3D: the camera, the preview ring and the image shared by the five renderers.
#pragma once

#include "attractor/vecd.h"
#include "render/camera.h"
#include "render/colour.h"
#include "render/image_size.h"

#include <cstdint>
#include <memory>
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
    std::size_t Begin(std::size_t size) const { return size * index / count; }
    std::size_t End(std::size_t size) const { return size * (index + 1) / count; }
};

// An image size whose buffers cannot be allocated.
class RenderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TBitmap3D {
public:
    static constexpr std::int32_t kDefaultRingSize = 20000;
    static constexpr std::int64_t kMaxPixels = kMaxImagePixels;

    virtual ~TBitmap3D();
    TBitmap3D& operator=(const TBitmap3D&) = delete;

    // Each renderer's own colours, shading values and kind.
    virtual void SetDefaults() = 0;
    // Rebuilds `projectionMatrix` (orthographic box) and, once the model-view is valid,
    // `combinedMatrix`.
    virtual void UpdateProjection();
    // Rebuilds `modelViewMatrix` from eye, target, zoom, pan, rotation and centre.
    virtual void UpdateModelView();
    virtual void ComputeMaxima() {}
    // Reallocates every per-pixel buffer for the current size (contents are lost).
    virtual void ResizeBuffers();
    // Accumulates one projected point (pixel x, pixel y, depth 0..1).
    virtual void PlotPoint(const Vecd& q) = 0;
    // Fills the image with the background and empties the accumulation.
    virtual void ClearImage();
    // Turns the accumulation into `imageBuffer` in two parts, so that a render run can shade
    // bands of rows on several threads off the caller's: BeginShade finds the maxima and says
    // whether there is anything to show (false: the image keeps what ClearImage drew), then
    // ShadeRows fills rows firstRow .. endRow - 1 (row 0 at the bottom), bands in any order.
    // Both read the accumulation and write only the maxima and `imageBuffer`.
    virtual bool BeginShade() { return false; }
    virtual void ShadeRows(std::int32_t /*firstRow*/, std::int32_t /*endRow*/) {}
    // BeginShade, then ShadeRows over the whole image.
    bool ShadeImage();
    // Framing pass: ResetView, TrackPoint for each point, FitView.
    virtual void ResetView();
    virtual void TrackPoint(const Vecd& p);
    virtual void FitView(bool recomputeZoom);
    virtual void DrawPreview();
    // World point -> (pixel x, pixel y, depth), linear (no division by w).
    virtual Vecd ProjectPoint(const Vecd& p) { return ProjectBase(p); }
    virtual void StorePoint(const Vecd& p);
    // The render's inner loop: ProjectPoint, PlotPoint and Step until the attractor's count
    // reaches `endCount` or it diverges. Dispatched once per chunk so the per-point calls
    // are direct.
    virtual void Accumulate(Attractor& attractor, std::int32_t endCount) = 0;

    // For one worker of a render run: a renderer of the same class and state (camera,
    // shading, the accumulation as it stands), without image, ring or surface.
    virtual std::unique_ptr<TBitmap3D> CopyForWorker() const = 0;
    // Sets this renderer's accumulation to the merge of the workers' (each a CopyForWorker of
    // this renderer, in worker order): the whole render as one image, ready for FinishImage.
    // Merged soft depths also go back to the workers (see render/merge.h). Does `part` of the
    // work only, a slice of every buffer; the parts may run at once on different threads.
    virtual void MergeWorkers(const std::vector<TBitmap3D*>& workers, MergePart part) = 0;
    // Whether the accumulation holds soft depths, which a run's workers share as they go.
    virtual bool KeepsSoftDepths() const { return false; }
    // Bytes of the accumulation buffers one worker holds.
    virtual std::int64_t AccumulationBytes() const = 0;

    // Turns the accumulation into the image: ShadeImage, then CopyBufferToBitmap.
    void FinishImage();

    // The width is rounded down to a multiple of 4 (below 65536). Buffers exist once both
    // sides are positive. Throws RenderError when they cannot be allocated; the bitmap is
    // then left empty (0 x 0).
    void SetWidth(std::int32_t width);
    void SetHeight(std::int32_t height);

    void SetBackgroundColour(const ColourRGB& colour);
    void SetPointColour(const ColourRGB& colour);
    // Copies `imageBuffer` (bottom row first) into the top-down `bitmap`.
    void CopyBufferToBitmap();
    void SetEye(const Vecd& p);
    void SetTarget(const Vecd& p);
    // Turns the view by a mouse drag of (dx, dy) pixels, dy positive upwards.
    void RotateByDrag(double dx, double dy);
    // A quick render of the preview ring.
    void RenderStoredPoints();
    // The image as a 24-bit BMP file; throws FileError.
    void SaveBmp(const std::string& fileName) const;

    void AttachSurface(PreviewSurface* surface);
    PreviewSurface* Surface() const { return view; }

    bool modelViewValid = false;
    double savedZoom = 1.0;
    std::int32_t ringIndex = 0;
    std::vector<std::uint8_t> imageBuffer; // blue, green, red per pixel; row 0 at the bottom
    std::int32_t imageWidth = 0;
    std::int32_t imageHeight = 0;
    std::int32_t pixelCount = 0;
    std::int32_t plotX = 0;
    std::int32_t plotY = 0;
    double viewWidth = 1.0;
    double viewHeight = 1.0;
    Matrix4 projectionMatrix{};
    Matrix4 modelViewMatrix{};
    Matrix4 combinedMatrix{};
    double nearPlane = 1.0;
    double farPlane = 50.0;
    double depthRange = 49.0;
    double fitMargin = 0.05;
    Vecd eye;
    Vecd target;
    Vecd projectedCentre;
    std::vector<Vecd> pointRing;
    Vecd rotationAxis;
    double rotationAngle = 0.0;
    ColourRGB backgroundColour;
    ColourRGB pointColour{1.0f, 1.0f, 1.0f};
    ColourRGB fogColour; // of the preview; set when the preview is initialised
    RendererKind kind = kGas;
    std::int32_t ringSize = kDefaultRingSize;
    double zoom = 1.0;
    double panX = 0.0;
    double panY = 0.0;
    double aspect = 1.0;
    Vecd screenMin;
    Vecd screenMax;
    Vecd boundsMin;
    Vecd boundsMax;
    Vecd centre;
    // The image as the window shows it: top row first, blue, green, red, width x 3 bytes a row.
    std::vector<std::uint8_t> bitmap;

protected:
    explicit TBitmap3D(PreviewSurface* surface);
    // Everything, buffers included; CopyForWorker's start.
    TBitmap3D(const TBitmap3D&) = default;
    // The shared part of switching kinds: camera, ring and colours from `source`.
    TBitmap3D(PreviewSurface* surface, const TBitmap3D& source);

    // The base projection; renderers that extend ProjectPoint call it directly.
    Vecd ProjectBase(const Vecd& p) const {
        const Matrix4& m = combinedMatrix;
        return {(m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12] + 1.0) * imageWidth * 0.5,
                (m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13] + 1.0) * imageHeight * 0.5,
                (m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14] + 1.0) * 0.5};
    }
    // Normalised screen coordinates (0..1) of a world point.
    void ScreenPosition(const Vecd& p, double& sx, double& sy) const;

    // Sets up the preview: fog colour from the current colours, surface told.
    void InitPreview();
    void NotifyStateChanged();
    // Frees what only the shown renderer needs (image, bitmap, ring) and forgets the surface:
    // what is left of a copy is the accumulation and what plotting reads.
    void DropImage();

    PreviewSurface* view = nullptr; // not owned

private:
    void ResizeOrEmpty();
};

// A renderer of kind 0..4 for `surface` (may be null); null for any other kind.
std::unique_ptr<TBitmap3D> CreateRenderer(PreviewSurface* surface, int kind);
// A renderer of `kind` that takes over the camera, ring, size and, where the kinds share
// them, the shading values of `source`.
std::unique_ptr<TBitmap3D> CreateRenderer(int kind, const TBitmap3D& source);

} // namespace vorticel
