#include "kernels/kernels.h"

namespace vemlari {

// Generalized SH coefficients of the stack above, from the free surface downwards:
// GTU(i) = TU(i) / (1 - RD(i) GRU(i-1)),  GRU(i) = RU(i) + TD(i) GRU(i-1) GTU(i).
void gnrulv(int last, const Mrtlv& m, Grulv& g) {
    g.fit(last + 1);
    g.GRU[0] = m.RU[0];
    for (int i = 1; i <= last; ++i) {
        const cplx d = cplx{1.0, 0.0} - m.RD[i] * g.GRU[i - 1];
        g.GTU[i] = m.TU[i] / d;
        g.GRU[i] = m.RU[i] + (m.TD[i] * g.GRU[i - 1]) * g.GTU[i];
    }
}

}  // namespace vemlari
