// The animation window's list of keys: each a view's recipe with its name and thumbnail, in
// a list model, edited only through undo steps of the list's own history.
#pragma once

#include "render/recipe.h"

#include <QAbstractListModel>
#include <QImage>
#include <QString>
#include <QUndoCommand>
#include <functional>
#include <vector>

class QUndoStack;

namespace vorticel {

struct AnimationKey {
    ImageRecipe recipe;
    QString name;     // the view's title, or "clé N"
    QImage thumbnail; // may be null (an orbit that diverges at the thumbnail's size)
};

class KeyListModel : public QAbstractListModel {
public:
    explicit KeyListModel(QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const std::vector<AnimationKey>& Keys() const { return keys_; }
    QUndoStack* History() const { return history_; }

    // Each an undo step named after the edit: `key` after the last; the key at `row` out;
    // the key at `row` one place up (`delta` -1) or down (+1). Out-of-range rows do nothing.
    void Add(AnimationKey key);
    void Remove(int row);
    void Move(int row, int delta);
    // A new list (an animation file opened): no undo step, the history starts afresh.
    void Reset(std::vector<AnimationKey> keys);

    // The row to show as current after an edit, its undo or its redo (-1: none).
    std::function<void(int row)> onCurrentRow;

private:
    friend class KeyListEdit;
    void Apply(const std::vector<AnimationKey>& keys, int currentRow);
    void Push(const QString& name, std::vector<AnimationKey> after, int rowBefore, int rowAfter);

    std::vector<AnimationKey> keys_;
    QUndoStack* history_ = nullptr;
};

// One edit of the key list: the whole list before and after (a handful of recipes).
class KeyListEdit : public QUndoCommand {
public:
    KeyListEdit(KeyListModel& model, const QString& name, std::vector<AnimationKey> before,
                std::vector<AnimationKey> after, int rowBefore, int rowAfter);

    void undo() override;
    void redo() override;

private:
    KeyListModel& model_;
    std::vector<AnimationKey> before_;
    std::vector<AnimationKey> after_;
    int rowBefore_;
    int rowAfter_;
};

} // namespace vorticel
