#pragma once

#include <QtGlobal>

// The instant of an edge from level a to b among samples [lo, hi]: where
// the old level, a straight ramp through halfway and the new level fit them
// best; `split` (the first sample past halfway as read sample by sample)
// unless another instant fits better. Each sample's misfit, as a share of
// the step, counts up to a cap, so a bounce, a spike or a stray of chatter
// costs the same however far it goes; a sample after the instant that falls
// back toward the old level costs less, as contacts bounce after they close.
// A ramp broken by bounce, or a stray just before a slow edge, then no
// longer moves the instant to the next sample past halfway.
// Looks within `room` samples of `split`.
int FittedSplit(const qint32* raw, int lo, int hi, int split, double a, double b, double noise,
                int room);
