// PaletteWindow: one floating palette window, a top panel with a label and a list over the
// rows, which scroll when the screen is too short for them.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QScrollArea;

namespace vorticel {

class PropertyPalette;
class MainFrame;

class PaletteWindow : public QWidget {
public:
    PaletteWindow(MainFrame& frame, int captionId, int labelId, int labelWidth);

    // The client size that shows every row with whole labels and values.
    QSize WantedClientSize() const;
    // What the window manager adds around this window: measured once it is shown, until
    // then taken from the frame's own decorations.
    QMargins Decoration() const;
    // Moves and sizes the window to the outer rectangle `outer`.
    void PlaceAt(const QRect& outer);
    // The user moved the window away from where it was last placed.
    bool MovedByUser() const;

    // The window manager's decorations became known or changed (the palettes re-arrange).
    std::function<void()> onDecorationChanged;

    QLabel* label = nullptr;
    QComboBox* list = nullptr;
    PropertyPalette* rows = nullptr;
    QWidget* top = nullptr;
    QScrollArea* scroller = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CheckDecoration();

    MainFrame& frame_;
    QPoint placedAt_;
    bool placed_ = false;
    QMargins decorationUsed_;
};

} // namespace vorticel
