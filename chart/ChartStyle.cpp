#include "ChartStyle.h"

#include <QFont>
#include <QFontDatabase>

namespace {

QString FirstInstalled(std::initializer_list<const char*> names) {
    const QStringList families = QFontDatabase::families();
    for (const char* name : names)
        if (families.contains(QString::fromUtf8(name), Qt::CaseInsensitive))
            return QString::fromUtf8(name);
    return QFont().family();
}

} // namespace

QColor PhaseColor(int phase) {
    static const QColor colors[3] = {QColor(255, 255, 0), QColor(0, 128, 0), QColor(255, 0, 0)};
    return colors[phase == 1 ? 0 : phase == 2 ? 1 : 2];
}

QColor MarkerColor() {
    return QColor(0, 0, 255);
}

QString SeriesName(int index) {
    static const char* const names[15] = {"SeriesA",   "SeriesB",   "SeriesC",   "SeriesAT1",
                                          "SeriesAT2", "SeriesAT3", "SeriesAT4", "SeriesBT1",
                                          "SeriesBT2", "SeriesBT3", "SeriesBT4", "SeriesCT1",
                                          "SeriesCT2", "SeriesCT3", "SeriesCT4"};
    return index >= 0 && index < 15 ? QString::fromLatin1(names[index]) : QString();
}

QString SongtiFamily() {
    static const QString family =
        FirstInstalled({"宋体", "SimSun", "NSimSun", "WenQuanYi Zen Hei Sharp", "WenQuanYi Zen Hei",
                        "Noto Sans CJK SC", "AR PL UMing CN"});
    return family;
}

QString ArialFamily() {
    static const QString family = FirstInstalled({"Arial", "Liberation Sans", "Arimo"});
    return family;
}

QString SansSerifFamily() {
    static const QString family = FirstInstalled(
        {"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans", "Arimo"});
    return family;
}
