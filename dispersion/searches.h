#pragma once
// The Love search and the Rayleigh step at one frequency, and the secular functions they
// scan. Each search owns its function object for the whole frequency loop.
#include <array>

#include "dispersion/root_search.h"
#include "driver/run.h"
#include "driver/worker_pool.h"
#include "kernels/secular.h"

namespace vemlari {

// A secular function whose evaluations of one batch run on the pool, each with its own
// kernel records.
class BatchedFunction : public SecularFunction {
public:
    explicit BatchedFunction(WorkerPool& pool) : pool_(pool) {}
    void set_frequency(double om) { om_ = om; }
    void evaluate(Evaluation* e, int n) override;
    // Until a candidate appears the scan points are known in advance, and they are nearly
    // all of a scan's evaluations: with helpers, a full batch shared out in equal parts pays
    // for handing it over (a transfer between cores costs a good part of an evaluation).
    int lookahead() const override { return pool_.threads() > 1 ? max_batch : 1; }
    long long evaluations() const { return count_; }

protected:
    // Evaluates e with the kernel records of slot (0 .. max_batch-1).
    virtual void evaluate_one(Evaluation& e, int slot) = 0;
    double om_ = 0.0;

private:
    static void job(void* self, int i);
    WorkerPool& pool_;
    Evaluation* batch_ = nullptr;
    long long count_ = 0;  // counted by the submitting thread
};

// Each wave type's secular function, referred to the free surface (top = 1, the default)
// or to the top of a deeper layer.
class LoveFunction : public BatchedFunction {
public:
    LoveFunction(const Nstrc& s, WorkerPool& pool) : BatchedFunction(pool), s_(s) {}
    void refer_to(int top) { top_ = top; }
    void report(const Evaluation& e, RecordSink& out) override;

private:
    void evaluate_one(Evaluation& e, int slot) override;
    const Nstrc& s_;
    int top_ = 1;
    std::array<LoveWork, max_batch> work_{};
};

class RayleighFunction : public BatchedFunction {
public:
    RayleighFunction(const Nstrc& s, WorkerPool& pool);
    void refer_to(int top) { top_ = top; }
    void report(const Evaluation&, RecordSink&) override {}

private:
    void evaluate_one(Evaluation& e, int slot) override;
    const Nstrc& s_;
    double sm2_ = 0.0;
    int top_ = 1;
    std::array<RayleighWork, max_batch> work_{};
};

// Each writes its records to `out` and its results to the Love (Rayleigh) columns only, so
// the two can run at the same time. In a model with slow layers the modes are those of the
// surface scan and of a scan at the top of each slow layer together.
void love_search(int io, double om, Run& run, LoveFunction& f, RecordSink& out);
// Also covers the half-space (one mode, ccmin) and zero frequency (one mode, ccmax).
void rayleigh_search(int io, double om, Run& run, RayleighFunction& f, RecordSink& out);

}  // namespace vemlari
