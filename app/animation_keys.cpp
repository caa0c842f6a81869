// The key list model and its undo steps.
#include "app/animation_keys.h"

#include "app/text.h"

#include <QPixmap>
#include <QUndoStack>

namespace vorticel {

KeyListModel::KeyListModel(QObject* parent) : QAbstractListModel(parent) {
    history_ = new QUndoStack(this);
}

int KeyListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(keys_.size());
}

QVariant KeyListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const AnimationKey& key = keys_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return QStringLiteral("%1. %2").arg(index.row() + 1).arg(key.name);
    case Qt::DecorationRole:
        return key.thumbnail.isNull() ? QVariant() : QVariant(QPixmap::fromImage(key.thumbnail));
    case Qt::ToolTipRole:
        return key.name;
    default:
        return {};
    }
}

void KeyListModel::Push(const QString& name, std::vector<AnimationKey> after, int rowBefore,
                        int rowAfter) {
    // The step applies itself as it is pushed: doing and redoing are the same code.
    history_->push(new KeyListEdit(*this, name, keys_, std::move(after), rowBefore, rowAfter));
}

void KeyListModel::Add(AnimationKey key) {
    std::vector<AnimationKey> after = keys_;
    after.push_back(std::move(key));
    const int row = static_cast<int>(after.size()) - 1;
    Push(Text(kStrEditAddKey), std::move(after), row - 1, row);
}

void KeyListModel::Remove(int row) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    std::vector<AnimationKey> after = keys_;
    after.erase(after.begin() + row);
    Push(Text(kStrEditRemoveKey), std::move(after), row,
         std::min(row, static_cast<int>(after.size()) - 1));
}

void KeyListModel::Move(int row, int delta) {
    const int to = row + delta;
    if (row < 0 || row >= rowCount() || to < 0 || to >= rowCount() || delta == 0) {
        return;
    }
    std::vector<AnimationKey> after = keys_;
    std::swap(after[static_cast<std::size_t>(row)], after[static_cast<std::size_t>(to)]);
    Push(Text(kStrEditMoveKey), std::move(after), row, to);
}

void KeyListModel::Reset(std::vector<AnimationKey> keys) {
    history_->clear();
    Apply(keys, keys.empty() ? -1 : 0);
}

void KeyListModel::Apply(const std::vector<AnimationKey>& keys, int currentRow) {
    beginResetModel();
    keys_ = keys;
    endResetModel();
    if (onCurrentRow) {
        onCurrentRow(currentRow);
    }
}

KeyListEdit::KeyListEdit(KeyListModel& model, const QString& name, std::vector<AnimationKey> before,
                         std::vector<AnimationKey> after, int rowBefore, int rowAfter)
    : model_(model), before_(std::move(before)), after_(std::move(after)), rowBefore_(rowBefore),
      rowAfter_(rowAfter) {
    setText(name);
}

void KeyListEdit::undo() {
    model_.Apply(before_, rowBefore_);
}

void KeyListEdit::redo() {
    model_.Apply(after_, rowAfter_);
}

} // namespace vorticel
