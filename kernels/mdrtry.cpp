#include "kernels/kernels.h"
#include "kernels/mat2.h"

namespace vemlari {

namespace {

// The 2 x 2 block of `e` whose top left entry is (r, c).
Mat2 block(const Mat4& e, int r, int c) { return {e(r, c), e(r + 1, c), e(r, c + 1), e(r + 1, c + 1)}; }

}  // namespace

// Continuity of displacement and traction at interface l,
//   ea [dda a_l; b_l] = eb [a_{l+1}; dub b_{l+1}],
// solved for the waves leaving the interface: e1 [a_{l+1}; b_l] = e2 [dda a_l; dub b_{l+1}].
void mtrry(const Mat4& ea, const Mat4& eb, const Mat2& dda, const Mat2& dub, int l,
           Mrtry& m) {
    Mat4 e1, e2;
    for (int r = 1; r <= 4; ++r) {
        for (int c = 1; c <= 2; ++c) {
            e1(r, c) = eb(r, c);
            e2(r, c) = ea(r, c);
        }
        for (int c = 3; c <= 4; ++c) {
            e1(r, c) = -ea(r, c);
            e2(r, c) = -eb(r, c);
        }
    }
    dcinva(e1);

    Mat4 e3;
    for (int r = 1; r <= 4; ++r) {
        for (int c = 1; c <= 4; ++c) {
            cplx sum{};
            for (int q = 1; q <= 4; ++q) sum = sum + e1(r, q) * e2(q, c);
            e3(r, c) = sum;
        }
    }

    m.TD[l] = block(e3, 1, 1) * dda;
    m.RD[l] = block(e3, 3, 1) * dda;
    m.RU[l] = block(e3, 1, 3) * dub;
    m.TU[l] = block(e3, 3, 3) * dub;
}

void mdrtry(double om, double wn, const Nstrc& s, Mrtry& m) {
    m.fit(s.nl);
    cplx cms, cmp;
    Mat4 ea, eb;
    Mat2 dda, dub;
    mtxry(om, wn, 1, s, cms, cmp, ea);
    ddury(s.thk[1], cms, cmp, dda);
    // Each layer matrix serves as the lower side of one interface and the upper side of the next.
    for (int i = 1; i <= s.nl - 1; ++i) {
        mtxry(om, wn, i + 1, s, cms, cmp, eb);
        ddury(s.thk[i + 1], cms, cmp, dub);
        mtrry(ea, eb, dda, dub, i, m);
        ea = eb;
        dda = dub;
    }
}

}  // namespace vemlari
