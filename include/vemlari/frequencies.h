#pragma once
// The frequencies of a call: increasing, any spacing, 0 allowed.
//
// At zero frequency the search has nothing to scan. The counted search gives no Love mode
// and, as the Rayleigh "mode", the half-space's Rayleigh velocity. The scan, as in the
// interactive program, runs the Love search at 0.001 rad/s and takes the half-space Rayleigh
// velocity of the fastest layer. The mode properties are computed at a thousandth of the
// next frequency of the list (of the grid step for a regular grid; 0.001 rad/s when the
// list holds 0 alone).
#include <cstddef>
#include <vector>

namespace vemlari {

class Frequencies {
public:
    // The most entries a list may hold. Every call sizes its tables by the list before it
    // computes (some 400 bytes an entry for the modes, properties and kernels of both waves
    // before any mode is found), so a longer list is refused instead of exhausting the
    // memory; it is also the interactive program's largest grid.
    static constexpr std::size_t max_size = 10'000'000;

    // Frequencies in Hz; omega = 2 pi f. Throws Error (Rule::frequencies) unless finite,
    // >= 0, strictly increasing and at most max_size; an empty list is allowed (and gives
    // empty results).
    static Frequencies hertz(std::vector<double> f);
    // The regular grid omega_i = step * i for i = first .. last (rad/s), as the interactive
    // program builds it from its model file. Throws Error (Rule::frequencies) unless step > 0
    // is finite, 0 <= first, step * last is finite and the grid holds at most max_size
    // entries (checked before any is made); last < first gives an empty list.
    static Frequencies regular(double step, int first, int last);

    std::size_t size() const { return omega_.size(); }
    bool empty() const { return omega_.empty(); }
    // Frequency of entry k (Hz).
    double frequency(std::size_t k) const { return hz_[k]; }
    // Angular frequency of entry k (rad/s), 0 for a zero frequency.
    double angular(std::size_t k) const { return omega_[k]; }
    // What the search and the mode properties use at entry k (see above).
    double search_angular(std::size_t k) const;
    double property_angular(std::size_t k) const;

private:
    Frequencies() = default;
    std::vector<double> hz_, omega_;
    double zero_substitute_ = 0.001;
};

}  // namespace vemlari
