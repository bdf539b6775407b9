#pragma once

#include "SummaryReport.h"

#include <QWidget>

// The summary's plots in a window: per direction T, and R1 and R2, against
// the tap, drawn as on the printed pages.
class SummaryPlots : public QWidget {
    Q_OBJECT
public:
    explicit SummaryPlots(QWidget* parent = nullptr);
    void SetPages(const SummaryPages* pages);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const SummaryPages* pages_ = nullptr;
};
