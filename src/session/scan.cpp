#include "scan.h"

#include "areas/scoring_pass.h"
#include "session.h"

#include <algorithm>
#include <atomic>

namespace {

// The threshold of [lo, hi] with the highest score, the lower one on ties,
// 2 when no score is above 0.
int32_t BestThreshold(const double (&scores)[256], int32_t lo, int32_t hi, int32_t step,
                      double& best) {
    best = 0.0;
    int32_t result = 2;
    for (int32_t t = lo; t <= hi; t += step)
        if (scores[t] > best) {
            best = scores[t];
            result = t;
        }
    return result;
}

// Every pass in full, one after the other.
class TOneByOne final : public TScanPasses {
  public:
    explicit TOneByOne(const std::function<void(int32_t)>& pass) : Pass(pass) {}
    void Sweep(const std::vector<int32_t>& thresholds, bool) override {
        for (const int32_t t : thresholds) Pass(t);
    }
    void Finish(bool) override {}

  private:
    const std::function<void(int32_t)>& Pass;
};

// The passes of a session's scan: scored on its workers and applied in
// threshold order, or, where a pass's effects reach the next pass or the
// screen while it runs, every pass in full.
class TSessionPasses final : public TScanPasses {
  public:
    TSessionPasses(TSession& s, const TPassOptions& options, TPassObserver& observer)
        : S(s), Options(options), Observer(observer),
          Full(options.PaintSteps || (options.ByPlane && options.Plane == aArH)) {
        if (Full) return;
        PrepareSeedOrder(S.Planes, Options, S.Areas.Order);
        PrepareScanContexts(S);
    }

    void Sweep(const std::vector<int32_t>& thresholds, bool holdLast) override {
        if (Full) {
            for (const int32_t t : thresholds) Show(t);
            return;
        }
        ScoreAndApply(thresholds, holdLast);
    }

    void Finish(bool shown) override {
        if (Held < 0) return;
        const TScoredPass& held = Scored[size_t(Held)];
        Held = -1;
        if (shown)
            Show(held.Result.Threshold);
        else
            ApplyScoredPass(S.Areas, S.Tree, S.Areas.Order, held, Observer);
    }

  private:
    // The pass at t in full, drawn, over the scan's order when it has one.
    void Show(int32_t t) {
        TPassOptions o = Options;
        o.Threshold = t;
        if (Full)
            FindAreas(S, o, Observer);
        else
            S.LastPass = FindAreas(S.Areas, S.Tree, S.Planes, S.View, S.Areas.Order, o, Observer);
    }

    // Scores the thresholds on the workers, each on the context of the
    // worker that takes it, and applies each in order as soon as it and
    // those before it are scored: the calling thread applies when it can
    // and scores when it would otherwise wait.
    void ScoreAndApply(const std::vector<int32_t>& thresholds, bool holdLast) {
        const int n = int(thresholds.size());
        if (Scored.size() < size_t(n)) Scored.resize(size_t(n));
        enum : int { Pending, Done, Failed };
        std::vector<std::atomic<int>> state(static_cast<size_t>(n));
        std::atomic<int> next{0};
        const auto score = [&](int i, int slot) {
            try {
                ScorePass(*S.ScanContexts[size_t(slot)], S.Areas.Order, thresholds[size_t(i)],
                          Scored[size_t(i)]);
            } catch (...) {
                next.store(n); // no further threshold is taken
                state[size_t(i)].store(Failed);
                state[size_t(i)].notify_one();
                throw;
            }
            state[size_t(i)].store(Done);
            state[size_t(i)].notify_one();
        };
        S.Workers.RunOnAll([&](int slot) {
            if (slot != 0) {
                for (int i; (i = next.fetch_add(1)) < n;) score(i, slot);
                return;
            }
            // Whatever stops the applying (an observer's error included)
            // stops the other workers from taking further thresholds.
            struct TStopOthers {
                std::atomic<int>& next;
                int n;
                ~TStopOthers() { next.store(n); }
            } stop{next, n};
            for (int k = 0; k < n;) {
                const int st = state[size_t(k)].load();
                if (st == Failed) return; // its worker's exception is rethrown
                if (st == Done) {
                    const TScoredPass& scored = Scored[size_t(k)];
                    if (holdLast && k == n - 1) {
                        S.Areas.LevelScores[scored.Result.Threshold] = scored.Result.Score;
                        Held = k;
                    } else {
                        ApplyScoredPass(S.Areas, S.Tree, S.Areas.Order, scored, Observer);
                    }
                    ++k;
                    continue;
                }
                const int i = next.fetch_add(1);
                if (i < n)
                    score(i, 0);
                else
                    state[size_t(k)].wait(Pending);
            }
        });
    }

    TSession& S;
    const TPassOptions& Options;
    TPassObserver& Observer;
    const bool Full;
    std::vector<TScoredPass> Scored; // of the sweep in progress, by position in it
    int Held = -1;                   // the held pass's position in Scored, -1 none
};

} // namespace

TScanOutcome ScanThresholds(double (&scores)[256], int32_t position, TScanPasses& passes) {
    TScanOutcome out;
    out.BarAfterSweeps = position;
    // The thresholds of a sweep that run a pass: all but one where the bar
    // already stands.
    const auto sweep = [&](int32_t from, int32_t to, int32_t step, bool holdLast) {
        std::vector<int32_t> run;
        for (int32_t t = from; t <= to; t += step)
            if (t != out.BarAfterSweeps) {
                run.push_back(t);
                out.BarAfterSweeps = t;
            }
        passes.Sweep(run, holdLast && !run.empty());
        return run;
    };
    for (double& score : scores) score = 0.0;
    sweep(8, 248, 8, false);
    double coarseBest;
    const int32_t coarse = BestThreshold(scores, 8, 248, 8, coarseBest);
    const int32_t lo = std::max(1, coarse - 8), hi = std::min(254, coarse + 8);
    const std::vector<int32_t> fine = sweep(lo, hi, 1, true);
    out.Result = BestThreshold(scores, lo, hi, 1, out.BestScore);
    if (!fine.empty()) passes.Finish(out.Result == fine.back());
    return out;
}

TScanOutcome ScanThresholds(double (&scores)[256], int32_t position,
                            const std::function<void(int32_t)>& pass) {
    TOneByOne passes(pass);
    return ScanThresholds(scores, position, passes);
}

TScanOutcome ScanSession(TSession& s, const TPassOptions& options, int32_t position,
                         TPassObserver& observer) {
    TSessionPasses passes(s, options, observer);
    return ScanThresholds(s.Areas.LevelScores, position, passes);
}

void PrepareScanContexts(TSession& s) {
    while (int(s.ScanContexts.size()) < s.Workers.Count())
        s.ScanContexts.push_back(std::make_unique<TAreaState>());
}
