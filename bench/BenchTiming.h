#pragma once
// Timing of the drawing benchmarks: the best of several rounds, so that a
// busy machine's hiccups do not count.
#include <QElapsedTimer>
#include <algorithm>

namespace bench {
// Nanoseconds per call of f: the best round of `rounds`, each of `reps` calls.
template <typename F>
double BestOf(int rounds, int reps, F f) {
    double best = 1e300;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < reps; ++i) f();
        best = std::min(best, double(t.nsecsElapsed()) / reps);
    }
    return best;
}
}  // namespace bench
