#pragma once
// The Love and the Rayleigh search at one frequency, and the secular functions they scan.
// Each search owns its function object for the whole frequency loop.
#include <array>
#include <cstddef>

#include "dispersion/batch_runner.h"
#include "dispersion/root_search.h"
#include "kernels/secular.h"
#include "vemlari/scan_range.h"

namespace vemlari {

// A secular function whose evaluations of one batch run on the runner, each with its own
// kernel records.
class BatchedFunction : public SecularFunction {
public:
    explicit BatchedFunction(BatchRunner& runner) : runner_(runner) {}
    void set_frequency(double om) { om_ = om; }
    void evaluate(Evaluation* e, int n) override;
    // Until a candidate appears the scan points are known in advance, and they are nearly
    // all of a scan's evaluations: with helpers, a full batch shared out in equal parts pays
    // for handing it over (a transfer between cores costs a good part of an evaluation).
    int lookahead() const override { return runner_.threads() > 1 ? max_batch : 1; }
    long long evaluations() const { return count_; }

protected:
    // Evaluates e with the kernel records of slot (0 .. max_batch-1).
    virtual void evaluate_one(Evaluation& e, int slot) = 0;
    double om_ = 0.0;

private:
    static void job(void* self, int i);
    BatchRunner& runner_;
    Evaluation* batch_ = nullptr;
    long long count_ = 0;  // counted by the submitting thread
};

// Each wave type's secular function, referred to the free surface (top = 1, the default)
// or to the top of a deeper layer.
class LoveFunction : public BatchedFunction {
public:
    LoveFunction(const Nstrc& s, BatchRunner& runner) : BatchedFunction(runner), s_(s) {}
    void refer_to(int top) { top_ = top; }
    void report(const Evaluation& e, ScanLog& log) override;

private:
    void evaluate_one(Evaluation& e, int slot) override;
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
};

// Each fills entry k of `w` (phase velocities, found_at, count, diagnostics, trace) and reads
// only entries before k, so the two waves can be searched at the same time. In a model with
// slow layers the modes are those of the surface scan and of a scan at the top of each slow
// layer together.
void love_search(std::size_t k, double om, bool zero_frequency, const SearchSetup& setup, LoveFunction& f, WaveModes& w);
// Also covers the half-space (one mode, ccmin) and zero frequency (one mode, ccmax).
void rayleigh_search(std::size_t k, double om, bool zero_frequency, const SearchSetup& setup, RayleighFunction& f,
                     WaveModes& w);

}  // namespace vemlari
