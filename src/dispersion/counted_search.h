#pragma once
// The counted mode search at one frequency: every mode is bracketed by the mode count, so
// that N(lo) = i and N(hi) = i + 1 certify that [lo, hi] holds mode i, and its phase
// velocity is refined on a root function without poles to the requested precision.
#include <cstddef>
#include <vector>

#include "kernels/mode_count.h"
#include "vemlari/options.h"
#include "vemlari/results.h"

namespace vemlari::detail {

// What every frequency's search of one wave shares (formed once per model and call).
struct CountedSetup {
    CountedSetup(const Nstrc& s, Wave wave, const SearchOptions& o);
    const Nstrc& s;
    Wave wave;
    double top_velocity;  // top_velocity_of: modes lie below it
    double floor;         // a velocity below every mode
    // Interfaces (layer tops) where a root is refined: the free surface and the top of every
    // layer slower than one above it first, then the others.
    std::vector<int> preferred, others;
    // Rayleigh waves of a model with a strong S-velocity contrast (a layer at least five times
    // slower than one below it) may have modes of negative group velocity, which the signed
    // count does not see one by one: such searches sample the count on a grid first (see
    // guard_points).
    bool guard = false;
    double tolerance;           // relative phase-velocity tolerance
    int highest_mode;           // -1: all
    std::vector<int> mode_set;  // sorted; empty: by highest_mode
    std::size_t capacity;       // modes kept per frequency
    // The caller's flag (SearchOptions::cancellation), looked at before each mode: a raised
    // flag ends the frequency's search early, and the caller throws.
    const Cancellation* cancellation;
    bool cancelled() const { return cancellation != nullptr && cancellation->cancelled(); }
};

// Modes of the entries before, to predict where a mode is.
struct CountedModes;
struct Prediction {
    const CountedModes* previous = nullptr;  // entry k - 1, or null
    const CountedModes* before = nullptr;    // entry k - 2, or null
    double om_previous = 0.0, om_before = 0.0;
};

// The outcome at one frequency.
struct CountedModes {
    std::vector<double> phase_velocity;
    std::vector<int> mode;  // the mode number of each entry
    std::vector<int> found_at;
    int count = 0;              // modes below the half-space's S velocity (signed for Rayleigh)
    long long evaluations = 0;  // count passes and root-function evaluations
};

// The Rayleigh velocity (m/s) of a homogeneous half-space (vp^2 > 4/3 vs^2), to a few rounding
// errors: a lone half-space's only mode at every frequency, and the Rayleigh mode of zero
// frequency.
double rayleigh_velocity(double vp, double vs);
// The Rayleigh velocity of a half-space made of layer l (isotropic or not).
double layer_rayleigh_velocity(const Nstrc& s, int l);
// The velocity where the wave's modes end: the half-space's S velocity (horizontal for Love
// waves; for Rayleigh waves of a transversely isotropic half-space vsv or vph, the slower).
double top_velocity_of(const Nstrc& s, Wave wave);

class CountedSearch {
public:
    explicit CountedSearch(const CountedSetup& setup);
    // The modes at angular frequency om > 0.
    void run(double om, const Prediction& p, CountedModes& out);

    // Count samples per interval of the guard grid: the grid has guard_points * (N + 1) + 16
    // points from the floor to the half-space's S velocity, N the count there.
    static constexpr int guard_points = 8;
    // Modes of one frequency that a search for every mode finds at most; past it, with no
    // limit of the caller's (highest_mode, mode_set, max_modes), it throws Error.
    static constexpr int unbounded_modes = 1000000;

private:
    // A trial velocity whose count is known, with what the count left of the free surface:
    // the root function there and the count of the stack below it.
    struct Point {
        double c;
        int n;
        double surface = 0.0;
        int surface_below = -1;  // -1: not known
    };
    struct Side {
        std::vector<double> love;
        std::vector<Sym2> rayleigh;
        std::vector<int> below, above;
    };
    int count(double c, Point& at);
    void profile(double c, Side& side);
    double root_function(int i, double c);
    double side_value(const Side& side, int i) const;
    int point_count(double c);
    void point_insert(double c, int n);
    const Point* point_at(double c) const;
    bool add_floor();
    bool add_top();
    bool bracket(int i, double& lo, double& hi);
    bool refine(double& lo, double& hi, double& root, int& at, bool any_interface);
    bool find(int i, double& root, int& at);
    void predict(int i, const Prediction& p);
    void monotone(const Prediction& p, CountedModes& out);
    void guarded(CountedModes& out);
    void isolate(double a, int na, double b, int nb, long long wanted_roots, int depth);
    bool wanted(int i) const;
    void refuse_unbounded(int total) const;
    int modes_wanted(int total) const;

    const CountedSetup& setup_;
    CountWork work_;
    Side lo_side_, hi_side_;
    std::vector<Point> points_;  // (c, N) met at this frequency, in increasing c
    std::vector<double> roots_;  // the guarded search's roots so far
    std::vector<int> roots_at_;
    double om_ = 0.0;
    long long evaluations_ = 0;
    bool top_counted_ = false;
};

}  // namespace vemlari::detail
