#include "kernels/kernels.h"

namespace vemlari {

namespace {

// The twelve 2 x 2 minors of one column: a, b from rows (i, j), c, d from rows (k, m).
struct Minors {
    cplx a1, a2, a3, b1, b2, b3, c1, c2, c3, d1, d2, d3;
};

// a and b of rows (p, q); they are also the d and c of the column whose (k, m) is (p, q).
void upper_minors(const Mat4& ee, int p, int q, cplx& x1, cplx& x2, cplx& x3, cplx& y1, cplx& y2, cplx& y3) {
    x1 = ee(p, 4) * ee(q, 1) - ee(p, 1) * ee(q, 4);
    x2 = ee(p, 4) * ee(q, 2) - ee(p, 2) * ee(q, 4);
    x3 = ee(p, 4) * ee(q, 3) - ee(p, 3) * ee(q, 4);
    y1 = ee(p, 3) * ee(q, 2) - ee(p, 2) * ee(q, 3);
    y2 = ee(p, 1) * ee(q, 3) - ee(p, 3) * ee(q, 1);
    y3 = ee(p, 2) * ee(q, 1) - ee(p, 1) * ee(q, 2);
}

void column(const Mat4& ee, Mat4& e, int i, const Minors& n) {
    const int j = i % 4 + 1;
    const cplx aa = n.a1 * n.c1 + n.a2 * n.c2 + n.a3 * n.c3 + n.b1 * n.d1 + n.b2 * n.d2 + n.b3 * n.d3;
    e(1, i) = (-(ee(j, 2) * n.d3) + ee(j, 3) * n.d2 - ee(j, 4) * n.c1) / aa;
    e(2, i) = (ee(j, 1) * n.d3 - ee(j, 3) * n.d1 - ee(j, 4) * n.c2) / aa;
    e(3, i) = (-(ee(j, 1) * n.d2) + ee(j, 2) * n.d1 - ee(j, 4) * n.c3) / aa;
    e(4, i) = (ee(j, 1) * n.c1 + ee(j, 2) * n.c2 + ee(j, 3) * n.c3) / aa;
}

}  // namespace

// Inverse by cofactors (adjugate over determinant). Column i of the inverse needs the 3 x 3
// minors without row i; the other rows are taken cyclically after i, so for i = 2 and 4 the
// determinant and the cofactors both change sign and their quotients stay right. The rows
// (i, j) of column i are the rows (k, m) of column i + 2, with the same products in the same
// order, so each pair of row minors is formed once.
void dcinva(Mat4& e) {
    const Mat4 ee = e;
    Minors col[5];
    for (int i = 1; i <= 4; ++i) {
        Minors& n = col[i];
        if (i <= 2) {
            upper_minors(ee, i, i % 4 + 1, n.a1, n.a2, n.a3, n.b1, n.b2, n.b3);
            upper_minors(ee, i + 2, (i + 2) % 4 + 1, n.d1, n.d2, n.d3, n.c1, n.c2, n.c3);
        } else {
            const Minors& o = col[i - 2];
            n = {o.d1, o.d2, o.d3, o.c1, o.c2, o.c3, o.b1, o.b2, o.b3, o.a1, o.a2, o.a3};
        }
        column(ee, e, i, n);
    }
}

}  // namespace vemlari
