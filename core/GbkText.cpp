#include "GbkText.h"

#include <QStringDecoder>
#include <QStringEncoder>

QByteArray ToGbk(const QString& text) {
    QStringEncoder encoder("GBK");
    Q_ASSERT(encoder.isValid());
    return encoder.encode(text);
}

QString FromGbk(const QByteArray& bytes) {
    QStringDecoder decoder("GBK");
    Q_ASSERT(decoder.isValid());
    return decoder.decode(bytes);
}
