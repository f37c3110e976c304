#pragma once
// The tables of a run as its files show them: one row per frequency index, one column per
// mode, zero where a mode does not exist at a frequency. Sized by the run.
#include <cstddef>
#include <vector>

namespace vemlari {

template <class T>
class ModeTable {
public:
    // rows x modes entries, all zero.
    void resize(int rows, int modes) {
        rows_ = rows;
        modes_ = modes;
        v_.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(modes), T{});
    }
    int rows() const { return rows_; }
    int modes() const { return modes_; }
    T& operator()(int row, int md) { return v_[index(row, md)]; }
    T operator()(int row, int md) const { return v_[index(row, md)]; }

private:
    std::size_t index(int row, int md) const {
        return static_cast<std::size_t>(md) * static_cast<std::size_t>(rows_) + static_cast<std::size_t>(row);
    }
    int rows_ = 0, modes_ = 0;
    std::vector<T> v_;
};

using FreqModeTable = ModeTable<double>;

// Dispersion table: phase velocity per (frequency index, mode) and the highest mode index
// per frequency, for Love and Rayleigh waves.
struct Ccmd {
    FreqModeTable ccl;     // Love phase velocity (m/s)
    FreqModeTable ccr;     // Rayleigh phase velocity (m/s)
    std::vector<int> mdl;  // highest Love mode index, -1 if none
    std::vector<int> mdr;  // highest Rayleigh mode index, -1 if none
    // The layer at whose top each mode's secular function vanished; 0 or 1 is the free
    // surface, a deeper layer a mode trapped below a faster one.
    ModeTable<int> ltop;
    ModeTable<int> rtop;

    void resize(int rows, int modes) {
        ccl.resize(rows, modes);
        ccr.resize(rows, modes);
        ltop.resize(rows, modes);
        rtop.resize(rows, modes);
        mdl.assign(static_cast<std::size_t>(rows), 0);
        mdr.assign(static_cast<std::size_t>(rows), 0);
    }
};

struct Uegl {
    FreqModeTable ugl;  // group velocity (m/s)
    FreqModeTable e1l;  // energy integral I1
    FreqModeTable rsl;  // medium response 1 / (4 om U I1)
};

struct Uegr {
    FreqModeTable ugr;
    FreqModeTable e1r;
    FreqModeTable rsr;
    FreqModeTable hvr;  // H/V ratio at the free surface
};

}  // namespace vemlari
