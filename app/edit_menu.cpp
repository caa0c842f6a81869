// Undo and redo through the active view's history, with captions that name the edit.
#include "app/edit_menu.h"

#include "app/text.h"

#include <QAction>
#include <QMenu>
#include <QUndoGroup>
#include <QUndoStack>

namespace vorticel {

EditMenu::EditMenu(QWidget& frame) : QObject(&frame) {
    group_ = new QUndoGroup(this);
    menu_ = new QMenu(Text(kStrMenuEdit), &frame);
    undoAction = new QAction(Text(kStrUndo), this);
    undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction = new QAction(Text(kStrRedo), this);
    redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(undoAction, &QAction::triggered, this, [this] { OnUndo(); });
    connect(redoAction, &QAction::triggered, this, [this] { OnRedo(); });
    menu_->addAction(undoAction);
    menu_->addAction(redoAction);
    for (const auto signal : {&QUndoGroup::canUndoChanged, &QUndoGroup::canRedoChanged}) {
        connect(group_, signal, this, [this] { Update(); });
    }
    for (const auto signal : {&QUndoGroup::undoTextChanged, &QUndoGroup::redoTextChanged}) {
        connect(group_, signal, this, [this] { Update(); });
    }
    connect(group_, &QUndoGroup::activeStackChanged, this, [this] { Update(); });
    Update();
}

void EditMenu::AddHistory(QUndoStack& history) {
    group_->addStack(&history);
}

void EditMenu::SetActiveHistory(QUndoStack* history) {
    group_->setActiveStack(history);
    Update();
}

void EditMenu::SetAllowed(bool allowed) {
    allowed_ = allowed;
    Update();
}

void EditMenu::OnUndo() {
    if (allowed_ && group_->canUndo()) {
        group_->undo();
    }
}

void EditMenu::OnRedo() {
    if (allowed_ && group_->canRedo()) {
        group_->redo();
    }
}

void EditMenu::Update() {
    const auto caption = [](int id, bool can, const QString& name) {
        return can && !name.isEmpty() ? Text(id) + QStringLiteral(" : ") + name : Text(id);
    };
    undoAction->setText(caption(kStrUndo, group_->canUndo(), group_->undoText()));
    redoAction->setText(caption(kStrRedo, group_->canRedo(), group_->redoText()));
    undoAction->setEnabled(allowed_ && group_->canUndo());
    redoAction->setEnabled(allowed_ && group_->canRedo());
}

} // namespace vorticel
