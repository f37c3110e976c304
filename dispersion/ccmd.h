#pragma once
// Dispersion table: phase velocity per (frequency index, mode) and the highest mode index
// per frequency, for Love and Rayleigh waves. All zero at the start of a run.
#include <array>

namespace vemlari {

constexpr int nfreq = 702;  // frequency indices 0 .. 701
constexpr int nmode = 231;  // mode indices 0 .. 230

// A table addressed as (row index, mode index); the row index varies fastest.
template <int Rows, class T = double>
class ModeTable {
public:
    T& operator()(int row, int md) { return v_[static_cast<std::size_t>(md) * Rows + row]; }
    T operator()(int row, int md) const { return v_[static_cast<std::size_t>(md) * Rows + row]; }

private:
    std::array<T, static_cast<std::size_t>(Rows) * nmode> v_{};
};

using FreqModeTable = ModeTable<nfreq>;
using FreqTopTable = ModeTable<nfreq, int>;

struct Ccmd {
    FreqModeTable ccl;  // Love phase velocity (m/s)
    FreqModeTable ccr;  // Rayleigh phase velocity (m/s)
    std::array<int, nfreq> mdl{};  // highest Love mode index, -1 if none
    std::array<int, nfreq> mdr{};  // highest Rayleigh mode index, -1 if none
    // The layer at whose top each mode's secular function vanished; 0 or 1 is the free
    // surface, a deeper layer a mode trapped below a faster one.
    FreqTopTable ltop;
    FreqTopTable rtop;
};

}  // namespace vemlari
