#include "kernels/kernels.h"
#include "kernels/mat2.h"

namespace vemlari {

// Generalized P-SV matrices, from the half-space upwards:
// GTD(l) = [I - RU(l) GRD(l+1)]^-1 TD(l),  GRD(l) = RD(l) + TU(l) GRD(l+1) GTD(l).
void gnrtry(double om, double wn, const Nstrc& s, Mrtry& m, Grtry& g) {
    if (s.nl == 1) return;
    mdrtry(om, wn, s, m);
    g.fit(s.nl);

    const int last = s.nl - 1;
    g.GTD[last] = m.TD[last];
    g.GRD[last] = m.RD[last];

    for (int l = s.nl - 2; l >= 1; --l) {
        const Mat2& gr = g.GRD[l + 1];
        const Mat2 e2 = inverse(identity_minus_product(m.RU[l], gr));
        g.GTD[l] = e2 * m.TD[l];
        g.GRD[l] = m.RD[l] + (m.TU[l] * gr) * g.GTD[l];
    }
}

}  // namespace vemlari
