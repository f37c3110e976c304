// vemlari eigen: the eigenfunctions of the modes at one frequency, against depth.
#include <optional>
#include <vector>

#include "cli/commands.h"
#include "cli/search_options.h"
#include "cli/shortest_number.h"
#include "cli/spherical.h"
#include "cli/table_run.h"
#include "vemlari/compute.h"

namespace vemlari::cli {

namespace {

enum Column {
    mode,
    frequency,
    phase_velocity,
    depth,
    displacement,
    stress,
    horizontal,
    vertical,
    shear,
    normal,
    columns
};

const char* wave_name(Wave w) { return w == Wave::love ? "Love" : "Rayleigh"; }

// Deep enough that the slowest decay in the half-space has gone a wavelength.
double default_depth(const Model& model, double hz) {
    double top = 0.0;
    for (std::size_t i = 0; i + 1 < model.size(); ++i) top += model[i].thickness;
    return top + model[model.size() - 1].vs / hz;
}

}  // namespace

int run_eigen(const EigenRequest& r, std::istream& in, std::ostream& out, std::ostream& err, bool terminal) {
    TableJob job;
    job.columns = {"mode",   "frequency",  "phase_velocity", "depth", "displacement",
                   "stress", "horizontal", "vertical",       "shear", "normal"};
    job.frequencies = [&](const ModelEntry&) { return searches(r.sphere, r.common); };
    job.fastest_half_space = r.search.scan;
    job.compute = [&](const ModelEntry& e, int threads, const std::function<void()>& frequency_done) {
        const Model& model = *e.model;
        SearchOptions o = search_options(r.common, r.search, threads, frequency_done);
        if (r.mode) o.highest_mode = *r.mode;
        const Frequencies hz = Frequencies::hertz({r.frequency});
        const double deepest = r.depth ? *r.depth : default_depth(model, r.frequency);
        const double dz = deepest / (r.points - 1);
        std::vector<double> z;
        for (int i = 0; i < r.points; ++i) z.push_back(dz * i);
        // On a sphere, each wave's modes on its flat model, at the flat depths of z.
        std::optional<Modes> m;
        if (!r.sphere.on) m.emplace(find_modes(model, hz, o));
        std::optional<FlatModel> flat;
        std::vector<double> zf;
        if (r.sphere.on)
            for (double d : z) zf.push_back(flat_depth(d, r.sphere.radius));

        std::vector<Block> blocks;
        for (Wave w : {Wave::love, Wave::rayleigh}) {
            if (r.sphere.on) {
                if (!asked(r.common, w)) continue;
                flat.emplace(flatten(model, w, r.sphere.radius));
                m.emplace(find_modes(flat->model, hz, one_wave(o, w)));
            } else if (!(*m)[w].searched) {
                continue;
            }
            const Modes& found = *m;
            const std::vector<double>& c = found[w].phase_velocity[0];
            if (r.mode && static_cast<std::size_t>(*r.mode) >= c.size()) {
                std::string text = std::string("no ") + wave_name(w) + " mode " + std::to_string(*r.mode) + " at ";
                append_shortest(text, r.frequency);
                text += c.empty() ? " Hz (none exists)" : " Hz (modes 0 .. " + std::to_string(c.size() - 1) + " exist)";
                throw Refusal(text);
            }
            Block b{e.name, w, 0, std::vector<std::vector<double>>(columns)};
            const int first = r.mode ? *r.mode : 0;
            const int last = r.mode ? *r.mode : static_cast<int>(c.size()) - 1;
            for (int md = first; md <= last; ++md) {
                const Eigenfunctions f =
                    flat ? spherical_eigenfunctions(*flat, eigenfunctions(flat->model, found, w, 0, md, zf))
                         : eigenfunctions(model, found, w, 0, md, z);
                const bool love = w == Wave::love;
                for (std::size_t i = 0; i < z.size(); ++i) {
                    b.values[mode].push_back(md);
                    b.values[frequency].push_back(r.frequency);
                    b.values[phase_velocity].push_back(c[static_cast<std::size_t>(md)]);
                    b.values[depth].push_back(z[i]);
                    if (love) {
                        b.values[displacement].push_back(f.displacement[i]);
                        b.values[stress].push_back(f.stress[i]);
                    } else {
                        b.values[horizontal].push_back(f.horizontal[i]);
                        b.values[vertical].push_back(f.vertical[i]);
                        b.values[shear].push_back(f.shear[i]);
                        b.values[normal].push_back(f.normal[i]);
                    }
                }
                b.rows += z.size();
            }
            blocks.push_back(std::move(b));
        }
        return blocks;
    };
    return run_table(r.common, job, in, out, err, terminal);
}

}  // namespace vemlari::cli
