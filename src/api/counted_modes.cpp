#include "api/counted_modes.h"

#include <algorithm>
#include <optional>

#include "api/cancel_check.h"
#include "api/wave_tables.h"
#include "dispersion/counted_search.h"
#include "model/nstrc.h"
#include "parallel/per_frequency.h"

namespace vemlari::detail {

namespace {

// Entries per block. A block's first entry is found without a prediction (a few count
// passes more); blocks are the units shared among threads, of a fixed size so that the
// results do not depend on how many threads there are.
constexpr std::size_t block_size = 16;

struct Slot {
    std::optional<CountedSearch> love, rayleigh;
    CountedModes entry[3];  // entries k - 2, k - 1 and k in turn
};

struct Task {
    WaveModes* out;
    const CountedSetup* setup;
    std::size_t first, last;  // entries
};

// A lone half-space's Rayleigh wave has no dispersion, and at zero frequency the Rayleigh
// "mode" is the half-space's Rayleigh velocity: one mode, mode 0, found without a search.
void closed_form(WaveModes& w, std::size_t k, double c, const SearchOptions& o) {
    w.count[k] = 1;
    if (!o.mode_set.empty() && std::find(o.mode_set.begin(), o.mode_set.end(), 0) == o.mode_set.end()) {
        w.count[k] = 0;
        return;
    }
    w.phase_velocity[k] = {c};
    w.found_at[k] = {1};
    w.mode[k] = {0};
}

// One block of one wave; stops after an entry holding more modes than the capacity.
// Returns the evaluations made.
long long search_block(const Frequencies& f, const SearchOptions& o, const Task& t, CountedSearch& search, Slot& slot) {
    WaveModes& w = *t.out;
    const Nstrc& s = t.setup->s;
    const auto nl = static_cast<std::size_t>(s.nl);
    const double cr = s.ti[nl] ? layer_rayleigh_velocity(s, s.nl) : rayleigh_velocity(s.vp[nl], s.vs[nl]);
    const bool limited = o.highest_mode >= 0 || !o.mode_set.empty();
    const CountedModes *previous = nullptr, *before = nullptr;
    double om_previous = 0.0, om_before = 0.0;
    long long evaluations = 0;
    for (std::size_t k = t.first; k < t.last && !cancelled(o); ++k) {
        if (w.wave == Wave::rayleigh && (s.nl == 1 || f.angular(k) == 0.0)) {
            closed_form(w, k, cr, o);
            previous = before = nullptr;
            continue;
        }
        // At zero frequency no Love wave travels: its fundamental mode would sit at the
        // half-space's S velocity, the cutoff, as the program reports it.
        if (f.angular(k) == 0.0) {
            previous = before = nullptr;
            continue;
        }
        CountedModes& e = slot.entry[(k - t.first) % 3];
        const double om = f.search_angular(k);
        search.run(om, {previous, before, om_previous, om_before}, e);
        evaluations += e.evaluations;
        w.phase_velocity[k] = e.phase_velocity;
        w.found_at[k] = e.found_at;
        w.mode[k] = e.mode;
        w.count[k] = limited ? static_cast<int>(e.phase_velocity.size()) : std::max(e.count, 0);
        before = previous;
        om_before = om_previous;
        previous = &e;
        om_previous = om;
        if (o.max_modes > 0 && w.count[k] > o.max_modes) break;
    }
    return evaluations;
}

void clear_from(WaveModes& w, std::size_t k) {
    for (; k < w.phase_velocity.size(); ++k) {
        w.phase_velocity[k].clear();
        w.found_at[k].clear();
        w.mode[k].clear();
        w.count[k] = 0;
    }
}

// The first entry below `end` holding more modes than the capacity ends the wave there.
void settle_overflow(WaveModes& w, const SearchOptions& o, std::size_t end) {
    if (!w.searched || o.max_modes <= 0 || w.overflow) return;
    for (std::size_t k = 0; k < end; ++k) {
        if (w.count[k] <= o.max_modes) continue;
        w.overflow = true;
        w.overflow_at = k;
        w.phase_velocity[k].resize(std::min(w.phase_velocity[k].size(), static_cast<std::size_t>(o.max_modes)));
        w.found_at[k].resize(w.phase_velocity[k].size());
        w.mode[k].resize(w.phase_velocity[k].size());
        clear_from(w, k + 1);
        return;
    }
}

}  // namespace

Modes counted_modes(const Model& model, const Frequencies& frequencies, const SearchOptions& options) {
    const Nstrc s = nstrc_of(model);
    const std::size_t n = frequencies.size();
    Modes m = sized_modes(model, frequencies, options);
    const CountedSetup love_setup(s, Wave::love, options), rayleigh_setup(s, Wave::rayleigh, options);

    // In the order of the entries, Love before Rayleigh.
    std::vector<Task> tasks;
    for (std::size_t first = 0; first < n; first += block_size) {
        const std::size_t last = std::min(n, first + block_size);
        if (m.love.searched) tasks.push_back({&m.love, &love_setup, first, last});
        if (m.rayleigh.searched) tasks.push_back({&m.rayleigh, &rayleigh_setup, first, last});
    }
    const int threads =
        static_cast<int>(std::clamp<std::size_t>(tasks.size(), 1, static_cast<std::size_t>(options.threads)));
    std::vector<long long> evaluations(tasks.size(), 0);
    // With a progress call, one round of tasks per thread at a time, so that on_frequency
    // follows the entries as they end.
    const std::size_t round =
        options.on_frequency ? static_cast<std::size_t>(threads) : std::max<std::size_t>(tasks.size(), 1);
    std::size_t delivered = 0;
    for (std::size_t t0 = 0; t0 < tasks.size(); t0 += round) {
        const std::size_t t1 = std::min(tasks.size(), t0 + round);
        for_each_frequency<Slot>(t1 - t0, threads, [&](std::size_t i, Slot& slot) {
            const Task& t = tasks[t0 + i];
            if (t.out->overflow && t.out->overflow_at < t.first) return;
            std::optional<CountedSearch>& search = t.out->wave == Wave::love ? slot.love : slot.rayleigh;
            if (!search) search.emplace(*t.setup);
            evaluations[t0 + i] = search_block(frequencies, options, t, *search, slot);
        });
        // Entries every task of which has ended.
        const std::size_t done =
            t1 == tasks.size() || tasks[t1].first != tasks[t1 - 1].first ? tasks[t1 - 1].last : tasks[t1 - 1].first;
        stop_if_cancelled(options);
        for (WaveModes* w : {&m.love, &m.rayleigh}) settle_overflow(*w, options, done);
        if (!options.on_frequency) continue;
        for (; delivered < done; ++delivered) {
            m.searched = delivered + 1;
            if (!options.on_frequency(m, delivered)) return m;
        }
    }
    for (std::size_t t = 0; t < tasks.size(); ++t) tasks[t].out->evaluations += evaluations[t];
    m.searched = n;
    return m;
}

}  // namespace vemlari::detail
