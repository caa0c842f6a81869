// The "Édition" menu: undo and redo of the active view's edits, named after the edit.
#pragma once

#include <QObject>

class QAction;
class QMenu;
class QUndoGroup;
class QUndoStack;
class QWidget;

namespace vorticel {

class EditMenu : public QObject {
public:
    explicit EditMenu(QWidget& frame);

    // The history of a new view; it leaves the menu when the view (its owner) goes.
    void AddHistory(QUndoStack& history);
    // The active view's history, or none.
    void SetActiveHistory(QUndoStack* history);
    // Undo and redo are offered only when `allowed` (no search, render or scan runs) and
    // there is something to take back or do again.
    void SetAllowed(bool allowed);

    void OnUndo();
    void OnRedo();

    QMenu* menu() const { return menu_; }
    QUndoGroup* Group() const { return group_; }

    QAction* undoAction = nullptr;
    QAction* redoAction = nullptr;

private:
    void Update();

    QMenu* menu_ = nullptr;
    QUndoGroup* group_ = nullptr;
    bool allowed_ = true;
};

} // namespace vorticel
