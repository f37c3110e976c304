// Fundamental Love and Rayleigh modes of the crustal example (examples/crust.csv) at ten
// frequencies, through the library: one line per frequency with the phase velocity c and
// the group velocity U of mode 0 of each wave.
#include <cstdio>
#include <vector>

#include <vemlari/vemlari.h>

namespace {

void print_mode(const vemlari::Modes& modes, const vemlari::Properties& props, vemlari::Wave wave, std::size_t k,
                const char* name) {
    const auto& found = modes[wave].phase_velocity[k];
    if (found.empty()) {
        std::printf("  %s: no mode 0", name);
        return;
    }
    std::printf("  %s: c %7.1f m/s  U %7.1f m/s", name, found[0], props[wave].modes[k][0].group_velocity);
}

}  // namespace

int main() {
    try {
        // Thickness (m), vp, vs (m/s), density; the last layer is the half-space.
        const vemlari::Model model({
            {2000, 4500, 2600, 2500},
            {13000, 6000, 3500, 2700},
            {15000, 6600, 3800, 2900},
            {0, 8000, 4500, 3300},
        });

        std::vector<double> hz;
        for (int i = 1; i <= 10; ++i) hz.push_back(0.02 * i);

        vemlari::SearchOptions options;
        options.highest_mode = 0;  // the fundamental modes only: the search stops there
        const vemlari::Modes modes = vemlari::find_modes(model, vemlari::Frequencies::hertz(hz), options);
        const vemlari::Properties props = vemlari::mode_properties(model, modes);

        for (std::size_t k = 0; k < modes.frequencies.size(); ++k) {
            std::printf("f %5.3f Hz", modes.frequencies.frequency(k));
            print_mode(modes, props, vemlari::Wave::rayleigh, k, "Rayleigh");
            print_mode(modes, props, vemlari::Wave::love, k, "Love");
            std::printf("\n");
        }
    } catch (const vemlari::Error& e) {
        std::fprintf(stderr, "refused: %s\n", e.what());
        return 1;
    }
    return 0;
}
