// "自动定位": the markers of every drawn phase on the edges its waveform shows.
#include "UMain.h"

#include "ChartMath.h"
#include "MarkerFinder.h"
#include "UDataCenter.h"
#include "WaveChart.h"

#include <QCoreApplication>
#include <QLabel>

void TFrmMain::BtnAutoMarkersClick() {
    if (!dc_.record.HasData) {
        StatusPanels[1]->setText(QCoreApplication::translate("UMainMarkers", "没有显示的波形"));
        return;
    }
    const auto drawn = DrawnPhases(dc_.record.params.iSwitchType, dc_.record.params.iTestMode);
    const auto found = FindDrawnMarkers(dc_.record);
    std::array<bool, 3> placed{};
    for (int p = 0; p < 3; ++p) {
        if (!drawn[p] || !found[p])
            continue; // no transition: its markers stay where they are
        for (int j = 1; j <= 4; ++j)
            ChartA->PlaceMarker(MarkerNumber(kPhaseA + p, j), found[p]->t[j - 1]);
        placed[p] = true;
    }
    ShowResults();
    StatusPanels[1]->setText(FoundPhasesText(drawn, placed));
    // How clearly each phase's transition stood out: 1 is the finder's bar.
    QStringList clear;
    for (int p = 0; p < 3; ++p)
        if (placed[p])
            clear << QStringLiteral("%1 %2").arg(QChar(u'A' + p)).arg(found[p]->quality, 0, 'f', 1);
    StatusPanels[1]->setToolTip(
        clear.isEmpty() ? QString()
                        : QCoreApplication::translate("UMainMarkers", "把握度（1 为下限）：") +
                              clear.join(QCoreApplication::translate("UMainMarkers", "，")));
    if (placed != std::array<bool, 3>{})
        MarkersMoved(QStringLiteral("auto"));
}
