// Cost of the sensitivity kernels of every mode against the search for the modes, on a
// 20-layer model at 100 frequencies, one thread.
#include <benchmark/benchmark.h>

#include <vector>

#include "vemlari/vemlari.h"

namespace {

using namespace vemlari;

// The gradient crust of run_bench.cpp: 19 layers of 1500 m, vs 2000..4400 m/s, vp = 1.73 vs,
// rho 2400..3200, over a mantle half-space.
Model gradient20() {
    std::vector<Layer> layers;
    for (int j = 1; j <= 19; ++j) {
        const double vs = 2000.0 + 2400.0 * (j - 1) / 18.0;
        layers.push_back({1500.0, 1.73 * vs, vs, 2400.0 + 800.0 * (j - 1) / 18.0, 500, 250, 1, 1});
    }
    layers.push_back({0.0, 8000.0, 4600.0, 3300.0, 1000, 500, 1, 1});
    return Model(layers);
}

// 0.02 .. 2 Hz in steps of 0.02 Hz.
Frequencies hundred() {
    std::vector<double> f;
    for (int i = 1; i <= 100; ++i) f.push_back(0.02 * i);
    return Frequencies::hertz(f);
}

void count_modes(benchmark::State& state, const Modes& m) {
    long long n = 0;
    for (Wave w : {Wave::love, Wave::rayleigh})
        for (const auto& row : m[w].phase_velocity) n += static_cast<long long>(row.size());
    state.counters["modes"] = static_cast<double>(n);
}

void BM_modes_20_layers(benchmark::State& state) {
    const Model model = gradient20();
    const Frequencies f = hundred();
    for (auto _ : state) {
        Modes m = find_modes(model, f);
        benchmark::DoNotOptimize(m);
        count_modes(state, m);
    }
}
BENCHMARK(BM_modes_20_layers)->Unit(benchmark::kMillisecond);

void BM_properties_20_layers(benchmark::State& state) {
    const Model model = gradient20();
    const Modes m = find_modes(model, hundred());
    count_modes(state, m);
    for (auto _ : state) benchmark::DoNotOptimize(mode_properties(model, m));
}
BENCHMARK(BM_properties_20_layers)->Unit(benchmark::kMillisecond);

void BM_kernels_20_layers(benchmark::State& state) {
    const Model model = gradient20();
    const Modes m = find_modes(model, hundred());
    count_modes(state, m);
    for (auto _ : state) benchmark::DoNotOptimize(sensitivity_kernels(model, m));
}
BENCHMARK(BM_kernels_20_layers)->Unit(benchmark::kMillisecond);

// Modes, properties and kernels in one call.
void BM_sensitivities_20_layers(benchmark::State& state) {
    const Model model = gradient20();
    const Frequencies f = hundred();
    for (auto _ : state) benchmark::DoNotOptimize(sensitivities(model, f));
}
BENCHMARK(BM_sensitivities_20_layers)->Unit(benchmark::kMillisecond);

}  // namespace
