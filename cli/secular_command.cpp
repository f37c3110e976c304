// vemlari secular: the secular function against phase velocity at one frequency.
#include <algorithm>
#include <complex>
#include <span>
#include <vector>

#include "cli/commands.h"
#include "cli/interrupts.h"
#include "cli/shortest_number.h"
#include "cli/spacing.h"
#include "cli/table_run.h"
#include "vemlari/compute.h"
#include "vemlari/error.h"
#include "vemlari/scan_range.h"

namespace vemlari::cli {

namespace {

enum Column { frequency, phase_velocity, real, imaginary, modulus, columns };

// Phase velocities evaluated between two looks at the interrupt flag.
constexpr std::size_t slice = 16384;

}  // namespace

int run_secular(const SecularRequest& r, std::istream& in, std::ostream& out, std::ostream& err, bool terminal) {
    TableJob job;
    job.columns = {"frequency", "phase_velocity", "real", "imaginary", "modulus"};
    job.frequencies = [](const ModelEntry&) { return std::size_t{0}; };
    job.compute = [&](const ModelEntry& e, int, const std::function<void()>&) {
        const Model& model = *e.model;
        // By default the velocities that the search of both waves scans.
        const ScanRange range = scan_range(model);
        const double cmin = r.cmin ? *r.cmin : range.cmin;
        const double cmax = r.cmax ? *r.cmax : range.cmax;
        // A lone half-space has no secular function: the library refuses it below.
        const bool layered = model.size() > 1;
        if (layered && !(cmax > cmin)) {
            std::string range_text;
            append_shortest(range_text, cmin);
            range_text += " .. ";
            append_shortest(range_text, cmax);
            throw Refusal("the phase velocities " + range_text + " m/s do not rise: give --cmin below --cmax");
        }
        const std::vector<double> c = layered ? spaced(cmin, cmax, r.count) : std::vector<double>{};
        std::vector<Block> blocks;
        for (Wave w : {Wave::love, Wave::rayleigh}) {
            if (w == Wave::love ? !r.common.love : !r.common.rayleigh) continue;
            // In slices, so that an interrupt (interrupts.h) ends a long list within a fraction of a second.
            std::vector<std::complex<double>> f;
            for (std::size_t at = 0; at < c.size(); at += slice) {
                if (interrupt_flag()->cancelled()) throw Error(Error::Rule::cancelled, "the computation was cancelled");
                const std::vector<std::complex<double>> part =
                    secular_function(model, w, r.frequency, std::span(c).subspan(at, std::min(slice, c.size() - at)));
                f.insert(f.end(), part.begin(), part.end());
            }
            Block b{e.name, w, c.size(), std::vector<std::vector<double>>(columns)};
            for (std::size_t i = 0; i < c.size(); ++i) {
                b.values[frequency].push_back(r.frequency);
                b.values[phase_velocity].push_back(c[i]);
                b.values[real].push_back(f[i].real());
                b.values[imaginary].push_back(f[i].imag());
                b.values[modulus].push_back(std::abs(f[i]));
            }
            blocks.push_back(std::move(b));
        }
        return blocks;
    };
    return run_table(r.common, job, in, out, err, terminal);
}

}  // namespace vemlari::cli
