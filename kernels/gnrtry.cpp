#include "kernels/kernels.h"
#include "kernels/mat2.h"
#include "records/run_stop.h"

namespace vemlari {

// Generalized P-SV matrices, from the half-space upwards:
// GTD(l) = [I - RU(l) GRD(l+1)]^-1 TD(l),  GRD(l) = RD(l) + TU(l) GRD(l+1) GTD(l).
void gnrtry(double om, double wn, const Nstrc& s, Mrtry& m, Grtry& g) {
    if (s.nl > nml) throw RunStop(" FROM GRTPRY: NL.GT.20 !!!!!!!!!!!!!!!");
    if (s.nl == 1) return;
    mdrtry(om, wn, s, m);

    const int last = s.nl - 1;
    g.GTD[last] = m.TD[last];
    g.GRD[last] = m.RD[last];

    const cplx one{1.0, 0.0};
    for (int l = s.nl - 2; l >= 1; --l) {
        const Mat2& ru = m.RU[l];
        const Mat2& gr = g.GRD[l + 1];
        Mat2 e1;
        e1.m11 = (one - ru.m11 * gr.m11) - ru.m12 * gr.m21;
        e1.m12 = -(ru.m11 * gr.m12) - ru.m12 * gr.m22;
        e1.m21 = -(ru.m21 * gr.m11) - ru.m22 * gr.m21;
        e1.m22 = (one - ru.m21 * gr.m12) - ru.m22 * gr.m22;
        const cplx dt = e1.m11 * e1.m22 - e1.m12 * e1.m21;
        Mat2 e2;
        e2.m11 = e1.m22 / dt;
        e2.m12 = -(e1.m12 / dt);
        e2.m21 = -(e1.m21 / dt);
        e2.m22 = e1.m11 / dt;
        g.GTD[l] = e2 * m.TD[l];
        g.GRD[l] = m.RD[l] + (m.TU[l] * gr) * g.GTD[l];
    }
}

}  // namespace vemlari
