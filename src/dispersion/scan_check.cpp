#include "dispersion/scan_check.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "dispersion/counted_search.h"

namespace vemlari::detail {

void check_scan(double om, Wave wave, const Nstrc& s, const ScanCheck& limits,
                const std::function<bool(double c, int top)>& accepts, std::vector<double>& c, std::vector<int>& top,
                int& n) {
    SearchOptions o;
    o.highest_mode = limits.highest_mode;
    o.max_modes = limits.capacity;
    const CountedSetup setup(s, wave, o);
    CountedSearch search(setup);
    CountedModes exact;
    search.run(om, {}, exact);
    const std::vector<double>& e = exact.phase_velocity;
    // The certified root each scan root is nearest to.
    std::vector<int> nearest(c.size(), -1);
    for (std::size_t j = 0; j < c.size(); ++j) {
        double best = INFINITY;
        for (std::size_t i = 0; i < e.size(); ++i) {
            if (std::fabs(c[j] - e[i]) < best) {
                best = std::fabs(c[j] - e[i]);
                nearest[j] = static_cast<int>(i);
            }
        }
    }
    std::vector<double> checked_c;
    std::vector<int> checked_top;
    for (std::size_t i = 0; i < e.size(); ++i) {
        int pick = -1;
        for (std::size_t j = 0; j < c.size(); ++j)
            if (nearest[j] == static_cast<int>(i) &&
                (pick < 0 || std::fabs(c[j] - e[i]) < std::fabs(c[static_cast<std::size_t>(pick)] - e[i])))
                pick = static_cast<int>(j);
        if (pick < 0 && !accepts(e[i], exact.found_at[i])) break;
        checked_c.push_back(pick < 0 ? e[i] : c[static_cast<std::size_t>(pick)]);
        checked_top.push_back(pick < 0 ? exact.found_at[i] : top[static_cast<std::size_t>(pick)]);
    }
    // Modes left out after the first that the scan's test refuses are not counted either,
    // unless there are more modes than the table holds, which the caller must learn.
    if (checked_c.size() < e.size()) {
        c = std::move(checked_c);
        top = std::move(checked_top);
        const bool overflowing = limits.capacity > 0 && exact.count > limits.capacity;
        n = overflowing ? exact.count : std::min(n, static_cast<int>(c.size()));
        return;
    }
    c = std::move(checked_c);
    top = std::move(checked_top);
    n = limits.highest_mode >= 0 ? static_cast<int>(c.size()) : exact.count;
}

}  // namespace vemlari::detail
