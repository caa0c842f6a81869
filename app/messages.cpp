// The message box, replaceable for tests.
#include "app/messages.h"

#include <QApplication>
#include <QMessageBox>

namespace vorticel {
namespace {

MessageSink& Sink() {
    static MessageSink sink;
    return sink;
}

} // namespace

void ShowMessage(MessageKind kind, const QString& caption, const QString& text) {
    if (Sink()) {
        Sink()(kind, caption, text);
        return;
    }
    QWidget* parent = QApplication::activeWindow();
    if (kind == MessageKind::Error) {
        QMessageBox::critical(parent, caption, text);
    } else {
        QMessageBox::warning(parent, caption, text);
    }
}

void SetMessageSink(MessageSink sink) {
    Sink() = std::move(sink);
}

} // namespace vorticel
