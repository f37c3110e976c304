#include "kernels/kernels.h"

namespace vemlari {

namespace {

// SH layer matrix of one layer (rows: displacement, shear stress; columns: down, up) and
// its vertical wavenumber.
struct ShLayer {
    cplx e11, e21, e12, e22;
    cplx nu;
};

ShLayer sh_layer(double wn2, double om2, const Nstrc& s, int j) {
    const double vs2 = s.vs[j] * s.vs[j];
    const double ws2 = om2 / vs2;
    const cplx nu = vertical_wavenumber(wn2, ws2);
    const double sm = s.rho[j] * vs2;
    const cplx mnu = cplx{sm, 0.0} * nu;
    return {{1.0, 0.0}, -mnu, {1.0, 0.0}, mnu, nu};
}

}  // namespace

// Cramer's rule for continuity of displacement and shear stress at each interface, with the
// amplitudes referred so that every phase factor decays.
void mdrtlv(double om, double wn, const Nstrc& s, Mrtlv& m) {
    if (s.nl < 2) return;  // no interface
    m.fit(s.nl);
    const double wn2 = wn * wn;
    const double om2 = om * om;

    ShLayer ea = sh_layer(wn2, om2, s, 1);
    cplx dda = phase_factor(ea.nu, s.thk[1]);
    m.RU[0] = dda;

    for (int i = 1; i <= s.nl - 2; ++i) {
        const ShLayer eb = sh_layer(wn2, om2, s, i + 1);
        const cplx dub = phase_factor(eb.nu, s.thk[i + 1]);
        const cplx eab = eb.e21 * ea.e12 - eb.e11 * ea.e22;
        m.TD[i] = (ea.e12 * ea.e21 - ea.e11 * ea.e22) * dda / eab;
        m.RU[i] = (eb.e12 * ea.e22 - eb.e22 * ea.e12) * dub / eab;
        m.RD[i] = (eb.e11 * ea.e21 - ea.e11 * eb.e21) * dda / eab;
        m.TU[i] = (eb.e12 * eb.e21 - eb.e22 * eb.e11) * dub / eab;
        ea = eb;
        dda = dub;
    }

    // Above the half-space nothing comes up, so only the down-going coefficients are needed.
    const int i = s.nl - 1;
    const ShLayer eb = sh_layer(wn2, om2, s, s.nl);
    const cplx eab = eb.e21 * ea.e12 - eb.e11 * ea.e22;
    m.TD[i] = (ea.e12 * ea.e21 - ea.e11 * ea.e22) * dda / eab;
    m.RD[i] = (eb.e11 * ea.e21 - ea.e11 * eb.e21) * dda / eab;
}

}  // namespace vemlari
