#pragma once
// What each subcommand was asked, once the command line is parsed and checked.
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cli/table.h"
#include "vemlari/frequencies.h"
#include "vemlari/options.h"

namespace vemlari::cli {

// What every subcommand takes.
struct Common {
    std::vector<std::string> models;
    bool love = true;
    bool rayleigh = true;
    Format format = Format::csv;
    std::string output;  // empty: standard output
    int threads = 1;
    bool quiet = false;
};

struct Search {
    bool scan = false;                  // the program's scan instead of the counted search
    double velocity_tolerance = 0.0;    // counted: relative; 0 as far as double precision allows
    double tolerance = scan_tolerance;  // scan
    int partitions = scan_partitions;
    int iterations = scan_iterations;
};

// --spherical: each model read as the shells of a sphere of this radius, from its surface
// (the last layer filling the sphere below its top), and computed on its flat model for
// each wave (vemlari/flattening.h).
struct Sphere {
    bool on = false;
    double radius = 6371000.0;  // m
};

struct ModesRequest {
    Common common;
    Search search;
    Sphere sphere;
    std::optional<Frequencies> frequencies;  // empty: each file's own grid
    int highest_mode = -1;                   // -1: every mode
    std::vector<int> mode_set;               // these modes alone (the counted search); empty: by highest_mode
};

// The modes of ModesRequest with their sensitivity kernels and attenuation.
struct KernelsRequest {
    ModesRequest modes;
    bool physical_dispersion = false;  // velocities moved from the file's reference frequencies
    bool ellipticity = false;          // the H/V kernels of Rayleigh modes too
};

struct EigenRequest {
    Common common;
    Search search;
    Sphere sphere;
    double frequency = 0.0;       // Hz
    std::optional<int> mode;      // empty: every mode at the frequency
    std::optional<double> depth;  // m; empty: the half-space's top plus one of its S wavelengths
    int points = 201;
};

struct SecularRequest {
    Common common;
    double frequency = 0.0;            // Hz
    std::optional<double> cmin, cmax;  // m/s; empty: the model's scan range
    int count = 1000;
};

using Request = std::variant<ModesRequest, KernelsRequest, EigenRequest, SecularRequest>;

}  // namespace vemlari::cli
