// Cost of one secular-function evaluation (one full kernel pass) against the number of layers.
#include <benchmark/benchmark.h>

#include "kernels/secular.h"
#include "kernels/secular_lanes.h"

namespace {

using namespace vemlari;
using namespace vemlari::detail;

// A gradient crust of nl - 1 layers over a half-space.
Nstrc crust(int nl) {
    Nstrc s;
    for (int j = 1; j <= nl; ++j) {
        const double vs = 800.0 + 2400.0 * (j - 1) / (nl - 1);
        s.add(1800.0 + 0.3 * vs, 1.8 * vs, vs, j < nl ? 2000.0 / (nl - 1) : 0.0);
    }
    return s;
}

// Trial velocities sweep the range of a root search, so every branch of the wavenumbers is met.
double trial(int n) { return 700.0 + 3000.0 * ((n * 37) % 101) / 101.0; }

// Time per evaluation and per layer, shown in seconds with SI prefixes (e.g. "60.6n").
void set_counters(benchmark::State& state, int nl, int per_iteration = 1) {
    const double evals = static_cast<double>(state.iterations()) * per_iteration;
    state.counters["per_eval"] = benchmark::Counter(evals, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["per_layer"] =
        benchmark::Counter(evals * nl, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_love_secular(benchmark::State& state) {
    const int nl = static_cast<int>(state.range(0));
    const Nstrc s = crust(nl);
    LoveWork w;
    const double om = 2 * 3.14159265358979 * 1.5;
    int n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(love_secular(om, om / trial(n++), s, w));
    set_counters(state, nl);
}

void BM_rayleigh_secular(benchmark::State& state) {
    const int nl = static_cast<int>(state.range(0));
    const Nstrc s = crust(nl);
    RayleighWork w;
    const double om = 2 * 3.14159265358979 * 1.5;
    const double mu = s.rho[1] * s.vs[1] * s.vs[1];
    int n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(rayleigh_secular(om, om / trial(n++), mu * mu, s, w));
    set_counters(state, nl);
}

// The lane kernels: secular_lanes trial velocities per call; range(1) 1 is the AVX-512 path
// (where the processor has it), 0 the portable one.
void lanes_bench(benchmark::State& state, bool love) {
    const int nl = static_cast<int>(state.range(0));
    const LanePath p = state.range(1) == 1 ? best_lane_path() : LanePath::portable;
    const Nstrc s = crust(nl);
    SecularLanes lanes(s, 1);
    const double om = 2 * 3.14159265358979 * 1.5;
    lanes.set_frequency(om);
    const double mu = s.rho[1] * s.vs[1] * s.vs[1];
    double wn[secular_lanes];
    cplx f[secular_lanes];
    int n = 0;
    for (auto _ : state) {
        for (double& w : wn) w = om / trial(n++);
        if (love) {
            benchmark::DoNotOptimize(lanes.love(wn, secular_lanes, 1, 0, f, p));
        } else {
            lanes.rayleigh(wn, secular_lanes, 1, mu * mu, 0, f, p);
        }
        benchmark::DoNotOptimize(f);
    }
    set_counters(state, nl, secular_lanes);
}

void BM_love_secular_lanes(benchmark::State& state) { lanes_bench(state, true); }
void BM_rayleigh_secular_lanes(benchmark::State& state) { lanes_bench(state, false); }

BENCHMARK(BM_love_secular)->Arg(2)->Arg(5)->Arg(20);
BENCHMARK(BM_rayleigh_secular)->Arg(2)->Arg(5)->Arg(20);
BENCHMARK(BM_love_secular_lanes)->ArgsProduct({{2, 5, 20}, {0, 1}});
BENCHMARK(BM_rayleigh_secular_lanes)->ArgsProduct({{2, 5, 20}, {0, 1}});

}  // namespace
