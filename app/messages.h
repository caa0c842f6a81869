// Messages to the user: a modal box, or whatever a test puts in its place.
#pragma once

#include <QString>
#include <functional>

namespace vorticel {

enum class MessageKind { Error, Warning };

using MessageSink =
    std::function<void(MessageKind kind, const QString& caption, const QString& text)>;

void ShowMessage(MessageKind kind, const QString& caption, const QString& text);
// Replaces the message box (tests record the messages instead); an empty sink restores it.
void SetMessageSink(MessageSink sink);

} // namespace vorticel
