#pragma once
// One run of the program: the streams and every record that lives for the whole run. The
// stages receive it by reference; nothing else is shared.
#include <filesystem>
#include <iosfwd>

#include "program/run_state.h"
#include "records/streams.h"
#include "records/tables.h"
#include "vemlari/model.h"
#include "vemlari/scan_range.h"

namespace vemlari {

struct Run {
    Run(std::istream& keyboard, std::ostream& console, std::ostream& error, const std::filesystem::path& dir,
        int threads)
        : streams(keyboard, console, error, dir), threads(threads) {}

    Streams streams;
    int threads;
    LayerTable layers;
    Freq freq;
    Minmax minmax;
    Nintg nintg;
    Output output;
    Ccmd ccmd;  // rows 0 .. nom
    Uegl uegl;
    Uegr uegr;
    // Secular-function evaluations of the dispersion search, for performance figures.
    long long love_evaluations = 0;
    long long rayleigh_evaluations = 0;
};

// The three stages, called in this order by the run driver.
void indat(int mom_limit, Run& run);
void phase(int mom_limit, Run& run);
void enguu(int mom_limit, Run& run);

// The velocity bounds of the search, from the model in run.layers (the model reader's last
// step before the search controls).
ScanRange derive_scan_range(Run& run);
// The run's layers as the library takes them (quality factors are not needed there).
Model model_of(const LayerTable& t);

// Work counts of a run, for benchmarks.
struct RunFigures {
    long long love_evaluations = 0;
    long long rayleigh_evaluations = 0;
};

// A whole run: banner, stages, closing notes. Files go to `dir`. Returns the exit status:
// 0 normal end, 1 stopped by a failed check or limit, 2 failed stream operation.
int run_vemlari(std::istream& keyboard, std::ostream& console, std::ostream& error, const std::filesystem::path& dir,
                int threads, RunFigures* figures = nullptr);

}  // namespace vemlari
