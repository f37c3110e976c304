#include "kernels/kernels.h"
#include "kernels/mat2.h"

namespace vemlari {

// Generalized P-SV matrices of the stack above, from the free surface downwards:
// GTU(i) = [I - RD(i) GRU(i-1)]^-1 TU(i),  GRU(i) = RU(i) + TD(i) GRU(i-1) GTU(i).
void gnrury(double om, double wn, const Nstrc& s, int last, const Mrtry& m, Grury& g) {
    // Free surface: the traction of the down-going waves at z = 0 cancels that of the
    // up-going waves carried up from the bottom of layer 1, so d = -T_d^-1 T_u diag(ddp, dds) u.
    g.fit(last + 1);
    cplx cms, cmp;
    Mat4 er;
    mtxry(om, wn, 1, s, cms, cmp, er);
    const Mat2 td{er(3, 1), er(4, 1), er(3, 2), er(4, 2)};
    const Mat2 tu{er(3, 3), er(4, 3), er(3, 4), er(4, 4)};
    Mat2 du;
    ddury(s.thk[1], cms, cmp, du);
    const Mat2 r = inverse(td) * tu * du;
    g.GRU[0] = {-r.m11, -r.m21, -r.m12, -r.m22};

    for (int i = 1; i <= last; ++i) {
        const Mat2& gr = g.GRU[i - 1];
        g.GTU[i] = inverse(identity_minus_product(m.RD[i], gr)) * m.TU[i];
        g.GRU[i] = m.RU[i] + (m.TD[i] * gr) * g.GTU[i];
    }
}

}  // namespace vemlari
