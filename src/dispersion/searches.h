#pragma once
// The Love and the Rayleigh search at one frequency, and the secular functions they scan.
// Each search owns its function object for the whole frequency loop.
#include <algorithm>
#include <array>
#include <cstddef>

#include "dispersion/batch_runner.h"
#include "dispersion/root_search.h"
#include "dispersion/slow_layer_tops.h"
#include "kernels/secular.h"
#include "kernels/secular_lanes.h"
#include "vemlari/scan_range.h"

namespace vemlari::detail {

// A secular function whose evaluations of one batch run on the runner. A batch of scan
// points is cut into groups of up to secular_lanes evaluated at once on the vector lanes (bit
// for bit the scalar evaluations); pairs and single points go to the scalar kernels, each
// evaluation with its own kernel records.
class BatchedFunction : public SecularFunction {
public:
    BatchedFunction(const Nstrc& s, BatchRunner& runner)
        : lanes_(s, max_batch / secular_lanes), path_(best_lane_path()), runner_(runner) {}
    void set_frequency(double om) {
        om_ = om;
        lanes_.set_frequency(om);
    }
    double angular() const { return om_; }
    void evaluate(Evaluation* e, int n) override;
    // Until a candidate appears the scan points are known in advance, and they are nearly
    // all of a scan's evaluations: alone, a thread evaluates one group of lanes at once; with
    // helpers each thread takes two, since a transfer between cores (about 0.5 us there and
    // back) costs a good part of a group of 4-layer Rayleigh evaluations (about 2.3 us).
    int lookahead() const override {
        const int threads = runner_.threads();
        return threads > 1 ? std::min(max_batch, 2 * secular_lanes * threads) : secular_lanes;
    }
    long long evaluations() const { return count_; }
    // Which lane kernels run (tests compare them).
    void use_lanes(LanePath p) { path_ = p; }

protected:
    // Evaluates e with the kernel records of slot (0 .. max_batch-1).
    virtual void evaluate_one(Evaluation& e, int slot) = 0;
    // Evaluates e[0 .. n-1] (n <= secular_lanes) on the lanes of `job`; e[i] owns slot first + i.
    virtual void evaluate_lanes(Evaluation* e, int n, int first, int job) = 0;
    virtual bool lanes_apply() const = 0;
    double om_ = 0.0;
    SecularLanes lanes_;
    LanePath path_;

private:
    static void job(void* self, int i);
    static void lane_job(void* self, int g);
    BatchRunner& runner_;
    Evaluation* batch_ = nullptr;
    int batch_n_ = 0;
    long long count_ = 0;  // counted by the submitting thread
};

// Each wave type's secular function, referred to the free surface (top = 1, the default)
// or to the top of a deeper layer.
class LoveFunction : public BatchedFunction {
public:
    LoveFunction(const Nstrc& s, BatchRunner& runner) : BatchedFunction(s, runner), s_(s) {}
    void refer_to(int top) { top_ = top; }
    void report(const Evaluation& e, ScanLog& log) override;

private:
    void evaluate_one(Evaluation& e, int slot) override;
    void evaluate_lanes(Evaluation* e, int n, int first, int job) override;
    bool lanes_apply() const override { return s_.nl >= 2; }
    const Nstrc& s_;
    int top_ = 1;
    std::array<LoveWork, max_batch> work_{};
};

class RayleighFunction : public BatchedFunction {
public:
    RayleighFunction(const Nstrc& s, BatchRunner& runner);
    void refer_to(int top) { top_ = top; }
    void report(const Evaluation&, ScanLog&) override {}

private:
    void evaluate_one(Evaluation& e, int slot) override;
    void evaluate_lanes(Evaluation* e, int n, int first, int job) override;
    bool lanes_apply() const override { return s_.nl >= 2 && om_ != 0.0; }
    const Nstrc& s_;
    double sm2_ = 0.0;
    int top_ = 1;
    std::array<RayleighWork, max_batch> work_{};
};

// What every frequency's search of a call shares.
struct SearchSetup {
    const Nstrc& s;
    ScanRange range;
    double tol;
    int itmax;
    int ncc;
    bool tracing;
    std::size_t capacity;  // roots kept per frequency; more are counted (an overflow)
    int highest_mode;      // -1: all
    StepWindows windows;
    SlowLayerTops slow;
};

// Each fills entry k of `w` (phase velocities, found_at, count, diagnostics, trace) and reads
// the roots of earlier entries only through `links`, so that the two waves, and the entries
// of one wave, can be searched at the same time. In a model with slow layers the modes are
// those of the surface scan and of a scan at the top of each slow layer together; without,
// the surface scan's roots are final as found and go to the links' sink.
// `raw` receives the scan's own roots of entry k, which later entries follow; w gets them as
// the mode count corrects them.
void love_search(std::size_t k, double om, bool zero_frequency, const SearchSetup& setup, const EntryLinks& links,
                 LoveFunction& f, std::vector<double>& raw, WaveModes& w);
// Also covers the half-space (one mode, ccmin) and zero frequency (one mode, ccmax).
void rayleigh_search(std::size_t k, double om, bool zero_frequency, const SearchSetup& setup, const EntryLinks& links,
                     RayleighFunction& f, std::vector<double>& raw, WaveModes& w);

}  // namespace vemlari::detail
