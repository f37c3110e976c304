#pragma once
// Records of the reflection/transmission kernels. The caller owns them, so any number of
// evaluations can run side by side; a kernel call reads only (om, wn, nstrc) and overwrites
// entries 1 .. nl-1 (RU from 0 for SH). Each record is sized for the model at the first
// call that needs it (fit), so evaluations on a model of the same size allocate nothing.
#include <cstddef>
#include <vector>

#include "kernels/blocks.h"
#include "kernels/complex.h"
#include "model/nstrc.h"

namespace vemlari::detail {

// The blocks of one lane.
using Mat2 = Block2<cplx>;
using Mat4 = Block4<cplx>;

// SH modified R/T coefficients per interface; RU(0) is the free-surface term.
template <class T, class... Arrays>
void fit_arrays(int nl, Arrays&... a) {
    const std::size_t n = static_cast<std::size_t>(nl) + 1;
    ((a.size() < n ? a.resize(n) : void()), ...);
}

struct Mrtlv {
    std::vector<cplx> TD, TU, RD, RU;
    void fit(int nl) { fit_arrays<cplx>(nl, TD, TU, RD, RU); }
};

// SH generalized R/T coefficients, plus the near-singular reverberation terms met during
// the call (at most one per interface), which the caller reports to the log.
struct Grtlv {
    cplx RU0{};
    std::vector<cplx> GTD, GRD;
    int nwarn = 0;
    std::vector<cplx> warnD;
    void fit(int nl) { fit_arrays<cplx>(nl, GTD, GRD, warnD); }
};

// SH generalized coefficients of the stack above each interface, free surface included, for
// an up-going wave in the layer below it: GRU(i) is the down-going wave that returns into
// layer i+1, GTU(i) the up-going wave that passes into layer i. GRU(0) is RU(0).
struct Grulv {
    std::vector<cplx> GRU, GTU;
    void fit(int nl) { fit_arrays<cplx>(nl, GRU, GTU); }
};

struct Mrtry {
    std::vector<Mat2> TD, TU, RD, RU;
    void fit(int nl) { fit_arrays<Mat2>(nl, TD, TU, RD, RU); }
};

struct Grtry {
    std::vector<Mat2> GTD, GRD;
    void fit(int nl) { fit_arrays<Mat2>(nl, GTD, GRD); }
};

// P-SV counterpart of Grulv.
struct Grury {
    std::vector<Mat2> GRU, GTU;
    void fit(int nl) { fit_arrays<Mat2>(nl, GRU, GTU); }
};

}  // namespace vemlari::detail
