// Wall time of whole runs (dispersion search and eigenvectors, every file written) on the
// example models, with one thread and with every core of the machine.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "program/run.h"

namespace {

namespace fs = std::filesystem;

// Layer lines "n,rho,vp,qp,fp,vs,qs,fs,thk" of examples/crust.csv.
const char* const crust_layers =
    "1,2500,4500,300,1,2600,150,1,2000\n"
    "2,2700,6000,500,1,3500,250,1,13000\n"
    "3,2900,6600,600,1,3800,300,1,15000\n"
    "4,3300,8000,1000,1,4500,500,1,0\n";

// Layer lines of examples/soil.csv.
const char* const soil_layers =
    "1,1800,600,20,1,300,10,1,5\n"
    "2,1700,450,20,1,200,10,1,10\n"
    "3,1900,800,30,1,400,15,1,20\n"
    "4,2200,1800,50,1,800,25,1,0\n";

// A gradient crust: 19 layers of 1500 m, vs 2000..4400 m/s, vp = 1.73 vs, rho 2400..3200,
// over a mantle half-space.
std::string gradient_layers() {
    std::ostringstream out;
    for (int j = 1; j <= 19; ++j) {
        const double vs = 2000.0 + 2400.0 * (j - 1) / 18.0;
        const double rho = 2400.0 + 800.0 * (j - 1) / 18.0;
        out << j << ',' << rho << ',' << 1.73 * vs << ",500,1," << vs << ",250,1,1500\n";
    }
    out << "20,3300,8000,1000,1,4600,500,1,0\n";
    return out.str();
}

// The frequency count is floor(nt dt / period) + 1.
std::string model_text(const char* title, const char* dt_nt, const char* period, int nl, const std::string& layers) {
    std::ostringstream out;
    out << title << "\ndt (s),nt\n"
        << dt_nt << "\nshortest period (s)\n"
        << period << "\n\nnumber of layers\n"
        << nl << "\nLayer,Density,Vp,Qp,Fp,Vs,Qs,Fs,Thickness\n"
        << layers;
    return out.str();
}

struct Case {
    const char* name;
    std::string model;
    int partitions;
};

// A scratch directory of its own per benchmark and thread count, holding the model file; the
// run's outputs are replaced there at every iteration.
fs::path scratch(const Case& c, int threads) {
    const fs::path dir = fs::temp_directory_path() /
                         ("vemlari_bench_" + std::to_string(::getpid()) + "_" + c.name + "_" + std::to_string(threads));
    fs::create_directories(dir);
    std::ofstream(dir / "model.csv") << c.model;
    return dir;
}

void run_case(benchmark::State& state, const Case& c) {
    const int threads = static_cast<int>(state.range(0));
    const fs::path dir = scratch(c, threads);
    const std::string answers = "model.csv\n0\n0.001\n100\n" + std::to_string(c.partitions) + "\n";
    vemlari::RunFigures figures;
    double evaluations = 0;
    for (auto _ : state) {
        std::istringstream keyboard(answers);
        std::ostringstream console, error;
        if (vemlari::run_vemlari(keyboard, console, error, dir, threads, &figures) != 0) {
            state.SkipWithError("the run did not end normally");
            break;
        }
        evaluations += static_cast<double>(figures.love_evaluations + figures.rayleigh_evaluations);
    }
    fs::remove_all(dir);
    state.counters["love_evaluations"] = static_cast<double>(figures.love_evaluations);
    state.counters["rayleigh_evaluations"] = static_cast<double>(figures.rayleigh_evaluations);
    // A rate over wall time, since the benchmarks use real time.
    state.counters["evals_per_second"] = benchmark::Counter(evaluations, benchmark::Counter::kIsRate);
}

// dt 0.5 s, nt 512, shortest period 1.28 s: 256 s / 1.28 s = 200 steps.
void BM_run_crust(benchmark::State& state) {
    static const Case c{"crust", model_text("crust, 200 frequencies", "0.5,512", "1.28", 4, crust_layers), 200};
    run_case(state, c);
}

// 20.48 s / 0.1024 s = 200 steps.
void BM_run_soil(benchmark::State& state) {
    static const Case c{"soil", model_text("soil, 200 frequencies", "0.01,2048", "0.1024", 4, soil_layers), 300};
    run_case(state, c);
}

// 256 s / 5.12 s = 50 steps.
void BM_run_gradient20(benchmark::State& state) {
    static const Case c{
        "gradient20", model_text("gradient crust, 20 layers, 50 frequencies", "0.5,512", "5.12", 20, gradient_layers()),
        200};
    run_case(state, c);
}

void thread_counts(benchmark::internal::Benchmark* b) {
    b->Arg(1);
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    if (cores > 1) b->Arg(cores);
    b->ArgName("threads")->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(1);
}

BENCHMARK(BM_run_crust)->Apply(thread_counts);
BENCHMARK(BM_run_soil)->Apply(thread_counts);
BENCHMARK(BM_run_gradient20)->Apply(thread_counts);

}  // namespace
