// The cost of handing batches to another core: batches run by the submitter alone
// (threads:1) and with a second thread helping (threads:2), of synthetic jobs and of
// 4-layer Rayleigh evaluations (the crustal example's stack).
#include <benchmark/benchmark.h>

#include <atomic>
#include <memory>
#include <thread>

#include "kernels/secular.h"
#include "parallel/worker_pool.h"

namespace {

using namespace vemlari::detail;

// A pool of one thread, with a second one helping it for the benchmark when asked.
class Pool {
public:
    explicit Pool(bool helper) : pool_(1) {
        if (!helper) return;
        helper_ = std::thread([this] { pool_.help_until([this] { return over_.load(); }); });
        while (pool_.threads() < 2) std::this_thread::yield();
    }
    ~Pool() {
        over_.store(true);
        if (helper_.joinable()) helper_.join();
    }
    vemlari::detail::WorkerPool& operator*() { return pool_; }

private:
    vemlari::detail::WorkerPool pool_;
    std::atomic<bool> over_{false};
    std::thread helper_;
};

// A chain of dependent operations, `steps` long (about 4 cycles each).
struct Chain {
    int steps;
    double out[2];
};

void chain(void* context, int i) {
    auto& w = *static_cast<Chain*>(context);
    double x = 1.0 + i;
    for (int k = 0; k < w.steps; ++k) x = x * 0.999999 + 1e-7;
    w.out[i] = x;
}

// Pairs of jobs, like the two trial points of a refinement; steps:0 is the bare hand-off.
void BM_pool_pairs(benchmark::State& state) {
    Pool pool(state.range(0) == 2);
    Chain w{static_cast<int>(state.range(1)), {}};
    for (auto _ : state) {
        (*pool).run(2, chain, &w);
        benchmark::DoNotOptimize(w.out);
    }
}

struct Rayleigh {
    vemlari::detail::Nstrc s;
    double c[16];
    double a[16];
    vemlari::detail::RayleighWork w[16];
};

void rayleigh(void* context, int i) {
    auto& r = *static_cast<Rayleigh*>(context);
    r.a[i] = vemlari::detail::cabs(vemlari::detail::rayleigh_secular(3.0, 3.0 / r.c[i], 1.0, r.s, r.w[i]));
}

// Batches of n Rayleigh evaluations at phase velocities 0.3 m/s apart.
void BM_pool_rayleigh(benchmark::State& state) {
    Pool pool(state.range(0) == 2);
    const int n = static_cast<int>(state.range(1));
    auto r = std::make_unique<Rayleigh>();
    const double rho[] = {2500, 2700, 2900, 3300}, vp[] = {4500, 6000, 6600, 8000}, vs[] = {2600, 3500, 3800, 4500},
                 thk[] = {2000, 13000, 15000, 0};
    for (int l = 0; l < 4; ++l) r->s.add(rho[l], vp[l], vs[l], thk[l]);
    int k = 0;
    for (auto _ : state) {
        for (int i = 0; i < n; ++i) r->c[i] = 2000.0 + (k % 3000) * 0.7 + i * 0.3;
        ++k;
        (*pool).run(n, rayleigh, r.get());
        benchmark::DoNotOptimize(r->a);
    }
    state.counters["per_eval"] = benchmark::Counter(
        static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_pool_pairs)->ArgNames({"threads", "steps"})->ArgsProduct({{1, 2}, {0, 250, 1000}})->UseRealTime();
BENCHMARK(BM_pool_rayleigh)->ArgNames({"threads", "n"})->ArgsProduct({{1, 2}, {2, 16}})->UseRealTime();

}  // namespace
