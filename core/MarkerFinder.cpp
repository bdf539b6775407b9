#include "MarkerFinder.h"

#include "Analysis.h"
#include "EdgeFit.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

// The method: a tap change is five levels in a row (old tap, resistor,
// bridging, resistor, new tap), so the samples are split into the five pieces
// that fit them best in least squares, found exactly by dynamic programming.
// First coarsely, on means of 16-sample blocks over the whole window, with
// the two steady pieces as lines (a slow drift costs nothing): that finds
// where the transition is. Then finely, on sample pairs around it, where a
// few samples on either side of each change go uncharged, so a ramp or a
// bounce does not draw a piece to itself instead of a short stage. Both run
// on the samples with their excursions of one or two samples taken out
// (bounce, impulses, chatter) and then a running median, which keeps steps
// and ramps in place (of 9, and of 13 when that finds no transition: both
// kinds of bounce after one contact can outlast the first). Each instant is
// then read off the raw samples: the first sample past halfway between the
// two pieces' levels, and not far beyond the new one, that the level mostly
// keeps to afterwards without falling back for longer than it held; unless
// another instant fits the samples around the edge better as the old level,
// a ramp and the new level, each sample's misfit capped (bounce inside a
// ramp, a stray of chatter just before a slow edge). Whether this is a
// transition at all is decided against the noise and what the fit leaves
// unexplained: every step must stand well clear of it; every stage
// last at least half the shortest stage a tap changer makes and at most 30
// ms; each long stage keep level in its later half; no step of the median
// level between the markers; the stages and the bridging level lie beyond the
// steady levels, and the steps turn at every instant; and the five levels
// explain the samples around the transition clearly better than a smooth
// curve (a ramp, a decay, a slow swing). How far the weakest of these clears
// its bar is the quality.

namespace {

constexpr int kBlock = 16;    // samples per block of the coarse segmentation
constexpr int kFineBlock = 2; // and of the fine one
constexpr int kFineRoom = 64; // samples the fine segmentation looks beyond the coarse pieces
constexpr int kEdgeRoom = 12; // samples a ramp (1 ms) and its bounce may take after an edge
constexpr int kRampRoom = 4;  // samples on either side of a change that a ramp may take
// Bounce falls back for at most this many samples in a row; a longer run
// back on the old side follows a stray sample, not an edge.
constexpr int kBounceRun = 2;
// A lone sample past halfway that the level then comes back from to within
// this many noise deviations of where it stood just before is a stray (of
// the edge before), not the edge: bounce after an edge springs back only
// part of the way, or onto a ramp.
constexpr double kStray = 4;
// An edge whose samples past halfway end within this share of its step (and
// the noise) of the new level has arrived: it may fall back for up to
// twice a bounce's run, the spring back to the old level and a spike.
constexpr double kArrived = 0.15;
// Samples past halfway in a row that show the level holding after an edge.
constexpr int kHoldRun = 3;
constexpr int kMinStage = 5; // half the shortest stage (1 ms): shorter is a spike
// The running median's half width: bounce of up to 4 samples goes. When
// that finds nothing, a wider one, which still keeps every stage of 1 ms.
constexpr int kMedianHalf = 4;
constexpr int kWideMedianHalf = 6;
// A level step is real when it stands this many noise deviations clear; far
// beyond what the noise of a flat phase produces between block means.
constexpr double kSignificance = 6;
constexpr double kMinStep = 3;   // 0.03 ohm: steps of the last digits are no stages
constexpr double kQuantum = 0.3; // the noise is never taken below the rounding to 0.01 ohm
// A stage lasts at most this long (30 ms, well beyond the 12 ms a tap
// changer takes): longer "stages" are slow changes of some other kind.
constexpr int kMaxStage = 300;
// Within the middle half of a stage the samples keep level: their spread
// (10th to 90th percentile) stays below this share of the smaller step
// beside it. A ramp, a sine or a decay cut into pieces fails this.
constexpr double kLevelSpread = 0.6;
// The five levels must explain the transition's samples this many times
// better (in squared error) than a smooth curve, a cubic through them.
constexpr double kSmoothRatio = 4;
constexpr double kBeyond = 3; // noise deviations an inner level may stray to the steady side
constexpr int kSideRoom = 50; // steady samples on either side in that comparison, at least
// Samples on either side of an instant whose median tells the level there:
// more than twice the longest bounce, less than the shortest stage.
constexpr int kCheckRoom = 8;
// A run of a sample or two this many noise deviations off both its
// neighbours is an excursion, not the level.
constexpr double kExcursion = 5;

// Weighted sums over blocks, prefix form: count, values, squares, and the
// position terms of a straight-line fit.
struct Sums {
    std::vector<double> n, s, ss, x, xx, xy;

    explicit Sums(const std::vector<double>& y, const std::vector<double>& w,
                  const std::vector<double>& c)
        : n(y.size() + 1), s(n.size()), ss(n.size()), x(n.size()), xx(n.size()), xy(n.size()) {
        for (size_t j = 0; j < y.size(); ++j) {
            n[j + 1] = n[j] + w[j];
            s[j + 1] = s[j] + w[j] * y[j];
            ss[j + 1] = ss[j] + w[j] * y[j] * y[j];
            x[j + 1] = x[j] + w[j] * c[j];
            xx[j + 1] = xx[j] + w[j] * c[j] * c[j];
            xy[j + 1] = xy[j] + w[j] * c[j] * y[j];
        }
    }

    // Squared error of a constant over blocks i..j-1.
    double Level(int i, int j) const {
        const double cn = n[j] - n[i], cs = s[j] - s[i];
        return cn > 0 ? std::max(0.0, ss[j] - ss[i] - cs * cs / cn) : 0.0;
    }
    // Squared error of a straight line over blocks i..j-1.
    double Line(int i, int j) const {
        const double cn = n[j] - n[i], cs = s[j] - s[i], cx = x[j] - x[i];
        if (cn <= 0)
            return 0;
        const double sxx = xx[j] - xx[i] - cx * cx / cn;
        const double sxy = xy[j] - xy[i] - cx * cs / cn;
        const double level = Level(i, j);
        return sxx > 0 ? std::max(0.0, level - sxy * sxy / sxx) : level;
    }
};

double Median(std::vector<double> v) {
    if (v.empty())
        return 0;
    const size_t half = v.size() / 2;
    std::nth_element(v.begin(), v.begin() + half, v.end());
    return v[half];
}

// Standard deviation of the noise from the first differences: a median, so
// the few differences at edges and spikes do not count.
double NoiseOf(const qint32* x, int count) {
    std::vector<double> d;
    d.reserve(size_t(count));
    for (int i = 1; i < count; ++i)
        d.push_back(double(x[i]) - x[i - 1]);
    const double centre = Median(d);
    for (double& v : d)
        v = std::abs(v - centre);
    return 1.4826 * Median(std::move(d)) / std::sqrt(2.0);
}

struct Line {
    double at0 = 0, slope = 0;
    double At(double i) const { return at0 + slope * i; }
};

// The least-squares line through samples [from, to).
Line LineOf(const qint32* x, int from, int to) {
    double n = 0, s = 0, sx = 0, sxx = 0, sxy = 0;
    for (int i = from; i < to; ++i) {
        n += 1;
        s += x[i];
        sx += i;
        sxx += double(i) * i;
        sxy += double(i) * x[i];
    }
    if (n == 0)
        return {};
    const double d = n * sxx - sx * sx;
    if (d <= 0)
        return {s / n, 0};
    const double slope = (n * sxy - sx * s) / d;
    return {(s - slope * sx) / n, slope};
}

double MedianOf(const qint32* x, int from, int to) {
    return Median(std::vector<double>(x + from, x + to));
}

// The least-squares split of points 0..n-1 into five pieces: where pieces
// 1..4 start. Pieces 0 and 4 are lines when `lines`, the others constants
// of at least `shortest` points. Up to `ramp` points on either side of each
// change, never more than a quarter of the piece, are not charged: there
// the level is on its way from one stage to the next, on a ramp or with its
// contacts bouncing.
std::array<int, 4> FivePieces(const Sums& sums, int n, bool lines, int shortest, int ramp) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    // cost[k][j]: pieces 0..k over points 0..j-1; from[k][j]: where piece k starts.
    std::array<std::vector<double>, 5> cost;
    std::array<std::vector<int>, 5> from;
    for (int k = 0; k < 5; ++k) {
        cost[k].assign(size_t(n) + 1, kInf);
        from[k].assign(size_t(n) + 1, 0);
    }
    const auto trim = [ramp](int i, int j) { return std::min(ramp, (j - i) / 4); };
    for (int j = 1; j <= n; ++j)
        cost[0][j] = lines ? sums.Line(0, j - trim(0, j)) : sums.Level(0, j - trim(0, j));
    for (int k = 1; k < 5; ++k) {
        const bool last = k == 4;
        const int length = last ? 1 : shortest;
        for (int j = last ? n : k + 1; j <= n; ++j) {
            double best = kInf;
            int at = k;
            for (int i = k; i <= j - length; ++i) {
                const double before = cost[k - 1][i];
                if (before >= best)
                    continue;
                const int t = trim(i, j);
                const double v = before + (last && lines ? sums.Line(i + t, j)
                                           : last        ? sums.Level(i + t, j)
                                                         : sums.Level(i + t, j - t));
                if (v < best) {
                    best = v;
                    at = i;
                }
            }
            cost[k][j] = best;
            from[k][j] = at;
        }
    }
    std::array<int, 4> starts{};
    int j = n;
    for (int k = 4; k >= 1; --k) {
        starts[k - 1] = from[k][j];
        j = starts[k - 1];
    }
    return starts;
}

// Coarse: on block means over the whole window, steady pieces as lines.
std::array<int, 4> CoarsePieces(const qint32* x, int count) {
    const int blocks = (count + kBlock - 1) / kBlock;
    const size_t n = size_t(blocks);
    std::vector<double> y(n), w(n), c(n);
    for (int j = 0; j < blocks; ++j) {
        const int from = j * kBlock, to = std::min(count, from + kBlock);
        double sum = 0;
        for (int i = from; i < to; ++i)
            sum += x[i];
        w[j] = to - from;
        y[j] = sum / w[j];
        c[j] = (from + to - 1) / 2.0;
    }
    std::array<int, 4> starts = FivePieces(Sums(y, w, c), blocks, true, 1, 0);
    for (int& b : starts)
        b *= kBlock;
    return starts;
}

// Fine: pairs of samples of [from, to), where the transition is.
std::array<int, 4> FinePieces(const qint32* x, int from, int to) {
    const int points = (to - from + kFineBlock - 1) / kFineBlock;
    const size_t n = size_t(points);
    std::vector<double> y(n), w(n), c(n);
    for (int k = 0; k < points; ++k) {
        const int first = from + k * kFineBlock, end = std::min(to, first + kFineBlock);
        double sum = 0;
        for (int i = first; i < end; ++i)
            sum += x[i];
        y[size_t(k)] = sum / (end - first);
        w[size_t(k)] = end - first;
        c[size_t(k)] = k;
    }
    std::array<int, 4> starts =
        FivePieces(Sums(y, w, c), points, false, (kMinStage + kFineBlock - 1) / kFineBlock,
                   kRampRoom / kFineBlock);
    for (int& b : starts)
        b = from + b * kFineBlock;
    return starts;
}

// A running median of 2 * half + 1: contact bounce and wild samples of up
// to `half` samples vanish, while steps and ramps, and stages longer than
// `half`, stay exactly where they are.
std::vector<qint32> Despiked(const qint32* x, int count, int half) {
    std::vector<qint32> out(static_cast<size_t>(count));
    std::vector<qint32> window(size_t(2 * half + 1));
    for (int i = 0; i < count; ++i) {
        const int from = std::max(0, i - half), to = std::min(count, i + half + 1);
        const int n = to - from;
        std::copy(x + from, x + to, window.begin());
        std::nth_element(window.begin(), window.begin() + n / 2, window.begin() + n);
        out[size_t(i)] = window[size_t(n / 2)];
    }
    return out;
}

// The spread of samples [from, to) between their quartiles: a bounce that
// the running median left holds less than a quarter of them.
double SpreadOf(const qint32* x, int from, int to) {
    std::vector<qint32> v(x + from, x + to);
    if (v.size() < 2)
        return 0;
    const size_t lo = v.size() / 4, hi = v.size() - 1 - lo;
    std::nth_element(v.begin(), v.begin() + ptrdiff_t(lo), v.end());
    const qint32 low = v[lo];
    std::nth_element(v.begin(), v.begin() + ptrdiff_t(hi), v.end());
    return double(v[hi]) - low;
}

// The squared error of the least-squares cubic through the samples i of
// [from, to) for which `use(i)` holds.
template <typename Use> double CubicError(const qint32* x, int from, int to, Use use) {
    constexpr int m = 4;
    double a[m][m + 1] = {};
    const double centre = (from + to - 1) / 2.0, half = std::max(1.0, (to - from) / 2.0);
    for (int i = from; i < to; ++i) {
        if (!use(i))
            continue;
        const double u = (i - centre) / half, y = x[i];
        const double p[m] = {1, u, u * u, u * u * u};
        for (int r = 0; r < m; ++r) {
            for (int c = 0; c < m; ++c)
                a[r][c] += p[r] * p[c];
            a[r][m] += p[r] * y;
        }
    }
    // Solved by elimination with pivoting.
    double coef[m] = {};
    for (int c = 0; c < m; ++c) {
        int pivot = c;
        for (int r = c + 1; r < m; ++r)
            if (std::abs(a[r][c]) > std::abs(a[pivot][c]))
                pivot = r;
        if (std::abs(a[pivot][c]) < 1e-12)
            return 0; // too few samples to tell: no evidence against the curve
        for (int k = 0; k <= m; ++k)
            std::swap(a[c][k], a[pivot][k]);
        for (int r = 0; r < m; ++r) {
            if (r == c)
                continue;
            const double f = a[r][c] / a[c][c];
            for (int k = c; k <= m; ++k)
                a[r][k] -= f * a[c][k];
        }
    }
    for (int c = 0; c < m; ++c)
        coef[c] = a[c][m] / a[c][c];
    // The error itself, summed again: safer than from the normal equations.
    double error = 0;
    for (int i = from; i < to; ++i) {
        if (!use(i))
            continue;
        const double u = (i - centre) / half;
        const double fit = coef[0] + u * (coef[1] + u * (coef[2] + u * coef[3]));
        error += (x[i] - fit) * (x[i] - fit);
    }
    return error;
}

// The placed instants, checked against the raw samples: nowhere from the
// old tap's level to the new one's, clear of the markers and what follows
// them, does the median level step by half the smallest step. A stage the
// segmentation missed shows here, rather than as markers tens of samples
// off.
bool EdgesHold(const qint32* raw, int count, const FoundMarkers& found) {
    std::array<int, 6> at{0, found.t[0] - 1, found.t[1] - 1, found.t[2] - 1, found.t[3] - 1, count};
    std::vector<double> w;
    const auto median = [&](int from, int to) {
        w.assign(raw + from, raw + to);
        return Median(w);
    };
    double smallest = std::numeric_limits<double>::infinity();
    for (int e = 0; e < 4; ++e)
        smallest = std::min(smallest, std::abs(found.levels[e + 1] - found.levels[e]));
    // Windows that hold no marker: from one stage's start, or the steady
    // side's, to the next, the level keeps within half the smallest step.
    const int from = std::max(0, at[1] - kSideRoom), to = std::min(count, at[4] + kSideRoom);
    for (int i = from + kCheckRoom; i + kCheckRoom <= to; ++i) {
        bool across = false;
        for (int k = 1; k <= 4; ++k)
            across = across ||
                     (i + kCheckRoom + kEdgeRoom > at[k] && i - kCheckRoom - kEdgeRoom < at[k]);
        if (across)
            continue;
        if (std::abs(median(i, i + kCheckRoom) - median(i - kCheckRoom, i)) > smallest / 2)
            return false;
    }
    return true;
}

// The samples with their short excursions taken out: a run of one or two
// samples that stands off, on one side, from the two samples beside it while
// those agree (a bounce, an impulse, a stray of chatter) takes their mean.
// The closest-agreeing flanks go first, runs of two before single samples,
// so that a bounce right after a step is taken out before the step's first
// sample (whose flanks the bounce sets apart) could look like one, and a
// sample at the level between two bounces stays. Steps and ramps have no
// such flanks.
std::vector<qint32> WithoutExcursions(const qint32* raw, int count, double noise) {
    std::vector<qint32> y(raw, raw + count);
    struct Run {
        double agree;
        int at, length;
    };
    const auto off = [&y, noise](int at, int length, double* agree) {
        if (at < 1 || at + length >= int(y.size()))
            return false;
        const double left = y[size_t(at - 1)], right = y[size_t(at + length)];
        const double mean = (left + right) / 2, sign = y[size_t(at)] > mean ? 1 : -1;
        *agree = std::abs(left - right);
        const double bar = std::max(kExcursion * noise, 2 * *agree);
        for (int i = at; i < at + length; ++i)
            if (sign * (y[size_t(i)] - mean) <= bar)
                return false;
        // And off the level around it too: between two bounces the level
        // itself stands off its flanks.
        std::array<qint32, 8> around{};
        size_t n = 0;
        for (int i = std::max(0, at - 4); i < std::min(int(y.size()), at + length + 4); ++i)
            if (i < at || i >= at + length)
                around[n++] = y[size_t(i)];
        std::nth_element(around.begin(), around.begin() + ptrdiff_t(n / 2),
                         around.begin() + ptrdiff_t(n));
        const double level = around[n / 2];
        for (int i = at; i < at + length; ++i)
            if (sign * (y[size_t(i)] - level) <= bar)
                return false;
        return true;
    };
    std::vector<Run> runs;
    for (int length = 1; length <= 2; ++length)
        for (int at = 1; at + length < count; ++at)
            if (double agree = 0; off(at, length, &agree))
                runs.push_back({agree - (length - 1) * noise, at, length});
    std::sort(runs.begin(), runs.end(),
              [](const Run& a, const Run& b) { return a.agree < b.agree; });
    for (const Run& run : runs) {
        double agree = 0;
        if (!off(run.at, run.length, &agree))
            continue; // a neighbour taken out first changed its flanks
        const qint32 mean = qint32(
            std::nearbyint((double(y[size_t(run.at - 1)]) + y[size_t(run.at + run.length)]) / 2));
        for (int i = run.at; i < run.at + run.length; ++i)
            y[size_t(i)] = mean;
    }
    return y;
}

// The transition as the running median of 2 * half + 1 shows its pieces
// and levels; the instants from the raw samples.
// `misread` tells when it found none because the pieces read a stage where
// there is none or missed one (stage lengths, a step between the markers,
// steps that do not turn), as bounce that outlasts the median does.
std::optional<FoundMarkers> FindThrough(const qint32* raw, int count, double noise,
                                        const std::vector<qint32>& cleaned, int half,
                                        bool* misread) {
    const std::vector<qint32> smooth = Despiked(cleaned.data(), count, half);
    const qint32* x = smooth.data();
    // The steps from and to the steady levels are the largest: the coarse
    // pieces find where the transition is, the fine ones its stages.
    const std::array<int, 4> coarse = CoarsePieces(x, count);
    {
        // A phase without a step clear of the noise has no transition; say so
        // before the fine work, which would search the whole window.
        const double clear = std::max(kMinStep, kSignificance * noise);
        std::array<int, 6> piece{0, coarse[0], coarse[1], coarse[2], coarse[3], count};
        double before = MedianOf(x, piece[0], piece[1]);
        bool step = false;
        for (int k = 1; k < 5; ++k) {
            const double level = MedianOf(x, piece[k], piece[k + 1]);
            step = step || std::abs(level - before) >= clear;
            before = level;
        }
        if (!step)
            return std::nullopt;
    }
    // Stages far longer than a tap changer's: some slow change, not one.
    if (coarse[3] - coarse[0] > 3 * kMaxStage + 2 * kBlock)
        return std::nullopt;
    const std::array<int, 4> fine =
        FinePieces(x, std::max(0, coarse[0] - kFineRoom), std::min(count, coarse[3] + kFineRoom));
    std::array<int, 6> edge{}; // first samples of the pieces, 0-based, and the end
    for (int k = 0; k < 4; ++k)
        edge[k + 1] = fine[k];
    edge[5] = count;

    FoundMarkers found;
    found.noise = noise;
    // The steady levels as lines next to the transition, clear of its edges.
    const int oldEnd = edge[1] - kEdgeRoom > 1 ? edge[1] - kEdgeRoom : edge[1];
    const Line oldTap = LineOf(x, 0, oldEnd);
    found.levels[0] = oldTap.At(edge[1] - 1);
    for (int k = 1; k <= 3; ++k) {
        const int margin = std::min(kEdgeRoom / 2, (edge[k + 1] - edge[k]) / 4);
        const int from = edge[k] + margin, to = edge[k + 1] - margin;
        found.levels[k] = from < to ? MedianOf(x, from, to) : MedianOf(x, edge[k], edge[k + 1]);
    }
    const int newStart = edge[4] + kEdgeRoom < count - 1 ? edge[4] + kEdgeRoom : edge[4];
    const Line newTap = LineOf(x, newStart, count);
    found.levels[4] = newTap.At(edge[4]);
    // What the five levels leave unexplained, as a deviation: besides the
    // noise, ripple and whatever else wanders that is not a stage.
    {
        std::vector<double> rest;
        rest.reserve(size_t(count));
        for (int k = 0; k < 5; ++k)
            for (int i = edge[k]; i < edge[k + 1]; ++i)
                rest.push_back(std::abs(raw[i] - (k == 0   ? oldTap.At(i)
                                                  : k == 4 ? newTap.At(i)
                                                           : found.levels[k])));
        found.noise = std::max(noise, 1.4826 * Median(std::move(rest)));
    }

    int previous = -1;
    for (int e = 0; e < 4; ++e) {
        const double a = found.levels[e], b = found.levels[e + 1];
        const double step = std::abs(b - a);
        if (step < std::max(kMinStep, kSignificance * found.noise))
            return std::nullopt;
        const double mid = (a + b) / 2, dir = b > a ? 1 : -1;
        // Past halfway, and not far beyond the new level: there a sample
        // springs back toward the level before the last edge, which in a tap
        // change lies on that side (the steps turn at every instant).
        const double beyond = step / 2 + kBeyond * noise;
        const auto past = [&](int i) {
            return dir * (raw[i] - mid) >= 0 && dir * (raw[i] - b) <= beyond;
        };
        // From the middle of the piece before to the middle of the piece after.
        const int lo = std::max(previous + 1, (edge[e] + edge[e + 1]) / 2);
        const int hi = std::min(count - 1, (edge[e + 1] + edge[e + 2]) / 2);
        if (lo > hi)
            return std::nullopt;
        // The first sample past halfway that the level then mostly keeps
        // to: a bounce after the edge does not delay it, and a bounce of the
        // edge before, which falls back at once, does not advance it.
        int split = -1;
        for (int i = lo; i <= hi && split < 0; ++i) {
            if (!past(i))
                continue;
            const int end = std::min(count, i + kEdgeRoom);
            int kept = 0;
            for (int k = i; k < end; ++k)
                kept += past(k);
            // The samples past halfway from i on, and the run back after them.
            int group = 0, back = 0;
            while (i + group <= hi && past(i + group))
                ++group;
            while (i + group + back <= hi && !past(i + group + back))
                ++back;
            // A longer run back follows an edge that has reached its new
            // level: the spring back to the old level and a spike together.
            const bool arrived =
                group >= kBounceRun && back <= 2 * kBounceRun &&
                std::abs(raw[i + group - 1] - b) <= kArrived * step + kStray * noise;
            if (2 * kept < end - i || (back > kBounceRun && back > group && !arrived))
                continue;
            // A stray: one sample out, then back to the very level the
            // samples stood on before it.
            if (group == 1 && back > 0 && i > 0 && !past(i - 1)) {
                const int n = std::min(back, kBounceRun);
                double after = 0;
                for (int k = 0; k < n; ++k)
                    after += raw[i + group + k];
                if (std::abs(after / n - raw[i - 1]) <= kStray * noise)
                    continue;
            }
            // And no later run back, before the level holds, that is longer
            // than a bounce and than all the samples past halfway so far: the
            // level before the edge still holding.
            bool holds = true;
            for (int k = i + group + back, outSoFar = group; holds && k < end && k <= hi;) {
                int out = 0, in = 0;
                while (k + out <= hi && past(k + out))
                    ++out;
                if (out >= kHoldRun)
                    break;
                while (k + out + in <= hi && !past(k + out + in))
                    ++in;
                outSoFar += out;
                holds = in <= kBounceRun || in < outSoFar;
                k += out + in;
            }
            if (holds)
                split = i;
        }
        if (split < 0) {
            // None: the split with the fewest samples on the wrong side of halfway.
            int wrong = 0;
            for (int i = lo; i <= hi; ++i)
                wrong += !past(i);
            int best = wrong;
            split = lo;
            for (int i = lo; i < hi; ++i) {
                wrong += past(i) ? 1 : -1;
                if (wrong < best) {
                    best = wrong;
                    split = i + 1;
                }
            }
        }
        split = FittedSplit(raw, lo, hi, split, a, b, noise, kEdgeRoom);
        found.t[e] = split + 1; // 1-based sample index
        previous = split;
    }
    for (int e = 1; e < 4; ++e) {
        const int length = found.t[e] - found.t[e - 1];
        if (length < kMinStage || length > kMaxStage) {
            *misread = true;
            return std::nullopt;
        }
    }
    if (!EdgesHold(raw, count, found)) {
        *misread = true;
        return std::nullopt;
    }
    // In a tap change the resistors add to the circuit: the two stages and
    // the bridging level (the two in parallel) all lie beyond both steady
    // levels, on one side (give or take the noise). A ringing or a swing
    // about the level does not.
    {
        const double dir = found.levels[1] > found.levels[0] ? 1 : -1;
        const double steady = dir > 0 ? std::max(found.levels[0], found.levels[4])
                                      : std::min(found.levels[0], found.levels[4]);
        for (int k = 1; k <= 3; ++k)
            if (dir * (found.levels[k] - steady) < -kBeyond * noise)
                return std::nullopt;
        // And each resistor stage lies beyond the bridging level too, both
        // in series with one branch where bridging has both in parallel: the
        // steps turn at every instant. Two steps one way are a stage missed.
        for (int e = 1; e < 4; ++e)
            if ((found.levels[e + 1] - found.levels[e]) * (found.levels[e] - found.levels[e - 1]) >=
                0) {
                *misread = true;
                return std::nullopt;
            }
    }
    std::array<double, 4> steps{};
    for (int e = 0; e < 4; ++e)
        steps[e] = std::abs(found.levels[e + 1] - found.levels[e]);
    double quality = *std::min_element(steps.begin(), steps.end()) /
                     std::max(kMinStep, kSignificance * found.noise);
    // Each stage keeps its level in its middle half.
    for (int k = 1; k <= 3; ++k) {
        // Its later half, less the last quarter: past the bounce and the
        // settling of the edge before, short of the ramp of the edge after.
        const int from = found.t[k - 1] - 1, to = found.t[k] - 1, length = to - from;
        // A short stage is all bounce and edges: the smooth curve judges it.
        if (length < 2 * kEdgeRoom)
            continue;
        const double spread = SpreadOf(x, from + length / 2, to - length / 4);
        const double beside = std::min(steps[k - 1], steps[k]);
        quality = std::min(quality, spread > 0 ? kLevelSpread * beside / spread : 1e9);
    }
    // The five levels against a smooth curve over the transition and as much
    // again on either side, both charged on the same samples: those clear of
    // the edges, where a ramp or a settling level is on its way.
    {
        const int span = found.t[3] - found.t[0];
        const int side = std::max(span / 2, kSideRoom);
        const int from = std::max(0, found.t[0] - 1 - side);
        const int to = std::min(count, found.t[3] - 1 + side);
        const int shortest =
            std::min({found.t[1] - found.t[0], found.t[2] - found.t[1], found.t[3] - found.t[2]});
        // After an edge its bounce and settling, before it its ramp.
        const int room = std::min(kRampRoom + 2, shortest / 4);
        const int after = std::min(kEdgeRoom, shortest / 2);
        const auto clear = [&](int i) {
            for (int t : found.t)
                if (i - (t - 1) >= -room && i - (t - 1) <= after)
                    return false;
            return true;
        };
        double levelError = 0;
        for (int i = from; i < to; ++i) {
            if (!clear(i))
                continue;
            int k = 0;
            while (k < 4 && i >= found.t[k] - 1)
                ++k;
            const double fit = k == 0   ? oldTap.At(std::min(i, edge[1] - 1))
                               : k == 4 ? newTap.At(std::max(i, edge[4]))
                                        : found.levels[k];
            levelError += (x[i] - fit) * (x[i] - fit);
        }
        const double curveError = CubicError(x, from, to, clear);
        quality = std::min(quality, curveError / (kSmoothRatio * std::max(levelError, 1.0)));
    }
    found.quality = quality;
    if (quality < 1)
        return std::nullopt;
    return found;
}

} // namespace

std::optional<FoundMarkers> FindMarkers(const qint32* raw, int count) {
    if (count < 5 * kBlock)
        return std::nullopt;
    const double noise = std::max(kQuantum, NoiseOf(raw, count));
    const std::vector<qint32> cleaned = WithoutExcursions(raw, count, noise);
    bool misread = false;
    if (auto found = FindThrough(raw, count, noise, cleaned, kMedianHalf, &misread))
        return found;
    // Both kinds of bounce after one contact together can outlast the
    // median of 9 and read as a short stage beside a stage missed; a wider
    // median, which still keeps every stage of 1 ms, sees past them.
    if (!misread)
        return std::nullopt;
    return FindThrough(raw, count, noise, cleaned, kWideMedianHalf, &misread);
}

std::optional<FoundMarkers> FindMarkers(const TestRecord& record, int phase) {
    return FindMarkers(record.WaveOf(phase).data(), kSampleCount);
}

std::array<std::optional<FoundMarkers>, 3> FindDrawnMarkers(const TestRecord& record) {
    const auto drawn = DrawnPhases(record.params.iSwitchType, record.params.iTestMode);
    std::array<std::optional<FoundMarkers>, 3> found;
    for (int p = 0; p < 3; ++p)
        if (drawn[p])
            found[p] = FindMarkers(record, kPhaseA + p);
    return found;
}

QString FoundPhasesText(const std::array<bool, 3>& drawn, const std::array<bool, 3>& found) {
    QStringList placed, missed;
    for (int p = 0; p < 3; ++p)
        if (drawn[p])
            (found[p] ? placed : missed) << QString(QChar(u'A' + p));
    QString text;
    if (!placed.isEmpty())
        text = placed.join(QCoreApplication::translate("MarkerFinder", "、")) +
               QCoreApplication::translate("MarkerFinder", " 已自动定位");
    if (!missed.isEmpty())
        text += (text.isEmpty() ? QString() : QCoreApplication::translate("MarkerFinder", "，")) +
                missed.join(QCoreApplication::translate("MarkerFinder", "、")) +
                QCoreApplication::translate("MarkerFinder", " 无跳变");
    return text;
}
