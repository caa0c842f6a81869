// The camera, framing, preview ring and image of every renderer.
#include "render/bitmap3d.h"

#include "render/bmp_writer.h"
#include "render/camera_state.h"
#include "render/preview_surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace vorticel {
namespace {

constexpr double kLargest = std::numeric_limits<double>::max();
constexpr double kPi = 3.14159265358979323846;

void GrowMin(double& m, double v) {
    if (!(v >= m)) {
        m = v;
    }
}

void GrowMax(double& m, double v) {
    if (v > m) {
        m = v;
    }
}

} // namespace

TBitmap3D::TBitmap3D(PreviewSurface* surface) : view(surface) {
    pointRing.assign(static_cast<std::size_t>(ringSize), Vecd{});
    SetBackgroundColour({0.0f, 0.0f, 0.0f});
    SetPointColour({1.0f, 1.0f, 1.0f});
    InitPreview();
}

TBitmap3D::TBitmap3D(PreviewSurface* surface, const TBitmap3D& source) : view(surface) {
    screenMin = source.screenMin;
    screenMax = source.screenMax;
    boundsMin = source.boundsMin;
    centre = source.centre;
    boundsMax = source.boundsMax;
    panX = source.panX;
    panY = source.panY;
    rotationAxis = source.rotationAxis;
    rotationAngle = source.rotationAngle;
    viewWidth = source.viewWidth;
    viewHeight = source.viewHeight;
    aspect = source.aspect;
    nearPlane = source.nearPlane;
    farPlane = source.farPlane;
    depthRange = source.depthRange;
    eye = source.eye;
    target = source.target;
    zoom = source.zoom;
    fitMargin = source.fitMargin;
    ringSize = source.ringSize;
    pointRing = source.pointRing;
    modelViewValid = false;
    savedZoom = 0.0;
    ringIndex = 0;
    SetBackgroundColour(source.backgroundColour);
    SetPointColour(source.pointColour);
    InitPreview();
    UpdateProjection();
}

TBitmap3D::~TBitmap3D() = default;

void TBitmap3D::AttachSurface(PreviewSurface* surface) {
    view = surface;
    NotifyStateChanged();
}

void TBitmap3D::NotifyStateChanged() {
    if (view) {
        view->StateChanged(*this);
    }
}

void TBitmap3D::InitPreview() {
    fogColour = {0.75f * backgroundColour.r + 0.25f * pointColour.r,
                 0.75f * backgroundColour.g + 0.25f * pointColour.g,
                 0.75f * backgroundColour.b + 0.25f * pointColour.b};
    NotifyStateChanged();
}

void TBitmap3D::SetBackgroundColour(const ColourRGB& colour) {
    backgroundColour = colour;
    NotifyStateChanged();
}

void TBitmap3D::SetPointColour(const ColourRGB& colour) {
    pointColour = colour;
    NotifyStateChanged();
}

void TBitmap3D::SetWidth(std::int32_t width) {
    imageWidth = width > 0 ? (width & 0xFFFC) : 0;
    if (imageHeight > 0) {
        ResizeOrEmpty();
    }
}

void TBitmap3D::SetHeight(std::int32_t height) {
    imageHeight = height > 0 ? height : 0;
    if (imageWidth > 0) {
        ResizeOrEmpty();
    }
}

void TBitmap3D::ResizeOrEmpty() {
    const std::int64_t pixels = std::int64_t{imageWidth} * imageHeight;
    const std::string size = std::to_string(imageWidth) + "x" + std::to_string(imageHeight);
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
    // Leave a consistent, empty bitmap behind: nothing may index buffers that do not exist.
    imageWidth = 0;
    imageHeight = 0;
    ResizeBuffers();
    throw RenderError(failure);
}

void TBitmap3D::ResizeBuffers() {
    pixelCount = imageWidth * imageHeight;
    if (pixelCount > 0) {
        aspect = static_cast<double>(imageWidth) / imageHeight;
        viewHeight = viewWidth / aspect;
    }
    const auto bytes = static_cast<std::size_t>(pixelCount) * 3;
    imageBuffer.assign(bytes, 0);
    bitmap.assign(bytes, 0);
    NotifyStateChanged(); // the viewport
    UpdateProjection();
}

void TBitmap3D::UpdateProjection() {
    projectionMatrix = OrthoMatrix(-viewWidth / 2, viewWidth / 2, -viewHeight / 2, viewHeight / 2,
                                   nearPlane, farPlane);
    depthRange = farPlane - nearPlane;
    if (modelViewValid) {
        combinedMatrix = Multiply(projectionMatrix, modelViewMatrix);
    }
    NotifyStateChanged();
}

void TBitmap3D::UpdateModelView() {
    modelViewMatrix =
        ModelViewMatrix(eye, target, zoom, panX, panY, rotationAxis, rotationAngle, centre);
    combinedMatrix = Multiply(projectionMatrix, modelViewMatrix);
    modelViewValid = true;
    NotifyStateChanged();
}

void TBitmap3D::SetEye(const Vecd& p) {
    eye = p;
    UpdateModelView();
}

void TBitmap3D::SetTarget(const Vecd& p) {
    target = p;
    UpdateModelView();
}

void TBitmap3D::ScreenPosition(const Vecd& p, double& sx, double& sy) const {
    const Matrix4& m = combinedMatrix;
    sx = (m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12] + 1.0) * 0.5;
    sy = (m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13] + 1.0) * 0.5;
}

void TBitmap3D::StorePoint(const Vecd& p) {
    if (ringSize <= 0) {
        return;
    }
    pointRing[static_cast<std::size_t>(ringIndex % ringSize)] = p;
    ringIndex = (ringIndex + 1) % ringSize;
}

void TBitmap3D::TrackPoint(const Vecd& p) {
    GrowMin(boundsMin.x, p.x);
    GrowMin(boundsMin.y, p.y);
    GrowMin(boundsMin.z, p.z);
    GrowMax(boundsMax.x, p.x);
    GrowMax(boundsMax.y, p.y);
    GrowMax(boundsMax.z, p.z);
    double sx = 0.0;
    double sy = 0.0;
    ScreenPosition(p, sx, sy);
    GrowMin(screenMin.x, sx);
    GrowMin(screenMin.y, sy);
    GrowMax(screenMax.x, sx);
    GrowMax(screenMax.y, sy);
    StorePoint(p);
}

void TBitmap3D::ResetView() {
    boundsMax = centre = boundsMin = screenMax = screenMin = Vecd{};
    panX = 0.0;
    panY = 0.0;
    savedZoom = zoom;
    zoom = 1.0;
    UpdateModelView();
    ringIndex = 0;
    boundsMin = screenMin = {kLargest, kLargest, kLargest};
    boundsMax = screenMax = {-kLargest, -kLargest, -kLargest};
}

void TBitmap3D::FitView(bool recomputeZoom) {
    if (recomputeZoom) {
        const double dx = screenMax.x - screenMin.x;
        const double dy = screenMax.y - screenMin.y;
        if (dx == 0.0 && dy == 0.0) {
            zoom = 1.0;
        } else {
            // A cloud that is all but a point would take a zoom no camera holds.
            zoom = std::clamp((1.0 - fitMargin) / (dx > dy ? dx : dy), kMinZoom, kMaxZoom);
        }
        savedZoom = zoom;
    } else {
        zoom = savedZoom;
    }
    centre = (boundsMin + boundsMax) * 0.5;
    projectedCentre = ProjectPoint(centre);
    panX = (screenMin.x + screenMax.x) / 2 - projectedCentre.x / imageWidth;
    panY = (projectedCentre.y / imageHeight - (screenMin.y + screenMax.y) / 2) / aspect;
    UpdateModelView();
}

void TBitmap3D::RotateByDrag(double dx, double dy) {
    const double d = std::sqrt(dx * dx + dy * dy);
    if (!(d >= 1.0) || imageWidth <= 0) {
        return;
    }
    const Vecd axis{dy / d, dx / d, 0.0};
    const double theta = d * kPi / imageWidth;
    const std::array<double, 9> a = RotationRows(rotationAxis, rotationAngle);
    const std::array<double, 9> b = RotationRows(axis, theta);
    std::array<double, 9> q{};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            q[row * 3 + col] =
                a[row * 3] * b[col] + a[row * 3 + 1] * b[3 + col] + a[row * 3 + 2] * b[6 + col];
        }
    }
    double cosine = (q[0] + q[4] + q[8] - 1.0) / 2.0;
    cosine = cosine > 1.0 ? 1.0 : (cosine < -1.0 ? -1.0 : cosine); // rounding can leave +-1
    rotationAngle = std::acos(cosine);
    const double s = std::sin(rotationAngle);
    const double turns = s / kPi;
    if (std::fabs(turns - std::trunc(turns)) >= 1e-7) {
        rotationAxis = Vecd{q[5] - q[7], q[6] - q[2], q[1] - q[3]} / (2.0 * s);
    } else {
        rotationAxis = {0.0, 1.0, 0.0};
    }
    const double length = std::sqrt(Dot(rotationAxis, rotationAxis));
    if (length > 0.0) {
        rotationAxis = rotationAxis / length;
    }
}

void TBitmap3D::ClearImage() {
    const std::uint8_t bgr[3] = {ChannelByte(backgroundColour.b), ChannelByte(backgroundColour.g),
                                 ChannelByte(backgroundColour.r)};
    for (std::size_t i = 0; i < imageBuffer.size(); i += 3) {
        std::memcpy(&imageBuffer[i], bgr, 3);
    }
    CopyBufferToBitmap();
}

bool TBitmap3D::ShadeImage() {
    if (!BeginShade()) {
        return false;
    }
    ShadeRows(0, imageHeight);
    return true;
}

void TBitmap3D::FinishImage() {
    if (ShadeImage()) {
        CopyBufferToBitmap();
    }
}

void TBitmap3D::DropImage() {
    imageBuffer = std::vector<std::uint8_t>();
    bitmap = std::vector<std::uint8_t>();
    pointRing = std::vector<Vecd>();
    ringSize = 0;
    ringIndex = 0;
    view = nullptr;
}

void TBitmap3D::CopyBufferToBitmap() {
    if (imageBuffer.empty()) {
        return;
    }
    const auto row = static_cast<std::size_t>(imageWidth) * 3;
    for (std::int32_t i = 0; i < imageHeight; ++i) {
        std::memcpy(&bitmap[static_cast<std::size_t>(imageHeight - 1 - i) * row],
                    &imageBuffer[static_cast<std::size_t>(i) * row], row);
    }
}

void TBitmap3D::DrawPreview() {
    UpdateModelView();
    if (view) {
        view->DrawPreview(*this);
    }
}

void TBitmap3D::RenderStoredPoints() {
    ClearImage();
    for (std::int32_t i = 0; i < ringSize; ++i) {
        PlotPoint(ProjectPoint(pointRing[static_cast<std::size_t>(i)]));
    }
    FinishImage();
    if (view) {
        view->ShowImage(*this);
    }
}

void TBitmap3D::SaveBmp(const std::string& fileName) const {
    WriteBmp(fileName, imageWidth, imageHeight, bitmap);
}

} // namespace vorticel
