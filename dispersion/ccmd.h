#pragma once
// Dispersion table: phase velocity per (frequency index, mode) and the highest mode index
// per frequency, for Love and Rayleigh waves. All zero at the start of a run.
#include <array>

namespace vemlari {

constexpr int nfreq = 702;  // frequency indices 0 .. 701
constexpr int nmode = 231;  // mode indices 0 .. 230

// A table addressed as (row index, mode index); the row index varies fastest.
template <int Rows>
class ModeTable {
public:
    double& operator()(int row, int md) { return v_[static_cast<std::size_t>(md) * Rows + row]; }
    double operator()(int row, int md) const { return v_[static_cast<std::size_t>(md) * Rows + row]; }

private:
    std::array<double, static_cast<std::size_t>(Rows) * nmode> v_{};
};

using FreqModeTable = ModeTable<nfreq>;

struct Ccmd {
    FreqModeTable ccl;  // Love phase velocity (m/s)
    FreqModeTable ccr;  // Rayleigh phase velocity (m/s)
    std::array<int, nfreq> mdl{};  // highest Love mode index, -1 if none
    std::array<int, nfreq> mdr{};  // highest Rayleigh mode index, -1 if none
};

}  // namespace vemlari
