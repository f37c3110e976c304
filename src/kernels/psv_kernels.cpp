// The P-SV kernels of one lane.
#include <utility>

#include "kernels/kernels.h"
#include "kernels/one_lane.h"
#include "kernels/psv_kernel.h"

namespace vemlari::detail {

void mtxry(double om, double wn, int l, const Nstrc& s, cplx& cms, cplx& cmp, Mat4& ee) {
    psv_matrix<OneLane>(om, wn, layers_of(s), l, cms, cmp, ee);
}

void ddury(double thk, cplx cms, cplx cmp, Mat2& du) { du = psv_phases<OneLane>(thk, cms, cmp); }

void dcinva(Mat4& e) {
    const Mat4 ee = e;
    invert(ee, e);
}

void mtrry(const Mat4& ea, const Mat4& eb, const Mat2& dda, const Mat2& dub, int l, Mrtry& m) {
    psv_interface(ea, eb, dda, dub, true, l, view(m));
}

void mdrtry(double om, double wn, const Nstrc& s, Mrtry& m) {
    m.fit(s.nl);
    TopLayer<cplx> top;
    psv_interfaces<OneLane>(om, wn, layers_of(s), view(m), true, top);
}

void gnrtry(double om, double wn, const Nstrc& s, Mrtry& m, Grtry& g) {
    if (s.nl == 1) return;
    mdrtry(om, wn, s, m);
    g.fit(s.nl);
    psv_downward(s.nl, view(std::as_const(m)), view(g));
}

void gnrury(double om, double wn, const Nstrc& s, int last, const Mrtry& m, Grury& g) {
    g.fit(last + 1);
    cplx cms, cmp;
    Mat4 er;
    mtxry(om, wn, 1, s, cms, cmp, er);
    Mat2 du;
    ddury(s.thk[1], cms, cmp, du);
    psv_upward(last, er, du, view(m), view(g));
}

}  // namespace vemlari::detail
