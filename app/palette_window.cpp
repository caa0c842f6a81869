// The palette window: its panels, its size from the rows, and closing with the program.
#include "app/palette_window.h"

#include "app/app_state.h"
#include "app/main_frame.h"
#include "app/text.h"
#include "props/property_palette.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace vorticel {
namespace {

constexpr int kInitialWidth = 291;
constexpr int kTopHeight = 25;
constexpr int kMinSliderWidth = 80;

QMargins MarginsOf(const QWidget& window) {
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

} // namespace

PaletteWindow::PaletteWindow(MainFrame& frame, int captionId, int labelId, int labelWidth)
    // A tool window of the frame (transient for it): above the frame, but under the dialogs and
    // message boxes the program opens, and under other programs' windows.
    : QWidget(&frame, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), frame_(frame) {
    setWindowTitle(Text(captionId));
    top = new QWidget(this);
    top->setFixedHeight(kTopHeight);
    label = new QLabel(Text(labelId), top);
    list = new QComboBox(top);
    label->setBuddy(list);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(4, 0, 4, 0);
    topLayout->addWidget(label);
    topLayout->addWidget(list);
    topLayout->addStretch();
    rows = new PropertyPalette(nullptr);
    rows->labelWidth = static_cast<std::int16_t>(labelWidth);
    scroller = new QScrollArea(this);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setWidgetResizable(true);
    scroller->setWidget(rows); // the scroll area owns the rows from here on
    QObject::connect(scroller->verticalScrollBar(), &QScrollBar::valueChanged, rows,
                     [this] { rows->Scrolled(); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(scroller, 1);
    resize(kInitialWidth, 282);
}

QSize PaletteWindow::WantedClientSize() const {
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int columns = rows->labelWidth + 2 * rows->valueWidth + kMinSliderWidth + scrollBar + 4;
    const int width = std::max({kInitialWidth, top->sizeHint().width(), columns});
    return {width, rows->TotalHeight() + kTopHeight + 2};
}

QMargins PaletteWindow::Decoration() const {
    const QMargins own = MarginsOf(*this);
    if (isVisible() && !own.isNull()) {
        return own;
    }
    // Tool windows get much the same border as the frame; their title bar is no taller.
    const QMargins frameMargins = MarginsOf(frame_);
    return frameMargins;
}

void PaletteWindow::PlaceAt(const QRect& outer) {
    const QMargins decoration = Decoration();
    decorationUsed_ = decoration;
    setMaximumHeight(QWIDGETSIZE_MAX);
    move(outer.topLeft());
    resize(outer.width() - decoration.left() - decoration.right(),
           outer.height() - decoration.top() - decoration.bottom());
    placedAt_ = outer.topLeft();
    placed_ = true;
}

bool PaletteWindow::MovedByUser() const {
    if (!placed_) {
        return false;
    }
    // Until the window manager has said where the decorations are, the frame may stand off
    // the asked place by as much as they measure.
    const QPoint off = frameGeometry().topLeft() - placedAt_;
    const QMargins m = decorationUsed_;
    const int slack = std::max({m.left(), m.top(), m.right(), m.bottom()}) + 4;
    return std::abs(off.x()) > slack || std::abs(off.y()) > slack;
}

void PaletteWindow::CheckDecoration() {
    if (!isVisible() || MarginsOf(*this).isNull() || Decoration() == decorationUsed_ ||
        MovedByUser()) {
        return;
    }
    decorationUsed_ = Decoration();
    if (onDecorationChanged) {
        onDecorationChanged();
    }
}

void PaletteWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    CheckDecoration();
}

void PaletteWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    CheckDecoration();
}

void PaletteWindow::closeEvent(QCloseEvent* event) {
    // A palette goes with the program: closing it asks the frame to close, and it closes
    // when the frame does (Qt's quit closes every window and gives up at one that refuses).
    if (App().appClosing || !frame_.isVisible()) {
        event->accept();
        return;
    }
    event->ignore();
    if (App().renderRunning) {
        frame_.TellCloseRefused(false);
    } else if (frame_.close()) {
        event->accept();
    }
}

} // namespace vorticel
