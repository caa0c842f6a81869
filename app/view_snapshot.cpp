// A view's edit history: taking snapshots, recording edits and putting a snapshot back.
#include "app/app_state.h"
#include "app/main_frame.h"
#include "app/palettes.h"
#include "app/view.h"
#include "app/view_operation.h"
#include "attractor/attractor.h"
#include "render/recipe.h"
#include "render/renderer.h"
#include "render/shading_settings.h"

#include <QUndoStack>

namespace vorticel {
namespace {

std::vector<float> ShadingValues(Renderer& renderer) {
    std::vector<float> values;
    for (const ShadingSetting& setting : ShadingSettings(renderer)) {
        values.push_back(*setting.value);
    }
    return values;
}

} // namespace

ViewSnapshot ViewWindow::TakeSnapshot() const {
    ViewSnapshot s;
    if (!attractor_ || !renderer_) {
        return s;
    }
    s.family = attractor_->typeIndex;
    s.parameters = SnapshotParameters();
    s.iterationTarget = iterationTarget;
    s.renderer = renderer_->Kind();
    s.shading = ShadingValues(*renderer_);
    s.width = renderer_->Width();
    s.height = renderer_->Height();
    s.camera = renderer_->GetCamera();
    return s;
}

void ViewWindow::RecordEdit(const QString& name, const QString& mergeKey, std::uint64_t gesture) {
    if (applying_ || !attractor_ || !renderer_) {
        return;
    }
    ViewSnapshot now = TakeSnapshot();
    if (now.SameScene(recorded_) && now.iterationTarget == recorded_.iterationTarget &&
        now.shading == recorded_.shading) {
        return;
    }
    history_->push(new ViewEdit(*this, name, recorded_, now, mergeKey, gesture));
    recorded_ = std::move(now);
}

void ViewWindow::Become(int family, int renderer, std::int32_t width, std::int32_t height) {
    if (family != attractor_->typeIndex) {
        ReplaceAttractor(family);
    }
    if (renderer != renderer_->Kind()) {
        ReplaceRenderer(renderer);
    }
    if (width != renderer_->Width() || height != renderer_->Height()) {
        ResizeImage(width, height);
    }
}

void ViewWindow::ApplySnapshot(const ViewSnapshot& s) {
    if (busy_ || scanned_ || !attractor_ || !renderer_) {
        return;
    }
    const OperationScope operation(*this);
    applying_ = true;
    const ViewSnapshot before = TakeSnapshot();
    // The family and renderer first: replacing them resets what the rest then restores.
    Become(s.family, s.renderer, s.width, s.height);
    RestoreParameters(s.parameters);
    iterationTarget = s.iterationTarget;
    const std::vector<ShadingSetting> shading = ShadingSettings(*renderer_);
    for (std::size_t i = 0; i < shading.size() && i < s.shading.size(); ++i) {
        *shading[i].value = s.shading[i];
    }
    renderer_->SetCamera(s.camera);
    ShowRestored(before, s);
    recorded_ = TakeSnapshot();
    applying_ = false;
}

void ViewWindow::ApplyRecipe(const ImageRecipe& recipe) {
    if (busy_ || scanned_ || !attractor_ || !renderer_) {
        return;
    }
    const OperationScope operation(*this);
    applying_ = true; // one step, recorded by the caller
    Become(recipe.family, recipe.renderer, recipe.width, recipe.height);
    std::vector<double> values;
    for (const RecipeParameter& p : recipe.parameters) {
        values.push_back(p.value);
    }
    RestoreParameters(values);
    iterationTarget = recipe.iterations;
    ApplyToRenderer(recipe, *renderer_);
    applying_ = false;
    ViewSnapshot unlike = TakeSnapshot();
    unlike.family = -1; // always a new scene: the preview is filled again
    ShowRestored(unlike, TakeSnapshot());
}

void ViewWindow::ShowRestored(const ViewSnapshot& before, const ViewSnapshot& s) {
    if (!before.SameScene(s)) {
        // The preview of the restored scene, seen through the restored camera.
        Fit(kFitPoints, FitMode::PreviewOnly);
        if (!attractor_->diverged) {
            SetState(ViewState::Preview);
            renderer_->DrawPreview();
        }
    } else if (before.shading != s.shading && state_ == ViewState::Rendered) {
        renderer_->FinishImage(); // from the kept accumulation, as the edit itself did
        RepaintImage();
    }
    if (ParameterPalettes* palettes = frame_.Palettes(); palettes && App().activeView == this) {
        palettes->RefreshValues();
        palettes->RefreshZoom();
    }
}

} // namespace vorticel
