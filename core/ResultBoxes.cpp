#include "ResultBoxes.h"

#include "Helpers.h"

std::vector<ResultBox> ResultBoxTexts(const TransitionResults& r) {
    static const char* const kNames[26] = {
        "EdtAT1", "EdtAT2", "EdtAT3", "EdtAT",  "EdtAR1", "EdtAR2", "EdtBT1",  "EdtBT2",  "EdtBT3",
        "EdtBT",  "EdtBR1", "EdtBR2", "EdtCT1", "EdtCT2", "EdtCT3", "EdtCT",   "EdtCR1",  "EdtCR2",
        "EdtDT1", "EdtDT2", "EdtDT3", "EdtDT",  "EdtDR1", "EdtDR2", "EdtLoop", "EdtAngle"};
    // Decimals of each value, in the same order.
    static const int kDecimals[26] = {1, 1, 1, 1, 2, 2, 1, 1, 1, 1, 2, 2, 1,
                                      1, 1, 1, 2, 2, 1, 1, 1, 1, 2, 2, 0, 0};
    const auto values = r.Values();
    std::vector<ResultBox> boxes;
    boxes.reserve(values.size());
    for (size_t i = 0; i < values.size(); ++i)
        boxes.push_back({kNames[i], FixedText(values[i], kDecimals[i])});
    return boxes;
}
