// What a view's edit history keeps: snapshots of everything a user edits in a view, and the
// one kind of undo step that goes from one snapshot to another.
#pragma once

#include "render/camera.h"

#include <QString>
#include <QUndoCommand>
#include <cstdint>
#include <vector>

namespace vorticel {

class Renderer;
class ViewWindow;

// A view as its user edits it (not its buffers, its preview ring or its image).
struct ViewSnapshot {
    int family = 0;
    std::vector<double> parameters; // in registry order, each exactly as stored
    std::int32_t iterationTarget = 0;
    int renderer = 0;
    std::vector<float> shading; // in the render palette's order
    std::int32_t width = 0;
    std::int32_t height = 0;
    Camera camera; // its pose: the image size is width x height

    // The parts that change what the preview shows, as against shading or the target only.
    bool SameScene(const ViewSnapshot& other) const;
};

// One undo step of a view: from `before` to `after`, named after the edit. Consecutive
// steps with the same non-empty merge key and gesture become one (a slider drag, a typed
// number, a run of wheel turns).
class ViewEdit : public QUndoCommand {
public:
    ViewEdit(ViewWindow& view, const QString& name, ViewSnapshot before, ViewSnapshot after,
             QString mergeKey, std::uint64_t gesture);

    void undo() override;
    void redo() override;
    int id() const override { return mergeKey_.isEmpty() ? -1 : 1; }
    bool mergeWith(const QUndoCommand* other) override;

    const ViewSnapshot& Before() const { return before_; }
    const ViewSnapshot& After() const { return after_; }

private:
    ViewWindow& view_;
    ViewSnapshot before_;
    ViewSnapshot after_;
    QString mergeKey_;
    std::uint64_t gesture_;
    bool applied_ = true; // pushed after the edit took effect: the first redo does nothing
};

} // namespace vorticel
