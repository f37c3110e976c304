#include "cli/arguments.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>

#include "cli/spacing.h"
#include "cli/table_size.h"
#include "vemlari/error.h"
#include "vemlari/threads.h"
#include "vemlari/version.h"

namespace vemlari::cli {

namespace {

constexpr int usage_error = 2;

const char* const footer =
    "MODEL is a file in one of three formats, recognised by content: the program's CSV model file\n"
    "(as the dialogue reads it), a model96 file, or a list of models (per model a line with its number\n"
    "of layers, then per layer a line \"thickness vp vs rho [qs [qp]]\" in m, m/s, kg/m3, or\n"
    "\"thickness vpv vsv rho qs qp vph vsh eta\" for a radially anisotropic layer; the half-space's\n"
    "thickness 0). \"-\" reads standard input. Without any argument vemlari starts its dialogue.\n"
    "Exit status: 0 done; 1 a model was refused (the others are computed); 2 a wrong command line\n"
    "or an output that cannot be written; 3 the run failed (out of memory, an internal fault);\n"
    "130, 143 interrupted by SIGINT, SIGTERM.";

// Options of the command line before they are checked together.
struct Raw {
    std::string wave = "both";
    std::string format = "csv";
    std::vector<double> frequencies, periods;
    double fmin = 0.0, fmax = 0.0, tmin = 0.0, tmax = 0.0;
    double period = 0.0;
    int count = 0;
    bool log = false;
    int mode = -1;
    std::vector<int> mode_set;
    double depth = 0.0;
    double cmin = 0.0, cmax = 0.0;
    std::string search = "counted";
};

void add_common(CLI::App& sub, Common& c, Raw& raw) {
    sub.add_option("MODEL", c.models, "Model files (\"-\": standard input)")->required()->type_name("FILE");
    sub.add_option("--wave", raw.wave, "love, rayleigh or both")
        ->check(CLI::IsMember({"love", "rayleigh", "both"}))
        ->capture_default_str();
    sub.add_option("--format", raw.format,
                   "csv; json (an object of column arrays per model and wave); records (a JSON array of one object "
                   "per row) or jsonl (JSON Lines: one object per row and line), whose rows name the model by file "
                   "and index")
        ->check(CLI::IsMember({"csv", "json", "records", "jsonl"}))
        ->capture_default_str();
    sub.add_option("-o,--output", c.output, "Write the table to FILE (default, and \"-\": standard output)")
        ->type_name("FILE");
    sub.add_option("--threads", c.threads,
                   "Threads, shared among the models (default: every core this process may run on)")
        ->check(CLI::Range(1, 4096));
    sub.add_flag("--quiet", c.quiet, "No progress line on a terminal");
}

void add_search(CLI::App& sub, Search& s, std::string& method) {
    sub.add_option("--search", method,
                   "counted: every mode certified by a count of the modes, to full precision; scan: the dialogue's "
                   "search on a grid of trial velocities")
        ->check(CLI::IsMember({"counted", "scan"}))
        ->capture_default_str();
    sub.add_option("--velocity-tolerance", s.velocity_tolerance,
                   "Counted search: relative phase-velocity tolerance (0: as far as double precision allows)")
        ->capture_default_str();
    const auto scan_only = [&sub](CLI::Option* o) { o->group("Scan (--search scan)"); };
    scan_only(sub.add_option("--tolerance", s.tolerance, "A root is a mode when |F| falls below this")
                  ->capture_default_str());
    scan_only(sub.add_option("--partitions", s.partitions, "Scan steps over the phase-velocity range")
                  ->check(CLI::Range(1, std::numeric_limits<int>::max()))
                  ->capture_default_str());
    scan_only(sub.add_option("--iterations", s.iterations, "Refinement iterations per candidate")
                  ->check(CLI::Range(1, std::numeric_limits<int>::max()))
                  ->capture_default_str());
}

[[noreturn]] void refuse(const std::string& option, const std::string& what) {
    throw CLI::ValidationError(option, what);
}

void positive(const std::string& option, double v) {
    if (!(std::isfinite(v) && v > 0.0)) refuse(option, "must be a positive number");
}

void finish_common(Common& c, const Raw& raw) {
    c.love = raw.wave != "rayleigh";
    c.rayleigh = raw.wave != "love";
    c.format = raw.format == "json"      ? Format::json
               : raw.format == "records" ? Format::records
               : raw.format == "jsonl"   ? Format::jsonl
                                         : Format::csv;
    if (c.output == "-") c.output.clear();
}

// Refuses what would not fit in memory (table_size.h): `per_wave` rows for each wave asked.
void fits(const std::string& option, const Common& c, TableKind kind, double per_wave) {
    const std::string why = too_large(kind, (c.love ? per_wave : 0.0) + (c.rayleigh ? per_wave : 0.0));
    if (!why.empty()) refuse(option, why);
}

void finish_search(const CLI::App& sub, Search& s, const std::string& method) {
    s.scan = method == "scan";
    if (!(std::isfinite(s.tolerance) && s.tolerance > 0.0)) refuse("--tolerance", "must be a positive number");
    if (!(std::isfinite(s.velocity_tolerance) && s.velocity_tolerance >= 0.0 && s.velocity_tolerance < 1.0))
        refuse("--velocity-tolerance", "must be at least 0 and below 1");
    // An option of the other search would be ignored without a word.
    for (const char* o : {"--tolerance", "--partitions", "--iterations"})
        if (!s.scan && sub.count(o) > 0) refuse(o, "applies to the scan: add --search scan");
    if (s.scan && sub.count("--velocity-tolerance") > 0)
        refuse("--velocity-tolerance", "applies to the counted search, not to --search scan");
}

// The one frequency of eigen and secular: --frequency, or 1 / --period.
void one_frequency(double& hz, double period, const CLI::Option& frequency_given, const CLI::Option& period_given) {
    if (period_given.count() > 0) {
        positive("--period", period);
        hz = 1.0 / period;
    } else if (frequency_given.count() == 0) {
        refuse("--frequency", "give --frequency (Hz) or --period (s)");
    }
    positive("--frequency", hz);
}

// Periods (s, > 0, all different, in any order) as increasing frequencies.
std::vector<double> of_periods(const std::string& option, const std::vector<double>& t) {
    std::vector<double> f;
    for (const double x : t) {
        if (!(std::isfinite(x) && x > 0.0)) refuse(option, "periods must be positive numbers of seconds");
        f.push_back(1.0 / x);
    }
    std::sort(f.begin(), f.end());
    if (std::adjacent_find(f.begin(), f.end()) != f.end()) refuse(option, "the periods must all differ");
    return f;
}

Frequencies hertz(const std::string& option, std::vector<double> f) {
    try {
        return Frequencies::hertz(std::move(f));
    } catch (const Error& e) {
        refuse(option, e.what());
    }
}

// Everything the options write into, alive until the request is made.
struct Parsed {
    Raw raw;
    ModesRequest modes;
    KernelsRequest kernels;
    EigenRequest eigen;
    SecularRequest secular;
    std::optional<Request> request;
};

// The frequencies and mode limit of modes and kernels; the returned callback checks them
// into `r` once the line is parsed.
std::function<void()> add_mode_options(CLI::App& sub, ModesRequest& r, Raw& raw, TableKind kind) {
    add_common(sub, r.common, raw);
    add_search(sub, r.search, raw.search);
    // An empty text would otherwise be read as 0 Hz.
    const CLI::Validator number(
        [](std::string& field) {
            return field.empty() ? std::string("expected a frequency, found nothing") : std::string();
        },
        "");
    CLI::Option* list = sub.add_option("--frequencies", raw.frequencies, "Frequencies (Hz), increasing: F1,F2,...")
                            ->delimiter(',')
                            ->check(number)
                            ->type_name("LIST");
    CLI::Option* periods = sub.add_option("--periods", raw.periods, "Periods (s), in any order: T1,T2,...")
                               ->delimiter(',')
                               ->check(number)
                               ->type_name("LIST")
                               ->excludes(list);
    CLI::Option* fmin = sub.add_option("--fmin", raw.fmin, "Lowest frequency of a grid (Hz)");
    CLI::Option* fmax = sub.add_option("--fmax", raw.fmax, "Highest frequency of the grid (Hz)");
    CLI::Option* tmin = sub.add_option("--tmin", raw.tmin, "Shortest period of a grid (s), instead of --fmax");
    CLI::Option* tmax = sub.add_option("--tmax", raw.tmax, "Longest period of the grid (s), instead of --fmin");
    CLI::Option* fcount = sub.add_option("--count", raw.count, "Frequencies (or periods) of the grid, at least 2")
                              ->check(CLI::Range(2, std::numeric_limits<int>::max()));
    CLI::Option* log = sub.add_flag("--log", raw.log, "Space the grid's frequencies (periods) by equal ratios");
    for (CLI::Option* o : {fmin, fmax, tmin, tmax, fcount}) {
        o->excludes(list);
        o->excludes(periods);
    }
    for (CLI::Option* o : {fmin, fmax}) {
        for (CLI::Option* other : {tmin, tmax}) o->excludes(other);
        o->needs(fcount);
    }
    for (CLI::Option* o : {tmin, tmax}) o->needs(fcount);
    fmin->needs(fmax);
    fmax->needs(fmin);
    tmin->needs(tmax);
    tmax->needs(tmin);
    CLI::Option* highest = sub.add_option("--highest-mode,--modes", raw.mode,
                                          "Modes 0 .. N only (default: every mode; --modes is the older spelling)")
                               ->check(CLI::Range(0, std::numeric_limits<int>::max()))
                               ->type_name("N");
    CLI::Option* only = sub.add_option("--only-modes", raw.mode_set,
                                       "These modes alone, found without the others (counted search): I,J,...")
                            ->delimiter(',')
                            ->check(CLI::Range(0, std::numeric_limits<int>::max()))
                            ->type_name("LIST")
                            ->excludes(highest);
    return [&sub, &r, &raw, list, periods, fmin, tmin, fcount, log, highest, only, kind] {
        finish_common(r.common, raw);
        finish_search(sub, r.search, raw.search);
        if (fcount->count() > 0 && fmin->count() == 0 && tmin->count() == 0)
            refuse("--count", "needs --fmin and --fmax, or --tmin and --tmax");
        if (log->count() > 0 && fcount->count() == 0)
            refuse("--log", "needs a grid: --fmin, --fmax or --tmin, --tmax, and --count");
        if (list->count() > 0) {
            fits("--frequencies", r.common, kind, static_cast<double>(raw.frequencies.size()));
            r.frequencies = hertz("--frequencies", raw.frequencies);
        }
        if (periods->count() > 0) {
            fits("--periods", r.common, kind, static_cast<double>(raw.periods.size()));
            r.frequencies = hertz("--periods", of_periods("--periods", raw.periods));
        }
        if (tmin->count() > 0) {
            fits("--count", r.common, kind, raw.count);
            if (!(std::isfinite(raw.tmin) && raw.tmin > 0.0)) refuse("--tmin", "must be a positive number of seconds");
            if (!(std::isfinite(raw.tmax) && raw.tmax > raw.tmin)) refuse("--tmax", "must be above --tmin");
            r.frequencies =
                hertz("--tmin, --tmax, --count",
                      of_periods("--tmin, --tmax, --count", spaced(raw.tmin, raw.tmax, raw.count, raw.log)));
        }
        if (fmin->count() > 0) {
            fits("--count", r.common, kind, raw.count);
            if (!(std::isfinite(raw.fmin) && raw.fmin >= 0.0 && (raw.fmin > 0.0 || !raw.log)))
                refuse("--fmin", raw.log ? "must be positive with --log" : "must be a number, at least 0");
            if (!(std::isfinite(raw.fmax) && raw.fmax > raw.fmin)) refuse("--fmax", "must be above --fmin");
            r.frequencies = hertz("--fmin, --fmax, --count", spaced(raw.fmin, raw.fmax, raw.count, raw.log));
        }
        if (highest->count() > 0) r.highest_mode = raw.mode;
        if (only->count() > 0) {
            if (r.search.scan) refuse("--only-modes", "needs the counted search, not --search scan");
            r.mode_set = raw.mode_set;
        }
    };
}

void add_sphere(CLI::App& sub, Sphere& s) {
    CLI::Option* on = sub.add_flag(
        "--spherical", s.on,
        "Read each model as the shells of a sphere, from its surface (the last layer filling the sphere below "
        "its top), and compute by the earth-flattening transformation: Love waves exact, Rayleigh waves "
        "approximate (README, \"A spherical Earth\")");
    sub.add_option("--radius", s.radius, "The sphere's radius (m), with --spherical")
        ->check(CLI::PositiveNumber)
        ->needs(on)
        ->capture_default_str();
}

void add_modes(CLI::App& app, Parsed& p) {
    CLI::App* m = app.add_subcommand("modes",
                                     "Every mode of every model, a row per model, wave, mode and frequency:\n"
                                     "phase and group velocity (m/s), energy integral, medium response,\n"
                                     "H/V ratio (Rayleigh) and the layer at whose top the mode was found\n"
                                     "(1: the free surface).");
    std::function<void()> finish = add_mode_options(*m, p.modes, p.raw, TableKind::modes);
    add_sphere(*m, p.modes.sphere);
    m->callback([&p, finish] {
        finish();
        p.request = p.modes;
    });
}

void add_kernels(CLI::App& app, Parsed& p) {
    CLI::App* k = app.add_subcommand("kernels",
                                     "Sensitivity kernels of every mode, a row per model, wave, mode, frequency\n"
                                     "and layer (1: the top; the last the half-space): the partial derivatives\n"
                                     "at fixed frequency of phase velocity c and group velocity U with respect\n"
                                     "to the layer's S and P velocity, density and thickness (dc_dh: the\n"
                                     "layer's bottom moved with every deeper interface; 0 for the half-space),\n"
                                     "and the mode's 1/Q and attenuation coefficient gamma (1/m) from the\n"
                                     "model's Qp and Qs; du_dh, and with --ellipticity the derivatives of\n"
                                     "the signed H/V of Rayleigh modes.");
    std::function<void()> finish = add_mode_options(*k, p.kernels.modes, p.raw, TableKind::kernels);
    add_sphere(*k, p.kernels.modes.sphere);
    k->add_flag("--physical-dispersion", p.kernels.physical_dispersion,
                "Move each layer's velocities from the file's reference frequencies Fp, Fs to each frequency by "
                "the constant-Q relation before the modes are found (every frequency must be above 0)");
    k->add_flag("--ellipticity", p.kernels.ellipticity,
                "Also the kernels of the signed H/V of Rayleigh modes, dhv_dvs, dhv_dvp, dhv_drho, dhv_dh (empty "
                "cells without it)");
    k->callback([&p, finish] {
        finish();
        p.request = p.kernels;
    });
}

void add_eigen(CLI::App& app, Parsed& p) {
    CLI::App* e = app.add_subcommand("eigen",
                                     "Eigenfunctions of the modes at one frequency against depth: Love\n"
                                     "displacement and shear stress; Rayleigh horizontal and vertical\n"
                                     "displacement, shear and normal traction.");
    Raw& raw = p.raw;
    add_common(*e, p.eigen.common, raw);
    add_search(*e, p.eigen.search, raw.search);
    add_sphere(*e, p.eigen.sphere);
    CLI::Option* frequency = e->add_option("--frequency", p.eigen.frequency, "Frequency (Hz)");
    CLI::Option* period =
        e->add_option("--period", raw.period, "Period (s), instead of --frequency")->excludes(frequency);
    CLI::Option* mode = e->add_option("--mode", raw.mode, "Mode M only (default: every mode)")
                            ->check(CLI::Range(0, std::numeric_limits<int>::max()))
                            ->type_name("M");
    CLI::Option* depth = e->add_option("--depth", raw.depth,
                                       "Deepest point (m; default: the half-space's top plus one S wavelength in it)");
    e->add_option("--points", p.eigen.points, "Depth points from 0 to the deepest, evenly spaced")
        ->check(CLI::Range(2, std::numeric_limits<int>::max()))
        ->capture_default_str();
    e->callback([e, &p, mode, depth, frequency, period] {
        const Raw& raw = p.raw;
        EigenRequest& r = p.eigen;
        finish_common(r.common, raw);
        finish_search(*e, r.search, raw.search);
        one_frequency(r.frequency, raw.period, *frequency, *period);
        fits("--points", r.common, TableKind::eigen, r.points);
        if (mode->count() > 0) r.mode = raw.mode;
        if (depth->count() > 0) {
            if (!(std::isfinite(raw.depth) && raw.depth >= 0.0)) refuse("--depth", "must be a number, at least 0");
            r.depth = raw.depth;
        }
        p.request = r;
    });
}

void add_secular(CLI::App& app, Parsed& p) {
    CLI::App* s = app.add_subcommand("secular",
                                     "The secular function at one frequency against phase velocity:\n"
                                     "real and imaginary part, modulus. Its zeros are the modes.");
    Raw& raw = p.raw;
    add_common(*s, p.secular.common, raw);
    CLI::Option* frequency = s->add_option("--frequency", p.secular.frequency, "Frequency (Hz)");
    CLI::Option* period =
        s->add_option("--period", raw.period, "Period (s), instead of --frequency")->excludes(frequency);
    CLI::Option* cmin = s->add_option("--cmin", raw.cmin, "Lowest phase velocity (m/s; default: the search's)");
    CLI::Option* cmax = s->add_option("--cmax", raw.cmax, "Highest phase velocity (m/s; default: the search's)");
    s->add_option("--count", p.secular.count, "Phase velocities, evenly spaced")
        ->check(CLI::Range(2, std::numeric_limits<int>::max()))
        ->capture_default_str();
    s->callback([&p, cmin, cmax, frequency, period] {
        const Raw& raw = p.raw;
        SecularRequest& r = p.secular;
        finish_common(r.common, raw);
        one_frequency(r.frequency, raw.period, *frequency, *period);
        fits("--count", r.common, TableKind::secular, r.count);
        if (cmin->count() > 0) {
            positive("--cmin", raw.cmin);
            r.cmin = raw.cmin;
        }
        if (cmax->count() > 0) {
            positive("--cmax", raw.cmax);
            r.cmax = raw.cmax;
        }
        if (r.cmin && r.cmax && !(*r.cmax > *r.cmin)) refuse("--cmax", "must be above --cmin");
        p.request = r;
    });
}

}  // namespace

std::variant<Request, int> parse_arguments(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app("vemlari: every Love and Rayleigh surface-wave mode of a horizontally layered elastic half-space.",
                 "vemlari");
    app.set_version_flag("--version", std::string("vemlari ") + version, "Show the version and exit");
    app.footer(footer);
    app.require_subcommand(1);

    Parsed p;
    for (Common* c : {&p.modes.common, &p.kernels.modes.common, &p.eigen.common, &p.secular.common})
        c->threads = usable_cores();
    add_modes(app, p);
    add_kernels(app, p);
    add_eigen(app, p);
    add_secular(app, p);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error, out, err);
        return status == 0 ? 0 : usage_error;
    }
    return std::move(*p.request);
}

}  // namespace vemlari::cli
