#include "Message.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

void PrintToStderr(const QString& text, MsgIcon) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

MessageSink& Sink() {
    static MessageSink sink = PrintToStderr;
    return sink;
}

} // namespace

void ShowMessage(const QString& text, MsgIcon icon) {
    Sink()(text, icon);
}

MessageSink SetMessageSink(MessageSink sink) {
    MessageSink previous = std::move(Sink());
    Sink() = sink ? std::move(sink) : MessageSink(PrintToStderr);
    return previous;
}

QString AppTitle() {
    return QCoreApplication::translate("Message", "有载分接开关测试仪1.2");
}
