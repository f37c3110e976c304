#include "kernels/kernels.h"

namespace vemlari {

// Generalized SH coefficients, from the half-space upwards:
// GTD(i) = TD(i) / (1 - RU(i) GRD(i+1)),  GRD(i) = RD(i) + TU(i) GRD(i+1) GTD(i).
void gnrtlv(double om, double wn, const Nstrc& s, Mrtlv& m, Grtlv& g) {
    g.nwarn = 0;
    // A lone half-space has no interface; the callers handle it and the records stay as they are.
    if (s.nl < 2) return;
    mdrtlv(om, wn, s, m);
    g.fit(s.nl);
    g.RU0 = m.RU[0];

    const int last = s.nl - 1;
    g.GTD[last] = m.TD[last];
    g.GRD[last] = m.RD[last];

    for (int i = s.nl - 2; i >= 1; --i) {
        const cplx d = cplx{1.0, 0.0} - m.RU[i] * g.GRD[i + 1];
        // A reverberation term this close to zero means the trial velocity sits on a pole;
        // the search goes on, the caller logs it.
        if (cabs(d) < 1.0E-15) g.warnD[g.nwarn++] = d;
        g.GTD[i] = m.TD[i] / d;
        g.GRD[i] = m.RD[i] + (m.TU[i] * g.GRD[i + 1]) * g.GTD[i];
    }
}

}  // namespace vemlari
