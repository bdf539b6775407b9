#pragma once

#include <QString>
#include <functional>

// The program's name in its title bar and on every message box.
QString AppTitle();

enum class MsgIcon { Information, Warning, Error };

// Every message box of the program goes through ShowMessage. The application
// routes it to a message box; tests replace the sink to capture the texts.
using MessageSink = std::function<void(const QString& text, MsgIcon icon)>;

void ShowMessage(const QString& text, MsgIcon icon);

// Returns the previous sink. An empty sink restores the default, which
// writes the text to stderr.
MessageSink SetMessageSink(MessageSink sink);
