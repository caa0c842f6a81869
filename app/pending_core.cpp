// The plainest bodies of the pending poster and animation core (whole images, no strips).
#include "app/pending_core.h"

#include "attractor/attractor.h"
#include "render/renderer.h"

#include <cmath>
#include <cstdio>

namespace vorticel {

PosterResult RenderPoster(const ImageRecipe& recipe, const PosterOptions& options,
                          const std::string& fileName, const PosterHooks& hooks) {
    ImageRecipe sized = recipe;
    sized.width = options.width;
    sized.height = options.height;
    const std::unique_ptr<Attractor> attractor = MakeAttractor(sized);
    const std::unique_ptr<Renderer> bitmap = MakeRenderer(sized, nullptr);
    PosterResult result;
    if (!Fit(*attractor, *bitmap, kFitPoints, FitMode::PreviewOnly)) {
        result.diverged = true;
        return result;
    }
    RunHooks run;
    run.progress = [&](std::int32_t count) {
        if (hooks.progress) {
            hooks.progress({static_cast<double>(count) / sized.iterations, 0, 1});
        }
    };
    run.stopRequested = [&] { return hooks.stopRequested && hooks.stopRequested(); };
    const RenderRunResult r =
        RenderRun(*attractor, *bitmap, sized.iterations, 1, run, sized.workers.value_or(0));
    result.threads = r.threads;
    result.count = r.count;
    result.stopped = r.stopped;
    result.diverged = r.diverged;
    if (!r.stopped) {
        SaveImagePng(fileName, sized, *bitmap);
    }
    return result;
}

void SaveImagePng(const std::string& fileName, const ImageRecipe& recipe, Renderer& bitmap, int) {
    SaveImagePng(fileName, recipe, static_cast<const Renderer&>(bitmap));
}

void CheckAnimation(const Animation& a) {
    if (a.keys.empty() || (a.keys.size() < 2 && a.turnDegrees == 0.0)) {
        throw AnimationError("deux clés au moins, ou une clé et un tour");
    }
    for (std::size_t i = 1; i < a.keys.size(); ++i) {
        if (a.keys[i].family != a.keys[0].family || a.keys[i].renderer != a.keys[0].renderer) {
            throw AnimationError(a.keyNames[i] + " : autre famille ou autre rendu");
        }
    }
}

ImageRecipe FrameRecipe(const Animation& a, std::int32_t frame) {
    const double t = a.frames > 1 ? static_cast<double>(frame - 1) / (a.frames - 1) : 0.0;
    ImageRecipe r = a.keys[static_cast<std::size_t>(std::lround(t * (a.keys.size() - 1)))];
    r.width = a.width;
    r.height = a.height;
    r.iterations = a.iterations;
    return r;
}

std::string FormatAnimation(const Animation&) {
    throw AnimationError("pending");
}

Animation ParseAnimation(std::string_view) {
    throw AnimationError("pending");
}

std::string FrameFileName(const Animation&, std::int32_t frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%04d.png", frame);
    return name;
}

AnimationRunResult RenderAnimation(const Animation& a, const std::string& folder,
                                   std::int32_t first, std::int32_t last,
                                   const AnimationHooks& hooks) {
    AnimationRunResult result;
    for (std::int32_t k = first; k <= last; ++k) {
        const ImageRecipe r = FrameRecipe(a, k);
        PosterOptions options;
        options.width = a.width;
        options.height = a.height;
        PosterHooks ph;
        ph.progress = [&](const PosterProgress& p) {
            if (hooks.progress) {
                hooks.progress(k, (k - first + p.fraction) / (last - first + 1));
            }
        };
        ph.stopRequested = hooks.stopRequested;
        if (RenderPoster(r, options, folder + "/" + FrameFileName(a, k), ph).stopped) {
            result.stopped = true;
            break;
        }
        ++result.written;
    }
    return result;
}

bool VideoEncoderAvailable() {
    return false;
}

void EncodeVideo(const std::string&, const Animation&, const std::string&) {
    throw AnimationError("pending");
}

} // namespace vorticel
