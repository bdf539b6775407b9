#include "ReadBack.h"

#include <QJsonDocument>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

QJsonObject ReadBack(const QString& path, QImage* picture) {
    QTemporaryDir scratch;
    const QString blob = scratch.filePath(QStringLiteral("picture"));
    QProcess reader;
    // Debian's interpreter, which has the modules; another python3 may come first on the PATH.
    reader.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(OLTC_READ_OFFICE), path, blob});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        ADD_FAILURE() << "reader failed on " << path.toStdString() << ": "
                      << reader.readAllStandardError().toStdString();
        return {};
    }
    if (picture)
        *picture = QImage(blob);
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

ShownTest SampleShown() {
    TestRecord record;
    record.params.iSwitchType = 0;
    record.params.iTestStep = 17;
    record.params.iSamplePoint = 20;
    record.params.iSampleBurst = 25;
    for (int p : {kPhaseA, kPhaseB, kPhaseC})
        for (int k = 1; k <= kSampleCount; ++k)
            record.WaveOf(p)[k - 1] = k < 100   ? 50
                                      : k < 200 ? 1500 + p
                                      : k < 300 ? 900
                                      : k < 400 ? 1400
                                                : 52;
    record.iLoops = 2;
    record.iAngle = 35;
    record.strTestTime.Set("2026-12-09 10:31:07");
    record.HasData = true;
    return ShownTestOf(record, StartMarkers(record.params), false, {}, 1);
}

QImage SamplePicture(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7) & 255, (y * 13) & 255, (x ^ y) & 255));
    return image;
}

QString TemplatePath() {
    return QStringLiteral(OLTC_TEMPLATE_PATH);
}

QString EnglishTemplatePath() {
    return QStringLiteral(OLTC_TEMPLATE_EN_PATH);
}
