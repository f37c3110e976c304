// The library's two searches on the same work, and the work the public peer's timing script
// does (bench/search_side_by_side.py runs both in one sitting):
// - fundamental Love and Rayleigh curves at 60 periods, log-spaced from the model file's
//   shortest period to 50 times it (--curve 60 of the peer's script), on one thread;
// - phase and group velocity of every mode at every frequency k / (nt dt), k = 1 .. nom, of
//   the model file, on one thread.
// Counters: evaluations (count passes and root functions, or secular functions for the
// scan) per mode found and per frequency.
#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "vemlari/vemlari.h"

namespace {

struct ModelFile {
    std::vector<vemlari::Layer> layers;
    double dt = 0.0, period = 0.0;
    int nt = 0;
};

std::vector<double> numbers(std::string line) {
    for (char& c : line)
        if (c == ',') c = ' ';
    std::istringstream in(line);
    std::vector<double> v;
    for (double x; in >> x;) v.push_back(x);
    return v;
}

// The program's model file: line 3 dt, nt; line 5 the shortest period; line 8 the number of
// layers; from line 10 "n, rho, vp, qp, fp, vs, qs, fs, thickness".
ModelFile read_model(const std::string& name) {
    std::ifstream in(std::string(VEMLARI_SOURCE_DIR) + "/" + name);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    ModelFile m;
    m.dt = numbers(lines.at(2)).at(0);
    m.nt = static_cast<int>(numbers(lines.at(2)).at(1));
    m.period = numbers(lines.at(4)).at(0);
    const auto nl = static_cast<std::size_t>(numbers(lines.at(7)).at(0));
    for (std::size_t i = 0; i < nl; ++i) {
        const std::vector<double> v = numbers(lines.at(9 + i));
        m.layers.push_back({v.at(8), v.at(2), v.at(5), v.at(1)});
    }
    return m;
}

const char* const curve_models[] = {"bench/models/gradient2.csv", "bench/models/gradient10.csv",
                                    "bench/models/gradient20.csv", "bench/models/gradient50.csv"};
const char* const every_mode_models[] = {"examples/crust.csv",     "examples/two_layer.csv",
                                         "examples/soil.csv",      "examples/low_velocity.csv",
                                         "examples/halfspace.csv", "bench/models/gradient20.csv"};

vemlari::Frequencies curve_frequencies(const ModelFile& m) {
    std::vector<double> f;
    for (int i = 59; i >= 0; --i) f.push_back(1.0 / (m.period * std::pow(50.0, i / 59.0)));
    return vemlari::Frequencies::hertz(f);
}

vemlari::Frequencies model_frequencies(const ModelFile& m) {
    const double duration = m.nt * m.dt;
    std::vector<double> f;
    for (int k = 1; k <= static_cast<int>(duration / m.period); ++k) f.push_back(k / duration);
    return vemlari::Frequencies::hertz(f);
}

void report(benchmark::State& state, const vemlari::Modes& m, std::size_t frequencies) {
    std::size_t modes = 0;
    for (const vemlari::WaveModes* w : {&m.love, &m.rayleigh})
        for (const auto& row : w->phase_velocity) modes += row.size();
    const double evaluations = static_cast<double>(m.love.evaluations + m.rayleigh.evaluations);
    state.counters["modes"] = static_cast<double>(modes);
    state.counters["evals_per_mode"] = modes > 0 ? evaluations / static_cast<double>(modes) : 0.0;
    state.counters["evals_per_frequency"] = evaluations / static_cast<double>(frequencies);
}

void BM_fundamental_curves(benchmark::State& state) {
    const ModelFile file = read_model(curve_models[state.range(0)]);
    const vemlari::Model model(file.layers);
    const vemlari::Frequencies f = curve_frequencies(file);
    vemlari::SearchOptions o;
    o.highest_mode = 0;
    vemlari::Modes m = vemlari::find_modes(model, f, o);
    for (auto _ : state) {
        m = vemlari::find_modes(model, f, o);
        benchmark::DoNotOptimize(m);
    }
    report(state, m, f.size());
    state.SetLabel(std::to_string(file.layers.size()) + " layers");
}
BENCHMARK(BM_fundamental_curves)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// arg 0: the model; arg 1: 0 the counted search, 1 the scan (tolerance 1e-7, 500 partitions).
void BM_every_mode(benchmark::State& state) {
    const ModelFile file = read_model(every_mode_models[state.range(0)]);
    const vemlari::Model model(file.layers);
    const vemlari::Frequencies f = model_frequencies(file);
    vemlari::SearchOptions o;
    if (state.range(1) == 1) {
        o.method = vemlari::SearchMethod::scan;
        o.tolerance = 1e-7;
        o.partitions = 500;
    }
    vemlari::Modes m = vemlari::find_modes(model, f, o);
    for (auto _ : state) {
        m = vemlari::find_modes(model, f, o);
        const vemlari::Properties p = vemlari::mode_properties(model, m);
        benchmark::DoNotOptimize(p);
    }
    report(state, m, f.size());
    state.SetLabel(std::string(every_mode_models[state.range(0)]) + (state.range(1) == 1 ? " scan" : " counted"));
}
BENCHMARK(BM_every_mode)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace
