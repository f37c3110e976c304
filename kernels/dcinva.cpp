#include "kernels/kernels.h"

namespace vemlari {

// Inverse by cofactors (adjugate over determinant). Column i of the inverse needs the 3 x 3
// minors without row i; the other rows are taken cyclically after i, so for i = 2 and 4 the
// determinant and the cofactors both change sign and their quotients stay right.
void dcinva(Mat4& e) {
    const Mat4 ee = e;
    for (int i = 1; i <= 4; ++i) {
        const int j = i % 4 + 1;
        const int k = j % 4 + 1;
        const int m = k % 4 + 1;

        const cplx a1 = ee(i, 4) * ee(j, 1) - ee(i, 1) * ee(j, 4);
        const cplx a2 = ee(i, 4) * ee(j, 2) - ee(i, 2) * ee(j, 4);
        const cplx a3 = ee(i, 4) * ee(j, 3) - ee(i, 3) * ee(j, 4);
        const cplx b1 = ee(i, 3) * ee(j, 2) - ee(i, 2) * ee(j, 3);
        const cplx b2 = ee(i, 1) * ee(j, 3) - ee(i, 3) * ee(j, 1);
        const cplx b3 = ee(i, 2) * ee(j, 1) - ee(i, 1) * ee(j, 2);
        const cplx c1 = ee(k, 3) * ee(m, 2) - ee(k, 2) * ee(m, 3);
        const cplx c2 = ee(k, 1) * ee(m, 3) - ee(k, 3) * ee(m, 1);
        const cplx c3 = ee(k, 2) * ee(m, 1) - ee(k, 1) * ee(m, 2);
        const cplx d1 = ee(k, 4) * ee(m, 1) - ee(k, 1) * ee(m, 4);
        const cplx d2 = ee(k, 4) * ee(m, 2) - ee(k, 2) * ee(m, 4);
        const cplx d3 = ee(k, 4) * ee(m, 3) - ee(k, 3) * ee(m, 4);

        const cplx aa = a1 * c1 + a2 * c2 + a3 * c3 + b1 * d1 + b2 * d2 + b3 * d3;

        e(1, i) = (-(ee(j, 2) * d3) + ee(j, 3) * d2 - ee(j, 4) * c1) / aa;
        e(2, i) = (ee(j, 1) * d3 - ee(j, 3) * d1 - ee(j, 4) * c2) / aa;
        e(3, i) = (-(ee(j, 1) * d2) + ee(j, 2) * d1 - ee(j, 4) * c3) / aa;
        e(4, i) = (ee(j, 1) * c1 + ee(j, 2) * c2 + ee(j, 3) * c3) / aa;
    }
}

}  // namespace vemlari
