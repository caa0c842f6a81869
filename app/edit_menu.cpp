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
    MM_edition = new QMenu(Text(kStrMenuEdit), &frame);
    A_annuler = new QAction(Text(kStrUndo), this);
    A_annuler->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    A_retablir = new QAction(Text(kStrRedo), this);
    A_retablir->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(A_annuler, &QAction::triggered, this, [this] { A_annulerExecute(); });
    connect(A_retablir, &QAction::triggered, this, [this] { A_retablirExecute(); });
    MM_edition->addAction(A_annuler);
    MM_edition->addAction(A_retablir);
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

void EditMenu::A_annulerExecute() {
    if (allowed_ && group_->canUndo()) {
        group_->undo();
    }
}

void EditMenu::A_retablirExecute() {
    if (allowed_ && group_->canRedo()) {
        group_->redo();
    }
}

void EditMenu::Update() {
    const auto caption = [](int id, bool can, const QString& name) {
        return can && !name.isEmpty() ? Text(id) + QStringLiteral(" : ") + name : Text(id);
    };
    A_annuler->setText(caption(kStrUndo, group_->canUndo(), group_->undoText()));
    A_retablir->setText(caption(kStrRedo, group_->canRedo(), group_->redoText()));
    A_annuler->setEnabled(allowed_ && group_->canUndo());
    A_retablir->setEnabled(allowed_ && group_->canRedo());
}

} // namespace vorticel
