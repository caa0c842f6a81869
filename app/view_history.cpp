// Snapshots of a view and the undo step between two of them.
#include "app/view_history.h"

#include "app/view.h"
#include "render/renderer.h"

namespace vorticel {

bool ViewSnapshot::SameScene(const ViewSnapshot& o) const {
    return family == o.family && parameters == o.parameters && renderer == o.renderer &&
           width == o.width && height == o.height && camera == o.camera;
}

ViewEdit::ViewEdit(ViewWindow& view, const QString& name, ViewSnapshot before, ViewSnapshot after,
                   QString mergeKey, std::uint64_t gesture)
    : view_(view), before_(std::move(before)), after_(std::move(after)),
      mergeKey_(std::move(mergeKey)), gesture_(gesture) {
    setText(name);
}

void ViewEdit::undo() {
    view_.ApplySnapshot(before_);
}

void ViewEdit::redo() {
    if (applied_) {
        applied_ = false;
        return;
    }
    view_.ApplySnapshot(after_);
}

bool ViewEdit::mergeWith(const QUndoCommand* other) {
    const auto* edit = dynamic_cast<const ViewEdit*>(other);
    if (!edit || edit->mergeKey_ != mergeKey_ || edit->gesture_ != gesture_ ||
        &edit->view_ != &view_) {
        return false;
    }
    after_ = edit->after_;
    return true;
}

} // namespace vorticel
