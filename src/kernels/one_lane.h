#pragma once
// One lane: the arithmetic of complex.h, with which the kernels written for any lane width
// (sh_kernel.h, psv_kernel.h) are the scalar kernels; and views of the caller's records.
#include "kernels/complex.h"
#include "kernels/kernel_records.h"
#include "kernels/kernel_views.h"

namespace vemlari::detail {

struct OneLane {
    using R = double;
    using C = cplx;
    static cplx wavenumber(double k2, double w2) { return vertical_wavenumber(k2, w2); }
    static cplx phase(cplx nu, double h) { return phase_factor(nu, h); }
};

inline LayerArrays layers_of(const Nstrc& s) { return {s.nl, s.rho.data(), s.vp.data(), s.vs.data(), s.thk.data()}; }

template <class T>
Interfaces<T> view(std::vector<T>& td, std::vector<T>& tu, std::vector<T>& rd, std::vector<T>& ru) {
    return {td.data(), tu.data(), rd.data(), ru.data()};
}
template <class T>
Interfaces<const T> view(const std::vector<T>& td, const std::vector<T>& tu, const std::vector<T>& rd,
                         const std::vector<T>& ru) {
    return {td.data(), tu.data(), rd.data(), ru.data()};
}

inline Interfaces<cplx> view(Mrtlv& m) { return view(m.TD, m.TU, m.RD, m.RU); }
inline Interfaces<const cplx> view(const Mrtlv& m) { return view(m.TD, m.TU, m.RD, m.RU); }
inline Interfaces<Mat2> view(Mrtry& m) { return view(m.TD, m.TU, m.RD, m.RU); }
inline Interfaces<const Mat2> view(const Mrtry& m) { return view(m.TD, m.TU, m.RD, m.RU); }
inline Generalized<cplx> view(Grtlv& g) { return {g.GTD.data(), g.GRD.data()}; }
inline Generalized<cplx> view(Grulv& g) { return {g.GTU.data(), g.GRU.data()}; }
inline Generalized<Mat2> view(Grtry& g) { return {g.GTD.data(), g.GRD.data()}; }
inline Generalized<Mat2> view(Grury& g) { return {g.GTU.data(), g.GRU.data()}; }

// Keeps the near-singular SH reverberation terms in the record for the caller's log.
struct NearPoles {
    Grtlv& g;
    void operator()(cplx d) const {
        if (cabs(d) < 1.0E-15) g.warnD[static_cast<std::size_t>(g.nwarn++)] = d;
    }
};

}  // namespace vemlari::detail
